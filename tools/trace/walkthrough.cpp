#include "tools/trace/walkthrough.h"

#include <cstdio>

#include "page/commands.h"
#include "tools/bookc/cp1252.h"

namespace trace {

namespace {

using lanthorn::HotwordRecord;

// The generator's step, as story/random.cpp takes it.
uint32_t NextDraw(uint32_t& state) {
  state = state * 214013u + 2531011u;
  return (state >> 16) & 0x7FFF;
}

// The menu command that opens a page the menu lists.
int MenuCommand(int page) {
  switch (page) {
    case lanthorn::kRestartPage: return lanthorn::kOpenRestart;
    case lanthorn::kObjectivePage: return lanthorn::kOpenObjective;
    case lanthorn::kCreditsPage: return lanthorn::kOpenCredits;
    case lanthorn::kInformationPage: return lanthorn::kOpenInformation;
    case lanthorn::kHintsPage: return lanthorn::kOpenHints;
    default: return -1;
  }
}

std::string Thousands(int64_t n) {
  std::string digits = std::to_string(n);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(at, ",");
  return digits;
}

std::string List(const std::set<int>& numbers) {
  std::string out;
  for (int n : numbers) out += (out.empty() ? "" : ", ") + std::to_string(n);
  return out.empty() ? "none" : out;
}

}  // namespace

int RollTarget(const HotwordRecord& r, int32_t draw) {
  if (r.kind == 'L') {
    const int32_t roll = draw % 20 + 1;
    return roll > static_cast<int16_t>(r.value) ? r.target1 : r.target0;
  }
  const int32_t roll = draw % 100 + 1;
  return roll <= r.value   ? r.target0
         : roll <= r.band2 ? r.target2
         : roll <= r.band3 ? r.target3
                           : r.target1;
}

int64_t TickForRolls(const std::vector<PathStep>& way) {
  std::vector<const PathStep*> rolls;
  for (const PathStep& step : way) {
    if (step.kind == PathStep::kRoll) rolls.push_back(&step);
  }
  // A roll no draw sends where the way goes: no seed will.
  for (const PathStep* roll : rolls) {
    bool possible = false;
    for (int32_t draw = 0; draw <= 0x7FFF && !possible; ++draw) {
      possible = RollTarget(roll->hotword, draw) == roll->to;
    }
    if (!possible) return -1;
  }
  // The seed is the tick count / 60, and the tick count a 32-bit number.
  constexpr uint32_t kLastSeed = 0xFFFFFFFFu / 60u;
  for (uint32_t seed = 0; seed <= kLastSeed; ++seed) {
    uint32_t state = seed;
    bool all = true;
    for (const PathStep* roll : rolls) {
      if (RollTarget(roll->hotword, static_cast<int32_t>(NextDraw(state))) != roll->to) {
        all = false;
        break;
      }
    }
    if (all) return static_cast<int64_t>(seed) * 60;
  }
  return -1;
}

std::string WrongAnswer(const HotwordRecord& r) {
  std::string text = "wrong";
  const auto accepted = [&r](const std::string& t) {
    for (const char* answer : {r.answer1, r.answer2, r.answer3}) {
      if (answer[0] != '\0' && lanthorn::CompareAnswer(answer, t.c_str()) == 0) return true;
    }
    return false;
  };
  while (accepted(text)) text += "x";
  return text;
}

std::string WalkthroughName(int ending) {
  char name[32];
  snprintf(name, sizeof name, "ending-%03d.trace", ending);
  return name;
}

std::string WalkthroughScript(const std::vector<PathStep>& way, int ending, int score, int64_t tick,
                              const std::string& how) {
  std::string out;
  out += "# The way to ending " + std::to_string(ending) + " with its best score, " +
         std::to_string(score) + ", as " + how + " found it.\n";
  out += "# Written by `make walkthroughs`; read the diff before committing a new one.\n";
  out += "# The tick count seeds the chance rolls so that each comes out as the way needs.\n";
  out += "# args: --tick " + std::to_string(tick) + "\n";
  out += "start\ntimer\ntimer\ncommand " + std::to_string(lanthorn::kNext) + "\n";
  const std::string dump = "dump shownPage readingPosition storyMode messages\n";
  out += dump;
  for (const PathStep& step : way) {
    out += "# " + bookc::Cp1252ToUtf8(DescribeStep(step)) + "\n";
    switch (step.kind) {
      case PathStep::kChoose:
      case PathStep::kRoll:
      case PathStep::kOpenItem: out += "command " + std::to_string(step.controlId) + "\n"; break;
      case PathStep::kType:
        out += "type " + std::to_string(step.controlId) + " " +
               bookc::Cp1252ToUtf8(step.answer.empty() ? WrongAnswer(step.hotword) : step.answer) +
               "\n";
        break;
      case PathStep::kInformation:
        out += "command " + std::to_string(lanthorn::kOpenInformation) + "\n";
        break;
      case PathStep::kReturn: out += "command " + std::to_string(lanthorn::kReturn) + "\n"; break;
      case PathStep::kMenu:
        out += "command " + std::to_string(MenuCommand(step.to + 1)) + "\n";
        break;
    }
    out += dump;
  }
  out += "dump items\n";
  return out;
}

std::string FiguresBlock(const ExploreReport& r, const std::string& how) {
  std::string out = std::string(kFiguresBegin) + "\n\n";
  out += "Written by `make walkthroughs` from\n" + how + ";\n";
  out +=
      "`make test` replays each ending's walkthrough on the compiled-in book and\n"
      "checks that it reaches the best score given here.\n\n";
  if (r.exact) {
    out += "- Exploration: exact, every distinct state: " + Thousands(r.states) +
           " story states, with " + Thousands(r.asides) + " aside pages built with them\n";
  } else {
    out += "- Exploration: **not exact**: it stopped at " + Thousands(r.states) + " states with " +
           Thousands(r.unexplored) +
           " left unexplored.\n"
           "  Best scores are the best found (the true best may be higher), worst\n"
           "  scores the worst found, and what was never reached may be reachable.\n";
  }
  out += "- Paragraphs reached: " + std::to_string(r.reached.size()) +
         "; never reached: " + List(r.notReached) + "\n";
  out += "- Story pages with no way on: " + List(r.stuck) + "\n";
  out += "- Endings never reached: " + List(r.endingsNotReached) + "\n";
  out += "- Limit messages:";
  if (r.messages.empty()) out += " none";
  out += "\n";
  for (const auto& [paragraph, texts] : r.messages) {
    for (const std::string& t : texts) {
      out += "  - at " + std::to_string(paragraph) + ": \"" + bookc::Cp1252ToUtf8(t) + "\"\n";
    }
  }
  out += "\n| Ending | Best | Worst | Walkthrough |\n|---|---|---|---|\n";
  for (const auto& [ending, best] : r.endings) {
    const auto worst = r.worstEndings.find(ending);
    out += "| " + std::to_string(ending) + " | " + std::to_string(best) + " | " +
           (worst == r.worstEndings.end() ? std::string("?") : std::to_string(worst->second)) +
           " | `tests/walkthroughs/" + WalkthroughName(ending) + "` |\n";
  }
  out += "\n" + std::string(kFiguresEnd) + "\n";
  return out;
}

bool ReplaceFigures(std::string& document, const std::string& block) {
  const size_t begin = document.find(kFiguresBegin);
  const std::string end = kFiguresEnd;
  const size_t stop = begin == std::string::npos ? begin : document.find(end, begin);
  if (stop == std::string::npos) return false;
  size_t after = stop + end.size();
  if (after < document.size() && document[after] == '\n') ++after;
  document.replace(begin, after - begin, block);
  return true;
}

}  // namespace trace
