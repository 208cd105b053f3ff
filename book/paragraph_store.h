// Rebuilding a paragraph's mark-up from the book's word blocks.
#pragma once

#include <cstdint>

#include "book/book_tables.h"
#include "platform/platform.h"

namespace lanthorn {

constexpr int kParagraphBufferSize = 2288;

struct ParagraphBuffer {
  char text[kParagraphBufferSize];
};

// Joins the words of paragraph (page - 1) with single blanks, each word
// followed by one blank. A page the book lacks is reported and leaves the
// buffer as it was. Text that would reach the buffer's size is cut at 2,287
// characters and reported.
void JoinParagraph(const Book& book, Platform& platform, int16_t page, ParagraphBuffer& buffer);

// True when the book has paragraph (page - 1), empty or not.
bool PageExists(const Book& book, int16_t page);

}  // namespace lanthorn
