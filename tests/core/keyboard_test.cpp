// Playing a page by the keyboard and the wheel, through the core's key
// handling on the headless window: digits pick choices (scrolling first),
// Tab walks the focus through the page and the icon bar, Enter and Space pick
// the focused button, an empty answer box sends nothing, and the focused
// choice is drawn with its ring.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/headless_app.h"
#include "render/icon_bar.h"
#include "shell/keyboard.h"
#include "shell/startup.h"
#include "tests/support/session.h"

namespace {

using namespace lanthorn;
using testing_support::OpenMainWindow;
using testing_support::ScratchBook;

std::string LongText() {
  std::string text;
  for (int i = 0; i < 12; ++i)
    text += "The snow lies deep on the fell and the wind drives it on. <P>\n";
  return text;
}

class KeyboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    source.Paragraphs("@1\n<Y><H>Choices<J><F>\n<M \"North\" 10> <M \"East\" 11>\n" + LongText() +
                      "<M \"South\" 12> <G>\n"
                      "@2\nA box: <S (lamp) 10 11> <M \"Leave it\" 12> <G>\n"
                      "@10\nTen. <G>\n@11\nEleven. <G>\n@12\nTwelve. <G>\n");
    bookc::Diagnostics diagnostics;
    book = source.Load(diagnostics);
    ASSERT_NE(book, nullptr);
    app = std::make_unique<HeadlessApp>(book->book(), platform);
    OpenMainWindow(*app, platform, 506, 443);
  }
  // Shows a page as a story move; the events below then run as the user's.
  void Open(int16_t page) {
    GoToPage(app->reader(), page, PageMode::kStory);
    platform.RepaintNow();
  }
  // HeadlessApp's events need a started program; these call the core as the
  // front ends do.
  void Press(Key key) {
    const auto focused = platform.controls().find(reinterpret_cast<uintptr_t>(platform.focus()));
    if (focused != platform.controls().end() && focused->second.kind == ControlKind::kEditBox) {
      OnInputBoxKey(app->reader(), focused->second.id, key);
    } else {
      OnKeyDown(app->reader(), key);
    }
  }
  uint16_t FocusedId() const {
    const auto focused = platform.controls().find(reinterpret_cast<uintptr_t>(platform.focus()));
    return focused == platform.controls().end() ? 0 : focused->second.id;
  }
  int16_t Shown() { return app->reader().navigation.shownPage; }
  Key Digit(int n) { return static_cast<Key>(static_cast<int>(Key::kDigit1) + n - 1); }

  ScratchBook source;
  std::unique_ptr<bookc::LoadedBook> book;
  HeadlessPlatform platform;
  std::unique_ptr<HeadlessApp> app;
};

TEST_F(KeyboardTest, DigitsPickTheChoicesInTheOrderTheyStand) {
  Open(2);
  EXPECT_FALSE(OnKeyDown(app->reader(), Digit(4)));  // there are three
  EXPECT_EQ(Shown(), 2);
  EXPECT_TRUE(OnKeyDown(app->reader(), Digit(2)));
  EXPECT_EQ(Shown(), 12);  // "East"

  // The third stands below the window: it is scrolled into view, then picked.
  Open(2);
  const HeadlessControl* south = platform.FindControl(5002);
  ASSERT_NE(south, nullptr);
  EXPECT_FALSE(south->visible);
  // A latch already set keeps the pick from moving, so the scroll shows.
  app->reader().page.facts.choiceLatch = 1;
  EXPECT_TRUE(OnKeyDown(app->reader(), Digit(3)));
  EXPECT_EQ(Shown(), 2);
  south = platform.FindControl(5002);
  EXPECT_TRUE(south->visible);
  EXPECT_LT(app->reader().render.scrollOffset, 0);
  EXPECT_LT(south->y + south->height, app->reader().render.pageArea.bottom);
  app->reader().page.facts.choiceLatch = 0;
  EXPECT_TRUE(OnKeyDown(app->reader(), Digit(3)));
  EXPECT_EQ(Shown(), 13);
}

