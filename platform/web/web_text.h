// The book's text is Windows-1252; the page speaks UTF-8. The conversions
// work in fixed buffers and never write past them.
#pragma once

#include <cstdint>

namespace lanthorn {

// Converts Windows-1252 text to NUL-terminated UTF-8 in out (of outSize
// bytes); a text that does not fit is cut at a whole character.
void BookTextToUtf8(const char* text, int32_t length, char* out, int32_t outSize);

// Converts NUL-terminated UTF-8 to Windows-1252, at most size - 1 bytes and
// a NUL; a character that the encoding lacks becomes '?'. Returns the count.
int32_t Utf8ToBookText(const char* text, char* out, int32_t size);

}  // namespace lanthorn
