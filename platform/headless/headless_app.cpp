#include "platform/headless/headless_app.h"

#include "shell/keyboard.h"
#include "shell/startup.h"

namespace lanthorn {

HeadlessApp::HeadlessApp(const Book& book, HeadlessPlatform& platform)
    : platform_(platform), reader_(std::make_unique<Reader>(book, platform)) {
  platform_.SetPaintHandler([this](Canvas& canvas) { OnPaint(*reader_, canvas); });
}

bool HeadlessApp::Start() {
  if (!StartReader(*reader_)) {
    exitCode_ = 1;
    return false;
  }
  const WindowPlacement place = PlaceMainWindow(*reader_);
  platform_.SetClientSize(place.width - kFrameWidth, place.height - kFrameHeight);
  OnCreate(*reader_, reinterpret_cast<WindowHandle>(1));
  const Rect client = platform_.ClientRect();
  OnSize(*reader_, client.right, client.bottom);
  MainWindowCreated(*reader_);
  running_ = true;
  platform_.RepaintNow();
  AfterEvent();
  return true;
}

void HeadlessApp::AfterEvent() {
  if (!running_ || !platform_.closeRequested()) return;
  // The window is destroyed, the loop ends with exit code 0, and the
  // reader's place is written.
  OnDestroy(*reader_);
  running_ = false;
  exitCode_ = FinishReader(*reader_, 0);
}

void HeadlessApp::Timer() {
  if (!running_) return;
  OnTimer(*reader_, 1);
  AfterEvent();
}

void HeadlessApp::Command(uint16_t id, uint16_t notification) {
  if (!running_) return;
  OnCommand(*reader_, id, notification);
  AfterEvent();
}

void HeadlessApp::Type(uint16_t id, const std::string& text) {
  if (!running_) return;
  platform_.SetControlText(platform_.HandleOf(id), text);
  OnInputBoxKey(*reader_, id, Key::kEnter);
  AfterEvent();
}

void HeadlessApp::Key(lanthorn::Key key) {
  if (!running_) return;
  const auto focused = platform_.controls().find(reinterpret_cast<uintptr_t>(platform_.focus()));
  if (focused != platform_.controls().end() && focused->second.kind == ControlKind::kEditBox) {
    OnInputBoxKey(*reader_, focused->second.id, key);
  } else {
    OnKeyDown(*reader_, key);
  }
  AfterEvent();
}

void HeadlessApp::Wheel(int32_t notches) {
  if (!running_) return;
  OnWheel(*reader_, notches);
  AfterEvent();
}

void HeadlessApp::Check(uint16_t id) {
  if (!running_) return;
  ControlHandle box = platform_.HandleOf(id);
  platform_.SetCheck(box, !platform_.ReadCheck(box));
  Command(id);
}

void HeadlessApp::Resize(int32_t clientWidth, int32_t clientHeight) {
  if (!running_) return;
  platform_.SetClientSize(clientWidth, clientHeight);
  OnSize(*reader_, clientWidth, clientHeight);
  platform_.RepaintNow();  // the class redraws the whole window on a size change
  AfterEvent();
}

void HeadlessApp::Scroll(uint16_t request) {
  if (!running_) return;
  OnVerticalScroll(*reader_, request);
  AfterEvent();
}

void HeadlessApp::Close() { Command(kExit); }

}  // namespace lanthorn
