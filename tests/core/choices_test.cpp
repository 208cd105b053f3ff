#include <gtest/gtest.h>

#include <string>

#include "page/tokenizer.h"
#include "shell/reader.h"
#include "story/choices.h"
#include "tests/support/session.h"

namespace {

using namespace lanthorn;
using testing_support::LoadFixture;
using testing_support::Session;

// The first draw of the generator seeded from `ticks`, computed here from the
// generator's definition rather than through the reader.
int FirstDraw(uint32_t ticks) {
  const uint32_t state = (ticks / 60u) * 214013u + 2531011u;
  return static_cast<int>((state >> 16) & 0x7FFF);
}

// A tick count whose first draw gives this roll of a die of `sides`.
uint32_t TicksForRoll(int roll, int sides) {
  for (uint32_t ticks = 0;; ticks += 60) {
    if (FirstDraw(ticks) % sides + 1 == roll) return ticks;
  }
}

// The base metrics a page rebuild reads from the headless default font.
void UseDefaultFontMetrics(Reader& r) {
  r.page.geometry.averageCharWidth = 7;
  r.page.geometry.baseLineHeight = 16;
}

class ChoicesTest : public ::testing::Test {
 protected:
  // Builds a page from mark-up on a fresh reader and returns it.
  Session& Page(const std::string& markup, uint32_t ticks = 0) {
    session = std::make_unique<Session>(book->book());
    session->platform.SetTickCount(ticks);
    Reader& r = *session->reader;
    r.navigation.screenNumber = kNoScreen;
    UseDefaultFontMetrics(r);
    snprintf(r.paragraph.text, sizeof r.paragraph.text, "%s", markup.c_str());
    EmptyDisplayList(r.page);
    Tokenize(r.page, r.paragraph.text);
    return *session;
  }
  int16_t Landed() const { return session->reader->navigation.shownPage; }

