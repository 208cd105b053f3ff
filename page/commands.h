// The main window's command ids, the menu and the icon bar: the one table of
// each, which the core and every front end use.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lanthorn {

// Menu items, icon-bar buttons and the buttons of the built-in screens.
enum Command : uint16_t {
  kStartAgain = 500,
  kOpenInformation = 501,
  kOpenRestart = 502,
  kOpenObjective = 503,
  kOpenSounds = 504,
  kOpenHints = 506,
  kOpenAbout = 507,
  kOpenCredits = 508,
  kExit = 509,
  kReturn = 510,
  kNext = 511,
  kPrevious = 512,
  kHelp = 513,  // also the details screen's INSTRUCTIONS button
  kSoundCheckBox = 518,
  kSoundsOk = 519,
};

// The page's own controls: input box i is kFirstInputBoxId + i, choice
// button j is kFirstChoiceButtonId + j.
constexpr uint16_t kFirstInputBoxId = 4000;
constexpr uint16_t kFirstChoiceButtonId = 5000;

struct MenuItem {
  const char* text;  // "&" marks the access key
  uint16_t id;
};

// The one menu, "&Menu", in order.
constexpr const char* kMenuTitle = "&Menu";
#define LANTHORN_MENU_ITEM(text, id) {text, id},
constexpr MenuItem kMenu[] = {
#include "page/menu_items.inc"
};
#undef LANTHORN_MENU_ITEM
constexpr Command kMenuCommands[] = {kStartAgain,    kOpenInformation, kOpenRestart,
                                     kOpenObjective, kOpenSounds,      kOpenHints,
                                     kOpenAbout,     kOpenCredits,     kExit};
static_assert(sizeof kMenu / sizeof kMenu[0] == sizeof kMenuCommands / sizeof kMenuCommands[0]);
constexpr bool MenuIdsAreCommands() {
  for (size_t i = 0; i < sizeof kMenu / sizeof kMenu[0]; ++i) {
    if (kMenu[i].id != kMenuCommands[i]) return false;
  }
  return true;
}
static_assert(MenuIdsAreCommands(), "page/menu_items.inc names the menu's commands in this order");

struct IconButton {
  const char* text;    // the button's window text
  const char* spoken;  // its name for assistive technology and its tooltip
  uint16_t id;
  uint16_t face;          // bitmap resource shown while it is enabled
  uint16_t disabledFace;  // and while it is not (0: it is never disabled)
};

// The icon bar, left to right. The last three are disabled while their move
// is not available.
constexpr int kIconBarButtons = 6;
constexpr IconButton kIconBar[kIconBarButtons] = {
    {"?", "Help", kHelp, 1112, 0},
    {"Rstrt", "Going back", kOpenRestart, 1107, 0},
    {"Info", "Information", kOpenInformation, 1108, 0},
    {"Rtrn", "Return", kReturn, 1109, 1113},
    {"Prev", "Previous", kPrevious, 1110, 1114},
    {"Next", "Next", kNext, 1111, 1115},
};
constexpr int kReturnButton = 3;
constexpr int kPreviousButton = 4;
constexpr int kNextButton = 5;

}  // namespace lanthorn
