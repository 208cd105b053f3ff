#include "tools/bookc/markup_check.h"

#include <string>

#include "book/book_tables.h"
#include "page/tag_reader.h"

namespace bookc {

namespace {

using lanthorn::ChoiceFace;
using lanthorn::kItemCount;
using lanthorn::kParagraphCount;
using lanthorn::kPictureCount;
using lanthorn::kRestartPointCount;
using lanthorn::kSoundCount;
using lanthorn::OperandKind;
using lanthorn::ParsedTag;
using lanthorn::TagNumber;
using lanthorn::TagText;

// Checks a tag as the reader's own tag reader reads it, and reports what the
// reader would show otherwise than the author meant: a number outside its
// table (the reader keeps only its low bits), a choice no button can pick, a
// label or answer the reader would cut.
class TagChecker {
 public:
  TagChecker(const std::string& tag, const SourcePosition& where, const MarkupContext& context,
             Diagnostics& diagnostics)
      : text_(tag), where_(where), context_(context), diagnostics_(diagnostics) {}

  // Returns whether the tag opens a block (a conditional tag).
  bool Check() {
    if (text_.empty()) {
      Warn("an empty tag '<>' does nothing");
      return false;
    }
    const ParsedTag tag = lanthorn::ReadTag(text_.c_str());
    switch (tag.letter) {
      case 'H':
      case 'J':
      case 'B':
      case 'D':
      case 'U':
      case 'P':
      case 'T':
      case 'a':
      case 'G':
      case 'F':
      case 'I':
      case 'K':
      case 'Y':
      case 'C': return false;
      case 'E': return true;
      case 'W':
        if (tag.number.written < 0 || tag.number.written > 2) {
          Warn("alignment " + Written(tag.number) + " is not 0, 1 or 2");
        }
        return false;
      case 'V':
      case 'v': CheckRange(tag.number, kPictureCount, "picture"); return false;
      case 'A': CheckRange(tag.number, kSoundCount, "sound"); return false;
      case 'n':
      case 'p': CheckTarget(tag.number); return false;
      case 'l': CheckRange(tag.number, kItemCount, "item"); return false;
      case 's': CheckRange(tag.number, kRestartPointCount, "restart point"); return false;
      case 'u':
        // The choice goes back to the restart point, not to its target.
        CheckRange(tag.number, kRestartPointCount, "restart point");
        CheckLabel(tag.label);
        return true;
      case 'N':
      case 'Q':
        CheckRange(tag.number, kItemCount, "item");
        if (tag.choice) Choice(tag);
        return false;
      case 'R':
      case 'r': Assignment(tag); return false;
      case 'M':
      case 'm':
      case 'g': Choice(tag); return false;
      case 'L':
      case 'd': Chance(tag); return false;
      case 'S': Answers(tag); return false;
      case 'O':
      case 'o': Condition(); return true;
      default: Warn(std::string("unknown tag '") + tag.letter + "' does nothing"); return false;
    }
  }

 private:
  static std::string Written(const TagNumber& number) { return std::to_string(number.written); }

  void Error(const std::string& message) { diagnostics_.Error(where_, message); }
  void Warn(const std::string& message) { diagnostics_.Warning(where_, message); }

  void CheckRange(const TagNumber& number, int count, const std::string& what) {
    if (number.written < 0 || number.written >= count) {
      Error(what + " " + Written(number) + " is outside 0.." + std::to_string(count - 1));
    }
  }

  void CheckTarget(const TagNumber& paragraph) {
    if (paragraph.written < 0 || paragraph.written >= kParagraphCount) {
      Error("paragraph " + Written(paragraph) + " is outside 0.." +
            std::to_string(kParagraphCount - 1));
      return;
    }
    const int number = static_cast<int>(paragraph.written);
    switch (context_.paragraphState(number)) {
      case ParagraphState::kMissing:
        Error("paragraph " + std::to_string(number) + " does not exist in the book");
        break;
      case ParagraphState::kEmpty: Warn("paragraph " + std::to_string(number) + " is empty"); break;
      case ParagraphState::kText: break;
    }
  }

