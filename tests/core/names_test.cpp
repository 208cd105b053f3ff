// What assistive technology is told: every control's name in words (a
// choice's label, a picture choice's description, the icon bar's words while
// its window texts stay as they are) and the page's text in reading order.
#include <gtest/gtest.h>

#include <string>

#include "platform/headless/headless_app.h"
#include "shell/page_text.h"
#include "shell/startup.h"
#include "tests/support/session.h"

namespace {

using namespace lanthorn;
using testing_support::MinimalBookToml;
using testing_support::OpenMainWindow;
using testing_support::ScratchBook;

class NamesTest : public ::testing::Test {
 protected:
  void Show(const std::string& paragraphs) {
    std::string toml = MinimalBookToml();
    const std::string dusk = "bitmap = 1708\n";
    toml.replace(toml.find(dusk), dusk.size(), dusk + "description = \"The fell at dusk\"\n");
    source.Write("book.toml", toml);
    source.Paragraphs(paragraphs);
    bookc::Diagnostics diagnostics;
    book = source.Load(diagnostics);
    ASSERT_NE(book, nullptr);
    app = std::make_unique<HeadlessApp>(book->book(), platform);
    OpenMainWindow(*app, platform, 506, 443);
    GoToPage(app->reader(), 2, PageMode::kStory);
  }
  std::string Text(int32_t size = 4096) {
    std::string text(static_cast<size_t>(size), '#');
    const int32_t length = PageText(app->reader(), text.data(), size);
    EXPECT_EQ(text[static_cast<size_t>(length)], '\0');
    text.resize(static_cast<size_t>(length));
    return text;
  }

  ScratchBook source;
  std::unique_ptr<bookc::LoadedBook> book;
  HeadlessPlatform platform;
  std::unique_ptr<HeadlessApp> app;
};

TEST_F(NamesTest, ControlsAreNamedInWords) {
  Show(
      "@1\n<Y><H>The Fell<J><F>Snow lies. <M \"Go north\" 10> <M $1 11> <M $0 11> "
      "<S (lamp) 10 11> <G>\n@10\nTen <G>\n@11\nEleven <G>\n");
  const HeadlessControl* north = platform.FindControl(5000);
  ASSERT_NE(north, nullptr);
  EXPECT_EQ(north->text, "");  // the face is drawn by the core
  EXPECT_EQ(north->name, "Go north");
  EXPECT_EQ(north->kind, ControlKind::kChoiceButton);
  const HeadlessControl* dusk = platform.FindControl(5001);
  ASSERT_NE(dusk, nullptr);
  EXPECT_EQ(dusk->kind, ControlKind::kPictureButton);  // no border
  EXPECT_EQ(dusk->name, "The fell at dusk");
  EXPECT_EQ(platform.FindControl(5002)->name, "");  // the book says nothing of picture 0
  EXPECT_EQ(platform.FindControl(4000)->name, "Answer");

  const std::pair<uint16_t, std::pair<const char*, const char*>> bar[] = {
      {513, {"?", "Help"}},      {502, {"Rstrt", "Going back"}}, {501, {"Info", "Information"}},
      {510, {"Rtrn", "Return"}}, {512, {"Prev", "Previous"}},    {511, {"Next", "Next"}},
  };
  for (const auto& [id, texts] : bar) {
    const HeadlessControl* button = platform.FindControl(id);
    ASSERT_NE(button, nullptr) << id;
    EXPECT_EQ(button->text, texts.first) << id;
    EXPECT_EQ(button->name, texts.second) << id;
  }
  EXPECT_STREQ(ControlName(app->reader(), 5001), "The fell at dusk");
  EXPECT_EQ(ControlName(app->reader(), 5009), nullptr);
  EXPECT_EQ(ControlName(app->reader(), 4001), nullptr);
}

TEST_F(NamesTest, ThePageReadsInOrderAndIsCutToItsBuffer) {
  Show(
      "@1\n<Y><H>The Fell<J><F><V1>Snow lies deep. <P>The wind <B>drives <D>it on.<U>"
      "<M \"Go north\" 10> <M \"Go home\" 11> <G>\n@10\nTen <G>\n@11\nEleven <G>\n");
  EXPECT_EQ(Text(),
            "The Fell\nThe fell at dusk\nSnow lies deep.\n\nThe wind drives it on.\n"
            "Go north\nGo home\n");
  EXPECT_EQ(Text(9), "The Fell");
  EXPECT_EQ(Text(1), "");
}

}  // namespace
