#include "render/icon_bar.h"

#include "page/commands.h"

namespace lanthorn {

namespace {

// Button `position` of a bar along the bottom of a client area this size:
// six equal slots, the last one taking what the division leaves.
Rect ButtonRect(int32_t width, int32_t height, int position) {
  const int32_t slot = width / kIconBarButtons;
  const int32_t left = position * slot;
  const int32_t right = position == kIconBarButtons - 1 ? width : left + slot;
  return {left, height - kIconBarHeight, right, height};
}

void SetEnabled(RenderState& render, Platform& platform, int position, bool enabled) {
  ControlHandle button = render.iconBar[position];
  if (button == nullptr || render.iconBarEnabled[position] == enabled) return;
  const IconButton& b = kIconBar[position];
  platform.SetControlFace(button, enabled ? b.face : b.disabledFace);
  platform.EnableControl(button, enabled);
  render.iconBarEnabled[position] = enabled;
}

}  // namespace

void CreateIconBar(RenderState& render, Platform& platform) {
  const Rect client = platform.ClientRect();
  const int32_t width = client.right - client.left;
  const int32_t height = client.bottom - client.top;
  for (int i = 0; i < kIconBarButtons; ++i) {
    const IconButton& b = kIconBar[i];
    const Rect r = ButtonRect(width, height, i);
    const ControlSpec request{ControlKind::kBitmapButton,
                              b.text,
                              r.left,
                              r.top,
                              r.right - r.left,
                              kIconBarHeight,
                              b.id,
                              b.face,
                              b.spoken};
    render.iconBar[i] = platform.CreateControl(request);
    render.iconBarEnabled[i] = true;
  }
  render.iconBarWidth = width;
  render.iconBarHeight = height;
}

void MoveIconBar(RenderState& render, Platform& platform, int32_t width, int32_t height) {
  render.pageArea.right = width;
  render.pageArea.bottom = height - kIconBarHeight;
  if (width == render.iconBarWidth && height == render.iconBarHeight) return;
  for (int i = 0; i < kIconBarButtons; ++i) {
    ControlHandle button = render.iconBar[i];
    if (button == nullptr) continue;
    const Rect r = ButtonRect(width, height, i);
    platform.MoveControl(button, r.left, r.top, r.right - r.left, kIconBarHeight, true);
  }
  render.iconBarWidth = width;
  render.iconBarHeight = height;
}

void UpdateIconBar(RenderState& render, Platform& platform, bool returnEnabled, bool nextEnabled,
                   bool previousEnabled) {
  SetEnabled(render, platform, kReturnButton, returnEnabled);
  SetEnabled(render, platform, kNextButton, nextEnabled);
  SetEnabled(render, platform, kPreviousButton, previousEnabled);
}

}  // namespace lanthorn
