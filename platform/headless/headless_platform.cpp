#include "platform/headless/headless_platform.h"

#include <algorithm>

namespace lanthorn {

namespace {

constexpr uint32_t kNotEnoughMemory = 8;

// The pixel sizes of the program's bitmap resources, from resources/bitmaps.txt.
struct BitmapSizeEntry {
  uint16_t id;
  Size size;
};
constexpr BitmapSizeEntry kBitmapSizes[] = {
#include "bitmap_sizes.inc"
};

}  // namespace

class HeadlessPlatform::Canvas : public lanthorn::Canvas {
 public:
  Canvas(HeadlessPlatform& platform, PaintRecord& record) : platform_(platform), record_(record) {}

  Size MeasureText(FontHandle font, const char* text, int32_t length) override {
    return platform_.MeasureText(font, text, length);
  }
  void DrawString(FontHandle font, const Rect& rect, const char* text, int32_t length,
                  uint32_t flags) override {
    const auto* f = static_cast<const Font*>(font);
    record_.texts.push_back({rect, flags, f != nullptr && f->weight >= 600,
                             std::string(text, static_cast<size_t>(length))});
  }
  void InvertRect(const Rect& rect) override { record_.inverted.push_back(rect); }
  void DrawBitmap(uint16_t bitmapId, int32_t x, int32_t y) override {
    record_.bitmaps.push_back({bitmapId, x, y});
  }
  void FrameRect(const Rect& rect) override { record_.frames.push_back(rect); }

