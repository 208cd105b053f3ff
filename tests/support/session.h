// Playing a book in a test: a reader on the headless platform whose moves
// build each new page before they return.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless/headless_app.h"
#include "tests/support/test_book.h"

namespace testing_support {

// A save record written out by hand from the layout: the page, the sound
// flag and the format mark 176, every other byte zero.
std::vector<uint8_t> SaveRecordBytes(int16_t page, uint8_t sound);

// A test that runs in a scratch directory of its own, where the reader's
// save file lives.
class InScratchDirectory : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  static std::vector<uint8_t> SaveFile();
  static void WriteSaveFile(const std::vector<uint8_t>& bytes);

  std::filesystem::path home;
  std::filesystem::path scratch;
};

// The save file as the reader writes it for this 2,544-byte record: the
// record, then the journal (a copy and its check; shell/save_file.h).
std::vector<uint8_t> WithJournal(std::vector<uint8_t> record);

// Compiles a fixture book from tests/fixtures/<name>; fails the test on error.
std::unique_ptr<bookc::LoadedBook> LoadFixture(const std::string& name);

// Makes the reader's main window with a client area of this size and goes
// past the opening screens, as a front end does before its first page; the
// page to show is the caller's move.
void OpenMainWindow(lanthorn::HeadlessApp& app, lanthorn::HeadlessPlatform& platform, int32_t width,
                    int32_t height);

// A reader playing a book on the headless platform: every move builds the
// new page before it returns, as the window system's synchronous repaint does.
class Session {
 public:
  explicit Session(const lanthorn::Book& book);

  // Shows a page as a story move, past the opening screens.
  void Open(int16_t page);
  // A click on a page's choice button, or Enter in its input box after typing.
  void Click(uint16_t controlId);
  void Type(uint16_t boxId, const std::string& text);
  // The labels of the page's choice buttons, in order.
  std::vector<std::string> Choices() const;
  // The id of the choice button with this label; fails the test if none.
  uint16_t Choice(const std::string& label) const;
  std::string Page() const { return DescribeDisplayList(*reader); }

  lanthorn::HeadlessPlatform platform;
  std::unique_ptr<lanthorn::Reader> reader;
};

}  // namespace testing_support
