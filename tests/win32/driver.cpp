// Drives the Win32 reader end to end, through window messages only: starts it
// in a scratch directory, finds its window and controls, sends commands and
// keys, types into input boxes, answers message boxes, takes screenshots,
// closes it and checks the save file.
//
//   lanthorn-driver READER.exe FIXTURE_READER.exe WORK_DIR SHOTS_DIR
//
// READER.exe carries the real book; FIXTURE_READER.exe carries the small
// test book "The Crossing", whose pages hold a typed answer and a restart
// point. READER.exe's own resources are read back too: its manifest,
// version resource and icon, and that it is stripped. Prints one line per
// check and "N passed, M failed" at the end.
#include <windows.h>
#include <tlhelp32.h>

#include "platform/win32/win32_accessible.h"

#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr const char* kClass = "TBV2lanthornfell";
constexpr const char* kSaveFile = "TBV2lanthornfell.dat";
constexpr size_t kSavedFileSize = 5096;

int passed = 0;
int failed = 0;

void Check(bool ok, const std::string& what) {
  (ok ? passed : failed) += 1;
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  std::fflush(stdout);
}

struct Control {
  HWND window;
  int id;
  std::string className;
  bool visible;
  bool enabled;
  RECT rect;  // in the parent's client coordinates
};

std::vector<Control> Controls(HWND main) {
  // The reader answers only once it has finished the message in hand, so
  // nothing is read half-built.
  SendMessageA(main, WM_NULL, 0, 0);
  std::vector<Control> controls;
  EnumChildWindows(
      main,
      [](HWND child, LPARAM context) -> BOOL {
        auto* list = reinterpret_cast<std::vector<Control>*>(context);
        char className[64] = "";
        GetClassNameA(child, className, sizeof className);
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
        list->push_back({child, GetDlgCtrlID(child), className, IsWindowVisible(child) != 0,
                         IsWindowEnabled(child) != 0, r});
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&controls));
  return controls;
}

// The control with this id and window text (the icon bar's "?" and the
// details screen's "INSTRUCTIONS" share their command id).
const Control* FindLabelled(const std::vector<Control>& controls, int id, const char* text) {
  for (const Control& c : controls) {
    char label[64] = "";
    GetWindowTextA(c.window, label, sizeof label);
    if (c.id == id && std::string(label) == text) return &c;
  }
  return nullptr;
}

const Control* Find(const std::vector<Control>& controls, int id) {
  for (const Control& c : controls) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

int CountChoices(HWND main) {
  int count = 0;
  for (const Control& c : Controls(main)) count += c.id >= 5000 ? 1 : 0;
  return count;
}

class Reader {
 public:
  Reader(const std::string& exe, const std::string& directory) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + exe + "\"";
    started_ = CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              directory.c_str(), &startup, &process_) != 0;
  }
  ~Reader() {
    if (!started_) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.hProcess, 99);
    }
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
  }

  // Whether the reader's process has loaded the library `name` (any case).
  bool HasLoaded(const char* name) const {
    HANDLE snapshot =
        CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, process_.dwProcessId);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    MODULEENTRY32 module{};
    module.dwSize = sizeof module;
    bool found = false;
    for (BOOL more = Module32First(snapshot, &module); more && !found;
         more = Module32Next(snapshot, &module)) {
      found = lstrcmpiA(module.szModule, name) == 0;
    }
    CloseHandle(snapshot);
    return found;
  }

  // The reader's main window, once it is shown.
  HWND Window(DWORD timeoutMs = 20000) {
    struct Search {
      DWORD process;
      HWND found;
    } search{process_.dwProcessId, nullptr};
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
      EnumWindows(
          [](HWND w, LPARAM context) -> BOOL {
            auto* s = reinterpret_cast<Search*>(context);
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            char className[64] = "";
            GetClassNameA(w, className, sizeof className);
            if (pid == s->process && std::string(className) == kClass && IsWindowVisible(w)) {
              s->found = w;
              return FALSE;
            }
            return TRUE;
          },
          reinterpret_cast<LPARAM>(&search));
      if (search.found != nullptr) return search.found;
      if (WaitForSingleObject(process_.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
  }

  // A message box of the reader's, by its caption (null: any).
  HWND MessageBoxWindow(const char* caption, DWORD timeoutMs = 10000) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
      HWND box = FindWindowA("#32770", caption);
      if (box != nullptr) {
        DWORD pid = 0;
        GetWindowThreadProcessId(box, &pid);
        if (pid == process_.dwProcessId) return box;
      }
      Sleep(50);
    }
    return nullptr;
  }

  // Waits for the program to end and returns its exit code (-1: still running).
  int ExitCode(DWORD timeoutMs = 20000) {
    if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<int>(code);
  }

  bool started() const { return started_; }
  // Ends the program at once, as a crash or a power cut would.
  void Kill() {
    TerminateProcess(process_.hProcess, 9);
    WaitForSingleObject(process_.hProcess, 10000);
  }

 private:
  PROCESS_INFORMATION process_{};
  bool started_ = false;
};

// Pixels as 0x00RRGGBB, rows from the top.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)] & 0xFFFFFF; }
};

