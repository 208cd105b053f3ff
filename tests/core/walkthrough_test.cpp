#include "tools/trace/walkthrough.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_platform.h"
#include "story/random.h"

namespace {

using lanthorn::HotwordRecord;

HotwordRecord D100(int first, int band2, int band3) {
  HotwordRecord r{};
  r.kind = 'd';
  r.value = first;
  r.band2 = static_cast<int8_t>(band2);
  r.band3 = static_cast<int8_t>(band3);
  r.target0 = 10;
  r.target1 = 11;
  r.target2 = 12;
  r.target3 = 13;
  return r;
}

trace::PathStep Roll(const HotwordRecord& r, int to) {
  trace::PathStep step{trace::PathStep::kRoll, 1, "Roll", "", to};
  step.hotword = r;
  return step;
}

// The tick count found must make the reader's own generator, seeded from it,
// send every roll of the way where the way goes, narrow bands included.
TEST(Walkthrough, TheTickCountMakesEveryRollComeOutAsTheWayNeeds) {
  HotwordRecord d20{};
  d20.kind = 'L';
  d20.value = 3;  // 1 to 3 holds
  d20.target0 = 20;
  d20.target1 = 21;
  const HotwordRecord d100 = D100(2, 4, 90);  // 1-2, 3-4, 5-90, 91-100
  const std::vector<trace::PathStep> way = {Roll(d20, 20), Roll(d100, 12), Roll(d100, 10),
                                            Roll(d100, 11), Roll(d20, 21)};
  const int64_t tick = trace::TickForRolls(way);
  ASSERT_GE(tick, 0);

  lanthorn::HeadlessPlatform platform;
  platform.SetTickCount(static_cast<uint32_t>(tick));
  lanthorn::RandomState random{false, 0};
  for (const trace::PathStep& step : way) {
    EXPECT_EQ(trace::RollTarget(step.hotword, lanthorn::RandomDraw(random, platform)), step.to);
  }
  // A band no roll can reach (3 to 2) has no tick count.
  EXPECT_EQ(trace::TickForRolls({Roll(D100(2, 2, 2), 12)}), -1);
}

TEST(Walkthrough, AWrongAnswerIsNoneOfTheAcceptedOnes) {
  HotwordRecord r{};
  r.kind = 'S';
  snprintf(r.answer1, sizeof r.answer1, "wrong");
  snprintf(r.answer2, sizeof r.answer2, "WRONG X");  // compared without blanks and case
  const std::string text = trace::WrongAnswer(r);
  EXPECT_NE(lanthorn::CompareAnswer(r.answer1, text.c_str()), 0);
  EXPECT_NE(lanthorn::CompareAnswer(r.answer2, text.c_str()), 0);
}

TEST(Walkthrough, TheScriptTakesEachStepWithItsCommand) {
  trace::PathStep choose{trace::PathStep::kChoose, 1, "Go in", "", 62};
  choose.controlId = 5001;
  trace::PathStep type{trace::PathStep::kType, 62, "", "lantern", 63};
  type.controlId = 4000;
  const std::vector<trace::PathStep> way = {choose,
                                            {trace::PathStep::kInformation, 62, "", "", 5},
                                            {trace::PathStep::kReturn, 5, "", "", 62},
                                            type};
  const std::string script = trace::WalkthroughScript(way, 63, 40, 120, "a test");
  EXPECT_NE(script.find("# args: --tick 120\nstart\ntimer\ntimer\ncommand 511\n"),
            std::string::npos);
  EXPECT_NE(script.find("# 1: \"Go in\" -> 62\ncommand 5001\ndump"), std::string::npos);
  EXPECT_NE(script.find("command 501\n"), std::string::npos);
  EXPECT_NE(script.find("command 510\n"), std::string::npos);
  EXPECT_NE(script.find("type 4000 lantern\n"), std::string::npos);
  EXPECT_EQ(script.substr(script.size() - 11), "dump items\n");
  EXPECT_EQ(trace::WalkthroughName(92), "ending-092.trace");
}

// The figures go between the markers, replacing what was there, and
// nothing outside them changes; without both markers nothing is written.
TEST(Walkthrough, TheFiguresReplaceOnlyWhatLiesBetweenTheMarkers) {
  trace::ExploreReport report;
  report.exact = true;
  report.states = 1234567;
  report.reached = {1, 62};
  report.endings = {{360, 400}};
  report.worstEndings = {{360, 280}};
  report.messages[62] = {"Page buffer Overflow"};
  const std::string block = trace::FiguresBlock(report, "a test");
  EXPECT_NE(block.find("1,234,567 story states"), std::string::npos);
  EXPECT_NE(block.find("| 360 | 400 | 280 | `tests/walkthroughs/ending-360.trace` |"),
            std::string::npos);
  EXPECT_NE(block.find("at 62: \"Page buffer Overflow\""), std::string::npos);

  std::string plan = std::string("## 10\nkept\n## 11\n") + trace::kFiguresBegin + "\nold\n" +
                     trace::kFiguresEnd + "\nafter\n";
  ASSERT_TRUE(trace::ReplaceFigures(plan, block));
  EXPECT_EQ(plan, "## 10\nkept\n## 11\n" + block + "after\n");
  ASSERT_TRUE(trace::ReplaceFigures(plan, block));  // again: the same
  EXPECT_EQ(plan, "## 10\nkept\n## 11\n" + block + "after\n");

  std::string unmarked = std::string("text\n") + trace::kFiguresBegin + "\n";
  EXPECT_FALSE(trace::ReplaceFigures(unmarked, block));
  EXPECT_EQ(unmarked, std::string("text\n") + trace::kFiguresBegin + "\n");
}

}  // namespace
