#include "story/hotwords.h"

#include <cstdio>
#include <cstring>

#include "book/tag_interpreter.h"
#include "shell/navigation.h"
#include "shell/reader.h"
#include "story/controls.h"
#include "story/story_state.h"

namespace lanthorn {

namespace {

char At(const Reader& reader) {
  return reader.tokenizer.command[reader.tokenizer.commandIndex];
}

void SkipBlank(Reader& reader) {
  if (At(reader) == ' ') ++reader.tokenizer.commandIndex;
}

void SkipCharacter(Reader& reader, char c) {
  if (At(reader) == c) ++reader.tokenizer.commandIndex;
}

// Copies the characters up to the next `close` (or the end of the tag) into
// out, cut to fit, and leaves the parse position on the `close`.
int32_t CopyUntil(Reader& reader, char close, char* out, int32_t size) {
  TokenizerState& t = reader.tokenizer;
  int32_t length = 0;
  int32_t kept = 0;
  while (t.command[t.commandIndex] != '\0' && t.command[t.commandIndex] != close) {
    if (kept < size - 1) out[kept++] = t.command[t.commandIndex];
    ++length;
    ++t.commandIndex;
  }
  out[kept] = '\0';
  return length;
}

uint16_t ReadTarget(Reader& reader) { return static_cast<uint16_t>(ReadNumber(reader)); }

// The label of a labelled choice, from just after its opening quote to just
// past its closing one.
void ReadLabel(Reader& reader, char (&label)[kLabelSize]) {
  CopyUntil(reader, '"', label, kLabelSize);
  SkipCharacter(reader, '"');
}

// An answer in parentheses, from just after "(" up to the ")".
int32_t ReadAnswer(Reader& reader, char (&answer)[kAnswerSize]) {
  CopyUntil(reader, ')', answer, kAnswerSize);
  return static_cast<int32_t>(strlen(answer));
}

}  // namespace

HotwordRecord& NextHotword(Reader& reader) {
  const int16_t count = reader.tokenizer.hotwordCount;
  if (count >= 0 && count < static_cast<int16_t>(sizeof reader.hotwords.records /
                                                 sizeof reader.hotwords.records[0])) {
    return reader.hotwords.records[count];
  }
  return reader.hotwords.spare;
}

void ParseChoiceControl(Reader& reader, bool labelled) {
  HotwordRecord& record = NextHotword(reader);
  if (labelled) {
    char label[kLabelSize];
    ReadLabel(reader, label);
    record.controlId = MakeChoiceButton(reader, label);
  } else if (At(reader) == '$') {
    ++reader.tokenizer.commandIndex;
    record.controlId = MakePictureButton(reader, ReadNumber(reader));
  } else if (At(reader) == '%') {
    ++reader.tokenizer.commandIndex;
    const int32_t item = ReadNumber(reader);
    switch (ItemKind(reader, item)) {
      case kPictureItem:
        record.controlId = MakePictureButton(reader, OptionPicture(reader, item));
        break;
      case kNumberItem: {
        char label[16];
        snprintf(label, sizeof label, " %d", static_cast<int>(NumericValue(reader, item)));
        record.controlId = MakeChoiceButton(reader, label);
        break;
      }
      default:
        record.controlId = MakeChoiceButton(reader, OptionText(reader, item));
        break;
    }
  }
  SkipBlank(reader);
  record.target0 = ReadTarget(reader);
}

void ParseChanceChoice(Reader& reader) {
  HotwordRecord& record = NextHotword(reader);
  char label[kLabelSize];
  ReadLabel(reader, label);
  record.controlId = MakeChoiceButton(reader, label);

  SkipPast(reader, '(');
  record.value = static_cast<int8_t>(ReadNumber(reader));
  SkipCharacter(reader, ')');
  SkipBlank(reader);
  record.target0 = ReadTarget(reader);
  SkipBlank(reader);
  record.band2 = 0;
  record.band3 = 0;
  if (At(reader) == '(') {
    ++reader.tokenizer.commandIndex;
    record.band2 = static_cast<int8_t>(record.value + ReadNumber(reader));
    SkipCharacter(reader, ')');
    SkipBlank(reader);
    record.target2 = ReadTarget(reader);
    SkipBlank(reader);
    if (At(reader) == '(') {
      ++reader.tokenizer.commandIndex;
      record.band3 = static_cast<int8_t>(record.band2 + ReadNumber(reader));
      SkipCharacter(reader, ')');
      SkipBlank(reader);
      record.target3 = ReadTarget(reader);
      SkipBlank(reader);
    }
  }
  record.target1 = ReadTarget(reader);
}

void ParseAnswerChoice(Reader& reader) {
  HotwordRecord& record = NextHotword(reader);
  int32_t longest = ReadAnswer(reader, record.answer1);
  record.answer2[0] = '\0';
  record.answer3[0] = '\0';
  SkipCharacter(reader, ')');
  SkipBlank(reader);
  record.target0 = ReadTarget(reader);
  SkipBlank(reader);
  char* const more[] = {record.answer2, record.answer3};
  uint16_t* const targets[] = {&record.target2, &record.target3};
  for (int i = 0; i < 2 && At(reader) == '('; ++i) {
    ++reader.tokenizer.commandIndex;
    char answer[kAnswerSize];
    const int32_t length = ReadAnswer(reader, answer);
    memcpy(more[i], answer, sizeof answer);
    if (length > longest) longest = length;
    SkipCharacter(reader, ')');
    SkipBlank(reader);
    *targets[i] = ReadTarget(reader);
    SkipBlank(reader);
  }
  record.target1 = ReadTarget(reader);
  record.controlId = MakeInputBox(reader, longest);
}

int32_t RandomDraw(Reader& reader) {
  RandomState& random = reader.random;
  if (!random.seeded) {
    random.state = reader.platform.TickCount() / 60u;
    random.seeded = true;
  }
  random.state = random.state * 214013u + 2531011u;
  return static_cast<int32_t>((random.state >> 16) & 0x7FFF);
}

int CompareAnswer(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return 1;
  for (;;) {
    while (*a == ' ') ++a;
    while (*b == ' ') ++b;
    int ca = static_cast<unsigned char>(*a++);
    int cb = static_cast<unsigned char>(*b++);
    if (ca == 0 || cb == 0) return ca - cb;
    if (ca >= 'a' && ca <= 'z') ca -= 'a' - 'A';
    if (cb >= 'a' && cb <= 'z') cb -= 'a' - 'A';
    if (ca != cb) return ca - cb;
  }
}

void ActivateHotword(Reader& reader, uint16_t controlId, const char* text) {
  const int16_t count = reader.tokenizer.hotwordCount;
  const HotwordRecord* found = nullptr;
  for (int16_t i = 0; i < count && i < 100; ++i) {
    if (reader.hotwords.records[i].controlId == controlId) {
      found = &reader.hotwords.records[i];
      break;
    }
  }
  if (found == nullptr) return;
  const HotwordRecord r = *found;  // the move rebuilds the table under us
  const auto go = [&reader](uint16_t paragraph, PageMode mode) {
    GoToPage(reader, static_cast<int16_t>(paragraph + 1), mode);
  };

  switch (r.kind) {
    case 'L': {
      const int32_t roll = RandomDraw(reader) % 20 + 1;
      go(roll > static_cast<int16_t>(r.value) ? r.target1 : r.target0, PageMode::kFollow);
      break;
    }
    case 'd': {
      const int32_t roll = RandomDraw(reader) % 100 + 1;
      const uint16_t target = roll <= r.value   ? r.target0
                              : roll <= r.band2 ? r.target2
                              : roll <= r.band3 ? r.target3
                                                : r.target1;
      go(target, PageMode::kFollow);
      break;
    }
    case 'S': {
      uint16_t target = r.target1;
      if (CompareAnswer(text, " ") != 0) {
        if (CompareAnswer(r.answer1, text) == 0) {
          target = r.target0;
        } else if (CompareAnswer(r.answer2, text) == 0) {
          target = r.target2;
        } else if (CompareAnswer(r.answer3, text) == 0) {
          target = r.target3;
        }
      }
      go(target, PageMode::kFollow);
      break;
    }
    case 'N':
      SetHeld(reader, r.index);
      go(r.target0, PageMode::kFollow);
      break;
    case 'Q':
      ClearHeld(reader, r.index);
      go(r.target0, PageMode::kFollow);
      break;
    case 'R':
      AssignValue(reader, r.index, static_cast<int16_t>(r.value));
      go(r.target0, PageMode::kFollow);
      break;
    case 'g':
      go(r.target0, PageMode::kAside);
      break;
    case 'm':
      go(r.target0, PageMode::kStory);
      break;
    case 'u':
      if (!ValidRestartPoint(r.index)) break;
      RestoreSnapshot(reader, r.index);
      go(reader.story.restartPoints[r.index].paragraph, PageMode::kStory);
      break;
    default:
      go(r.target0, PageMode::kFollow);
      break;
  }
}

}  // namespace lanthorn
