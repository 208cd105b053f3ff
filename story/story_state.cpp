#include "story/story_state.h"

namespace lanthorn {

namespace {

const ItemDefinition* Definition(const Story& story, int32_t item) {
  return ValidItem(item) ? &story.book.items[item] : nullptr;
}

}  // namespace

Story::Story(const Book& theBook, Platform& thePlatform) : book(theBook), platform(thePlatform) {
  InitialiseStoryState(*this);
}

bool ValidItem(int32_t item) { return item >= 0 && item < kItemCount; }

bool ValidRestartPoint(int32_t point) { return point >= 0 && point < kRestartPointCount; }

void InitialiseStoryState(Story& story) {
  story.state = StoryState{};
  for (int k = 0; k < kRestartPointCount; ++k) {
    const RestartPointDefinition& point = story.book.restartPoints[k];
    story.state.restartPoints[k] = {point.caption != nullptr ? point.caption : "", 0,
                                    point.paragraph};
  }
}

uint8_t Held(const Story& story, int32_t item) {
  return ValidItem(item) ? story.state.items[item].held : 0;
}

int32_t NumericValue(const Story& story, int32_t item) {
  const ItemDefinition* definition = Definition(story, item);
  if (definition == nullptr) return 0;
  const ItemState& state = story.state.items[item];
  if (definition->kind == kNumberItem) {
    return static_cast<int16_t>(state.held | (state.value << 8));
  }
  return state.value;
}

const char* OptionText(const Story& story, int32_t item) {
  const ItemDefinition* definition = Definition(story, item);
  if (definition == nullptr || definition->optionTexts == nullptr) return "";
  // A value beyond the list (a damaged save file) selects nothing.
  const uint8_t value = story.state.items[item].value;
  if (value >= definition->optionCount) return "";
  const char* text = definition->optionTexts[value];
  return text != nullptr ? text : "";
}

int16_t OptionPicture(const Story& story, int32_t item) {
  const ItemDefinition* definition = Definition(story, item);
  if (definition == nullptr || definition->optionPictures == nullptr) return -1;
  const uint8_t value = story.state.items[item].value;
  if (value >= definition->optionCount) return -1;
  return static_cast<int16_t>(definition->optionPictures[value]);
}

uint8_t ItemKind(const Story& story, int32_t item) {
  const ItemDefinition* definition = Definition(story, item);
  return definition != nullptr ? definition->kind : static_cast<uint8_t>(kTextItem);
}

void SetHeld(Story& story, int32_t item) {
  if (ValidItem(item)) story.state.items[item].held = 1;
}

void ClearHeld(Story& story, int32_t item) {
  if (ValidItem(item)) story.state.items[item].held = 0;
}

int32_t ComputeAssignment(Story& story, int32_t item, const AssignmentOperand& operand,
                          bool adding) {
  const ItemDefinition* definition = Definition(story, item);
  const int32_t optionCount = definition != nullptr ? definition->optionCount : 0;
  const int32_t minimum = definition != nullptr ? definition->minimum : 0;

  int32_t value = 0;
  switch (operand.kind) {
    case AssignmentOperand::kRandom:
      value = RandomDraw(story.random, story.platform);
      if (optionCount > 0) value %= optionCount;
      break;
    case AssignmentOperand::kItemValue: value = NumericValue(story, operand.number); break;
    case AssignmentOperand::kNumber:
      value = static_cast<int16_t>(operand.number);  // the tags use the low 16 bits
      break;
  }
  if (adding && operand.kind != AssignmentOperand::kRandom) {
    if (operand.negated) value = -value;
    value += NumericValue(story, item);
  }
  if (value > optionCount - 1) value = optionCount - 1;
  if (value < minimum) value = minimum;
  return value;
}

void AssignValue(Story& story, int32_t item, int32_t value) {
  const ItemDefinition* definition = Definition(story, item);
  if (definition == nullptr) return;
  ItemState& state = story.state.items[item];
  if (definition->kind == kNumberItem) {
    const uint16_t bits = static_cast<uint16_t>(value);
    state.held = static_cast<uint8_t>(bits & 0xFF);
    state.value = static_cast<uint8_t>(bits >> 8);
  } else {
    state.value = static_cast<uint8_t>(value & 0xFF);
  }
}

void MarkRestartPoint(Story& story, int32_t point, int32_t paragraph) {
  if (!ValidRestartPoint(point)) return;
  RestartPointState& state = story.state.restartPoints[point];
  state.reached = 1;
  state.paragraph = static_cast<uint16_t>(paragraph);
  for (int i = 0; i < kItemCount; ++i) story.state.snapshots[point][i] = story.state.items[i];
}

void RestoreSnapshot(Story& story, int32_t point) {
  if (!ValidRestartPoint(point)) return;
  for (int i = 0; i < kItemCount; ++i) story.state.items[i] = story.state.snapshots[point][i];
}

void ClearStoryItems(Story& story) {
  for (ItemState& item : story.state.items) item = {0, 0};
}

void ClearRestartPoints(Story& story) {
  for (RestartPointState& point : story.state.restartPoints) point.reached = 0;
}

}  // namespace lanthorn