Image PixelsOf(HDC dc, HBITMAP bitmap, int width, int height) {
  Image image{width, height, std::vector<uint32_t>(static_cast<size_t>(width * height))};
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), image.pixels.data(), &info, DIB_RGB_COLORS);
  return image;
}

// Bitmap resource `id` of the reader's .exe, as stored.
Image StoredBitmap(const std::string& exe, int id) {
  Image image;
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  auto* bitmap = static_cast<HBITMAP>(
      LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  BITMAP info{};
  if (bitmap != nullptr && GetObjectA(bitmap, sizeof info, &info) != 0) {
    HDC screen = GetDC(nullptr);
    image = PixelsOf(screen, bitmap, info.bmWidth, info.bmHeight);
    ReleaseDC(nullptr, screen);
  }
  if (bitmap != nullptr) DeleteObject(bitmap);
  if (module != nullptr) FreeLibrary(module);
  return image;
}

// The window's client area as it is on the screen.
Image ClientPixels(HWND window) {
  UpdateWindow(window);
  Sleep(150);
  RECT client{};
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, client.right, client.bottom, screen, origin.x, origin.y, SRCCOPY);
  SelectObject(memory, previous);
  Image image = PixelsOf(memory, bitmap, client.right, client.bottom);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return image;
}

// Whether bitmap `id` is drawn whole, pixel for pixel as stored, somewhere
// inside `within` (client coordinates) of the window.
bool ShowsAsStored(HWND window, const std::string& exe, int id, const RECT& within) {
  const Image picture = StoredBitmap(exe, id);
  const Image shown = ClientPixels(window);
  if (picture.width == 0 || shown.width == 0) return false;
  const int right = std::min<int>(within.right, shown.width) - picture.width;
  const int bottom = std::min<int>(within.bottom, shown.height) - picture.height;
  for (int y = std::max<int>(within.top, 0); y <= bottom; ++y) {
    for (int x = std::max<int>(within.left, 0); x <= right; ++x) {
      bool same = true;
      for (int py = 0; same && py < picture.height; ++py) {
        for (int px = 0; same && px < picture.width; ++px)
          same = shown.At(x + px, y + py) == picture.At(px, py);
      }
      if (same) return true;
    }
  }
  return false;
}

RECT PageAreaOf(HWND main) {
  RECT client{};
  GetClientRect(main, &client);
  client.bottom -= 25;  // the icon bar
  return client;
}

