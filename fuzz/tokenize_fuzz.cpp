// Tokenizes arbitrary bytes as a paragraph: whatever the text, the tokenizer
// and the display list must stay inside their buffers.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "book/tokenizer.h"
#include "tests/support/test_book.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static testing_support::TestReader t(testing_support::EmptyBook());
  std::vector<char> text(data, data + size);
  text.push_back('\0');
  lanthorn::EmptyDisplayList(*t.reader);
  lanthorn::Tokenize(*t.reader, text.data());
  t.platform.ClearMessages();

  // The list's invariants hold: texts lie inside the page text buffer.
  const lanthorn::DisplayList& list = t.reader->display;
  if (list.count < 0 || list.count > lanthorn::kDisplayRecordCapacity) __builtin_trap();
  if (list.usedLength < 0 || list.usedLength > lanthorn::kPageTextSize) __builtin_trap();
  for (int i = 0; i < list.count; ++i) {
    const lanthorn::DisplayRecord& r = list.records[i];
    if (r.kind != lanthorn::kTextRun && r.kind != lanthorn::kTitleRun) continue;
    const char* end = list.pageText + list.usedLength;
    if (r.text < list.pageText || r.text + strlen(r.text) >= end) __builtin_trap();
  }
  return 0;
}
