// The page's choices: the hotword table that says what picking each choice
// does, and the choice resolution that decides what a picked choice does to
// the story and where it moves. Resolution changes the story state and
// returns the move; the shell makes it.
#pragma once

#include <cstdint>

namespace lanthorn {

struct Story;

constexpr int kHotwordCapacity = 100;  // choices a page can hold
constexpr int kAnswerSize = 20;        // an answer's characters and its NUL

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

// The records of one page and how many are in use. Choices beyond the table's
// end are parsed into the spare record, which nothing reads, instead of past
// the table.
struct HotwordTable {
  HotwordRecord records[kHotwordCapacity];
  HotwordRecord spare;
  int16_t count;
};

// How a move treats the reading position: a story move takes it along, an
// aside leaves it, and a follow move does what the shown page does.
enum class PageMode : uint8_t { kFollow = 0, kStory = 1, kAside = 2 };

struct Move {
  bool go;       // false: the choice moves nowhere
  int16_t page;  // the page to show (paragraph + 1)
  PageMode mode;
};

// The record the next choice tag fills.
HotwordRecord& NextHotword(HotwordTable& table);

// Acts on the choice whose control was picked (text: what was typed into an
// input box, or empty): rolls its chance or compares its answer, changes the
// story state, and returns the move it decided.
Move ActivateHotword(Story& story, const HotwordTable& table, uint16_t controlId, const char* text);

// 0 when the texts match with blanks removed and letter case ignored. A null
// b never matches.
int CompareAnswer(const char* a, const char* b);

}  // namespace lanthorn
