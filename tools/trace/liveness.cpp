#include "tools/trace/liveness.h"

#include <cstring>

#include "page/tag_reader.h"
#include "tools/bookc/book_graph.h"
#include "tools/bookc/book_markup.h"

namespace trace {

namespace {

using lanthorn::ChoiceFace;
using lanthorn::kItemCount;
using lanthorn::kParagraphCount;
using lanthorn::OperandKind;

constexpr uint64_t Bit(int item) {
  return item >= 0 && item < kItemCount ? uint64_t{1} << item : 0;
}
constexpr uint64_t kEveryItem = (uint64_t{1} << kItemCount) - 1;

// What one paragraph's build does to item values: the items it may read
// before writing them (gen), and those it surely overwrites (kill).
struct Effects {
  uint64_t gen = 0;
  uint64_t kill = 0;
  // Items it may make held, so that the inventory opens their pages: N, and
  // any write of a number item (its value's low byte is its held flag).
  uint64_t held = 0;
};

// Every "%n" of a condition's text: the evaluator reads those items.
uint64_t ConditionReads(const std::string& tag) {
  uint64_t items = 0;
  for (size_t i = 1; i < tag.size(); ++i) {
    if (tag[i] != '%') continue;
    int64_t item = 0;
    size_t d = i + 1;
    for (; d < tag.size() && tag[d] >= '0' && tag[d] <= '9'; ++d) {
      if (item <= kItemCount) item = item * 10 + (tag[d] - '0');
    }
    items |= Bit(static_cast<int>(item));
  }
  return items;
}

// Walks the tags in text order. A read counts unless an earlier
// unconditional write of the same item made it; a write counts as a kill
// only outside braces (a block may be skipped) and only when it sets the
// value whatever it was (R with a number, an item or z; r adds to it, so it
// reads). Reads are taken wherever they stand, in blocks or not: a read
// that may not happen is still counted.
Effects EffectsOf(const std::string& joined, uint64_t numberItems) {
  Effects e;
  const auto read = [&e](uint64_t items) { e.gen |= items & ~e.kill; };
  bool inBlock = false;
  bool afterConditional = false;
  bool skipsFar = false;
  for (const bookc::MarkupPiece& piece : bookc::SplitMarkup(joined)) {
    if (piece.kind == bookc::MarkupPiece::kOpenBlock) inBlock = true;
    if (piece.kind == bookc::MarkupPiece::kCloseBlock) inBlock = false;
    if (piece.kind == bookc::MarkupPiece::kText && afterConditional &&
        piece.text.find_first_not_of(' ') != std::string::npos) {
      // Digits between a conditional tag and its "{" make a false block
      // skip that much further, past its "}" perhaps: then no tag of the
      // paragraph surely acts.
      skipsFar = true;
    }
    afterConditional = false;
    if (piece.kind != bookc::MarkupPiece::kTag || piece.text.empty()) continue;
    afterConditional = std::strchr("OoEu", piece.text[0]) != nullptr;
    const lanthorn::ParsedTag t = lanthorn::ReadTag(piece.text.c_str());
    const int item = t.number.value;
    if (t.face == ChoiceFace::kItem) read(Bit(t.faceNumber.value));  // the button shows it
    switch (t.letter) {
      case 'O': case 'o':
        read(ConditionReads(piece.text));
        break;
      case 'l':
        read(Bit(item));
        break;
      case 'N':
        // Held now or once picked: the inventory shows the item's value.
        read(Bit(item));
        e.held |= Bit(item);
        break;
      case 'R': case 'r':
        e.held |= Bit(item) & numberItems;
        if (t.operandKind == OperandKind::kItemValue) read(Bit(t.operand.value));
        if (t.letter == 'r') read(Bit(item));
        if (t.letter == 'R' && !t.choice && !inBlock) e.kill |= Bit(item);
        break;
      default:
        break;
    }
  }
  if (skipsFar) e.kill = 0;
  return e;
}

}  // namespace

ValueLiveness::ValueLiveness(const lanthorn::Book& book, const std::vector<int>& endings,
                             int scoreItem)
    : liveIn_(kParagraphCount, 0) {
  uint64_t numberItems = 0;
  for (int i = 0; i < kItemCount; ++i) {
    const lanthorn::ItemDefinition& item = book.items[i];
    if (item.kind == lanthorn::kNumberItem) numberItems |= Bit(i);
    if (item.kind == lanthorn::kNumberItem) kept_ |= Bit(i);
    if (item.name != nullptr && strcmp(item.name, "Character") == 0) kept_ |= Bit(i);
  }
  std::vector<Effects> effects(kParagraphCount);
  uint64_t mayBeHeld = 0;
  for (int p = 0; p < kParagraphCount; ++p) {
    effects[p] = EffectsOf(bookc::JoinedText(book, p), numberItems);
    mayBeHeld |= effects[p].held;
  }
  for (int ending : endings) {
    if (ending >= 0 && ending < kParagraphCount) effects[ending].gen |= Bit(scoreItem);
  }

  // Every way a page's mark-up writes, whatever kind; restart choices and
  // Next and Prev too, though the explorer takes neither (more ways only
  // keep more items).
  std::vector<std::vector<int>> successors(kParagraphCount);
  for (const bookc::GraphEdge& edge : bookc::MakeBookGraph(book, endings).edges) {
    successors[edge.from].push_back(edge.to);
  }
  // Pages the reader opens without a choice of the mark-up: the menu's pages
  // and the information page, and from its inventory the own page of every
  // item that may be held. Whatever they read may be read after any page.
  std::vector<int> anywhere;
  for (int page = lanthorn::kRestartPage; page <= lanthorn::kHintsPage; ++page) anywhere.push_back(page - 1);
  for (int i = 0; i < kItemCount; ++i) {
    const uint32_t page = book.items[i].itemId;
    if ((mayBeHeld & Bit(i)) != 0 && page < static_cast<uint32_t>(kParagraphCount)) {
      anywhere.push_back(static_cast<int>(page));
    }
  }

  // live-in(p) = gen(p) | ((live-in of p's successors | anywhere) & ~kill(p)),
  // grown to its least fixed point.
  for (bool changed = true; changed;) {
    changed = false;
    uint64_t always = 0;
    for (int p : anywhere) always |= liveIn_[p];
    for (int p = kParagraphCount - 1; p >= 0; --p) {
      uint64_t out = always;
      for (int s : successors[p]) out |= liveIn_[s];
      const uint64_t in = effects[p].gen | (out & ~effects[p].kill);
      if (in != liveIn_[p]) {
        liveIn_[p] = in;
        changed = true;
      }
    }
    anywhere_ = always;
  }
}

uint64_t ValueLiveness::LiveSet(int paragraph) const {
  if (paragraph < 0 || paragraph >= kParagraphCount) return kEveryItem;
  return liveIn_[paragraph] | kept_ | anywhere_;
}

bool ValueLiveness::Live(int paragraph, int item) const {
  return (LiveSet(paragraph) & Bit(item)) != 0;
}

}  // namespace trace
