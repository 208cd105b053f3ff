// The save file kept as the reader reads: every page built is on the disk at
// once, a save cut short never loads as a mix, failures of the disk are
// reported, and a save file that is not a plain file, or that is deleted
// while the program runs, is handled without losing the session.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/headless/headless_app.h"
#include "shell/save_file.h"
#include "shell/startup.h"
#include "tests/support/session.h"

namespace {

using namespace lanthorn;
using testing_support::LoadFixture;
using testing_support::SaveRecordBytes;
using testing_support::WithJournal;
using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

class SaveAsYouGoTest : public testing_support::InScratchDirectory {
 protected:
  // The program ends without its shut-down, as a kill ends it: the file is
  // let go of and nothing more is written.
  static void Kill(HeadlessApp& app) {
    Reader& r = app.reader();
    r.platform.CloseFile(r.saveFile);
    r.saveFile = nullptr;
  }
  // Plays the crossing from "The Ice" over to "A Red Door" (page 16): a
  // restart point, an item, a roll and a typed answer on the way.
  static void PlayToTheRedDoor(HeadlessApp& app) {
    app.reader().story.random = {true, 1};  // the first d20 roll is 2: the ice holds
    app.Command(5000);
    ASSERT_EQ(app.reader().navigation.shownPage, 12);
    app.Type(4000, "red door");
    ASSERT_EQ(app.reader().navigation.shownPage, 16);
  }

