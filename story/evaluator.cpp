#include "story/evaluator.h"

#include "book/limit_message.h"
#include "story/story_state.h"

namespace lanthorn {

namespace {

enum OperandKind : uint32_t { kResult = 0, kItemReference = 2, kLiteral = 3 };

class Evaluation {
 public:
  explicit Evaluation(Story& story) : story_(story), s_(story.evaluator) {
    s_.operandCount = 0;
    s_.operatorCount = 0;
  }

  uint8_t Run(const char* text, int32_t position) {
    for (int32_t pos = position; text[pos] != '\0';) {
      const char c = text[pos++];
      if (c >= '0' && c <= '9') {
        afterComparison_ = false;
        Operand& top = Top();
        top.value = static_cast<uint16_t>(top.value * 10 + (c - '0'));
        continue;
      }
      switch (c) {
        case '(': ++depth_; break;
        case '!':
        case 'X': PushOperator(c); break;
        case '%':
          if (afterComparison_) {
            Top().kind = kItemReference;
          } else {
            PushOperand({0, depth_, kItemReference});
          }
          break;
        case '=':
        case 'x':
        case 'y':
          PushOperator(c);
          PushOperand({0, depth_, kLiteral});
          afterComparison_ = true;
          break;
        case '&':
        case '|': {
          const bool decided = (c == '&') == (Top().value == 0);
          if (decided) {
            pos = SkipGroup(text, pos);
          } else {
            PushOperator(c);
          }
          break;
        }
        case ')': CloseGroup(); break;
        default:  // everything else is not part of the grammar
          break;
      }
    }
    return static_cast<uint8_t>(Top().value & 0xFF);
  }

 private:
  Operand& Top() { return s_.operands[s_.operandCount]; }

  // Pushes beyond the tenth entry are dropped rather than written past the
  // stack; reaching ten entries is reported.
  void PushOperand(const Operand& operand) {
    if (s_.operandCount < kEvaluatorStackSize) s_.operands[++s_.operandCount] = operand;
    if (s_.operandCount == kEvaluatorStackSize)
      ShowError(story_.platform, "Operands stack overflow");
  }

  void PushOperator(char symbol) {
    if (s_.operatorCount < kEvaluatorStackSize) {
      s_.operators[s_.operatorCount++] = {static_cast<uint16_t>(symbol), depth_};
    }
    if (s_.operatorCount == kEvaluatorStackSize)
      ShowError(story_.platform, "Operators stack overflow");
  }

  // An empty stack yields its bottom slot as it stands.
  Operand PopOperand() {
    if (s_.operandCount == 0) {
      ShowError(story_.platform, "Can't remove an operand from an empty stack!");
      return s_.operands[0];
    }
    return s_.operands[s_.operandCount--];
  }

  void PopOperator() {
    if (s_.operatorCount == 0) {
      ShowError(story_.platform, "Can't remove an operator from an empty stack!");
      return;
    }
    --s_.operatorCount;
  }

  bool TopOperatorAt(int16_t depth, char* symbol) const {
    if (s_.operatorCount == 0) return false;
    const PendingOperator& top = s_.operators[s_.operatorCount - 1];
    if (top.depth != depth) return false;
    *symbol = static_cast<char>(top.symbol);
    return true;
  }

  int32_t Resolve(const Operand& operand) {
    if (operand.kind == kItemReference) return NumericValue(story_, operand.value);
    return static_cast<int16_t>(operand.value);
  }

  void PushResult(int32_t value) { PushOperand({static_cast<uint16_t>(value), depth_, kResult}); }

  // Passes over the next parenthesised group; reading goes on at the ")"
  // that closes it, which is then read as usual.
  int32_t SkipGroup(const char* text, int32_t pos) {
    int32_t count = depth_;
    for (int32_t i = pos; text[i] != '\0'; ++i) {
      if (text[i] == '(') ++count;
      if (text[i] == ')' && --count == depth_) return i;
    }
    int32_t end = pos;
    while (text[end] != '\0') ++end;
    return end;
  }

  void CloseGroup() {
    char symbol = 0;
    if (TopOperatorAt(depth_, &symbol)) {
      if (symbol == 'X') {
        PopOperator();
        const Operand item = PopOperand();
        PushResult(static_cast<int8_t>(Held(story_, item.value)));
      } else if (symbol == '=' || symbol == 'x' || symbol == 'y') {
        PopOperator();
        const int32_t right = Resolve(PopOperand());
        const int32_t left = NumericValue(story_, PopOperand().value);
        const bool holds = symbol == '='   ? left == right
                           : symbol == 'x' ? left > right
                                           : left < right;
        PushResult(holds ? 1 : 0);
      }
    }
    --depth_;
    while (TopOperatorAt(depth_, &symbol)) {
      if (symbol == '!') {
        PopOperator();
        Operand& top = Top();
        top.value = top.value == 0 ? 1 : 0;
      } else if (symbol == '&' || symbol == '|') {
        PopOperator();
        const bool right = (PopOperand().value & 0xFF) != 0;
        const bool left = (PopOperand().value & 0xFF) != 0;
        PushResult(symbol == '&' ? (left && right) : (left || right));
      } else {
        break;  // an X or comparison without its own group is never applied
      }
    }
  }

  Story& story_;
  EvaluatorState& s_;
  int16_t depth_ = 0;
  bool afterComparison_ = false;
};

}  // namespace

uint8_t EvaluateCondition(Story& story, const char* tag) {
  const int32_t start = tag[0] != '\0' && tag[1] == ' ' ? 2 : 1;
  return Evaluation(story).Run(tag, tag[0] == '\0' ? 0 : start);
}

}  // namespace lanthorn
