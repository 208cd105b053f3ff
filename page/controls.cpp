#include "page/controls.h"

#include <cstdio>
#include <cstring>

#include "page/display_list.h"
#include "page/page.h"

namespace lanthorn {

namespace {

int32_t ClientWidth(const Page& page) {
  return page.geometry.clientRect.right - page.geometry.clientRect.left;
}

// Where a new control is created: the client's left edge at the painter's
// pen; the painter moves it to its laid-out place.
void PlaceAtPen(const Page& page, int32_t* x, uint16_t* y) {
  *x = page.geometry.clientRect.left;
  *y = static_cast<uint16_t>(page.geometry.clientRect.top + page.geometry.penY);
}

// Gives button `index` its place at the pen and its size, creates its control
// and keeps the handle; the pen moves below the button.
ControlHandle CreateButton(Page& page, int16_t index, ControlKind kind, const char* text,
                           const char* name, uint16_t id, Size size) {
  ButtonTable& table = page.buttons;
  ButtonRecord& button = table.records[index];
  PlaceAtPen(page, &button.x, &button.y);
  button.width = static_cast<uint16_t>(size.width);
  button.height = static_cast<uint16_t>(size.height);
  button.bold = static_cast<uint8_t>(page.display.boldState != 0);
  button.id = id;
  const ControlSpec request{kind,        text, button.x,        button.y, size.width,
                            size.height, id,   button.bitmapId, name};
  ControlHandle handle = page.platform.CreateControl(request);
  table.handles[index] = handle;
  table.handles[index + 1] = nullptr;
  page.geometry.penY += size.height + 1;
  return handle;
}

// Announces button `index` to the page and counts it.
void AddButton(Page& page, int16_t index) {
  AddControlRecord(page, kButtonRecord, static_cast<uint16_t>(index));
  ++page.buttons.count;
}

}  // namespace

void MakeTextButton(Page& page, const char* label, uint16_t id) {
  ButtonTable& table = page.buttons;
  if (table.count >= kButtonCapacity) return;  // no page comes near it
  const int16_t index = table.count;
  ButtonRecord& button = table.records[index];
  snprintf(button.label, sizeof button.label, "%s", label);
  const int32_t length = static_cast<int32_t>(strlen(button.label));
  button.labelLength = static_cast<uint16_t>(length);
  button.bitmapId = 0;

  const bool bold = page.display.boldState != 0 || id < kFirstChoiceButtonId;
  const Size measured = page.platform.MeasureText(
      bold ? page.geometry.boldFont : page.geometry.normalFont, button.label, length);
  const int32_t width = (measured.width > 3 * length ? measured.width : 3 * length) + 12;
  const int32_t height = measured.height + 4;

  const bool choice = id >= kFirstChoiceButtonId;
  ControlHandle handle =
      CreateButton(page, index, choice ? ControlKind::kChoiceButton : ControlKind::kTextButton,
                   choice ? "" : button.label, button.label, id, {width, height});
  if (handle == nullptr) {
    char caption[32];
    snprintf(caption, sizeof caption, " Error %x", page.platform.LastError());
    page.platform.ShowMessageBox(page.window, "Could not create button", caption, kMessageBoxOk);
    page.platform.PostClose();
  } else {
    page.platform.ShowControl(handle, false);
  }
  AddButton(page, index);
}

uint16_t MakeChoiceButton(Page& page, const char* label) {
  if (page.buttons.count >= kButtonCapacity) return 0;
  const uint16_t id = static_cast<uint16_t>(kFirstChoiceButtonId + page.buttons.count);
  MakeTextButton(page, label, id);
  return id;
}

uint16_t MakePictureButton(Page& page, int32_t picture) {
  ButtonTable& table = page.buttons;
  if (table.count >= kButtonCapacity) return 0;
  const int16_t index = table.count;
  const uint16_t id = static_cast<uint16_t>(kFirstChoiceButtonId + index);
  ButtonRecord& button = table.records[index];
  button.labelLength = 0;
  button.label[0] = '\0';
  button.bitmapId =
      picture >= 0 && picture < kPictureCount ? page.story.book.pictures[picture].bitmapId : 0;
  Size size{};
  if (button.bitmapId == 0 || !page.platform.BitmapSize(button.bitmapId, &size)) {
    // An unreadable bitmap spans the line, one text line high.
    size = {page.geometry.rightMargin - page.geometry.clientRect.left,
            page.geometry.baseLineHeight};
  }
  // A picture button is not hidden after creation: the painter places it.
  const char* description = picture >= 0 && picture < kPictureCount
                                ? page.story.book.pictures[picture].description
                                : nullptr;
  CreateButton(page, index, ControlKind::kPictureButton, "", description, id, size);
  AddButton(page, index);
  return id;
}

uint16_t MakeInputBox(Page& page, int32_t maximumLength) {
  InputBoxTable& table = page.inputBoxes;
  if (table.count >= kInputBoxCapacity) return 0;
  const int16_t index = table.count;
  const uint16_t id = static_cast<uint16_t>(kFirstInputBoxId + index);
  InputBoxRecord& box = table.records[index];

  int32_t width = page.geometry.averageCharWidth * maximumLength * 2 + 2;
  if (width > ClientWidth(page)) width = ClientWidth(page);
  const int32_t height = page.geometry.baseLineHeight * 3 / 2;
  PlaceAtPen(page, &box.x, &box.y);
  box.width = static_cast<uint16_t>(width);
  box.height = static_cast<uint16_t>(height);
  box.maximumLength = static_cast<uint16_t>(maximumLength);

  const ControlSpec request{
      ControlKind::kEditBox, "", box.x, box.y, width, height, id, 0, "Answer"};
  ControlHandle handle = page.platform.CreateControl(request);
  page.geometry.penY += height + 1;
  if (handle != nullptr) {
    page.platform.ShowControl(handle, false);
    page.platform.SetTextLimit(handle, maximumLength);
  } else {
    page.platform.ShowMessageBox(page.window, "Null Edit Box", "Bad Edit Box", kMessageBoxOk);
  }
  table.handles[index] = handle;
  table.handles[index + 1] = nullptr;
  AddControlRecord(page, kEditBoxRecord, static_cast<uint16_t>(index));
  ++table.count;
  return id;
}

void DestroyPageControls(Page& page) {
  ButtonTable& buttons = page.buttons;
  for (int i = 0; i < buttons.count; ++i) {
    if (buttons.handles[i] != nullptr) page.platform.DestroyControl(buttons.handles[i]);
    buttons.handles[i] = nullptr;
    buttons.records[i].bitmapId = 0;
  }
  InputBoxTable& boxes = page.inputBoxes;
  for (int i = 0; i < boxes.count; ++i) {
    if (boxes.handles[i] != nullptr) page.platform.DestroyControl(boxes.handles[i]);
    boxes.handles[i] = nullptr;
  }
  buttons.count = 0;
  boxes.count = 0;
}

}  // namespace lanthorn
