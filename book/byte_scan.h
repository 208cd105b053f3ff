// Looking at text eight bytes at a time: joining a paragraph finds the end
// of each word, and the tokenizer the next tag or block mark, a word at a
// time instead of a byte at a time.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace lanthorn {

// The first byte of the text is the lowest of the eight.
static_assert(std::endian::native == std::endian::little);

inline uint64_t EightBytesAt(const char* text) {
  uint64_t eight;
  memcpy(&eight, text, 8);
  return eight;
}

// A mask whose lowest set bit is the top bit of the first byte of `eight`
// that is zero; 0 when none is. (A higher bit may be set for a byte that is
// not zero, after one that is: only the lowest counts.)
constexpr uint64_t ZeroBytes(uint64_t eight) {
  return (eight - 0x0101010101010101ull) & ~eight & 0x8080808080808080ull;
}

// ZeroBytes for the bytes equal to `c`.
constexpr uint64_t BytesEqual(uint64_t eight, char c) {
  return ZeroBytes(eight ^ (0x0101010101010101ull * static_cast<unsigned char>(c)));
}

// Which of the eight bytes the lowest set bit of a non-zero mask marks.
constexpr int FirstMarkedByte(uint64_t mask) { return std::countr_zero(mask) / 8; }

}  // namespace lanthorn
