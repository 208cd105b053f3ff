// Playing by the keyboard and the wheel, the same on every front end: keys 1
// to 9 pick the page's first to ninth choice; Tab and Shift+Tab walk the focus
// through the page's buttons, check boxes and input boxes (in the order they
// stand) and then the icon bar's usable buttons; Enter and Space pick the
// focused button; Enter or Tab in an input box sends its answer, unless the
// box is empty (Tab then walks on); the wheel scrolls by the arrow keys' steps.
// The front ends only turn their own key and wheel events into these calls.
#pragma once

#include <cstdint>

#include "shell/main_window.h"

namespace lanthorn {

struct Reader;

// Arrow-key steps of one notch of the wheel (the system's usual three lines).
constexpr int kWheelLines = 3;

// Picks choice button `number` (1 = the first) of the page, in the order the
// buttons stand, after scrolling it into view. False when there is none.
bool PickChoice(Reader& reader, int number);

// Moves the focus to the next control (or the previous one), scrolling a
// page control into view. From the window itself, Tab goes to the first.
void MoveFocus(Reader& reader, bool forward);

// Enter or Space: picks the focused page button or icon-bar button (a check
// box turns over). False when no control of the page or bar has the focus.
bool PickFocused(Reader& reader);

// Tab, Shift+Tab, Enter, Up and Down in input box `id`; true when the key was
// used (the box then does not see it).
bool OnInputBoxKey(Reader& reader, uint16_t id, Key key);

// Scrolls by whole notches of the wheel: positive towards the top.
void OnWheel(Reader& reader, int32_t notches);

}  // namespace lanthorn
