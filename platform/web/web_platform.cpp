#include "platform/web/web_platform.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/web/web_bridge.h"
#include "platform/web/web_text.h"

namespace lanthorn {

namespace {

constexpr uint32_t kNotEnoughMemory = 8;
// The longest text handed over in one piece: a line of the page or a label.
constexpr int32_t kTextBufferSize = 3 * 2048 + 1;

int HandleNumber(ControlHandle control) {
  return static_cast<int>(reinterpret_cast<intptr_t>(control));
}

// A paint's canvas: the page's <canvas> element.
class PageCanvas : public Canvas {
 public:
  explicit PageCanvas(WebPlatform& platform) : platform_(platform) {}

  Size MeasureText(FontHandle font, const char* text, int32_t length) override {
    return platform_.MeasureText(font, text, length);
  }
  void DrawString(FontHandle font, const Rect& rect, const char* text, int32_t length,
                  uint32_t flags) override {
    char utf8[kTextBufferSize];
    BookTextToUtf8(text, length, utf8, sizeof utf8);
    const WebFont* f = platform_.Font(font);
    lanthorn_draw_string(f != nullptr ? f->pixelHeight : 0, f != nullptr && f->bold ? 1 : 0,
                         rect.left, rect.top, rect.right, rect.bottom, utf8,
                         static_cast<int>(flags));
  }
  void InvertRect(const Rect& rect) override {
    lanthorn_invert_rect(rect.left, rect.top, rect.right, rect.bottom);
  }
  void FrameRect(const Rect& rect) override {
    lanthorn_frame_rect(rect.left, rect.top, rect.right, rect.bottom);
  }
  void DrawBitmap(uint16_t bitmapId, int32_t x, int32_t y) override {
    lanthorn_draw_bitmap(bitmapId, x, y);
  }

 private:
  WebPlatform& platform_;
};

// An owner-drawn choice button's face: the text drawn on it becomes the
// button's label (and so its accessible name); a bitmap becomes its picture.
class FaceCanvas : public Canvas {
 public:
  FaceCanvas(WebPlatform& platform, ControlHandle handle) : platform_(platform), handle_(handle) {}

  Size MeasureText(FontHandle font, const char* text, int32_t length) override {
    return platform_.MeasureText(font, text, length);
  }
  void DrawString(FontHandle font, const Rect& /*rect*/, const char* text, int32_t length,
                  uint32_t /*flags*/) override {
    char utf8[kTextBufferSize];
    BookTextToUtf8(text, length, utf8, sizeof utf8);
    const WebFont* f = platform_.Font(font);
    lanthorn_set_face_text(HandleNumber(handle_), f != nullptr ? f->pixelHeight : 0,
                           f != nullptr && f->bold ? 1 : 0, utf8);
    drawn_ = true;
  }
  void InvertRect(const Rect& /*rect*/) override {}
  // A face is a DOM button: its focus ring is the browser's own outline.
  void FrameRect(const Rect& /*rect*/) override {}
  void DrawBitmap(uint16_t bitmapId, int32_t /*x*/, int32_t /*y*/) override {
    lanthorn_set_face_bitmap(HandleNumber(handle_), bitmapId);
    drawn_ = true;
  }
  bool drawn() const { return drawn_; }

