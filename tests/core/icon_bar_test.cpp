// The icon bar's buttons are window-system controls, and every move, face or
// state given to one redraws it: the bar is made where it will stay, and a
// resize or a page that changes nothing about it leaves it alone.
#include <gtest/gtest.h>

#include <string>

#include "platform/headless/headless_app.h"
#include "render/icon_bar.h"
#include "shell/navigation.h"
#include "shell/startup.h"
#include "tests/support/session.h"

namespace {

using namespace lanthorn;
using testing_support::OpenMainWindow;
using testing_support::ScratchBook;

class CountingPlatform : public HeadlessPlatform {
 public:
  void MoveControl(ControlHandle control, int32_t x, int32_t y, int32_t width, int32_t height,
                   bool repaint) override {
    ++moves;
    HeadlessPlatform::MoveControl(control, x, y, width, height, repaint);
  }
  void EnableControl(ControlHandle control, bool enabled) override {
    ++stateChanges;
    HeadlessPlatform::EnableControl(control, enabled);
  }
  void SetControlFace(ControlHandle control, uint16_t bitmapId) override {
    ++faceChanges;
    HeadlessPlatform::SetControlFace(control, bitmapId);
  }
  int moves = 0;
  int stateChanges = 0;
  int faceChanges = 0;
};

class IconBarTest : public ::testing::Test {
 protected:
  // Paragraphs 2 and 3 offer Next only, paragraph 4 Previous only.
  void SetUp() override {
    source.Paragraphs(
        "@1\nOpening <G>\n@2\nTwo <n 3> <G>\n@3\nThree <n 4> <G>\n@4\nFour <p 3> <G>\n");
    bookc::Diagnostics diagnostics;
    book = source.Load(diagnostics);
    ASSERT_NE(book, nullptr) << (diagnostics.list().empty() ? ""
                                                            : Format(diagnostics.list().back()));
    app = std::make_unique<HeadlessApp>(book->book(), platform);
    OpenMainWindow(*app, platform, 509, 443);  // 509 = 6 * 84 + 5: the last slot is 89 wide
  }
  void Show(int16_t paragraph) {
    GoToPage(app->reader(), static_cast<int16_t>(paragraph + 1),
             PageMode::kStory);  // page n+1 shows paragraph n
    platform.RepaintNow();
  }
  const HeadlessControl& Button(int position) {
    const HeadlessControl* button = platform.FindControl(kIconBar[position].id);
    EXPECT_NE(button, nullptr) << "no icon-bar button " << position;
    static const HeadlessControl none{};
    return button != nullptr ? *button : none;
  }

  ScratchBook source;
  std::unique_ptr<bookc::LoadedBook> book;
  CountingPlatform platform;
  std::unique_ptr<HeadlessApp> app;
};

TEST_F(IconBarTest, TheBarIsMadeWhereItStaysAndOnlyANewSizeMovesIt) {
  // Made in its final places: the size the window had when it was made
  // needs no move.
  EXPECT_EQ(platform.moves, 0);
  for (int i = 0; i < kIconBarButtons; ++i) {
    EXPECT_EQ(Button(i).x, 84 * i);
    EXPECT_EQ(Button(i).y, 443 - kIconBarHeight);
    EXPECT_EQ(Button(i).width, i == kIconBarButtons - 1 ? 89 : 84);
  }
  OnSize(app->reader(), 509, 443);  // shown at the size it already has
  EXPECT_EQ(platform.moves, 0);

  OnSize(app->reader(), 400, 300);
  EXPECT_EQ(platform.moves, kIconBarButtons);
  EXPECT_EQ(Button(5).x, 330);
  EXPECT_EQ(Button(5).width, 70);
  EXPECT_EQ(Button(5).y, 300 - kIconBarHeight);
  EXPECT_EQ(app->reader().render.pageArea.bottom, 300 - kIconBarHeight);
  EXPECT_EQ(app->reader().render.pageArea.right, 400);
}

TEST_F(IconBarTest, APageTurnSetsOnlyTheButtonsWhoseMoveChanged) {
  Show(2);  // Return and Previous are greyed, Next is offered
  EXPECT_EQ(platform.stateChanges, 2);
  EXPECT_EQ(platform.faceChanges, 2);
  EXPECT_FALSE(Button(kPreviousButton).enabled);
  EXPECT_EQ(Button(kPreviousButton).bitmapId, kIconBar[kPreviousButton].disabledFace);
  EXPECT_TRUE(Button(kNextButton).enabled);

  Show(3);  // the same moves: nothing to set
  EXPECT_EQ(platform.stateChanges, 2);
  EXPECT_EQ(platform.faceChanges, 2);

  Show(4);  // Next goes, Previous comes
  EXPECT_EQ(platform.stateChanges, 4);
  EXPECT_EQ(platform.faceChanges, 4);
  EXPECT_TRUE(Button(kPreviousButton).enabled);
  EXPECT_EQ(Button(kPreviousButton).bitmapId, kIconBar[kPreviousButton].face);
  EXPECT_FALSE(Button(kNextButton).enabled);
  EXPECT_EQ(Button(kNextButton).bitmapId, kIconBar[kNextButton].disabledFace);
}

}  // namespace
