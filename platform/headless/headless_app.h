// The whole reader on the headless platform, run the way the Win32 entry
// point runs it: start-up, the main window's events one at a time, and
// shut-down. Used by lanthorn-trace, the tests and the benchmarks.
#pragma once

#include <memory>
#include <string>

#include "platform/headless/headless_platform.h"
#include "platform/window_frame.h"
#include "shell/main_window.h"
#include "shell/reader.h"

namespace lanthorn {

// The headless window's frame: the client area is the window less a border
// and scroll bar across, and a caption, menu bar and border down.

class HeadlessApp {
 public:
  HeadlessApp(const Book& book, HeadlessPlatform& platform);

  // Start-up: returns false when the program ended at once (exit code 1).
  bool Start();
  bool running() const { return running_; }
  int exitCode() const { return exitCode_; }

  // Events, each followed by the paints it causes. An event after the
  // program has ended does nothing.
  void Timer();
  void Command(uint16_t id, uint16_t notification = 0);
  // Sets input box id's text, then presses Enter in it.
  void Type(uint16_t id, const std::string& text);
  // A key pressed where the focus is: in an input box, or else in the main
  // window or on the button that has the focus.
  void Key(lanthorn::Key key);
  // The wheel turned by whole notches (positive: towards the top).
  void Wheel(int32_t notches);
  // A click on a check box, which toggles it and sends its command.
  void Check(uint16_t id);
  void Resize(int32_t clientWidth, int32_t clientHeight);
  void Scroll(uint16_t request);
  // The Exit command; the program then ends and writes its save file.
  void Close();

  Reader& reader() { return *reader_; }
  HeadlessPlatform& platform() { return platform_; }

 private:
  void AfterEvent();

  HeadlessPlatform& platform_;
  std::unique_ptr<Reader> reader_;
  bool running_ = false;
  int exitCode_ = 0;
};

}  // namespace lanthorn