 private:
  HeadlessPlatform& platform_;
  PaintRecord& record_;
};

HeadlessPlatform::HeadlessPlatform() = default;

int HeadlessPlatform::ShowMessageBox(WindowHandle /*owner*/, const char* text, const char* caption,
                                     uint32_t style) {
  messages_.push_back(
      {text != nullptr ? text : "", caption != nullptr ? caption : "", caption != nullptr, style});
  if (style != kMessageBoxYesNo) return kReplyOk;
  if (replies_.empty()) return kReplyNo;
  const int reply = replies_.front();
  replies_.pop_front();
  return reply;
}

FontHandle HeadlessPlatform::CreatePageFont(int32_t pixelHeight, int32_t weight) {
  fonts_.push_back({pixelHeight, weight});
  return &fonts_.back();
}

void HeadlessPlatform::DeleteFont(FontHandle /*font*/) {}

Size HeadlessPlatform::MeasureText(FontHandle font, const char* /*text*/, int32_t length) {
  const auto* f = static_cast<const Font*>(font);
  if (f == nullptr) return {7 * length, 16};
  const int32_t width = (f->pixelHeight + 1) / 2 + (f->weight >= 600 ? 1 : 0);
  return {width * length, f->pixelHeight + 4};
}

bool HeadlessPlatform::BitmapSize(uint16_t bitmapId, Size* size) {
  for (const BitmapSizeEntry& entry : kBitmapSizes) {
    if (entry.id == bitmapId) {
      *size = entry.size;
      return true;
    }
  }
  return false;
}

HeadlessControl* HeadlessPlatform::Find(ControlHandle control) {
  auto it = controls_.find(reinterpret_cast<uintptr_t>(control));
  return it == controls_.end() ? nullptr : &it->second;
}

const HeadlessControl* HeadlessPlatform::FindControl(uint16_t id) const {
  for (const auto& [handle, control] : controls_) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

ControlHandle HeadlessPlatform::HandleOf(uint16_t id) const {
  for (const auto& [handle, control] : controls_) {
    if (control.id == id) return reinterpret_cast<ControlHandle>(handle);
  }
  return nullptr;
}

ControlHandle HeadlessPlatform::CreateControl(const ControlSpec& request) {
  auto failing = std::find(failKinds_.begin(), failKinds_.end(), request.kind);
  if (failing != failKinds_.end()) {
    failKinds_.erase(failing);
    lastError_ = kNotEnoughMemory;
    return nullptr;
  }
  HeadlessControl control{request.kind,  request.text != nullptr ? request.text : "",
                          request.x,     request.y,
                          request.width, request.height,
                          request.id,    request.bitmapId};
  control.name = request.name != nullptr ? request.name : "";
  const uintptr_t handle = nextControl_++;
  controls_.emplace(handle, control);
  return reinterpret_cast<ControlHandle>(handle);
}

void HeadlessPlatform::DestroyControl(ControlHandle control) {
  if (focus_ == control) focus_ = nullptr;
  controls_.erase(reinterpret_cast<uintptr_t>(control));
}

void HeadlessPlatform::MoveControl(ControlHandle control, int32_t x, int32_t y, int32_t width,
                                   int32_t height, bool /*repaint*/) {
  if (HeadlessControl* c = Find(control)) {
    c->x = x;
    c->y = y;
    c->width = width;
    c->height = height;
  }
}

void HeadlessPlatform::ShowControl(ControlHandle control, bool visible) {
  if (HeadlessControl* c = Find(control)) c->visible = visible;
}

void HeadlessPlatform::EnableControl(ControlHandle control, bool enabled) {
  if (HeadlessControl* c = Find(control)) c->enabled = enabled;
}

void HeadlessPlatform::FocusControl(ControlHandle control) {
  // As a window system does, a disabled control takes no focus.
  const HeadlessControl* c = Find(control);
  if (c != nullptr && c->enabled) focus_ = control;
}

void HeadlessPlatform::SetControlFace(ControlHandle control, uint16_t bitmapId) {
  if (HeadlessControl* c = Find(control)) c->bitmapId = bitmapId;
}

void HeadlessPlatform::SetTextLimit(ControlHandle control, int32_t characters) {
  if (HeadlessControl* c = Find(control)) c->textLimit = characters;
}

void HeadlessPlatform::SetControlText(ControlHandle control, const std::string& text) {
  HeadlessControl* c = Find(control);
  if (c == nullptr) return;
  // An edit box refuses what goes past its limit, as typing would.
  c->text = c->textLimit > 0 && static_cast<int32_t>(text.size()) > c->textLimit
                ? text.substr(0, static_cast<size_t>(c->textLimit))
                : text;
}

int32_t HeadlessPlatform::ReadControlText(ControlHandle control, char* buffer, int32_t size) {
  if (size <= 0) return 0;
  const HeadlessControl* c = Find(control);
  const std::string text = c != nullptr ? c->text : "";
  const int32_t count = std::min(static_cast<int32_t>(text.size()), size - 1);
  text.copy(buffer, static_cast<size_t>(count));
  buffer[count] = '\0';
  return count;
}

void HeadlessPlatform::SetCheck(ControlHandle control, bool checked) {
  if (HeadlessControl* c = Find(control)) c->checked = checked;
}

bool HeadlessPlatform::ReadCheck(ControlHandle control) {
  const HeadlessControl* c = Find(control);
  return c != nullptr && c->checked;
}

void HeadlessPlatform::Paint() {
  if (painting_) return;  // the paint under way is followed by another
  // A paint may ask for one more full paint (a control moved); a bounded
  // number of rounds keeps a fault from looping forever.
  for (int round = 0; invalid_ && round < 16; ++round) {
    invalid_ = false;
    if (!paint_) return;
    painting_ = true;
    PaintRecord record;
    Canvas canvas(*this, record);
    paint_(canvas);
    lastPaint_ = std::move(record);
    ++paintCount_;
    painting_ = false;
  }
}

void HeadlessPlatform::RepaintNow() {
  invalid_ = true;
  Paint();
}

void HeadlessPlatform::UpdateNow() { Paint(); }

void HeadlessPlatform::ScrollPageArea(int32_t dy, const Rect& pageArea) {
  for (auto& [handle, control] : controls_) {
    if (control.kind == ControlKind::kBitmapButton) continue;  // the icon bar stays
    if (control.y + control.height > pageArea.top && control.y < pageArea.bottom) {
      control.y += dy;
    }
  }
  invalid_ = true;
}

void HeadlessPlatform::SetScrollRange(int32_t maximum, int32_t page) {
  scroll_.minimum = 0;
  scroll_.maximum = maximum;
  scroll_.page = page;
  SetScrollPosition(scroll_.position);
}

int32_t HeadlessPlatform::SetScrollPosition(int32_t position) {
  // As on Win32, the position stops where the last page is in view.
  const int32_t last = std::max(scroll_.minimum, scroll_.maximum - std::max(scroll_.page - 1, 0));
  scroll_.position = std::clamp(position, scroll_.minimum, last);
  scroll_.trackPosition = scroll_.position;
  return scroll_.position;
}

void HeadlessPlatform::StartTimer(uint32_t id, uint32_t /*milliseconds*/) {
  if (!timerRunning(id)) timers_.push_back(id);
}

void HeadlessPlatform::StopTimer(uint32_t id) {
  timers_.erase(std::remove(timers_.begin(), timers_.end(), id), timers_.end());
}

bool HeadlessPlatform::timerRunning(uint32_t id) const {
  return std::find(timers_.begin(), timers_.end(), id) != timers_.end();
}

void HeadlessPlatform::PlayWave(const char* resourceName) { sounds_.emplace_back(resourceName); }

void HeadlessPlatform::StopSound() { sounds_.emplace_back(); }

bool HeadlessPlatform::ActivateOtherCopy(const char* /*className*/) {
  if (otherCopy_) otherCopyActivated_ = true;
  return otherCopy_;
}

}  // namespace lanthorn
