// The two page fonts, normal (weight 300) and bold (700), of one pixel height
// made from the text point size and the screen's vertical resolution.
#pragma once

#include <cstdint>

#include "page/page.h"
#include "render/render_state.h"

namespace lanthorn {

// The character height in pixels for a point size at a resolution.
int32_t FontPixelHeight(int32_t dotsPerInch, float pointSize);

// Runs at window creation: keeps the client area as the page area, makes the
// icon bar and the fonts. Always succeeds.
int CreateFonts(Page& page, RenderState& render);

void DeleteFonts(Page& page);

}  // namespace lanthorn
