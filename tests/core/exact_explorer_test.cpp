#include <gtest/gtest.h>

#include "tests/support/session.h"
#include "tests/support/test_book.h"
#include "tools/trace/explorer.h"

namespace {

using testing_support::LoadFixture;
using testing_support::ScratchBook;

// Every figure the exact explorer reports, but the counts of states and
// builds, which merging is meant to change.
void ExpectSameFigures(const trace::ExploreReport& merged, const trace::ExploreReport& plain) {
  EXPECT_TRUE(merged.exact);
  EXPECT_TRUE(plain.exact);
  EXPECT_FALSE(merged.capped);
  EXPECT_FALSE(plain.capped);
  EXPECT_EQ(merged.reached, plain.reached);
  EXPECT_EQ(merged.notReached, plain.notReached);
  EXPECT_EQ(merged.stuck, plain.stuck);
  EXPECT_EQ(merged.endings, plain.endings);
  EXPECT_EQ(merged.worstEndings, plain.worstEndings);
  EXPECT_EQ(merged.endingsNotReached, plain.endingsNotReached);
  EXPECT_EQ(merged.messages, plain.messages);
}

// The ledger book holds values that stop mattering (a coin overwritten at
// 12, then changed and never read), values written in a block that may be
// skipped (so the coin still matters at 11), a number item, an item read
// only on another item's page, an item the inventory shows once held, and
// an information page that reads values under held tests.
TEST(ExactExplorer, MergingKeepsTheLedgerBooksFigures) {
  auto book = LoadFixture("ledger");
  const trace::ExploreReport merged = trace::ExploreExactly(book->book(), {14, 16}, 1, true);
  const trace::ExploreReport plain = trace::ExploreExactly(book->book(), {14, 16}, 1, false);
  ExpectSameFigures(merged, plain);
  EXPECT_LT(merged.states, plain.states);
  // Paying with two coins (which the map's note would take away) and
  // singing, with Return from an aside replaying the sum.
  EXPECT_EQ(merged.endings, (std::map<int, int>{{14, 40}, {16, 40}}));
  EXPECT_EQ(merged.worstEndings, (std::map<int, int>{{14, 0}, {16, 0}}));
  EXPECT_EQ(merged.reached, (std::set<int>{1, 5, 10, 11, 12, 13, 14, 15, 16, 40, 41}));
}

TEST(ExactExplorer, MergingKeepsTheCrossingBooksFigures) {
  auto book = LoadFixture("crossing");
  const trace::ExploreReport merged = trace::ExploreExactly(book->book(), {16}, 2, true);
  const trace::ExploreReport plain = trace::ExploreExactly(book->book(), {16}, 2, false);
  ExpectSameFigures(merged, plain);
  // The book lacks paragraph 4, so the credits page (5) opened from the menu
  // on page 2 shows page 2's text, choices and all, as an aside: the story
  // can be played there, the prize taken, and Return keeps it, twice over.
  EXPECT_EQ(merged.endings, (std::map<int, int>{{16, 50}}));
  EXPECT_EQ(merged.worstEndings, (std::map<int, int>{{16, 0}}));
  EXPECT_TRUE(merged.notReached.empty());

  // A limit of states below what the book needs leaves the figures inexact.
  const trace::ExploreReport limited = trace::ExploreExactly(book->book(), {16}, 2, true, 10);
  EXPECT_EQ(limited.states, 10);
  EXPECT_TRUE(limited.capped);
  EXPECT_FALSE(limited.exact);
  EXPECT_NE(trace::ReportText(limited).find("the figures are not exact"), std::string::npos);
}

// Reads the merging must see: a value read through another item's
// assignment operand, through an added sum and through a condition, each
// after a page that reads nothing.
TEST(ExactExplorer, EveryKindOfReadKeepsAValue) {
  ScratchBook source;
  source.Write("items.toml",
               "[[items]]\nname = \"Score\"\noptions = [\"0\", \"10\", \"20\", \"30\", \"40\"]\n"
               "[[items]]\nname = \"A\"\noptions = [\"x\", \"y\", \"z\"]\n"
               "[[items]]\nname = \"B\"\noptions = [\"x\", \"y\", \"z\"]\n"
               "[[items]]\nname = \"C\"\noptions = [\"x\", \"y\", \"z\"]\n"
               "[[items]]\nname = \"D\"\noptions = [\"x\", \"y\", \"z\"]\n");
  source.Write("book.toml", testing_support::MinimalBookToml("endings = [30, 31, 32, 33]\n"));
  source.Paragraphs(
      "@1\n<R %1 2 \"a\" 10> <R %2 2 \"b\" 10> <R %3 1 \"c\" 10> <R %4 2 \"d\" 10> "
      "<M \"none\" 10> <G>\n"
      "@10\n<R %9 0>Nothing read here. <M \"on\" 11> <G>\n"
      "@11\n<R %0 %1 \"Take A\" 30> <r %0 %2 \"Add B\" 31> <M \"Leave\" 32> "
      "<O(%4 = 2)>{<r %0 1 \"Lucky\" 33>} <G>\n"
      "@30\nEnd <G>\n@31\nEnd <G>\n@32\nEnd <G>\n@33\nEnd <G>\n");
  bookc::Diagnostics diagnostics;
  auto book = source.Load(diagnostics);
  ASSERT_NE(book, nullptr);
  const trace::ExploreReport merged =
      trace::ExploreExactly(book->book(), {30, 31, 32, 33}, 0, true);
  const trace::ExploreReport plain =
      trace::ExploreExactly(book->book(), {30, 31, 32, 33}, 0, false);
  ExpectSameFigures(merged, plain);
  // Return from an aside rebuilds a page and adds its sums again.
  EXPECT_EQ(merged.endings, (std::map<int, int>{{30, 20}, {31, 40}, {32, 20}, {33, 30}}));
}

}  // namespace

