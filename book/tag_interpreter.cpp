#include "book/tag_interpreter.h"

#include "book/display_list.h"
#include "book/paragraph_store.h"
#include "book/tokenizer.h"
#include "shell/reader.h"

namespace lanthorn {

namespace {

// Reads the operand n of a tag: one blank after the letter is passed.
int16_t ReadTagNumber(Reader& reader) {
  TokenizerState& t = reader.tokenizer;
  if (t.command[0] != '\0' && t.command[1] == ' ') t.commandIndex = 2;
  return static_cast<int16_t>(ReadNumber(reader));
}

void EndTitle(Reader& reader) {
  TokenizerState& t = reader.tokenizer;
  t.titleMode = 0;
  AddTitle(reader, t.word);
  ClearWord(reader);
}

void HardBlank(Reader& reader) {
  if (reader.tokenizer.titleMode) {
    AppendToWord(reader, " ");
  } else {
    AddText(reader, " ");
  }
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
  t.conditionalFlag = 0;
  t.commandIndex = 1;
  if (t.command[0] == '\0') t.commandIndex = 0;

  switch (t.command[0]) {
    case 'H':
      t.titleMode = 1;
      break;
    case 'J':
      EndTitle(reader);
      break;
    case 'W':
      SetAlignment(reader, ReadTagNumber(reader));
      break;
    case 'B':
      BoldOn(reader);
      break;
    case 'D':
      BoldOff(reader);
      break;
    case 'U':
      LineBreak(reader);
      break;
    case 'P':
      ParagraphBreak(reader);
      break;
    case 'T':
      Tab(reader);
      break;
    case 'a':
      HardBlank(reader);
      break;
    case 'V':
      AddPicture(reader, ReadTagNumber(reader), 0);
      break;
    case 'v':
      AddPicture(reader, ReadTagNumber(reader), 1);
      break;
    case 'E':
      // Else: its block shows when no condition of the chain before it held.
      t.conditionalFlag = 1;
      return t.conditionFlag ? 0 : 1;
    default:  // G ends the paragraph; F, I, K, Y and unlisted letters do nothing
      break;
  }

  if (t.hotwordCount >= kHotwordCapacity) ShowError(reader, "Hotwords structure array overflow");
  return 1;
}

}  // namespace lanthorn
