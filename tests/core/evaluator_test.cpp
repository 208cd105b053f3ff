#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "shell/reader.h"
#include "story/evaluator.h"
#include "story/story_state.h"
#include "tests/support/session.h"

namespace {

using namespace lanthorn;
using testing_support::LoadFixture;
using testing_support::TestReader;

class EvaluatorTest : public ::testing::Test {
 protected:
  // Items: 0 lantern, 1 rope, 2 score, 3 steps (number), 4 boots.
  void SetUp() override {
    SetHeld(r.story, 0);  // lantern held, value 2
    AssignValue(r.story, 0, 2);
    AssignValue(r.story, 4, 2);   // boots not held, value 2
    AssignValue(r.story, 3, -5);  // steps: -5
  }
  int Eval(const std::string& tag) {
    snprintf(r.page.tokenizer.command, sizeof r.page.tokenizer.command, "%s", tag.c_str());
    return EvaluateCondition(r.story, r.page.tokenizer.command);
  }
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const RecordedMessage& m : t.platform.messages()) texts.push_back(m.text);
    return texts;
  }

  std::unique_ptr<bookc::LoadedBook> book = LoadFixture("crossing");
  TestReader t{book->book()};
  Reader& r = *t.reader;
};

TEST_F(EvaluatorTest, HeldAndComparisons) {
  EXPECT_EQ(Eval("O(X %0)"), 1);
  EXPECT_EQ(Eval("O(X %4)"), 0);
  EXPECT_EQ(Eval("O!(X %4)"), 1);
  EXPECT_EQ(Eval("O(%1 = 0)"), 1);  // never set
  EXPECT_EQ(Eval("O(%4 y 3)"), 1);
  EXPECT_EQ(Eval("O(%4 y 2)"), 0);
  EXPECT_EQ(Eval("O(%4 x 1)"), 1);
  EXPECT_EQ(Eval("O(%4 x 2)"), 0);
  EXPECT_EQ(Eval("O(%0 = %4)"), 1);
  EXPECT_EQ(Eval("O(%3 y 0)"), 1);  // a number item compares signed
  EXPECT_TRUE(Messages().empty());
}

TEST_F(EvaluatorTest, AndOrGoLeftToRightWithoutPrecedence) {
  EXPECT_EQ(Eval("O(X %0) | (X %1) & (X %4)"), 0);  // (held | _) & not held
  EXPECT_EQ(Eval("O(X %4) & (X %0) | (X %0)"), 1);  // (false & _) | held
  EXPECT_EQ(Eval("O((X %0) | (X %1)) & (X %0)"), 1);
  EXPECT_EQ(Eval("O(X %0) & (%4 = 2) & !(X %1)"), 1);
  EXPECT_EQ(Eval("O(X %1) | !(X %0) | !(X %4)"), 1);
  EXPECT_EQ(Eval("O(X%0)&(%4=2)&!(X%1)"), 1);  // blanks or none
  EXPECT_EQ(Eval("O  (  X  %0  )  "), 1);
}

TEST_F(EvaluatorTest, TheShortCircuitSkipsTheNextGroupUnread) {
  // The skipped group would overflow the operand stack if it were read.
  const std::string deep = "((((((((((((X %0))))))))))))";
  EXPECT_EQ(Eval("O(X %4) & " + deep), 0);
  EXPECT_EQ(Eval("O(X %0) | " + deep), 1);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(EvaluatorTest, LiteralsWrapAtSixteenBits) {
  AssignValue(r.story, 3, -1);
  EXPECT_EQ(Eval("O(%3 = 65535)"), 1);  // 65535 reads as -1
  EXPECT_EQ(Eval("O(%4 = 65538)"), 1);  // wraps to 2
  EXPECT_EQ(Eval("O(%4 x 40000)"), 1);  // 40000 is negative
}

TEST_F(EvaluatorTest, StackOverflowIsReportedAndEvaluationCompletes) {
  // Ten item references outside any comparison fill the operand stack.
  EXPECT_EQ(Eval("O(%1 %1 %1 %1 %1 %1 %1 %1 %1 %1)"), 1);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Operands stack overflow"});

  t.platform.ClearMessages();
  Eval("O(%1 %1 %1 %1 %1 %1 %1 %1 %1 %1 %1 %1 %1)");  // pushes beyond the stack
  EXPECT_EQ(Messages().size(), 4u);

  t.platform.ClearMessages();
  Eval("O!!!!!!!!!!!!(X %0)");
  ASSERT_FALSE(Messages().empty());
  EXPECT_EQ(Messages()[0], "Operators stack overflow");

  t.platform.ClearMessages();
  EXPECT_EQ(Eval("O(X)"), 1);  // the empty pop yields item number 0, which is held
  EXPECT_EQ(Messages(), std::vector<std::string>{"Can't remove an operand from an empty stack!"});
}

TEST_F(EvaluatorTest, NumbersOutsideTheGrammarUseTheScratchOperand) {
  EXPECT_EQ(Eval("O"), 0);
  EXPECT_EQ(Eval("O7"), 7);  // into the scratch operand, which is never cleared
  EXPECT_EQ(Eval("O"), 7);
  EXPECT_EQ(Eval("O(X %99)"), 0);  // an item beyond the table reads as not held
}

}  // namespace
