#include "story/save_format.h"

#include <cstring>

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

void EncodeSaveRecord(const StoryState& story, int16_t readingPosition, uint8_t sound,
                      uint8_t (&record)[kSaveRecordSize]) {
  memset(record, 0, kSaveRecordSize);
  record[kSoundFlagOffset] = sound;
  const uint16_t position = static_cast<uint16_t>(readingPosition);
  record[kReadingPositionOffset] = static_cast<uint8_t>(position & 0xFF);
  record[kReadingPositionOffset + 1] = static_cast<uint8_t>(position >> 8);
  WriteU32(record + kFormatMarkOffset, kSaveFormatMark);

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
}

int16_t DecodeSaveRecord(const uint8_t (&record)[kSaveRecordSize], int32_t length,
                         StoryState& story, uint8_t* sound) {
  *sound = length > kSoundFlagOffset ? record[kSoundFlagOffset] : 0;
  if (length < kSaveRecordSize) return kFirstStoryPage;
  if (ReadU32(record + kFormatMarkOffset) != kSaveFormatMark) return kFirstStoryPage;
  const int16_t page = static_cast<int16_t>(record[kReadingPositionOffset] |
                                            record[kReadingPositionOffset + 1] << 8);

  for (int i = 0; i < kItemCount; ++i) {
    story.items[i] = {record[kItemsOffset + kItemStride * i],
                      record[kItemsOffset + kItemStride * i + 1]};
  }
  for (int k = 0; k < kRestartPointCount; ++k) {
    const uint8_t* snapshot = record + kSnapshotsOffset + kSnapshotStride * k;
    for (int i = 0; i < kItemCount; ++i) {
      story.snapshots[k][i] = {snapshot[2 * i], snapshot[2 * i + 1]};
    }
    story.restartPoints[k].reached = record[kReachedOffset + k];
  }
  return page >= 1 && page <= kParagraphCount ? page : kFirstStoryPage;
}

}  // namespace lanthorn
