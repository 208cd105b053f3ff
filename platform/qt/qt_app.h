// The reader on Qt, started and ended the way the Win32 entry point does it.
#pragma once

#include <memory>

#include "platform/qt/qt_platform.h"
#include "platform/qt/reader_window.h"
#include "shell/reader.h"

class QSettings;
class QSocketNotifier;

namespace lanthorn {

// The names the desktop knows the reader by: the application's (which
// titles its dialogs), its maker's, and its desktop entry's id, which the
// dock and the Wayland compositor match the window to.
constexpr const char* kApplicationName = "Lanthorn Fell";
constexpr const char* kOrganisationName = "Tallowlight Studio";
constexpr const char* kOrganisationDomain = "tallowlight.example";
constexpr const char* kDesktopFileName = "example.tallowlight.LanthornFell";
void SetApplicationNames();

// What became of a save file found in the folder the reader was started in.
enum class SaveMove {
  kNone,    // there was none, or it is the data folder's own
  kMoved,   // it was moved into the data folder, which had none
  kLeft,    // the data folder has one already: both are left as they are
  kHeld,    // a running copy holds it: it stays until that copy ends
  kFailed,  // it could not be moved: it stays where it is
};

// The folder the reader keeps its save file in: the desktop's data folder
// for the application (~/.local/share/Tallowlight Studio/Lanthorn Fell on
// Linux), made when missing. A save file in `startFolder` moves there once,
// when the data folder has none, so a game begun before it moved goes on.
// `moved`, when given, tells what became of that file. When it is held by a
// running copy, or cannot be moved, the start folder is returned instead.
QString PrepareSaveFolder(const QString& startFolder, SaveMove* moved = nullptr);

class QtReaderApp {
 public:
  // The save file is kept in saveFolder (the current folder when empty);
  // the window's size and the text size in settings, when given.
  explicit QtReaderApp(const Book& book, const QString& saveFolder = QString(),
                       QSettings* settings = nullptr);
  ~QtReaderApp();

  // Opens the save file and the window. False when the program must end at
  // once with exit code 1.
  bool Start();
  // After the event loop: writes the save file; returns the exit code.
  int Finish(int loopExitCode);

  // The end of the session: SIGTERM and SIGHUP (logging out, shutting down,
  // closing the terminal) end the program as Exit does, writing the save
  // file; the session manager's request to commit data saves at once.
  void HandleSessionEnd();

  Reader& reader() { return *reader_; }
  QtPlatform& platform() { return platform_; }
  ReaderWindow* window() { return window_.get(); }

 private:
  QtPlatform platform_;
  QSettings* settings_;
  std::unique_ptr<Reader> reader_;
  std::unique_ptr<ReaderWindow> window_;
  QSocketNotifier* signalNotifier_ = nullptr;
};

}  // namespace lanthorn
