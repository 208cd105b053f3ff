#include "tests/support/session.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "shell/main_window.h"
#include "shell/page_builder.h"
#include "shell/save_file.h"
#include "shell/startup.h"
#include "story/choices.h"

namespace testing_support {

namespace fs = std::filesystem;

void OpenMainWindow(lanthorn::HeadlessApp& app, lanthorn::HeadlessPlatform& platform, int32_t width,
                    int32_t height) {
  platform.SetClientSize(width, height);
  lanthorn::Reader& r = app.reader();
  lanthorn::OnCreate(r, reinterpret_cast<lanthorn::WindowHandle>(1));
  lanthorn::OnSize(r, width, height);
  lanthorn::MainWindowCreated(r);
  r.navigation.screenNumber = lanthorn::kNoScreen;
}

std::unique_ptr<bookc::LoadedBook> LoadFixture(const std::string& name) {
  bookc::Diagnostics diagnostics;
  auto book = bookc::LoadBook(fs::path(LANTHORN_FIXTURES_DIR) / name, diagnostics);
  if (book == nullptr) {
    std::string errors;
    for (const bookc::Diagnostic& d : diagnostics.list()) errors += bookc::Format(d) + "\n";
    ADD_FAILURE() << "fixture " << name << " does not compile:\n" << errors;
  }
  return book;
}

std::vector<uint8_t> SaveRecordBytes(int16_t page, uint8_t sound) {
  std::vector<uint8_t> b(lanthorn::kSaveRecordSize, 0);
  b[0] = static_cast<uint8_t>(page & 0xFF);
  b[1] = static_cast<uint8_t>((page >> 8) & 0xFF);
  b[2] = sound;
  b[28] = 176;
  return b;
}

void InScratchDirectory::SetUp() {
  home = fs::current_path();
  const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  scratch = fs::path(::testing::TempDir()) / (test + "-" + std::to_string(getpid()));
  fs::remove_all(scratch);
  fs::create_directories(scratch);
  fs::current_path(scratch);
}

void InScratchDirectory::TearDown() {
  fs::current_path(home);
  fs::remove_all(scratch);
}

std::vector<uint8_t> InScratchDirectory::SaveFile() {
  std::ifstream in(lanthorn::kSaveFileName, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void InScratchDirectory::WriteSaveFile(const std::vector<uint8_t>& bytes) {
  std::ofstream(lanthorn::kSaveFileName, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> WithJournal(std::vector<uint8_t> record) {
  const uint32_t crc = lanthorn::Crc32(record.data(), static_cast<int32_t>(record.size()));
  std::vector<uint8_t> file = record;
  file.insert(file.end(), record.begin(), record.end());
  file.insert(file.end(), {'L', 'F', 'J', '1'});
  for (int i = 0; i < 4; ++i) file.push_back(static_cast<uint8_t>(crc >> (8 * i)));
  return file;
}

Session::Session(const lanthorn::Book& book)
    : reader(std::make_unique<lanthorn::Reader>(book, platform)) {
  reader->page.geometry.clientRect = platform.ClientRect();
  reader->render.pageArea = {0, 0, 506, 375};
  platform.SetPaintHandler([this](lanthorn::Canvas&) {
    if (reader->navigation.rebuild) {
      reader->navigation.rebuild = 0;
      lanthorn::RebuildPage(*reader);
    }
  });
}

void Session::Open(int16_t page) {
  reader->navigation.screenNumber = lanthorn::kNoScreen;
  lanthorn::GoToPage(*reader, page, lanthorn::PageMode::kStory);
}

void Session::Click(uint16_t controlId) {
  if (reader->page.facts.choiceLatch) return;
  reader->page.facts.choiceLatch = 1;
  lanthorn::MakeMove(
      *reader, lanthorn::ActivateHotword(reader->story, reader->page.hotwords, controlId, ""));
}

void Session::Type(uint16_t boxId, const std::string& text) {
  platform.SetControlText(platform.HandleOf(boxId), text);
  const int index = boxId - lanthorn::kFirstInputBoxId;
  char typed[200];
  const int32_t most = reader->page.inputBoxes.records[index].maximumLength;
  platform.ReadControlText(reader->page.inputBoxes.handles[index], typed, most + 1);
  if (reader->page.facts.choiceLatch) return;
  reader->page.facts.choiceLatch = 1;
  lanthorn::MakeMove(*reader,
                     lanthorn::ActivateHotword(reader->story, reader->page.hotwords, boxId, typed));
}

std::vector<std::string> Session::Choices() const {
  std::vector<std::string> labels;
  for (int i = 0; i < reader->page.buttons.count; ++i)
    labels.push_back(reader->page.buttons.records[i].label);
  return labels;
}

uint16_t Session::Choice(const std::string& label) const {
  for (int i = 0; i < reader->page.buttons.count; ++i) {
    if (label == reader->page.buttons.records[i].label) {
      return static_cast<uint16_t>(lanthorn::kFirstChoiceButtonId + i);
    }
  }
  ADD_FAILURE() << "no choice \"" << label << "\" on page " << reader->navigation.shownPage;
  return 0;
}

}  // namespace testing_support
