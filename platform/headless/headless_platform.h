// The headless front end: a window system kept in memory. It records what the
// reader shows (message boxes, sounds, controls, what each paint drew) so that
// tests and the command-line tools can read it, and its text metrics are
// fixed:
//
//   default font: 16 pixels high, average character width 7
//   page font of pixel height h: every character (h + 1) / 2 pixels wide,
//     one pixel more in bold (weight 600 and above); text h + 4 pixels high
//   no font (null handle): the default font's metrics
//   96 dots per inch; screen 768 pixels high unless set
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/posix_files.h"

namespace lanthorn {

struct RecordedMessage {
  std::string text;
  std::string caption;  // empty for the default caption
  bool hasCaption;
  uint32_t style;
};

struct HeadlessControl {
  ControlKind kind;
  std::string text;
  int32_t x, y, width, height;
  uint16_t id;
  uint16_t bitmapId;
  bool visible = true;
  bool enabled = true;
  bool checked = false;
  int32_t textLimit = 0;  // 0: no limit
  std::string name = "";  // for assistive technology; empty: none given
};

struct DrawnText {
  Rect rect;
  uint32_t flags;
  bool bold;
  std::string text;
};

struct DrawnBitmap {
  uint16_t bitmapId;
  int32_t x, y;
};

// What one paint drew.
struct PaintRecord {
  std::vector<DrawnText> texts;
  std::vector<Rect> inverted;
  std::vector<DrawnBitmap> bitmaps;
  std::vector<Rect> frames;
};

class HeadlessPlatform : public PosixFilePlatform {
 public:
  HeadlessPlatform();

  // --- Platform ---
  int ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                     uint32_t style) override;
  TextMetrics DefaultFontMetrics() override { return {16, 7}; }
  int32_t VerticalDotsPerInch() override { return 96; }
  FontHandle CreatePageFont(int32_t pixelHeight, int32_t weight) override;
  void DeleteFont(FontHandle font) override;
  Size MeasureText(FontHandle font, const char* text, int32_t length) override;
  bool BitmapSize(uint16_t bitmapId, Size* size) override;
  ControlHandle CreateControl(const ControlSpec& request) override;
  void DestroyControl(ControlHandle control) override;
  void MoveControl(ControlHandle control, int32_t x, int32_t y, int32_t width, int32_t height,
                   bool repaint) override;
  void ShowControl(ControlHandle control, bool visible) override;
  void EnableControl(ControlHandle control, bool enabled) override;
  void FocusControl(ControlHandle control) override;
  ControlHandle FocusedControl() override { return focus_; }
  void SetControlFace(ControlHandle control, uint16_t bitmapId) override;
  void SetTextLimit(ControlHandle control, int32_t characters) override;
  int32_t ReadControlText(ControlHandle control, char* buffer, int32_t size) override;
  void SetCheck(ControlHandle control, bool checked) override;
  bool ReadCheck(ControlHandle control) override;
  uint32_t LastError() override { return lastError_; }
  Rect ClientRect() override { return {0, 0, clientWidth_, clientHeight_}; }
  void RepaintNow() override;
  void UpdateNow() override;
  void ScrollPageArea(int32_t dy, const Rect& pageArea) override;
  void SetScrollRange(int32_t maximum, int32_t page) override;
  int32_t SetScrollPosition(int32_t position) override;
  ScrollInfo GetScrollInfo() override { return scroll_; }
  void StartTimer(uint32_t id, uint32_t milliseconds) override;
  void StopTimer(uint32_t id) override;
  void PostClose() override { closeRequested_ = true; }
  void PlayWave(const char* resourceName) override;
  void StopSound() override;
  uint32_t TickCount() override { return tickCount_; }
  int32_t ScreenHeight() override { return screenHeight_; }
  void SystemVersion(uint32_t* major, uint32_t* minor) override {
    *major = 6;
    *minor = 1;
  }
  bool ActivateOtherCopy(const char* className) override;

  // --- For the driver: events into the program ---
  // The main window's paint handler; RepaintNow and UpdateNow call it.
  void SetPaintHandler(std::function<void(Canvas&)> handler) { paint_ = std::move(handler); }
  void SetClientSize(int32_t width, int32_t height) {
    clientWidth_ = width;
    clientHeight_ = height;
  }
  void SetScreenHeight(int32_t height) { screenHeight_ = height; }
  void SetTickCount(uint32_t ticks) { tickCount_ = ticks; }
  void SetControlText(ControlHandle control, const std::string& text);
  // The next control of this kind fails to be created.
  void FailNextControl(ControlKind kind) { failKinds_.push_back(kind); }
  // Another copy of the program holds its window open under this class.
  void SetOtherCopyRunning(bool running) { otherCopy_ = running; }

  // --- For the driver: what was shown ---
  // The reply that the next Yes/No box gets; without one the reply is No.
  void QueueReply(int reply) { replies_.push_back(reply); }
  const std::vector<RecordedMessage>& messages() const { return messages_; }
  void ClearMessages() { messages_.clear(); }
  // Sound names played, and "" for each stop.
  const std::vector<std::string>& sounds() const { return sounds_; }
  void ClearSounds() { sounds_.clear(); }
  const std::map<uintptr_t, HeadlessControl>& controls() const { return controls_; }
  const HeadlessControl* FindControl(uint16_t id) const;
  ControlHandle HandleOf(uint16_t id) const;
  ControlHandle focus() const { return focus_; }
  const PaintRecord& lastPaint() const { return lastPaint_; }
  bool timerRunning(uint32_t id) const;
  bool closeRequested() const { return closeRequested_; }
  bool otherCopyActivated() const { return otherCopyActivated_; }
  int paintCount() const { return paintCount_; }

 private:
  struct Font {
    int32_t pixelHeight;
    int32_t weight;
  };
  class Canvas;

  HeadlessControl* Find(ControlHandle control);
  void Paint();

  std::vector<RecordedMessage> messages_;
  std::deque<int> replies_;
  std::vector<std::string> sounds_;
  std::deque<Font> fonts_;
  std::map<uintptr_t, HeadlessControl> controls_;
  uintptr_t nextControl_ = 1;
  ControlHandle focus_ = nullptr;
  std::vector<ControlKind> failKinds_;
  uint32_t lastError_ = 0;
  int32_t clientWidth_ = 506;
  int32_t clientHeight_ = 400;
  int32_t screenHeight_ = 768;
  uint32_t tickCount_ = 600000;
  ScrollInfo scroll_{0, 100, 0, 0, 0};
  std::vector<uint32_t> timers_;
  bool closeRequested_ = false;
  bool otherCopy_ = false;
  bool otherCopyActivated_ = false;
  bool invalid_ = false;
  bool painting_ = false;
  int paintCount_ = 0;
  std::function<void(lanthorn::Canvas&)> paint_;
  PaintRecord lastPaint_;
};

}  // namespace lanthorn
