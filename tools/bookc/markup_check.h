// Checks of one paragraph's joined mark-up: tags closed, braces where a
// conditional tag opens a block, the end tag, and every operand that names a
// paragraph, story item, restart point, picture or sound, every label and
// every answer within the reader's bounds.
#pragma once

#include <functional>

#include "book/paragraph_store.h"
#include "page/controls.h"
#include "story/choices.h"
#include "tools/bookc/book_source.h"
#include "tools/bookc/diagnostics.h"

namespace bookc {

// The reader's bounds: joined text that reaches the paragraph buffer's size,
// a label or an answer longer than the reader keeps, would be cut.
constexpr int kMostJoinedCharacters = lanthorn::kParagraphBufferSize - 1;
constexpr int kMostLabelCharacters = lanthorn::kLabelSize - 1;
constexpr int kMostAnswerCharacters = lanthorn::kAnswerSize - 1;

enum class ParagraphState { kMissing, kEmpty, kText };

struct MarkupContext {
  // What the book holds at a paragraph number (any int).
  std::function<ParagraphState(int)> paragraphState;
};

void CheckParagraphMarkup(const SourceParagraph& paragraph, const SourceText& joined,
                          const MarkupContext& context, Diagnostics& diagnostics);

}  // namespace bookc
