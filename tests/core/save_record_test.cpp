#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "shell/reader.h"
#include "shell/save_file.h"
#include "tests/support/session.h"

namespace {

using namespace lanthorn;
using testing_support::LoadFixture;
using testing_support::SaveRecordBytes;
using testing_support::WithJournal;
using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

class SaveRecordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = fs::path(::testing::TempDir()) / ("save-" + std::to_string(::getpid()) + ".dat");
    fs::remove(path);
  }
  void TearDown() override { fs::remove(path); }

  void WriteFileBytes(const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  Bytes FileBytes() const {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
  }
  // Opens the file as start-up does and loads it into a fresh reader.
  void Load() {
    session = std::make_unique<testing_support::Session>(book->book());
    const bool created = !session->platform.FileExists(path.c_str());
    file = session->platform.OpenExclusive(path.c_str());
    ASSERT_NE(file, nullptr);
    LoadSaveRecord(*session->reader, file, created);
    session->reader->navigation.readingPosition = session->reader->navigation.shownPage;
  }
  bool Store() {
    const bool stored = StoreSaveRecord(*session->reader, file);
    session->platform.CloseFile(file);
    return stored;
  }
  Reader& r() { return *session->reader; }

  std::unique_ptr<bookc::LoadedBook> book = LoadFixture("crossing");
  std::unique_ptr<testing_support::Session> session;
  FileHandle file = nullptr;
  fs::path path;
};

TEST_F(SaveRecordTest, ANewFileStartsAtTheBeginningWithSoundOn) {
  Load();
  EXPECT_EQ(r().navigation.shownPage, 2);
  EXPECT_EQ(r().settings.sound, 1);
  ASSERT_TRUE(Store());
  EXPECT_EQ(FileBytes(), WithJournal(SaveRecordBytes(2, 1)));
}

TEST_F(SaveRecordTest, EverythingTheStoryKeepsComesBack) {
  Bytes b = SaveRecordBytes(14, 0);
  b[38 + 20 * 4] = 1;     // item 4 held
  b[39 + 20 * 4] = 3;     // with value 3
  b[38 + 20 * 3] = 0xD4;  // item 3, a number item: -300
  b[39 + 20 * 3] = 0xFE;
  b[1072 + 104 * 1 + 0] = 1;  // snapshot 1: item 0 held, value 2
  b[1073 + 104 * 1 + 0] = 2;
  b[2528 + 1] = 1;  // restart point 1 reached
  WriteFileBytes(b);
  Load();
  EXPECT_EQ(r().navigation.shownPage, 14);
  EXPECT_EQ(r().settings.sound, 0);
  EXPECT_EQ(Held(r().story, 4), 1);
  EXPECT_EQ(NumericValue(r().story, 4), 3);
  EXPECT_EQ(NumericValue(r().story, 3), -300);
  EXPECT_EQ(r().story.state.snapshots[1][0].held, 1);
  EXPECT_EQ(r().story.state.snapshots[1][0].value, 2);
  EXPECT_EQ(r().story.state.restartPoints[1].reached, 1);
  EXPECT_EQ(r().story.state.restartPoints[1].paragraph, 12);  // from the book, not the file
  ASSERT_TRUE(Store());
  EXPECT_EQ(FileBytes(), WithJournal(b));
}

TEST_F(SaveRecordTest, ShortAndForeignFilesStartAfresh) {
  WriteFileBytes({});
  Load();
  EXPECT_EQ(r().navigation.shownPage, 2);
  EXPECT_EQ(r().settings.sound, 0);  // unlike a missing file
  session->platform.CloseFile(file);

  Bytes shortFile(100, 0);
  shortFile[2] = 1;
  shortFile[38] = 1;
  WriteFileBytes(shortFile);
  Load();
  EXPECT_EQ(r().settings.sound, 1);  // byte 2 of what was read
  EXPECT_EQ(Held(r().story, 0), 0);
  session->platform.CloseFile(file);

  Bytes foreign = SaveRecordBytes(14, 1);
  foreign[28] = 175;
  foreign[38] = 1;
  WriteFileBytes(foreign);
  Load();
  EXPECT_EQ(r().navigation.shownPage, 2);
  EXPECT_EQ(Held(r().story, 0), 0);
  EXPECT_EQ(r().settings.sound, 1);
  session->platform.CloseFile(file);
}

