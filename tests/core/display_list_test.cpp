#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "page/display_list.h"
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
  AddText(r.page, "abc");
  AddText(r.page, "de");
  EXPECT_EQ(DescribeDisplayList(r), "T[abcde]");
  EXPECT_EQ(r.page.display.usedLength, 6);

  LineBreak(r.page);
  AddText(r.page, "f");
  AddTitle(r.page, "g");
  AddTitle(r.page, "h");
  EXPECT_EQ(DescribeDisplayList(r), "T[abcde] | LB | T[f] | H[gh]");
  // Every text occupies its length plus its NUL, one after another.
  EXPECT_EQ(r.page.display.usedLength, 6 + 2 + 3);
  EXPECT_EQ(r.page.display.records[2].text, r.page.display.records[0].text + 6);
}

TEST_F(DisplayListTest, PageTextBufferRefusesARunThatWouldFillIt) {
  AddText(r.page, std::string(2000, 'a').c_str());
  AddText(r.page, std::string(686, 'b').c_str());  // brings the used length to 2,687
  EXPECT_TRUE(t.platform.messages().empty());
  EXPECT_EQ(r.page.display.usedLength, 2687);

  AddText(r.page, "c");  // would bring it to 2,688
  ASSERT_EQ(t.platform.messages().size(), 1u);
  EXPECT_EQ(t.platform.messages()[0].text, "Page buffer Overflow");
  EXPECT_FALSE(t.platform.messages()[0].hasCaption);
  EXPECT_EQ(r.page.display.count, 1);
  EXPECT_EQ(strlen(r.page.display.records[0].text), 2686u);

  // A refused title run adds no record and is not merged anywhere.
  AddTitle(r.page, "x");
  EXPECT_EQ(r.page.display.count, 1);
  EXPECT_EQ(t.platform.messages().size(), 2u);
}

TEST_F(DisplayListTest, MarksPicturesAndAlignment) {
  SetAlignment(r.page, 1);
  BoldOn(r.page);
  EXPECT_EQ(r.page.display.boldState, 1u);
  AddPicture(r.page, 0, 1);
  AddPicture(r.page, 1, 0);
  AddPictureById(r.page, 1112);
  BoldOff(r.page);
  Tab(r.page);
  ParagraphBreak(r.page);
  SetAlignment(r.page, 7);    // not an alignment: no record of an unrelated kind
  AddPicture(r.page, 21, 0);  // outside the picture table: nothing to show
  EXPECT_EQ(DescribeDisplayList(r),
            "AC | B+ | PIC(1100,1) | PIC(1708,0) | PIC(1112,1) | B- | TAB | PB");
  EXPECT_EQ(r.page.display.boldState, 0u);
}

TEST_F(DisplayListTest, FlushWordOfAnEmptyBufferOnlyAddsWhereNoTextRunPrecedes) {
  char word[8] = "";
  EXPECT_EQ(FlushWord(r.page, word), 0);
  EXPECT_EQ(DescribeDisplayList(r), "T[]");

  LineBreak(r.page);
  char full[8] = "abc";
  EXPECT_EQ(FlushWord(r.page, full), 3);
  EXPECT_STREQ(full, "");
  EXPECT_EQ(FlushWord(r.page, full), 0);
  EXPECT_EQ(DescribeDisplayList(r), "T[] | LB | T[abc]");
}

TEST_F(DisplayListTest, AFullListDropsRecordsInsteadOfWritingPastIt) {
  for (int i = 0; i < kDisplayRecordCapacity + 5; ++i) LineBreak(r.page);
  AddText(r.page, "lost");
  EXPECT_EQ(r.page.display.count, kDisplayRecordCapacity);
  EXPECT_EQ(r.page.display.usedLength, 0);  // the refused run left nothing behind
  ASSERT_EQ(t.platform.messages().size(), 1u);
  EXPECT_EQ(t.platform.messages()[0].text, "400 is Too many display records");

  EmptyDisplayList(r.page);
  AddText(r.page, "again");
  EXPECT_EQ(DescribeDisplayList(r), "T[again]");
}

}  // namespace
