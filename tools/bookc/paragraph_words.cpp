#include "tools/bookc/paragraph_words.h"

namespace bookc {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Follows the tags of the text the way the reader's tokenizer will see them,
// to know where blanks belong to a label or answer.
class TagTracker {
 public:
  bool Protected() const { return inQuote_ || inAnswer_; }

  void Take(char c) {
    if (!inTag_) {
      if (c == '<') Open();
      return;
    }
    if (c == '>' || c == '}') {  // ">" ends any tag; "}" abandons it
      inTag_ = inQuote_ = inAnswer_ = false;
      return;
    }
    if (c == '<') {
      Open();
      return;
    }
    if (letter_ == 0) {
      letter_ = c;
    } else if (inQuote_) {
      inQuote_ = c != '"';
    } else if (inAnswer_) {
      inAnswer_ = c != ')';
    } else if (c == '"') {
      inQuote_ = true;
    } else if (c == '(' && letter_ == 'S') {
      inAnswer_ = true;
    }
  }

 private:
  void Open() {
    inTag_ = true;
    inQuote_ = inAnswer_ = false;
    letter_ = 0;
  }

  bool inTag_ = false;
  bool inQuote_ = false;
  bool inAnswer_ = false;
  char letter_ = 0;
};

}  // namespace

JoinedParagraph JoinSource(const SourceText& body) {
  JoinedParagraph result;
  SourceText& out = result.joined;
  TagTracker tags;
  std::string word;
  bool blankPending = false;
  SourcePosition blankAt;

  const auto endWord = [&](const SourcePosition& at) {
    out.text += ' ';
    out.positions.push_back(at);
    result.words.push_back(std::move(word));
    word.clear();
  };

  for (size_t i = 0; i < body.text.size(); ++i) {
    char c = body.text[i];
    if (IsBlank(c) && !tags.Protected()) {
      if (!word.empty() && !blankPending) {
        blankPending = true;
        blankAt = body.positions[i];
      }
      continue;
    }
    if (blankPending) {
      endWord(blankAt);
      blankPending = false;
    }
    if (IsBlank(c)) c = ' ';  // a line break inside a label reads as a blank
    word += c;
    out.text += c;
    out.positions.push_back(body.positions[i]);
    tags.Take(c);
  }
  if (!word.empty()) {
    endWord(blankPending ? blankAt : out.positions.back());
  }
  return result;
}

}  // namespace bookc