  std::unique_ptr<bookc::LoadedBook> book = LoadFixture("crossing");
};

TEST(SaveFileTest, TheJournalsCheckIsTheStandardCrc32) {
  const char* text = "123456789";
  EXPECT_EQ(Crc32(reinterpret_cast<const uint8_t*>(text), 9), 0xCBF43926u);
  EXPECT_EQ(Crc32(nullptr, 0), 0u);
}

TEST_F(SaveAsYouGoTest, AKilledReaderResumesAtTheLastPageWithWhatItCarried) {
  WriteSaveFile(SaveRecordBytes(11, 1));
  StoryState before{};
  {
    HeadlessPlatform platform;
    HeadlessApp app(book->book(), platform);
    ASSERT_TRUE(app.Start());
    // Already on the disk before anything else happens: the page shown.
    EXPECT_EQ(SaveFile().size(), static_cast<size_t>(kSaveFileSize));
    PlayToTheRedDoor(app);
    app.Command(kOpenRestart);  // an aside: the story page reached stays saved
    before = app.reader().story.state;
    ASSERT_EQ(before.restartPoints[0].reached, 1);
    Kill(app);
  }
  HeadlessPlatform platform;
  HeadlessApp again(book->book(), platform);
  ASSERT_TRUE(again.Start());
  const Reader& r = again.reader();
  EXPECT_EQ(r.navigation.shownPage, 16);
  EXPECT_EQ(memcmp(r.story.state.items, before.items, sizeof before.items), 0);
  EXPECT_EQ(memcmp(r.story.state.snapshots, before.snapshots, sizeof before.snapshots), 0);
  EXPECT_EQ(r.story.state.restartPoints[0].reached, 1);
}

TEST_F(SaveAsYouGoTest, TheSoundSettingIsSavedWhenItChanges) {
  WriteSaveFile(SaveRecordBytes(11, 1));
  HeadlessPlatform platform;
  HeadlessApp app(book->book(), platform);
  ASSERT_TRUE(app.Start());
  app.Command(kOpenSounds);
  app.Check(kSoundCheckBox);
  EXPECT_EQ(SaveFile()[2], 1);  // the box alone changes nothing yet
  app.Command(kSoundsOk);
  EXPECT_EQ(SaveFile()[2], 0);
  EXPECT_EQ(SaveFile()[0], 11);
  Kill(app);
}

// (Pages 17 and 21 of the crossing change nothing as they are built.)

// The record over the start of the file was being written when the program
// stopped: the first half is the new record, the rest the old one. Taken as
// it stands, the new page would lose the restart point the old record lacks.
TEST_F(SaveAsYouGoTest, ARecordCutShortGivesWayToTheJournal) {
  Bytes old = SaveRecordBytes(21, 1);
  Bytes fresh = SaveRecordBytes(17, 1);
  fresh[38 + 20 * 1] = 1;  // an item taken (first half of the record)
  fresh[2528] = 1;         // restart point 0 reached (second half)
  Bytes file = WithJournal(fresh);
  std::copy(old.begin() + 1272, old.end(), file.begin() + 1272);
  WriteSaveFile(file);

  HeadlessPlatform platform;
  HeadlessApp app(book->book(), platform);
  ASSERT_TRUE(app.Start());
  EXPECT_EQ(app.reader().navigation.shownPage, 17);
  EXPECT_EQ(app.reader().story.state.items[1].held, 1);
  EXPECT_EQ(app.reader().story.state.restartPoints[0].reached, 1);
  app.Close();
  EXPECT_EQ(SaveFile(), WithJournal(fresh));
}

// The journal was being written when the program stopped: its check fails,
// and the record at the start, saved whole before, is the one taken.
TEST_F(SaveAsYouGoTest, AJournalCutShortLeavesTheLastWholeRecord) {
  const Bytes old = SaveRecordBytes(21, 0);
  Bytes fresh = SaveRecordBytes(17, 1);
  Bytes damaged = WithJournal(old);
  std::copy(fresh.begin(), fresh.begin() + 1000, damaged.begin() + kJournalOffset);
  for (const Bytes& file : {damaged, Bytes(damaged.begin(), damaged.begin() + 4000),
                            Bytes(damaged.begin(), damaged.end() - 1)}) {
    WriteSaveFile(file);
    HeadlessPlatform platform;
    HeadlessApp app(book->book(), platform);
    ASSERT_TRUE(app.Start());
    EXPECT_EQ(app.reader().navigation.shownPage, 21) << file.size();
    EXPECT_EQ(app.reader().settings.sound, 0) << file.size();
    app.Close();
    EXPECT_EQ(SaveFile(), WithJournal(old)) << file.size();
  }
}

// A file written by an older copy holds the record alone.
TEST_F(SaveAsYouGoTest, APlainRecordIsReadAsAlways) {
  Bytes plain = SaveRecordBytes(21, 0);
  plain[38] = 1;
  WriteSaveFile(plain);
  HeadlessPlatform platform;
  HeadlessApp app(book->book(), platform);
  ASSERT_TRUE(app.Start());
  EXPECT_EQ(app.reader().navigation.shownPage, 21);
  EXPECT_EQ(app.reader().story.state.items[0].held, 1);
  app.Close();
  EXPECT_EQ(SaveFile(), WithJournal(plain));
}

// A disk that takes the writes but cannot put them on the platter, or whose
// close reports an error.
class FailingDiskPlatform : public HeadlessPlatform {
 public:
  bool failFlush = false;
  bool failClose = false;
  bool FlushFile(FileHandle file) override {
    return !failFlush && HeadlessPlatform::FlushFile(file);
  }
  bool CloseFile(FileHandle file) override {
    return HeadlessPlatform::CloseFile(file) && !failClose;
  }
};

TEST_F(SaveAsYouGoTest, FlushAndCloseFailuresAreReportedLikeWriteFailures) {
  for (int fault = 0; fault < 2; ++fault) {
    FailingDiskPlatform platform;
    HeadlessApp app(book->book(), platform);
    ASSERT_TRUE(app.Start());
    (fault == 0 ? platform.failFlush : platform.failClose) = true;
    app.Close();
    EXPECT_EQ(app.exitCode(), 1) << fault;
    ASSERT_EQ(platform.messages().size(), 1u) << fault;
    EXPECT_EQ(platform.messages()[0].text, "Your place in the book could not be saved.");
  }
}

// A disk that counts how often the file is put on it (twice a save).
class CountingDiskPlatform : public HeadlessPlatform {
 public:
  int flushes = 0;
  bool FlushFile(FileHandle file) override {
    ++flushes;
    return HeadlessPlatform::FlushFile(file);
  }
};

// A page whose building changes nothing leaves a file that already holds the
// record, with its journal, as it is: at start-up nothing is written. Every
// change is saved as before, and so is the end.
TEST_F(SaveAsYouGoTest, APageThatChangesNothingLeavesAWholeFileAlone) {
  const Bytes record = SaveRecordBytes(21, 1);
  WriteSaveFile(WithJournal(record));
  CountingDiskPlatform platform;
  HeadlessApp app(book->book(), platform);
  ASSERT_TRUE(app.Start());
  EXPECT_EQ(platform.flushes, 0);
  EXPECT_EQ(SaveFile(), WithJournal(record));
  app.Command(kOpenSounds);
  EXPECT_EQ(platform.flushes, 0);
  app.Check(kSoundCheckBox);
  app.Command(kSoundsOk);
  EXPECT_EQ(platform.flushes, 2);
  EXPECT_EQ(SaveFile()[2], 0);
  app.Close();
  EXPECT_EQ(app.exitCode(), 0);
  EXPECT_EQ(platform.flushes, 4);
}

// A file that does not hold the record twice over is written at start-up as
// before: a plain record gains its journal, and a record cut short gives way
// to its journal's copy.
TEST_F(SaveAsYouGoTest, AFileWithoutItsWholeJournalIsWrittenAtTheFirstPage) {
  const Bytes record = SaveRecordBytes(21, 1);
  Bytes cutShort = WithJournal(record);
  const Bytes other = SaveRecordBytes(17, 0);
  std::copy(other.begin(), other.begin() + 1272, cutShort.begin());
  for (const Bytes& file : {record, cutShort}) {
    WriteSaveFile(file);
    CountingDiskPlatform platform;
    HeadlessApp app(book->book(), platform);
    ASSERT_TRUE(app.Start());
    EXPECT_EQ(platform.flushes, 2) << file.size();
    EXPECT_EQ(SaveFile(), WithJournal(record)) << file.size();
    Kill(app);
  }
}

TEST_F(SaveAsYouGoTest, ASaveFileThatIsAPipeIsRefusedAtOnce) {
  ASSERT_EQ(mkfifo(kSaveFileName, 0600), 0);
  HeadlessPlatform platform;
  HeadlessApp app(book->book(), platform);
  EXPECT_FALSE(app.Start());
  EXPECT_EQ(app.exitCode(), 1);
  ASSERT_EQ(platform.messages().size(), 1u);
  EXPECT_EQ(platform.messages()[0].text, "I cannot the book?");
  fs::remove(kSaveFileName);
  fs::create_directory(kSaveFileName);
  HeadlessPlatform again;
  HeadlessApp folder(book->book(), again);
  EXPECT_FALSE(folder.Start());
}

TEST_F(SaveAsYouGoTest, ASaveFileDeletedWhileReadingIsMadeAgain) {
  WriteSaveFile(SaveRecordBytes(11, 1));
  HeadlessPlatform platform;
  HeadlessApp app(book->book(), platform);
  ASSERT_TRUE(app.Start());
  fs::remove(kSaveFileName);
  PlayToTheRedDoor(app);
  ASSERT_TRUE(fs::exists(kSaveFileName));
  EXPECT_EQ(SaveFile()[0], 16);
  // The new file is held: a second copy is still refused.
  HeadlessPlatform second;
  EXPECT_EQ(second.OpenExclusive(kSaveFileName), nullptr);
  app.Close();
  EXPECT_EQ(app.exitCode(), 0);
  EXPECT_EQ(SaveFile()[0], 16);
}

TEST_F(SaveAsYouGoTest, ADeletedSaveFileTakenByAnotherCopyIsReportedAtTheEnd) {
  HeadlessPlatform platform;
  HeadlessApp app(book->book(), platform);
  ASSERT_TRUE(app.Start());
  fs::remove(kSaveFileName);
  HeadlessPlatform second;
  FileHandle other = second.OpenExclusive(kSaveFileName);
  ASSERT_NE(other, nullptr);
  app.Close();
  EXPECT_EQ(app.exitCode(), 1);
  ASSERT_EQ(platform.messages().size(), 1u);
  EXPECT_EQ(platform.messages()[0].text, "Your place in the book could not be saved.");
  second.CloseFile(other);
}

}  // namespace
