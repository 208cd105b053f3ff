// The operations the reader needs of a windowing system. The core talks to the
// platform only through this interface; each front end (Win32, Qt, headless)
// implements it and delivers the main window's events to the core. Handles
// are opaque to the core; a null handle means "none".
#pragma once

#include <cstdint>

namespace lanthorn {

using WindowHandle = void*;
using ControlHandle = void*;
using FontHandle = void*;
using FileHandle = void*;

struct Rect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

struct Size {
  int32_t width;
  int32_t height;
};

// Message box button sets and replies, with the values Win32 gives them.
enum MessageBoxStyle : uint32_t { kMessageBoxOk = 0, kMessageBoxYesNo = 4 };
enum MessageBoxReply : int { kReplyOk = 1, kReplyYes = 6, kReplyNo = 7 };

// Text drawing flags, with the values Win32 gives them.
enum DrawTextFlag : uint32_t {
  kDrawLeft = 0x0,
  kDrawCentre = 0x1,
  kDrawRight = 0x2,
  kDrawVerticalCentre = 0x4,
  kDrawSingleLine = 0x20,
  kDrawNoPrefix = 0x800,
};

// Child controls of the main window.
enum class ControlKind : uint8_t {
  kChoiceButton,   // owner-drawn push button with a border; the core draws its face
  kPictureButton,  // owner-drawn push button, no border; the core draws its picture
  kTextButton,     // default push button showing its text
  kBitmapButton,   // push button showing a bitmap face
  kCheckBox,       // automatic check box
  kEditBox,        // single-line edit box; Tab or Enter in it is a command
};

struct ControlSpec {
  ControlKind kind;
  const char* text;
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
  uint16_t id;
  uint16_t bitmapId;  // the face of a bitmap button
  // What assistive technology calls the control (and a bitmap button's
  // tooltip), in words; null to use the text. A choice button's text is
  // empty (its face is drawn by the core), so this is its label.
  const char* name;
};

// The notification with which an edit box's Tab or Enter reaches the main
// window as a command.
constexpr uint16_t kEditEntered = 0x501;

// A paint's drawing surface.
class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual Size MeasureText(FontHandle font, const char* text, int32_t length) = 0;
  // One line of text in the rectangle, aligned and clipped by the flags.
  virtual void DrawString(FontHandle font, const Rect& rect, const char* text, int32_t length,
                          uint32_t flags) = 0;
  virtual void InvertRect(const Rect& rect) = 0;
  // A bitmap resource copied opaquely at its own size.
  virtual void DrawBitmap(uint16_t bitmapId, int32_t x, int32_t y) = 0;
  // A one-pixel black frame just inside the rectangle.
  virtual void FrameRect(const Rect& rect) = 0;
};

struct TextMetrics {
  int32_t height;
  int32_t averageCharWidth;
};

struct ScrollInfo {
  int32_t minimum;
  int32_t maximum;
  int32_t page;
  int32_t position;
  int32_t trackPosition;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // A modal message box. A null owner means no owner window; a null caption
  // means the system's default caption. Returns the reply.
  virtual int ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                             uint32_t style) = 0;

  // Fonts and text.
  virtual TextMetrics DefaultFontMetrics() = 0;
  virtual int32_t VerticalDotsPerInch() = 0;
  virtual FontHandle CreatePageFont(int32_t pixelHeight, int32_t weight) = 0;
  virtual void DeleteFont(FontHandle font) = 0;
  virtual Size MeasureText(FontHandle font, const char* text, int32_t length) = 0;

  // Bitmap resources: false when there is no such bitmap.
  virtual bool BitmapSize(uint16_t bitmapId, Size* size) = 0;

  // Child controls of the main window. CreateControl returns null on failure.
  virtual ControlHandle CreateControl(const ControlSpec& request) = 0;
  virtual void DestroyControl(ControlHandle control) = 0;
  virtual void MoveControl(ControlHandle control, int32_t x, int32_t y, int32_t width,
                           int32_t height, bool repaint) = 0;
  virtual void ShowControl(ControlHandle control, bool visible) = 0;
  virtual void EnableControl(ControlHandle control, bool enabled) = 0;
  virtual void FocusControl(ControlHandle control) = 0;
  // The control of the main window that has the keyboard focus; null when
  // the window itself (or nothing of it) has it.
  virtual ControlHandle FocusedControl() = 0;
  virtual void SetControlFace(ControlHandle control, uint16_t bitmapId) = 0;
  virtual void SetTextLimit(ControlHandle control, int32_t characters) = 0;
  // Copies at most size - 1 characters and a NUL; returns the count copied.
  virtual int32_t ReadControlText(ControlHandle control, char* buffer, int32_t size) = 0;
  virtual void SetCheck(ControlHandle control, bool checked) = 0;
  virtual bool ReadCheck(ControlHandle control) = 0;
  virtual uint32_t LastError() = 0;

  // The main window.
  virtual Rect ClientRect() = 0;
  // Invalidates the whole client area and paints it before returning.
  virtual void RepaintNow() = 0;
  // Paints what is invalid before returning.
  virtual void UpdateNow() = 0;
  // Moves the pixels of the page area, and the child controls in it, by dy.
  virtual void ScrollPageArea(int32_t dy, const Rect& pageArea) = 0;
  virtual void SetScrollRange(int32_t maximum, int32_t page) = 0;
  // Sets the position (clamped to the range) and returns the one now in force.
  virtual int32_t SetScrollPosition(int32_t position) = 0;
  virtual ScrollInfo GetScrollInfo() = 0;
  virtual void StartTimer(uint32_t id, uint32_t milliseconds) = 0;
  virtual void StopTimer(uint32_t id) = 0;
  virtual void PostClose() = 0;

  // Sounds from the program's WAVE resources, played asynchronously.
  virtual void PlayWave(const char* resourceName) = 0;
  virtual void StopSound() = 0;

  // The save file: a name in the current directory, opened without sharing.
  virtual bool FileExists(const char* name) = 0;
  // Opens the file, creating it (hidden) when it does not exist. Null when it
  // cannot be opened, for example because another copy holds it, or when the
  // name is not a plain file (a pipe or a device would block or lie).
  virtual FileHandle OpenExclusive(const char* name) = 0;
  virtual int32_t ReadFile(FileHandle file, uint8_t* buffer, int32_t size) = 0;
  virtual bool SeekToStart(FileHandle file) = 0;
  virtual bool SeekTo(FileHandle file, int32_t offset) = 0;
  // Returns the number of bytes written.
  virtual int32_t WriteFile(FileHandle file, const uint8_t* buffer, int32_t size) = 0;
  // Puts what was written on the disk itself; false when that failed.
  virtual bool FlushFile(FileHandle file) = 0;
  // False when the file still open under this handle is no longer the one
  // that the name finds (it was deleted or replaced while the program ran).
  virtual bool FileStillNamed(FileHandle file, const char* name) = 0;
  // False when closing reported an error (the last writes may be lost).
  virtual bool CloseFile(FileHandle file) = 0;

  // The system.
  virtual uint32_t TickCount() = 0;
  virtual int32_t ScreenHeight() = 0;
  virtual void SystemVersion(uint32_t* major, uint32_t* minor) = 0;
  // Brings the window of another running copy to the front; false if none.
  virtual bool ActivateOtherCopy(const char* className) = 0;
};

}  // namespace lanthorn
