// The Win32 reader's entry point and main window procedure: Windows messages
// become the core's events, and the core's operations become Win32 calls.
#include <windows.h>

#include <memory>

#include "platform/win32/win32_accessible.h"
#include "platform/win32/win32_platform.h"
#include "shell/keyboard.h"
#include "shell/main_window.h"
#include "shell/page_text.h"
#include "shell/reader.h"
#include "shell/save_file.h"
#include "shell/startup.h"

namespace {

using namespace lanthorn;

constexpr DWORD kMainWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VSCROLL;
constexpr WORD kIconId = 420;

// The one reader of this program, for the window procedure.
Reader* theReader = nullptr;
Win32Platform* thePlatform = nullptr;

Key KeyOf(WPARAM key) {
  if (key >= '1' && key <= '9') {
    return static_cast<Key>(static_cast<int>(Key::kDigit1) + static_cast<int>(key - '1'));
  }
  switch (key) {
    case VK_TAB: return GetKeyState(VK_SHIFT) < 0 ? Key::kBackTab : Key::kTab;
    case VK_RETURN: return Key::kEnter;
    case VK_SPACE: return Key::kSpace;
    case VK_PRIOR: return Key::kPageUp;
    case VK_NEXT: return Key::kPageDown;
    case VK_END: return Key::kEnd;
    case VK_HOME: return Key::kHome;
    case VK_UP: return Key::kUp;
    case VK_DOWN: return Key::kDown;
    default: return Key::kOther;
  }
}

bool IsButtonOf(HWND main, HWND control) {
  if (control == main || GetParent(control) != main) return false;
  char className[16] = "";
  GetClassNameA(control, className, sizeof className);
  return lstrcmpiA(className, "button") == 0;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Reader& reader = *theReader;
  switch (message) {
    case WM_CREATE: thePlatform->SetMainWindow(window); return OnCreate(reader, window);
    case WM_DESTROY:
      OnDestroy(reader);
      PostQuitMessage(0);
      return 0;
    case WM_SIZE: OnSize(reader, LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      thePlatform->BeginPainting();
      Win32Canvas canvas(GetModuleHandleA(nullptr), dc);
      OnPaint(reader, canvas);
      EndPaint(window, &paint);
      thePlatform->EndPainting();
      return 0;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      Win32Canvas canvas(GetModuleHandleA(nullptr), item->hDC);
      const Rect r{item->rcItem.left, item->rcItem.top, item->rcItem.right, item->rcItem.bottom};
      // The whole face is drawn each time, so a focus ring that goes away
      // leaves nothing behind.
      if (item->CtlID >= 5000)
        FillRect(item->hDC, &item->rcItem, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      OnDrawItem(reader, canvas, static_cast<uint16_t>(item->CtlID), r,
                 (item->itemState & ODS_FOCUS) != 0);
      break;
    }
    case WM_KEYDOWN:
      if (OnKeyDown(reader, KeyOf(wParam))) return 0;
      break;
    case kInputBoxKeyMessage:
      return OnInputBoxKey(reader, static_cast<uint16_t>(wParam), static_cast<Key>(lParam)) ? 1 : 0;
    case WM_MOUSEWHEEL: {
      // Whole notches of 120; a finer wheel adds up to them.
      static int rest = 0;
      rest += GET_WHEEL_DELTA_WPARAM(wParam);
      const int notches = rest / WHEEL_DELTA;
      rest -= notches * WHEEL_DELTA;
      if (notches != 0) OnWheel(reader, notches);
      return 0;
    }
    case WM_COMMAND: {
      const auto from = reinterpret_cast<HWND>(lParam);
      // An input box's own notification 0x501 is EN_MAXTEXT (a key past its
      // limit), not an answer: answers come from the core's input-box rule.
      if (LOWORD(wParam) >= 4000 && LOWORD(wParam) < 5000 && from != nullptr) break;
      // A click leaves the focus on the icon-bar button; the keys belong to
      // the page again.
      if (from != nullptr && (GetWindowLongA(from, GWL_STYLE) & BS_BITMAP) != 0) SetFocus(window);
      OnCommand(reader, LOWORD(wParam), HIWORD(wParam));
      break;
    }
    case WM_QUERYENDSESSION:
      // Logging off or shutting down: the place is saved before the answer.
      KeepReaderPlace(reader);
      return TRUE;
    case WM_ENDSESSION:
      if (wParam) KeepReaderPlace(reader);
      return 0;
    case WM_GETOBJECT:
      if (static_cast<LONG>(lParam) == static_cast<LONG>(OBJID_CLIENT)) {
        // The page's text in reading order, as the main window's value.
        static char text[kPageTextSize + 1024];
        PageText(reader, text, sizeof text);
        const LRESULT answer = AnswerWithName(window, wParam, reader.book.information.title, text);
        if (answer != 0) return answer;
      }
      break;
    case WM_TIMER: OnTimer(reader, static_cast<uint32_t>(wParam)); break;
    case WM_VSCROLL: OnVerticalScroll(reader, LOWORD(wParam)); return 0;
    case WM_SIZING: {
      auto* proposed = reinterpret_cast<RECT*>(lParam);
      Rect r{proposed->left, proposed->top, proposed->right, proposed->bottom};
      OnSizing(&r);
      proposed->right = r.right;
      proposed->bottom = r.bottom;
      break;
    }
    default: break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kIconId));
  // The title bar's small icon is the icon's own small image, loaded as it
  // is; left out, the system makes it by copying the large icon again from
  // the resource (2 ms of the start-up under Wine).
  windowClass.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(kIconId),
                                                      IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                      GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszMenuName = "MENUPAGEWYN";
  windowClass.lpszClassName = kWindowClassName;
  RegisterClassExA(&windowClass);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int showCommand) {
  static Win32Platform platform(instance);
  // The reader's tables are made once, before the window; nothing after.
  static const std::unique_ptr<Reader> reader = std::make_unique<Reader>(CompiledBook(), platform);
  thePlatform = &platform;
  theReader = reader.get();

  if (!StartReader(*reader)) ExitProcess(1);
  RegisterMainWindowClass(instance);
  const WindowPlacement place = PlaceMainWindow(*reader);
  HWND window = CreateWindowExA(0, kWindowClassName, CompiledBook().information.title,
                                kMainWindowStyle, place.x, place.y, place.width, place.height,
                                nullptr, nullptr, instance, nullptr);
  if (window == nullptr) {
    // Without a window there is nothing to read in; the save file is left
    // as it was.
    MessageBoxA(nullptr, "The reader's window could not be made.", nullptr, MB_OK);
    return 1;
  }
  MainWindowCreated(*reader);
  // The core learns the window's size before it is shown: Wine sends the
  // first WM_SIZE only while showing the window, after drawing its frame, so
  // the scroll bar would be drawn with the default range and then again.
  RECT client{};
  GetClientRect(window, &client);
  OnSize(*reader, client.right, client.bottom);
  // The first page is built while the window is hidden: its buttons are
  // made, greyed and given their faces without a redraw each, and the
  // window and its controls are then painted once.
  BuildDuePage(*reader);
  ShowWindow(window, showCommand);
  UpdateWindow(window);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    // Keys on the window's buttons are the page's keys first (there is no
    // dialog manager): Tab, Enter, Space, 1 to 9 and the scrolling keys.
    if (message.message == WM_KEYDOWN && IsButtonOf(window, message.hwnd) &&
        OnKeyDown(*reader, KeyOf(message.wParam))) {
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return FinishReader(*reader, static_cast<int>(message.wParam));
}
