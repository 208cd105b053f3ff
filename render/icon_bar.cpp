#include "render/icon_bar.h"

#include "render/render_state.h"
#include "shell/reader.h"

namespace lanthorn {

namespace {

struct IconButton {
  const char* name;    // the window text
  const char* spoken;  // its name for assistive technology and its tooltip
  uint16_t id;
  uint16_t face;
  uint16_t disabledFace;
};

constexpr IconButton kButtons[kIconBarButtons] = {
    {"?", "Help", 513, 1112, 0},          {"Rstrt", "Going back", 502, 1107, 0},
    {"Info", "Information", 501, 1108, 0}, {"Rtrn", "Return", 510, 1109, 1113},
    {"Prev", "Previous", 512, 1110, 1114}, {"Next", "Next", 511, 1111, 1115},
};

void SetEnabled(Reader& reader, int position, bool enabled) {
  ControlHandle button = reader.render.iconBar[position];
  if (button == nullptr) return;
  const IconButton& b = kButtons[position];
  reader.platform.SetControlFace(button, enabled ? b.face : b.disabledFace);
  reader.platform.EnableControl(button, enabled);
}

}  // namespace

void CreateIconBar(Reader& reader) {
  const Rect client = reader.platform.ClientRect();
  const int16_t slot = static_cast<int16_t>((client.right - client.left) / kIconBarButtons);
  const int32_t y = client.bottom - kIconBarHeight;
  for (int i = 0; i < kIconBarButtons; ++i) {
    const IconButton& b = kButtons[i];
    const ControlSpec request{ControlKind::kBitmapButton,
                           b.name,
                           static_cast<int16_t>(client.left + i * slot),
                           y,
                           slot,
                           kIconBarHeight,
                           b.id,
                           b.face,
                           b.spoken};
    reader.render.iconBar[i] = reader.platform.CreateControl(request);
  }
}

void MoveIconBar(Reader& reader, int32_t width, int32_t height) {
  const int32_t slot = width / kIconBarButtons;
  const int32_t y = height - kIconBarHeight;
  reader.render.pageArea.right = width;
  reader.render.pageArea.bottom = y;
  for (int i = 0; i < kIconBarButtons; ++i) {
    ControlHandle button = reader.render.iconBar[i];
    if (button == nullptr) continue;
    const int32_t w = i == kIconBarButtons - 1 ? width - i * slot : slot;
    reader.platform.MoveControl(button, i * slot, y, w, kIconBarHeight, true);
  }
}

void UpdateIconBar(Reader& reader, bool returnEnabled, bool nextEnabled, bool previousEnabled) {
  SetEnabled(reader, 3, returnEnabled);
  SetEnabled(reader, 5, nextEnabled);
  SetEnabled(reader, 4, previousEnabled);
}

}  // namespace lanthorn
