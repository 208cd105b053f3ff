// Walkthroughs: for each ending an exploration reached, a lanthorn-trace
// script that plays the explorer's way to its best score on the compiled-in
// book, and the block of figures that book/PLAN.md holds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/trace/explorer.h"

namespace trace {

// The paragraph a roll on `record` leads to when the generator draws `draw`
// (0 to 32767), as the reader decides it.
int RollTarget(const lanthorn::HotwordRecord& record, int32_t draw);

// A tick count that seeds the chance rolls so that every roll on the way
// leads where the way goes (the generator is seeded once, from the tick
// count, at the first roll), or -1 when no seed up to the tick counter's
// range does.
int64_t TickForRolls(const std::vector<PathStep>& way);

// What to type for an answer that none of the record's answers accepts.
std::string WrongAnswer(const lanthorn::HotwordRecord& record);

// The script of the way to `ending`: after the opening screens, one command
// a step, each with a comment naming it and a dump of the page it leads to,
// and at the end a dump of the story items (which hold the score). `how`
// names the exploration it came from.
std::string WalkthroughScript(const std::vector<PathStep>& way, int ending, int score, int64_t tick,
                              const std::string& how);

// The file name of the walkthrough of `ending`: "ending-092.trace".
std::string WalkthroughName(int ending);

// The figures block for book/PLAN.md, between its markers: how the
// exploration ran, the paragraphs and states, and each ending's best and
// worst score with its walkthrough.
std::string FiguresBlock(const ExploreReport& report, const std::string& how);

// Puts `block` between the figures markers of `document` (the markers are
// part of the block). False, leaving the document alone, when the document
// lacks either marker.
bool ReplaceFigures(std::string& document, const std::string& block);

constexpr const char* kFiguresBegin = "<!-- explorer figures: begin -->";
constexpr const char* kFiguresEnd = "<!-- explorer figures: end -->";

}  // namespace trace
