// The icon bar: six bitmap buttons along the bottom of the main window (help,
// restart page, information page, Return, Prev, Next). The last three show a
// greyed face and do not respond when their move is not available.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "render/render_state.h"

namespace lanthorn {

void CreateIconBar(RenderState& render, Platform& platform);
// Lays the bar along the bottom of a client area of this size; the page area
// is what lies above it.
void MoveIconBar(RenderState& render, Platform& platform, int32_t width, int32_t height);
void UpdateIconBar(RenderState& render, Platform& platform, bool returnEnabled, bool nextEnabled,
                   bool previousEnabled);

}  // namespace lanthorn
