// The Win32 reader's entry point and main window procedure: Windows messages
// become the core's events, and the core's operations become Win32 calls.
#include <windows.h>

#include <memory>

#include "platform/win32/win32_platform.h"
#include "shell/main_window.h"
#include "shell/reader.h"
#include "shell/startup.h"

namespace {

using namespace lanthorn;

constexpr DWORD kMainWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VSCROLL;
constexpr WORD kIconId = 420;

// The one reader of this program, for the window procedure.
Reader* theReader = nullptr;
Win32Platform* thePlatform = nullptr;

Key KeyOf(WPARAM key) {
  switch (key) {
    case VK_PRIOR: return Key::kPageUp;
    case VK_NEXT: return Key::kPageDown;
    case VK_END: return Key::kEnd;
    case VK_HOME: return Key::kHome;
    case VK_UP: return Key::kUp;
    case VK_DOWN: return Key::kDown;
    default: return Key::kOther;
  }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Reader& reader = *theReader;
  switch (message) {
    case WM_CREATE:
      thePlatform->SetMainWindow(window);
      return OnCreate(reader, window);
    case WM_DESTROY:
      OnDestroy(reader);
      PostQuitMessage(0);
      return 0;
    case WM_SIZE:
      OnSize(reader, LOWORD(lParam), HIWORD(lParam));
      return 0;
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
      OnDrawItem(reader, canvas, static_cast<uint16_t>(item->CtlID), r);
      break;
    }
    case WM_KEYDOWN:
      if (OnKeyDown(reader, KeyOf(wParam))) return 0;
      break;
    case WM_COMMAND:
      OnCommand(reader, LOWORD(wParam), HIWORD(wParam));
      break;
    case WM_TIMER:
      OnTimer(reader, static_cast<uint32_t>(wParam));
      break;
    case WM_VSCROLL:
      OnVerticalScroll(reader, LOWORD(wParam));
      return 0;
    case WM_SIZING: {
      auto* proposed = reinterpret_cast<RECT*>(lParam);
      Rect r{proposed->left, proposed->top, proposed->right, proposed->bottom};
      OnSizing(&r);
      proposed->right = r.right;
      proposed->bottom = r.bottom;
      break;
    }
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSA windowClass{};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kIconId));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszMenuName = "MENUPAGEWYN";
  windowClass.lpszClassName = kWindowClassName;
  RegisterClassA(&windowClass);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int showCommand) {
  static Win32Platform platform(instance);
  // The reader's tables are made once, before the window; nothing after.
  static const std::unique_ptr<Reader> reader =
      std::make_unique<Reader>(CompiledBook(), platform);
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
  ShowWindow(window, showCommand);
  UpdateWindow(window);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return FinishReader(*reader, static_cast<int>(message.wParam));
}