  std::unique_ptr<bookc::LoadedBook> book = LoadFixture("crossing");
  std::unique_ptr<Session> session;
};

TEST_F(ChoicesTest, TheGeneratorIsSeededOnceFromTheTickCount) {
  Session& s = Page("<G> ", 0);
  EXPECT_EQ(RandomDraw(s.reader->story.random, s.reader->platform), 38);  // seed 0
  EXPECT_EQ(RandomDraw(s.reader->story.random, s.reader->platform), 7719);
  Session& t = Page("<G> ", 60);
  EXPECT_EQ(RandomDraw(t.reader->story.random, t.reader->platform), 41);  // seed 1
}

TEST_F(ChoicesTest, PercentileBandsAtTheirBorders) {
  const std::string page = "<d \"Jump\" (40) 13 (30) 14 (20) 15 16> <G> ";
  const std::pair<int, int> expected[] = {{1, 14},  {40, 14}, {41, 15}, {70, 15},
                                          {71, 16}, {90, 16}, {91, 17}, {100, 17}};
  for (const auto& [roll, page_] : expected) {
    Session& s = Page(page, TicksForRoll(roll, 100));
    EXPECT_EQ(s.reader->page.hotwords.records[0].band2, 70);
    EXPECT_EQ(s.reader->page.hotwords.records[0].band3, 90);
    s.Click(5000);
    EXPECT_EQ(Landed(), page_) << "roll " << roll;
  }
  // With one band, every roll above it leads to the last target.
  Session& s = Page("<d \"Jump\" (40) 13 16> <G> ", TicksForRoll(95, 100));
  s.Click(5000);
  EXPECT_EQ(Landed(), 17);
}

TEST_F(ChoicesTest, TwentySidedRollsAgainstAThreshold) {
  for (const auto& [roll, page_] : {std::pair{1, 12}, {12, 12}, {13, 13}, {20, 13}}) {
    Session& s = Page("<L \"Climb\" (12) 11 12> <G> ", TicksForRoll(roll, 20));
    s.Click(5000);
    EXPECT_EQ(Landed(), page_) << "roll " << roll;
  }
}

TEST_F(ChoicesTest, AnswersCompareWithoutBlanksOrCase) {
  EXPECT_EQ(CompareAnswer("Red  Door", "reddoor"), 0);
  EXPECT_NE(CompareAnswer("reddoors", "Red Door"), 0);
  EXPECT_EQ(CompareAnswer("", "   "), 0);
  EXPECT_NE(CompareAnswer("", "x"), 0);
  EXPECT_NE(CompareAnswer("x", nullptr), 0);

  const std::string page = "<S (lantern) 13 (boots) 14 (red door) 15 16> <G> ";
  for (const auto& [typed, page_] : {std::pair<std::string, int>{"LANTERN", 14},
                                     {"boo ts", 15},
                                     {"Red Door", 16},
                                     {"reddoor", 16},
                                     {"rope", 17},
                                     {"", 17},
                                     {"   ", 17}}) {
    Session& s = Page(page);
    s.Type(4000, typed);
    EXPECT_EQ(Landed(), page_) << "typed '" << typed << "'";
  }
}

TEST_F(ChoicesTest, InputBoxesTakeTheLongestAnswersLength) {
  Session& s = Page("<S (lamp) 1 2> <S (abcdef) 1 (abcdefgh) 2 (abcdefghi) 3 4> <G> ");
  const Reader& r = *s.reader;
  ASSERT_EQ(r.page.inputBoxes.count, 2);
  EXPECT_EQ(r.page.inputBoxes.records[0].maximumLength, 4);
  EXPECT_EQ(r.page.inputBoxes.records[1].maximumLength, 9);
  EXPECT_EQ(r.page.hotwords.records[1].controlId, 4001);
  EXPECT_EQ(s.platform.FindControl(4000)->textLimit, 4);
  EXPECT_FALSE(s.platform.FindControl(4000)->visible);  // until the painter places it
  // Seven pixels a character, twice over, and two more.
  EXPECT_EQ(r.page.inputBoxes.records[0].width, 7 * 4 * 2 + 2);
  EXPECT_EQ(r.page.inputBoxes.records[0].height, 24);

  // A box wider than the client area is cut to its width.
  Session narrow(book->book());
  narrow.reader->page.geometry.clientRect = {0, 0, 200, 300};
  UseDefaultFontMetrics(*narrow.reader);
  Tokenize(narrow.reader->page, "<S (abcdefghijklmnopqrs) 1 2> <G> ");
  EXPECT_EQ(narrow.reader->page.inputBoxes.records[0].width, 200);
}

TEST_F(ChoicesTest, ButtonsAreNumberedMeasuredAndKeepTheBoldState) {
  const std::string longLabel(250, 'x');
  Session& s = Page("<M \"a\" 1> <B><M \"b\" 1><D> <M \"" + longLabel + "\" 1> <G> ");
  const Reader& r = *s.reader;
  ASSERT_EQ(r.page.buttons.count, 3);
  EXPECT_EQ(r.page.hotwords.records[2].controlId, 5002);
  EXPECT_EQ(r.page.buttons.records[0].bold, 0);
  EXPECT_EQ(r.page.buttons.records[1].bold, 1);
  EXPECT_EQ(std::string(r.page.buttons.records[2].label), std::string(199, 'x'));
  EXPECT_EQ(r.page.buttons.records[2].labelLength, 199);
  // No page font made: seven pixels a character, at least three.
  EXPECT_EQ(r.page.buttons.records[0].width, 7 + 12);
  EXPECT_EQ(r.page.buttons.records[0].height, 16 + 4);
}

TEST_F(ChoicesTest, AOneLetterLabelIsAtLeastThreePixelsWide) {
  Session s(book->book());
  Reader& r = *s.reader;
  r.page.geometry.normalFont = s.platform.CreatePageFont(1, 300);  // one pixel a letter
  r.navigation.screenNumber = kNoScreen;
  Tokenize(r.page, "<M \"a\" 1> <G> ");
  EXPECT_EQ(r.page.buttons.records[0].width, 3 + 12);
}

TEST_F(ChoicesTest, AButtonThatCannotBeMadeClosesTheProgram) {
  Session s(book->book());
  s.platform.FailNextControl(ControlKind::kChoiceButton);
  Tokenize(s.reader->page, "<M \"a\" 1> <G> ");
  ASSERT_EQ(s.platform.messages().size(), 1u);
  EXPECT_EQ(s.platform.messages()[0].text, "Could not create button");
  EXPECT_EQ(s.platform.messages()[0].caption, " Error 8");
  EXPECT_TRUE(s.platform.closeRequested());
  EXPECT_EQ(s.reader->page.display.count, 1);  // its record is still there

  Session e(book->book());
  e.platform.FailNextControl(ControlKind::kEditBox);
  Tokenize(e.reader->page, "<S (a) 1 2> <G> ");
  ASSERT_EQ(e.platform.messages().size(), 1u);
  EXPECT_EQ(e.platform.messages()[0].text, "Null Edit Box");
  EXPECT_EQ(e.platform.messages()[0].caption, "Bad Edit Box");
  EXPECT_EQ(e.reader->page.hotwords.records[0].controlId, 4000);
}

TEST_F(ChoicesTest, APickMatchingNoChoiceDoesNothing) {
  Session& s = Page("<M \"a\" 12> <M \"b\" 13> <G> ");
  s.reader->page.hotwords.records[1].controlId = 5000;  // two records, one id
  s.Click(5001);
  EXPECT_EQ(Landed(), 2);
  s.reader->page.facts.choiceLatch = 0;
  s.Click(5000);
  EXPECT_EQ(Landed(), 13);  // the first record acts
}

}  // namespace
