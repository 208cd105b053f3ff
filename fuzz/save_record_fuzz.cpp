// Loads arbitrary bytes as a save file, then builds every page of the book
// and the inventory from the state it gave: nothing may read outside a table,
// however the file was damaged.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "book/paragraph_store.h"
#include "fuzz/fuzz_reader.h"
#include "page/tokenizer.h"
#include "screens/screens.h"
#include "shell/save_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lanthorn::HeadlessPlatform* platform = nullptr;
  lanthorn::Reader& reader = FuzzReader(&platform);
  static const std::string path = "/tmp/lanthorn-save-fuzz-" + std::to_string(getpid()) + ".dat";

  FILE* out = fopen(path.c_str(), "wb");
  if (out == nullptr) return 0;
  fwrite(data, 1, size, out);
  fclose(out);
  lanthorn::InitialiseStoryState(reader.story);
  lanthorn::FileHandle file = platform->OpenExclusive(path.c_str());
  if (file == nullptr) return 0;
  lanthorn::LoadSaveRecord(reader, file, false);
  platform->CloseFile(file);
  if (reader.navigation.shownPage < 1 || reader.navigation.shownPage > 361) __builtin_trap();

  for (int16_t page = 1; page <= lanthorn::kParagraphCount; ++page) {
    if (!lanthorn::PageExists(reader.book, page)) continue;
    ResetPage(reader, *platform);
    reader.navigation.shownPage = page;
    lanthorn::JoinParagraph(reader.book, reader.platform, page, reader.paragraph);
    lanthorn::Tokenize(reader.page, reader.paragraph.text);
  }
  ResetPage(reader, *platform);
  lanthorn::BuildInventoryScreen(reader.page, reader.screens);
  return 0;
}
