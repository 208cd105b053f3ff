#include "page/commands.h"
#include "page/page.h"
#include "screens/screens.h"

namespace lanthorn {

void BuildSoundsScreen(Page& page, ScreensState& screens) {
  for (int i = 0; i < 3; ++i) LineBreak(page);
  SetAlignment(page, 1);
  PageGeometry& geometry = page.geometry;
  geometry.lineHeight += 4;

  ButtonTable& buttons = page.buttons;
  if (buttons.count >= kButtonCapacity) return;
  const int16_t index = buttons.count;
  ButtonRecord& box = buttons.records[index];
  box.x = geometry.clientRect.left;
  box.y = static_cast<uint16_t>(geometry.clientRect.top + geometry.penY);
  box.width = static_cast<uint16_t>(14 * geometry.averageCharWidth);
  box.height = static_cast<uint16_t>(geometry.lineHeight);
  box.labelLength = 0;
  box.label[0] = '\0';
  box.bold = 0;
  box.bitmapId = 0;
  box.id = kSoundCheckBox;
  const ControlSpec request{ControlKind::kCheckBox, "Sound", box.x,  box.y, box.width, box.height,
                            kSoundCheckBox,         0,       "Sound"};
  ControlHandle handle = page.platform.CreateControl(request);
  buttons.handles[index] = handle;
  buttons.handles[index + 1] = nullptr;
  if (handle == nullptr) {
    page.platform.ShowMessageBox(nullptr, "Could not create button", "No Memory", kMessageBoxOk);
    page.platform.PostClose();
    return;
  }
  page.platform.ShowControl(handle, true);
  AddControlRecord(page, kButtonRecord, static_cast<uint16_t>(index));
  page.platform.SetCheck(handle, page.settings.sound != 0);
  screens.soundCheckBoxIndex = index;
  ++buttons.count;

  for (int i = 0; i < 6; ++i) LineBreak(page);
  MakeTextButton(page, "Ok", kSoundsOk);
  LineBreak(page);
  SetAlignment(page, 0);
  page.facts.soundsScreen = 1;
}

}  // namespace lanthorn
