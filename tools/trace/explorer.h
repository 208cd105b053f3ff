// The explorer: plays a book with the real engine, breadth first over
// distinct story states from the beginning, following every choice, every
// band of every chance roll, every accepted answer and one wrong one, and
// the information page's item pages, and reports what it found.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "book/book_tables.h"
#include "story/choices.h"

namespace trace {

// One step of a way through the book: what the reader does on the page of
// `paragraph`, and the paragraph it leads to.
// kMenu opens page `to` + 1 from the menu (only at the beginning).
struct PathStep {
  enum Kind { kChoose, kRoll, kType, kInformation, kOpenItem, kReturn, kMenu } kind;
  int paragraph;
  std::string label;   // the button's label (kChoose, kRoll, kOpenItem)
  std::string answer;  // what is typed (kType; empty for a wrong answer)
  int to;
  uint16_t controlId = 0;  // the button or input box used (kChoose, kRoll, kType, kOpenItem)
  lanthorn::HotwordRecord hotword{};  // the roll's or answer's record (kRoll, kType)
};

struct ExploreReport {
  int64_t states = 0;          // distinct states built
  int64_t asides = 0;          // aside pages built with the story state they return to, not kept
  int64_t asidesRecalled = 0;  // aside pages known from an earlier build, not built again
  int64_t pageBuilds = 0;
  int64_t unexplored = 0;  // states found but left in the queue by the cap
  bool capped = false;
  bool exhaustive = false;  // every state was to be explored, with no order or cap
  bool exact = false;       // and every one was: the figures are exact
  double seconds = 0;
  std::set<int> reached;            // paragraphs built at least once
  std::set<int> notReached;         // paragraphs with text never built
  std::set<int> stuck;              // story pages with no way on that are not endings
  std::map<int, int> endings;       // ending paragraph reached -> best score there
  std::map<int, int> worstEndings;  // ending paragraph reached -> worst score there
  std::set<int> endingsNotReached;
  std::map<int, std::set<std::string>> messages;   // paragraph -> limit messages
  std::map<int, std::vector<PathStep>> bestPaths;  // ending -> a way to its best score

  double BuildsPerSecond() const {
    return seconds > 0 ? static_cast<double>(pageBuilds) / seconds : 0;
  }
};

// Explores the book from page 2 with a new reader's state, building at most
// `cap` distinct states and at most `perPage` on any one page. `endings` are
// the paragraphs where the story ends; `scoreItem` is the item whose value,
// times ten, is the score.
ExploreReport Explore(const lanthorn::Book& book, const std::vector<int>& endings, int64_t cap,
                      int scoreItem = 36, int64_t perPage = 2000);

// Explores every distinct story state the explorer's moves reach from page 2,
// with no cap, so that every figure of the report is exact. With
// `mergeDeadValues`, a story item's value that no way from the state can read
// before overwriting it is left out of the state (see liveness.h); the
// figures are the same, and the states fewer. At most `limit` states are
// built (their store grows with them); past it the report is capped and not
// exact.
ExploreReport ExploreExactly(const lanthorn::Book& book, const std::vector<int>& endings,
                             int scoreItem = 36, bool mergeDeadValues = true,
                             int64_t limit = 20000000);

std::string ReportText(const ExploreReport& report);
// One step of a way, as the report prints it: "62: \"Light the candle\" -> 63".
std::string DescribeStep(const PathStep& step);
std::string ReportJson(const ExploreReport& report);

}  // namespace trace
