// The page as plain text in reading order, for assistive technology: the
// titles and text, a line for each choice and answer box, paragraph breaks
// as blank lines. Pictures say their description when the book gives one.
#pragma once

#include <cstdint>

namespace lanthorn {

struct Reader;

// Writes the page's text (Windows-1252, NUL-terminated, cut to size - 1
// characters) into out; returns its length.
int32_t PageText(const Reader& reader, char* out, int32_t size);

// The name a page control is known by to assistive technology: a choice's
// label, "Sound" for the Sounds screen's check box, "Answer" for an input
// box; null for an id the page does not have.
const char* ControlName(const Reader& reader, uint16_t id);

}  // namespace lanthorn
