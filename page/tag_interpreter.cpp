#include "page/tag_interpreter.h"

#include <cstdio>
#include <cstring>

#include "book/limit_message.h"
#include "page/page.h"
#include "page/tag_reader.h"
#include "story/evaluator.h"

namespace lanthorn {

namespace {

// The tag operands as the reader has always used them: the low 16 bits of
// tag numbers, items and restart points, and of targets as paragraphs.
int16_t Short(const TagNumber& number) { return static_cast<int16_t>(number.value); }
uint16_t Paragraph(const TagNumber& number) { return static_cast<uint16_t>(number.value); }

// Copies a tag text into out, cut to fit.
void CopyText(const char* tag, const TagText& text, char* out, int32_t size) {
  const int32_t kept = text.length < size - 1 ? text.length : size - 1;
  memcpy(out, tag + text.offset, static_cast<size_t>(kept));
  out[kept] = '\0';
}

// Raises the hotword count after a choice tag; it never passes the table.
void CountHotword(Page& page) {
  if (page.hotwords.count < kHotwordCapacity) ++page.hotwords.count;
}

// The control of a choice tag, by its face, and its first target.
void MakeChoiceControl(Page& page, const ParsedTag& tag, HotwordRecord& record) {
  const Story& story = page.story;
  switch (tag.face) {
    case ChoiceFace::kLabel: {
      char label[kLabelSize];
      CopyText(page.tokenizer.command, tag.label, label, kLabelSize);
      record.controlId = MakeChoiceButton(page, label);
      break;
    }
    case ChoiceFace::kPicture:
      record.controlId = MakePictureButton(page, tag.faceNumber.value);
      break;
    case ChoiceFace::kItem: {
      const int32_t item = tag.faceNumber.value;
      switch (ItemKind(story, item)) {
        case kPictureItem:
          record.controlId = MakePictureButton(page, OptionPicture(story, item));
          break;
        case kNumberItem: {
          char label[16];
          snprintf(label, sizeof label, " %d", static_cast<int>(NumericValue(story, item)));
          record.controlId = MakeChoiceButton(page, label);
          break;
        }
        default: record.controlId = MakeChoiceButton(page, OptionText(story, item)); break;
      }
      break;
    }
    case ChoiceFace::kNone: break;
  }
  record.target0 = Paragraph(tag.targets[0]);
}

void ChoiceTag(Page& page, const ParsedTag& tag, HotwordRecord& record) {
  MakeChoiceControl(page, tag, record);
  CountHotword(page);
}

void ChanceTag(Page& page, const ParsedTag& tag) {
  HotwordRecord& record = NextHotword(page.hotwords);
  record.kind = tag.letter;
  MakeChoiceControl(page, tag, record);
  record.value = static_cast<int8_t>(tag.bands[0].value);
  record.band2 = 0;
  record.band3 = 0;
  if (tag.bandCount > 1) {
    record.band2 = static_cast<int8_t>(record.value + tag.bands[1].value);
    record.target2 = Paragraph(tag.targets[2]);
  }
  if (tag.bandCount > 2) {
    record.band3 = static_cast<int8_t>(record.band2 + tag.bands[2].value);
    record.target3 = Paragraph(tag.targets[3]);
  }
  record.target1 = Paragraph(tag.targets[1]);
  CountHotword(page);
}

// The input box is as long as the longest answer it is compared with.
void AnswerTag(Page& page, const ParsedTag& tag) {
  HotwordRecord& record = NextHotword(page.hotwords);
  record.kind = 'S';
  char* const answers[] = {record.answer1, record.answer2, record.answer3};
  uint16_t* const targets[] = {&record.target0, &record.target2, &record.target3};
  const int slots[] = {0, 2, 3};
  int32_t longest = 0;
  for (int i = 0; i < 3; ++i) {
    answers[i][0] = '\0';
    if (i >= tag.answerCount) continue;
    CopyText(page.tokenizer.command, tag.answers[i], answers[i], kAnswerSize);
    const int32_t length = static_cast<int32_t>(strlen(answers[i]));
    if (length > longest) longest = length;
    *targets[i] = Paragraph(tag.targets[slots[i]]);
  }
  record.target1 = Paragraph(tag.targets[1]);
  record.controlId = MakeInputBox(page, longest);
  CountHotword(page);
}

void EndTitle(Page& page) {
  page.tokenizer.titleMode = 0;
  AddTitle(page, page.tokenizer.word);
  ClearWord(page);
}

void HardBlank(Page& page) {
  if (page.tokenizer.titleMode) {
    AppendToWord(page, " ");
  } else {
    AddText(page, " ");
  }
}

void ShowItemState(Page& page, int32_t item) {
  const Story& story = page.story;
  const bool title = page.tokenizer.titleMode != 0;
  switch (ItemKind(story, item)) {
    case kTextItem:
      if (!ValidItem(item)) break;
      if (title) {
        AppendToWord(page, OptionText(story, item));
      } else {
        AddText(page, OptionText(story, item));
      }
      break;
    case kNumberItem: {
      char number[16];
      snprintf(number, sizeof number, " %d", static_cast<int>(NumericValue(story, item)));
      if (title) {
        AppendToWord(page, number);
      } else {
        AddText(page, number);
      }
      break;
    }
    case kPictureItem:
      if (title) {
        ShowError(page.platform, "Images not allowed in title");
      } else {
        AddPicture(page, OptionPicture(story, item), 1);
      }
      break;
    default: break;
  }
}

// N and Q: with nothing after the item they act now, otherwise they make a
// choice that acts when picked.
void HeldTag(Page& page, const ParsedTag& tag) {
  const int32_t item = Short(tag.number);
  if (!tag.choice) {
    if (tag.letter == 'N') {
      SetHeld(page.story, item);
    } else {
      ClearHeld(page.story, item);
    }
    return;
  }
  HotwordRecord& record = NextHotword(page.hotwords);
  record.kind = tag.letter;
  record.index = static_cast<int16_t>(item);
  ChoiceTag(page, tag, record);
}

// R assigns, r adds; the value is computed now, stored now or kept in a
// choice.
void AssignmentTag(Page& page, const ParsedTag& tag) {
  const int32_t item = Short(tag.number);
  AssignmentOperand operand{AssignmentOperand::kNumber, tag.operand.value, tag.negated};
  if (tag.operandKind == OperandKind::kItemValue) operand.kind = AssignmentOperand::kItemValue;
  if (tag.operandKind == OperandKind::kRandom) operand.kind = AssignmentOperand::kRandom;
  const int32_t value = ComputeAssignment(page.story, item, operand, tag.letter == 'r');
  HotwordRecord& record = NextHotword(page.hotwords);
  record.value = value;
  if (!tag.choice) {
    AssignValue(page.story, item, value);
    return;
  }
  record.kind = 'R';
  record.index = static_cast<int16_t>(item);
  ChoiceTag(page, tag, record);
}

void PlaySoundTag(Page& page, int16_t sound) {
  if (page.settings.sound == 0 || sound < 0 || sound >= kSoundCount) return;
  const char* name = page.story.book.sounds[sound];
  if (name != nullptr && name[0] != '\0') page.platform.PlayWave(name);
}

uint8_t Condition(Page& page) {
  TokenizerState& t = page.tokenizer;
  t.conditionalFlag = 1;
  t.conditionFlag = EvaluateCondition(page.story, t.command);
  return t.conditionFlag;
}

// u: a choice that goes back to a restart point, shown only once the point
// is reached; its button is followed by the point's caption.
uint8_t RestartTag(Page& page, const ParsedTag& tag) {
  page.tokenizer.conditionalFlag = 1;
  const int32_t point = Short(tag.number);
  if (!ValidRestartPoint(point) || page.story.state.restartPoints[point].reached == 0) return 0;
  HotwordRecord& record = NextHotword(page.hotwords);
  record.kind = 'u';
  record.index = static_cast<int16_t>(point);
  ChoiceTag(page, tag, record);
  AppendToWord(page, page.story.state.restartPoints[point].caption);
  AppendToWord(page, " ");
  return 1;
}

}  // namespace

uint8_t InterpretTag(Page& page) {
  TokenizerState& t = page.tokenizer;
  HotwordTable& hotwords = page.hotwords;
  if (hotwords.count < kHotwordCapacity) {
    HotwordRecord& next = hotwords.records[hotwords.count];
    next.controlId = 0;
    next.target0 = 0;
  }
  t.conditionalFlag = 0;
  const ParsedTag tag = ReadTag(t.command);

  switch (tag.letter) {
    case 'H': t.titleMode = 1; break;
    case 'J': EndTitle(page); break;
    case 'W': SetAlignment(page, Short(tag.number)); break;
    case 'B': BoldOn(page); break;
    case 'D': BoldOff(page); break;
    case 'U': LineBreak(page); break;
    case 'P': ParagraphBreak(page); break;
    case 'T': Tab(page); break;
    case 'a': HardBlank(page); break;
    case 'V': AddPicture(page, Short(tag.number), 0); break;
    case 'v': AddPicture(page, Short(tag.number), 1); break;
    case 'A': PlaySoundTag(page, Short(tag.number)); break;
    case 'C': page.platform.StopSound(); break;
    case 'l': ShowItemState(page, Short(tag.number)); break;
    case 'N':
    case 'Q': HeldTag(page, tag); break;
    case 'R':
    case 'r': AssignmentTag(page, tag); break;
    case 's': MarkRestartPoint(page.story, Short(tag.number), page.facts.paragraph); break;
    case 'O': return Condition(page);
    case 'o':
      if (t.conditionFlag) {
        t.conditionalFlag = 1;
        return 0;
      }
      return Condition(page);
    case 'E':
      // Else: its block shows when no condition of the chain before it held.
      t.conditionalFlag = 1;
      return t.conditionFlag ? 0 : 1;
    case 'u':
      if (RestartTag(page, tag) == 0) return 0;
      break;
    case 'M':
    case 'm':
    case 'g': {
      HotwordRecord& record = NextHotword(hotwords);
      record.kind = tag.letter;
      ChoiceTag(page, tag, record);
      break;
    }
    case 'L':
    case 'd': ChanceTag(page, tag); break;
    case 'S': AnswerTag(page, tag); break;
    case 'n': SetNextPage(page.facts, Short(tag.number)); break;
    case 'p': SetPreviousPage(page.facts, Short(tag.number)); break;
    default:  // G ends the paragraph; F, I, K, Y and unlisted letters do nothing
      break;
  }

  if (hotwords.count >= kHotwordCapacity) {
    ShowError(page.platform, "Hotwords structure array overflow");
  }
  return 1;
}

}  // namespace lanthorn