TEST_F(SaveRecordTest, APageOutsideTheBookStartsAtTheBeginningWithTheItemsKept) {
  for (int page : {0, 362, -1}) {
    Bytes b = SaveRecordBytes(static_cast<int16_t>(page), 1);
    b[38] = 1;
    WriteFileBytes(b);
    Load();
    EXPECT_EQ(r().navigation.shownPage, 2) << page;
    EXPECT_EQ(Held(r().story, 0), 1) << page;
    session->platform.CloseFile(file);
  }
}

// The bytes after the record are the journal's (shell/save_file.h): a longer
// file whose tail is not a journal is still read by its record, and only the
// journal's 2,552 bytes are written over; what lies beyond them is kept.
TEST_F(SaveRecordTest, ALongerFileKeepsItsTail) {
  for (size_t length : {3000u, 6000u}) {
    Bytes b = SaveRecordBytes(5, 1);
    b.resize(length, 0xAB);
    WriteFileBytes(b);
    Load();
    EXPECT_EQ(r().navigation.shownPage, 5) << length;
    r().navigation.readingPosition = 9;
    SetHeld(r().story, 2);
    ASSERT_TRUE(Store());
    Bytes record = SaveRecordBytes(9, 1);
    record[38 + 20 * 2] = 1;
    Bytes expected = WithJournal(record);
    if (expected.size() < length) expected.resize(length, 0xAB);
    EXPECT_EQ(FileBytes(), expected) << length;
  }
}

// A file system that takes only part of a write.
class ShortWritePlatform : public HeadlessPlatform {
 public:
  int32_t WriteFile(FileHandle file, const uint8_t* buffer, int32_t size) override {
    return HeadlessPlatform::WriteFile(file, buffer, size / 2);
  }
};

TEST_F(SaveRecordTest, AFailedWriteIsNotReportedAsSuccess) {
  ShortWritePlatform platform;
  auto reader = std::make_unique<Reader>(book->book(), platform);
  FileHandle f = platform.OpenExclusive(path.c_str());
  ASSERT_NE(f, nullptr);
  LoadSaveRecord(*reader, f, true);
  EXPECT_FALSE(StoreSaveRecord(*reader, f));
  platform.CloseFile(f);
}

TEST_F(SaveRecordTest, TheFileIsHeldWithoutSharing) {
  Load();
  testing_support::Session other(book->book());
  EXPECT_EQ(other.platform.OpenExclusive(path.c_str()), nullptr);
  EXPECT_EQ(other.platform.OpenFailure(), "Another program has it open.");
  Store();
  FileHandle again = other.platform.OpenExclusive(path.c_str());
  EXPECT_NE(again, nullptr);
  EXPECT_EQ(other.platform.OpenFailure(), "");
  other.platform.CloseFile(again);
}

// Why a save file could not be opened, in words a front end can show.
TEST_F(SaveRecordTest, AFileThatCannotBeOpenedSaysWhy) {
  testing_support::Session opener(book->book());
  PosixFilePlatform& platform = opener.platform;
  const fs::path missing = path.parent_path() / "no-such-folder" / "save.dat";
  EXPECT_EQ(platform.OpenExclusive(missing.c_str()), nullptr);
  EXPECT_EQ(platform.OpenFailure(), strerror(ENOENT));
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  EXPECT_EQ(platform.OpenExclusive(path.c_str()), nullptr);
  EXPECT_EQ(platform.OpenFailure(), "It is not a plain file.");
}

}  // namespace