void Command(HWND main, int id) { SendMessageA(main, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

// Writes the window as it is on the screen to a BMP file.
void Screenshot(HWND main, const std::string& path) {
  SetForegroundWindow(main);
  UpdateWindow(main);
  Sleep(300);
  RECT r{};
  GetWindowRect(main, &r);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, previous);
  const DWORD rowBytes = static_cast<DWORD>((width * 3 + 3) / 4 * 4);
  const DWORD imageBytes = rowBytes * static_cast<DWORD>(height);
  BITMAPFILEHEADER file{
      0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + imageBytes),
      0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
  info.bmiHeader.biSizeImage = imageBytes;
  if (FILE* out = std::fopen(path.c_str(), "wb")) {
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
    std::fwrite(bits, 1, imageBytes, out);
    std::fclose(out);
  }
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

std::vector<unsigned char> ReadSave(const std::string& directory) {
  std::vector<unsigned char> bytes;
  if (FILE* in = std::fopen((directory + "\\" + kSaveFile).c_str(), "rb")) {
    unsigned char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0)
      bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(in);
  }
  return bytes;
}

std::string Fresh(const std::string& work, const std::string& name) {
  const std::string directory = work + "\\" + name;
  CreateDirectoryA(directory.c_str(), nullptr);
  const std::string save = directory + "\\" + kSaveFile;
  SetFileAttributesA(save.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(save.c_str());
  return directory;
}

void OpeningAndMenus(const std::string& exe, const std::string& work, const std::string& shots) {
  const std::string directory = Fresh(work, "first-start");
  {
    Reader reader(exe, directory);
    HWND main = reader.Window();
    Check(main != nullptr, "the reader opens its window");
    if (main == nullptr) return;
    Screenshot(main, shots + "\\01-presents.bmp");
    Sleep(2300);
    Screenshot(main, shots + "\\02-title.bmp");
    // The details screen follows two seconds after the title.
    std::vector<Control> details;
    for (int waited = 0; waited < 10000 && FindLabelled(details, 513, "INSTRUCTIONS") == nullptr;
         waited += 100) {
      Sleep(100);
      details = Controls(main);
    }
    Check(FindLabelled(details, 513, "INSTRUCTIONS") != nullptr,
          "after two timer steps the details screen offers INSTRUCTIONS");
    Check(Find(details, 511) != nullptr && Find(details, 511)->enabled,
          "Next is enabled on the details screen");
    Screenshot(main, shots + "\\03-details.bmp");

    Command(main, 513);
    Check(Find(Controls(main), 510)->enabled, "the help screen is an aside: Return is enabled");
    Screenshot(main, shots + "\\04-help.bmp");
    // Pictures are drawn from their resource in place, the icon-bar faces
    // from bitmaps made once: each the right way up in its stored colours.
    Check(ShowsAsStored(main, exe, 1107, PageAreaOf(main)) &&
              ShowsAsStored(main, exe, 1110, PageAreaOf(main)),
          "the help screen's pictures are drawn pixel for pixel as stored");
    Check(ShowsAsStored(main, exe, 1109, Find(Controls(main), 510)->rect),
          "an enabled icon-bar button shows its face as stored");
    Command(main, 510);
    Check(!Find(Controls(main), 510)->enabled, "Return goes back to the story");
    Check(ShowsAsStored(main, exe, 1113, Find(Controls(main), 510)->rect),
          "a greyed icon-bar button shows its greyed face as stored");

    Command(main, 511);  // the details screen is gone; Next has no target
    Command(main, 502);
    Check(Find(Controls(main), 510)->enabled,
          "the Restart command opens the restart page as an aside");
    Command(main, 510);

    Command(main, 504);
    const std::vector<Control> soundsScreen = Controls(main);
    const Control* sound = Find(soundsScreen, 518);
    Check(sound != nullptr && SendMessageA(sound->window, BM_GETCHECK, 0, 0) == BST_CHECKED,
          "the Sounds screen shows sound on for a new reader");
    Screenshot(main, shots + "\\08-sounds.bmp");
    // A click on the box: its state turns over, and it tells the window.
    if (sound != nullptr) {
      SendMessageA(sound->window, BM_SETCHECK, BST_UNCHECKED, 0);
      SendMessageA(main, WM_COMMAND, MAKEWPARAM(518, BN_CLICKED),
                   reinterpret_cast<LPARAM>(sound->window));
    }
    Command(main, 519);
    Check(Find(Controls(main), 518) == nullptr, "Ok leaves the Sounds screen");

    Screenshot(main, shots + "\\05-story.bmp");
    Check(CountChoices(main) == 3, "the book's first page shows its three choices");
    Command(main, 5001);  // "What must I do?"
    Check(Find(Controls(main), 510)->enabled, "its second choice opens an aside");
    Command(main, 510);
    Command(main, 5000);  // "Go in at the cottage door"
    Check(!Find(Controls(main), 510)->enabled && CountChoices(main) == 1,
          "its first choice moves the story on");
    // The kitchen marks the first restart point: the restart page offers it.
    Command(main, 5000);  // "Light the candle and look about you"
    Command(main, 502);
    Check(CountChoices(main) == 1, "the restart page offers the point just reached");
    Screenshot(main, shots + "\\07-restart.bmp");
    Command(main, 510);

    // Starting again asks first; No keeps the reader where they are.
    PostMessageA(main, WM_COMMAND, 500, 0);
    HWND ask = reader.MessageBoxWindow("Beginning of Book");
    Check(ask != nullptr, "starting again asks \"Do you really want to start again?\"");
    if (ask != nullptr) SendMessageA(ask, WM_COMMAND, IDNO, 0);

    Command(main, 509);
    Check(reader.ExitCode() == 0, "Exit ends the program with exit code 0");
  }
  const std::vector<unsigned char> save = ReadSave(directory);
  // The record's 2,544 bytes, then the journal that guards them while the
  // reader saves as it goes (a copy of the record and its check: 5,096).
  Check(save.size() == kSavedFileSize,
        "the save file holds the record and its journal, 5,096 bytes");
  Check(save.size() == kSavedFileSize && save[0] == 64 && save[1] == 0 && save[28] == 176,
        "it records the page reached (64) and the format mark 176");
  Check(save.size() == kSavedFileSize && save[2528] == 1, "and the restart point reached");
  Check(save.size() == kSavedFileSize && save[2] == 0, "it records the sound setting (off)");
  Check(save.size() == kSavedFileSize &&
            std::equal(save.begin(), save.begin() + 2544, save.begin() + 2544),
        "its journal holds the same record");
  const DWORD attributes = GetFileAttributesA((directory + "\\" + kSaveFile).c_str());
  Check(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) != 0,
        "the save file is hidden");

  // The sound setting survives a restart of the program.
  {
    Reader again(exe, directory);
    HWND main = again.Window();
    Check(main != nullptr, "the reader starts again on the same save file");
    if (main != nullptr) {
      Command(main, 504);
      const std::vector<Control> soundsScreen = Controls(main);
      const Control* sound = Find(soundsScreen, 518);
      Check(sound != nullptr && SendMessageA(sound->window, BM_GETCHECK, 0, 0) == BST_UNCHECKED,
            "the Sounds screen remembers sound off");
      Command(main, 509);
      again.ExitCode();
    }
  }
}

void SecondCopyAndLockedFile(const std::string& exe, const std::string& work) {
  const std::string directory = Fresh(work, "single-copy");
  Reader first(exe, directory);
  HWND main = first.Window();
  Check(main != nullptr, "a first copy runs");
  if (main != nullptr) ShowWindow(main, SW_MINIMIZE);
  Reader second(exe, directory);
  Check(second.ExitCode() == 1, "a second copy ends with exit code 1");
  Check(main != nullptr && !IsIconic(main),
        "and brings the first copy's window to the front, restored");
  Check(main != nullptr && (GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_TOPMOST) == 0,
        "without leaving it on top of every other window");
  if (main != nullptr) Command(main, 509);
  first.ExitCode();

  // A save file that cannot be opened while no copy runs: here another
  // program holds it without sharing (as root, a read-only file would still
  // open for writing).
  const std::string save = directory + "\\" + kSaveFile;
  HANDLE holder = CreateFileA(save.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  Check(holder != INVALID_HANDLE_VALUE, "the save file can be held by another program");
  Reader locked(exe, directory);
  HWND box = locked.MessageBoxWindow(nullptr);
  char text[128] = "";
  if (box != nullptr) {
    // The box may be found before its text is in it.
    for (int waited = 0; waited < 5000 && text[0] == '\0'; waited += 100) {
      HWND label = FindWindowExA(box, nullptr, "Static", nullptr);
      while (label != nullptr && GetWindowTextA(label, text, sizeof text) == 0) {
        label = FindWindowExA(box, label, "Static", nullptr);
      }
      if (text[0] == '\0') Sleep(100);
    }
    SendMessageA(box, WM_COMMAND, IDOK, 0);
  }
  Check(std::string(text) == "I cannot the book?",
        "a save file that cannot be opened, with no copy running, says \"I cannot the book?\" (" +
            std::string(text) + ")");
  Check(locked.ExitCode() == 1, "and ends with exit code 1");
  if (holder != INVALID_HANDLE_VALUE) CloseHandle(holder);
}

void StoryWithTheFixtureBook(const std::string& exe, const std::string& work,
                             const std::string& shots) {
  const std::string directory = Fresh(work, "crossing");
  {
    Reader reader(exe, directory);
    HWND main = reader.Window();
    Check(main != nullptr, "the fixture reader opens");
    if (main == nullptr) return;
    Sleep(4700);  // the opening sequence
    Check(!reader.HasLoaded("winmm.dll"), "no sound library is loaded before the first sound");
    Command(main, 511);   // Next: the first page
    Command(main, 5000);  // "Walk to the ice": a restart point
    Check(CountChoices(main) == 1, "a choice button moves the story");
    Check(reader.HasLoaded("winmm.dll"), "the ice's sound loads the sound library");
    // A d20 roll decides whether the ice holds; when it cracks, go back to
    // the restart point and roll again.
    const Control* box = nullptr;
    std::vector<Control> controls;
    for (int tries = 0; tries < 30 && box == nullptr; ++tries) {
      Command(main, 5000);
      controls = Controls(main);
      box = Find(controls, 4000);
      if (box == nullptr) {
        Command(main, 502);
        Command(main, 5000);  // the first restart point: the bank
      }
    }
    Check(box != nullptr, "the ice holds within thirty rolls");
    if (box == nullptr) {
      Command(main, 509);
      reader.ExitCode();
      return;
    }
    Check(box->visible, "the page asks for a typed answer in an input box");
    Screenshot(main, shots + "\\06-input.bmp");
    SendMessageA(box->window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Red Door"));
    SendMessageA(box->window, WM_KEYDOWN, VK_RETURN, 0);
    const std::vector<Control> after = Controls(main);
    Check(Find(after, 4000) == nullptr && Find(after, 5000) != nullptr,
          "Enter in the box takes the answer and moves on");
    Command(main, 502);
    Check(CountChoices(main) >= 1, "the restart page offers the restart point reached");
    Command(main, 5000);
    Check(!Find(Controls(main), 510)->enabled, "the restart choice returns to the story");
    Command(main, 509);
    Check(reader.ExitCode() == 0, "the fixture reader exits cleanly");
  }
  const std::vector<unsigned char> save = ReadSave(directory);
  Check(save.size() == kSavedFileSize && save[0] == 11 && save[2528] == 1,
        "the save file keeps the restart point's page and its reached flag");
}

// A save record for the fixture book at this page, sound on.
std::vector<unsigned char> Record(int page) {
  std::vector<unsigned char> record(2544, 0);
  record[0] = static_cast<unsigned char>(page);
  record[2] = 1;
  record[28] = 176;
  return record;
}

uint32_t Crc32(const unsigned char* bytes, size_t count) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < count; ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void WriteSave(const std::string& directory, const std::vector<unsigned char>& bytes) {
  if (FILE* out = std::fopen((directory + "\\" + kSaveFile).c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
  }
}

// The window that has the keyboard focus in the reader's thread.
HWND FocusOf(HWND main) {
  SendMessageA(main, WM_NULL, 0, 0);
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info);
  return info.hwndFocus;
}

// A key pressed where the reader's focus is, through its message queue.
void PressKey(HWND main, WPARAM key) {
  HWND focus = FocusOf(main);
  HWND target = focus != nullptr ? focus : main;
  PostMessageA(target, WM_KEYDOWN, key, 1);
  PostMessageA(target, WM_KEYUP, key, 0xC0000001);
  SendMessageA(main, WM_NULL, 0, 0);
  Sleep(50);
  SendMessageA(main, WM_NULL, 0, 0);
}

void Wheel(HWND main, int delta) {
  RECT r{};
  GetWindowRect(main, &r);
  PostMessageA(main, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))),
               MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
  SendMessageA(main, WM_NULL, 0, 0);
  Sleep(100);
}

// A pixel of a window as it is on the screen, read through the screen's
// device context (another process's window DC may not answer GetPixel).
COLORREF PixelOf(HWND window, int x, int y) {
  UpdateWindow(window);
  Sleep(150);
  POINT at{x, y};
  ClientToScreen(window, &at);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 1, 1);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, 1, 1, screen, at.x, at.y, SRCCOPY);
  const COLORREF colour = GetPixel(memory, 0, 0);
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return colour;
}

