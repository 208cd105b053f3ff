// The pages the reader builds by code instead of from mark-up: the opening
// sequence, the help screen, the introduction, the inventory, the information
// screen and the Sounds screen. Each appends display records (and buttons) to
// the emptied display list like a paragraph would.
#pragma once

#include <cstdint>

#include "book/book_tables.h"
#include "page/page.h"

namespace lanthorn {

// Built-in screens.
enum Screen : int32_t {
  kNoScreen = 0,
  kDetailsScreen = 1,
  kTitleScreen = 2,
  kPresentsScreen = 3,
  kHelpScreen = 4,
  kInformationScreen = 6,
  kSoundsScreen = 7,
};

constexpr uint32_t kOpeningTimer = 1;
constexpr uint32_t kOpeningTimerMilliseconds = 2000;
constexpr uint16_t kNoInventoryButton = 65535;

struct ScreensState {
  uint16_t inventoryButtons[kItemCount];  // control id of each item's button, or 65535
  int16_t soundCheckBoxIndex;             // in the button table
};

// Builds a screen and returns the screen to build at the next rebuild: the
// opening screens lead on to each other, the others to none.
int32_t ScreenDispatcher(Page& page, ScreensState& screens, int32_t screen);
void BuildIntroductionScreen(Page& page);
void BuildInventoryScreen(Page& page, ScreensState& screens);
void BuildInformationScreen(Page& page);
void BuildSoundsScreen(Page& page, ScreensState& screens);

}  // namespace lanthorn
