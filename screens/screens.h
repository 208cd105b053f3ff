// The pages the reader builds by code instead of from mark-up: the opening
// sequence, the help screen, the introduction, the inventory, the information
// screen and the Sounds screen. Each appends display records (and buttons) to
// the emptied display list like a paragraph would.
#pragma once

#include <cstdint>

namespace lanthorn {

struct Reader;

constexpr uint32_t kOpeningTimer = 1;
constexpr uint32_t kOpeningTimerMilliseconds = 2000;
constexpr uint16_t kNoInventoryButton = 65535;
constexpr uint16_t kSoundCheckBoxId = 518;
constexpr uint16_t kSoundsOkId = 519;
constexpr uint16_t kInstructionsId = 513;

struct ScreensState {
  uint16_t inventoryButtons[52];  // control id of each item's button, or 65535
  int16_t soundCheckBoxIndex;     // in the button table
};

// Builds the screen of the screen number and moves the number on.
void ScreenDispatcher(Reader& reader);
void BuildIntroductionScreen(Reader& reader);
void BuildInventoryScreen(Reader& reader);
void BuildInformationScreen(Reader& reader);
void BuildSoundsScreen(Reader& reader);

}  // namespace lanthorn
