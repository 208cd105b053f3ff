#include "book/paragraph_store.h"

#include <cstdio>
#include <cstring>

#include "shell/reader.h"

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

bool PageExists(const Reader& reader, int16_t page) {
  return EntryOfPage(reader.book, page) != nullptr;
}

void JoinParagraph(Reader& reader, int16_t page, ParagraphBuffer& buffer) {
  const ParagraphEntry* entry = EntryOfPage(reader.book, page);
  if (entry == nullptr) {
    ShowErrorNumber(reader, "Paragraph %d does not exist", page);
    return;
  }
  char* out = buffer.text;
  out[0] = '\0';
  const TextBlock& block = reader.book.blocks[entry->block];
  const int32_t first = entry->firstWord < 0 ? 0 : entry->firstWord;
  const int32_t end = entry->endWord > block.streamLength ? block.streamLength : entry->endWord;

  // One byte stays free for the terminating NUL.
  constexpr int kMostCharacters = kParagraphBufferSize - 1;
  int length = 0;
  for (int32_t w = first; w < end; ++w) {
    const uint16_t offset = block.wordStream[w];
    if (offset >= block.poolSize) continue;  // a damaged table names no word
    const char* word = block.wordPool + offset;
    const size_t wordLength = strnlen(word, static_cast<size_t>(block.poolSize - offset));
    bool full = false;
    for (size_t i = 0; i <= wordLength; ++i) {
      if (length == kMostCharacters) {
        full = true;
        break;
      }
      out[length++] = i < wordLength ? word[i] : ' ';
    }
    out[length] = '\0';
    if (full) {
      ShowErrorNumber(reader, "%d is Too many words", entry->endWord - entry->firstWord);
      return;
    }
  }
}

void ShowError(Reader& reader, const char* text) {
  char message[kMessageBufferSize];
  snprintf(message, sizeof message, "%s", text);
  reader.platform.ShowMessageBox(nullptr, message, nullptr, kMessageBoxOk);
}

void ShowErrorNumber(Reader& reader, const char* format, int number) {
  char message[kMessageBufferSize];
  snprintf(message, sizeof message, format, number);
  ShowError(reader, message);
}

}  // namespace lanthorn
