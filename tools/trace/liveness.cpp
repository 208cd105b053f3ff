#include "tools/trace/liveness.h"

#include <cstring>

#include "page/tag_reader.h"
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
  // The paragraphs its choices, rolls and answers lead to, each with the
  // items whose liveness there counts here (see HeldGuard).
  std::vector<std::pair<int, uint64_t>> successors;
};

// The item a condition tests for being held when it is exactly "(X%i)"
// (blanks aside), else -1. In the block of such a condition item i is held,
// so the state keeps its value (held values are never left out), and a read
// of it there, or after a way taken from there, needs no liveness. It can
// have become held on the way from a state where it was not only through an
// N tag, which is itself a read.
int HeldGuard(const std::string& tag) {
  std::string text;
  for (size_t i = 1; i < tag.size(); ++i) {
    if (tag[i] != ' ') text += tag[i];
  }
  if (text.size() < 5 || text.compare(0, 3, "(X%") != 0 || text.back() != ')') return -1;
  int item = 0;
  for (size_t i = 3; i + 1 < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9' || item > kItemCount) return -1;
    item = item * 10 + (text[i] - '0');
  }
  return item < kItemCount ? item : -1;
}

// The items whose values a condition reads: every "%n" but those of a held
// test "X %n)", which reads the held flag only (always kept in a state).
uint64_t ConditionReads(const std::string& tag) {
  uint64_t items = 0;
  for (size_t i = 1; i < tag.size(); ++i) {
    if (tag[i] != '%') continue;
    size_t before = i;
    while (before > 1 && tag[before - 1] == ' ') --before;
    const bool heldTest = before > 1 && tag[before - 1] == 'X';
    int64_t item = 0;
    size_t d = i + 1;
    for (; d < tag.size() && tag[d] >= '0' && tag[d] <= '9'; ++d) {
      if (item <= kItemCount) item = item * 10 + (tag[d] - '0');
    }
    size_t after = d;
    while (after < tag.size() && tag[after] == ' ') ++after;
    // "X %n" then anything but ")" may go on to a comparison of n's value.
    if (!heldTest || after >= tag.size() || tag[after] != ')') items |= Bit(static_cast<int>(item));
  }
  return items;
}

// Walks the tags in text order. A read counts unless an earlier
// unconditional write of the same item made it; a write counts as a kill
// only outside braces (a block may be skipped) and only when it sets the
// value whatever it was (R with a number, an item or z; r adds to it, so it
// reads). Reads are taken wherever they stand, in blocks or not (a read
// that may not happen is still counted), but for the guarded item of a
// HeldGuard block.
Effects EffectsOf(const std::string& joined, uint64_t numberItems) {
  Effects e;
  uint64_t guarded = 0;  // the item a HeldGuard block holds, while in it
  const auto read = [&e, &guarded](uint64_t items) { e.gen |= items & ~e.kill & ~guarded; };
  bool inBlock = false;
  bool afterConditional = false;
  bool skipsFar = false;
  int pendingGuard = -1;
  for (const bookc::MarkupPiece& piece : bookc::SplitMarkup(joined)) {
    if (piece.kind == bookc::MarkupPiece::kOpenBlock) {
      inBlock = true;
      guarded = afterConditional ? Bit(pendingGuard) : 0;
    }
    if (piece.kind == bookc::MarkupPiece::kCloseBlock) {
      inBlock = false;
      guarded = 0;
    }
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
    pendingGuard = piece.text[0] == 'O' ? HeldGuard(piece.text) : -1;
    const lanthorn::ParsedTag t = lanthorn::ReadTag(piece.text.c_str());
    const bool makesChoice = std::strchr("MmgLdS", t.letter) != nullptr ||
                             (std::strchr("NQRr", t.letter) != nullptr && t.choice);
    if (makesChoice) {
      for (int k = 0; k < 4; ++k) {
        const int target = t.targets[k].value;
        if (t.hasTarget[k] && target >= 0 && target < kParagraphCount) {
          e.successors.push_back({target, ~guarded});
        }
      }
    }
    const int item = t.number.value;
    if (t.face == ChoiceFace::kItem) read(Bit(t.faceNumber.value));  // the button shows it
    switch (t.letter) {
      case 'O':
      case 'o': read(ConditionReads(piece.text)); break;
      case 'l': read(Bit(item)); break;
      case 'N':
        // Held now or once picked: the inventory shows the item's value.
        read(Bit(item));
        e.held |= Bit(item);
        break;
      case 'R':
      case 'r':
        e.held |= Bit(item) & numberItems;
        if (t.operandKind == OperandKind::kItemValue) read(Bit(t.operand.value));
        if (t.letter == 'r') read(Bit(item));
        if (t.letter == 'R' && !t.choice && !inBlock) e.kill |= Bit(item);
        break;
      default: break;
    }
  }
  if (skipsFar) e.kill = 0;
  return e;
}

}  // namespace

PageUse UseOf(const lanthorn::Book& book, int paragraph) {
  PageUse use;
  use.onlyShows = true;
  for (const bookc::MarkupPiece& piece : bookc::SplitMarkup(bookc::JoinedText(book, paragraph))) {
    if (piece.kind != bookc::MarkupPiece::kTag || piece.text.empty()) continue;
    const lanthorn::ParsedTag t = lanthorn::ReadTag(piece.text.c_str());
    if (std::strchr("NQRrsuMmLdS", t.letter) != nullptr) use.onlyShows = false;
    // Every "%n" of the tag, whatever it stands in, and the numbers of "l"
    // and of an item's face.
    for (size_t i = 0; i < piece.text.size(); ++i) {
      if (piece.text[i] != '%') continue;
      int item = 0;
      size_t d = i + 1;
      for (; d < piece.text.size() && piece.text[d] >= '0' && piece.text[d] <= '9'; ++d) {
        if (item <= kItemCount) item = item * 10 + (piece.text[d] - '0');
      }
      if (d > i + 1) use.namedItems |= Bit(item);
      // An item past the table is no item the state holds: leave the page
      // to be built each time.
      if (d > i + 1 && item >= kItemCount) use.onlyShows = false;
    }
    if (t.letter == 'l') use.namedItems |= Bit(t.number.value);
    if (t.face == ChoiceFace::kItem) use.namedItems |= Bit(t.faceNumber.value);
  }
  return use;
}

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

  // Pages the explorer opens from every story page without a choice of the
  // mark-up: the information page, and from its inventory the own page of
  // every item that may be held. Whatever they read may be read after any
  // page. (It opens the menu's other pages only at the beginning, where
  // every value is still 0.)
  // (page, the item whose page it is): an item's page opens from the
  // inventory only while the item is held, like a HeldGuard block.
  std::vector<std::pair<int, int>> anywhere{{lanthorn::kInformationPage - 1, -1}};
  for (int i = 0; i < kItemCount; ++i) {
    const uint32_t page = book.items[i].itemId;
    if ((mayBeHeld & Bit(i)) != 0 && page < static_cast<uint32_t>(kParagraphCount)) {
      anywhere.push_back({static_cast<int>(page), i});
    }
  }

  // live-in(p) = gen(p) | ((live-in of p's successors | anywhere) & ~kill(p)),
  // grown to its least fixed point.
  for (bool changed = true; changed;) {
    changed = false;
    uint64_t always = 0;
    for (const auto& [p, item] : anywhere) always |= liveIn_[p] & ~Bit(item);
    for (int p = kParagraphCount - 1; p >= 0; --p) {
      uint64_t out = always;
      for (const auto& [target, counted] : effects[p].successors) out |= liveIn_[target] & counted;
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
