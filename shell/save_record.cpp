#include "shell/save_record.h"

#include <cstring>

#include "shell/reader.h"
#include "shell/save_file.h"

namespace lanthorn {

namespace {

constexpr int kReadingPositionOffset = 0;
constexpr int kFormatMarkOffset = 28;
constexpr int kItemsOffset = 38;
constexpr int kItemStride = 20;
constexpr int kSnapshotsOffset = 1072;
constexpr int kSnapshotStride = 2 * kItemCount;
constexpr int kReachedOffset = 2528;

uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void WriteU32(uint8_t* p, uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

void LoadSaveRecord(Reader& reader, FileHandle file, bool created) {
  uint8_t* record = reader.saveRecord;
  NavigationState& n = reader.navigation;
  if (created) {
    n.shownPage = 2;
    record[kSoundFlagOffset] = 1;
    return;
  }
  if (ReadSaveFile(reader.platform, file, record) < kSaveRecordSize) return;
  if (ReadU32(record + kFormatMarkOffset) != kSaveFormatMark) {
    n.shownPage = 2;
    return;
  }
  const int16_t page = static_cast<int16_t>(record[kReadingPositionOffset] |
                                            record[kReadingPositionOffset + 1] << 8);
  n.shownPage = page >= 1 && page <= kParagraphCount ? page : 2;

  StoryState& story = reader.story;
  for (int i = 0; i < kItemCount; ++i) {
    story.items[i] = {record[kItemsOffset + kItemStride * i],
                      record[kItemsOffset + kItemStride * i + 1]};
  }
  for (int k = 0; k < kRestartPointCount; ++k) {
    const uint8_t* snapshot = record + kSnapshotsOffset + kSnapshotStride * k;
    for (int i = 0; i < kItemCount; ++i) story.snapshots[k][i] = {snapshot[2 * i], snapshot[2 * i + 1]};
    story.restartPoints[k].reached = record[kReachedOffset + k];
  }
}

bool StoreSaveRecord(Reader& reader, FileHandle file) {
  uint8_t* record = reader.saveRecord;
  const uint8_t soundFlag = record[kSoundFlagOffset];
  memset(record, 0, kSaveRecordSize);
  record[kSoundFlagOffset] = soundFlag;
  const uint16_t position = static_cast<uint16_t>(reader.navigation.readingPosition);
  record[kReadingPositionOffset] = static_cast<uint8_t>(position & 0xFF);
  record[kReadingPositionOffset + 1] = static_cast<uint8_t>(position >> 8);
  WriteU32(record + kFormatMarkOffset, kSaveFormatMark);

  const StoryState& story = reader.story;
  for (int i = 0; i < kItemCount; ++i) {
    record[kItemsOffset + kItemStride * i] = story.items[i].held;
    record[kItemsOffset + kItemStride * i + 1] = story.items[i].value;
  }
  for (int k = 0; k < kRestartPointCount; ++k) {
    uint8_t* snapshot = record + kSnapshotsOffset + kSnapshotStride * k;
    for (int i = 0; i < kItemCount; ++i) {
      snapshot[2 * i] = story.snapshots[k][i].held;
      snapshot[2 * i + 1] = story.snapshots[k][i].value;
    }
    record[kReachedOffset + k] = story.restartPoints[k].reached;
  }

  return WriteSaveFile(reader.platform, file, record);
}

uint8_t SoundFlag(const Reader& reader) { return reader.saveRecord[kSoundFlagOffset]; }

void SetSoundFlag(Reader& reader, uint8_t on) { reader.saveRecord[kSoundFlagOffset] = on; }

}  // namespace lanthorn
