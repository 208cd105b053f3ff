// The single-byte encoding of the book's text (Windows-1252) and Unicode.
#pragma once

#include <cstdint>

namespace lanthorn {

// The Unicode code point of a Windows-1252 byte; U+FFFD for the five bytes
// the encoding leaves unused.
char32_t Windows1252ToUnicode(uint8_t byte);

// The Windows-1252 byte of a code point, or -1 when it has none.
int UnicodeToWindows1252(char32_t codePoint);

}  // namespace lanthorn
