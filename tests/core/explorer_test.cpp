#include <gtest/gtest.h>

#include "tests/support/session.h"
#include "tools/trace/explorer.h"

namespace {

using testing_support::LoadFixture;
using testing_support::ScratchBook;

TEST(Explorer, ProvesTheFixtureBookWhole) {
  auto book = LoadFixture("crossing");
  const trace::ExploreReport report = trace::Explore(book->book(), {16}, 100000, 2);
  EXPECT_FALSE(report.capped);
  EXPECT_EQ(report.reached, (std::set<int>{1, 2, 3, 10, 11, 12, 13, 14, 15, 16, 20}));
  EXPECT_TRUE(report.notReached.empty());
  EXPECT_TRUE(report.stuck.empty());
  EXPECT_TRUE(report.messages.empty());
  // The best way home takes the prize: score item 2 at 3 (thirty points),
  // and again from the credits page, which the book lacks, so that opened
  // from the menu on page 2 it shows page 2 with its choices, as an aside
  // whose Return keeps what was won there.
  EXPECT_EQ(report.endings, (std::map<int, int>{{16, 50}}));
  EXPECT_GT(report.pageBuilds, 0);
}

TEST(Explorer, FindsWhatIsWrongWithABook) {
  ScratchBook source;
  std::string crowded;
  for (int i = 0; i < 101; ++i) crowded += "<M \"c\" 1>";
  source.Paragraphs(
      "@1\nStart. <d \"Roll\" (50) 2 3> <G>\n"
      "@2\nStuck here. <G>\n"
      "@3\nThe end. <M \"Crowd\" 4> <G>\n"
      "@4\n" +
      crowded +
      "<G>\n"
      "@8\nNever reached. <G>\n");
  bookc::Diagnostics diagnostics;
  auto book = source.Load(diagnostics);
  ASSERT_NE(book, nullptr);
  const trace::ExploreReport report = trace::Explore(book->book(), {3, 8}, 1000);
  EXPECT_EQ(report.stuck, std::set<int>{2});
  EXPECT_EQ(report.notReached, std::set<int>{8});
  EXPECT_EQ(report.endingsNotReached, std::set<int>{8});
  ASSERT_EQ(report.messages.count(4), 1u);
  EXPECT_EQ(*report.messages.at(4).begin(), "Hotwords structure array overflow");

  const trace::ExploreReport capped = trace::Explore(book->book(), {3}, 2);
  EXPECT_TRUE(capped.capped);
  EXPECT_GT(capped.unexplored, 0);
}

}  // namespace
