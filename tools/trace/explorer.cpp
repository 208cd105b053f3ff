#include "tools/trace/explorer.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <queue>

#include "book/paragraph_store.h"
#include "platform/quiet/quiet_platform.h"
#include "shell/page_builder.h"
#include "shell/reader.h"
#include "tools/bookc/cp1252.h"
#include "tools/trace/block_store.h"
#include "tools/trace/json_writer.h"
#include "tools/trace/liveness.h"

namespace trace {

namespace {

using namespace lanthorn;

// A quiet platform that keeps the messages of the page being built: the
// explorer builds pages itself and never paints.
class ExplorerPlatform : public QuietPlatform {
 public:
  std::vector<std::string> messages;

  int ShowMessageBox(WindowHandle, const char* text, const char*, uint32_t) override {
    messages.emplace_back(text);
    return kReplyNo;
  }
};

// What a reader's place in the story is: the page, where Return leads, and
// the story items and restart points. Snapshots are left out: the explorer
// does not take restart choices, which lead only to places already passed.
// A page the book lacks (but the information and hints pages, which have
// screens of their own) shows the text the paragraph buffer still holds:
// for such a page, bufferPage is the page whose text that is (0: none yet);
// for every other page it is 0, since the page's build replaces the text.
// The fields cover every byte (`spare` fills what would be padding), so
// that two states are the same state exactly when their bytes are equal.
struct State {
  int16_t shownPage;
  int16_t readingPosition;
  int16_t bufferPage;
  uint8_t storyMode;
  ItemState items[kItemCount];
  uint8_t reached[kRestartPointCount];
  uint8_t spare;
};
static_assert(sizeof(State) ==
                  2 + 2 + 2 + 1 + sizeof(ItemState) * kItemCount + kRestartPointCount + 1,
              "a state has no padding: equal bytes are equal states");

bool Same(const State& a, const State& b) { return memcmp(&a, &b, sizeof(State)) == 0; }

uint64_t Hash(const State& s) {
  // Eight bytes at a time, each word mixed in with a multiply and a shift.
  const auto* bytes = reinterpret_cast<const unsigned char*>(&s);
  uint64_t h = 0x9e3779b97f4a7c15ull;
  size_t i = 0;
  for (; i + 8 <= sizeof(State); i += 8) {
    uint64_t word;
    memcpy(&word, bytes + i, 8);
    h = (h ^ word) * 0xff51afd7ed558ccdull;
    h ^= h >> 32;
  }
  uint64_t tail = 0;
  memcpy(&tail, bytes + i, sizeof(State) - i);
  h = (h ^ tail) * 0xc4ceb9fe1a85ec53ull;
  return h ^ (h >> 29);
}

// The set of states found, as indexes into the store that holds them: an
// open-addressed table of (hash's high half, index + 1). Two states are
// one only when their bytes are equal, never merely their hashes.
class StateSet {
 public:
  // Adds `state` to the end of the store unless an equal state is there
  // already: whether it was added; when not, the index of the equal state
  // is left in *existing. A state found before is never copied into the
  // store (and so never grows it only to be taken back).
  bool Insert(BlockStore<State>& store, const State& state, size_t* existing = nullptr) {
    if ((count_ + 1) * 4 > slots_.size() * 3) Grow(store);
    const uint64_t h = Hash(state);
    for (size_t at = h & (slots_.size() - 1);; at = (at + 1) & (slots_.size() - 1)) {
      const uint64_t slot = slots_[at];
      if (slot == 0) {
        store.push_back(state);
        slots_[at] = (h & ~uint64_t{0xffffffff}) | store.size();
        ++count_;
        return true;
      }
      if ((slot >> 32) == (h >> 32) && Same(store[(slot & 0xffffffff) - 1], state)) {
        if (existing != nullptr) *existing = (slot & 0xffffffff) - 1;
        return false;
      }
    }
  }

 private:
  void Grow(const BlockStore<State>& store) {
    std::vector<uint64_t> old(slots_.empty() ? 1024 : slots_.size() * 2, 0);
    old.swap(slots_);
    for (uint64_t slot : old) {
      if (slot == 0) continue;
      const uint64_t h = Hash(store[(slot & 0xffffffff) - 1]);
      size_t at = h & (slots_.size() - 1);
      while (slots_[at] != 0) at = (at + 1) & (slots_.size() - 1);
      slots_[at] = slot;
    }
  }

  std::vector<uint64_t> slots_;
  size_t count_ = 0;

