#include "tools/bookc/cp1252.h"

#include <cstdio>

namespace bookc {

namespace {

// Code points of Windows-1252 bytes 0x80 to 0x9F; 0 where the byte is unused.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

}  // namespace

std::optional<uint8_t> ToCp1252(char32_t cp) {
  if (cp == '\t' || cp == '\n' || cp == '\r') return static_cast<uint8_t>(cp);
  if (cp < 0x20 || cp == 0x7F) return std::nullopt;
  if (cp < 0x80) return static_cast<uint8_t>(cp);
  if (cp >= 0xA0 && cp <= 0xFF) return static_cast<uint8_t>(cp);
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] != 0 && kHighControls[i] == cp) return static_cast<uint8_t>(0x80 + i);
  }
  return std::nullopt;
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
    char32_t cp = b;
    if (b >= 0x80 && b < 0xA0) cp = kHighControls[b - 0x80] != 0 ? kHighControls[b - 0x80] : 0xFFFD;
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
