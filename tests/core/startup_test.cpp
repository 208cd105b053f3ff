#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/headless/headless_app.h"
#include "render/fonts.h"
#include "shell/startup.h"
#include "tests/support/session.h"

namespace {

using namespace lanthorn;
using testing_support::LoadFixture;
using testing_support::SaveRecordBytes;
using testing_support::WithJournal;
using Bytes = std::vector<uint8_t>;

class StartupTest : public testing_support::InScratchDirectory {
 protected:
  std::unique_ptr<bookc::LoadedBook> book = LoadFixture("crossing");
};

TEST_F(StartupTest, AFirstStartRunsTheOpeningSequenceAndLeavesTheSaveFile) {
  HeadlessPlatform platform;
  HeadlessApp app(book->book(), platform);
  ASSERT_TRUE(app.Start());
  EXPECT_EQ(app.reader().navigation.screenNumber, kTitleScreen);  // presents shown
  EXPECT_TRUE(platform.timerRunning(1));
  app.Timer();
  app.Timer();
  EXPECT_FALSE(platform.timerRunning(1));
  EXPECT_NE(platform.FindControl(513), nullptr);  // "INSTRUCTIONS"
  app.Close();
  EXPECT_FALSE(app.running());
  EXPECT_EQ(app.exitCode(), 0);
  EXPECT_EQ(SaveFile(), WithJournal(SaveRecordBytes(2, 1)));
}

TEST_F(StartupTest, ASavedPageIsShownAtOnceAndPageTwoRunsTheOpeningAgain) {
  WriteSaveFile(SaveRecordBytes(14, 0));
  {
    HeadlessPlatform platform;
    HeadlessApp app(book->book(), platform);
    ASSERT_TRUE(app.Start());
    EXPECT_EQ(app.reader().navigation.screenNumber, kNoScreen);
    EXPECT_EQ(app.reader().navigation.shownPage, 14);
    EXPECT_FALSE(platform.timerRunning(1));
    // Quitting on an aside keeps the story page reached.
    app.Command(kOpenRestart);
    EXPECT_EQ(app.reader().navigation.shownPage, 3);
    app.Close();
  }
  EXPECT_EQ(SaveFile(), WithJournal(SaveRecordBytes(14, 0)));

  for (int page : {2, 0, 362}) {
    WriteSaveFile(SaveRecordBytes(static_cast<int16_t>(page), 0));
    HeadlessPlatform platform;
    HeadlessApp app(book->book(), platform);
    ASSERT_TRUE(app.Start());
    EXPECT_EQ(app.reader().navigation.screenNumber, kTitleScreen) << page;
    app.Close();
  }
}

TEST_F(StartupTest, ASecondCopyBringsTheFirstForwardAndEnds) {
  HeadlessPlatform first;
  HeadlessApp running(book->book(), first);
  ASSERT_TRUE(running.Start());

  HeadlessPlatform second;
  second.SetOtherCopyRunning(true);
  HeadlessApp copy(book->book(), second);
  EXPECT_FALSE(copy.Start());
  EXPECT_EQ(copy.exitCode(), 1);
  EXPECT_TRUE(second.otherCopyActivated());
  EXPECT_TRUE(second.messages().empty());

  // A file that cannot be opened with no copy running to blame.
  HeadlessPlatform third;
  HeadlessApp locked(book->book(), third);
  EXPECT_FALSE(locked.Start());
  EXPECT_EQ(locked.exitCode(), 1);
  ASSERT_EQ(third.messages().size(), 1u);
  EXPECT_EQ(third.messages()[0].text, "I cannot the book?");
  EXPECT_FALSE(third.messages()[0].hasCaption);
  running.Close();
}

TEST_F(StartupTest, TheWindowIsSizedFromTheScreen) {
  struct Case {
    int32_t screen, width, height, fontHeight;
  };
  for (const Case& c :
       {Case{768, 529, 706, 21}, Case{1080, 744, 993, 21}, Case{480, 330, 441, 13},
        Case{599, 413, 551, 13}, Case{600, 414, 552, 21}, Case{340, 240, 320, 13}}) {
    HeadlessPlatform platform;
    platform.SetScreenHeight(c.screen);
    Reader reader(book->book(), platform);
    const WindowPlacement place = PlaceMainWindow(reader);
    EXPECT_EQ(place.width, c.width) << c.screen;
    EXPECT_EQ(place.height, c.height) << c.screen;
    EXPECT_EQ(place.x, 20);
    EXPECT_EQ(FontPixelHeight(96, reader.render.textPointSize), c.fontHeight) << c.screen;
  }
  EXPECT_EQ(FontPixelHeight(120, 16.0f), 27);
  EXPECT_EQ(FontPixelHeight(120, 10.0f), 17);
}

// A disk that takes only part of the record at shut-down.
class FullDiskPlatform : public HeadlessPlatform {
 public:
  int32_t WriteFile(FileHandle file, const uint8_t* buffer, int32_t size) override {
    return HeadlessPlatform::WriteFile(file, buffer, size - 1);
  }
};

TEST_F(StartupTest, AnUnsavedPlaceIsReportedAndTheExitCodeSaysSo) {
  FullDiskPlatform platform;
  HeadlessApp app(book->book(), platform);
  ASSERT_TRUE(app.Start());
  app.Close();
  EXPECT_EQ(app.exitCode(), 1);
  ASSERT_EQ(platform.messages().size(), 1u);
  EXPECT_EQ(platform.messages()[0].text, "Your place in the book could not be saved.");
}

}  // namespace
