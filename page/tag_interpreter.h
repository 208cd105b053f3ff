// The tag interpreter: acts on one tag of the mark-up, held in the
// tokenizer's command buffer (tag letter first, then its operands as the tag
// reader reads them), and returns whether a following block in braces is
// shown.
#pragma once

#include <cstdint>

namespace lanthorn {

struct Page;

uint8_t InterpretTag(Page& page);

}  // namespace lanthorn
