// Which story items' values a book can still read from a paragraph on: a
// liveness analysis over the book's mark-up, made once per book, so that the
// exact explorer can leave out of a state's key a value that can never be
// told apart from here on.
#pragma once

#include <cstdint>
#include <vector>

#include "book/book_tables.h"

namespace trace {

// What building a paragraph's page can read and do: whether it changes
// nothing and leads nowhere but to asides (no tag that writes an item, a
// held flag or a restart point, and no choice but "g"), and every item its
// tags name (all the values it can read are among them).
struct PageUse {
  bool onlyShows = false;
  uint64_t namedItems = 0;
};
PageUse UseOf(const lanthorn::Book& book, int paragraph);

class ValueLiveness {
 public:
  // `endings` are the paragraphs where the story ends (the score item's
  // value is read there); `scoreItem` is the item that holds the score.
  ValueLiveness(const lanthorn::Book& book, const std::vector<int>& endings, int scoreItem);

  // Whether some way from a build of `paragraph` may read item's value
  // before anything overwrites it, or a page the reader opens from anywhere
  // (the menu's, the information page and the items' pages) reads it.
  // Out-of-range paragraphs: every item.
  bool Live(int paragraph, int item) const;
  uint64_t LiveSet(int paragraph) const;

  // Items whose value is never left out: number items (their value's low
  // byte is also the held flag the inventory shows) and the character item
  // (the inventory shows it whether held or not).
  uint64_t Kept() const { return kept_; }

 private:
  std::vector<uint64_t> liveIn_;  // per paragraph, one bit an item
  uint64_t kept_ = 0;
  uint64_t anywhere_ = 0;  // read by the pages opened from anywhere
};

}  // namespace trace
