// The main window's event handling: the front ends deliver the window
// system's events here, and the core turns them into the reader's actions.
//
// The edit boxes of the page follow one rule: each front end hands Tab,
// Shift+Tab, Enter, Up and Down in input box id to OnInputBoxKey
// (shell/keyboard.h), which sends OnCommand(id, kEditEntered) for an answer
// and scrolls for the arrows; a key it uses is not passed on to the box.
#pragma once

#include <cstdint>

#include "page/commands.h"
#include "platform/platform.h"

namespace lanthorn {

struct Reader;

enum class Key : uint8_t {
  kPageUp,
  kPageDown,
  kEnd,
  kHome,
  kUp,
  kDown,
  kTab,
  kBackTab,  // Shift+Tab
  kEnter,
  kSpace,
  kDigit1,  // kDigit1 + n - 1 is the digit n, up to 9
  kDigit9 = kDigit1 + 8,
  kOther,
};

// The requests of a vertical scroll bar, with Win32's values.
enum ScrollRequest : uint16_t {
  kLineUp = 0,
  kLineDown = 1,
  kPageUp = 2,
  kPageDown = 3,
  kThumbPosition = 4,
  kThumbTrack = 5,
  kTop = 6,
  kBottom = 7,
  kEndScroll = 8,
};

constexpr int kAnswerBufferSize = 200;

struct WindowState {
  char answer[kAnswerBufferSize];  // the text last entered in an input box
};

// Window creation: fonts and icon bar. Returns 0 to go on, -1 to stop.
int OnCreate(Reader& reader, WindowHandle window);
void OnDestroy(Reader& reader);
void OnSize(Reader& reader, int32_t clientWidth, int32_t clientHeight);
// Keeps a proposed window rectangle within 200..400 wide and 200 high.
void OnSizing(Rect* proposed);
// Builds the page a move asked for, if there is one, and saves the place. A
// paint does it first; a front end may do it earlier, before its window is
// shown, so the page's controls are made and set while nothing is drawn.
void BuildDuePage(Reader& reader);
void OnPaint(Reader& reader, Canvas& canvas);
// Draws the face of owner-drawn choice button (id >= 5000) into its rectangle,
// with a focus ring when it has the keyboard focus.
void OnDrawItem(Reader& reader, Canvas& canvas, uint16_t controlId, const Rect& item, bool focused);
// A key in the main window or on one of its buttons: the six scrolling keys,
// and the keys that play the page (shell/keyboard.h). Returns true when the
// key was used; the front end then gives it no default handling.
bool OnKeyDown(Reader& reader, Key key);
void OnCommand(Reader& reader, uint16_t id, uint16_t notification);
void OnTimer(Reader& reader, uint32_t id);
void OnVerticalScroll(Reader& reader, uint16_t request);
// Scrolls the page to a scroll position (clamped to the range).
void ScrollPageTo(Reader& reader, int32_t position);

// Opens the page of the inventory item whose button has this id.
void OpenItemPage(Reader& reader, uint16_t id);

}  // namespace lanthorn
