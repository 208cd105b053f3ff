// The save record: 2,544 bytes that carry the reading position, the sound
// setting and the whole story state from one run to the next. The layout is
// fixed (little-endian):
//
//   0     reading position (signed 16-bit page number)
//   2     sound flag (1 on, 0 off)
//   28    format mark, 176 (unsigned 32-bit)
//   38 + 20i, 39 + 20i          item i's held flag and value byte (i < 52)
//   1072 + 104k + 2i, + 1       snapshot k's held flag and value of item i
//   2528 + k                    restart point k's reached flag (k < 14)
//
// Every other byte is zero.
#pragma once

#include <cstdint>

#include "story/story_state.h"

namespace lanthorn {

constexpr int kSaveRecordSize = 2544;
constexpr uint32_t kSaveFormatMark = 176;
constexpr int kSoundFlagOffset = 2;

// Writes the whole record for this story state, reading position and sound
// flag.
void EncodeSaveRecord(const StoryState& story, int16_t readingPosition, uint8_t sound,
                      uint8_t (&record)[kSaveRecordSize]);

// Takes the story state out of the first `length` bytes of a record and
// returns the page to show. A record cut short or of another format leaves
// the story as it is and shows page 2; its sound flag is still the byte at
// offset 2 when it was read (0 otherwise). A page outside 1..361 shows page 2.
int16_t DecodeSaveRecord(const uint8_t (&record)[kSaveRecordSize], int32_t length,
                         StoryState& story, uint8_t* sound);

}  // namespace lanthorn
