// The mark-up's tag grammar: how each tag letter's operands are read from the
// tag's text. The tag interpreter acts on what this reads, and bookc checks
// the same reading, so the two can never disagree on what a tag says.
//
// Reading has no effects; it follows the interpreter's rules exactly, quirks
// included: a number takes digits, passes over "+", turns negative at a "-"
// anywhere in it, and ends at any other character; a missing number reads 0.
#pragma once

#include <cstdint>

namespace lanthorn {

// A number as a tag writes it. `value` is what the reader computes, in a
// 32-bit accumulator that wraps; `written` is the same number without
// wrapping (held at +-10^15), so that a check can tell 65546 from 10.
struct TagNumber {
  int32_t value;
  int64_t written;
  int16_t offset;  // where its text starts in the tag
};

// A quoted label or a parenthesised answer: where its text starts, how long
// it is, and whether its closing character was found.
struct TagText {
  int16_t offset;
  int16_t length;
  bool closed;
};

// What a choice's button shows.
enum class ChoiceFace : uint8_t {
  kNone,     // nothing: no button is made, so the choice cannot be picked
  kLabel,    // "label"
  kPicture,  // $n, picture n of the picture table
  kItem,     // %n, the state of item n
};

// The assignment operand of R and r.
enum class OperandKind : uint8_t { kNumber, kItemValue, kRandom };

struct ParsedTag {
  char letter;  // '\0' for an empty tag
  // W V v A n p: the tag's number; l N Q R r: the item after "%"; s u: the
  // restart point after "*".
  TagNumber number;

  // R and r: the value assigned or added.
  OperandKind operandKind;
  bool negated;  // -%n
  TagNumber operand;

  // N Q R r: operands follow the item, so the tag makes a choice instead of
  // acting at once. M m g L d S u always make one.
  bool choice;
  ChoiceFace face;
  TagText label;         // kLabel, and the labels of L, d and u
  TagNumber faceNumber;  // kPicture, kItem

  // The targets in the hotword record's order (target0 .. target3).
  TagNumber targets[4];
  bool hasTarget[4];

  // L and d: the band widths in parentheses, first to third.
  TagNumber bands[3];
  int8_t bandCount;

  // S: the answers in parentheses.
  TagText answers[3];
  int8_t answerCount;

  int16_t end;  // the reading position after the last operand
};

// Reads a tag's text (letter first, without "<" and ">").
ParsedTag ReadTag(const char* tag);

}  // namespace lanthorn
