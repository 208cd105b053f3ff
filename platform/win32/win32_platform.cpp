#include "platform/win32/win32_platform.h"

#include <mmsystem.h>

#include <cstdint>
#include <cstring>

#include "platform/win32/system_library.h"
#include "platform/win32/win32_accessible.h"
#include "shell/main_window.h"

namespace lanthorn {

namespace {

constexpr const char* kPreviousProcedure = "LanthornPreviousProcedure";
constexpr const char* kAccessibleName = "LanthornAccessibleName";

// Buttons are subclassed for three things: they answer assistive technology
// with their name in words (WM_GETOBJECT), a bitmap button that is disabled
// shows its designed disabled face as it is drawn (the system's own disabled
// drawing would emboss the greyed face a second time), and a button without
// a frame skips the frame's paint.
LRESULT CALLBACK ButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
  auto previous = reinterpret_cast<WNDPROC>(GetPropA(button, kPreviousProcedure));
  switch (message) {
    case WM_GETOBJECT:
      if (static_cast<LONG>(lParam) == static_cast<LONG>(OBJID_CLIENT)) {
        if (const char* name = AccessibleNameOf(button)) {
          const LRESULT answer = AnswerWithName(button, wParam, name, nullptr);
          if (answer != 0) return answer;
        }
      }
      break;
    case WM_PAINT: {
      if (IsWindowEnabled(button) || (GetWindowLongA(button, GWL_STYLE) & BS_BITMAP) == 0) break;
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(button, &paint);
      RECT r{};
      GetClientRect(button, &r);
      DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH);
      auto face = reinterpret_cast<HBITMAP>(SendMessageA(button, BM_GETIMAGE, IMAGE_BITMAP, 0));
      BITMAP info{};
      if (face != nullptr && GetObjectA(face, sizeof info, &info) != 0) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, face);
        BitBlt(dc, (r.right - info.bmWidth) / 2, (r.bottom - info.bmHeight) / 2, info.bmWidth,
               info.bmHeight, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
      }
      EndPaint(button, &paint);
      return 0;
    }
    case WM_NCPAINT: {
      // A button without a border has no frame to draw; the system would
      // still fetch a window DC for it (under Wine, a third of the cost of
      // painting an icon-bar button).
      RECT window{};
      RECT client{};
      GetWindowRect(button, &window);
      GetClientRect(button, &client);
      if (window.right - window.left == client.right && window.bottom - window.top == client.bottom)
        return 0;
      break;
    }
    case WM_NCDESTROY:
      delete[] static_cast<char*>(RemovePropA(button, kAccessibleName));
      RemovePropA(button, kPreviousProcedure);
      break;
    default: break;
  }
  return CallWindowProcA(previous, button, message, wParam, lParam);
}

HWND Window(ControlHandle control) { return static_cast<HWND>(control); }

// A bitmap resource as it is stored: a packed DIB, its header followed by
// its colour table and pixels. Read in place, a picture is measured and drawn
// without making a bitmap object of it (under Wine a bitmap made with
// LoadBitmap costs half a millisecond, and a page measured and drew its
// picture from three of them).
struct PackedDib {
  const BITMAPINFO* info = nullptr;
  const void* pixels = nullptr;
  LONG width = 0;
  LONG height = 0;  // rows, whichever way they run
};

PackedDib FindPackedDib(HINSTANCE instance, uint16_t bitmapId) {
  constexpr WORD kBitmapResource = 2;  // RT_BITMAP
  HRSRC found =
      FindResourceA(instance, MAKEINTRESOURCEA(bitmapId), MAKEINTRESOURCEA(kBitmapResource));
  HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
  const auto* bytes =
      loaded != nullptr ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
  const DWORD size = found != nullptr ? SizeofResource(instance, found) : 0;
  if (bytes == nullptr || size < sizeof(BITMAPINFOHEADER)) return {};
  const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes);
  // Only the Windows header is read; an OS/2 one (12 bytes) is not a DIB
  // SetDIBitsToDevice takes, and the resource compiler keeps what it is given.
  if (header->biSize < sizeof(BITMAPINFOHEADER) || header->biSize > size) return {};
  uint64_t colours = header->biClrUsed;
  if (colours == 0 && header->biBitCount <= 8) colours = uint64_t{1} << header->biBitCount;
  uint64_t offset = header->biSize + colours * sizeof(RGBQUAD);
  if (header->biSize == sizeof(BITMAPINFOHEADER) && header->biCompression == BI_BITFIELDS) {
    offset += 3 * sizeof(DWORD);
  }
  if (header->biWidth <= 0 || header->biHeight == 0 || header->biHeight == INT32_MIN) return {};
  const LONG rows = header->biHeight < 0 ? -header->biHeight : header->biHeight;
  const uint64_t stride =
      ((uint64_t{static_cast<uint32_t>(header->biWidth)} * header->biBitCount + 31) / 32) * 4;
  // Every row must lie inside the resource; the product is only formed once
  // it cannot wrap around.
  if (offset > size) return {};
  const uint64_t room = size - offset;
  if (header->biCompression == BI_RGB) {
    if (stride == 0 || static_cast<uint64_t>(rows) > room / stride) return {};
  } else if (header->biSizeImage > room) {
    return {};
  }
  return {reinterpret_cast<const BITMAPINFO*>(bytes), bytes + offset, header->biWidth, rows};
}

