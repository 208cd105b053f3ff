// Plays the whole reader on the compiled-in book from a lanthorn-trace
// script: start-up, timers, commands, typed answers, keys, check boxes,
// replies to Yes/No boxes, resizes and dumps, with a new save file for every
// input. However the script goes, nothing may leave a table, the shown page
// stays a page of the book, and an ended reader's exit code is 0 or 1.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>

#include "book/book_tables.h"
#include "platform/headless/headless_app.h"
#include "shell/main_window.h"
#include "tools/trace/script.h"

namespace {

// The save file lives in the current directory: a folder of this process's
// own, so that parallel runs do not share it.
void EnterScratchFolder() {
  static const bool entered = [] {
    char folder[] = "/tmp/lanthorn-reader-fuzz-XXXXXX";
    if (mkdtemp(folder) == nullptr || chdir(folder) != 0) abort();
    return true;
  }();
  (void)entered;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  EnterScratchFolder();
  std::remove("TBV2lanthornfell.dat");
  lanthorn::HeadlessPlatform platform;
  platform.SetTickCount(600000);
  lanthorn::HeadlessApp app(lanthorn::CompiledBook(), platform);

  std::istringstream script(std::string(reinterpret_cast<const char*>(data), size));
  std::ostringstream out;
  std::ostringstream err;
  const int code = trace::RunScript(script, app, out, err);
  if (code < 0 || code > trace::kBadScript) __builtin_trap();
  if (app.running()) {
    const lanthorn::Reader& reader = app.reader();
    if (reader.navigation.shownPage < 1 || reader.navigation.shownPage > 361) __builtin_trap();
    if (reader.page.display.count < 0 ||
        reader.page.display.count > lanthorn::kDisplayRecordCapacity) {
      __builtin_trap();
    }
    // Every run ends the reader, which writes and unlocks its save file;
    // the Exit command ends it whatever it shows.
    app.Close();
    if (app.running()) __builtin_trap();
  }
  if (!app.running() && app.exitCode() != 0 && app.exitCode() != 1) __builtin_trap();
  return 0;
}
