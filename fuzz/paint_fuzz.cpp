// Builds a page from arbitrary bytes as its mark-up and lays it out at a
// width chosen by the input: the pending line, its text buffer and the fit
// buffer must hold whatever the page holds, and the layout must end.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/fuzz_reader.h"
#include "page/tokenizer.h"
#include "platform/quiet/quiet_platform.h"
#include "render/painter.h"
#include "story/story_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  lanthorn::HeadlessPlatform* platform = nullptr;
  lanthorn::Reader& reader = FuzzReader(&platform);
  ResetPage(reader, *platform);
  lanthorn::ClearStoryItems(reader.story);
  // The first byte sets the page's width: from 60 to 570 pixels.
  reader.render.pageArea = {0, 0, 60 + 2 * data[0], 600};
  reader.render.scrollPageSize = 557;

  std::vector<char> text(data + 1, data + size);
  text.push_back('\0');
  lanthorn::Tokenize(reader.page, text.data());
  reader.navigation.rebuild = 0;
  lanthorn::QuietCanvas canvas;
  lanthorn::OnPaint(reader, canvas);
  if (reader.render.pendingCount != 0) __builtin_trap();
  return 0;
}