  void CheckLabel(const TagText& label) {
    if (!label.closed) {
      Error("the label has no closing double quote");
      return;
    }
    if (label.length == 0) Error("the label is empty");
    if (label.length > kMostLabelCharacters) {
      Error("a label of " + std::to_string(label.length) + " characters; a button holds at most " +
            std::to_string(kMostLabelCharacters));
    }
  }

  // A labelled choice ("label"), a picture button ($n) or an item button (%n),
  // then its target.
  void Choice(const ParsedTag& tag) {
    switch (tag.face) {
      case ChoiceFace::kLabel: CheckLabel(tag.label); break;
      case ChoiceFace::kPicture: CheckRange(tag.faceNumber, kPictureCount, "picture"); break;
      case ChoiceFace::kItem: CheckRange(tag.faceNumber, kItemCount, "item"); break;
      case ChoiceFace::kNone:
        Error("the choice has no label, picture ($n) or item (%n), so no button can pick it");
        break;
    }
    CheckTarget(tag.targets[0]);
    Trailing(tag);
  }

  void Assignment(const ParsedTag& tag) {
    CheckRange(tag.number, kItemCount, "item");
    if (tag.operandKind == OperandKind::kItemValue) {
      CheckRange(tag.operand, kItemCount, "item");
    } else if (tag.operandKind == OperandKind::kNumber) {
      if (tag.letter == 'r' && text_[static_cast<size_t>(tag.operand.offset)] == 'z') {
        Error(
            "'z' with 'r' is read as 0 followed by a choice no button can pick; use 'R' "
            "for a random value");
        return;
      }
      if (tag.operand.written < -32768 || tag.operand.written > 32767) {
        Error("the value " + Written(tag.operand) + " is outside -32768..32767");
      }
    }
    if (tag.choice) Choice(tag);
  }

  void Chance(const ParsedTag& tag) {
    CheckLabel(tag.label);
    int64_t total = 0;
    for (int i = 0; i < tag.bandCount; ++i) {
      if (tag.bands[i].written < 0) {
        Error("a chance band of " + Written(tag.bands[i]) + " is negative");
      }
      total += tag.bands[i].written;
    }
    CheckTarget(tag.targets[0]);
    if (tag.bandCount > 1) CheckTarget(tag.targets[2]);
    if (tag.bandCount > 2) CheckTarget(tag.targets[3]);
    CheckTarget(tag.targets[1]);
    Trailing(tag);
    const int64_t first = tag.bands[0].written;
    if (tag.letter == 'L') {
      if (tag.bandCount > 1) Error("a d20 roll (L) takes one threshold");
      if (first >= 0 && (first < 1 || first > 19)) {
        Warn("a d20 threshold of " + std::to_string(first) + " leaves one way never taken");
      }
    } else if (total > 127) {
      Error("the bands add up to " + std::to_string(total) + "; at most 127 fit in 8 bits");
    } else if (total > 100) {
      Warn("the bands add up to " + std::to_string(total) + ", beyond a roll of 100");
    }
  }

  void Answer(const TagText& answer) {
    if (answer.length == 0) Error("the answer is empty");
    if (answer.length > kMostAnswerCharacters) {
      Error("an answer of " + std::to_string(answer.length) +
            " characters; an answer holds at most " + std::to_string(kMostAnswerCharacters));
    }
  }

  void Answers(const ParsedTag& tag) {
    Answer(tag.answers[0]);
    CheckTarget(tag.targets[0]);
    for (int i = 1; i < tag.answerCount; ++i) {
      Answer(tag.answers[i]);
      CheckTarget(tag.targets[i + 1]);
    }
    CheckTarget(tag.targets[1]);
    Trailing(tag);
  }

