// A platform that keeps nothing and shows nothing: controls are handles to
// nowhere, text is seven pixels a character, bitmaps 160 x 120, files never
// open. For the tools and checks that build pages without a window, and to
// measure the reader's own work alone.
#pragma once

#include "platform/platform.h"

namespace lanthorn {

class QuietCanvas : public Canvas {
 public:
  Size MeasureText(FontHandle, const char*, int32_t length) override { return {7 * length, 16}; }
  void DrawString(FontHandle, const Rect&, const char*, int32_t, uint32_t) override {}
  void InvertRect(const Rect&) override {}
  void DrawBitmap(uint16_t, int32_t, int32_t) override {}
  void FrameRect(const Rect&) override {}
};

class QuietPlatform : public Platform {
 public:
  int ShowMessageBox(WindowHandle, const char*, const char*, uint32_t) override { return kReplyNo; }
  TextMetrics DefaultFontMetrics() override { return {16, 7}; }
  int32_t VerticalDotsPerInch() override { return 96; }
  FontHandle CreatePageFont(int32_t, int32_t) override { return nullptr; }
  void DeleteFont(FontHandle) override {}
  Size MeasureText(FontHandle, const char*, int32_t length) override { return {7 * length, 16}; }
  bool BitmapSize(uint16_t, Size* size) override {
    *size = {160, 120};
    return true;
  }
  ControlHandle CreateControl(const ControlSpec&) override { return this; }
  void DestroyControl(ControlHandle) override {}
  void MoveControl(ControlHandle, int32_t, int32_t, int32_t, int32_t, bool) override {}
  void ShowControl(ControlHandle, bool) override {}
  void EnableControl(ControlHandle, bool) override {}
  void FocusControl(ControlHandle) override {}
  ControlHandle FocusedControl() override { return nullptr; }
  void SetControlFace(ControlHandle, uint16_t) override {}
  void SetTextLimit(ControlHandle, int32_t) override {}
  int32_t ReadControlText(ControlHandle, char* buffer, int32_t size) override {
    if (size > 0) buffer[0] = '\0';
    return 0;
  }
  void SetCheck(ControlHandle, bool) override {}
  bool ReadCheck(ControlHandle) override { return false; }
  uint32_t LastError() override { return 0; }
  Rect ClientRect() override { return {0, 0, 506, 659}; }
  void RepaintNow() override {}
  void UpdateNow() override {}
  void ScrollPageArea(int32_t, const Rect&) override {}
  void SetScrollRange(int32_t, int32_t) override {}
  int32_t SetScrollPosition(int32_t) override { return 0; }
  ScrollInfo GetScrollInfo() override { return {}; }
  void StartTimer(uint32_t, uint32_t) override {}
  void StopTimer(uint32_t) override {}
  void PostClose() override {}
  void PlayWave(const char*) override {}
  void StopSound() override {}
  bool FileExists(const char*) override { return false; }
  FileHandle OpenExclusive(const char*) override { return nullptr; }
  int32_t ReadFile(FileHandle, uint8_t*, int32_t) override { return 0; }
  bool SeekToStart(FileHandle) override { return true; }
  bool SeekTo(FileHandle, int32_t) override { return true; }
  int32_t WriteFile(FileHandle, const uint8_t*, int32_t size) override { return size; }
  bool FlushFile(FileHandle) override { return true; }
  bool FileStillNamed(FileHandle, const char*) override { return true; }
  bool CloseFile(FileHandle) override { return true; }
  uint32_t TickCount() override { return 600000; }
  int32_t ScreenHeight() override { return 768; }
  void SystemVersion(uint32_t* major, uint32_t* minor) override { *major = *minor = 0; }
  bool ActivateOtherCopy(const char*) override { return false; }
};

}  // namespace lanthorn
