// Rebuilding a paragraph's mark-up from the book's word blocks, and the one
// message box through which every limit of the reader is reported.
#pragma once

#include <cstdint>

namespace lanthorn {

struct Reader;

constexpr int kParagraphBufferSize = 2288;
constexpr int kMessageBufferSize = 100;

struct ParagraphBuffer {
  char text[kParagraphBufferSize];
};

// Joins the words of paragraph (page - 1) with single blanks, each word
// followed by one blank. A page the book lacks is reported and leaves the
// buffer as it was. Text that would reach the buffer's size is cut at 2,287
// characters and reported.
void JoinParagraph(Reader& reader, int16_t page, ParagraphBuffer& buffer);

// True when the book has paragraph (page - 1), empty or not.
bool PageExists(const Reader& reader, int16_t page);

// Shows a limit message in a box with no owner and the default caption; the
// text is cut to 99 characters. The reader carries on afterwards.
void ShowError(Reader& reader, const char* text);

// ShowError with a message formatted from a printf-style format holding one %d.
void ShowErrorNumber(Reader& reader, const char* format, int number);

}  // namespace lanthorn
