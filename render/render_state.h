// The painter's state: the line being laid out, the scroll position of the
// drawn page and the icon bar's buttons. The pen and the metrics it shares
// with the control makers are the page's geometry.
#pragma once

#include <cstdint>

#include "page/commands.h"
#include "page/page.h"
#include "platform/platform.h"

namespace lanthorn {

constexpr int kIconBarHeight = 25;
constexpr int kPendingSegmentCapacity = 10;
constexpr int kSegmentTextSize = 200;
constexpr int kFitBufferSize = 500;

struct LineSegment {
  uint32_t kind;    // the display-record kind that made it
  uint16_t number;  // characters, bitmap id or control index
  int16_t width;
  const char* text;  // text segments: in the segment text buffer
};

struct RenderState {
  float textPointSize = 16.0f;
  Rect pageArea;  // the client area above the icon bar

  int32_t penX = kLeftMargin;
  int32_t tabUnit = 10;
  int32_t leftMargin = kLeftMargin;
  int16_t alignment;
  uint32_t layoutBold;
  uint32_t drawingBold;

  LineSegment pending[kPendingSegmentCapacity];
  int16_t pendingCount;
  char segmentText[kSegmentTextSize];
  int16_t segmentTextUsed;
  char fitBuffer[kFitBufferSize];

  ControlHandle iconBar[kIconBarButtons];
  // What the bar's buttons were last given, so that a page or a resize that
  // changes nothing about them leaves them alone: each move, face or state
  // set on a window-system button costs a redraw of it.
  int32_t iconBarWidth = -1;  // the client size the bar is laid out for
  int32_t iconBarHeight = -1;
  bool iconBarEnabled[kIconBarButtons] = {};  // all set when the bar is made

  int32_t scrollOffset;  // how far the drawn page is scrolled up (0 or less)
  int32_t lastContentHeight;
  int32_t lastScrollPageSize;
  int32_t pageHeight = 400;
  int32_t scrollPageSize;
  uint32_t repaintRequest;
};

}  // namespace lanthorn
