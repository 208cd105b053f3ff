// A look at TOML text before toml++ parses it, for what the parser (toml++
// 3.3) must never be given: a table header that does not start with a key,
// on which it stops at an assertion, and keys of many dotted parts or values
// nested deep, through which it recurses once per part or level. Everything
// else, valid or not, is left to the parser.
#pragma once

#include <string>
#include <string_view>

#include "tools/bookc/diagnostics.h"

namespace bookc {

// A book's metadata needs keys of two parts (information.title) and values
// nested two deep (an array of texts in a table).
constexpr int kMostTomlKeyParts = 16;
constexpr int kMostTomlNesting = 16;

// Reports the first such problem as "file:line:col: error: ..." and returns
// false; true when the text may go to the parser.
bool CheckTomlShape(std::string_view text, const std::string& file, Diagnostics& diagnostics);

}  // namespace bookc
