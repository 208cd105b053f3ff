// Bitmaps on the page: measured for the layout and copied at their own size.
#pragma once

#include <cstdint>

#include "page/page.h"
#include "platform/platform.h"

namespace lanthorn {

// The bitmap's size; a bitmap that cannot be read spans the line up to the
// right margin and has no height.
Size MeasurePicture(Page& page, uint16_t bitmapId);

// Draws the bitmap with its top-left corner at (x, y); returns its width.
int32_t DrawPicture(Page& page, Canvas& canvas, uint16_t bitmapId, int32_t x, int32_t y);

}  // namespace lanthorn
