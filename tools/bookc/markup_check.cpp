#include "tools/bookc/markup_check.h"

#include <string>

#include "book/book_tables.h"

namespace bookc {

namespace {

using lanthorn::kItemCount;
using lanthorn::kParagraphCount;
using lanthorn::kPictureCount;
using lanthorn::kRestartPointCount;
using lanthorn::kSoundCount;

// Reads a tag's operands with the same rules as the reader's interpreter, and
// reports what the reader would get wrong.
class TagChecker {
 public:
  TagChecker(const std::string& tag, const SourcePosition& where, const MarkupContext& context,
             Diagnostics& diagnostics)
      : tag_(tag), where_(where), context_(context), diagnostics_(diagnostics) {}

  // Returns whether the tag opens a block (a conditional tag).
  bool Check() {
    if (tag_.empty()) {
      Warn("an empty tag '<>' does nothing");
      return false;
    }
    pos_ = 1;
    const char letter = tag_[0];
    switch (letter) {
      case 'H': case 'J': case 'B': case 'D': case 'U': case 'P': case 'T': case 'a':
      case 'G': case 'F': case 'I': case 'K': case 'Y': case 'C':
        return false;
      case 'E':
        return true;
      case 'W': {
        const int n = TagNumber();
        if (n < 0 || n > 2) Warn("alignment " + std::to_string(n) + " is not 0, 1 or 2");
        return false;
      }
      case 'V': case 'v':
        CheckPicture(TagNumber());
        return false;
      case 'A':
        CheckRange(TagNumber(), kSoundCount, "sound");
        return false;
      case 'n': case 'p':
        CheckTarget(TagNumber());
        return false;
      case 'l':
        SkipPast('%');
        CheckItem(ReadNumber());
        return false;
      case 's':
        SkipPast('*');
        CheckRange(ReadNumber(), kRestartPointCount, "restart point");
        return false;
      case 'u':
        SkipPast('*');
        CheckRange(ReadNumber(), kRestartPointCount, "restart point");
        SkipPast('"');
        ReadLabel();
        return true;
      case 'N': case 'Q':
        SkipPast('%');
        CheckItem(ReadNumber());
        SkipBlank();
        if (!AtEnd()) Choice();
        return false;
      case 'R': case 'r':
        Assignment(letter);
        return false;
      case 'M': case 'm': case 'g':
        if (tag_.size() > 1 && tag_[1] == ' ') pos_ = 2;
        Choice();
        return false;
      case 'L': case 'd':
        SkipPast('"');
        Chance(letter);
        return false;
      case 'S':
        SkipPast('(');
        Answers();
        return false;
      case 'O': case 'o':
        Condition();
        return true;
      default:
        Warn(std::string("unknown tag '") + letter + "' does nothing");
        return false;
    }
  }

 private:
  char At() const { return pos_ < tag_.size() ? tag_[pos_] : '\0'; }
  bool AtEnd() const { return pos_ >= tag_.size(); }
  void SkipBlank() {
    if (At() == ' ') ++pos_;
  }
  void SkipPast(char c) {
    while (!AtEnd()) {
      if (tag_[pos_++] == c) return;
    }
  }
  int ReadNumber() {
    uint32_t value = 0;
    bool negative = false;
    for (;; ++pos_) {
      const char c = At();
      if (c >= '0' && c <= '9') {
        value = value * 10u + static_cast<uint32_t>(c - '0');
      } else if (c == '-') {
        negative = true;
      } else if (c != '+') {
        break;
      }
    }
    if (negative) value = 0u - value;
    return static_cast<int16_t>(value);  // the tags use the low 16 bits
  }
  int TagNumber() {
    if (tag_.size() > 1 && tag_[1] == ' ') pos_ = 2;
    return ReadNumber();
  }

  void Error(const std::string& message) { diagnostics_.Error(where_, message); }
  void Warn(const std::string& message) { diagnostics_.Warning(where_, message); }

  void CheckRange(int n, int count, const std::string& what) {
    if (n < 0 || n >= count) {
      Error(what + " " + std::to_string(n) + " is outside 0.." + std::to_string(count - 1));
    }
  }
  void CheckItem(int n) { CheckRange(n, kItemCount, "item"); }
  void CheckPicture(int n) { CheckRange(n, kPictureCount, "picture"); }

  void CheckTarget(int paragraph) {
    switch (context_.paragraphState(paragraph)) {
      case ParagraphState::kMissing:
        if (paragraph < 0 || paragraph >= kParagraphCount) {
          Error("paragraph " + std::to_string(paragraph) + " is outside 0.." +
                std::to_string(kParagraphCount - 1));
        } else {
          Error("paragraph " + std::to_string(paragraph) + " does not exist in the book");
        }
        break;
      case ParagraphState::kEmpty:
        Warn("paragraph " + std::to_string(paragraph) + " is empty");
        break;
      case ParagraphState::kText:
        break;
    }
  }

