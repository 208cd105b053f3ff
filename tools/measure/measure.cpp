// lanthorn-measure: plays a book's source many times on the real reader and
// prints the figures an editor asks of a branching book: how often a story
// page offers a single way on, how many of the best way's points come from
// pages where another button was on offer, which pages leave a reader no
// way on but death, where typed answers lead, and how many careful readers
// reach the best endings. See kMeasureHelp.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "page/controls.h"
#include "platform/quiet/quiet_platform.h"
#include "shell/navigation.h"
#include "shell/page_builder.h"
#include "shell/reader.h"
#include "story/choices.h"
#include "tools/bookc/compile.h"
#include "tools/trace/explorer.h"

namespace {

using namespace lanthorn;

constexpr const char* kMeasureHelp =
    R"(usage: lanthorn-measure --book DIR [--random N] [--careful N] [--seed S]
                        [--answers FILE] [--cap N] [--hours]

Plays the book source in DIR on the real reader from page 2 and prints:

  single-button share  of the non-ending story pages that N random readers
                       (default 2000) meet, the share that offers one way on
                       (a button, a roll or a box counts as one way each)
  contested points     of the points on the explorer's way to the best score
                       at the last ending (cap N, default 400000), those won
                       on pages where another way on was offered
  forced deaths        pages met where every way on leads straight to a death
                       (an ending before the last act's restart point), and
                       pages where every way on risks one
  careful readers      of N careful readers (default 1500), the share ending
                       at each ending; a careful reader never takes a choice
                       that leads only to death when it has another, prefers
                       a sure choice to a roll, takes points and new things
                       when offered, and types accepted answers
  answers              with --answers FILE: each line "PAGE TARGET TEXT [| TEXT]"
                       types TEXT into the box on paragraph PAGE (cut to the
                       box's length, as the reader does), then, if the page it
                       leads to asks again, the text after "|" (or the same
                       text); it says whether the reader ends at TARGET
  hours                with --hours: for every story paragraph met, the hours
                       (item 37's values) it was met at
)";

constexpr int kScoreItem = 36;
constexpr int kHourItem = 37;

struct Way {
  enum Kind { kButton, kRoll, kBox, kReturn } kind;
  const HotwordRecord* record;                   // null for kReturn
  std::vector<std::pair<int, double>> outcomes;  // target paragraph, chance
};

class Measure {
 public:
  Measure(const Book& book, const std::vector<int>& endings, uint32_t seed)
      : reader_(std::make_unique<Reader>(book, platform_)),
        endings_(endings.begin(), endings.end()),
        rng_(seed) {
    reader_->page.geometry.clientRect = platform_.ClientRect();
    reader_->render.pageArea = {0, 0, 506, 634};
    lastActParagraph_ = book.restartPoints[kRestartPointCount - 1].paragraph;
  }

  bool IsEnding(int paragraph) const { return endings_.count(paragraph) > 0; }
  bool IsDeath(int paragraph) const { return IsEnding(paragraph) && paragraph < lastActParagraph_; }

  // One reading from page 2 to an ending (or 3000 moves). Returns the ending
  // paragraph, or -1.
  int Play(bool careful) {
    Start();
    for (int move = 0; move < 3000; ++move) {
      Build();
      const int paragraph = reader_->navigation.shownPage - 1;
      const bool story = reader_->navigation.storyMode == 1;
      if (story && IsEnding(paragraph)) return paragraph;
      std::vector<Way> ways = Ways();
      if (story) {
        ++storyPagesMet_;
        if (ways.size() == 1) ++singleWayPagesMet_;
        metStory_.insert(paragraph);
        if (ways.size() == 1) metSingle_.insert(paragraph), ++singleVisits_[paragraph];
        hours_[paragraph].insert(reader_->story.state.items[kHourItem].value);
        NoteDeaths(paragraph, ways);
      }
      if (ways.empty()) return -1;
      const Way& way = careful ? CarefulPick(ways) : ways[Uniform(ways.size())];
      Take(way, careful);
    }
    return -1;
  }

  void ReportPlays(int readers) {
    std::map<int, int> endings;
    for (int i = 0; i < readers; ++i) ++endings[Play(false)];
    std::printf("random readers: %d\n", readers);
    std::printf("  story pages met: %lld, with a single way on: %lld (%.1f%%)\n",
                static_cast<long long>(storyPagesMet_), static_cast<long long>(singleWayPagesMet_),
                Percent(singleWayPagesMet_, storyPagesMet_));
    std::printf("  distinct story pages met: %zu, with a single way on: %zu (%.1f%%)\n",
                metStory_.size(), metSingle_.size(),
                Percent(static_cast<long long>(metSingle_.size()),
                        static_cast<long long>(metStory_.size())));
    PrintEndings(endings, readers);
    std::vector<std::pair<long long, int>> busiest;
    for (const auto& [paragraph, visits] : singleVisits_) busiest.push_back({visits, paragraph});
    std::sort(busiest.rbegin(), busiest.rend());
    std::string top;
    for (size_t i = 0; i < busiest.size() && i < 40; ++i) {
      top += " " + std::to_string(busiest[i].second) + ":" + std::to_string(busiest[i].first);
    }
    std::printf("  single-way pages met most (paragraph:visits):%s\n", top.c_str());
    std::printf("  pages met where every way on is death: %s\n", Join(allDeath_).c_str());
    std::printf("  pages met where every way on risks death: %s\n", Join(allRisk_).c_str());
  }

  void ReportCareful(int readers) {
    std::map<int, int> endings;
    for (int i = 0; i < readers; ++i) ++endings[Play(true)];
    int best = 0;
    for (const auto& [ending, count] : endings) {
      if (ending >= 0 && !IsDeath(ending) && ending >= MaxEnding() - 1) best += count;
    }
    std::printf("careful readers: %d\n", readers);
    PrintEndings(endings, readers);
    std::printf("  reaching the two best endings (%d, %d): %d (%.1f%%)\n", MaxEnding() - 1,
                MaxEnding(), best, Percent(best, readers));
  }

  // Replays the explorer's way to the last ending and counts the points won
  // on pages that offered more than one way on.
  void ReportContested(const trace::ExploreReport& report) {
    const int last = MaxEnding();
    if (report.bestPaths.count(last) == 0) {
      std::printf("contested points: the explorer found no way to %d\n", last);
      return;
    }
    Start();
    int contested = 0;
    int single = 0;
    std::vector<std::string> singles;
    for (const trace::PathStep& step : report.bestPaths.at(last)) {
      Build();
      const int before = reader_->story.state.items[kScoreItem].value;
      const size_t ways = reader_->navigation.storyMode == 1 ? Ways().size() : 0;
      if (!Apply(step)) {
        std::printf("contested points: the way could not be replayed at %d\n", step.paragraph);
        return;
      }
      const int gained = 10 * (reader_->story.state.items[kScoreItem].value - before);
      if (gained > 0) {
        (ways > 1 ? contested : single) += gained;
        if (ways <= 1) singles.push_back(std::to_string(step.paragraph));
      }
    }
    std::printf(
        "best way to %d: %d points, %d from pages with another way on, %d from "
        "single-way pages%s%s\n",
        last, contested + single, contested, single, singles.empty() ? "" : ": ",
        JoinStrings(singles).c_str());
  }

  // Types each line's answers and says where they lead.
  void ReportAnswers(const std::string& file) {
    std::ifstream in(file);
    std::string line;
    int accepted = 0;
    int total = 0;
    while (std::getline(in, line)) {
      if (line.empty() || line[0] == '#') continue;
      std::istringstream fields(line);
      int page = 0;
      int target = 0;
      fields >> page >> target;
      std::string rest;
      std::getline(fields, rest);
      std::string first = Trim(rest.substr(0, rest.find('|')));
      std::string again =
          rest.find('|') == std::string::npos ? first : Trim(rest.substr(rest.find('|') + 1));
      if (statesAt_.count(page) == 0) {
        std::printf("  %d: never met, \"%s\" not tried\n", page, first.c_str());
        continue;
      }
      ++total;
      std::string trail;
      int at = TypeAt(statesAt_.at(page), first, &trail);
      if (at >= 0 && at != target && AsksAgain()) at = TypeAt(Capture(), again, &trail);
      const bool ok = at == target;
      accepted += ok ? 1 : 0;
      std::printf("  %d \"%s\"%s: %s%s\n", page, first.c_str(),
                  again == first ? "" : (" | \"" + again + "\"").c_str(), trail.c_str(),
                  ok ? " (accepted)" : " (REFUSED)");
    }
    std::printf("answers accepted: %d of %d\n", accepted, total);
  }

  void ReportHours() {
    std::printf("hours at which each story paragraph was met:\n");
    for (const auto& [paragraph, hours] : hours_) {
      std::string list;
      for (int h : hours) list += (list.empty() ? "" : ",") + std::to_string(h);
      std::printf("  %d: %s\n", paragraph, list.c_str());
    }
  }

 private:
  struct Snapshot {
    NavigationState navigation;
    StoryState story;
  };

  static double Percent(long long part, long long whole) {
    return whole > 0 ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0;
  }

  static std::string Trim(const std::string& s) {
    const size_t a = s.find_first_not_of(' ');
    const size_t b = s.find_last_not_of(' ');
    return a == std::string::npos ? "" : s.substr(a, b - a + 1);
  }

  static std::string Join(const std::set<int>& numbers) {
    std::string out;
    for (int n : numbers) out += (out.empty() ? "" : " ") + std::to_string(n);
    return out.empty() ? "none" : out;
  }

  static std::string JoinStrings(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : " ") + p;
    return out;
  }

  int MaxEnding() const { return endings_.empty() ? 0 : *endings_.rbegin(); }

  void PrintEndings(const std::map<int, int>& endings, int readers) const {
    int deaths = 0;
    std::string list;
    for (const auto& [ending, count] : endings) {
      if (IsDeath(ending)) deaths += count;
      list += " " + (ending < 0 ? std::string("none") : std::to_string(ending)) + ":" +
              std::to_string(count);
    }
    std::printf("  endings:%s\n  deaths: %d (%.1f%%)\n", list.c_str(), deaths,
                Percent(deaths, readers));
  }

  size_t Uniform(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng_); }

  void Start() {
    Reader& r = *reader_;
    r.story.state = StoryState{};
    r.navigation.shownPage = 2;
    r.navigation.readingPosition = 2;
    r.navigation.storyMode = 1;
    r.navigation.screenNumber = kNoScreen;
  }

  void Build() {
    RebuildPage(*reader_);
    const int paragraph = reader_->navigation.shownPage - 1;
    if (reader_->navigation.storyMode == 1 && statesAt_.count(paragraph) == 0) {
      statesAt_[paragraph] = Capture();
    }
  }

  Snapshot Capture() const { return {reader_->navigation, reader_->story.state}; }

  void Restore(const Snapshot& s) {
    reader_->navigation = s.navigation;
    reader_->story.state = s.story;
  }

  // The ways on from the page just built, with their outcomes.
  std::vector<Way> Ways() {
    std::vector<Way> ways;
    const Reader& r = *reader_;
    for (int i = 0; i < r.page.hotwords.count; ++i) {
      const HotwordRecord& h = r.page.hotwords.records[i];
      if (h.kind == 'u' || h.controlId == 0) continue;
      Way way{Way::kButton, &h, {}};
      switch (h.kind) {
        case 'L': {
          const int t = std::clamp(static_cast<int>(static_cast<int16_t>(h.value)), 0, 20);
          way.kind = Way::kRoll;
          if (t > 0) way.outcomes.push_back({h.target0, t / 20.0});
          if (t < 20) way.outcomes.push_back({h.target1, (20 - t) / 20.0});
          break;
        }
        case 'd': {
          way.kind = Way::kRoll;
          int top = 0;
          const int bands[3][2] = {
              {h.value, h.target0}, {h.band2, h.target2}, {h.band3, h.target3}};
          for (const auto& band : bands) {
            if (band[0] > top) {
              way.outcomes.push_back({band[1], (std::min(band[0], 100) - top) / 100.0});
              top = std::min(band[0], 100);
            }
          }
          if (top < 100) way.outcomes.push_back({h.target1, (100 - top) / 100.0});
          break;
        }
        case 'S':
          way.kind = Way::kBox;
          way.outcomes.push_back({h.target1, 0});
          if (h.answer1[0] != '\0') way.outcomes.push_back({h.target0, 0});
          if (h.answer2[0] != '\0') way.outcomes.push_back({h.target2, 0});
          if (h.answer3[0] != '\0') way.outcomes.push_back({h.target3, 0});
          break;
        case 'g':
          if (IsRestartOrMenuPage(h.target0)) continue;  // the endings' Go back and objective
          way.outcomes.push_back({h.target0, 1});
          break;
        default: way.outcomes.push_back({h.target0, 1}); break;
      }
      ways.push_back(way);
    }
    if (r.navigation.storyMode != 1) ways.push_back({Way::kReturn, nullptr, {}});
    return ways;
  }

  static bool IsRestartOrMenuPage(int paragraph) { return paragraph >= 1 && paragraph <= 6; }

  void NoteDeaths(int paragraph, const std::vector<Way>& ways) {
    if (ways.empty()) return;
    bool allDeath = true;
    bool allRisk = true;
    for (const Way& way : ways) {
      bool any = false;
      bool every = true;
      for (const auto& [target, chance] : way.outcomes) {
        if (way.kind == Way::kBox && target == way.record->target1 && way.outcomes.size() > 1)
          continue;
        const bool death = IsDeath(target);
        any = any || death;
        every = every && death;
      }
      allDeath = allDeath && every;
      allRisk = allRisk && any;
    }
    if (allDeath)
      allDeath_.insert(paragraph);
    else if (allRisk)
      allRisk_.insert(paragraph);
  }

  // A careful reader's pick: no way that is sure death while another is
  // offered, a sure way before a roll, and among the rest the ways that win
  // points, then those that bring something new, then any.
  const Way& CarefulPick(const std::vector<Way>& ways) {
    std::vector<const Way*> safe;
    for (const Way& w : ways) {
      bool allDeath = true;
      for (const auto& [target, chance] : w.outcomes) allDeath = allDeath && IsDeath(target);
      if (!allDeath) safe.push_back(&w);
    }
    if (safe.empty()) return ways[Uniform(ways.size())];
    std::vector<const Way*> sure;
    for (const Way* w : safe) {
      bool risky = false;
      for (const auto& [target, chance] : w->outcomes) risky = risky || IsDeath(target);
      if (!(w->kind == Way::kRoll && risky)) sure.push_back(w);
    }
    if (sure.empty()) sure = safe;
    int bestRank = -1;
    std::vector<const Way*> best;
    for (const Way* w : sure) {
      const int rank = Rank(*w);
      if (rank > bestRank) bestRank = rank, best.clear();
      if (rank == bestRank) best.push_back(w);
    }
    return *best[Uniform(best.size())];
  }

  // 2 for a way that wins points, 1 for one that brings an item not held
  // before, 0 otherwise; a roll counts by what its best band brings.
  int Rank(const Way& way) {
    if (way.kind == Way::kReturn) return 0;
    const Snapshot before = Capture();
    int rank = 0;
    if (way.kind == Way::kButton) {
      MakeMove(*reader_,
               ActivateHotword(reader_->story, reader_->page.hotwords, way.record->controlId, ""));
      rank = Gain(before);
      Restore(before);
      RebuildPage(*reader_);
    }
    return rank;
  }

  int Gain(const Snapshot& before) const {
    const StoryState& now = reader_->story.state;
    if (now.items[kScoreItem].value > before.story.items[kScoreItem].value) return 2;
    for (int i = 0; i < kItemCount; ++i) {
      if (now.items[i].held && !before.story.items[i].held) return 1;
    }
    return 0;
  }

  void Take(const Way& way, bool careful) {
    switch (way.kind) {
      case Way::kReturn: ReturnToStory(*reader_); return;
      case Way::kButton:
        MakeMove(*reader_, ActivateHotword(reader_->story, reader_->page.hotwords,
                                           way.record->controlId, ""));
        return;
      case Way::kRoll: {
        double roll = std::uniform_real_distribution<double>(0, 1)(rng_);
        int target = way.outcomes.back().first;
        for (const auto& [t, chance] : way.outcomes) {
          if (roll < chance) {
            target = t;
            break;
          }
          roll -= chance;
        }
        GoToPage(*reader_, static_cast<int16_t>(target + 1), PageMode::kFollow);
        return;
      }
      case Way::kBox: {
        // A careful reader types an accepted answer; a random one types
        // anything, right or wrong alike.
        const size_t first = careful && way.outcomes.size() > 1 ? 1 : 0;
        const size_t pick = first + Uniform(way.outcomes.size() - first);
        GoToPage(*reader_, static_cast<int16_t>(way.outcomes[pick].first + 1), PageMode::kFollow);
        return;
      }
    }
  }

  bool Apply(const trace::PathStep& step) {
    Reader& r = *reader_;
    if (r.navigation.shownPage - 1 != step.paragraph) return false;
    switch (step.kind) {
      case trace::PathStep::kChoose:
      case trace::PathStep::kRoll: {
        for (int b = 0; b < r.page.buttons.count; ++b) {
          if (step.label == r.page.buttons.records[b].label) {
            if (step.kind == trace::PathStep::kChoose) {
              MakeMove(r, ActivateHotword(r.story, r.page.hotwords,
                                          static_cast<uint16_t>(kFirstChoiceButtonId + b), ""));
            } else {
              GoToPage(r, static_cast<int16_t>(step.to + 1), PageMode::kFollow);
            }
            return r.navigation.shownPage - 1 == step.to;
          }
        }
        return false;
      }
      case trace::PathStep::kType:
        GoToPage(r, static_cast<int16_t>(step.to + 1), PageMode::kFollow);
        return true;
      case trace::PathStep::kInformation: GoToPage(r, 6, PageMode::kAside); return true;
      case trace::PathStep::kReturn: ReturnToStory(r); return true;
      case trace::PathStep::kOpenItem: return false;
      case trace::PathStep::kMenu:
        GoToPage(r, static_cast<int16_t>(step.to + 1), PageMode::kAside);
        return true;
    }
    return false;
  }

  // Types text into the first box of the page of the state, cut to the box's
  // length; returns the paragraph it leads to and notes the way in trail.
  int TypeAt(const Snapshot& state, const std::string& text, std::string* trail) {
    Restore(state);
    RebuildPage(*reader_);
    Reader& r = *reader_;
    if (r.page.inputBoxes.count == 0) return -1;
    const std::string cut = text.substr(0, r.page.inputBoxes.records[0].maximumLength);
    const int from = r.navigation.shownPage - 1;
    MakeMove(r, ActivateHotword(r.story, r.page.hotwords, kFirstInputBoxId, cut.c_str()));
    const int to = r.navigation.shownPage - 1;
    *trail += (trail->empty() ? "" : ", ") + std::to_string(from) + " takes \"" + cut + "\" -> " +
              std::to_string(to);
    RebuildPage(r);
    return to;
  }

  bool AsksAgain() const { return reader_->page.inputBoxes.count > 0; }

  QuietPlatform platform_;
  std::unique_ptr<Reader> reader_;
  std::set<int> endings_;
  int lastActParagraph_ = 0;
  std::mt19937 rng_;
  long long storyPagesMet_ = 0;
  long long singleWayPagesMet_ = 0;
  std::set<int> metStory_;
  std::set<int> metSingle_;
  std::set<int> allDeath_;
  std::set<int> allRisk_;
  std::map<int, std::set<int>> hours_;
  std::map<int, long long> singleVisits_;
  std::map<int, Snapshot> statesAt_;
};

}  // namespace

