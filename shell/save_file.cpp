#include "shell/save_file.h"

#include "shell/reader.h"

namespace lanthorn {

void LoadSaveRecord(Reader& reader, FileHandle file, bool created) {
  if (created) {
    reader.navigation.shownPage = kFirstStoryPage;
    reader.settings.sound = 1;
    return;
  }
  uint8_t record[kSaveRecordSize]{};
  int32_t total = 0;
  while (total < kSaveRecordSize) {
    const int32_t got = reader.platform.ReadFile(file, record + total, kSaveRecordSize - total);
    if (got <= 0) break;
    total += got;
  }
  reader.navigation.shownPage =
      DecodeSaveRecord(record, total, reader.story.state, &reader.settings.sound);
}

bool StoreSaveRecord(Reader& reader, FileHandle file) {
  uint8_t record[kSaveRecordSize];
  EncodeSaveRecord(reader.story.state, reader.navigation.readingPosition, reader.settings.sound,
                   record);
  if (!reader.platform.SeekToStart(file)) return false;
  return reader.platform.WriteFile(file, record, kSaveRecordSize) == kSaveRecordSize;
}

}  // namespace lanthorn
