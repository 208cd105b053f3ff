#include "platform/web/web_text.h"

#include <cstring>

#include "book/windows1252.h"

namespace lanthorn {

void BookTextToUtf8(const char* text, int32_t length, char* out, int32_t outSize) {
  int32_t used = 0;
  for (int32_t i = 0; i < length; ++i) {
    const char32_t c = Windows1252ToUnicode(static_cast<uint8_t>(text[i]));
    char bytes[3];
    int32_t count = 0;
    if (c < 0x80) {
      bytes[count++] = static_cast<char>(c);
    } else if (c < 0x800) {
      bytes[count++] = static_cast<char>(0xC0 | (c >> 6));
      bytes[count++] = static_cast<char>(0x80 | (c & 0x3F));
    } else {
      bytes[count++] = static_cast<char>(0xE0 | (c >> 12));
      bytes[count++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      bytes[count++] = static_cast<char>(0x80 | (c & 0x3F));
    }
    if (used + count > outSize - 1) break;
    memcpy(out + used, bytes, static_cast<size_t>(count));
    used += count;
  }
  if (outSize > 0) out[used] = '\0';
}

int32_t Utf8ToBookText(const char* text, char* out, int32_t size) {
  if (size <= 0) return 0;
  int32_t count = 0;
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  while (*p != 0 && count < size - 1) {
    char32_t c = *p;
    int extra = 0;
    if (c >= 0xF0) {
      c &= 0x07;
      extra = 3;
    } else if (c >= 0xE0) {
      c &= 0x0F;
      extra = 2;
    } else if (c >= 0xC0) {
      c &= 0x1F;
      extra = 1;
    } else if (c >= 0x80) {
      c = 0xFFFD;  // a stray continuation byte
    }
    ++p;
    for (int k = 0; k < extra; ++k) {
      if ((*p & 0xC0) != 0x80) {
        c = 0xFFFD;
        break;
      }
      c = (c << 6) | (*p & 0x3F);
      ++p;
    }
    const int byte = UnicodeToWindows1252(c);
    out[count++] = static_cast<char>(byte < 0 ? '?' : byte);
  }
  out[count] = '\0';
  return count;
}

}  // namespace lanthorn
