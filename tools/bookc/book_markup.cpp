#include "tools/bookc/book_markup.h"

namespace bookc {

std::string JoinedText(const lanthorn::Book& book, int paragraph) {
  std::string text;
  if (paragraph < 0 || paragraph >= lanthorn::kParagraphCount) return text;
  const lanthorn::ParagraphEntry& e = book.paragraphs[paragraph];
  if (e.block < 0 || e.block >= lanthorn::kBlockCount) return text;
  const lanthorn::TextBlock& block = book.blocks[e.block];
  for (int32_t w = e.firstWord; w < e.endWord && w < block.streamLength; ++w) {
    const uint16_t offset = block.wordStream[w];
    if (offset >= block.poolSize) break;
    for (int32_t c = offset; c < block.poolSize && block.wordPool[c] != '\0'; ++c) {
      text += block.wordPool[c];
    }
    text += ' ';
  }
  return text;
}

bool HasText(const lanthorn::Book& book, int paragraph) {
  if (paragraph < 0 || paragraph >= lanthorn::kParagraphCount) return false;
  const lanthorn::ParagraphEntry& e = book.paragraphs[paragraph];
  return e.block >= 0 && e.endWord > e.firstWord;
}

std::vector<MarkupPiece> SplitMarkup(const std::string& joined) {
  std::vector<MarkupPiece> pieces;
  std::string run;
  bool inTag = false;
  const auto flushText = [&] {
    if (!run.empty()) pieces.push_back({MarkupPiece::kText, run});
    run.clear();
  };
  for (const char c : joined) {
    if (inTag) {
      if (c == '>') {
        pieces.push_back({MarkupPiece::kTag, run});
        run.clear();
        inTag = false;
      } else if (c == '<') {
        run.clear();
      } else if (c == '}') {
        run.clear();
        inTag = false;
        pieces.push_back({MarkupPiece::kCloseBlock, ""});
      } else if (c != '{') {  // a "{" inside a tag is dropped from it
        run += c;
      }
      continue;
    }
    if (c == '<') {
      flushText();
      inTag = true;
    } else if (c == '{' || c == '}') {
      flushText();
      pieces.push_back({c == '{' ? MarkupPiece::kOpenBlock : MarkupPiece::kCloseBlock, ""});
    } else {
      run += c;
    }
  }
  if (!inTag) flushText();
  return pieces;
}

}  // namespace bookc
