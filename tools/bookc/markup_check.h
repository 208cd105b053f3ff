// Checks of one paragraph's joined mark-up: tags closed, braces where a
// conditional tag opens a block, the end tag, and every operand that names a
// paragraph, story item, restart point, picture or sound, every label and
// every answer within the reader's bounds.
#pragma once

#include <functional>

#include "tools/bookc/book_source.h"
#include "tools/bookc/diagnostics.h"

namespace bookc {

// Joined text of more characters than this does not fit the reader's
// paragraph buffer.
constexpr int kMostJoinedCharacters = 2287;
constexpr int kMostLabelCharacters = 199;
constexpr int kMostAnswerCharacters = 19;

enum class ParagraphState { kMissing, kEmpty, kText };

struct MarkupContext {
  // What the book holds at a paragraph number (any int).
  std::function<ParagraphState(int)> paragraphState;
};

void CheckParagraphMarkup(const SourceParagraph& paragraph, const SourceText& joined,
                          const MarkupContext& context, Diagnostics& diagnostics);

}  // namespace bookc