 private:
  WebPlatform& platform_;
  ControlHandle handle_;
  bool drawn_ = false;
};

}  // namespace

WebPlatform::WebPlatform() = default;

WebControl* WebPlatform::Find(ControlHandle control) {
  const int number = HandleNumber(control);
  if (number < 1 || number > kControlCapacity) return nullptr;
  WebControl& c = controls_[number - 1];
  return c.used ? &c : nullptr;
}

const WebFont* WebPlatform::Font(FontHandle font) const {
  const auto* f = static_cast<const WebFont*>(font);
  return f != nullptr && f->used ? f : nullptr;
}

int WebPlatform::ShowMessageBox(WindowHandle /*owner*/, const char* text, const char* caption,
                                uint32_t style) {
  char body[kTextBufferSize];
  char title[512];
  BookTextToUtf8(text, text != nullptr ? static_cast<int32_t>(strlen(text)) : 0, body, sizeof body);
  if (caption != nullptr) {
    BookTextToUtf8(caption, static_cast<int32_t>(strlen(caption)), title, sizeof title);
  }
  return lanthorn_message_box(body, caption != nullptr ? title : nullptr, static_cast<int>(style));
}

TextMetrics WebPlatform::DefaultFontMetrics() {
  return {lanthorn_font_height(0, 0), lanthorn_default_width()};
}

FontHandle WebPlatform::CreatePageFont(int32_t pixelHeight, int32_t weight) {
  for (WebFont& f : fonts_) {
    if (f.used) continue;
    const int32_t size = pixelHeight > 0 ? pixelHeight : 1;
    // Weight 300 is the page's regular text, shown with the regular face as
    // GDI shows it with faces that have no light cut; bold is 700.
    const bool bold = weight >= 600;
    f = {true, size, bold, lanthorn_font_height(size, bold ? 1 : 0)};
    return &f;
  }
  return nullptr;
}

void WebPlatform::DeleteFont(FontHandle font) {
  auto* f = static_cast<WebFont*>(font);
  if (f != nullptr) f->used = false;
}

Size WebPlatform::MeasureText(FontHandle font, const char* text, int32_t length) {
  char utf8[kTextBufferSize];
  BookTextToUtf8(text, length, utf8, sizeof utf8);
  const WebFont* f = Font(font);
  if (f == nullptr) return {lanthorn_measure_text(0, 0, utf8), lanthorn_font_height(0, 0)};
  return {lanthorn_measure_text(f->pixelHeight, f->bold ? 1 : 0, utf8), f->height};
}

bool WebPlatform::BitmapSize(uint16_t bitmapId, Size* size) {
  const int32_t width = lanthorn_bitmap_width(bitmapId);
  const int32_t height = lanthorn_bitmap_height(bitmapId);
  if (width <= 0 || height <= 0) return false;
  *size = {width, height};
  return true;
}

namespace {

// The page script's numbers for the kinds of control (reader.js): a picture
// choice is a choice button whose face is a picture.
int PageControlKind(ControlKind kind) {
  switch (kind) {
    case ControlKind::kChoiceButton:
    case ControlKind::kPictureButton: return 0;
    case ControlKind::kTextButton: return 1;
    case ControlKind::kBitmapButton: return 2;
    case ControlKind::kCheckBox: return 3;
    case ControlKind::kEditBox: return 4;
  }
  return 1;
}

}  // namespace

ControlHandle WebPlatform::CreateControl(const ControlSpec& request) {
  for (int i = 0; i < kControlCapacity; ++i) {
    WebControl& c = controls_[i];
    if (c.used) continue;
    c = {true, request.kind, request.id, request.width, request.height, false};
    char text[kTextBufferSize];
    const char* label = request.text != nullptr ? request.text : "";
    BookTextToUtf8(label, static_cast<int32_t>(strlen(label)), text, sizeof text);
    lanthorn_create_control(i + 1, PageControlKind(request.kind), text, request.x, request.y,
                            request.width, request.height, request.id, request.bitmapId);
    return reinterpret_cast<ControlHandle>(static_cast<intptr_t>(i + 1));
  }
  lastError_ = kNotEnoughMemory;
  return nullptr;
}

void WebPlatform::DestroyControl(ControlHandle control) {
  WebControl* c = Find(control);
  if (c == nullptr) return;
  c->used = false;
  lanthorn_destroy_control(HandleNumber(control));
}

void WebPlatform::MoveControl(ControlHandle control, int32_t x, int32_t y, int32_t width,
                              int32_t height, bool /*repaint*/) {
  WebControl* c = Find(control);
  if (c == nullptr) return;
  c->width = width;
  c->height = height;
  lanthorn_move_control(HandleNumber(control), x, y, width, height);
}

void WebPlatform::ShowControl(ControlHandle control, bool visible) {
  if (Find(control) != nullptr) lanthorn_show_control(HandleNumber(control), visible ? 1 : 0);
}

void WebPlatform::EnableControl(ControlHandle control, bool enabled) {
  if (Find(control) != nullptr) lanthorn_enable_control(HandleNumber(control), enabled ? 1 : 0);
}

ControlHandle WebPlatform::FocusedControl() {
  return reinterpret_cast<ControlHandle>(static_cast<intptr_t>(lanthorn_focused_control()));
}

void WebPlatform::FocusControl(ControlHandle control) {
  if (Find(control) != nullptr) lanthorn_focus_control(HandleNumber(control));
}

void WebPlatform::SetControlFace(ControlHandle control, uint16_t bitmapId) {
  if (Find(control) != nullptr) lanthorn_set_face_bitmap(HandleNumber(control), bitmapId);
}

void WebPlatform::SetTextLimit(ControlHandle control, int32_t characters) {
  if (Find(control) != nullptr) lanthorn_set_text_limit(HandleNumber(control), characters);
}

int32_t WebPlatform::ReadControlText(ControlHandle control, char* buffer, int32_t size) {
  if (size <= 0) return 0;
  buffer[0] = '\0';
  if (Find(control) == nullptr) return 0;
  char utf8[kTextBufferSize];
  lanthorn_read_control_text(HandleNumber(control), utf8, sizeof utf8);
  return Utf8ToBookText(utf8, buffer, size);
}

void WebPlatform::SetCheck(ControlHandle control, bool checked) {
  if (Find(control) != nullptr) lanthorn_set_check(HandleNumber(control), checked ? 1 : 0);
}

bool WebPlatform::ReadCheck(ControlHandle control) {
  return Find(control) != nullptr && lanthorn_read_check(HandleNumber(control)) != 0;
}

void WebPlatform::SetClientSize(int32_t width, int32_t height) {
  clientWidth_ = width;
  clientHeight_ = height;
  lanthorn_set_client_size(width, height);
}

void WebPlatform::Paint() {
  if (painting_) return;  // the paint under way is followed by another
  // A paint may ask for one more full paint (a control moved); a bounded
  // number of rounds keeps a fault from looping forever.
  for (int round = 0; invalid_ && round < 16; ++round) {
    invalid_ = false;
    if (!paint_) return;
    painting_ = true;
    PageCanvas canvas(*this);
    lanthorn_begin_paint();
    paint_(canvas);
    lanthorn_end_paint();
    painting_ = false;
  }
}

void WebPlatform::RepaintNow() {
  invalid_ = true;
  Paint();
}

void WebPlatform::UpdateNow() { Paint(); }

void WebPlatform::ScrollPageArea(int32_t dy, const Rect& pageArea) {
  // The canvas is painted whole again; the page's controls move with it.
  lanthorn_scroll_controls(dy, pageArea.top, pageArea.bottom);
  invalid_ = true;
}

void WebPlatform::SetScrollRange(int32_t maximum, int32_t page) {
  scroll_.minimum = 0;
  scroll_.maximum = maximum;
  scroll_.page = page < 0 ? 0 : page;
  SetScrollPosition(scroll_.position);
}

int32_t WebPlatform::SetScrollPosition(int32_t position) {
  // As on Win32, the position stops where the last page is in view.
  const int32_t last = std::max(scroll_.minimum, scroll_.maximum - std::max(scroll_.page - 1, 0));
  scroll_.position = std::clamp(position, scroll_.minimum, last);
  scroll_.trackPosition = scroll_.position;
  lanthorn_set_scroll(scroll_.maximum, scroll_.page, scroll_.position);
  return scroll_.position;
}

void WebPlatform::StartTimer(uint32_t id, uint32_t milliseconds) {
  lanthorn_start_timer(static_cast<int>(id), static_cast<int>(milliseconds));
}

void WebPlatform::StopTimer(uint32_t id) { lanthorn_stop_timer(static_cast<int>(id)); }

void WebPlatform::PlayWave(const char* resourceName) { lanthorn_play_wave(resourceName); }

void WebPlatform::StopSound() { lanthorn_stop_sound(); }

bool WebPlatform::FileExists(const char* name) { return lanthorn_storage_exists(name) != 0; }

FileHandle WebPlatform::OpenExclusive(const char* name) {
  if (fileOpen_) return nullptr;  // one file at a time: the save file
  snprintf(fileName_, sizeof fileName_, "%s", name);
  fileSize_ =
      lanthorn_storage_exists(name) != 0 ? lanthorn_storage_read(name, file_, kWebFileCapacity) : 0;
  filePosition_ = 0;
  fileOpen_ = true;
  return file_;
}

int32_t WebPlatform::ReadFile(FileHandle file, uint8_t* buffer, int32_t size) {
  if (file != file_ || !fileOpen_ || size <= 0) return 0;
  const int32_t count = std::min(size, fileSize_ - filePosition_);
  if (count <= 0) return 0;
  memcpy(buffer, file_ + filePosition_, static_cast<size_t>(count));
  filePosition_ += count;
  return count;
}

bool WebPlatform::SeekToStart(FileHandle file) {
  if (file != file_ || !fileOpen_) return false;
  filePosition_ = 0;
  return true;
}

int32_t WebPlatform::WriteFile(FileHandle file, const uint8_t* buffer, int32_t size) {
  if (file != file_ || !fileOpen_ || size <= 0) return 0;
  const int32_t count = std::min(size, kWebFileCapacity - filePosition_);
  if (count <= 0) return 0;
  const int32_t end = filePosition_ + count;
  // The record is written after every move; storage is touched only when a
  // byte changed.
  const bool same =
      end <= fileSize_ && memcmp(file_ + filePosition_, buffer, static_cast<size_t>(count)) == 0;
  memcpy(file_ + filePosition_, buffer, static_cast<size_t>(count));
  filePosition_ = end;
  if (end > fileSize_) fileSize_ = end;
  if (same) return count;
  return lanthorn_storage_write(fileName_, file_, fileSize_) != 0 ? count : 0;
}

bool WebPlatform::SeekTo(FileHandle file, int32_t offset) {
  if (file != file_ || !fileOpen_ || offset < 0 || offset > kWebFileCapacity) return false;
  filePosition_ = offset;
  return true;
}

// Every write is in storage when it returns: there is nothing more to flush.
bool WebPlatform::FlushFile(FileHandle file) { return file == file_ && fileOpen_; }

// The record is always written to storage whole under its one key, so the
// open file is the one the name finds.
bool WebPlatform::FileStillNamed(FileHandle file, const char* /*name*/) {
  return file == file_ && fileOpen_;
}

bool WebPlatform::CloseFile(FileHandle file) {
  if (file != file_ || !fileOpen_) return false;
  fileOpen_ = false;
  return true;
}

uint32_t WebPlatform::TickCount() { return lanthorn_tick_count(); }

int32_t WebPlatform::ScreenHeight() { return lanthorn_screen_height(); }

void WebPlatform::SystemVersion(uint32_t* major, uint32_t* minor) {
  // The browser's version stands for the system's.
  *major = static_cast<uint32_t>(lanthorn_browser_version(0));
  *minor = static_cast<uint32_t>(lanthorn_browser_version(1));
}

void WebPlatform::DrawNewFaces(
    const std::function<void(Canvas&, uint16_t id, const Rect& item)>& draw) {
  for (int i = 0; i < kControlCapacity; ++i) {
    WebControl& c = controls_[i];
    if (!c.used || c.kind != ControlKind::kChoiceButton || c.faceDrawn) continue;
    FaceCanvas canvas(*this, reinterpret_cast<ControlHandle>(static_cast<intptr_t>(i + 1)));
    draw(canvas, c.id, {0, 0, c.width, c.height});
    c.faceDrawn = canvas.drawn();
  }
}

}  // namespace lanthorn