 public:
  void Clear() {
    if (count_ == 0) return;
    std::fill(slots_.begin(), slots_.end(), 0);
    count_ = 0;
  }
};

// How a state was reached from the state before it.
struct Step {
  int64_t parent;  // -1 for the states the exploration starts from
  // c choice, m roll or answer outcome, i information page, o item page,
  // r return; a: the asides opened from the parent story page (not kept as
  // states, see ExploreAsides), and Return from one of them
  char how;
  uint16_t controlId;
  uint16_t target;
  int8_t answer;  // outcomes of a typed answer: 1 to 3, 0 for a wrong one; -1 otherwise
};

class Explorer {
 public:
  Explorer(const Book& book, const std::vector<int>& endings, int scoreItem, bool exact = false,
           bool mergeDeadValues = false)
      : reader_(std::make_unique<Reader>(book, platform_)),
        endings_(endings.begin(), endings.end()),
        scoreItem_(scoreItem),
        exact_(exact),
        foldAsides_(exact && mergeDeadValues) {
    if (mergeDeadValues) liveness_ = std::make_unique<ValueLiveness>(book, endings, scoreItem);
    if (foldAsides_) {
      for (int p = 0; p < kParagraphCount; ++p) uses_.push_back(UseOf(book, p));
    }
    reader_->page.geometry.clientRect = platform_.ClientRect();
    reader_->render.pageArea = {0, 0, 506, 634};
  }

  ExploreReport Run(int64_t cap, int64_t perPage) {
    const auto start = std::chrono::steady_clock::now();
    Begin();
    report_.exhaustive = exact_;
    if (exact_) {
      // Breadth first over every state found, in the order found.
      // The limit bounds the memory the states take; reaching it leaves
      // the figures inexact.
      size_t i = 0;
      for (; i < store_.size() && report_.states < cap; ++i) {
        current_ = static_cast<int64_t>(i);
        VisitStory(store_[i], current_);
      }
      pending_ = static_cast<int64_t>(store_.size() - i);
      report_.exact = pending_ == 0;
    } else {
      Capped(cap, perPage);
    }
    report_.unexplored = pending_;
    report_.capped = pending_ > 0;
    report_.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (int p = 1; p < kParagraphCount; ++p) {
      const ParagraphEntry& e = reader_->book.paragraphs[p];
      if (e.block >= 0 && e.endWord > e.firstWord && report_.reached.count(p) == 0) {
        report_.notReached.insert(p);
      }
    }
    for (int ending : endings_) {
      if (report_.endings.count(ending) == 0) report_.endingsNotReached.insert(ending);
    }
    // Finding the ways builds pages again; what those builds see is
    // already in the report.
    const std::map<int, int64_t> best = bestEndingState_;
    ExploreReport report = report_;
    for (const auto& [ending, index] : best) report.bestPaths[ending] = PathTo(index);
    return report;
  }

 private:
  void Begin() {
    State first{};
    first.shownPage = 2;
    first.readingPosition = 2;
    first.storyMode = 1;
    Offer(first, {-1, 'b', 0, 0, -1});
    // The menu opens once page 2 is shown, whose text the buffer then holds.
    if (PageExists(reader_->book, 2)) first.bufferPage = 2;
    // The menu's pages, as asides from the beginning.
    for (int page : {3, 4, 5, 6, 7}) {
      State aside = first;
      aside.shownPage = static_cast<int16_t>(page);
      aside.storyMode = 0;
      Offer(aside, {-1, 'b', 0, 0, -1});
    }
  }

  void Capped(int64_t cap, int64_t perPage) {
    // The page built least so far goes next, so that the exploration goes
    // deep into the book instead of trying every combination near its
    // start. On a page, states holding item values the page has not yet
    // been built with go first, then the best-scoring. Past the cap of
    // builds a page, only such new states are built.
    while (report_.states < cap) {
      const int page = LeastBuiltPage();
      if (page < 0) break;
      const Pending next = frontier_[page].top();
      frontier_[page].pop();
      if (frontier_[page].empty()) waiting_.erase({builds_[page], page});
      --pending_;
      const State& state = store_[next.index];
      if (builds_[page] >= perPage && Novelty(state, page) == 0) {
        ++skipped_;
        continue;
      }
      current_ = static_cast<int64_t>(next.index);
      Visit(state);
    }
    pending_ += skipped_;
  }

  struct Pending {
    int novelty;
    int score;
    int64_t order;
    size_t index;
    bool operator<(const Pending& other) const {
      if (novelty != other.novelty) return novelty < other.novelty;
      return score != other.score ? score < other.score : order > other.order;
    }
  };

  static int PageIndex(const State& state) {
    return state.shownPage >= 0 && state.shownPage <= kParagraphCount ? state.shownPage : 0;
  }

