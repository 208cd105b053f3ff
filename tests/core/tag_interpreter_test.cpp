#include <gtest/gtest.h>

#include <string>

#include "page/tokenizer.h"
#include "shell/reader.h"
#include "tests/support/session.h"

namespace {

using namespace lanthorn;
using testing_support::DescribeDisplayList;
using testing_support::LoadFixture;
using testing_support::TestReader;

// Items: 0 lantern (unlit, lit, guttering), 1 rope, 2 score (0..50), 3 steps
// (a number item), 4 boots. Sounds: 0 BELL_TOLL, 1 WIND_HOWL, 2 ICE_CRACK.
class TagInterpreterTest : public ::testing::Test {
 protected:
  std::string Run(const std::string& text) {
    EmptyDisplayList(r.page);
    Tokenize(r.page, text.c_str());
    return DescribeDisplayList(r);
  }
  const HotwordRecord& Hotword(int i) const { return r.page.hotwords.records[i]; }

  std::unique_ptr<bookc::LoadedBook> book = LoadFixture("crossing");
  TestReader t{book->book()};
  Reader& r = *t.reader;
};

TEST_F(TagInterpreterTest, TheWorkedExample) {
  EXPECT_EQ(Run("<H>Fell<J> <F>Snow <U> <O(%1 = 0)>{falls}<E>{stops} <M \"On\" 5> <G> "),
            "H[Fell] | T[Snow ] | LB | T[falls] | BTN(0)");
  EXPECT_EQ(r.page.hotwords.count, 1);
  EXPECT_EQ(Hotword(0).kind, 'M');
  EXPECT_EQ(Hotword(0).controlId, 5000);
  EXPECT_EQ(Hotword(0).target0, 5);
}

TEST_F(TagInterpreterTest, ConditionChainsShowTheFirstTrueBlock) {
  EXPECT_EQ(Run("<E>{a}b <G> "), "T[b ]");  // no condition yet: the flag starts true
  SetHeld(r.story, 1);
  EXPECT_EQ(Run("<O(X %0)>{a}<o(X %1)>{b}<o(X %1)>{c}<E>{d} <G> "), "T[b]");
  EXPECT_EQ(Run("<O(X %0)>{a}<o(X %4)>{b}<E>{d} <G> "), "T[d]");
  EXPECT_EQ(Run("<O(X %1)>{a} <O(X %0)>{b} c<G> "), "T[ac]");
}

TEST_F(TagInterpreterTest, ImmediateStateChangesAndChoices) {
  Run("<N %1> <R %0 2 > <R %4 -%0> <G> ");
  EXPECT_EQ(Held(r.story, 1), 1);
  EXPECT_EQ(NumericValue(r.story, 0), 2);
  EXPECT_EQ(NumericValue(r.story, 4), 2);
  EXPECT_EQ(r.page.hotwords.count, 0);

  // With a label they only make choices; r adds to the value at build time.
  AssignValue(r.story, 2, 1);
  Run("<Q %1 \"Drop\" 7> <r %2 3 \"Win\" 8> <r %2 -%0 \"Lose\" 9> <R %0 z \"Spin\" 6> <G> ");
  EXPECT_EQ(Held(r.story, 1), 1);
  ASSERT_EQ(r.page.hotwords.count, 4);
  EXPECT_EQ(Hotword(0).kind, 'Q');
  EXPECT_EQ(Hotword(0).index, 1);
  EXPECT_EQ(Hotword(0).target0, 7);
  EXPECT_EQ(Hotword(1).kind, 'R');
  EXPECT_EQ(Hotword(1).value, 4);
  EXPECT_EQ(Hotword(2).value, 0);  // 1 - 2, clamped
  EXPECT_LE(Hotword(3).value, 2);
  AssignValue(r.story, 2, 5);
  EXPECT_EQ(Hotword(1).value, 4);  // kept from the build
}

TEST_F(TagInterpreterTest, ItemStatesShownInTextAndHeadings) {
  AssignValue(r.story, 0, 1);
  AssignValue(r.story, 3, -12);
  EXPECT_EQ(Run("Lamp: <l %0>. Steps:<l %3> <G> "), "T[Lamp: lit. Steps: -12]");
  // Blanks after a tag are dropped in a heading too; a hard blank is kept.
  EXPECT_EQ(Run("<H>The <l %0> lamp<J> <G> "), "H[The litlamp]");
  EXPECT_EQ(Run("<H>The <l %0><a>lamp<J> <G> "), "H[The lit lamp]");
}

TEST_F(TagInterpreterTest, RestartChoicesAppearOnceTheirPointIsReached) {
  EXPECT_EQ(Run("<u *0 \"Bank\">{Back to the bank.}<G> "), "");
  EXPECT_EQ(r.page.hotwords.count, 0);
  r.page.facts.paragraph = 10;  // the page builder sets it from the shown page
  Run("<s *0> <G> ");
  EXPECT_EQ(r.story.state.restartPoints[0].paragraph, 10);
  EXPECT_EQ(Run("<u *0 \"Bank\">{Back to the bank.}<G> "), "BTN(0) | T[ Back to the bank.]");
  EXPECT_EQ(Hotword(0).kind, 'u');
  EXPECT_EQ(Hotword(0).index, 0);
}

TEST_F(TagInterpreterTest, SoundsPlayOnlyWhileTheSoundFlagIsOn) {
  Run("<A 1> <G> ");
  EXPECT_TRUE(t.platform.sounds().empty());
  r.settings.sound = 1;
  Run("<A1> <A 1> <A  1> <A 9> <C> <G> ");
  EXPECT_EQ(t.platform.sounds(),
            (std::vector<std::string>{"WIND_HOWL", "WIND_HOWL", "BELL_TOLL", ""}));
}

TEST_F(TagInterpreterTest, PicturesTargetsAndAlignment) {
  EXPECT_EQ(Run("<V 1><v0><V 30><W 1><W2><n 12><p 3><G> "), "PIC(1708,0) | PIC(1100,1) | AC | AR");
  EXPECT_EQ(r.page.facts.next.kind, kParagraphTarget);
  EXPECT_EQ(r.page.facts.next.value, 12);
  EXPECT_EQ(r.page.facts.previous.value, 3);
}

TEST_F(TagInterpreterTest, TheHundredthChoiceOverflowsTheHotwordTable) {
  std::string page;
  for (int i = 0; i < 101; ++i) page += "<M \"c\" 1>";
  Run(page + "<G> ");
  EXPECT_EQ(r.page.hotwords.count, 100);
  // After the hundredth choice, after the extra one, and after G.
  EXPECT_EQ(t.platform.messages().size(), 3u);
  EXPECT_EQ(t.platform.messages()[0].text, "Hotwords structure array overflow");
  EXPECT_EQ(r.page.buttons.count, 100);
}

}  // namespace