namespace {

// "X %1 = 2" goes on from the held test to a comparison of item 1's value:
// that is a read of the value, though item 1 is never held.
TEST(ExactExplorer, AHeldTestFollowedByAComparisonReadsTheValue) {
  ScratchBook source;
  source.Write("items.toml",
               "[[items]]\nname = \"Score\"\noptions = [\"0\", \"10\", \"20\", \"30\", \"40\"]\n"
               "[[items]]\nname = \"A\"\noptions = [\"x\", \"y\", \"z\"]\n");
  source.Write("book.toml", testing_support::MinimalBookToml("endings = [30, 31]\n"));
  source.Paragraphs(
      "@1\n<R %1 2 \"a\" 10> <M \"none\" 10> <G>\n@10\nNothing. <M \"on\" 11> <G>\n"
      "@11\n<O(X %1 = 2)>{<r %0 3 \"Bonus\" 30>} <M \"Leave\" 31> <G>\n"
      "@30\nEnd <G>\n@31\nEnd <G>\n");
  bookc::Diagnostics diagnostics;
  auto book = source.Load(diagnostics);
  ASSERT_NE(book, nullptr);
  const trace::ExploreReport merged = trace::ExploreExactly(book->book(), {30, 31}, 0, true);
  const trace::ExploreReport plain = trace::ExploreExactly(book->book(), {30, 31}, 0, false);
  ExpectSameFigures(merged, plain);
  EXPECT_EQ(merged.endings.count(30), 1u);
}

}  // namespace

namespace {

// Asides that change the story and raise a message: the sky page (opened by
// a "g" choice) adds to the score each time it is built and leads on, still
// an aside, to the star page, whose hundred and one buttons overflow once
// the score is 3; the lamp's own page, opened from the information page
// while the lamp is held, adds to the score too. Return from each rebuilds
// the story page with what the aside did. The map's page only shows the
// weather, so it is built once for each weather and held flags and known
// after. Folding asides into the story states they return to, and knowing
// pages that only show, must leave every figure as the plain search finds
// it, with fewer states kept.
TEST(ExactExplorer, FoldingAsidesKeepsWhatAsidesDoAndSay) {
  std::string crowded;
  for (int i = 0; i < 101; ++i) crowded += "<g \"c\" 20>";
  ScratchBook source;
  source.Write("items.toml",
               "[[items]]\nname = \"Score\"\noptions = [\"0\", \"10\", \"20\", \"30\", \"40\"]\n"
               "[[items]]\nname = \"Lamp\"\nid = 41\noptions = [\"dark\", \"lit\"]\n"
               "[[items]]\nname = \"Map\"\nid = 40\n"
               "[[items]]\nname = \"Weather\"\noptions = [\"clear\", \"snow\"]\n");
  source.Write("book.toml", testing_support::MinimalBookToml("endings = [11, 12]\n"));
  source.Paragraphs(
      "@1\n<N %2><R %1 1 \"Light the lamp\" 10> <M \"Walk on\" 10> <g \"Look at the sky\" 20> "
      "<R %3 1 \"Watch the snow\" 10> <G>\n"
      "@5\nScore <l %0>. <O(X%1)>{<g \"The lamp\" 41>} <g \"The map\" 40> <G>\n"
      "@10\n<N %1 \"Take the lamp\" 11> <M \"Leave it\" 12> <G>\n"
      "@11\nEnd <l %0> <G>\n@12\nEnd <G>\n"
      "@20\n<r %0 1>The sky clears. <M \"Follow the star\" 21> <G>\n"
      "@21\n<O(%0 = 3)>{" +
      crowded +
      "} The star. <G>\n"
      "@41\nIt is <l %1>. <r %0 1> <G>\n"
      "@40\n<O(%3 = 1)>{" +
      crowded + "}The map. <G>\n");
  bookc::Diagnostics diagnostics;
  auto book = source.Load(diagnostics);
  ASSERT_NE(book, nullptr);
  const trace::ExploreReport folded = trace::ExploreExactly(book->book(), {11, 12}, 0, true);
  const trace::ExploreReport plain = trace::ExploreExactly(book->book(), {11, 12}, 0, false);
  ExpectSameFigures(folded, plain);
  EXPECT_LT(folded.states, plain.states);
  EXPECT_GT(folded.asides, 0);
  EXPECT_EQ(plain.asides, 0);
  EXPECT_GT(folded.asidesRecalled, 0);
  ASSERT_EQ(folded.messages.count(21), 1u);
  // The map's page overflows only in snow: a page known from one build
  // must not hide what another weather shows.
  ASSERT_EQ(folded.messages.count(40), 1u);
  EXPECT_EQ(*folded.messages.at(21).begin(), "Hotwords structure array overflow");
  // The sky page's sums reach the score's last option before the ending.
  EXPECT_EQ(folded.endings, (std::map<int, int>{{11, 40}, {12, 40}}));
  EXPECT_EQ(folded.reached, (std::set<int>{1, 5, 10, 11, 12, 20, 21, 40, 41}));

  // The way to the best score goes through asides: each of its steps is
  // one a reader takes, from the page the step before led to.
  const std::vector<trace::PathStep>& way = folded.bestPaths.at(11);
  ASSERT_FALSE(way.empty());
  bool throughAnAside = false;
  for (size_t k = 1; k < way.size(); ++k) {
    EXPECT_EQ(way[k].paragraph, way[k - 1].to) << "step " << k;
    throughAnAside |= way[k].kind == trace::PathStep::kReturn;
  }
  EXPECT_TRUE(throughAnAside);
  EXPECT_EQ(way.back().to, 11);
}

}  // namespace
