// Builds a page from arbitrary bytes as its mark-up: the tokenizer, the tag
// interpreter, the evaluator and the choice parsers must stay inside their
// tables and buffers whatever the text, and the display list's texts must lie
// inside the page text buffer.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz/fuzz_reader.h"
#include "page/tokenizer.h"
#include "story/story_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lanthorn::HeadlessPlatform* platform = nullptr;
  lanthorn::Reader& reader = FuzzReader(&platform);
  ResetPage(reader, *platform);
  lanthorn::ClearStoryItems(reader.story);

  std::vector<char> text(data, data + size);
  text.push_back('\0');
  lanthorn::Tokenize(reader.page, text.data());

  const lanthorn::DisplayList& list = reader.page.display;
  if (list.count < 0 || list.count > lanthorn::kDisplayRecordCapacity) __builtin_trap();
  if (list.usedLength < 0 || list.usedLength > lanthorn::kPageTextSize) __builtin_trap();
  for (int i = 0; i < list.count; ++i) {
    const lanthorn::DisplayRecord& r = list.records[i];
    if (r.kind != lanthorn::kTextRun && r.kind != lanthorn::kTitleRun) continue;
    const char* end = list.pageText + list.usedLength;
    if (r.text < list.pageText || r.text + strlen(r.text) >= end) __builtin_trap();
  }
  if (reader.page.hotwords.count < 0 || reader.page.hotwords.count > 100) __builtin_trap();
  return 0;
}
