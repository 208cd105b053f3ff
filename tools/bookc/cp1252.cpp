#include "tools/bookc/cp1252.h"

#include <cstdio>

#include "book/windows1252.h"

namespace bookc {

std::optional<uint8_t> ToCp1252(char32_t cp) {
  if (cp == '\t' || cp == '\n' || cp == '\r') return static_cast<uint8_t>(cp);
  if (cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp < 0xA0)) return std::nullopt;
  const int byte = lanthorn::UnicodeToWindows1252(cp);
  if (byte < 0) return std::nullopt;
  return static_cast<uint8_t>(byte);
}

std::optional<char32_t> DecodeUtf8(std::string_view text, size_t& pos) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(pos);
  int extra = 0;
  char32_t cp = 0;
  if (lead < 0x80) {
    ++pos;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    cp = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    cp = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    cp = lead & 0x07;
  } else {
    ++pos;
    return std::nullopt;
  }
  if (pos + static_cast<size_t>(extra) >= text.size()) {
    ++pos;
    return std::nullopt;
  }
  for (int i = 1; i <= extra; ++i) {
    const uint8_t b = byte(pos + static_cast<size_t>(i));
    if ((b & 0xC0) != 0x80) {
      ++pos;
      return std::nullopt;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  static constexpr char32_t kSmallest[4] = {0, 0x80, 0x800, 0x10000};
  if (cp < kSmallest[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++pos;
    return std::nullopt;
  }
  pos += static_cast<size_t>(extra) + 1;
  return cp;
}

std::optional<std::string> Utf8ToCp1252(std::string_view text, std::string& problem) {
  std::string out;
  size_t pos = 0;
  while (pos < text.size()) {
    const std::optional<char32_t> cp = DecodeUtf8(text, pos);
    if (!cp) {
      problem = "text is not valid UTF-8";
      return std::nullopt;
    }
    const std::optional<uint8_t> b = ToCp1252(*cp);
    if (!b) {
      problem = DescribeCodePoint(*cp) + " has no Windows-1252 form";
      return std::nullopt;
    }
    out += static_cast<char>(*b);
  }
  return out;
}

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  for (unsigned char b : text) {
    const char32_t cp = lanthorn::Windows1252ToUnicode(b);
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

std::string DescribeCodePoint(char32_t cp) {
  char text[32];
  snprintf(text, sizeof text, "character U+%04X", static_cast<unsigned>(cp));
  return text;
}

}  // namespace bookc
