#include <gtest/gtest.h>

#include <set>

#include "shell/reader.h"
#include "story/story_state.h"
#include "tests/support/session.h"

namespace {

using namespace lanthorn;
using testing_support::LoadFixture;
using testing_support::TestReader;

// Items of the fixture: 0 lantern (3 options), 1 rope (none), 2 score
// (6 options), 3 steps (a number item), 4 boots (5 options).
class StoryStateTest : public ::testing::Test {
 protected:
  int32_t Assign(int32_t item, int32_t number, bool adding = false) {
    return ComputeAssignment(r.story, item, {AssignmentOperand::kNumber, number, false}, adding);
  }

  std::unique_ptr<bookc::LoadedBook> book = LoadFixture("crossing");
  TestReader t{book->book()};
  Reader& r = *t.reader;
};

TEST_F(StoryStateTest, AssignmentsAreClampedToTheOptionList) {
  EXPECT_EQ(Held(r.story, 4), 0);
  EXPECT_STREQ(OptionText(r.story, 4), "dry");
  EXPECT_EQ(Assign(4, 9), 4);
  EXPECT_EQ(Assign(4, -3), 0);
  EXPECT_EQ(Assign(1, 7), 0);      // no options: always the minimum
  EXPECT_EQ(Assign(4, 65538), 2);  // the tags use the low 16 bits

  AssignValue(r.story, 2, 2);
  EXPECT_EQ(Assign(2, -4, true), 0);
  AssignValue(r.story, 2, 5);
  EXPECT_EQ(Assign(2, 2, true), 5);
  EXPECT_STREQ(OptionText(r.story, 2), "50");
}

TEST_F(StoryStateTest, OperandsFromOtherItemsAndRandomDraws) {
  AssignValue(r.story, 2, 1);
  AssignValue(r.story, 4, 3);
  const AssignmentOperand negatedBoots{AssignmentOperand::kItemValue, 4, true};
  EXPECT_EQ(ComputeAssignment(r.story, 2, negatedBoots, false), 3);  // R: assigned unnegated
  AssignValue(r.story, 2, 5);
  EXPECT_EQ(ComputeAssignment(r.story, 2, negatedBoots, true), 2);  // r: subtracted

  std::set<int32_t> seen;
  for (int i = 0; i < 200; ++i) {
    seen.insert(ComputeAssignment(r.story, 0, {AssignmentOperand::kRandom, 0, false}, false));
  }
  EXPECT_EQ(seen, (std::set<int32_t>{0, 1, 2}));
}

TEST_F(StoryStateTest, ANumberItemHoldsSixteenBitsInItsTwoBytes) {
  AssignValue(r.story, 3, -300);
  EXPECT_EQ(NumericValue(r.story, 3), -300);
  EXPECT_EQ(r.story.state.items[3].held, 0xD4);  // low byte of 0xFED4
  EXPECT_EQ(r.story.state.items[3].value, 0xFE);
  AssignValue(r.story, 0, 258);  // a text item keeps the low 8 bits
  EXPECT_EQ(NumericValue(r.story, 0), 2);
}

TEST_F(StoryStateTest, SnapshotsRestoreItemsAndClearingKeepsThem) {
  SetHeld(r.story, 1);
  AssignValue(r.story, 0, 1);
  MarkRestartPoint(r.story, 1, 44);
  EXPECT_EQ(r.story.state.restartPoints[1].reached, 1);
  EXPECT_EQ(r.story.state.restartPoints[1].paragraph, 44);

  ClearHeld(r.story, 1);
  SetHeld(r.story, 4);
  AssignValue(r.story, 0, 2);
  RestoreSnapshot(r.story, 1);
  EXPECT_EQ(Held(r.story, 1), 1);
  EXPECT_EQ(Held(r.story, 4), 0);
  EXPECT_EQ(NumericValue(r.story, 0), 1);

  ClearStoryItems(r.story);
  ClearRestartPoints(r.story);
  EXPECT_EQ(Held(r.story, 1), 0);
  EXPECT_EQ(r.story.state.restartPoints[1].reached, 0);
  EXPECT_EQ(r.story.state.snapshots[1][1].held, 1);  // kept until marked again
}

TEST_F(StoryStateTest, NumbersOutsideTheTablesReadNothingAndWriteNowhere) {
  for (int32_t item : {-1, 52, 1000, -32768}) {
    SetHeld(r.story, item);
    AssignValue(r.story, item, 3);
    EXPECT_EQ(Held(r.story, item), 0);
    EXPECT_EQ(NumericValue(r.story, item), 0);
    EXPECT_STREQ(OptionText(r.story, item), "");
    EXPECT_EQ(OptionPicture(r.story, item), -1);
  }
  MarkRestartPoint(r.story, 14, 5);
  RestoreSnapshot(r.story, -1);
  for (const ItemState& item : r.story.state.items) EXPECT_EQ(item.held + item.value, 0);

  r.story.state.items[0].value = 200;  // as a damaged save file may leave it
  EXPECT_STREQ(OptionText(r.story, 0), "");
}

}  // namespace
