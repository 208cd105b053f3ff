// The painter: every paint lays the page's display list out line by line
// between the margins and draws it, places the page's controls and sets the
// scroll range. The page is built before it is painted.
#pragma once

#include <cstdint>

#include "page/page.h"
#include "platform/platform.h"
#include "render/render_state.h"

namespace lanthorn {

void PaintPage(Page& page, RenderState& render, Canvas& canvas);

// Fits the longest prefix of text that ends after a blank (or the whole text)
// into width pixels. On success writes it to out (NUL-terminated), sets width
// to its width, raises lineHeight to its height and returns its length;
// returns 0 and changes nothing when not even one word fits.
int32_t FitText(const Page& page, const RenderState& render, Canvas& canvas, char* out,
                const char* text, int32_t* lineHeight, int32_t* width, bool title);

// Draws the pending line at pen y and places its controls.
void FlushLine(Page& page, RenderState& render, Canvas& canvas);

}  // namespace lanthorn
