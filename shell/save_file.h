// The save file: the reader's place, its setting and the story state, read
// at start-up and written back at the end, in the save record's layout.
#pragma once

#include "platform/platform.h"
#include "story/save_format.h"

namespace lanthorn {

struct Reader;

// Fills the reader from the file (or, for a file just created, starts afresh
// with sound on) and takes the shown page and story state out of it. A short
// or foreign file leaves the story as compiled in.
void LoadSaveRecord(Reader& reader, FileHandle file, bool created);

// Writes the record over the start of the file, without truncating it.
// Returns false when the record could not be written whole.
bool StoreSaveRecord(Reader& reader, FileHandle file);

}  // namespace lanthorn
