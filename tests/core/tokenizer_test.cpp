#include <gtest/gtest.h>

#include <string>

#include "page/tokenizer.h"
#include "tests/support/test_book.h"

namespace {

using namespace lanthorn;
using testing_support::DescribeDisplayList;
using testing_support::EmptyBook;
using testing_support::TestReader;

class TokenizerTest : public ::testing::Test {
 protected:
  std::string Run(const std::string& text) {
    EmptyDisplayList(r.page);
    Tokenize(r.page, text.c_str());
    return DescribeDisplayList(r);
  }
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const RecordedMessage& m : t.platform.messages()) texts.push_back(m.text);
    return texts;
  }

  TestReader t{EmptyBook()};
  Reader& r = *t.reader;
};

TEST_F(TokenizerTest, TextIsShownOnlyWhenATagFollowsIt) {
  EXPECT_EQ(Run(""), "");
  EXPECT_EQ(r.page.hotwords.count, 0);
  EXPECT_EQ(Run("plain words alone "), "");
  EXPECT_EQ(Run("a <U> b <G> "), "T[a ] | LB | T[b ]");
}

TEST_F(TokenizerTest, BlanksAfterTagsAndAtTheStartAreDropped) {
  EXPECT_EQ(Run("   lead <P>   after <T> tab <G> "), "T[lead ] | PB | T[after ] | TAB | T[tab ]");
}

TEST_F(TokenizerTest, ATagInsideAWordSplitsItWithoutBlanks) {
  EXPECT_EQ(Run("un<B>bold<D>ed word <G> "), "T[un] | B+ | T[bold] | B- | T[ed word ]");
}

TEST_F(TokenizerTest, AHeadingGathersAcrossTagsIntoOneTitle) {
  EXPECT_EQ(Run("<Y><H>The <a>Cold Fell<J><F> Snow falls. <G> "),
            "H[The  Cold Fell] | T[Snow falls. ]");
  EXPECT_EQ(r.page.tokenizer.titleMode, 0);
}

TEST_F(TokenizerTest, AHardBlankSurvivesTheDroppingOfBlanksAfterTags) {
  EXPECT_EQ(Run("a<a> b <G> "), "T[a b ]");
}

TEST_F(TokenizerTest, BracesNeverReachThePage) {
  // Outside a conditional block the braces are dropped and the blank after
  // "}" goes with them.
  EXPECT_EQ(Run("a {b} c <G> "), "T[a bc ]");
  // Stray closing brackets and braces are harmless.
  EXPECT_EQ(Run("x > y } z <G> "), "T[x  y z ]");
}

TEST_F(TokenizerTest, ConditionalBlocksAreSkippedOrShown) {
  // With no condition before it on the page, an else block is skipped.
  EXPECT_EQ(Run("<E>{hidden} shown <G> "), "T[shown ]");
  // A "<" inside a skipped block does not start a tag.
  EXPECT_EQ(Run("<E>{no <U> break} yes <G> "), "T[yes ]");
}

TEST_F(TokenizerTest, SkipDigitsCarryTheScanPastTheBlocksOwnBrace) {
  EXPECT_EQ(Run("<E>3{ab}cd}ef <G> "), "T[ef ]");
  // A skip distance past the end of the text stops the pass there.
  EXPECT_EQ(Run("<E>9999{ab} lost <G> "), "");
}

TEST_F(TokenizerTest, LongRunsAreFlushedAtABlankButStayOneRecord) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "word" + std::to_string(i) + " ";
  EXPECT_GT(text.size(), 150u);
  EXPECT_EQ(Run(text + "<G> "), "T[" + text + "]");
  EXPECT_TRUE(Messages().empty());
}

// Runs of words are taken whole up to the blank that flushes them: 49 "ab "
// and "abc" make 150 letters, and the blank after them, the 151st, flushes,
// so 290 more letters fit the word. Had that blank been taken into the run
// unflushed, they would overflow it. A title is never flushed at a blank:
// there the same letters overflow.
TEST_F(TokenizerTest, TheBlankThatFlushesALongRunIsNeverTakenPast) {
  std::string run;
  for (int i = 0; i < 49; ++i) run += "ab ";
  run += "abc ";
  const std::string tail(290, 'y');
  EXPECT_EQ(Run(run + tail + " <G> "), "T[" + run + tail + " ]");
  EXPECT_TRUE(Messages().empty());
  Run("<H>" + run + tail + "<J><G> ");
  EXPECT_EQ(Messages(), std::vector<std::string>{"300 is Too many letters in word"});
}

TEST_F(TokenizerTest, AWordOfThreeHundredLettersIsCutAndReportedOnce) {
  const std::string word(320, 'w');
  EXPECT_EQ(Run(word + " <G> "), "T[" + std::string(299, 'w') + "]");
  EXPECT_EQ(Messages(), std::vector<std::string>{"300 is Too many letters in word"});
}

TEST_F(TokenizerTest, ACommandOfFourHundredLettersIsCutAndReportedOnce) {
  Run("<W" + std::string(450, '0') + "1> x <G> ");
  EXPECT_EQ(Messages(), std::vector<std::string>{"400 is Too many letters in command"});
  // 399 letters fill the command exactly: no message, and the tag still acts.
  t.platform.ClearMessages();
  EXPECT_EQ(Run("a<U" + std::string(398, ' ') + "> b <G> "), "T[a] | LB | T[b ]");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(TokenizerTest, AClosingBraceAbandonsATag) {
  // The tag is dropped; what follows the brace is body text and the ">" is
  // ignored.
  EXPECT_EQ(Run("<U}rest> more <G> "), "T[rest more ]");
}

}  // namespace
