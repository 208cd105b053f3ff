// The page's choices: the hotword table that says what picking each choice
// does, the parsers that fill it from choice tags, and the choice resolution
// that acts on a picked control.
#pragma once

#include <cstdint>

namespace lanthorn {

struct Reader;

constexpr int kAnswerSize = 20;

struct HotwordRecord {
  char kind;
  int16_t index;  // item number (N, Q, R) or restart point (u)
  int32_t value;  // value to assign (R); first threshold (d, L)
  int8_t band2;
  int8_t band3;
  char answer1[kAnswerSize];
  char answer2[kAnswerSize];
  char answer3[kAnswerSize];
  uint16_t controlId;
  uint16_t target0;
  uint16_t target1;
  uint16_t target2;
  uint16_t target3;
};

// The records of one page; the tokenizer's hotword count says how many are in
// use. Choices beyond the table's end are parsed into the spare record, which
// nothing reads, instead of past the table.
struct HotwordTable {
  HotwordRecord records[100];
  HotwordRecord spare;
};

struct RandomState {
  bool seeded;
  uint32_t state;
};

// The record the next choice tag fills.
HotwordRecord& NextHotword(Reader& reader);

// Choice parsers, continuing at the command buffer's parse position.
void ParseChoiceControl(Reader& reader, bool labelled);
void ParseChanceChoice(Reader& reader);
void ParseAnswerChoice(Reader& reader);

// Acts on the choice whose control was picked (text: what was typed into an
// input box, or empty).
void ActivateHotword(Reader& reader, uint16_t controlId, const char* text);

// 0 to 32767, from a generator seeded once from the tick count.
int32_t RandomDraw(Reader& reader);

// 0 when the texts match with blanks removed and letter case ignored. A null
// b never matches.
int CompareAnswer(const char* a, const char* b);

}  // namespace lanthorn
