#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/test_book.h"
#include "tools/bookc/book_graph.h"

namespace {

using testing_support::MinimalBookToml;
using testing_support::ScratchBook;

std::string Dot(const bookc::LoadedBook& loaded) {
  std::ostringstream out;
  bookc::WriteDot(bookc::MakeBookGraph(loaded.book(), loaded.model().endings), out);
  return out.str();
}

std::string DotOf(ScratchBook& book) {
  bookc::Diagnostics diagnostics;
  const auto loaded = book.Load(diagnostics);
  EXPECT_NE(loaded, nullptr);
  return loaded == nullptr ? "" : Dot(*loaded);
}

// The whole map of the crossing fixture: every kind of way and mark.
TEST(BookGraph, CrossingFixture) {
  bookc::Diagnostics diagnostics;
  const auto loaded = bookc::LoadBook(LANTHORN_FIXTURES_DIR "/crossing", diagnostics);
  ASSERT_NE(loaded, nullptr);
  std::ifstream expected(LANTHORN_BOOKC_TESTS_DIR "/crossing.dot");
  std::ostringstream text;
  text << expected.rdbuf();
  EXPECT_EQ(Dot(*loaded), text.str());
}

TEST(BookGraph, TitlesFromTheHeadingOrTheFirstWords) {
  ScratchBook book;
  book.Write("book.toml", MinimalBookToml());
  book.Paragraphs(
      "@1\n<Y><H>The <B>Old<D><a>Road<J> Body. <M \"On\" 2> <G>\n"
      "@2\nNo heading here, only \"quoted\" words that run on and on. <G>\n"
      "@9\n<G>\n");
  const std::string dot = DotOf(book);
  EXPECT_NE(dot.find("p1 [label=\"1: The Old Road\"];"), std::string::npos) << dot;
  EXPECT_NE(dot.find("p2 [label=\"2: No heading here, only \\\"quoted\\\" words...\"];"),
            std::string::npos)
      << dot;
  // A paragraph with only tags has no title; nothing reaches it. The menu's
  // pages (paragraph 2 here) are reached without a choice.
  EXPECT_NE(dot.find("p2 [label=\"2: No"), std::string::npos) << dot;
  EXPECT_EQ(dot.find("p2 [label=\"2: No heading here, only \\\"quoted\\\" words...\", color=red"),
            std::string::npos);
  EXPECT_NE(dot.find("p9 [label=\"9: \", color=red, fontcolor=red];"), std::string::npos) << dot;
}

TEST(BookGraph, RollBandsAsTheReaderKeepsThem) {
  ScratchBook book;
  book.Write("book.toml", MinimalBookToml());
  // The second band adds nothing, so no roll falls in it; the bands fill
  // 100, so nothing is left for the last target.
  book.Paragraphs(
      "@1\n<d \"Roll\" (60) 8 (0) 9 (40) 10 11> <L \"Climb\" (20) 8 9> <G>\n"
      "@8\nA <G>\n@9\nB <G>\n@10\nC <G>\n@11\nD <G>\n");
  const std::string dot = DotOf(book);
  EXPECT_NE(dot.find("p1 -> p8 [label=\"Roll\\nroll 1-60 of 100\", style=dashed"),
            std::string::npos)
      << dot;
  EXPECT_EQ(dot.find("p1 -> p9 [label=\"Roll"), std::string::npos) << dot;
  EXPECT_NE(dot.find("p1 -> p10 [label=\"Roll\\nroll 61-100 of 100\""), std::string::npos) << dot;
  EXPECT_EQ(dot.find("p1 -> p11"), std::string::npos) << dot;
  EXPECT_NE(dot.find("p1 -> p8 [label=\"Climb\\nroll 1-20 of 20\""), std::string::npos) << dot;
  EXPECT_EQ(dot.find("p1 -> p9 [label=\"Climb"), std::string::npos) << dot;
  // Paragraph 11 has text but no roll leads there.
  EXPECT_NE(dot.find("p11 [label=\"11: D\", color=red, fontcolor=red];"), std::string::npos) << dot;
}

TEST(BookGraph, RestartChoicesLeadWhereTheirPointIsMarked) {
  ScratchBook book;
  book.Write("book.toml", MinimalBookToml());
  book.Paragraphs(
      "@1\n<M \"On\" 7> <N %0 $0 8> <G>\n@2\n<u *0 \"Back\">{x} <u *1 \"Never\">{y} <G>\n"
      "@7\n<s *0>Camp. <g \"Look\" 8> <n 8> <G>\n@8\nEnd. <p 7> <G>\n");
  const std::string dot = DotOf(book);
  EXPECT_NE(dot.find("p7 [label=\"7: Camp.\\nrestart point 0\", shape=octagon];"),
            std::string::npos)
      << dot;
  EXPECT_NE(dot.find("p2 -> p7 [label=\"restart: Back\", style=dashed, color=purple"),
            std::string::npos)
      << dot;
  EXPECT_EQ(dot.find("restart: Never"), std::string::npos) << dot;  // no tag marks point 1
  EXPECT_NE(dot.find("p1 -> p8 [label=\"picture 0\"];"), std::string::npos) << dot;
  EXPECT_NE(dot.find("p7 -> p8 [label=\"Look (aside)\"];"), std::string::npos) << dot;
  EXPECT_NE(dot.find("p7 -> p8 [label=\"Next\", color=gray];"), std::string::npos) << dot;
  EXPECT_NE(dot.find("p8 -> p7 [label=\"Prev\", color=gray];"), std::string::npos) << dot;
}

}  // namespace
