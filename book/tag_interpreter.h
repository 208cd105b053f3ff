// The tag interpreter: acts on one tag of the mark-up, held in the
// tokenizer's command buffer (tag letter first, then its operands), and
// returns whether a following block in braces is shown.
#pragma once

#include <cstdint>

namespace lanthorn {

struct Reader;

constexpr int kHotwordCapacity = 100;

uint8_t InterpretTag(Reader& reader);

// Operand readers over the command buffer, at the parse position.
// SkipPast moves just past the next c, or to the end of the tag text.
void SkipPast(Reader& reader, char c);
// Reads a decimal number: "+" is passed over, a "-" anywhere makes it
// negative, the first other character ends it and stays unread. A blank ends
// it at once, so a blank reads 0.
int32_t ReadNumber(Reader& reader);

}  // namespace lanthorn
