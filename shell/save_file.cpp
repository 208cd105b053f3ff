#include "shell/save_file.h"

#include <cstring>

#include "shell/reader.h"
#include "shell/startup.h"

namespace lanthorn {

namespace {

constexpr uint8_t kJournalMark[4] = {'L', 'F', 'J', '1'};

void PutU32(uint8_t* p, uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t GetU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

int32_t ReadAll(Platform& platform, FileHandle file, uint8_t* buffer, int32_t size) {
  int32_t total = 0;
  while (total < size) {
    const int32_t got = platform.ReadFile(file, buffer + total, size - total);
    if (got <= 0) break;
    total += got;
  }
  return total;
}

}  // namespace

uint32_t Crc32(const uint8_t* bytes, int32_t count) {
  uint32_t crc = 0xFFFFFFFFu;
  for (int32_t i = 0; i < count; ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

int32_t ReadSaveFile(Platform& platform, FileHandle file, uint8_t* record, bool* settled) {
  if (settled != nullptr) *settled = false;
  uint8_t whole[kSaveFileSize];
  platform.SeekToStart(file);
  const int32_t got = ReadAll(platform, file, whole, kSaveFileSize);
  const int32_t recordBytes = got < kSaveRecordSize ? got : kSaveRecordSize;
  memcpy(record, whole, static_cast<size_t>(recordBytes));
  if (got < kSaveFileSize) return recordBytes;  // no journal, or one cut short

  const uint8_t* journal = whole + kJournalOffset;
  const uint8_t* check = journal + kSaveRecordSize;
  const bool journalWhole = memcmp(check, kJournalMark, sizeof kJournalMark) == 0 &&
                            GetU32(check + 4) == Crc32(journal, kSaveRecordSize);
  if (journalWhole) memcpy(record, journal, kSaveRecordSize);
  if (settled != nullptr) {
    *settled = journalWhole && memcmp(whole, journal, kSaveRecordSize) == 0;
  }
  return kSaveRecordSize;
}

bool WriteSaveFile(Platform& platform, FileHandle file, const uint8_t* record) {
  uint8_t check[kJournalCheckSize];
  memcpy(check, kJournalMark, sizeof kJournalMark);
  PutU32(check + 4, Crc32(record, kSaveRecordSize));
  bool ok = platform.SeekTo(file, kJournalOffset);
  ok = ok && platform.WriteFile(file, record, kSaveRecordSize) == kSaveRecordSize;
  ok = ok && platform.WriteFile(file, check, kJournalCheckSize) == kJournalCheckSize;
  ok = ok && platform.FlushFile(file);
  // Only once the journal is whole on the disk is the record written over.
  ok = ok && platform.SeekToStart(file);
  ok = ok && platform.WriteFile(file, record, kSaveRecordSize) == kSaveRecordSize;
  ok = ok && platform.FlushFile(file);
  return ok;
}

void LoadSaveRecord(Reader& reader, FileHandle file, bool created) {
  if (created) {
    reader.navigation.shownPage = kFirstStoryPage;
    reader.settings.sound = 1;
    return;
  }
  uint8_t record[kSaveRecordSize]{};
  bool settled = false;
  const int32_t length = ReadSaveFile(reader.platform, file, record, &settled);
  reader.storedKnown = settled;
  if (settled) memcpy(reader.storedRecord, record, kSaveRecordSize);
  reader.navigation.shownPage =
      DecodeSaveRecord(record, length, reader.story.state, &reader.settings.sound);
}

bool StoreSaveRecord(Reader& reader, FileHandle file) {
  uint8_t record[kSaveRecordSize];
  EncodeSaveRecord(reader.story.state, reader.navigation.readingPosition, reader.settings.sound,
                   record);
  const bool written = WriteSaveFile(reader.platform, file, record);
  reader.storedKnown = written;
  if (written) memcpy(reader.storedRecord, record, kSaveRecordSize);
  return written;
}

bool KeepReaderPlace(Reader& reader) {
  if (reader.saveFile == nullptr) return true;
  Platform& platform = reader.platform;
  bool named = true;
  if (!platform.FileStillNamed(reader.saveFile, kSaveFileName)) {
    FileHandle again = platform.OpenExclusive(kSaveFileName);
    if (again != nullptr) {
      platform.CloseFile(reader.saveFile);
      reader.saveFile = again;
      reader.storedKnown = false;
    } else {
      named = false;  // another copy holds the new file: this session has no home
    }
  }
  return StoreSaveRecord(reader, reader.saveFile) && named;
}

bool KeepChangedReaderPlace(Reader& reader) {
  if (reader.saveFile != nullptr && reader.storedKnown &&
      reader.platform.FileStillNamed(reader.saveFile, kSaveFileName)) {
    uint8_t record[kSaveRecordSize];
    EncodeSaveRecord(reader.story.state, reader.navigation.readingPosition, reader.settings.sound,
                     record);
    if (memcmp(record, reader.storedRecord, kSaveRecordSize) == 0) return true;
  }
  return KeepReaderPlace(reader);
}

}  // namespace lanthorn
