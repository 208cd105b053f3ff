#include "book/paragraph_store.h"

#include <cstdint>

#include "book/byte_scan.h"
#include "book/limit_message.h"

namespace lanthorn {

namespace {

// The table entry of a page, or null when the page is outside the table or
// the entry names no usable block.
const ParagraphEntry* EntryOfPage(const Book& book, int16_t page) {
  if (page < 1 || page > kParagraphCount) return nullptr;
  const ParagraphEntry& entry = book.paragraphs[page - 1];
  if (entry.block < 0 || entry.block >= kBlockCount) return nullptr;
  return &entry;
}

}  // namespace

bool PageExists(const Book& book, int16_t page) { return EntryOfPage(book, page) != nullptr; }

void JoinParagraph(const Book& book, Platform& platform, int16_t page, ParagraphBuffer& buffer) {
  const ParagraphEntry* entry = EntryOfPage(book, page);
  if (entry == nullptr) {
    ShowErrorNumber(platform, "Paragraph %d does not exist", page);
    return;
  }
  char* out = buffer.text;
  out[0] = '\0';
  const TextBlock& block = book.blocks[entry->block];
  const int32_t first = entry->firstWord < 0 ? 0 : entry->firstWord;
  const int32_t end = entry->endWord > block.streamLength ? block.streamLength : entry->endWord;

  // One byte stays free for the terminating NUL.
  constexpr int kMostCharacters = kParagraphBufferSize - 1;
  int length = 0;
  const char* const poolEnd = block.wordPool + block.poolSize;
  for (int32_t w = first; w < end; ++w) {
    const uint16_t offset = block.wordStream[w];
    if (offset >= block.poolSize) continue;  // a damaged table names no word
    // The word's letters, up to its NUL (or the pool's end), then a space.
    const char* c = block.wordPool + offset;
    // Eight bytes at a time while the pool holds eight more and the buffer
    // has room for them: the bytes before the first NUL are letters. The
    // bytes copied past it are overwritten by the space and what follows.
    // The rest, and every check, is the byte loop's below.
    while (poolEnd - c >= 8 && kMostCharacters - length >= 8) {
      const uint64_t eight = EightBytesAt(c);
      memcpy(out + length, &eight, 8);
      const uint64_t nul = ZeroBytes(eight);
      if (nul != 0) {
        const int letters = FirstMarkedByte(nul);
        length += letters;
        c += letters;
        break;
      }
      length += 8;
      c += 8;
    }
    for (;;) {
      const bool endOfWord = c == poolEnd || *c == '\0';
      if (length == kMostCharacters) {
        out[length] = '\0';
        ShowErrorNumber(platform, "%d is Too many words", entry->endWord - entry->firstWord);
        return;
      }
      out[length++] = endOfWord ? ' ' : *c++;
      if (endOfWord) break;
    }
  }
  out[length] = '\0';
}

}  // namespace lanthorn
