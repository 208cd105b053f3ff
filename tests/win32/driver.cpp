// Drives the Win32 reader end to end, through window messages only: starts it
// in a scratch directory, finds its window and controls, sends commands and
// keys, types into input boxes, answers message boxes, takes screenshots,
// closes it and checks the save file.
//
//   lanthorn-driver READER.exe FIXTURE_READER.exe WORK_DIR SHOTS_DIR
//
// READER.exe carries the real book; FIXTURE_READER.exe carries the small
// test book "The Crossing", whose pages hold a typed answer and a restart
// point. Prints one line per check and "N passed, M failed" at the end.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr const char* kClass = "TBV2lanthornfell";
constexpr const char* kSaveFile = "TBV2lanthornfell.dat";

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
    started_ = CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                              nullptr, directory.c_str(), &startup, &process_) != 0;
  }
  ~Reader() {
    if (!started_) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.hProcess, 99);
    }
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
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

 private:
  PROCESS_INFORMATION process_{};
  bool started_ = false;
};

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
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) +
                                                  sizeof(BITMAPINFOHEADER) + imageBytes),
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
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
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
    Command(main, 510);
    Check(!Find(Controls(main), 510)->enabled, "Return goes back to the story");

    Command(main, 511);  // the details screen is gone; Next has no target
    Command(main, 502);
    Check(Find(Controls(main), 510)->enabled, "the Restart command opens the restart page as an aside");
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
  Check(save.size() == 2544, "the save file holds 2,544 bytes");
  Check(save.size() == 2544 && save[0] == 64 && save[1] == 0 && save[28] == 176,
        "it records the page reached (64) and the format mark 176");
  Check(save.size() == 2544 && save[2528] == 1, "and the restart point reached");
  Check(save.size() == 2544 && save[2] == 0, "it records the sound setting (off)");
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
  Reader second(exe, directory);
  Check(second.ExitCode() == 1, "a second copy ends with exit code 1");
  Check(main != nullptr && (GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0,
        "and brings the first copy's window to the front");
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
  // The box can be found before its text is in it, on a busy machine.
  char text[128] = "";
  for (DWORD waited = 0; box != nullptr && text[0] == '\0' && waited < 10000; waited += 50) {
    for (HWND label = FindWindowExA(box, nullptr, "Static", nullptr);
         label != nullptr && GetWindowTextA(label, text, sizeof text) == 0;
         label = FindWindowExA(box, label, "Static", nullptr)) {
    }
    if (text[0] == '\0') Sleep(50);
  }
  if (box != nullptr) SendMessageA(box, WM_COMMAND, IDOK, 0);
  Check(std::string(text) == "I cannot the book?",
        "a save file that cannot be opened, with no copy running, says \"I cannot the book?\"");
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
    Sleep(4700);          // the opening sequence
    Command(main, 511);   // Next: the first page
    Command(main, 5000);  // "Walk to the ice": a restart point
    Check(CountChoices(main) == 1, "a choice button moves the story");
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
  Check(save.size() == 2544 && save[0] == 11 && save[2528] == 1,
        "the save file keeps the restart point's page and its reached flag");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: lanthorn-driver READER.exe FIXTURE_READER.exe WORK_DIR SHOTS_DIR\n");
    return 2;
  }
  const std::string exe = argv[1];
  const std::string fixture = argv[2];
  const std::string work = argv[3];
  const std::string shots = argv[4];
  CreateDirectoryA(work.c_str(), nullptr);
  CreateDirectoryA(shots.c_str(), nullptr);
  OpeningAndMenus(exe, work, shots);
  SecondCopyAndLockedFile(exe, work);
  StoryWithTheFixtureBook(fixture, work, shots);
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
