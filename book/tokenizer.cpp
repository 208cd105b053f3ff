#include "book/tokenizer.h"

#include <cstring>

#include "book/display_list.h"
#include "book/paragraph_store.h"
#include "book/tag_interpreter.h"
#include "shell/reader.h"

namespace lanthorn {

namespace {

// The buffers hold one byte less than their size in characters, so the
// terminating NUL always fits. The message carries the length the text would
// have reached.
void AppendWordCharacter(Reader& reader, char c) {
  TokenizerState& t = reader.tokenizer;
  if (t.wordLength >= kWordBufferSize - 1) {
    if (!t.wordOverflowReported) {
      t.wordOverflowReported = true;
      ShowErrorNumber(reader, "%d is Too many letters in word", t.wordLength + 1);
    }
    return;
  }
  t.word[t.wordLength++] = c;
  t.word[t.wordLength] = '\0';
}

void AppendCommandCharacter(Reader& reader, char c) {
  TokenizerState& t = reader.tokenizer;
  if (t.commandIndex >= kCommandBufferSize - 1) {
    if (!t.commandOverflowReported) {
      t.commandOverflowReported = true;
      ShowErrorNumber(reader, "%d is Too many letters in command", t.commandIndex + 1);
    }
    return;
  }
  t.command[t.commandIndex++] = c;
  t.command[t.commandIndex] = '\0';
}

void FlushWordBuffer(Reader& reader) {
  TokenizerState& t = reader.tokenizer;
  t.wordLength = static_cast<int16_t>(t.wordLength - FlushWord(reader, t.word));
  if (t.wordLength < 0) t.wordLength = 0;
  t.wordOverflowReported = false;
}

void StartTag(Reader& reader) {
  TokenizerState& t = reader.tokenizer;
  if (!t.titleMode && t.wordLength > 0) FlushWordBuffer(reader);
  if (!t.titleMode) {
    t.wordLength = 0;
    t.word[0] = '\0';
  }
  t.command[0] = '\0';
  t.commandIndex = 0;
  t.commandOverflowReported = false;
  t.state = kInTag;
}

void EndTag(Reader& reader) {
  TokenizerState& t = reader.tokenizer;
  t.lastTagResult = InterpretTag(reader);
  t.state = t.conditionalFlag ? kAfterCondition : kBetweenWords;
}

void OpenBlock(Reader& reader, int32_t textLength) {
  TokenizerState& t = reader.tokenizer;
  if (t.state != kAfterCondition) {
    t.skipDistance = 0;
    return;
  }
  if (t.lastTagResult) {
    t.state = kBetweenWords;
  } else {
    // The skip distance may carry the scan past the block's own "}"; it never
    // carries it past the end of the text.
    const int32_t position = t.readPosition + t.skipDistance;
    t.readPosition = position < textLength ? position : textLength;
    t.state = kSkipping;
  }
  t.skipDistance = 0;
}

void BodyCharacter(Reader& reader, char c) {
  TokenizerState& t = reader.tokenizer;
  switch (t.state) {
    case kInWord:
      AppendWordCharacter(reader, c);
      if (c == ' ' && !t.titleMode && t.wordLength > kWordFlushLength) FlushWordBuffer(reader);
      break;
    case kInTag:
      AppendCommandCharacter(reader, c);
      break;
    case kBetweenWords:
      if (c == ' ') break;
      AppendWordCharacter(reader, c);
      t.state = kInWord;
      break;
    case kAfterCondition:
      if (c >= '0' && c <= '9') {
        t.skipDistance = static_cast<uint16_t>(t.skipDistance * 10 + (c - '0'));
      }
      break;
    default:  // skipping
      break;
  }
}

}  // namespace

void AppendToWord(Reader& reader, const char* text) {
  for (const char* p = text; *p != '\0'; ++p) AppendWordCharacter(reader, *p);
}

void ClearWord(Reader& reader) {
  TokenizerState& t = reader.tokenizer;
  t.word[0] = '\0';
  t.wordLength = 0;
  t.wordOverflowReported = false;
}

void Tokenize(Reader& reader, const char* text) {
  TokenizerState& t = reader.tokenizer;
  t.hotwordCount = 0;
  ClearWord(reader);
  t.readPosition = 0;
  t.conditionFlag = 1;
  t.state = kBetweenWords;

  const int32_t length = static_cast<int32_t>(strlen(text));
  while (t.readPosition < length) {
    const char c = text[t.readPosition++];
    switch (c) {
      case '<':
        if (t.state != kSkipping) StartTag(reader);
        break;
      case '>':
        if (t.state == kInTag) EndTag(reader);
        break;
      case '{':
        OpenBlock(reader, length);
        break;
      case '}':
        t.state = kBetweenWords;
        break;
      default:
        BodyCharacter(reader, c);
        break;
    }
  }
}

}  // namespace lanthorn
