// The main window's event handling: the front ends deliver the window
// system's events here, and the core turns them into the reader's actions.
//
// The edit boxes of the page follow one rule that each front end implements:
// Tab or Enter in input box id sends OnCommand(id, kEditEntered) and is not
// passed on; Up and Down arrows send OnVerticalScroll(kLineUp / kLineDown).
#pragma once

#include <cstdint>

#include "page/commands.h"
#include "platform/platform.h"

namespace lanthorn {

struct Reader;

enum class Key : uint8_t { kPageUp, kPageDown, kEnd, kHome, kUp, kDown, kOther };

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
void OnPaint(Reader& reader, Canvas& canvas);
// Draws the face of owner-drawn choice button (id >= 5000) into its rectangle.
void OnDrawItem(Reader& reader, Canvas& canvas, uint16_t controlId, const Rect& item);
// Returns true when the key was one of the six scrolling keys.
bool OnKeyDown(Reader& reader, Key key);
void OnCommand(Reader& reader, uint16_t id, uint16_t notification);
void OnTimer(Reader& reader, uint32_t id);
void OnVerticalScroll(Reader& reader, uint16_t request);

// Opens the page of the inventory item whose button has this id.
void OpenItemPage(Reader& reader, uint16_t id);

}  // namespace lanthorn
