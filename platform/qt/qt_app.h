// The reader on Qt, started and ended the way the Win32 entry point does it.
#pragma once

#include <memory>

#include "platform/qt/qt_platform.h"
#include "platform/qt/reader_window.h"
#include "shell/reader.h"

class QSocketNotifier;

namespace lanthorn {

class QtReaderApp {
 public:
  explicit QtReaderApp(const Book& book);
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
  std::unique_ptr<Reader> reader_;
  std::unique_ptr<ReaderWindow> window_;
  QSocketNotifier* signalNotifier_ = nullptr;
};

}  // namespace lanthorn