int main(int argc, char** argv) {
  std::string dir;
  std::string answers;
  int randomReaders = 2000;
  int carefulReaders = 1500;
  long long cap = 400000;
  uint32_t seed = 1;
  bool hours = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::cerr << arg << " needs a value\n";
        std::exit(2);
      }
      return argv[++i];
    };
    if (arg == "--book")
      dir = value();
    else if (arg == "--random")
      randomReaders = std::stoi(value());
    else if (arg == "--careful")
      carefulReaders = std::stoi(value());
    else if (arg == "--seed")
      seed = static_cast<uint32_t>(std::stoul(value()));
    else if (arg == "--answers")
      answers = value();
    else if (arg == "--cap")
      cap = std::stoll(value());
    else if (arg == "--hours")
      hours = true;
    else {
      std::cout << kMeasureHelp;
      return arg == "--help" ? 0 : 2;
    }
  }
  if (dir.empty()) {
    std::cout << kMeasureHelp;
    return 2;
  }
  bookc::Diagnostics diagnostics;
  auto source = bookc::LoadBook(dir, diagnostics);
  if (source == nullptr) {
    for (const bookc::Diagnostic& d : diagnostics.list()) std::cerr << bookc::Format(d) << "\n";
    return 1;
  }
  const std::vector<int>& endings = source->model().endings;
  Measure measure(source->book(), endings, seed);
  measure.ReportPlays(randomReaders);
  if (hours) measure.ReportHours();
  measure.ReportCareful(carefulReaders);
  if (!answers.empty()) measure.ReportAnswers(answers);
  if (cap > 0) {
    measure.ReportContested(trace::Explore(source->book(), endings, cap, kScoreItem));
  }
  return 0;
}