  // The items a condition names (its digits after "%") and its parentheses.
  void Condition() {
    int depth = 0;
    for (size_t i = 1; i < text_.size(); ++i) {
      const char c = text_[i];
      if (c == '(') ++depth;
      if (c == ')' && --depth < 0) break;
      if (c != '%') continue;
      int64_t item = 0;
      size_t digits = i + 1;
      for (; digits < text_.size() && text_[digits] >= '0' && text_[digits] <= '9'; ++digits) {
        if (item < kItemCount) item = item * 10 + (text_[digits] - '0');
      }
      if (item >= kItemCount) {
        Error("item " + text_.substr(i + 1, digits - i - 1) + " is outside 0.." +
              std::to_string(kItemCount - 1));
      }
    }
    if (depth != 0) Error("the condition's parentheses do not balance");
  }

  void Trailing(const ParsedTag& tag) {
    const size_t end = static_cast<size_t>(tag.end);
    if (end < text_.size())
      Warn("'" + text_.substr(end) + "' after the choice's operands is ignored");
  }

  const std::string& text_;
  const SourcePosition& where_;
  const MarkupContext& context_;
  Diagnostics& diagnostics_;
};

}  // namespace

void CheckParagraphMarkup(const SourceParagraph& paragraph, const SourceText& joined,
                          const MarkupContext& context, Diagnostics& diagnostics) {
  const std::string& text = joined.text;
  if (text.empty()) return;
  if (text.size() > kMostJoinedCharacters) {
    diagnostics.Error(paragraph.marker, "paragraph " + std::to_string(paragraph.number) + " is " +
                                            std::to_string(text.size()) +
                                            " characters when joined; at most " +
                                            std::to_string(kMostJoinedCharacters) + " fit");
  }
  if (text.size() < 4 || text.compare(text.size() - 4, 4, "<G> ") != 0) {
    diagnostics.Error(paragraph.marker,
                      "paragraph " + std::to_string(paragraph.number) + " does not end with <G>");
  }

  bool inTag = false;
  size_t tagStart = 0;
  bool awaitingBlock = false;  // after a conditional tag, until its "{"
  bool inBlock = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const SourcePosition& where = joined.positions[i];
    if (inTag) {
      if (c == '<') {
        diagnostics.Error(joined.positions[tagStart], "'<' is not closed by '>'");
        tagStart = i;
      } else if (c == '}') {
        diagnostics.Error(where, "'}' inside a tag");
        inTag = false;
      } else if (c == '{') {
        diagnostics.Error(where, "'{' inside a tag");
      } else if (c == '>') {
        inTag = false;
        const std::string tag = text.substr(tagStart + 1, i - tagStart - 1);
        awaitingBlock = TagChecker(tag, joined.positions[tagStart], context, diagnostics).Check();
      }
      continue;
    }
    switch (c) {
      case '<':
        if (awaitingBlock) {
          diagnostics.Warning(where, "the conditional tag before this one has no block");
          awaitingBlock = false;
        }
        inTag = true;
        tagStart = i;
        break;
      case '>': diagnostics.Warning(where, "'>' outside a tag is not shown"); break;
      case '{':
        if (!awaitingBlock) {
          diagnostics.Warning(where, "'{' with no conditional tag directly before it is dropped");
        }
        awaitingBlock = false;
        inBlock = true;
        break;
      case '}':
        if (!inBlock) diagnostics.Warning(where, "'}' closes no block");
        inBlock = false;
        awaitingBlock = false;
        break;
      case ' ': break;
      default:
        if (awaitingBlock) {
          if (c < '0' || c > '9') {
            diagnostics.Warning(where, "text between a conditional tag and its '{' is dropped");
          }
        }
        break;
    }
  }
  if (inTag) diagnostics.Error(joined.positions[tagStart], "'<' is not closed by '>'");
}

}  // namespace bookc
