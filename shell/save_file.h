// The save file on disk, and keeping the reader's place in it as they read.
//
// The file starts with the 2,544-byte save record, exactly as every copy of
// the reader reads it; a journal follows it, so that a save cut short (the
// program killed, the power lost, the disk full) is noticed at the next start
// and the last record written whole is taken instead of a mix:
//
//   0      the save record
//   2544   the journal: a copy of the record being saved
//   5088   the journal's check: "LFJ1", then the CRC-32 of the copy
//          (little-endian); the file is 5,096 bytes long
//
// A save writes the journal and its check and puts them on the disk, then
// writes the record over the start of the file and puts that on the disk. So
// at start-up:
//
//   - no journal, or one whose check fails (the save stopped while the
//     journal was written): the record at the start is whole, since the save
//     before finished before this one began; it is taken;
//   - a whole journal equal to the record: the save finished; either is it;
//   - a whole journal that differs from the record: the save stopped while
//     the record was written over, so the record may be part new, part old;
//     the journal's copy is the last whole record and is taken.
//
// A plain 2,544-byte file (an older copy of the reader writes only the
// record) has no journal and is read as it always was; the first save adds
// the journal. An older copy that saves over a file that has one leaves the
// journal behind, and this reader then resumes from its own last save.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "story/save_format.h"

namespace lanthorn {

struct Reader;

constexpr int kJournalOffset = kSaveRecordSize;
constexpr int kJournalCheckSize = 8;
constexpr int kSaveFileSize = kJournalOffset + kSaveRecordSize + kJournalCheckSize;

// Fills the reader from the file (or, for a file just created, starts afresh
// with sound on) and takes the shown page and story state out of it. A short
// or foreign file leaves the story as compiled in.
void LoadSaveRecord(Reader& reader, FileHandle file, bool created);

// Writes the reader's record by way of the journal and puts it on the disk.
// Returns false when the record could not be written whole.
bool StoreSaveRecord(Reader& reader, FileHandle file);

// Reads the record the file holds into `record` (2,544 bytes), taking the
// journal's copy when the record was cut short. Returns how many bytes of
// the record came in (fewer than 2,544 for a short file, whose bytes read
// stay in `record`).
// When `settled` is given, it tells whether the file holds the record whole
// twice over (a whole journal equal to it), so that saving the same record
// again would not change a byte.
int32_t ReadSaveFile(Platform& platform, FileHandle file, uint8_t* record, bool* settled = nullptr);

// Saves `record` as above. False when any write, or putting it on the disk,
// failed.
bool WriteSaveFile(Platform& platform, FileHandle file, const uint8_t* record);

// Writes the reader's place to the save file now (a no-op for a reader with
// no save file). When the file was deleted or replaced while the program
// runs, it is made again under its name and held, so that the session is not
// written into a file nobody can find and a second copy is still refused.
// False when the place could not be saved.
bool KeepReaderPlace(Reader& reader);

// As KeepReaderPlace, after a page is built: when the file is still there
// and already holds the record the reader would write, nothing is written
// (each save puts the file on the disk twice, which on a busy disk costs the
// reader's start-up most, where the first page changes nothing).
bool KeepChangedReaderPlace(Reader& reader);

uint32_t Crc32(const uint8_t* bytes, int32_t count);

}  // namespace lanthorn
