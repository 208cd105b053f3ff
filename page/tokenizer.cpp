#include "page/tokenizer.h"

#include <cstdint>
#include <cstring>

#include "book/byte_scan.h"
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

bool IsMark(char c) { return c == '<' || c == '>' || c == '{' || c == '}'; }

// Where the first mark (a tag's or a block's) stands in text[from, to), or
// `to`: eight bytes at a time, then byte by byte.
int32_t FindMark(const char* text, int32_t from, int32_t to) {
  int32_t at = from;
  for (; to - at >= 8; at += 8) {
    const uint64_t eight = EightBytesAt(text + at);
    const uint64_t marks = BytesEqual(eight, '<') | BytesEqual(eight, '>') |
                           BytesEqual(eight, '{') | BytesEqual(eight, '}');
    if (marks != 0) return at + FirstMarkedByte(marks);
  }
  while (at < to && !IsMark(text[at])) ++at;
  return at;
}

// Appends the text from the read position up to `end` to a buffer that
// holds `used` characters and has room for them, with its NUL, and reads on
// from `end`.
void TakeRun(TokenizerState& t, const char* text, int32_t end, char* buffer, int16_t& used) {
  const int32_t taken = end - t.readPosition;
  memcpy(buffer + used, text + t.readPosition, static_cast<size_t>(taken));
  used = static_cast<int16_t>(used + taken);
  buffer[used] = '\0';
  t.readPosition = end;
}

// Takes the run of text from the read position into the word at once, as
// much as the word has room for: letters, and the blanks that do not make
// the word long enough to be flushed (any blank in a title). They are what
// BodyCharacter would append one by one. A mark, a blank that flushes, or a
// full word is left to the character loop.
void TakeWords(Page& page, const char* text, int32_t length) {
  TokenizerState& t = page.tokenizer;
  const int32_t start = t.readPosition;
  const int32_t room = kWordBufferSize - 1 - t.wordLength;
  const int32_t limit = length - start < room ? length : start + room;
  int32_t end = FindMark(text, start, limit);
  // A blank from here on would make the word, the blank appended, longer
  // than a word is kept unflushed.
  const int32_t longestUnflushed = t.titleMode ? kWordBufferSize : kWordFlushLength;
  const int32_t firstFlushing = start + longestUnflushed - t.wordLength;
  if (firstFlushing < end) {
    const int32_t from = firstFlushing > start ? firstFlushing : start;
    const void* blank = memchr(text + from, ' ', static_cast<size_t>(end - from));
    if (blank != nullptr) end = static_cast<int32_t>(static_cast<const char*>(blank) - text);
  }
  TakeRun(t, text, end, t.word, t.wordLength);
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
  const int32_t end = FindMark(text, start, limit);
  TakeRun(t, text, end, t.command, t.commandIndex);
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
