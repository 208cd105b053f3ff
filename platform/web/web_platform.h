// The platform API in a web page. The page is a canvas; the controls are
// DOM elements (buttons, an <input> for each answer box, a check box) laid
// over it where the core puts them; the menu, the message boxes, the timer,
// the sounds and the save file live in the page's script (reader.js), which
// this class reaches through the functions of web_bridge.h.
//
// Text crosses the bridge as UTF-8; the book's text is Windows-1252, so it
// is converted on the way, through fixed buffers.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/platform.h"

namespace lanthorn {

// What the web page keeps of one control; its element lives in the script,
// under the same handle (slot index + 1).
struct WebControl {
  bool used;
  ControlKind kind;
  uint16_t id;
  int32_t width;
  int32_t height;
  bool faceDrawn;  // a choice button's face has been drawn by the core
};

// A page font: the bundled face at a pixel height, regular or bold.
struct WebFont {
  bool used;
  int32_t pixelHeight;
  bool bold;
  int32_t height;  // the line height the face gives at that size
};

// The save file: the record in memory, kept in the page's localStorage
// under the file's name after each write that changes it.
constexpr int32_t kWebFileCapacity = 8192;

class WebPlatform : public Platform {
 public:
  static constexpr int kControlCapacity = 256;
  static constexpr int kFontCapacity = 16;

  WebPlatform();

  // --- Platform ---
  int ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                     uint32_t style) override;
  TextMetrics DefaultFontMetrics() override;
  int32_t VerticalDotsPerInch() override { return 96; }  // a CSS inch
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
  ControlHandle FocusedControl() override;
  void FocusControl(ControlHandle control) override;
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
  bool FileExists(const char* name) override;
  FileHandle OpenExclusive(const char* name) override;
  int32_t ReadFile(FileHandle file, uint8_t* buffer, int32_t size) override;
  bool SeekToStart(FileHandle file) override;
  int32_t WriteFile(FileHandle file, const uint8_t* buffer, int32_t size) override;
  bool SeekTo(FileHandle file, int32_t offset) override;
  bool FlushFile(FileHandle file) override;
  bool FileStillNamed(FileHandle file, const char* name) override;
  bool CloseFile(FileHandle file) override;
  uint32_t TickCount() override;
  int32_t ScreenHeight() override;
  void SystemVersion(uint32_t* major, uint32_t* minor) override;
  // Tabs of one browser share the record; each plays on, and the last move
  // made in any of them is the one kept.
  bool ActivateOtherCopy(const char* /*className*/) override { return false; }

  // --- For the page's entry points ---
  void SetPaintHandler(std::function<void(Canvas&)> handler) { paint_ = std::move(handler); }
  void SetClientSize(int32_t width, int32_t height);
  // The scroll bar's thumb was dragged to this position.
  void SetTrackPosition(int32_t position) { scroll_.trackPosition = position; }
  bool closeRequested() const { return closeRequested_; }
  // Draws, through `draw`, the face of every choice button that has none
  // yet, as the window system asks an owner-drawn button for its face.
  void DrawNewFaces(const std::function<void(Canvas&, uint16_t id, const Rect& item)>& draw);

  WebControl* Find(ControlHandle control);
  const WebFont* Font(FontHandle font) const;

 private:
  void Paint();

  WebControl controls_[kControlCapacity]{};
  WebFont fonts_[kFontCapacity]{};
  uint32_t lastError_ = 0;
  int32_t clientWidth_ = 506;
  int32_t clientHeight_ = 659;
  ScrollInfo scroll_{0, 100, 0, 0, 0};
  bool closeRequested_ = false;
  bool invalid_ = false;
  bool painting_ = false;
  std::function<void(Canvas&)> paint_;

  char fileName_[64]{};
  uint8_t file_[kWebFileCapacity]{};
  int32_t fileSize_ = 0;
  int32_t filePosition_ = 0;
  bool fileOpen_ = false;
};

}  // namespace lanthorn
