#include "book/display_list.h"
#include "screens/screens.h"
#include "shell/reader.h"
#include "shell/save_record.h"
#include "story/controls.h"

namespace lanthorn {

void BuildSoundsScreen(Reader& reader) {
  for (int i = 0; i < 3; ++i) LineBreak(reader);
  SetAlignment(reader, 1);
  RenderState& render = reader.render;
  render.lineHeight += 4;

  ButtonTable& buttons = reader.buttons;
  if (buttons.count >= kButtonCapacity) return;
  const int16_t index = buttons.count;
  ButtonRecord& box = buttons.records[index];
  box.x = render.clientRect.left;
  box.y = static_cast<uint16_t>(render.clientRect.top + render.penY);
  box.width = static_cast<uint16_t>(14 * render.averageCharWidth);
  box.height = static_cast<uint16_t>(render.lineHeight);
  box.labelLength = 0;
  box.label[0] = '\0';
  box.bold = 0;
  box.bitmapId = 0;
  box.id = kSoundCheckBoxId;
  const ControlSpec request{ControlKind::kCheckBox, "Sound", box.x, box.y,
                         box.width, box.height, kSoundCheckBoxId, 0, "Sound"};
  ControlHandle handle = reader.platform.CreateControl(request);
  buttons.handles[index] = handle;
  buttons.handles[index + 1] = nullptr;
  if (handle == nullptr) {
    reader.platform.ShowMessageBox(nullptr, "Could not create button", "No Memory",
                                   kMessageBoxOk);
    reader.platform.PostClose();
    return;
  }
  reader.platform.ShowControl(handle, true);
  AddControlRecord(reader, kButtonRecord, static_cast<uint16_t>(index));
  reader.platform.SetCheck(handle, SoundFlag(reader) != 0);
  reader.screens.soundCheckBoxIndex = index;
  ++buttons.count;

  for (int i = 0; i < 6; ++i) LineBreak(reader);
  MakeTextButton(reader, "Ok", kSoundsOkId);
  LineBreak(reader);
  SetAlignment(reader, 0);
  reader.navigation.soundsScreen = 1;
}

}  // namespace lanthorn