  // The page with states waiting that has been built least (of those, the
  // lowest numbered); -1 when none.
  int LeastBuiltPage() const { return waiting_.empty() ? -1 : waiting_.begin()->second; }

  // One more build of the page, kept in step in the order of waiting pages.
  void CountBuild(int page) {
    const bool waiting = !frontier_[page].empty();
    if (waiting) waiting_.erase({builds_[page], page});
    ++builds_[page];
    if (waiting) waiting_.insert({builds_[page], page});
  }

  // How many of the state's item values (and reached restart points) the
  // page has not been built with yet.
  int Novelty(const State& state, int page) const {
    const std::vector<bool>& seen = seenValues_[page];
    if (seen.empty()) return kItemCount + kRestartPointCount;
    int novelty = 0;
    for (int i = 0; i < kItemCount; ++i) {
      novelty += seen[ValueSlot(i, state.items[i])] ? 0 : 1;
    }
    for (int k = 0; k < kRestartPointCount; ++k) {
      novelty += seen[ReachedSlot(k, state.reached[k])] ? 0 : 1;
    }
    return novelty;
  }

  void NoteValues(const State& state, int page) {
    std::vector<bool>& seen = seenValues_[page];
    if (seen.empty()) seen.assign(ReachedSlot(kRestartPointCount, 0), false);
    for (int i = 0; i < kItemCount; ++i) seen[ValueSlot(i, state.items[i])] = true;
    for (int k = 0; k < kRestartPointCount; ++k) seen[ReachedSlot(k, state.reached[k])] = true;
  }

  static size_t ValueSlot(int item, const ItemState& value) {
    return static_cast<size_t>(item) * 512 + (value.held ? 256u : 0u) + value.value;
  }
  static size_t ReachedSlot(int point, uint8_t reached) {
    return static_cast<size_t>(kItemCount) * 512 + static_cast<size_t>(point) * 2 +
           (reached ? 1u : 0u);
  }

  // Leaves out of a state the values that cannot be told apart from here
  // on, so that states differing only in them are one state. An item's value
  // is set to 0 only when all of these hold:
  // - no way from the page (nor, from an aside, from the story page that
  //   Return rebuilds) reads it before overwriting it: the conditions, "l",
  //   the operands and sums of R and r, item buttons, and N (which puts it in
  //   the inventory) are its reads, the menu's, information and item pages'
  //   reads count after every page, and the score is read at the endings;
  // - the item is not held: the inventory shows a held item's value, and
  //   its page opens from there (and reads under a held test, "(X%i)", or
  //   on the item's own page opened from the inventory, count for held
  //   items only);
  // - it is not a number item (whose value's low byte is its held flag) nor
  //   the character item (shown by the inventory whether held or not).
  // The explorer's state leaves restart snapshots out and takes no restart
  // choice, so the values an "s" tag copies are never read back in it.
  // States merged so build the same pages, with the same choices, messages
  // and scores, in every continuation: each read sees the same value.
  State Canonical(const State& state) const {
    State kept = state;
    if (!ShowsBuffer(state.shownPage)) kept.bufferPage = 0;
    if (!liveness_) return kept;
    const uint64_t live =
        liveness_->LiveSet(state.shownPage - 1) | liveness_->LiveSet(state.readingPosition - 1);
    State s = kept;
    for (int i = 0; i < kItemCount; ++i) {
      if (s.items[i].held == 0 && (live >> i & 1) == 0) s.items[i].value = 0;
    }
    return s;
  }

  // A state found by a move from the state being visited. While a story
  // state and its asides are visited (folding asides), an aside goes to
  // the asides of that visit, and a story state reached from an aside is
  // recorded as reached from the story state through its asides.
  void Offer(const State& offered, const Step& step) {
    const State state = Canonical(offered);
    if (inAsides_ && state.storyMode == 0) {
      if (!asideSet_.Insert(asides_, state)) return;
      asideSteps_.push_back(step);
      if (!visitingAside_) asideSteps_.back().parent = -1;  // opened from the story page
      return;
    }
    if (replaying_) {
      if (visitingAside_ && replayFound_ < 0 && Same(state, replayTarget_)) {
        replayFound_ = current_;
        replayStep_ = step;
      }
      return;
    }
    if (!seen_.Insert(store_, state)) return;
    const int page = PageIndex(state);
    steps_.push_back(visitingAside_ ? Step{storyIndex_, 'a', 0, 0, -1} : step);
    if (exact_) return;
    if (frontier_[page].empty()) waiting_.insert({builds_[page], page});
    frontier_[page].push(
        {Novelty(state, page), state.items[scoreItem_].value, order_++, store_.size() - 1});
    ++pending_;
  }

