// The book compiled into the reader holds together: it compiles without a
// warning, the explorer reaches every paragraph and ending with no page left
// stuck and no limit message, and the best way it finds plays, on the
// compiled-in tables, to the best ending with all 400 points.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "shell/reader.h"
#include "tests/support/session.h"
#include "tools/trace/explorer.h"
#include "tools/trace/walkthrough.h"

namespace {

using namespace lanthorn;
using testing_support::Session;

// The state of the generator whose next draw makes the chance choice lead
// to paragraph `to`.
uint32_t RandomStateFor(const HotwordRecord& h, int to) {
  for (uint32_t state = 0; state < 1000000; ++state) {
    const uint32_t next = state * 214013u + 2531011u;
    const int draw = static_cast<int>((next >> 16) & 0x7FFF);
    int target = 0;
    if (h.kind == 'L') {
      target = draw % 20 + 1 > static_cast<int16_t>(h.value) ? h.target1 : h.target0;
    } else {
      const int roll = draw % 100 + 1;
      target = roll <= h.value   ? h.target0
               : roll <= h.band2 ? h.target2
               : roll <= h.band3 ? h.target3
                                 : h.target1;
    }
    if (target == to) return state;
  }
  ADD_FAILURE() << "no roll leads to " << to;
  return 0;
}

// book/PLAN.md's explorer figures are what `make walkthroughs` writes from
// this same exploration (`--cap 400000`): a change to the book that moves a
// figure fails here until they are written again. (Checked within IsWholeAsPlanStates,
// since each test of this suite explores the book afresh.)
void ExpectPlanStates(const trace::ExploreReport& explored) {
  std::ifstream file(LANTHORN_BOOK_DIR "/../PLAN.md", std::ios::binary);
  ASSERT_TRUE(file) << "book/PLAN.md";
  std::stringstream text;
  text << file.rdbuf();
  const std::string plan = text.str();
  const size_t begin = plan.find(trace::kFiguresBegin);
  const size_t end = plan.find(trace::kFiguresEnd);
  ASSERT_NE(begin, std::string::npos);
  ASSERT_NE(end, std::string::npos);
  const std::string stated = plan.substr(begin, end - begin);
  const std::string run = "`lanthorn-trace --explore --book book/data --cap 400000`";
  ASSERT_NE(stated.find(run), std::string::npos)
      << "the figures come from another exploration than " << run;
  const std::string figures = trace::FiguresBlock(explored, run);
  EXPECT_EQ(stated, figures.substr(0, figures.find(trace::kFiguresEnd)))
      << "book/PLAN.md's explorer figures differ from the explorer's: run make walkthroughs";
}

class TheBook : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    bookc::Diagnostics diagnostics;
    source = bookc::LoadBook(LANTHORN_BOOK_DIR, diagnostics).release();
    for (const bookc::Diagnostic& d : diagnostics.list()) problems += bookc::Format(d) + "\n";
    if (source != nullptr) {
      report =
          new trace::ExploreReport(trace::Explore(source->book(), source->model().endings, 400000));
    }
  }
  static void TearDownTestSuite() {
    delete report;
    delete source;
  }
  static bookc::LoadedBook* source;
  static trace::ExploreReport* report;
  static std::string problems;
};

bookc::LoadedBook* TheBook::source = nullptr;
trace::ExploreReport* TheBook::report = nullptr;
std::string TheBook::problems;

TEST_F(TheBook, CompilesWithoutAWarning) {
  ASSERT_NE(source, nullptr) << problems;
  EXPECT_EQ(problems, "");
}

TEST_F(TheBook, IsWholeAsPlanStates) {
  ASSERT_NE(report, nullptr);
  EXPECT_EQ(report->reached.size(), 348u);  // every paragraph with text (144, 193, 194, 195, 202,
                                            // 241, 272, 283 and 285 are free)
  EXPECT_TRUE(report->notReached.empty());
  EXPECT_TRUE(report->stuck.empty());
  EXPECT_TRUE(report->endingsNotReached.empty());
  EXPECT_TRUE(report->messages.empty());
  ASSERT_EQ(report->endings.count(360), 1u);
  EXPECT_EQ(report->endings.at(360), 400);
  ExpectPlanStates(*report);
}

TEST_F(TheBook, TheBestWayPlaysToTheBestEndingAndBackToARestartPoint) {
  ASSERT_NE(report, nullptr);
  ASSERT_EQ(report->bestPaths.count(360), 1u);
  Session s(CompiledBook());
  Reader& r = *s.reader;
  s.Open(2);
  int rolls = 0;
  int answers = 0;
  for (const trace::PathStep& step : report->bestPaths.at(360)) {
    ASSERT_EQ(r.navigation.shownPage - 1, step.paragraph);
    switch (step.kind) {
      case trace::PathStep::kChoose: s.Click(s.Choice(step.label)); break;
      case trace::PathStep::kRoll: {
        const uint16_t id = s.Choice(step.label);
        for (int h = 0; h < r.page.hotwords.count; ++h) {
          if (r.page.hotwords.records[h].controlId == id) {
            r.story.random = {true, RandomStateFor(r.page.hotwords.records[h], step.to)};
          }
        }
        s.Click(id);
        ++rolls;
        break;
      }
      case trace::PathStep::kType:
        s.Type(kFirstInputBoxId, step.answer);
        ++answers;
        break;
      case trace::PathStep::kInformation: GoToPage(r, 6, PageMode::kAside); break;
      case trace::PathStep::kReturn: ReturnToStory(r); break;
      case trace::PathStep::kOpenItem: FAIL() << "the book has its own information page";
      case trace::PathStep::kMenu:
        GoToPage(r, static_cast<int16_t>(step.to + 1), PageMode::kAside);
        break;
    }
    ASSERT_EQ(r.navigation.shownPage - 1, step.to) << "from paragraph " << step.paragraph;
  }
  EXPECT_EQ(r.navigation.readingPosition, 361);
  EXPECT_STREQ(OptionText(r.story, 36), "400");
  EXPECT_GT(rolls, 0);
  EXPECT_GT(answers, 0);
  int reached = 0;
  for (const RestartPointState& point : r.story.state.restartPoints) reached += point.reached;
  EXPECT_GE(reached, 10);

  // Back to the first restart point: the story as it stood when that page
  // was last built (after the logbook was taken: 20 points).
  GoToPage(r, 3, PageMode::kAside);
  ASSERT_FALSE(s.Choices().empty());
  s.Click(s.Choice(s.Choices().front()));
  EXPECT_EQ(r.navigation.readingPosition, r.story.state.restartPoints[0].paragraph + 1);
  EXPECT_EQ(r.navigation.storyMode, 1u);
  EXPECT_STREQ(OptionText(r.story, 36), "20");
  EXPECT_EQ(Held(r.story, 51), 1);  // the logbook
}

}  // namespace
