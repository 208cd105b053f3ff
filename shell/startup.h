// Start-up and shut-down around the message loop: the save file (which also
// keeps a second copy from running), the window's size from the screen, and
// writing the reader's place back at the end.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace lanthorn {

struct Reader;

// The window class's name; the save file's name is it with ".dat" appended.
#define LANTHORN_WINDOW_CLASS "TBV2lanthornfell"
constexpr const char* kWindowClassName = LANTHORN_WINDOW_CLASS;
constexpr const char* kSaveFileName = LANTHORN_WINDOW_CLASS ".dat";
#undef LANTHORN_WINDOW_CLASS
constexpr int kSaveFileNameSize = 200;

struct WindowPlacement {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
};

// Opens the save file and takes the reader's place out of it. When the file
// cannot be opened (another copy holds it, or it is read-only) the other
// copy's window is brought to the front, or "I cannot the book?" is shown,
// and false is returned: the program then ends with exit code 1.
bool StartReader(Reader& reader);

// The main window's place and size from the screen's height; also sets the
// text point size (10 on screens under 600 pixels high, else 16).
WindowPlacement PlaceMainWindow(Reader& reader);

// After the main window is created: keeps its client rectangle.
void MainWindowCreated(Reader& reader);

// After the message loop: writes the save record and closes the file.
// Returns the program's exit code: the loop's, or 1 when the reader's place
// could not be saved (which is then reported).
int FinishReader(Reader& reader, int loopExitCode);

}  // namespace lanthorn