  // Whether building the page shows the paragraph buffer's old text.
  bool ShowsBuffer(int16_t page) const {
    return !PageExists(reader_->book, page) && page != kInformationPage && page != kHintsPage;
  }

  void Load(const State& s) {
    if (ShowsBuffer(s.shownPage) && s.bufferPage != bufferPage_) {
      if (s.bufferPage == 0) {
        reader_->paragraph.text[0] = '\0';
      } else {
        JoinParagraph(reader_->book, platform_, s.bufferPage, reader_->paragraph);
      }
      bufferPage_ = s.bufferPage;
    }
    NavigationState& n = reader_->navigation;
    n.shownPage = s.shownPage;
    n.readingPosition = s.readingPosition;
    n.storyMode = s.storyMode;
    n.screenNumber = kNoScreen;
    memcpy(reader_->story.state.items, s.items, sizeof s.items);
    for (int k = 0; k < kRestartPointCount; ++k)
      reader_->story.state.restartPoints[k].reached = s.reached[k];
  }

  State Capture() const {
    State s{};
    s.bufferPage = bufferPage_;
    const NavigationState& n = reader_->navigation;
    s.shownPage = n.shownPage;
    s.readingPosition = n.readingPosition;
    s.storyMode = static_cast<uint8_t>(n.storyMode);
    memcpy(s.items, reader_->story.state.items, sizeof s.items);
    for (int k = 0; k < kRestartPointCount; ++k)
      s.reached[k] = reader_->story.state.restartPoints[k].reached;
    return s;
  }

  // From the page as built: a move to paragraph target in follow mode, as
  // a roll or a typed answer on control controlId gives it.
  void Move(const State& built, uint16_t controlId, uint16_t target, int8_t answer = -1) {
    Load(built);
    GoToPage(*reader_, static_cast<int16_t>(target + 1), PageMode::kFollow);
    Offer(Capture(), {current_, 'm', controlId, target, answer});
  }

  // One step of a way: the page of `from` built again for its buttons'
  // labels and typed answers.
  PathStep StepOf(const State& from, const Step& step, const State& to) {
    Load(from);
    RebuildPage(*reader_);
    if (PageExists(reader_->book, from.shownPage)) bufferPage_ = from.shownPage;
    PathStep p{PathStep::kChoose, from.shownPage - 1, "", "", to.shownPage - 1};
    p.controlId = step.controlId;
    const int button = step.controlId - kFirstChoiceButtonId;
    if (button >= 0 && button < reader_->page.buttons.count)
      p.label = reader_->page.buttons.records[button].label;
    for (int h = 0; h < reader_->page.hotwords.count; ++h) {
      if (reader_->page.hotwords.records[h].controlId == step.controlId)
        p.hotword = reader_->page.hotwords.records[h];
    }
    switch (step.how) {
      case 'i': p.kind = PathStep::kInformation; break;
      case 'r': p.kind = PathStep::kReturn; break;
      case 'o': p.kind = PathStep::kOpenItem; break;
      case 'm':
        if (step.answer < 0) {
          p.kind = PathStep::kRoll;
        } else {
          p.kind = PathStep::kType;
          if (step.answer > 0) {
            const char* answers[] = {p.hotword.answer1, p.hotword.answer2, p.hotword.answer3};
            p.answer = answers[step.answer - 1];
          }
        }
        break;
      default: break;
    }
    return p;
  }

  // The steps from a starting state to the state at index, with the labels
  // of the buttons taken, found by building each page on the way again.
  std::vector<PathStep> PathTo(int64_t index) {
    std::vector<int64_t> chain;
    for (int64_t i = index; i >= 0; i = steps_[static_cast<size_t>(i)].parent) chain.push_back(i);
    std::vector<PathStep> path;
    const State& first = store_[static_cast<size_t>(chain.back())];
    if (first.storyMode == 0) {
      // One of the menu's pages, opened at the beginning.
      path.push_back({PathStep::kMenu, first.readingPosition - 1, "", "", first.shownPage - 1});
    }
    for (size_t k = chain.size() - 1; k > 0; --k) {
      const State& from = store_[static_cast<size_t>(chain[k])];
      const Step& step = steps_[static_cast<size_t>(chain[k - 1])];
      const State& to = store_[static_cast<size_t>(chain[k - 1])];
      if (step.how == 'a') {
        for (const PathStep& p : AsideWay(chain[k], to)) path.push_back(p);
      } else {
        path.push_back(StepOf(from, step, to));
      }
    }
    return path;
  }

