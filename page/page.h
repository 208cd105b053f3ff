// The page layer's context: the page being built (its display list, its
// tokenizer, its choices and controls), the facts it states about itself,
// and the geometry its controls are made in. It works on the story below it
// and asks the platform for controls and sounds.
#pragma once

#include <cstdint>

#include "page/controls.h"
#include "page/display_list.h"
#include "page/tokenizer.h"
#include "platform/platform.h"
#include "story/choices.h"
#include "story/settings.h"
#include "story/story_state.h"

namespace lanthorn {

constexpr int kLeftMargin = 24;

// Where the page's Next and Prev buttons lead: nowhere, a paragraph, or a
// built-in screen.
enum TargetKind : uint32_t { kNoTarget = 0, kParagraphTarget = 1, kScreenTarget = 2 };

struct Target {
  uint32_t kind;
  int16_t value;
};

// What a page says about itself while it is built; the page builder clears
// it before each page.
struct PageFacts {
  int16_t paragraph;  // the paragraph shown, which marks restart points
  Target next;
  Target previous;
  uint32_t choiceLatch;      // set by the first choice picked on the page
  uint32_t inventoryScreen;  // the page is the inventory: its buttons open item pages
  uint32_t soundsScreen;     // the page is the Sounds screen
};

// The layout's pen and the metrics the control makers share with it:
// controls are made at the pen while the page is built, and the layout then
// places them.
struct PageGeometry {
  Rect clientRect;  // the client rectangle as it was after creation
  FontHandle normalFont;
  FontHandle boldFont;
  int32_t averageCharWidth;
  int32_t baseLineHeight;
  int32_t rightMargin = kLeftMargin;
  int32_t penY;
  int32_t lineHeight;
};

struct Page {
  Page(Story& theStory, const Settings& theSettings, Platform& thePlatform)
      : story(theStory), settings(theSettings), platform(thePlatform) {}
  Page(const Page&) = delete;
  Page& operator=(const Page&) = delete;

  Story& story;
  const Settings& settings;
  Platform& platform;
  WindowHandle window = nullptr;  // the main window, owner of the page's controls

  DisplayList display{};
  TokenizerState tokenizer{};
  HotwordTable hotwords{};
  ButtonTable buttons{};
  InputBoxTable inputBoxes{};
  PageGeometry geometry{};
  PageFacts facts{};
};

// Starts a new page showing this paragraph: the previous page's controls are
// destroyed, and its display list, choices and facts emptied.
void ClearPage(Page& page, int16_t paragraph);

void SetNextPage(PageFacts& facts, int16_t paragraph);
void SetPreviousPage(PageFacts& facts, int16_t paragraph);
void SetPreviousScreen(PageFacts& facts, int32_t screen);

}  // namespace lanthorn
