#include "story/controls.h"

#include <cstdio>
#include <cstring>

#include "book/display_list.h"
#include "book/paragraph_store.h"
#include "shell/reader.h"

namespace lanthorn {

namespace {

int32_t ClientWidth(const Reader& reader) {
  return reader.render.clientRect.right - reader.render.clientRect.left;
}

// Where a new control is created: the client's left edge at the painter's
// pen; the painter moves it to its laid-out place.
void PlaceAtPen(const Reader& reader, int32_t* x, uint16_t* y) {
  *x = reader.render.clientRect.left;
  *y = static_cast<uint16_t>(reader.render.clientRect.top + reader.render.penY);
}

// Gives button `index` its place at the pen and its size, creates its control
// and keeps the handle; the pen moves below the button.
ControlHandle CreateButton(Reader& reader, int16_t index, ControlKind kind, const char* text,
                           const char* name, uint16_t id, Size size) {
  ButtonTable& table = reader.buttons;
  ButtonRecord& button = table.records[index];
  PlaceAtPen(reader, &button.x, &button.y);
  button.width = static_cast<uint16_t>(size.width);
  button.height = static_cast<uint16_t>(size.height);
  button.bold = static_cast<uint8_t>(reader.display.boldState != 0);
  button.id = id;
  const ControlSpec request{kind,        text, button.x,        button.y, size.width,
                            size.height, id,   button.bitmapId, name};
  ControlHandle handle = reader.platform.CreateControl(request);
  table.handles[index] = handle;
  table.handles[index + 1] = nullptr;
  reader.render.penY += size.height + 1;
  return handle;
}

// Announces button `index` to the page and counts it.
void AddButton(Reader& reader, int16_t index) {
  AddControlRecord(reader, kButtonRecord, static_cast<uint16_t>(index));
  ++reader.buttons.count;
}

}  // namespace

void MakeTextButton(Reader& reader, const char* label, uint16_t id) {
  ButtonTable& table = reader.buttons;
  if (table.count >= kButtonCapacity) return;  // no page comes near it
  const int16_t index = table.count;
  ButtonRecord& button = table.records[index];
  snprintf(button.label, sizeof button.label, "%s", label);
  const int32_t length = static_cast<int32_t>(strlen(button.label));
  button.labelLength = static_cast<uint16_t>(length);
  button.bitmapId = 0;

  const bool bold = reader.display.boldState != 0 || id < kFirstChoiceButtonId;
  const Size measured = reader.platform.MeasureText(
      bold ? reader.render.boldFont : reader.render.normalFont, button.label, length);
  const int32_t width = (measured.width > 3 * length ? measured.width : 3 * length) + 12;
  const int32_t height = measured.height + 4;

  const bool choice = id >= kFirstChoiceButtonId;
  ControlHandle handle =
      CreateButton(reader, index, choice ? ControlKind::kChoiceButton : ControlKind::kTextButton,
                   choice ? "" : button.label, button.label, id, {width, height});
  if (handle == nullptr) {
    char caption[32];
    snprintf(caption, sizeof caption, " Error %x", reader.platform.LastError());
    reader.platform.ShowMessageBox(reader.mainWindow, "Could not create button", caption,
                                   kMessageBoxOk);
    reader.platform.PostClose();
  } else {
    reader.platform.ShowControl(handle, false);
  }
  AddButton(reader, index);
}

uint16_t MakeChoiceButton(Reader& reader, const char* label) {
  if (reader.buttons.count >= kButtonCapacity) return 0;
  const uint16_t id = static_cast<uint16_t>(kFirstChoiceButtonId + reader.buttons.count);
  MakeTextButton(reader, label, id);
  return id;
}

uint16_t MakePictureButton(Reader& reader, int32_t picture) {
  ButtonTable& table = reader.buttons;
  if (table.count >= kButtonCapacity) return 0;
  const int16_t index = table.count;
  const uint16_t id = static_cast<uint16_t>(kFirstChoiceButtonId + index);
  ButtonRecord& button = table.records[index];
  button.labelLength = 0;
  button.label[0] = '\0';
  button.bitmapId =
      picture >= 0 && picture < kPictureCount ? reader.book.pictures[picture].bitmapId : 0;
  Size size{};
  if (button.bitmapId == 0 || !reader.platform.BitmapSize(button.bitmapId, &size)) {
    // An unreadable bitmap spans the line, one text line high.
    size = {reader.render.rightMargin - reader.render.clientRect.left,
            reader.render.baseLineHeight};
  }
  // A picture button is not hidden after creation: the painter places it.
  const char* description =
      picture >= 0 && picture < kPictureCount ? reader.book.pictures[picture].description : nullptr;
  CreateButton(reader, index, ControlKind::kPictureButton, "", description, id, size);
  AddButton(reader, index);
  return id;
}

uint16_t MakeInputBox(Reader& reader, int32_t maximumLength) {
  InputBoxTable& table = reader.inputBoxes;
  if (table.count >= kInputBoxCapacity) return 0;
  const int16_t index = table.count;
  const uint16_t id = static_cast<uint16_t>(kFirstInputBoxId + index);
  InputBoxRecord& box = table.records[index];

  int32_t width = reader.render.averageCharWidth * maximumLength * 2 + 2;
  if (width > ClientWidth(reader)) width = ClientWidth(reader);
  const int32_t height = reader.render.baseLineHeight * 3 / 2;
  PlaceAtPen(reader, &box.x, &box.y);
  box.width = static_cast<uint16_t>(width);
  box.height = static_cast<uint16_t>(height);
  box.maximumLength = static_cast<uint16_t>(maximumLength);

  const ControlSpec request{ControlKind::kEditBox, "", box.x, box.y, width, height, id, 0,
                            "Answer"};
  ControlHandle handle = reader.platform.CreateControl(request);
  reader.render.penY += height + 1;
  if (handle != nullptr) {
    reader.platform.ShowControl(handle, false);
    reader.platform.SetTextLimit(handle, maximumLength);
  } else {
    reader.platform.ShowMessageBox(reader.mainWindow, "Null Edit Box", "Bad Edit Box",
                                   kMessageBoxOk);
  }
  table.handles[index] = handle;
  table.handles[index + 1] = nullptr;
  AddControlRecord(reader, kEditBoxRecord, static_cast<uint16_t>(index));
  ++table.count;
  return id;
}

void DestroyPageControls(Reader& reader) {
  ButtonTable& buttons = reader.buttons;
  for (int i = 0; i < buttons.count; ++i) {
    if (buttons.handles[i] != nullptr) reader.platform.DestroyControl(buttons.handles[i]);
    buttons.handles[i] = nullptr;
    buttons.records[i].bitmapId = 0;
  }
  InputBoxTable& boxes = reader.inputBoxes;
  for (int i = 0; i < boxes.count; ++i) {
    if (boxes.handles[i] != nullptr) reader.platform.DestroyControl(boxes.handles[i]);
    boxes.handles[i] = nullptr;
  }
  buttons.count = 0;
  boxes.count = 0;
}

}  // namespace lanthorn
