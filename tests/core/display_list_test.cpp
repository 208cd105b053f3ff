#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "book/display_list.h"
#include "tests/support/test_book.h"

namespace {

using namespace lanthorn;
using testing_support::DescribeDisplayList;
using testing_support::EmptyBook;
using testing_support::TestReader;

class DisplayListTest : public ::testing::Test {
 protected:
  TestReader t{EmptyBook()};
  Reader& r = *t.reader;
};

TEST_F(DisplayListTest, RunsOfOneKindMergeAndMarksKeepThemApart) {
  AddText(r, "abc");
  AddText(r, "de");
  EXPECT_EQ(DescribeDisplayList(r), "T[abcde]");
  EXPECT_EQ(r.display.usedLength, 6);

  LineBreak(r);
  AddText(r, "f");
  AddTitle(r, "g");
  AddTitle(r, "h");
  EXPECT_EQ(DescribeDisplayList(r), "T[abcde] | LB | T[f] | H[gh]");
  // Every text occupies its length plus its NUL, one after another.
  EXPECT_EQ(r.display.usedLength, 6 + 2 + 3);
  EXPECT_EQ(r.display.records[2].text, r.display.records[0].text + 6);
}

TEST_F(DisplayListTest, PageTextBufferRefusesARunThatWouldFillIt) {
  AddText(r, std::string(2000, 'a').c_str());
  AddText(r, std::string(686, 'b').c_str());  // brings the used length to 2,687
  EXPECT_TRUE(t.platform.messages().empty());
  EXPECT_EQ(r.display.usedLength, 2687);

  AddText(r, "c");  // would bring it to 2,688
  ASSERT_EQ(t.platform.messages().size(), 1u);
  EXPECT_EQ(t.platform.messages()[0].text, "Page buffer Overflow");
  EXPECT_FALSE(t.platform.messages()[0].hasCaption);
  EXPECT_EQ(r.display.count, 1);
  EXPECT_EQ(strlen(r.display.records[0].text), 2686u);

  // A refused title run adds no record and is not merged anywhere.
  AddTitle(r, "x");
  EXPECT_EQ(r.display.count, 1);
  EXPECT_EQ(t.platform.messages().size(), 2u);
}

TEST_F(DisplayListTest, MarksPicturesAndAlignment) {
  SetAlignment(r, 1);
  BoldOn(r);
  EXPECT_EQ(r.display.boldState, 1u);
  AddPicture(r, 0, 1);
  AddPicture(r, 1, 0);
  AddPictureById(r, 1112);
  BoldOff(r);
  Tab(r);
  ParagraphBreak(r);
  SetAlignment(r, 7);  // not an alignment: no record of an unrelated kind
  AddPicture(r, 21, 0);  // outside the picture table: nothing to show
  EXPECT_EQ(DescribeDisplayList(r),
            "AC | B+ | PIC(1100,1) | PIC(1708,0) | PIC(1112,1) | B- | TAB | PB");
  EXPECT_EQ(r.display.boldState, 0u);
}

TEST_F(DisplayListTest, FlushWordOfAnEmptyBufferOnlyAddsWhereNoTextRunPrecedes) {
  char word[8] = "";
  EXPECT_EQ(FlushWord(r, word), 0);
  EXPECT_EQ(DescribeDisplayList(r), "T[]");

  LineBreak(r);
  char full[8] = "abc";
  EXPECT_EQ(FlushWord(r, full), 3);
  EXPECT_STREQ(full, "");
  EXPECT_EQ(FlushWord(r, full), 0);
  EXPECT_EQ(DescribeDisplayList(r), "T[] | LB | T[abc]");
}

TEST_F(DisplayListTest, AFullListDropsRecordsInsteadOfWritingPastIt) {
  for (int i = 0; i < kDisplayRecordCapacity + 5; ++i) LineBreak(r);
  AddText(r, "lost");
  EXPECT_EQ(r.display.count, kDisplayRecordCapacity);
  EXPECT_EQ(r.display.usedLength, 0);  // the refused run left nothing behind
  ASSERT_EQ(t.platform.messages().size(), 1u);
  EXPECT_EQ(t.platform.messages()[0].text, "400 is Too many display records");

  EmptyDisplayList(r);
  AddText(r, "again");
  EXPECT_EQ(DescribeDisplayList(r), "T[again]");
}

}  // namespace
