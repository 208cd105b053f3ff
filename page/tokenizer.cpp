#include "page/tokenizer.h"

#include <cstdint>
#include <cstring>

#include "book/limit_message.h"
#include "page/display_list.h"
#include "page/page.h"
#include "page/tag_interpreter.h"

namespace lanthorn {

namespace {

// The buffers hold one byte less than their size in characters, so the
// terminating NUL always fits. The message carries the length the text would
// have reached.
void AppendWordCharacter(Page& page, char c) {
  TokenizerState& t = page.tokenizer;
  if (t.wordLength >= kWordBufferSize - 1) {
    if (!t.wordOverflowReported) {
      t.wordOverflowReported = true;
      ShowErrorNumber(page.platform, "%d is Too many letters in word", t.wordLength + 1);
    }
    return;
  }
  t.word[t.wordLength++] = c;
  t.word[t.wordLength] = '\0';
}

void AppendCommandCharacter(Page& page, char c) {
  TokenizerState& t = page.tokenizer;
  if (t.commandIndex >= kCommandBufferSize - 1) {
    if (!t.commandOverflowReported) {
      t.commandOverflowReported = true;
      ShowErrorNumber(page.platform, "%d is Too many letters in command", t.commandIndex + 1);
    }
    return;
  }
  t.command[t.commandIndex++] = c;
  t.command[t.commandIndex] = '\0';
}

void FlushWordBuffer(Page& page) {
  TokenizerState& t = page.tokenizer;
  t.wordLength = static_cast<int16_t>(t.wordLength - FlushWord(page, t.word));
  if (t.wordLength < 0) t.wordLength = 0;
  t.wordOverflowReported = false;
}

void StartTag(Page& page) {
  TokenizerState& t = page.tokenizer;
  if (!t.titleMode && t.wordLength > 0) FlushWordBuffer(page);
  if (!t.titleMode) {
    t.wordLength = 0;
    t.word[0] = '\0';
  }
  t.command[0] = '\0';
  t.commandIndex = 0;
  t.commandOverflowReported = false;
  t.state = kInTag;
}

void EndTag(Page& page) {
  TokenizerState& t = page.tokenizer;
  t.lastTagResult = InterpretTag(page);
  t.state = t.conditionalFlag ? kAfterCondition : kBetweenWords;
}

void OpenBlock(Page& page, int32_t textLength) {
  TokenizerState& t = page.tokenizer;
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

void BodyCharacter(Page& page, char c) {
  TokenizerState& t = page.tokenizer;
  switch (t.state) {
    case kInWord:
      AppendWordCharacter(page, c);
      if (c == ' ' && !t.titleMode && t.wordLength > kWordFlushLength) FlushWordBuffer(page);
      break;
    case kInTag: AppendCommandCharacter(page, c); break;
    case kBetweenWords:
      if (c == ' ') break;
      AppendWordCharacter(page, c);
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

// How the runs below see a character: a mark (a tag's or a block's) always
// ends a run; a space ends a run of words only where it would flush the word.
// One table look-up a character, since every letter of a page passes.
enum RunClass : uint8_t { kRunLetter, kRunSpace, kRunMark };
struct RunClasses {
  RunClass of[256] = {};
  constexpr RunClasses() {
    for (int c = 0; c < 256; ++c) {
      of[c] = c == ' '                                       ? kRunSpace
              : c == '<' || c == '>' || c == '{' || c == '}' ? kRunMark
                                                             : kRunLetter;
    }
  }
};
constexpr RunClasses kRunClasses;
RunClass ClassOf(char c) { return kRunClasses.of[static_cast<unsigned char>(c)]; }

// Takes the run of text from the read position into the word at once, as
// much as the word has room for: letters, and the spaces that do not make
// the word long enough to be flushed (any space in a title). They are what
// BodyCharacter would append one by one. A mark, a space that flushes, or a
// full word is left to the character loop.
void TakeWords(Page& page, const char* text, int32_t length) {
  TokenizerState& t = page.tokenizer;
  const int32_t start = t.readPosition;
  const int32_t room = kWordBufferSize - 1 - t.wordLength;
  const int32_t limit = length - start < room ? length : start + room;
  // The run may hold a space only while the word, the space appended, is no
  // longer than this.
  const int32_t longestUnflushed = t.titleMode ? kWordBufferSize : kWordFlushLength;
  int32_t end = start;
  for (; end < limit; ++end) {
    const RunClass kind = ClassOf(text[end]);
    if (kind == kRunMark) break;
    if (kind == kRunSpace && t.wordLength + (end - start) + 1 > longestUnflushed) break;
  }
  const int32_t taken = end - start;
  if (taken == 0) return;
  memcpy(t.word + t.wordLength, text + start, static_cast<size_t>(taken));
  t.wordLength = static_cast<int16_t>(t.wordLength + taken);
  t.word[t.wordLength] = '\0';
  t.readPosition = end;
}

// Takes the run of a tag's text from the read position into the command at
// once, as much as the command has room for: what AppendCommandCharacter
// would append one by one. A mark or a full command is left to the
// character loop.
void TakeTagText(Page& page, const char* text, int32_t length) {
  TokenizerState& t = page.tokenizer;
  const int32_t start = t.readPosition;
  const int32_t room = kCommandBufferSize - 1 - t.commandIndex;
  const int32_t limit = length - start < room ? length : start + room;
  int32_t end = start;
  while (end < limit && ClassOf(text[end]) != kRunMark) ++end;
  const int32_t taken = end - start;
  if (taken == 0) return;
  memcpy(t.command + t.commandIndex, text + start, static_cast<size_t>(taken));
  t.commandIndex = static_cast<int16_t>(t.commandIndex + taken);
  t.command[t.commandIndex] = '\0';
  t.readPosition = end;
}

}  // namespace

void AppendToWord(Page& page, const char* text) {
  for (const char* p = text; *p != '\0'; ++p) AppendWordCharacter(page, *p);
}

void ClearWord(Page& page) {
  TokenizerState& t = page.tokenizer;
  t.word[0] = '\0';
  t.wordLength = 0;
  t.wordOverflowReported = false;
}

void Tokenize(Page& page, const char* text) {
  TokenizerState& t = page.tokenizer;
  page.hotwords.count = 0;
  ClearWord(page);
  t.readPosition = 0;
  t.conditionFlag = 1;
  t.state = kBetweenWords;

  const int32_t length = static_cast<int32_t>(strlen(text));
  while (t.readPosition < length) {
    if (t.state == kSkipping) {
      // In a skipped block nothing but its "}" does anything: go straight to it.
      const void* close =
          memchr(text + t.readPosition, '}', static_cast<size_t>(length - t.readPosition));
      if (close == nullptr) {
        t.readPosition = length;
        break;
      }
      t.readPosition = static_cast<int32_t>(static_cast<const char*>(close) - text);
    } else if (t.state == kInWord) {
      TakeWords(page, text, length);
      if (t.readPosition >= length) break;
    } else if (t.state == kInTag) {
      TakeTagText(page, text, length);
      if (t.readPosition >= length) break;
    }
    const char c = text[t.readPosition++];
    switch (c) {
      case '<':
        if (t.state != kSkipping) StartTag(page);
        break;
      case '>':
        if (t.state == kInTag) EndTag(page);
        break;
      case '{': OpenBlock(page, length); break;
      case '}': t.state = kBetweenWords; break;
      default: BodyCharacter(page, c); break;
    }
  }
}

}  // namespace lanthorn
