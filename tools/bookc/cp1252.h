// UTF-8 source text to Windows-1252, the single-byte encoding the reader uses.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace bookc {

// The Windows-1252 byte of a Unicode code point, or nothing when it has none.
// Control characters other than tab, line feed and carriage return have none:
// they have no place in a book.
std::optional<uint8_t> ToCp1252(char32_t codePoint);

// Decodes one UTF-8 sequence at text[pos], moving pos past it. Returns
// nothing (and moves pos by one byte) for a malformed sequence.
std::optional<char32_t> DecodeUtf8(std::string_view text, size_t& pos);

// Converts a whole UTF-8 string. On failure returns nothing and sets
// problem to a description of the first bad character.
std::optional<std::string> Utf8ToCp1252(std::string_view text, std::string& problem);

// Windows-1252 text as UTF-8, for showing book text on a terminal. Bytes
// that Windows-1252 leaves unused come out as U+FFFD.
std::string Cp1252ToUtf8(std::string_view text);

std::string DescribeCodePoint(char32_t codePoint);

}  // namespace bookc
