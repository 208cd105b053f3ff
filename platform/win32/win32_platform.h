// The platform API on Win32: the main window, its child controls, GDI, the
// program's resources, PlaySoundA and the save file.
#pragma once

#include <windows.h>

#include <map>

#include "platform/platform.h"

namespace lanthorn {

class Win32Platform : public Platform {
 public:
  explicit Win32Platform(HINSTANCE instance) : instance_(instance) {}
  ~Win32Platform() override;

  void SetMainWindow(HWND window) { window_ = window; }
  HWND mainWindow() const { return window_; }
  // The window procedure's paint brackets: a repaint asked for inside a paint
  // is done once the paint has ended, and so is drawing the scroll bar when
  // its range or position changed during the paint.
  void BeginPainting() { painting_ = true; }
  void EndPainting();

  int ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                     uint32_t style) override;
  TextMetrics DefaultFontMetrics() override;
  int32_t VerticalDotsPerInch() override;
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
  ControlHandle FocusedControl() override;
  void SetControlFace(ControlHandle control, uint16_t bitmapId) override;
  void SetTextLimit(ControlHandle control, int32_t characters) override;
  int32_t ReadControlText(ControlHandle control, char* buffer, int32_t size) override;
  void SetCheck(ControlHandle control, bool checked) override;
  bool ReadCheck(ControlHandle control) override;
  uint32_t LastError() override { return GetLastError(); }
  Rect ClientRect() override;
  void RepaintNow() override;
  void UpdateNow() override;
  void ScrollPageArea(int32_t dy, const Rect& pageArea) override;
  void SetScrollRange(int32_t maximum, int32_t page) override;
  int32_t SetScrollPosition(int32_t position) override;
  ScrollInfo GetScrollInfo() override;
  void StartTimer(uint32_t id, uint32_t milliseconds) override;
  void StopTimer(uint32_t id) override;
  void PostClose() override;
  void PlayWave(const char* resourceName) override;
  void StopSound() override;
  bool FileExists(const char* name) override;
  FileHandle OpenExclusive(const char* name) override;
  int32_t ReadFile(FileHandle file, uint8_t* buffer, int32_t size) override;
  bool SeekToStart(FileHandle file) override;
  bool SeekTo(FileHandle file, int32_t offset) override;
  int32_t WriteFile(FileHandle file, const uint8_t* buffer, int32_t size) override;
  bool FlushFile(FileHandle file) override;
  bool FileStillNamed(FileHandle file, const char* name) override;
  bool CloseFile(FileHandle file) override;
  uint32_t TickCount() override { return GetTickCount(); }
  int32_t ScreenHeight() override { return GetSystemMetrics(SM_CYSCREEN); }
  void SystemVersion(uint32_t* major, uint32_t* minor) override;
  bool ActivateOtherCopy(const char* className) override;

 private:
  HBITMAP Face(uint16_t bitmapId);
  // Sets the scroll bar; drawn now, or once after the paint that is coming.
  void SetScrollBar(SCROLLINFO& info);
  void DrawScrollBar();

  HINSTANCE instance_;
  HWND window_ = nullptr;
  bool painting_ = false;
  bool repaintAfterPaint_ = false;
  bool scrollBarStale_ = false;        // set without being drawn: drawn after the paint
  std::map<uint16_t, HBITMAP> faces_;  // icon-bar faces, kept for the window's life
  // PlaySoundA, from the sound library loaded at the first sound.
  using PlaySoundFunction = BOOL(WINAPI*)(LPCSTR, HMODULE, DWORD);
  bool soundLoaded_ = false;
  PlaySoundFunction playSound_ = nullptr;
};

// A paint's device context as the core's canvas.
class Win32Canvas : public Canvas {
 public:
  Win32Canvas(HINSTANCE instance, HDC dc) : instance_(instance), dc_(dc) {}
  Size MeasureText(FontHandle font, const char* text, int32_t length) override;
  void DrawString(FontHandle font, const Rect& rect, const char* text, int32_t length,
                  uint32_t flags) override;
  void InvertRect(const Rect& rect) override;
  void DrawBitmap(uint16_t bitmapId, int32_t x, int32_t y) override;
  void FrameRect(const Rect& rect) override;

 private:
  HINSTANCE instance_;
  HDC dc_;
};

// The message an input box sends the main window for Tab, Shift+Tab, Enter,
// Up and Down: wParam the box's id, lParam the core's Key.
constexpr UINT kInputBoxKeyMessage = WM_APP + 1;

// The procedure every input box is subclassed with.
LRESULT CALLBACK InputBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);

// The name a control of the main window is known by to assistive technology
// (null: none given, the window text serves).
const char* AccessibleNameOf(HWND control);

}  // namespace lanthorn
