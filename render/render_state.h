// The painter's state and the window metrics that the control makers share
// with it.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace lanthorn {

constexpr int kLeftMargin = 24;
constexpr int kIconBarHeight = 25;
constexpr int kPendingSegmentCapacity = 10;
constexpr int kSegmentTextSize = 200;
constexpr int kFitBufferSize = 500;

struct LineSegment {
  uint32_t kind;     // the display-record kind that made it
  uint16_t number;   // characters, bitmap id or control index
  int16_t width;
  const char* text;  // text segments: in the segment text buffer
};

struct RenderState {
  float textPointSize = 16.0f;
  FontHandle normalFont;
  FontHandle boldFont;
  Rect clientRect;  // the client rectangle as it was after creation
  Rect pageArea;    // the client area above the icon bar

  int32_t penX = kLeftMargin;
  int32_t penY;
  int32_t lineHeight;
  int32_t baseLineHeight;
  int32_t averageCharWidth;
  int32_t tabUnit = 10;
  int32_t leftMargin = kLeftMargin;
  int32_t rightMargin = kLeftMargin;
  int16_t alignment;
  uint32_t layoutBold;
  uint32_t drawingBold;

  LineSegment pending[kPendingSegmentCapacity];
  int16_t pendingCount;
  char segmentText[kSegmentTextSize];
  int16_t segmentTextUsed;
  char fitBuffer[kFitBufferSize];

  ControlHandle iconBar[6];

  int32_t lastContentHeight;
  int32_t lastScrollPageSize;
  int32_t pageHeight = 400;
  int32_t scrollPageSize;
  uint32_t repaintRequest;
};

}  // namespace lanthorn
