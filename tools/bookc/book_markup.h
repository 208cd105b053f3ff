// A compiled paragraph's mark-up as the reader sees it, for the tools that
// read a whole book's tags: its joined text and its tags in text order.
#pragma once

#include <string>
#include <vector>

#include "book/book_tables.h"

namespace bookc {

// The paragraph's joined text (each word followed by one blank), as the
// reader rebuilds it from the word stream; empty when the paragraph is empty
// or absent.
std::string JoinedText(const lanthorn::Book& book, int paragraph);

// Whether the book holds paragraph p with some text.
bool HasText(const lanthorn::Book& book, int paragraph);

// One piece of a paragraph's mark-up: a tag (its text without "<" and ">")
// or a run of text outside tags; braces are pieces of their own.
struct MarkupPiece {
  enum Kind { kTag, kText, kOpenBlock, kCloseBlock } kind;
  std::string text;
};

// Splits joined text the way the reader's tokenizer reads it: "<" opens a
// tag (again inside a tag: the earlier one is dropped), ">" closes it, "}"
// abandons an open tag.
std::vector<MarkupPiece> SplitMarkup(const std::string& joined);

}  // namespace bookc