  // The way through the asides of story state `from` that leads to story
  // state `to`: the story state's visit again, with nothing kept, until an
  // aside's move reaches `to`.
  std::vector<PathStep> AsideWay(int64_t from, const State& to) {
    replaying_ = true;
    replayTarget_ = to;
    replayFound_ = -1;
    const int64_t saved = current_;
    current_ = from;
    VisitStory(store_[static_cast<size_t>(from)], from);
    current_ = saved;
    replaying_ = false;
    std::vector<PathStep> way;
    if (replayFound_ < 0) return way;  // cannot happen: the visit found it once
    const State target = to;
    way.push_back(StepOf(asides_[static_cast<size_t>(replayFound_)], replayStep_, target));
    for (int64_t i = replayFound_; i >= 0;) {
      const Step& step = asideSteps_[static_cast<size_t>(i)];
      const State& before = step.parent < 0 ? store_[static_cast<size_t>(from)]
                                            : asides_[static_cast<size_t>(step.parent)];
      way.insert(way.begin(), StepOf(before, step, asides_[static_cast<size_t>(i)]));
      i = step.parent;
    }
    return way;
  }

  // Visits a story state and, when asides are folded, every aside opened
  // from it (the information page, the items' pages, a page a "g" choice
  // opens, and any page followed from those), each built and followed like
  // a state of its own but kept only for this visit. An aside belongs to
  // the story page it returns to: its state holds that page as its reading
  // position and the story values as that page's build left them, so the
  // asides the plain search reaches from this story state are exactly the
  // ones built here, with the same pages, messages and moves (and Return
  // and any story page left to become states as before). An aside reached
  // from two story states is built for each: that costs page builds, never
  // a figure, and saves keeping nine states in ten.
  void VisitStory(const State& state, int64_t index) {
    if (!foldAsides_ || state.storyMode != 1) {
      Visit(state);
      return;
    }
    asides_.clear();
    asideSteps_.clear();
    asideSet_.Clear();
    storyIndex_ = index;
    inAsides_ = true;
    Visit(state);
    visitingAside_ = true;
    for (size_t k = 0; k < asides_.size(); ++k) {
      current_ = static_cast<int64_t>(k);
      Visit(asides_[k]);
    }
    visitingAside_ = false;
    inAsides_ = false;
    current_ = index;
  }

  // The key under which an aside page's build is remembered: the page and
  // the held flags and values of the items its tags name; the rest of the
  // state is left out.
  State RecallKey(const State& state) const {
    State key{};
    key.shownPage = state.shownPage;
    key.storyMode = state.storyMode;
    const uint64_t named = uses_[static_cast<size_t>(state.shownPage - 1)].namedItems;
    for (int i = 0; i < kItemCount; ++i) {
      if ((named >> i & 1) != 0) key.items[i] = state.items[i];
    }
    return key;
  }

  // An aside page that only shows (see UseOf) and has been built before
  // with the same key is not built again. Its build depends only on the
  // key: its text is the paragraph's own (a page the book has), and the
  // state is read only by its conditions, whose every operand is an item
  // named by "%n" (its value or held flag), by "l" and by the item faces of
  // its choices, all items named; nothing it can hold reads the restart
  // points or the reading position. So a build now
  // would raise the same messages (noted when it was first built), reach
  // the same paragraph, and offer the same "g" choices; and it changes
  // nothing, so Return leads back to the story page with the state as it
  // is. Those moves are made here as the build would make them. Returns
  // false when the page is to be built; then recallIndex_ is where its
  // moves are to be remembered (or -1).
  bool Recalled(const State& state) {
    recallIndex_ = -1;
    if (!PageExists(reader_->book, state.shownPage)) return false;
    if (!uses_[static_cast<size_t>(state.shownPage - 1)].onlyShows) return false;
    size_t existing = 0;
    if (recallSet_.Insert(recallKeys_, RecallKey(state), &existing)) {
      recallIndex_ = static_cast<int64_t>(recallKeys_.size() - 1);
      recallMoves_.emplace_back();
      return false;
    }
    ++report_.asidesRecalled;
    State next = state;
    next.bufferPage = state.shownPage;  // the page just shown
    for (const auto& [controlId, target] : recallMoves_[existing]) {
      next.shownPage = static_cast<int16_t>(target + 1);
      Offer(next, {current_, 'c', controlId, 0, -1});
    }
    next.shownPage = state.readingPosition;
    next.storyMode = 1;
    Offer(next, {current_, 'r', 0, 0, -1});
    return true;
  }

