// The condition evaluator: computes the truth of a condition tag's expression
// from the story items, with two small stacks, left to right, "&" and "|" of
// equal precedence and a short circuit that skips the next group.
#pragma once

#include <cstdint>

namespace lanthorn {

struct Story;

constexpr int kEvaluatorStackSize = 10;

struct Operand {
  uint16_t value;
  int16_t depth;
  uint32_t kind;  // 0 result, 2 item reference, 3 literal
};

struct PendingOperator {
  uint16_t symbol;
  int16_t depth;
};

struct EvaluatorState {
  // Slot 0 is the scratch operand below the stack's bottom: it takes digits
  // that come while the stack is empty and is never cleared. Slots 1 to 10
  // are the stack.
  Operand operands[kEvaluatorStackSize + 1];
  int16_t operandCount;
  PendingOperator operators[kEvaluatorStackSize];
  int16_t operatorCount;
};

// Reads the expression of a condition tag (its letter first), from byte 1 (or
// 2 after a blank), and returns the result byte: 0 false, anything else true.
uint8_t EvaluateCondition(Story& story, const char* tag);

}  // namespace lanthorn
