#include "shell/keyboard.h"

#include "render/icon_bar.h"
#include "shell/navigation.h"
#include "shell/reader.h"

namespace lanthorn {

namespace {

constexpr int kMaxFocusStops = kButtonCapacity + kInputBoxCapacity + kIconBarButtons;

// One place the focus can stop at.
struct FocusStop {
  ControlHandle handle;
  uint16_t id;
  bool onPage;  // a page control, which may need scrolling into view
  bool checkBox;
  int32_t y;
  int32_t height;
};

// The icon bar's Return, Prev and Next are usable as the painter last set
// them; the first three always are.
bool IconBarButtonUsable(const Reader& reader, int position) {
  switch (position) {
    case kReturnButton: return reader.navigation.storyMode == 0;
    case kPreviousButton: return reader.page.facts.previous.kind != kNoTarget;
    case kNextButton: return reader.page.facts.next.kind != kNoTarget;
    default: return true;
  }
}

// The page's controls in the order they stand, then the icon bar.
int FocusStops(const Reader& reader, FocusStop* stops) {
  int count = 0;
  for (int i = 0; i < reader.page.display.count; ++i) {
    const DisplayRecord& record = reader.page.display.records[i];
    if (record.kind == kButtonRecord && record.number < reader.page.buttons.count) {
      const ButtonRecord& b = reader.page.buttons.records[record.number];
      const ControlHandle handle = reader.page.buttons.handles[record.number];
      if (handle == nullptr) continue;
      stops[count++] = {handle,  b.id, true, b.id == kSoundCheckBox, static_cast<int16_t>(b.y),
                        b.height};
    } else if (record.kind == kEditBoxRecord && record.number < reader.page.inputBoxes.count) {
      const InputBoxRecord& box = reader.page.inputBoxes.records[record.number];
      const ControlHandle handle = reader.page.inputBoxes.handles[record.number];
      if (handle == nullptr) continue;
      stops[count++] = {handle,
                        static_cast<uint16_t>(kFirstInputBoxId + record.number),
                        true,
                        false,
                        static_cast<int16_t>(box.y),
                        box.height};
    }
  }
  for (int i = 0; i < kIconBarButtons; ++i) {
    if (reader.render.iconBar[i] == nullptr || !IconBarButtonUsable(reader, i)) continue;
    stops[count++] = {reader.render.iconBar[i], kIconBar[i].id, false, false, 0, 0};
  }
  return count;
}

void ScrollIntoView(Reader& reader, int32_t y, int32_t height) {
  const Rect& area = reader.render.pageArea;
  int32_t shift = 0;
  if (y + height >= area.bottom) shift = y + height + 1 - area.bottom;
  if (y - shift < area.top) shift = y - area.top;
  if (shift == 0) return;
  const ScrollInfo info = reader.platform.GetScrollInfo();
  ScrollPageTo(reader, info.position + shift);
}

}  // namespace

bool PickChoice(Reader& reader, int number) {
  int seen = 0;
  for (int i = 0; i < reader.page.display.count; ++i) {
    const DisplayRecord& record = reader.page.display.records[i];
    if (record.kind != kButtonRecord || record.number >= reader.page.buttons.count) continue;
    const ButtonRecord& button = reader.page.buttons.records[record.number];
    if (button.id < kFirstChoiceButtonId || ++seen != number) continue;
    ScrollIntoView(reader, static_cast<int16_t>(button.y), button.height);
    OnCommand(reader, button.id, 0);
    return true;
  }
  return false;
}

void MoveFocus(Reader& reader, bool forward) {
  FocusStop stops[kMaxFocusStops];
  const int count = FocusStops(reader, stops);
  if (count == 0) return;
  const ControlHandle focused = reader.platform.FocusedControl();
  int at = -1;
  for (int i = 0; i < count; ++i) {
    if (stops[i].handle == focused) at = i;
  }
  int next = 0;
  if (at < 0) {
    next = forward ? 0 : count - 1;
  } else {
    next = (at + (forward ? 1 : count - 1)) % count;
  }
  const FocusStop& stop = stops[next];
  if (stop.onPage) ScrollIntoView(reader, stop.y, stop.height);
  reader.platform.FocusControl(stop.handle);
}

bool PickFocused(Reader& reader) {
  FocusStop stops[kMaxFocusStops];
  const int count = FocusStops(reader, stops);
  const ControlHandle focused = reader.platform.FocusedControl();
  for (int i = 0; i < count; ++i) {
    const FocusStop& stop = stops[i];
    if (stop.handle != focused) continue;
    if (stop.id >= kFirstInputBoxId && stop.id < kFirstChoiceButtonId) return false;
    if (stop.checkBox)
      reader.platform.SetCheck(stop.handle, !reader.platform.ReadCheck(stop.handle));
    OnCommand(reader, stop.id, 0);
    return true;
  }
  return false;
}

bool OnInputBoxKey(Reader& reader, uint16_t id, Key key) {
  switch (key) {
    case Key::kUp: OnVerticalScroll(reader, kLineUp); return true;
    case Key::kDown: OnVerticalScroll(reader, kLineDown); return true;
    case Key::kTab:
    case Key::kBackTab:
    case Key::kEnter: break;
    default: return false;
  }
  const int index = id - kFirstInputBoxId;
  ControlHandle box = index >= 0 && index < reader.page.inputBoxes.count
                          ? reader.page.inputBoxes.handles[index]
                          : nullptr;
  // An empty box, or one of blanks only, has no answer to send: picking the
  // "otherwise" way for a stray Tab or Enter would take the reader somewhere
  // they did not choose.
  char text[kAnswerBufferSize];
  bool empty = true;
  if (box != nullptr) {
    reader.platform.ReadControlText(box, text, sizeof text);
    for (const char* c = text; *c != '\0'; ++c) empty = empty && *c == ' ';
  }
  if (!empty) {
    OnCommand(reader, id, kEditEntered);
  } else if (key != Key::kEnter) {
    MoveFocus(reader, key == Key::kTab);
  }
  return true;
}

void OnWheel(Reader& reader, int32_t notches) {
  const uint16_t request = notches > 0 ? kLineUp : kLineDown;
  const int32_t steps = (notches > 0 ? notches : -notches) * kWheelLines;
  for (int32_t i = 0; i < steps && i < 1000; ++i) OnVerticalScroll(reader, request);
}

}  // namespace lanthorn
