#include <gtest/gtest.h>

#include <string>

#include "platform/headless/headless_app.h"
#include "render/icon_bar.h"
#include "shell/startup.h"
#include "tests/support/session.h"

namespace {

using namespace lanthorn;
using testing_support::OpenMainWindow;
using testing_support::ScratchBook;

// A reader on a one-page book, past the opening screens, in a client area of
// 506 x 443 (a scroll page of 400). Pages are built from the given mark-up.
class PainterTest : public ::testing::Test {
 protected:
  void Show(const std::string& markup) {
    source.Paragraphs("@1\n" + markup + "\n@2\nSecond <G>\n");
    bookc::Diagnostics diagnostics;
    book = source.Load(diagnostics);
    ASSERT_NE(book, nullptr) << (diagnostics.list().empty() ? "" : Format(diagnostics.list()[0]));
    app.reset();
    platform_ = std::make_unique<HeadlessPlatform>();
    app = std::make_unique<HeadlessApp>(book->book(), *platform_);
    OpenMainWindow(*app, *platform_, 506, 443);
    GoToPage(app->reader(), 2, PageMode::kStory);
    // A paint starts with the line height the previous one left; the
    // reader's first paint is an opening screen, so paint once more.
    platform_->RepaintNow();
  }
  const PaintRecord& paint() const { return platform_->lastPaint(); }
  const DrawnText& TextDrawn(const std::string& text) const {
    for (const DrawnText& t : paint().texts) {
      if (t.text == text) return t;
    }
    ADD_FAILURE() << "nothing drew '" << text << "'";
    static const DrawnText none{};
    return none;
  }

  ScratchBook source;
  std::unique_ptr<bookc::LoadedBook> book;
  std::unique_ptr<HeadlessPlatform> platform_ = std::make_unique<HeadlessPlatform>();
  std::unique_ptr<HeadlessApp> app;
};

// 16-point text at 96 dpi: fonts 21 pixels high, so an 11-pixel wide
// character (12 in bold) and lines 25 pixels high.

TEST_F(PainterTest, TitlesAreInvertedBandsAcrossTheWindow) {
  Show("<Y><H>The Fell<J><F>Snow. <G>");
  const DrawnText& title = TextDrawn("The Fell");
  EXPECT_TRUE(title.bold);
  EXPECT_EQ(title.rect.left, 0);
  EXPECT_EQ(title.rect.right, 506);
  EXPECT_EQ(title.rect.bottom - title.rect.top, 25);
  ASSERT_EQ(paint().inverted.size(), 1u);
  EXPECT_EQ(paint().inverted[0].top, 0);
  EXPECT_EQ(paint().inverted[0].bottom, 25);
  // The text after it starts on the next line, at the left margin.
  const DrawnText& body = TextDrawn("Snow. ");
  EXPECT_EQ(body.rect.left, 24);
  EXPECT_EQ(body.rect.top, 25);
}

TEST_F(PainterTest, TabStopsLieAtMultiplesOfTheTabUnit) {
  // The tab unit is twice the default font's average width of 7.
  Show("<T>a <U>abc<T>b <G>");
  EXPECT_EQ(TextDrawn("a ").rect.left, 28);            // 24 + 4
  EXPECT_EQ(TextDrawn("b ").rect.left, 24 + 33 + 13);  // from 57 to the next stop, 70
}

TEST_F(PainterTest, ACentredPendingLineSitsHalfAMarginLeftOfCentre) {
  Show("<W1><v1><U><W0> <G>");  // a 320-pixel picture alone on a centred line
  ASSERT_EQ(paint().bitmaps.size(), 1u);
  EXPECT_EQ(paint().bitmaps[0].x, 81);  // (482 - 320) / 2
}

TEST_F(PainterTest, LongTextWrapsAndFullLinesAreDrawnAtOnce) {
  std::string words;
  for (int i = 0; i < 12; ++i) words += "abcdefgh ";  // 9 characters, 99 pixels a word
  Show(words + "<G>");
  // 458 pixels between the margins take four words (396) but not five (495).
  const std::string line = "abcdefgh abcdefgh abcdefgh abcdefgh ";
  ASSERT_GE(paint().texts.size(), 3u);
  EXPECT_EQ(paint().texts[0].text, line);
  EXPECT_EQ(paint().texts[0].rect.top, 0);
  EXPECT_EQ(paint().texts[1].rect.top, 26);  // line height + 1
  EXPECT_EQ(paint().texts[2].rect.top, 52);
  EXPECT_EQ(paint().texts[2].text, line);  // the last piece waited in the pending line
}

TEST_F(PainterTest, AWordWiderThanTheLineIsClippedNotWaitedFor) {
  Show(std::string(60, 'w') + " after <G>");
  EXPECT_EQ(TextDrawn(std::string(60, 'w') + " ").rect.right, 482);
  EXPECT_EQ(TextDrawn("after ").rect.top, 26);
}

TEST_F(PainterTest, ScrollRangeFollowsTheContentHeight) {
  Show("<V1><V1><V1><V1><V1> <G>");  // five pictures of 210 pixels: 1,050 of page
  EXPECT_EQ(app->reader().render.pageHeight, 1200);
  Show("a <P>b <P>c <G>");
  EXPECT_EQ(app->reader().render.pageHeight, 399);
}

TEST_F(PainterTest, ControlsBelowThePageAreaAreHidden) {
  Show("<V1><V1> <M \"Below\" 2> <G>");
  const HeadlessControl* below = platform_->FindControl(5000);
  ASSERT_NE(below, nullptr);
  EXPECT_FALSE(below->visible);
  EXPECT_EQ(below->y, 420);

  Show("<M \"Up\" 2> <G>");
  const HeadlessControl* up = platform_->FindControl(5000);
  ASSERT_NE(up, nullptr);
  EXPECT_TRUE(up->visible);
  EXPECT_EQ(up->x, 24);
}

TEST_F(PainterTest, AButtonTooWideForTheRestOfTheLineGoesBelowAnEmptyLine) {
  Show("<M \"" + std::string(38, 'x') + "\" 2> <G>");  // 38 * 11 + 12 = 430 pixels
  EXPECT_EQ(platform_->FindControl(5000)->y, 0);
  Show("<M \"" + std::string(41, 'x') + "\" 2> <G>");  // 463 pixels: wider than 458
  EXPECT_EQ(platform_->FindControl(5000)->y, 16);      // an empty line of the base height
}

TEST_F(PainterTest, TheIconBarFillsSixSlotsAlongTheBottom) {
  Show("a <G>");
  Reader& r = app->reader();
  const int expectedX[] = {0, 84, 168, 252, 336, 420};
  for (int i = 0; i < kIconBarButtons; ++i) {
    const HeadlessControl* c = nullptr;
    for (const auto& [handle, control] : platform_->controls()) {
      if (reinterpret_cast<ControlHandle>(handle) == r.render.iconBar[i]) c = &control;
    }
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->x, expectedX[i]);
    EXPECT_EQ(c->y, 443 - 25);
    EXPECT_EQ(c->width, i == 5 ? 86 : 84);
  }
  EXPECT_EQ(r.render.pageArea.bottom, 418);
  // On a story page without targets Return, Prev and Next are greyed.
  EXPECT_EQ(platform_->FindControl(510)->bitmapId, 1113);
  EXPECT_FALSE(platform_->FindControl(510)->enabled);
  EXPECT_EQ(platform_->FindControl(513)->bitmapId, 1112);
}

}  // namespace
