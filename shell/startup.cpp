#include "shell/startup.h"

#include <cstdio>

#include "shell/reader.h"
#include "shell/save_file.h"

namespace lanthorn {

bool StartReader(Reader& reader) {
  char name[kSaveFileNameSize];
  snprintf(name, sizeof name, "%s", kSaveFileName);
  const bool created = !reader.platform.FileExists(name);
  reader.saveFile = reader.platform.OpenExclusive(name);
  if (reader.saveFile == nullptr) {
    if (!reader.platform.ActivateOtherCopy(kWindowClassName)) {
      reader.platform.ShowMessageBox(nullptr, "I cannot the book?", nullptr, kMessageBoxOk);
    }
    return false;
  }
  LoadSaveRecord(reader, reader.saveFile, created);
  NavigationState& n = reader.navigation;
  n.readingPosition = n.shownPage;
  if (n.shownPage != kFirstStoryPage) n.screenNumber = kNoScreen;
  return true;
}

WindowPlacement PlaceMainWindow(Reader& reader) {
  const int32_t screen = reader.platform.ScreenHeight();
  if (screen < 600) reader.render.textPointSize = 10.0f;
  int32_t height = screen * 92 / 100;
  if (height < 320) height = 320;
  return {20, 0, height * 75 / 100, height};
}

void MainWindowCreated(Reader& reader) {
  reader.page.geometry.clientRect = reader.platform.ClientRect();
}

int FinishReader(Reader& reader, int loopExitCode) {
  if (reader.saveFile == nullptr) return loopExitCode;
  const bool stored = KeepReaderPlace(reader);
  const bool closed = reader.platform.CloseFile(reader.saveFile);
  const bool saved = stored && closed;
  reader.saveFile = nullptr;
  if (!saved) {
    reader.platform.ShowMessageBox(nullptr, "Your place in the book could not be saved.",
                                   reader.book.information.title, kMessageBoxOk);
    return 1;
  }
  return loopExitCode;
}

}  // namespace lanthorn