  void Visit(const State& state) {
    if (visitingAside_ && Recalled(state)) return;
    const int page = PageIndex(state);
    CountBuild(page);
    if (!exact_) NoteValues(state, page);
    Load(state);
    platform_.messages.clear();
    RebuildPage(*reader_);
    if (PageExists(reader_->book, state.shownPage)) bufferPage_ = state.shownPage;
    ++report_.pageBuilds;
    ++(visitingAside_ ? report_.asides : report_.states);
    const int paragraph = state.shownPage - 1;
    if (PageExists(reader_->book, state.shownPage)) report_.reached.insert(paragraph);
    for (const std::string& m : platform_.messages) report_.messages[paragraph].insert(m);

    const State built = Capture();  // with the page's own changes applied
    const int count = reader_->page.hotwords.count;
    HotwordRecord hotwords[100];
    memcpy(hotwords, reader_->page.hotwords.records,
           sizeof(HotwordRecord) * static_cast<size_t>(count));
    int ways = 0;
    for (int i = 0; i < count; ++i) ways += Follow(built, hotwords[i]);
    if (visitingAside_ && recallIndex_ >= 0) {
      for (int i = 0; i < count; ++i) {
        if (hotwords[i].kind == 'g' && hotwords[i].controlId != 0)
          recallMoves_[static_cast<size_t>(recallIndex_)].push_back(
              {hotwords[i].controlId, hotwords[i].target0});
      }
    }
    if (reader_->page.facts.inventoryScreen) {
      // The built-in inventory's buttons open the items' pages.
      uint16_t buttons[kItemCount];
      memcpy(buttons, reader_->screens.inventoryButtons, sizeof buttons);
      for (uint16_t id : buttons) {
        if (id == kNoInventoryButton) continue;
        Load(built);
        OpenItemPage(*reader_, id);
        Offer(Capture(), {current_, 'o', id, 0, -1});
      }
    }

    if (built.storyMode == 1) {
      if (endings_.count(paragraph) > 0) {
        const int score = 10 * built.items[scoreItem_].value;
        auto [it, isNew] = report_.endings.emplace(paragraph, score);
        if (isNew || score > it->second) {
          it->second = score;
          bestEndingState_[paragraph] = current_;
        }
        auto [worst, first] = report_.worstEndings.emplace(paragraph, score);
        if (!first && score < worst->second) worst->second = score;
      } else if (ways == 0) {
        report_.stuck.insert(paragraph);
      }
      // The information page, with its item pages, is open from every story page.
      Load(built);
      GoToPage(*reader_, 6, PageMode::kAside);
      Offer(Capture(), {current_, 'i', 0, 5, -1});
    } else {
      // Return leads back from every aside.
      Load(built);
      GoToPage(*reader_, built.readingPosition, PageMode::kStory);
      Offer(Capture(), {current_, 'r', 0, 0, -1});
    }
  }

  // Offers every outcome of a choice; returns how many there were.
  int Follow(const State& built, const HotwordRecord& h) {
    switch (h.kind) {
      case 'u': return 0;  // restart choices lead back to places already passed
      case 'L': {
        int ways = 0;
        if (static_cast<int16_t>(h.value) >= 1) ++ways, Move(built, h.controlId, h.target0);
        if (static_cast<int16_t>(h.value) < 20) ++ways, Move(built, h.controlId, h.target1);
        return ways;
      }
      case 'd': {
        int ways = 0;
        int top = h.value;
        if (h.value >= 1) ++ways, Move(built, h.controlId, h.target0);
        if (h.band2 > top) ++ways, Move(built, h.controlId, h.target2), top = h.band2;
        if (h.band3 > top) ++ways, Move(built, h.controlId, h.target3), top = h.band3;
        if (top < 100) ++ways, Move(built, h.controlId, h.target1);
        return ways;
      }
      case 'S': {
        int ways = 1;
        Move(built, h.controlId, h.target1, 0);  // a wrong answer
        if (h.answer1[0] != '\0') ++ways, Move(built, h.controlId, h.target0, 1);
        if (h.answer2[0] != '\0') ++ways, Move(built, h.controlId, h.target2, 2);
        if (h.answer3[0] != '\0') ++ways, Move(built, h.controlId, h.target3, 3);
        return ways;
      }
      default:
        if (h.controlId == 0) return 0;  // no control: it cannot be picked
        Load(built);
        MakeMove(*reader_,
                 ActivateHotword(reader_->story, reader_->page.hotwords, h.controlId, ""));
        Offer(Capture(), {current_, 'c', h.controlId, 0, -1});
        return 1;
    }
  }

