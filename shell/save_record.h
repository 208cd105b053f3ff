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
// Every other byte is zero. The save file holds a journal after the record
// (shell/save_file.h), which these bytes never change.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace lanthorn {

struct Reader;

constexpr int kSaveRecordSize = 2544;
constexpr uint32_t kSaveFormatMark = 176;
constexpr int kSoundFlagOffset = 2;

// Fills the record from the file (or, for a file just created, starts afresh
// with sound on) and takes the shown page and story state out of it. A short
// or foreign file leaves the story as compiled in.
void LoadSaveRecord(Reader& reader, FileHandle file, bool created);

// Writes the record over the start of the file, without truncating it, by
// way of the journal, and puts it on the disk. Returns false when the record
// could not be written whole.
bool StoreSaveRecord(Reader& reader, FileHandle file);

uint8_t SoundFlag(const Reader& reader);
void SetSoundFlag(Reader& reader, uint8_t on);

}  // namespace lanthorn