RECT ToRect(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

}  // namespace

Win32Platform::~Win32Platform() {
  for (auto& [id, bitmap] : faces_) DeleteObject(bitmap);
}

void Win32Platform::EndPainting() {
  painting_ = false;
  if (repaintAfterPaint_) {
    repaintAfterPaint_ = false;
    UpdateWindow(window_);
  }
  if (scrollBarStale_) DrawScrollBar();
}

int Win32Platform::ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                                  uint32_t style) {
  return MessageBoxA(static_cast<HWND>(owner), text, caption, style);
}

TextMetrics Win32Platform::DefaultFontMetrics() {
  HDC dc = GetDC(window_);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  ReleaseDC(window_, dc);
  return {metrics.tmHeight, metrics.tmAveCharWidth};
}

int32_t Win32Platform::VerticalDotsPerInch() {
  HDC dc = CreateCompatibleDC(nullptr);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  DeleteDC(dc);
  return dpi;
}

FontHandle Win32Platform::CreatePageFont(int32_t pixelHeight, int32_t weight) {
  LOGFONTA font{};
  GetObjectA(GetStockObject(ANSI_VAR_FONT), sizeof font, &font);
  font.lfHeight = -pixelHeight;
  font.lfWeight = weight;
  return CreateFontIndirectA(&font);
}

void Win32Platform::DeleteFont(FontHandle font) { DeleteObject(static_cast<HFONT>(font)); }

Size Win32Platform::MeasureText(FontHandle font, const char* text, int32_t length) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, static_cast<HFONT>(font));
  SIZE size{};
  GetTextExtentPoint32A(dc, text, length, &size);
  SelectObject(dc, previous);
  DeleteDC(dc);
  return {size.cx, size.cy};
}

bool Win32Platform::BitmapSize(uint16_t bitmapId, Size* size) {
  const PackedDib dib = FindPackedDib(instance_, bitmapId);
  if (dib.info == nullptr) return false;
  *size = {dib.width, dib.height};
  return true;
}