  ExplorerPlatform platform_;
  std::unique_ptr<Reader> reader_;
  std::set<int> endings_;
  int scoreItem_;
  bool exact_;
  bool foldAsides_;
  std::unique_ptr<ValueLiveness> liveness_;
  // The asides of the story state being visited (see VisitStory).
  BlockStore<State> asides_;
  std::vector<Step> asideSteps_;  // parent: an index into asides_, -1 for the story state
  StateSet asideSet_;
  bool inAsides_ = false;       // visiting a story state whose asides are folded, or one of them
  bool visitingAside_ = false;  // visiting one of those asides (current_ indexes asides_)
  int64_t storyIndex_ = -1;
  int16_t bufferPage_ = 0;
  // Aside pages built before (see Recalled).
  std::vector<PageUse> uses_;
  BlockStore<State> recallKeys_;
  StateSet recallSet_;
  std::vector<std::vector<std::pair<uint16_t, uint16_t>>> recallMoves_;
  int64_t recallIndex_ = -1;  // the page whose text the reader's paragraph buffer holds
  // Finding a way through asides again (AsideWay).
  bool replaying_ = false;
  State replayTarget_{};
  int64_t replayFound_ = -1;
  Step replayStep_{};
  BlockStore<State> store_;
  BlockStore<Step> steps_;
  int64_t current_ = -1;
  std::map<int, int64_t> bestEndingState_;
  std::priority_queue<Pending> frontier_[kParagraphCount + 1];
  int64_t builds_[kParagraphCount + 1] = {};
  std::set<std::pair<int64_t, int>> waiting_;  // (builds, page) of the pages with states waiting
  int64_t pending_ = 0;
  int64_t skipped_ = 0;
  int64_t order_ = 0;
  std::vector<bool> seenValues_[kParagraphCount + 1];
  StateSet seen_;
  ExploreReport report_;
};

std::string Join(const std::set<int>& numbers) {
  std::string out;
  for (int n : numbers) out += (out.empty() ? "" : " ") + std::to_string(n);
  return out.empty() ? "none" : out;
}

void Numbers(JsonWriter& j, const std::set<int>& numbers) {
  j.BeginArray();
  for (int n : numbers) j.Number(n);
  j.EndArray();
}

const char* KindName(PathStep::Kind kind) {
  switch (kind) {
    case PathStep::kChoose: return "choose";
    case PathStep::kRoll: return "roll";
    case PathStep::kType: return "type";
    case PathStep::kInformation: return "information";
    case PathStep::kOpenItem: return "item";
    case PathStep::kReturn: return "return";
    case PathStep::kMenu: return "menu";
  }
  return "";
}

}  // namespace

std::string DescribeStep(const PathStep& step) {
  std::string text = std::to_string(step.paragraph) + ": ";
  switch (step.kind) {
    case PathStep::kChoose: text += "\"" + step.label + "\""; break;
    case PathStep::kRoll:
      // The first band is the roll that goes well.
      text += "\"" + step.label + "\", and the roll goes " +
              (step.hotword.target0 == step.to ? "well" : "otherwise");
      break;
    case PathStep::kType:
      text += step.answer.empty() ? "type a wrong answer" : "type \"" + step.answer + "\"";
      break;
    case PathStep::kInformation: text += "open the information page"; break;
    case PathStep::kOpenItem: text += "open the item \"" + step.label + "\""; break;
    case PathStep::kReturn: text += "Return"; break;
    case PathStep::kMenu:
      text += "open page " + std::to_string(step.to + 1) + " from the menu";
      break;
  }
  return text + " -> " + std::to_string(step.to);
}

ExploreReport Explore(const Book& book, const std::vector<int>& endings, int64_t cap, int scoreItem,
                      int64_t perPage) {
  return Explorer(book, endings, scoreItem < kItemCount ? scoreItem : 0).Run(cap, perPage);
}

ExploreReport ExploreExactly(const Book& book, const std::vector<int>& endings, int scoreItem,
                             bool mergeDeadValues, int64_t limit) {
  return Explorer(book, endings, scoreItem < kItemCount ? scoreItem : 0, true, mergeDeadValues)
      .Run(limit, 0);
}

std::string ReportText(const ExploreReport& r) {
  std::string out;
  out += "states explored: " + std::to_string(r.states) +
         (r.capped  ? " (cap reached; " + std::to_string(r.unexplored) + " left unexplored)"
          : r.exact ? " (all, exactly)"
                    : " (all)") +
         "\n";
  if (r.exhaustive && !r.exact) {
    out += "the exact exploration reached its limit of states: the figures are not exact\n";
  }
  if (r.asides > 0) {
    out += "aside pages built with the story states they return to: " + std::to_string(r.asides) +
           " (and " + std::to_string(r.asidesRecalled) + " known from an earlier build)\n";
  }
  char rate[64];
  snprintf(rate, sizeof rate, "%.0f", r.BuildsPerSecond());
  out += "page builds: " + std::to_string(r.pageBuilds) + " (" + rate + " a second)\n";
  out += "paragraphs reached: " + std::to_string(r.reached.size()) + "\n";
  out += "paragraphs never reached: " + Join(r.notReached) + "\n";
  out += "story pages with no way on: " + Join(r.stuck) + "\n";
  out += "endings reached (best score):";
  if (r.endings.empty()) out += " none";
  for (const auto& [paragraph, score] : r.endings) {
    out += " " + std::to_string(paragraph) + " (" + std::to_string(score) + ")";
  }
  if (r.exhaustive) {
    out += "\nendings reached (worst score):";
    if (r.worstEndings.empty()) out += " none";
    for (const auto& [paragraph, score] : r.worstEndings) {
      out += " " + std::to_string(paragraph) + " (" + std::to_string(score) + ")";
    }
  }
  out += "\nendings never reached: " + Join(r.endingsNotReached) + "\n";
  // The way to the ending with the best score.
  int best = -1;
  for (const auto& [paragraph, score] : r.endings) {
    if (best < 0 || score > r.endings.at(best)) best = paragraph;
  }
  if (best >= 0 && r.bestPaths.count(best) > 0) {
    out += "a way to the best ending, " + std::to_string(best) + ":\n";
    for (const PathStep& step : r.bestPaths.at(best)) {
      out += "  " + bookc::Cp1252ToUtf8(DescribeStep(step)) + "\n";
    }
  }
  out += "limit messages:";
  if (r.messages.empty()) out += " none";
  out += "\n";
  for (const auto& [paragraph, texts] : r.messages) {
    for (const std::string& t : texts)
      out += "  paragraph " + std::to_string(paragraph) + ": " + t + "\n";
  }
  return out;
}

std::string ReportJson(const ExploreReport& r) {
  JsonWriter j;
  j.BeginObject();
  j.Key("states");
  j.Number(r.states);
  j.Key("unexplored");
  j.Number(r.unexplored);
  j.Key("capped");
  j.Bool(r.capped);
  j.Key("pageBuilds");
  j.Number(r.pageBuilds);
  j.Key("buildsPerSecond");
  j.Number(static_cast<int64_t>(r.BuildsPerSecond()));
  j.Key("reached");
  Numbers(j, r.reached);
  j.Key("notReached");
  Numbers(j, r.notReached);
  j.Key("stuck");
  Numbers(j, r.stuck);
  j.Key("endings");
  j.BeginObject();
  for (const auto& [paragraph, score] : r.endings) {
    j.Key(std::to_string(paragraph));
    j.Number(score);
  }
  j.EndObject();
  j.Key("exact");
  j.Bool(r.exact);
  if (r.exhaustive) {
    j.Key("worstEndings");
    j.BeginObject();
    for (const auto& [paragraph, score] : r.worstEndings) {
      j.Key(std::to_string(paragraph));
      j.Number(score);
    }
    j.EndObject();
  }
  j.Key("endingsNotReached");
  Numbers(j, r.endingsNotReached);
  j.Key("bestPaths");
  j.BeginObject();
  for (const auto& [ending, path] : r.bestPaths) {
    j.Key(std::to_string(ending));
    j.BeginArray();
    for (const PathStep& step : path) {
      j.BeginObject();
      j.Key("paragraph");
      j.Number(step.paragraph);
      j.Key("do");
      j.String(KindName(step.kind));
      if (!step.label.empty()) {
        j.Key("label");
        j.String(bookc::Cp1252ToUtf8(step.label));
      }
      if (step.kind == PathStep::kType) {
        j.Key("answer");
        j.String(bookc::Cp1252ToUtf8(step.answer));
      }
      j.Key("to");
      j.Number(step.to);
      j.EndObject();
    }
    j.EndArray();
  }
  j.EndObject();
  j.Key("messages");
  j.BeginObject();
  for (const auto& [paragraph, texts] : r.messages) {
    j.Key(std::to_string(paragraph));
    j.BeginArray();
    for (const std::string& t : texts) j.String(t);
    j.EndArray();
  }
  j.EndObject();
  j.EndObject();
  return j.text();
}

}  // namespace trace
