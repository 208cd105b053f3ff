#include "book/tag_interpreter.h"

#include <cstdio>

#include "book/display_list.h"
#include "book/paragraph_store.h"
#include "book/tokenizer.h"
#include "shell/navigation.h"
#include "shell/reader.h"
#include "shell/save_record.h"
#include "story/evaluator.h"
#include "story/hotwords.h"
#include "story/story_state.h"

namespace lanthorn {

namespace {

char At(const Reader& reader) {
  return reader.tokenizer.command[reader.tokenizer.commandIndex];
}

bool AtEnd(const Reader& reader) { return At(reader) == '\0'; }

void SkipBlank(Reader& reader) {
  if (At(reader) == ' ') ++reader.tokenizer.commandIndex;
}

// The operand n of a tag: one blank after the letter is passed.
int16_t ReadTagNumber(Reader& reader) {
  TokenizerState& t = reader.tokenizer;
  if (t.command[1] == ' ') t.commandIndex = 2;
  return static_cast<int16_t>(ReadNumber(reader));
}

// "%i" and "*k" operands.
int32_t ReadMarkedNumber(Reader& reader, char mark) {
  SkipPast(reader, mark);
  return static_cast<int16_t>(ReadNumber(reader));
}

// Raises the hotword count after a choice tag; it never passes the table.
void CountHotword(Reader& reader) {
  if (reader.tokenizer.hotwordCount < kHotwordCapacity) ++reader.tokenizer.hotwordCount;
}

// A choice after its kind (and index and value) are set: labelled when a
// double quote stands at the parse position.
void LabelOrControlChoice(Reader& reader) {
  if (At(reader) == '"') {
    ++reader.tokenizer.commandIndex;
    ParseChoiceControl(reader, true);
  } else {
    ParseChoiceControl(reader, false);
  }
  CountHotword(reader);
}

void EndTitle(Reader& reader) {
  reader.tokenizer.titleMode = 0;
  AddTitle(reader, reader.tokenizer.word);
  ClearWord(reader);
}

void HardBlank(Reader& reader) {
  if (reader.tokenizer.titleMode) {
    AppendToWord(reader, " ");
  } else {
    AddText(reader, " ");
  }
}

void ShowItemState(Reader& reader) {
  const int32_t item = ReadMarkedNumber(reader, '%');
  const bool title = reader.tokenizer.titleMode != 0;
  switch (ItemKind(reader, item)) {
    case kTextItem:
      if (!ValidItem(item)) break;
      if (title) {
        AppendToWord(reader, OptionText(reader, item));
      } else {
        AddText(reader, OptionText(reader, item));
      }
      break;
    case kNumberItem: {
      char number[16];
      snprintf(number, sizeof number, " %d", static_cast<int>(NumericValue(reader, item)));
      if (title) {
        AppendToWord(reader, number);
      } else {
        AddText(reader, number);
      }
      break;
    }
    case kPictureItem:
      if (title) {
        ShowError(reader, "Images not allowed in title");
      } else {
        AddPicture(reader, OptionPicture(reader, item), 1);
      }
      break;
    default:
      break;
  }
}

// N and Q: with nothing after the item they act now, otherwise they make a
// choice that acts when picked.
void HeldTag(Reader& reader, char kind) {
  const int32_t item = ReadMarkedNumber(reader, '%');
  SkipBlank(reader);
  if (AtEnd(reader)) {
    if (kind == 'N') {
      SetHeld(reader, item);
    } else {
      ClearHeld(reader, item);
    }
    return;
  }
  HotwordRecord& record = NextHotword(reader);
  record.kind = kind;
  record.index = static_cast<int16_t>(item);
  LabelOrControlChoice(reader);
}

// R assigns, r adds; the value is computed now, stored now or kept in a
// choice.
void AssignmentTag(Reader& reader, bool adding) {
  const int32_t item = ReadMarkedNumber(reader, '%');
  SkipBlank(reader);
  AssignmentOperand operand{AssignmentOperand::kNumber, 0, false};
  TokenizerState& t = reader.tokenizer;
  if (At(reader) == '-' && t.command[t.commandIndex + 1] == '%') {
    operand.negated = true;
    ++t.commandIndex;
  }
  if (At(reader) == '%') {
    ++t.commandIndex;
    operand.kind = AssignmentOperand::kItemValue;
    operand.number = ReadNumber(reader);
  } else if (At(reader) == 'z' && !adding) {
    ++t.commandIndex;
    operand.kind = AssignmentOperand::kRandom;
  } else {
    operand.number = ReadNumber(reader);
  }
  const int32_t value = ComputeAssignment(reader, item, operand, adding);
  HotwordRecord& record = NextHotword(reader);
  record.value = value;
  SkipBlank(reader);
  if (AtEnd(reader)) {
    AssignValue(reader, item, value);
    return;
  }
  record.kind = 'R';
  record.index = static_cast<int16_t>(item);
  LabelOrControlChoice(reader);
}

void PlaySoundTag(Reader& reader) {
  const int16_t sound = ReadTagNumber(reader);
  if (SoundFlag(reader) == 0 || sound < 0 || sound >= kSoundCount) return;
  const char* name = reader.book.sounds[sound];
  if (name != nullptr && name[0] != '\0') reader.platform.PlayWave(name);
}

uint8_t Condition(Reader& reader) {
  TokenizerState& t = reader.tokenizer;
  t.conditionalFlag = 1;
  t.conditionFlag = EvaluateCondition(reader);
  return t.conditionFlag;
}

}  // namespace

void SkipPast(Reader& reader, char c) {
  TokenizerState& t = reader.tokenizer;
  while (t.command[t.commandIndex] != '\0') {
    if (t.command[t.commandIndex++] == c) return;
  }
}

int32_t ReadNumber(Reader& reader) {
  TokenizerState& t = reader.tokenizer;
  uint32_t value = 0;  // wraps like the 32-bit accumulator it stands for
  bool negative = false;
  for (;;) {
    const char c = t.command[t.commandIndex];
    if (c >= '0' && c <= '9') {
      value = value * 10u + static_cast<uint32_t>(c - '0');
    } else if (c == '-') {
      negative = true;
    } else if (c != '+') {
      break;
    }
    ++t.commandIndex;
  }
  if (negative) value = 0u - value;
  return static_cast<int32_t>(value);
}

uint8_t InterpretTag(Reader& reader) {
  TokenizerState& t = reader.tokenizer;
  if (t.hotwordCount < kHotwordCapacity) {
    HotwordRecord& next = reader.hotwords.records[t.hotwordCount];
    next.controlId = 0;
    next.target0 = 0;
  }
  t.conditionalFlag = 0;
  t.commandIndex = t.command[0] != '\0' ? 1 : 0;

  switch (t.command[0]) {
    case 'H': t.titleMode = 1; break;
    case 'J': EndTitle(reader); break;
    case 'W': SetAlignment(reader, ReadTagNumber(reader)); break;
    case 'B': BoldOn(reader); break;
    case 'D': BoldOff(reader); break;
    case 'U': LineBreak(reader); break;
    case 'P': ParagraphBreak(reader); break;
    case 'T': Tab(reader); break;
    case 'a': HardBlank(reader); break;
    case 'V': AddPicture(reader, ReadTagNumber(reader), 0); break;
    case 'v': AddPicture(reader, ReadTagNumber(reader), 1); break;
    case 'A': PlaySoundTag(reader); break;
    case 'C': reader.platform.StopSound(); break;
    case 'l': ShowItemState(reader); break;
    case 'N':
    case 'Q': HeldTag(reader, t.command[0]); break;
    case 'R': AssignmentTag(reader, false); break;
    case 'r': AssignmentTag(reader, true); break;
    case 's': {
      const int32_t point = ReadMarkedNumber(reader, '*');
      MarkRestartPoint(reader, point, reader.navigation.shownPage - 1);
      break;
    }
    case 'O':
      return Condition(reader);
    case 'o':
      if (t.conditionFlag) {
        t.conditionalFlag = 1;
        return 0;
      }
      return Condition(reader);
    case 'E':
      // Else: its block shows when no condition of the chain before it held.
      t.conditionalFlag = 1;
      return t.conditionFlag ? 0 : 1;
    case 'u': {
      t.conditionalFlag = 1;
      const int32_t point = ReadMarkedNumber(reader, '*');
      if (!ValidRestartPoint(point) || reader.story.restartPoints[point].reached == 0) return 0;
      HotwordRecord& record = NextHotword(reader);
      record.kind = 'u';
      record.index = static_cast<int16_t>(point);
      SkipPast(reader, '"');
      ParseChoiceControl(reader, true);
      CountHotword(reader);
      AppendToWord(reader, reader.story.restartPoints[point].caption);
      AppendToWord(reader, " ");
      break;
    }
    case 'M':
    case 'm':
    case 'g': {
      NextHotword(reader).kind = t.command[0];
      if (t.command[1] == ' ') t.commandIndex = 2;
      LabelOrControlChoice(reader);
      break;
    }
    case 'L':
    case 'd':
      NextHotword(reader).kind = t.command[0];
      SkipPast(reader, '"');
      ParseChanceChoice(reader);
      CountHotword(reader);
      break;
    case 'S':
      NextHotword(reader).kind = 'S';
      SkipPast(reader, '(');
      ParseAnswerChoice(reader);
      CountHotword(reader);
      break;
    case 'n': SetNextPage(reader, ReadTagNumber(reader)); break;
    case 'p': SetPreviousPage(reader, ReadTagNumber(reader)); break;
    default:  // G ends the paragraph; F, I, K, Y and unlisted letters do nothing
      break;
  }

  if (t.hotwordCount >= kHotwordCapacity) ShowError(reader, "Hotwords structure array overflow");
  return 1;
}

}  // namespace lanthorn