HBITMAP Win32Platform::Face(uint16_t bitmapId) {
  auto found = faces_.find(bitmapId);
  if (found != faces_.end()) return found->second;
  // Kept as the DIB it is stored as: a device bitmap (LoadBitmap) is
  // converted to the screen's format first, six times slower under Wine,
  // and draws the same pixels.
  auto* bitmap = static_cast<HBITMAP>(
      LoadImageA(instance_, MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  faces_[bitmapId] = bitmap;
  return bitmap;
}

ControlHandle Win32Platform::CreateControl(const ControlSpec& request) {
  DWORD style = WS_CHILD | WS_VISIBLE;
  const char* className = "button";
  switch (request.kind) {
    case ControlKind::kChoiceButton: style |= WS_BORDER | BS_OWNERDRAW; break;
    case ControlKind::kPictureButton: style |= BS_OWNERDRAW; break;
    case ControlKind::kTextButton: style |= BS_DEFPUSHBUTTON; break;
    case ControlKind::kBitmapButton: style |= BS_BITMAP | BS_DEFPUSHBUTTON; break;
    case ControlKind::kCheckBox: style |= BS_AUTOCHECKBOX; break;
    case ControlKind::kEditBox:
      className = "EDIT";
      style |= WS_BORDER | ES_AUTOHSCROLL | ES_NOHIDESEL;
      break;
  }
  HWND control = CreateWindowExA(
      0, className, request.text, style, request.x, request.y, request.width, request.height,
      window_, reinterpret_cast<HMENU>(static_cast<uintptr_t>(request.id)), instance_, nullptr);
  if (control == nullptr) return nullptr;
  if (request.kind == ControlKind::kBitmapButton) SetControlFace(control, request.bitmapId);
  if (request.name != nullptr && request.name[0] != '\0') {
    const size_t length = strlen(request.name);
    char* name = new char[length + 1];
    memcpy(name, request.name, length + 1);
    SetPropA(control, kAccessibleName, name);
  }
  // Tab and Enter in an input box submit its text to the main window.
  const WNDPROC procedure = request.kind == ControlKind::kEditBox ? InputBoxProc : ButtonProc;
  const LONG_PTR previous =
      SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
  SetPropA(control, kPreviousProcedure, reinterpret_cast<HANDLE>(previous));
  return control;
}

void Win32Platform::DestroyControl(ControlHandle control) {
  // Without this the focus would go nowhere, and keys would reach the
  // window as system keys that scroll nothing.
  if (GetFocus() == Window(control)) SetFocus(window_);
  DestroyWindow(Window(control));
}

void Win32Platform::MoveControl(ControlHandle control, int32_t x, int32_t y, int32_t width,
                                int32_t height, bool repaint) {
  MoveWindow(Window(control), x, y, width, height, repaint ? TRUE : FALSE);
}

void Win32Platform::ShowControl(ControlHandle control, bool visible) {
  ShowWindow(Window(control), visible ? SW_SHOW : SW_HIDE);
}

void Win32Platform::EnableControl(ControlHandle control, bool enabled) {
  if (!enabled && GetFocus() == Window(control)) SetFocus(window_);
  EnableWindow(Window(control), enabled ? TRUE : FALSE);
}

void Win32Platform::FocusControl(ControlHandle control) { SetFocus(Window(control)); }

ControlHandle Win32Platform::FocusedControl() {
  HWND focused = GetFocus();
  return focused != nullptr && GetParent(focused) == window_ ? focused : nullptr;
}

void Win32Platform::SetControlFace(ControlHandle control, uint16_t bitmapId) {
  SendMessageA(Window(control), BM_SETIMAGE, IMAGE_BITMAP,
               reinterpret_cast<LPARAM>(Face(bitmapId)));
}

void Win32Platform::SetTextLimit(ControlHandle control, int32_t characters) {
  SendMessageA(Window(control), EM_LIMITTEXT, static_cast<WPARAM>(characters), 0);
}

int32_t Win32Platform::ReadControlText(ControlHandle control, char* buffer, int32_t size) {
  if (size <= 0) return 0;
  buffer[0] = '\0';
  return GetWindowTextA(Window(control), buffer, size);
}

void Win32Platform::SetCheck(ControlHandle control, bool checked) {
  SendMessageA(Window(control), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Win32Platform::ReadCheck(ControlHandle control) {
  return SendMessageA(Window(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

Rect Win32Platform::ClientRect() {
  RECT r{};
  GetClientRect(window_, &r);
  return {r.left, r.top, r.right, r.bottom};
}

void Win32Platform::RepaintNow() {
  InvalidateRect(window_, nullptr, TRUE);
  if (painting_) {
    repaintAfterPaint_ = true;
  } else {
    UpdateWindow(window_);
  }
}

void Win32Platform::UpdateNow() {
  if (painting_) {
    repaintAfterPaint_ = true;
  } else {
    UpdateWindow(window_);
  }
}

void Win32Platform::ScrollPageArea(int32_t dy, const Rect& pageArea) {
  const RECT area = ToRect(pageArea);
  ScrollWindowEx(window_, 0, dy, &area, &area, nullptr, nullptr,
                 SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
}

namespace {

// What the vertical scroll bar shows: a disabled bar has no thumb, so its
// look does not depend on its range and position.
struct ScrollBarLook {
  bool disabled;
  int minimum, maximum, position;
  UINT page;
  bool operator==(const ScrollBarLook& other) const {
    if (disabled || other.disabled) return disabled == other.disabled;
    return minimum == other.minimum && maximum == other.maximum && page == other.page &&
           position == other.position;
  }
};

ScrollBarLook LookOf(HWND window) {
  SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
  ::GetScrollInfo(window, SB_VERT, &info);
  SCROLLBARINFO bar{};
  bar.cbSize = sizeof bar;
  const bool disabled =
      GetScrollBarInfo(window, OBJID_VSCROLL, &bar) && (bar.rgstate[0] & STATE_SYSTEM_UNAVAILABLE);
  return {disabled, info.nMin, info.nMax, info.nPos, info.nPage};
}

}  // namespace

// Drawing the scroll bar costs about as much as the rest of a short page's
// paint, and building a page sets its range and position up to three times.
// The values are always set at once, so the core reads back what it set; the
// bar is drawn at once only when no paint is coming. While the window is
// hidden, showing it draws the bar as it then is; while a paint is under way,
// or one is coming because part of the window is invalid (a window just
// shown, before its first page), the bar is drawn once when the paint ends,
// and only if its look changed.
void Win32Platform::SetScrollBar(SCROLLINFO& info) {
  if (!IsWindowVisible(window_)) {
    SetScrollInfo(window_, SB_VERT, &info, FALSE);
  } else if (painting_ || GetUpdateRect(window_, nullptr, FALSE) != 0) {
    const ScrollBarLook before = LookOf(window_);
    SetScrollInfo(window_, SB_VERT, &info, FALSE);
    if (!(LookOf(window_) == before)) scrollBarStale_ = true;
  } else {
    SetScrollInfo(window_, SB_VERT, &info, TRUE);
  }
}

void Win32Platform::DrawScrollBar() {
  scrollBarStale_ = false;
  SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
  if (!::GetScrollInfo(window_, SB_VERT, &info)) return;
  // A scroll bar is redrawn only when something in it changes: the thumb is
  // moved by one, undrawn, and the values are set back as they were, drawn.
  // Where the range allows one position only, the bar is disabled, and
  // setting it so draws it all the same.
  SCROLLINFO nudge{
      sizeof nudge, SIF_POS, 0, 0, 0, info.nPos > info.nMin ? info.nPos - 1 : info.nPos + 1, 0};
  SetScrollInfo(window_, SB_VERT, &nudge, FALSE);
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  SetScrollInfo(window_, SB_VERT, &info, TRUE);
}

void Win32Platform::SetScrollRange(int32_t maximum, int32_t page) {
  SCROLLINFO info{sizeof info,
                  SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL,
                  0,
                  maximum,
                  static_cast<UINT>(page < 0 ? 0 : page),
                  0,
                  0};
  SetScrollBar(info);
}

int32_t Win32Platform::SetScrollPosition(int32_t position) {
  SCROLLINFO info{sizeof info, SIF_POS | SIF_DISABLENOSCROLL, 0, 0, 0, position, 0};
  SetScrollBar(info);
  info.fMask = SIF_POS;
  ::GetScrollInfo(window_, SB_VERT, &info);
  return info.nPos;
}

ScrollInfo Win32Platform::GetScrollInfo() {
  SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS, 0, 0, 0, 0, 0};
  ::GetScrollInfo(window_, SB_VERT, &info);
  return {info.nMin, info.nMax, static_cast<int32_t>(info.nPage), info.nPos, info.nTrackPos};
}

void Win32Platform::StartTimer(uint32_t id, uint32_t milliseconds) {
  SetTimer(window_, id, milliseconds, nullptr);
}

void Win32Platform::StopTimer(uint32_t id) { KillTimer(window_, id); }

void Win32Platform::PostClose() { PostMessageA(window_, WM_CLOSE, 0, 0); }

// The sound library is loaded when the first sound is played; until then
// no sound can be playing, and stopping one has nothing to do.
void Win32Platform::PlayWave(const char* resourceName) {
  if (!soundLoaded_) {
    soundLoaded_ = true;
    playSound_ = LibraryEntry<PlaySoundFunction>(LoadSystemLibrary("winmm.dll"), "PlaySoundA");
  }
  if (playSound_ != nullptr) playSound_(resourceName, instance_, SND_RESOURCE | SND_ASYNC);
}

void Win32Platform::StopSound() {
  if (playSound_ != nullptr) playSound_(nullptr, nullptr, SND_ASYNC | SND_NODEFAULT | SND_FILENAME);
}

bool Win32Platform::FileExists(const char* name) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(name, &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

FileHandle Win32Platform::OpenExclusive(const char* name) {
  const DWORD creation = FileExists(name) ? OPEN_EXISTING : CREATE_NEW;
  HANDLE file = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, creation,
                            FILE_ATTRIBUTE_HIDDEN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  // Only a file on a disk keeps a save: a pipe or a device of that name
  // would block the first read or lose what is written.
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    return nullptr;
  }
  return file;
}

int32_t Win32Platform::ReadFile(FileHandle file, uint8_t* buffer, int32_t size) {
  DWORD got = 0;
  if (!::ReadFile(static_cast<HANDLE>(file), buffer, static_cast<DWORD>(size), &got, nullptr)) {
    return 0;
  }
  return static_cast<int32_t>(got);
}

bool Win32Platform::SeekToStart(FileHandle file) {
  return SetFilePointer(static_cast<HANDLE>(file), 0, nullptr, FILE_BEGIN) !=
         INVALID_SET_FILE_POINTER;
}

bool Win32Platform::SeekTo(FileHandle file, int32_t offset) {
  return SetFilePointer(static_cast<HANDLE>(file), offset, nullptr, FILE_BEGIN) ==
         static_cast<DWORD>(offset);
}

bool Win32Platform::FlushFile(FileHandle file) {
  return FlushFileBuffers(static_cast<HANDLE>(file)) != 0;
}

bool Win32Platform::FileStillNamed(FileHandle file, const char* name) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(static_cast<HANDLE>(file), &info)) return false;
  return info.nNumberOfLinks > 0 && GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES;
}

int32_t Win32Platform::WriteFile(FileHandle file, const uint8_t* buffer, int32_t size) {
  DWORD put = 0;
  if (!::WriteFile(static_cast<HANDLE>(file), buffer, static_cast<DWORD>(size), &put, nullptr)) {
    return 0;
  }
  return static_cast<int32_t>(put);
}

bool Win32Platform::CloseFile(FileHandle file) {
  return CloseHandle(static_cast<HANDLE>(file)) != 0;
}

void Win32Platform::SystemVersion(uint32_t* major, uint32_t* minor) {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExA(&version);
#pragma GCC diagnostic pop
  *major = version.dwMajorVersion;
  *minor = version.dwMinorVersion;
}

bool Win32Platform::ActivateOtherCopy(const char* className) {
  HWND other = FindWindowA(className, nullptr);
  if (other == nullptr) return false;
  // To the front, restored if minimised, but not kept above every other
  // window for the rest of its session.
  if (IsIconic(other)) ShowWindow(other, SW_RESTORE);
  SetForegroundWindow(other);
  SetActiveWindow(other);
  InvalidateRect(other, nullptr, TRUE);
  UpdateWindow(other);
  SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
  return true;
}

Size Win32Canvas::MeasureText(FontHandle font, const char* text, int32_t length) {
  HGDIOBJ previous = SelectObject(dc_, static_cast<HFONT>(font));
  SIZE size{};
  GetTextExtentPoint32A(dc_, text, length, &size);
  SelectObject(dc_, previous);
  return {size.cx, size.cy};
}

void Win32Canvas::DrawString(FontHandle font, const Rect& rect, const char* text, int32_t length,
                             uint32_t flags) {
  HGDIOBJ previous = font != nullptr ? SelectObject(dc_, static_cast<HFONT>(font)) : nullptr;
  RECT r = ToRect(rect);
  ::DrawTextA(dc_, text, length, &r, flags);
  if (previous != nullptr) SelectObject(dc_, previous);
}

void Win32Canvas::InvertRect(const Rect& rect) {
  const RECT r = ToRect(rect);
  ::InvertRect(dc_, &r);
}

void Win32Canvas::FrameRect(const Rect& rect) {
  const RECT r = ToRect(rect);
  ::FrameRect(dc_, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void Win32Canvas::DrawBitmap(uint16_t bitmapId, int32_t x, int32_t y) {
  const PackedDib dib = FindPackedDib(instance_, bitmapId);
  if (dib.info == nullptr) return;
  SetDIBitsToDevice(dc_, x, y, static_cast<DWORD>(dib.width), static_cast<DWORD>(dib.height), 0, 0,
                    0, static_cast<UINT>(dib.height), dib.pixels, dib.info, DIB_RGB_COLORS);
}

LRESULT CALLBACK InputBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN) {
    Key key = Key::kOther;
    switch (wParam) {
      case VK_TAB: key = GetKeyState(VK_SHIFT) < 0 ? Key::kBackTab : Key::kTab; break;
      case VK_RETURN: key = Key::kEnter; break;
      case VK_UP: key = Key::kUp; break;
      case VK_DOWN: key = Key::kDown; break;
      default: break;
    }
    // The main window hands the key to the core's rule for input boxes,
    // synchronously, so the answer is acted on before the box's next message.
    if (key != Key::kOther &&
        SendMessageA(GetParent(box), kInputBoxKeyMessage, static_cast<WPARAM>(GetDlgCtrlID(box)),
                     static_cast<LPARAM>(key)) != 0) {
      return 0;
    }
  }
  if (message == WM_CHAR && (wParam == '\t' || wParam == '\r')) return 0;  // no beep
  auto previous = reinterpret_cast<WNDPROC>(GetPropA(box, kPreviousProcedure));
  if (message == WM_NCDESTROY) RemovePropA(box, kPreviousProcedure);
  return CallWindowProcA(previous, box, message, wParam, lParam);
}

const char* AccessibleNameOf(HWND control) {
  return static_cast<const char*>(GetPropA(control, kAccessibleName));
}

}  // namespace lanthorn