// A control's text, asked of the control itself (GetWindowText does not ask
// another program's controls).
std::string TextOf(HWND control) {
  char text[128] = "";
  SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

std::string Read(IAccessible* object, bool value) {
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR text = nullptr;
  const HRESULT got = value ? object->get_accValue(self, &text) : object->get_accName(self, &text);
  std::string out = "(none)";
  if (SUCCEEDED(got) && text != nullptr) {
    char buffer[4096] = "";
    WideCharToMultiByte(1252, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
    out = buffer;
    SysFreeString(text);
  }
  return out;
}

// The accessible objects the reader answers WM_GETOBJECT with, made and read
// in this process: Wine's oleacc cannot marshal IAccessible from one process
// to another (LresultFromObject fails with E_NOINTERFACE, and the caller
// falls back to the standard object), so this is the closest check it
// allows. A button of the reader's kind, window text "Rstrt", is named
// "Going back" and keeps its role; the page window gives its text as value.
void NamedObjectsInProcess() {
  HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  HWND button = CreateWindowExA(0, "button", "Rstrt", WS_CHILD | BS_BITMAP, 0, 0, 40, 25, parent,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  IAccessible* named = lanthorn::MakeNamedAccessible(button, "Going back", nullptr);
  Check(named != nullptr, "an accessible object is made for a reader's button");
  if (named != nullptr) {
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT role;
    VariantInit(&role);
    named->get_accRole(self, &role);
    Check(Read(named, false) == "Going back" && TextOf(button) == "Rstrt" && role.vt == VT_I4 &&
              role.lVal == ROLE_SYSTEM_PUSHBUTTON,
          "get_accName gives the name in words (" + Read(named, false) +
              "), the window text stays \"Rstrt\", the role a push button");
    named->Release();
  }
  IAccessible* page = lanthorn::MakeNamedAccessible(parent, "Lanthorn Fell", "The Ice\nText");
  Check(page != nullptr && Read(page, true) == "The Ice\nText" &&
            Read(page, false) == "Lanthorn Fell",
        "get_accValue of the page window gives its text, get_accName its title");
  if (page != nullptr) page->Release();
  DestroyWindow(parent);
}

// The fixture book played by keys alone from "The Ice": Tab and Enter, 1,
// an empty answer box, a word typed past its box's limit, Tab to send it;
// the wheel; the names assistive technology reads.
void KeysWheelAndNames(const std::string& exe, const std::string& work, const std::string& shots) {
  const std::string directory = Fresh(work, "keys");
  WriteSave(directory, Record(11));
  Reader reader(exe, directory);
  HWND main = reader.Window();
  Check(main != nullptr, "the fixture reader opens at The Ice");
  if (main == nullptr) return;
  SetForegroundWindow(main);
  Sleep(300);

  std::vector<Control> controls = Controls(main);
  const Control* test = Find(controls, 5000);
  Check(test != nullptr, "The Ice offers its choice");
  if (test == nullptr) return;
  Check(TextOf(test->window).empty(), "the owner-drawn choice keeps an empty window text");
  const Control* restart = FindLabelled(controls, 502, "Rstrt");
  Check(restart != nullptr && TextOf(restart->window) == "Rstrt",
        "\"Rstrt\" keeps its window text");
  const int middle = (test->rect.bottom - test->rect.top) / 2;
  const COLORREF plain = PixelOf(test->window, 2, middle);
  PressKey(main, VK_TAB);
  Check(FocusOf(main) == test->window, "Tab puts the focus on the page's first choice");
  const COLORREF ring = PixelOf(test->window, 2, middle);
  char colours[64];
  std::snprintf(colours, sizeof colours, "%06lx, %06lx", static_cast<unsigned long>(plain),
                static_cast<unsigned long>(ring));
  Check(plain == RGB(255, 255, 255) && ring == RGB(0, 0, 0),
        std::string("the focused choice is drawn with a focus ring, ODS_FOCUS (") + colours + ")");
  Screenshot(main, shots + "\\09-focused-choice.bmp");
  PressKey(main, VK_TAB);
  controls = Controls(main);
  const Control* help = FindLabelled(controls, 513, "?");
  Check(help != nullptr && FocusOf(main) == help->window, "Tab goes on to the icon bar");
  PressKey(main, VK_RETURN);
  Check(Find(Controls(main), 510)->enabled, "Enter on the focused \"?\" opens the help screen");
  Command(main, 510);

  // "1" picks the first choice; a roll decides whether the ice holds.
  const Control* box = nullptr;
  for (int tries = 0; tries < 30 && box == nullptr; ++tries) {
    PressKey(main, '1');
    controls = Controls(main);
    box = Find(controls, 4000);
    if (box == nullptr) {
      Command(main, 502);
      PressKey(main, '1');  // the restart page's first point: the bank
    }
  }
  Check(box != nullptr, "the key 1 picks the choice, and the ice holds within thirty rolls");
  if (box == nullptr) return;
  Check(FocusOf(main) == box->window, "the answer box has the focus");
  PressKey(main, VK_RETURN);
  Check(Find(Controls(main), 4000) != nullptr, "Enter in the empty box sends nothing");
  for (const char c : std::string("Red Doors"))
    PostMessageA(box->window, WM_CHAR, static_cast<WPARAM>(c), 1);
  SendMessageA(main, WM_NULL, 0, 0);
  Sleep(100);
  const std::string typed = TextOf(box->window);
  Check(Find(Controls(main), 4000) != nullptr && typed == "Red Door",
        "a letter typed past the box's limit (EN_MAXTEXT) sends nothing (" + typed + ")");
  PressKey(main, VK_TAB);
  controls = Controls(main);
  Check(Find(controls, 4000) == nullptr && Find(controls, 5000) != nullptr,
        "Tab in the box sends the answer and the story moves on");

  Command(main, 509);
  Check(reader.ExitCode() == 0, "the keyed reader exits cleanly");
}

void WheelAndIconBarFocus(const std::string& exe, const std::string& work) {
  const std::string directory = Fresh(work, "wheel");
  WriteSave(directory, Record(4));  // a page longer than the window
  Reader reader(exe, directory);
  HWND main = reader.Window();
  Check(main != nullptr, "the fixture reader opens at its long page");
  if (main == nullptr) return;
  SetForegroundWindow(main);
  Sleep(300);
  // The page's title is a black band at its top: scrolled away, it is white.
  Check(PixelOf(main, 5, 5) == RGB(0, 0, 0), "the long page starts at its title");
  Wheel(main, -120);
  Check(PixelOf(main, 5, 5) == RGB(255, 255, 255), "the wheel scrolls the page down");
  Wheel(main, 120);
  Check(PixelOf(main, 5, 5) == RGB(0, 0, 0), "and back up to the top");

  const Control* restart = FindLabelled(Controls(main), 502, "Rstrt");
  if (restart != nullptr) SendMessageA(restart->window, BM_CLICK, 0, 0);
  Command(main, 510);
  PressKey(main, VK_NEXT);
  Check(PixelOf(main, 5, 5) == RGB(255, 255, 255),
        "after a click on an icon-bar button Page Down scrolls the page");
  Command(main, 509);
  reader.ExitCode();
}

// A reader killed in the middle of its session starts again on the last page
// it reached, with what it carried; a last write cut short is survived.
void KilledAndDamaged(const std::string& exe, const std::string& work) {
  const std::string directory = Fresh(work, "killed");
  WriteSave(directory, Record(11));
  {
    Reader reader(exe, directory);
    HWND main = reader.Window();
    Check(main != nullptr, "a reader to be killed opens");
    if (main == nullptr) return;
    const Control* box = nullptr;
    for (int tries = 0; tries < 30 && box == nullptr; ++tries) {
      Command(main, 5000);
      box = Find(Controls(main), 4000);
      if (box == nullptr) {
        Command(main, 502);
        Command(main, 5000);
      }
    }
    if (box != nullptr) {
      SendMessageA(box->window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Red Door"));
      SendMessageA(box->window, WM_KEYDOWN, VK_RETURN, 0);
    }
    Command(main, 502);  // an aside: the story page stays the one saved
    reader.Kill();
  }
  std::vector<unsigned char> save = ReadSave(directory);
  Check(save.size() == kSavedFileSize && save[0] == 16 && save[2528] == 1,
        "after TerminateProcess the save file holds the page reached (16) and the restart point");
  {
    Reader again(exe, directory);
    HWND main = again.Window();
    Check(main != nullptr, "the killed reader starts again");
    if (main != nullptr) {
      Command(main, 502);
      Check(CountChoices(main) >= 1, "its restart page offers the point reached before the kill");
      Command(main, 509);
      again.ExitCode();
    }
  }
  save = ReadSave(directory);
  Check(save.size() == kSavedFileSize && save[0] == 16, "and it resumed at page 16");

  // The record was being written over when the power went: half new, half
  // old. The journal after it holds the whole new record, which is taken.
  std::vector<unsigned char> fresh = Record(17);
  fresh[2528] = 1;
  const std::vector<unsigned char> old = Record(21);
  std::vector<unsigned char> damaged = fresh;
  damaged.insert(damaged.end(), fresh.begin(), fresh.end());
  const uint32_t crc = Crc32(fresh.data(), fresh.size());
  damaged.insert(damaged.end(), {'L', 'F', 'J', '1'});
  for (int i = 0; i < 4; ++i) damaged.push_back(static_cast<unsigned char>(crc >> (8 * i)));
  std::copy(old.begin() + 1000, old.end(), damaged.begin() + 1000);
  WriteSave(directory, damaged);
  {
    Reader again(exe, directory);
    HWND main = again.Window();
    if (main != nullptr) {
      Command(main, 509);
      again.ExitCode();
    }
  }
  save = ReadSave(directory);
  Check(save.size() == kSavedFileSize && save[0] == 17 && save[2528] == 1,
        "a record cut short while written over gives way to the whole one in its journal");

  // An older copy's file: the record alone, read as always.
  WriteSave(directory, Record(21));
  {
    Reader again(exe, directory);
    HWND main = again.Window();
    if (main != nullptr) {
      Command(main, 509);
      again.ExitCode();
    }
  }
  save = ReadSave(directory);
  Check(save.size() == kSavedFileSize && save[0] == 21,
        "a plain 2,544-byte file written by an older copy is read, and gains its journal");
}

// The release's own resources, read from the .exe as Windows and Explorer
// read them. The expected product, company and version come from the
// book's information and the details screen's version, as the build knows
// them (LANTHORN_PRODUCT, LANTHORN_COMPANY, LANTHORN_VERSION_*).
std::string VersionString(const std::vector<char>& info, const std::string& block,
                          const char* name) {
  void* value = nullptr;
  UINT length = 0;
  const std::string path = "\\StringFileInfo\\" + block + "\\" + name;
  if (!VerQueryValueA(info.data(), path.c_str(), &value, &length) || length == 0) return "";
  return std::string(static_cast<const char*>(value),
                     strnlen(static_cast<const char*>(value), length));
}

// The names of the libraries a 64-bit PE image imports, from its import
// directory; empty when the image cannot be read so.
std::vector<std::string> ImportedLibraries(const std::vector<char>& image) {
  std::vector<std::string> names;
  auto fits = [&](size_t offset, size_t size) { return offset + size <= image.size(); };
  if (!fits(0x3C, 4)) return names;
  LONG peOffset = 0;
  std::memcpy(&peOffset, image.data() + 0x3C, sizeof peOffset);
  IMAGE_NT_HEADERS64 headers;
  if (peOffset <= 0 || !fits(static_cast<size_t>(peOffset), sizeof headers)) return names;
  std::memcpy(&headers, image.data() + peOffset, sizeof headers);
  if (headers.Signature != IMAGE_NT_SIGNATURE ||
      headers.OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
    return names;
  }
  const size_t sectionsAt = static_cast<size_t>(peOffset) + 4 + sizeof(IMAGE_FILE_HEADER) +
                            headers.FileHeader.SizeOfOptionalHeader;
  // A relative virtual address as an offset in the file, or 0.
  auto fileOffset = [&](DWORD rva) -> size_t {
    for (WORD i = 0; i < headers.FileHeader.NumberOfSections; ++i) {
      IMAGE_SECTION_HEADER section;
      if (!fits(sectionsAt + i * sizeof section, sizeof section)) return 0;
      std::memcpy(&section, image.data() + sectionsAt + i * sizeof section, sizeof section);
      if (rva >= section.VirtualAddress && rva < section.VirtualAddress + section.SizeOfRawData) {
        return section.PointerToRawData + (rva - section.VirtualAddress);
      }
    }
    return 0;
  };
  size_t at =
      fileOffset(headers.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
  IMAGE_IMPORT_DESCRIPTOR entry;
  while (at != 0 && fits(at, sizeof entry)) {
    std::memcpy(&entry, image.data() + at, sizeof entry);
    if (entry.Name == 0) break;
    const size_t name = fileOffset(entry.Name);
    if (name == 0 || !fits(name, 1)) break;
    names.emplace_back(image.data() + name, strnlen(image.data() + name, image.size() - name));
    at += sizeof entry;
  }
  return names;
}

void ReleaseResources(const std::string& exe) {
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  Check(module != nullptr, "the reader's resources can be loaded");
  if (module == nullptr) return;

  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  std::string manifest;
  if (found != nullptr) {
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
    manifest.assign(bytes, SizeofResource(module, found));
  }
  Check(!manifest.empty(), "the .exe carries an application manifest (resource 1, RT_MANIFEST)");
  Check(manifest.find(">PerMonitorV2, PerMonitor<") != std::string::npos &&
            manifest.find(">true/pm<") != std::string::npos,
        "the manifest declares per-monitor DPI awareness");
  const char* const kSupportedOs[] = {
      "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
      "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
      "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"};
  int supported = 0;
  for (const char* id : kSupportedOs) {
    if (manifest.find(std::string("<supportedOS Id=\"") + id + "\"/>") != std::string::npos) {
      ++supported;
    }
  }
  Check(supported == 5, "the manifest names Windows Vista, 7, 8, 8.1 and 10 as supported");
  Check(!manifest.empty() && manifest.find("Common-Controls") == std::string::npos,
        "and asks for no Common Controls 6, keeping the classic look");

  HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(420), MAKEINTRESOURCEA(14));
  std::string sizes;
  if (group != nullptr) {
    // A GRPICONDIR: 6 bytes, then 14 bytes an image, the width first (0 is 256).
    const auto* dir = static_cast<const unsigned char*>(LockResource(LoadResource(module, group)));
    const int count = dir[4] | dir[5] << 8;
    for (int i = 0;
         i < count && 6 + 14 * (i + 1) <= static_cast<int>(SizeofResource(module, group)); ++i) {
      const int width = dir[6 + 14 * i] == 0 ? 256 : dir[6 + 14 * i];
      sizes += (sizes.empty() ? "" : " ") + std::to_string(width);
    }
  }
  Check(sizes == "16 24 32 48 256",
        "the icon holds 16, 24, 32, 48 and 256 pixel images (has: " + sizes + ")");
  FreeLibrary(module);

  DWORD ignored = 0;
  std::vector<char> info(GetFileVersionInfoSizeA(exe.c_str(), &ignored));
  const bool hasInfo =
      !info.empty() &&
      GetFileVersionInfoA(exe.c_str(), 0, static_cast<DWORD>(info.size()), info.data());
  Check(hasInfo, "the .exe carries a version resource");
  if (!hasInfo) return;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  const DWORD version = MAKELONG(LANTHORN_VERSION_MINOR, LANTHORN_VERSION_MAJOR);
  Check(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length) &&
            fixed->dwSignature == 0xFEEF04BD && fixed->dwFileVersionMS == version &&
            fixed->dwProductVersionMS == version && fixed->dwFileType == VFT_APP,
        "its fixed part gives an application of version " LANTHORN_VERSION);
  struct Translation {
    WORD language;
    WORD codePage;
  }* translation = nullptr;
  std::string block;
  if (VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                     reinterpret_cast<void**>(&translation), &length) &&
      length >= sizeof *translation) {
    char name[9];
    std::snprintf(name, sizeof name, "%04X%04X", translation->language, translation->codePage);
    block = name;
  }
  Check(!block.empty(), "it names its language and code page");
  Check(VersionString(info, block, "ProductName") == LANTHORN_PRODUCT,
        "its product is \"" LANTHORN_PRODUCT "\", the book's title");
  Check(VersionString(info, block, "CompanyName") == LANTHORN_COMPANY,
        "its company is \"" LANTHORN_COMPANY "\", the book's author");
  Check(VersionString(info, block, "ProductVersion") == LANTHORN_VERSION &&
            VersionString(info, block, "FileVersion") == LANTHORN_VERSION,
        "its product and file versions read " LANTHORN_VERSION);
  Check(VersionString(info, block, "LegalCopyright").find(LANTHORN_RIGHTS) != std::string::npos,
        "its copyright carries the book's rights line");

  // Stripped: the PE file header points at no COFF symbol table.
  std::ifstream file(exe, std::ios::binary);
  const std::vector<char> image((std::istreambuf_iterator<char>(file)),
                                std::istreambuf_iterator<char>());
  bool stripped = false;
  if (image.size() > 0x40) {
    LONG peOffset = 0;
    std::memcpy(&peOffset, image.data() + 0x3C, sizeof peOffset);
    if (peOffset > 0 &&
        static_cast<size_t>(peOffset) + 4 + sizeof(IMAGE_FILE_HEADER) <= image.size()) {
      IMAGE_FILE_HEADER header;
      std::memcpy(&header, image.data() + peOffset + 4, sizeof header);
      stripped = header.PointerToSymbolTable == 0 && header.NumberOfSymbols == 0;
    }
  }
  Check(stripped, "the .exe is stripped of its symbol table");

  // Every imported library is loaded before the window opens; the sound, COM
  // and accessibility libraries are loaded on first use instead.
  const std::vector<std::string> imports = ImportedLibraries(image);
  std::string listed;
  for (const std::string& name : imports) listed += (listed.empty() ? "" : " ") + name;
  const bool onlyBasics =
      !imports.empty() && std::all_of(imports.begin(), imports.end(), [](const std::string& name) {
        for (const char* basic : {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll"}) {
          if (lstrcmpiA(name.c_str(), basic) == 0) return true;
        }
        return false;
      });
  Check(onlyBasics, "it imports only kernel32, user32, gdi32 and msvcrt (has: " + listed + ")");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr,
                 "usage: lanthorn-driver READER.exe FIXTURE_READER.exe WORK_DIR SHOTS_DIR\n");
    return 2;
  }
  const std::string exe = argv[1];
  const std::string fixture = argv[2];
  const std::string work = argv[3];
  const std::string shots = argv[4];
  CreateDirectoryA(work.c_str(), nullptr);
  CreateDirectoryA(shots.c_str(), nullptr);
  ReleaseResources(exe);
  OpeningAndMenus(exe, work, shots);
  SecondCopyAndLockedFile(exe, work);
  StoryWithTheFixtureBook(fixture, work, shots);
  CoInitialize(nullptr);
  NamedObjectsInProcess();
  KeysWheelAndNames(fixture, work, shots);
  WheelAndIconBarFocus(fixture, work);
  KilledAndDamaged(fixture, work);
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
