#include "story/story_state.h"

#include "shell/reader.h"
#include "story/hotwords.h"

namespace lanthorn {

namespace {

const ItemDefinition* Definition(const Reader& reader, int32_t item) {
  return ValidItem(item) ? &reader.book.items[item] : nullptr;
}

}  // namespace

bool ValidItem(int32_t item) { return item >= 0 && item < kItemCount; }

bool ValidRestartPoint(int32_t point) { return point >= 0 && point < kRestartPointCount; }

void InitialiseStoryState(Reader& reader) {
  StoryState& story = reader.story;
  story = StoryState{};
  for (int k = 0; k < kRestartPointCount; ++k) {
    const RestartPointDefinition& point = reader.book.restartPoints[k];
    story.restartPoints[k] = {point.caption != nullptr ? point.caption : "", 0, point.paragraph};
  }
}

uint8_t Held(const Reader& reader, int32_t item) {
  return ValidItem(item) ? reader.story.items[item].held : 0;
}

int32_t NumericValue(const Reader& reader, int32_t item) {
  const ItemDefinition* definition = Definition(reader, item);
  if (definition == nullptr) return 0;
  const ItemState& state = reader.story.items[item];
  if (definition->kind == kNumberItem) {
    return static_cast<int16_t>(state.held | (state.value << 8));
  }
  return state.value;
}

const char* OptionText(const Reader& reader, int32_t item) {
  const ItemDefinition* definition = Definition(reader, item);
  if (definition == nullptr || definition->optionTexts == nullptr) return "";
  // A value beyond the list (a damaged save file) selects nothing.
  const uint8_t value = reader.story.items[item].value;
  if (value >= definition->optionCount) return "";
  const char* text = definition->optionTexts[value];
  return text != nullptr ? text : "";
}

int16_t OptionPicture(const Reader& reader, int32_t item) {
  const ItemDefinition* definition = Definition(reader, item);
  if (definition == nullptr || definition->optionPictures == nullptr) return -1;
  const uint8_t value = reader.story.items[item].value;
  if (value >= definition->optionCount) return -1;
  return static_cast<int16_t>(definition->optionPictures[value]);
}

uint8_t ItemKind(const Reader& reader, int32_t item) {
  const ItemDefinition* definition = Definition(reader, item);
  return definition != nullptr ? definition->kind : static_cast<uint8_t>(kTextItem);
}

void SetHeld(Reader& reader, int32_t item) {
  if (ValidItem(item)) reader.story.items[item].held = 1;
}

void ClearHeld(Reader& reader, int32_t item) {
  if (ValidItem(item)) reader.story.items[item].held = 0;
}

int32_t ComputeAssignment(Reader& reader, int32_t item, const AssignmentOperand& operand,
                          bool adding) {
  const ItemDefinition* definition = Definition(reader, item);
  const int32_t optionCount = definition != nullptr ? definition->optionCount : 0;
  const int32_t minimum = definition != nullptr ? definition->minimum : 0;

  int32_t value = 0;
  switch (operand.kind) {
    case AssignmentOperand::kRandom:
      value = RandomDraw(reader);
      if (optionCount > 0) value %= optionCount;
      break;
    case AssignmentOperand::kItemValue:
      value = NumericValue(reader, operand.number);
      break;
    case AssignmentOperand::kNumber:
      value = static_cast<int16_t>(operand.number);  // the tags use the low 16 bits
      break;
  }
  if (adding && operand.kind != AssignmentOperand::kRandom) {
    if (operand.negated) value = -value;
    value += NumericValue(reader, item);
  }
  if (value > optionCount - 1) value = optionCount - 1;
  if (value < minimum) value = minimum;
  return value;
}

void AssignValue(Reader& reader, int32_t item, int32_t value) {
  const ItemDefinition* definition = Definition(reader, item);
  if (definition == nullptr) return;
  ItemState& state = reader.story.items[item];
  if (definition->kind == kNumberItem) {
    const uint16_t bits = static_cast<uint16_t>(value);
    state.held = static_cast<uint8_t>(bits & 0xFF);
    state.value = static_cast<uint8_t>(bits >> 8);
  } else {
    state.value = static_cast<uint8_t>(value & 0xFF);
  }
}

void MarkRestartPoint(Reader& reader, int32_t point, int32_t paragraph) {
  if (!ValidRestartPoint(point)) return;
  RestartPointState& state = reader.story.restartPoints[point];
  state.reached = 1;
  state.paragraph = static_cast<uint16_t>(paragraph);
  for (int i = 0; i < kItemCount; ++i) reader.story.snapshots[point][i] = reader.story.items[i];
}

void RestoreSnapshot(Reader& reader, int32_t point) {
  if (!ValidRestartPoint(point)) return;
  for (int i = 0; i < kItemCount; ++i) reader.story.items[i] = reader.story.snapshots[point][i];
}

void ClearStoryItems(Reader& reader) {
  for (ItemState& item : reader.story.items) item = {0, 0};
}

void ClearRestartPoints(Reader& reader) {
  for (RestartPointState& point : reader.story.restartPoints) point.reached = 0;
}

}  // namespace lanthorn
