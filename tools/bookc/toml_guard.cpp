#include "tools/bookc/toml_guard.h"

namespace bookc {

namespace {

bool IsBareKeyCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '-';
}

// Walks the text the way the parser does: statements at the start of lines,
// keys, values with their strings, arrays and inline tables. Where the text
// is not valid TOML the walk only has to end: the parser stops at the first
// error, so what follows is never parsed.
class Scanner {
 public:
  Scanner(std::string_view text, const std::string& file, Diagnostics& diagnostics)
      : text_(text), file_(file), diagnostics_(diagnostics) {}

  bool Document() {
    while (!AtEnd()) {
      SkipBlanks();
      if (AtEnd()) break;
      const char c = Peek();
      if (c == '\n' || c == '\r') {
        Advance();
      } else if (c == '#') {
        SkipToLineEnd();
      } else if (c == '[') {
        if (!Header()) return false;
        SkipToLineEnd();
      } else if (IsBareKeyCharacter(c) || c == '"' || c == '\'') {
        if (!KeyValue(0)) return false;
        SkipToLineEnd();
      } else {
        SkipToLineEnd();  // not TOML: the parser reports it
      }
    }
    return true;
  }

 private:
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek(size_t ahead = 0) const {
    return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
  }
  bool LooksAt(std::string_view s) const { return text_.substr(pos_, s.size()) == s; }

  // Columns count characters, as the parser's do.
  void Advance() {
    const char c = text_[pos_++];
    if (c == '\n') {
      ++line_;
      column_ = 1;
    } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
      ++column_;
    }
  }

  void SkipBlanks() {
    while (!AtEnd() && (Peek() == ' ' || Peek() == '\t')) Advance();
  }
  void SkipToLineEnd() {
    while (!AtEnd() && Peek() != '\n') Advance();
  }
  // Blanks, line breaks and comments, as between the values of an array.
  void SkipSpace() {
    while (!AtEnd()) {
      const char c = Peek();
      if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
        Advance();
      } else if (c == '#') {
        SkipToLineEnd();
      } else {
        break;
      }
    }
  }

  bool Fail(int line, int column, std::string message) {
    diagnostics_.Error({file_, line, column}, std::move(message));
    return false;
  }

  // [key] or [[key]]: the parser takes the first character after the
  // brackets and blanks for the start of a key without looking.
  bool Header() {
    Advance();
    if (Peek() == '[') Advance();
    SkipBlanks();
    const char c = Peek();
    if (AtEnd() || !(IsBareKeyCharacter(c) || c == '"' || c == '\'')) {
      return Fail(line_, column_, "a table header must start with a key");
    }
    return Key();
  }

  // A key of parts joined by dots; each part is a table level.
  bool Key() {
    const int line = line_;
    const int column = column_;
    for (int parts = 1;; ++parts) {
      if (parts > kMostTomlKeyParts) {
        return Fail(line, column,
                    "a key of more than " + std::to_string(kMostTomlKeyParts) + " dotted parts");
      }
      const char c = Peek();
      if (IsBareKeyCharacter(c)) {
        while (!AtEnd() && IsBareKeyCharacter(Peek())) Advance();
      } else if (c == '"' || c == '\'') {
        String();
      } else {
        return true;  // not a key: the parser reports it
      }
      SkipBlanks();
      if (Peek() != '.') return true;
      Advance();
      SkipBlanks();
    }
  }

  bool KeyValue(int depth) {
    if (!Key()) return false;
    SkipBlanks();
    if (Peek() != '=') return true;
    Advance();
    SkipBlanks();
    return Value(depth);
  }

  bool Value(int depth) {
    const char c = Peek();
    if (c == '"' || c == '\'') {
      String();
      return true;
    }
    if (c != '[' && c != '{') {
      Scalar();
      return true;
    }
    if (depth == kMostTomlNesting) {
      return Fail(line_, column_,
                  "arrays and inline tables nested more than " + std::to_string(kMostTomlNesting) +
                      " deep");
    }
    Advance();
    const char close = c == '[' ? ']' : '}';
    while (true) {
      SkipSpace();
      if (AtEnd()) return true;
      if (Peek() == close) {
        Advance();
        return true;
      }
      const size_t before = pos_;
      const bool ok = c == '[' ? Value(depth + 1) : KeyValue(depth + 1);
      if (!ok) return false;
      SkipSpace();
      if (Peek() == ',') {
        Advance();
      } else if (Peek() != close || pos_ == before) {
        return true;  // not TOML: the parser stops here
      }
    }
  }

  // A number, date, time or boolean: up to the next separator. A date and a
  // time may be separated by a blank.
  void Scalar() {
    const size_t start = pos_;
    while (!AtEnd()) {
      const char c = Peek();
      if (c == ' ' && pos_ - start == 10 && text_[start + 4] == '-' && Peek(1) >= '0' &&
          Peek(1) <= '9') {
        Advance();
        continue;
      }
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',' || c == ']' || c == '}' ||
          c == '#' || c == '[' || c == '{' || c == '"' || c == '\'') {
        break;
      }
      Advance();
    }
  }

  // "basic", 'literal', """multi-line basic""" or '''multi-line literal'''.
  void String() {
    const char quote = Peek();
    const std::string triple(3, quote);
    if (LooksAt(triple)) {
      for (int i = 0; i < 3; ++i) Advance();
      while (!AtEnd()) {
        if (quote == '"' && Peek() == '\\') {
          Advance();
          if (!AtEnd()) Advance();
        } else if (LooksAt(triple)) {
          // Up to two quotes before the closing three belong to the text.
          while (!AtEnd() && Peek() == quote) Advance();
          return;
        } else {
          Advance();
        }
      }
      return;
    }
    Advance();
    while (!AtEnd() && Peek() != '\n') {
      const char c = Peek();
      Advance();
      if (c == quote) return;
      if (quote == '"' && c == '\\' && !AtEnd() && Peek() != '\n') Advance();
    }
  }

  std::string_view text_;
  const std::string& file_;
  Diagnostics& diagnostics_;
  size_t pos_ = 0;
  int line_ = 1;
  int column_ = 1;
};

}  // namespace

bool CheckTomlShape(std::string_view text, const std::string& file, Diagnostics& diagnostics) {
  return Scanner(text, file, diagnostics).Document();
}

}  // namespace bookc
