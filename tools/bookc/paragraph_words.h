// A paragraph's source text as the reader will join it: blanks and line
// breaks folded to single blanks, each word followed by one blank, except that
// a double-quoted label or a parenthesised answer inside a tag keeps its
// blanks as written and stays whole within one word.
#pragma once

#include <string>
#include <vector>

#include "tools/bookc/book_source.h"

namespace bookc {

struct JoinedParagraph {
  SourceText joined;               // exactly what the reader's joining rebuilds
  std::vector<std::string> words;  // joined == each word followed by one blank
};

JoinedParagraph JoinSource(const SourceText& body);

}  // namespace bookc