  // The label after an opening double quote, up to the closing one.
  void ReadLabel() {
    const size_t close = tag_.find('"', pos_);
    if (close == std::string::npos) {
      Error("the label has no closing double quote");
      pos_ = tag_.size();
      return;
    }
    const size_t length = close - pos_;
    if (length == 0) Error("the label is empty");
    if (length > kMostLabelCharacters) {
      Error("a label of " + std::to_string(length) + " characters; a button holds at most " +
            std::to_string(kMostLabelCharacters));
    }
    pos_ = close + 1;
  }

  // A labelled choice ("label"), a picture button ($n) or an item button (%n),
  // then one blank and the target paragraph.
  void Choice() {
    const char c = At();
    if (c == '"') {
      ++pos_;
      ReadLabel();
    } else if (c == '$') {
      ++pos_;
      CheckPicture(ReadNumber());
    } else if (c == '%') {
      ++pos_;
      CheckItem(ReadNumber());
    } else {
      Error("the choice has no label, picture ($n) or item (%n), so no button can pick it");
    }
    SkipBlank();
    CheckTarget(ReadNumber());
    Trailing();
  }

  void Assignment(char letter) {
    SkipPast('%');
    CheckItem(ReadNumber());
    SkipBlank();
    if (At() == '-' && pos_ + 1 < tag_.size() && tag_[pos_ + 1] == '%') ++pos_;
    if (At() == '%') {
      ++pos_;
      CheckItem(ReadNumber());
    } else if (At() == 'z') {
      ++pos_;
      if (letter == 'r') Warn("'z' with 'r' adds nothing; use 'R' for a random value");
    } else {
      ReadNumber();
    }
    SkipBlank();
    if (!AtEnd()) Choice();
  }

  // Skips a ")" and one blank, as the chance and answer parsers do.
  void CloseOperand() {
    if (At() == ')') ++pos_;
    SkipBlank();
  }

  void Chance(char letter) {
    ReadLabel();
    SkipPast('(');
    int total = ReadNumber();
    const int first = total;
    CloseOperand();
    CheckTarget(ReadNumber());
    SkipBlank();
    int bands = 1;
    while (At() == '(' && bands < 3) {
      ++pos_;
      total += ReadNumber();
      ++bands;
      CloseOperand();
      CheckTarget(ReadNumber());
      SkipBlank();
    }
    CheckTarget(ReadNumber());
    Trailing();
    if (letter == 'L') {
      if (bands > 1) Error("a d20 roll (L) takes one threshold");
      if (first < 1 || first > 19) Warn("a d20 threshold of " + std::to_string(first) +
                                        " leaves one way never taken");
    } else {
      if (total > 127) {
        Error("the bands add up to " + std::to_string(total) + "; at most 127 fit in 8 bits");
      } else if (total > 100) {
        Warn("the bands add up to " + std::to_string(total) + ", beyond a roll of 100");
      }
    }
  }

  void Answer() {
    const size_t close = tag_.find(')', pos_);
    const size_t end = close == std::string::npos ? tag_.size() : close;
    const size_t length = end - pos_;
    if (length == 0) Error("the answer is empty");
    if (length > kMostAnswerCharacters) {
      Error("an answer of " + std::to_string(length) + " characters; an answer holds at most " +
            std::to_string(kMostAnswerCharacters));
    }
    pos_ = end;
  }

  void Answers() {
    Answer();
    CloseOperand();
    CheckTarget(ReadNumber());
    SkipBlank();
    for (int more = 0; more < 2 && At() == '('; ++more) {
      ++pos_;
      Answer();
      CloseOperand();
      CheckTarget(ReadNumber());
      SkipBlank();
    }
    CheckTarget(ReadNumber());
    Trailing();
  }

  void Condition() {
    int depth = 0;
    for (size_t i = 1; i < tag_.size(); ++i) {
      const char c = tag_[i];
      if (c == '(') ++depth;
      if (c == ')' && --depth < 0) break;
      if (c == '%') {
        pos_ = i + 1;
        CheckItem(ReadNumber());
      }
    }
    if (depth != 0) Error("the condition's parentheses do not balance");
  }

  void Trailing() {
    if (!AtEnd()) Warn("'" + tag_.substr(pos_) + "' after the choice's operands is ignored");
  }

  const std::string& tag_;
  const SourcePosition& where_;
  const MarkupContext& context_;
  Diagnostics& diagnostics_;
  size_t pos_ = 0;
};

}  // namespace

void CheckParagraphMarkup(const SourceParagraph& paragraph, const SourceText& joined,
                          const MarkupContext& context, Diagnostics& diagnostics) {
  const std::string& text = joined.text;
  if (text.empty()) return;
  if (text.size() > kMostJoinedCharacters) {
    diagnostics.Error(paragraph.marker,
                      "paragraph " + std::to_string(paragraph.number) + " is " +
                          std::to_string(text.size()) + " characters when joined; at most " +
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
        awaitingBlock =
            TagChecker(tag, joined.positions[tagStart], context, diagnostics).Check();
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
      case '>':
        diagnostics.Warning(where, "'>' outside a tag is not shown");
        break;
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
      case ' ':
        break;
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
