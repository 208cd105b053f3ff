#include "page/tag_reader.h"

namespace lanthorn {

namespace {

constexpr int64_t kMostWritten = 1000000000000000;  // 10^15

class TagScanner {
 public:
  explicit TagScanner(const char* text) : text_(text) {}

  ParsedTag Read() {
    ParsedTag tag{};
    tag.letter = text_[0];
    position_ = tag.letter != '\0' ? 1 : 0;
    switch (tag.letter) {
      case 'W':
      case 'V':
      case 'v':
      case 'A':
      case 'n':
      case 'p': tag.number = TagOperand(); break;
      case 'l': tag.number = MarkedNumber('%'); break;
      case 's': tag.number = MarkedNumber('*'); break;
      case 'N':
      case 'Q':
        tag.number = MarkedNumber('%');
        SkipBlank();
        if (!AtEnd()) LabelOrControlChoice(tag);
        break;
      case 'R':
      case 'r': Assignment(tag, tag.letter == 'r'); break;
      case 'u':
        tag.number = MarkedNumber('*');
        SkipPast('"');
        tag.choice = true;
        tag.face = ChoiceFace::kLabel;
        tag.label = Text('"');
        SkipCharacter('"');
        ControlTarget(tag);
        break;
      case 'M':
      case 'm':
      case 'g':
        if (text_[1] == ' ') position_ = 2;
        LabelOrControlChoice(tag);
        break;
      case 'L':
      case 'd':
        SkipPast('"');
        Chance(tag);
        break;
      case 'S':
        SkipPast('(');
        Answers(tag);
        break;
      default:  // the other letters have no operands, or (O, o) a condition
        break;
    }
    tag.end = static_cast<int16_t>(position_);
    return tag;
  }

 private:
  char At() const { return text_[position_]; }
  bool AtEnd() const { return At() == '\0'; }
  void SkipBlank() { SkipCharacter(' '); }
  void SkipCharacter(char c) {
    if (At() == c) ++position_;
  }
  // Moves just past the next c, or to the end of the tag.
  void SkipPast(char c) {
    while (!AtEnd()) {
      if (text_[position_++] == c) return;
    }
  }

  TagNumber Number() {
    TagNumber number{0, 0, static_cast<int16_t>(position_)};
    uint32_t value = 0;  // wraps like the 32-bit accumulator it stands for
    int64_t written = 0;
    bool negative = false;
    for (;; ++position_) {
      const char c = At();
      if (c >= '0' && c <= '9') {
        value = value * 10u + static_cast<uint32_t>(c - '0');
        written = written * 10 + (c - '0');
        if (written > kMostWritten) written = kMostWritten;
      } else if (c == '-') {
        negative = true;
      } else if (c != '+') {
        break;
      }
    }
    if (negative) {
      value = 0u - value;
      written = -written;
    }
    number.value = static_cast<int32_t>(value);
    number.written = written;
    return number;
  }

  // The operand of a one-number tag: one blank after the letter is passed.
  TagNumber TagOperand() {
    if (text_[1] == ' ') position_ = 2;
    return Number();
  }

  // "%i" and "*k" operands.
  TagNumber MarkedNumber(char mark) {
    SkipPast(mark);
    return Number();
  }

  // The characters up to the next `close` (or the end of the tag); the
  // reading position stays on the `close`.
  TagText Text(char close) {
    TagText text{static_cast<int16_t>(position_), 0, false};
    while (!AtEnd() && At() != close) ++position_;
    text.length = static_cast<int16_t>(position_ - text.offset);
    text.closed = At() == close;
    return text;
  }

  void Target(ParsedTag& tag, int slot) {
    tag.targets[slot] = Number();
    tag.hasTarget[slot] = true;
  }

  // A labelled choice when a double quote stands at the reading position,
  // else a picture ($n), an item (%n) or nothing; then the target.
  void LabelOrControlChoice(ParsedTag& tag) {
    tag.choice = true;
    if (At() == '"') {
      ++position_;
      tag.face = ChoiceFace::kLabel;
      tag.label = Text('"');
      SkipCharacter('"');
    } else if (At() == '$') {
      ++position_;
      tag.face = ChoiceFace::kPicture;
      tag.faceNumber = Number();
    } else if (At() == '%') {
      ++position_;
      tag.face = ChoiceFace::kItem;
      tag.faceNumber = Number();
    } else {
      tag.face = ChoiceFace::kNone;
    }
    ControlTarget(tag);
  }

  void ControlTarget(ParsedTag& tag) {
    SkipBlank();
    Target(tag, 0);
  }

  void Assignment(ParsedTag& tag, bool adding) {
    tag.number = MarkedNumber('%');
    SkipBlank();
    if (At() == '-' && text_[position_ + 1] == '%') {
      tag.negated = true;
      ++position_;
    }
    if (At() == '%') {
      ++position_;
      tag.operandKind = OperandKind::kItemValue;
      tag.operand = Number();
    } else if (At() == 'z' && !adding) {
      ++position_;
      tag.operandKind = OperandKind::kRandom;
    } else {
      tag.operandKind = OperandKind::kNumber;
      tag.operand = Number();
    }
    SkipBlank();
    if (!AtEnd()) LabelOrControlChoice(tag);
  }

  // Up to two more "(operand) target" ways, into target slots 2 and 3.
  template <typename ReadOperand>
  void MoreWays(ParsedTag& tag, ReadOperand readOperand) {
    for (int slot = 2; slot <= 3 && At() == '('; ++slot) {
      ++position_;
      readOperand();
      SkipCharacter(')');
      SkipBlank();
      Target(tag, slot);
      SkipBlank();
    }
  }

  // "label" (n) target0 [(n) target2 [(n) target3]] target1
  void Chance(ParsedTag& tag) {
    tag.choice = true;
    tag.face = ChoiceFace::kLabel;
    tag.label = Text('"');
    SkipCharacter('"');
    SkipPast('(');
    tag.bands[0] = Number();
    tag.bandCount = 1;
    SkipCharacter(')');
    SkipBlank();
    Target(tag, 0);
    SkipBlank();
    MoreWays(tag, [this, &tag] { tag.bands[tag.bandCount++] = Number(); });
    Target(tag, 1);
  }

  // (answer) target0 [(answer) target2 [(answer) target3]] target1
  void Answers(ParsedTag& tag) {
    tag.choice = true;
    tag.answers[0] = Text(')');
    tag.answerCount = 1;
    SkipCharacter(')');
    SkipBlank();
    Target(tag, 0);
    SkipBlank();
    MoreWays(tag, [this, &tag] { tag.answers[tag.answerCount++] = Text(')'); });
    Target(tag, 1);
  }

  const char* text_;
  int32_t position_ = 0;
};

}  // namespace

ParsedTag ReadTag(const char* tag) { return TagScanner(tag).Read(); }

}  // namespace lanthorn
