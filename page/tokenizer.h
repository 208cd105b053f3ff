// The mark-up tokenizer: one pass over a paragraph's joined text that gathers
// body text into the word buffer and flushes it into the display list, hands
// each tag (the text between "<" and ">") to the tag interpreter, and lets the
// block in braces after a conditional tag through or skips it.
#pragma once

#include <cstdint>

namespace lanthorn {

struct Page;

constexpr int kWordBufferSize = 300;
constexpr int kCommandBufferSize = 400;
// A stretch of body text is flushed at the first blank after this many
// characters, so a long run of text never fills the word buffer.
constexpr int kWordFlushLength = 150;

enum TokenizerStateNumber : uint32_t {
  kInWord = 0,
  kInTag = 1,
  kSkipping = 2,
  kBetweenWords = 3,
  kAfterCondition = 4,
};

struct TokenizerState {
  int32_t readPosition;
  uint32_t state;
  char word[kWordBufferSize];
  int16_t wordLength;
  char command[kCommandBufferSize];
  int16_t commandIndex;  // characters gathered; the interpreter's parse position
  uint8_t titleMode;     // kept from page to page, like the bold state
  uint8_t lastTagResult;
  uint8_t conditionalFlag;
  uint8_t conditionFlag;
  uint16_t skipDistance;
  bool wordOverflowReported;
  bool commandOverflowReported;
};

void Tokenize(Page& page, const char* text);

// Appends text to the word buffer, keeping its length in step; characters
// that do not fit are dropped and reported once with "%d is Too many letters
// in word".
void AppendToWord(Page& page, const char* text);

// Empties the word buffer.
void ClearWord(Page& page);

}  // namespace lanthorn
