#include "render/icon_bar.h"

#include "page/commands.h"

namespace lanthorn {

namespace {

void SetEnabled(RenderState& render, Platform& platform, int position, bool enabled) {
  ControlHandle button = render.iconBar[position];
  if (button == nullptr) return;
  const IconButton& b = kIconBar[position];
  platform.SetControlFace(button, enabled ? b.face : b.disabledFace);
  platform.EnableControl(button, enabled);
}

}  // namespace

void CreateIconBar(RenderState& render, Platform& platform) {
  const Rect client = platform.ClientRect();
  const int16_t slot = static_cast<int16_t>((client.right - client.left) / kIconBarButtons);
  const int32_t y = client.bottom - kIconBarHeight;
  for (int i = 0; i < kIconBarButtons; ++i) {
    const IconButton& b = kIconBar[i];
    const ControlSpec request{ControlKind::kBitmapButton,
                              b.text,
                              static_cast<int16_t>(client.left + i * slot),
                              y,
                              slot,
                              kIconBarHeight,
                              b.id,
                              b.face,
                              b.spoken};
    render.iconBar[i] = platform.CreateControl(request);
  }
}

void MoveIconBar(RenderState& render, Platform& platform, int32_t width, int32_t height) {
  const int32_t slot = width / kIconBarButtons;
  const int32_t y = height - kIconBarHeight;
  render.pageArea.right = width;
  render.pageArea.bottom = y;
  for (int i = 0; i < kIconBarButtons; ++i) {
    ControlHandle button = render.iconBar[i];
    if (button == nullptr) continue;
    const int32_t w = i == kIconBarButtons - 1 ? width - i * slot : slot;
    platform.MoveControl(button, i * slot, y, w, kIconBarHeight, true);
  }
}

void UpdateIconBar(RenderState& render, Platform& platform, bool returnEnabled, bool nextEnabled,
                   bool previousEnabled) {
  SetEnabled(render, platform, kReturnButton, returnEnabled);
  SetEnabled(render, platform, kNextButton, nextEnabled);
  SetEnabled(render, platform, kPreviousButton, previousEnabled);
}

}  // namespace lanthorn
