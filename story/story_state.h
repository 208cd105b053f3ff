// The story state: the held flag and value of the 52 story items, and the 14
// restart points with their snapshots of the items. Item and restart point
// numbers come from the mark-up and the save file; a number outside the
// tables reads as nothing and writes nowhere.
#pragma once

#include <cstdint>

#include "book/book_tables.h"
#include "platform/platform.h"
#include "story/evaluator.h"
#include "story/random.h"

namespace lanthorn {

// A number item keeps one signed 16-bit number in these two bytes, the held
// flag being its low byte.
struct ItemState {
  uint8_t held;
  uint8_t value;
};

struct RestartPointState {
  const char* caption;
  uint8_t reached;
  uint16_t paragraph;
};

struct StoryState {
  ItemState items[kItemCount];
  RestartPointState restartPoints[kRestartPointCount];
  ItemState snapshots[kRestartPointCount][kItemCount];
};

// The story layer's context: the book's constant item and restart point
// tables, the state that changes as the story is played, the chance rolls'
// generator and the condition evaluator's stacks. The platform reports limits
// and gives the tick count that seeds the rolls.
struct Story {
  Story(const Book& theBook, Platform& thePlatform);
  Story(const Story&) = delete;
  Story& operator=(const Story&) = delete;

  const Book& book;
  Platform& platform;
  StoryState state{};
  RandomState random{};
  EvaluatorState evaluator{};
};

// An assignment's operand as the mark-up wrote it.
struct AssignmentOperand {
  enum Kind : uint8_t { kNumber, kItemValue, kRandom } kind;
  int32_t number;  // kNumber: the number; kItemValue: the item whose value it is
  bool negated;    // written as -%M
};

// The compiled-in starting state: every item clear, restart points unreached
// at their book paragraphs, snapshots clear.
void InitialiseStoryState(Story& story);

bool ValidItem(int32_t item);
bool ValidRestartPoint(int32_t point);

uint8_t Held(const Story& story, int32_t item);
int32_t NumericValue(const Story& story, int32_t item);
// The option text the item's value selects; empty when there is none.
const char* OptionText(const Story& story, int32_t item);
// The picture number the item's value selects; -1 when there is none.
int16_t OptionPicture(const Story& story, int32_t item);
uint8_t ItemKind(const Story& story, int32_t item);

void SetHeld(Story& story, int32_t item);
void ClearHeld(Story& story, int32_t item);
int32_t ComputeAssignment(Story& story, int32_t item, const AssignmentOperand& operand,
                          bool adding);
void AssignValue(Story& story, int32_t item, int32_t value);
void MarkRestartPoint(Story& story, int32_t point, int32_t paragraph);
void RestoreSnapshot(Story& story, int32_t point);
void ClearStoryItems(Story& story);
void ClearRestartPoints(Story& story);

}  // namespace lanthorn