TEST_F(KeyboardTest, TabWalksThePageAndTheIconBarAndEnterOrSpacePicks) {
  Open(2);
  EXPECT_EQ(FocusedId(), 0);
  Press(Key::kTab);
  EXPECT_EQ(FocusedId(), 5000);
  Press(Key::kTab);
  EXPECT_EQ(FocusedId(), 5001);
  Press(Key::kTab);  // "South", below the window, comes into view
  EXPECT_EQ(FocusedId(), 5002);
  EXPECT_TRUE(platform.FindControl(5002)->visible);
  // Then the icon bar's usable buttons: "?", Restart and Info (a story page
  // has no Return, and this one no Prev or Next); then round again.
  Press(Key::kTab);
  EXPECT_EQ(FocusedId(), kHelp);
  Press(Key::kTab);
  Press(Key::kTab);
  EXPECT_EQ(FocusedId(), kOpenInformation);
  Press(Key::kTab);
  EXPECT_EQ(FocusedId(), 5000);
  Press(Key::kBackTab);
  EXPECT_EQ(FocusedId(), kOpenInformation);
  Press(Key::kBackTab);
  Press(Key::kBackTab);
  Press(Key::kBackTab);
  EXPECT_EQ(FocusedId(), 5002);

  Press(Key::kSpace);
  EXPECT_EQ(Shown(), 13);  // "South"
  Open(2);
  Press(Key::kTab);
  Press(Key::kEnter);
  EXPECT_EQ(Shown(), 11);  // "North"

  // Enter on a focused icon-bar button runs its command.
  Open(2);
  for (int i = 0; i < 5; ++i) Press(Key::kTab);
  ASSERT_EQ(FocusedId(), kOpenRestart);
  Press(Key::kEnter);
  EXPECT_EQ(Shown(), 3);
  EXPECT_EQ(app->reader().navigation.storyMode, 0u);
}

TEST_F(KeyboardTest, AnEmptyAnswerBoxSendsNothing) {
  Open(3);
  ASSERT_EQ(FocusedId(), 4000);  // the painter gives the box the focus
  Press(Key::kEnter);
  EXPECT_EQ(Shown(), 3);
  platform.SetControlText(platform.HandleOf(4000), "   ");
  Press(Key::kEnter);
  EXPECT_EQ(Shown(), 3);
  EXPECT_EQ(app->reader().page.facts.choiceLatch, 0u);
  // Tab in the empty box walks on instead, to the page's choice.
  Press(Key::kTab);
  EXPECT_EQ(FocusedId(), 5000);
  Press(Key::kBackTab);
  EXPECT_EQ(FocusedId(), 4000);
  // Digits typed in a box are the box's; the window never sees them.
  platform.SetControlText(platform.HandleOf(4000), "LAMP");
  EXPECT_FALSE(OnInputBoxKey(app->reader(), 4000, Digit(1)));
  Press(Key::kTab);  // an answer: Tab sends it
  EXPECT_EQ(Shown(), 11);

  Open(3);
  platform.SetControlText(platform.HandleOf(4000), "rope");
  Press(Key::kEnter);
  EXPECT_EQ(Shown(), 12);  // the otherwise way, chosen by a typed answer
}

TEST_F(KeyboardTest, TheWheelScrollsByTheArrowKeysSteps) {
  Open(2);
  Reader& r = app->reader();
  OnWheel(r, -1);
  EXPECT_EQ(r.render.scrollOffset, -16 * kWheelLines);
  OnWheel(r, -2);
  EXPECT_EQ(r.render.scrollOffset, -16 * kWheelLines * 3);
  OnWheel(r, 1);
  EXPECT_EQ(r.render.scrollOffset, -16 * kWheelLines * 2);
  OnWheel(r, 50);  // past the top: the page stops there
  EXPECT_EQ(r.render.scrollOffset, 0);
  EXPECT_EQ(platform.GetScrollInfo().position, 0);
}

// A canvas that keeps what was drawn.
class RecordingCanvas : public Canvas {
 public:
  Size MeasureText(FontHandle, const char*, int32_t length) override { return {7 * length, 16}; }
  void DrawString(FontHandle, const Rect&, const char* text, int32_t length, uint32_t) override {
    texts.emplace_back(text, static_cast<size_t>(length));
  }
  void InvertRect(const Rect&) override {}
  void DrawBitmap(uint16_t, int32_t, int32_t) override {}
  void FrameRect(const Rect& rect) override { frames.push_back(rect); }
  std::vector<std::string> texts;
  std::vector<Rect> frames;
};

TEST_F(KeyboardTest, TheFocusedChoiceIsDrawnWithARing) {
  Open(2);
  RecordingCanvas plain;
  OnDrawItem(app->reader(), plain, 5001, {0, 0, 60, 24}, false);
  EXPECT_EQ(plain.texts, std::vector<std::string>{"East"});
  EXPECT_TRUE(plain.frames.empty());
  RecordingCanvas focused;
  OnDrawItem(app->reader(), focused, 5001, {0, 0, 60, 24}, true);
  EXPECT_EQ(focused.texts, std::vector<std::string>{"East"});
  ASSERT_EQ(focused.frames.size(), 2u);
  EXPECT_EQ(focused.frames[0].left, 2);
  EXPECT_EQ(focused.frames[0].bottom, 22);
  EXPECT_EQ(focused.frames[1].right, 57);
  // Screen buttons and the check box draw themselves.
  RecordingCanvas screen;
  OnDrawItem(app->reader(), screen, kSoundsOk, {0, 0, 60, 24}, true);
  EXPECT_TRUE(screen.frames.empty() && screen.texts.empty());
}

}  // namespace
