// The browser reader's entry points: the page script (reader.js) calls these
// for start-up and for each of the main window's events, one at a time, and
// each is followed by what a window system does after an event: the faces of
// new choice buttons are drawn, the save record is written when the move
// changed it, and a close that was asked for ends the program.
#include <emscripten.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/web/web_bridge.h"
#include "platform/web/web_platform.h"
#include "platform/web/web_text.h"
#include "shell/main_window.h"
#include "shell/reader.h"
#include "shell/startup.h"

namespace {

using namespace lanthorn;

// The desktop window's frame: its client area is the window less 23 pixels
// across and 47 down, and the window is three quarters as wide as it is
// high. The page keeps those proportions inside the space the browser gives.
constexpr int32_t kFrameWidth = 23;
constexpr int32_t kFrameHeight = 47;
constexpr int32_t kSmallestClient = 200;

struct WebReader {
  WebPlatform platform;
  std::unique_ptr<Reader> reader;
  bool running = false;
};

WebReader* app = nullptr;

Size ClientSizeFor(int32_t availableWidth, int32_t availableHeight) {
  const int32_t height = std::max(availableHeight, kSmallestClient);
  const int32_t proportional = (height + kFrameHeight) * 75 / 100 - kFrameWidth;
  return {std::max(std::min(availableWidth, proportional), kSmallestClient), height};
}

void Shutdown(int loopExitCode) {
  Reader& reader = *app->reader;
  OnDestroy(reader);
  app->running = false;
  lanthorn_ended(FinishReader(reader, loopExitCode));
}

void AfterEvent() {
  if (!app->running) return;
  Reader& reader = *app->reader;
  app->platform.DrawNewFaces([&reader](Canvas& canvas, uint16_t id, const Rect& item) {
    // A face is a DOM button; the browser draws its focus outline.
    OnDrawItem(reader, canvas, id, item, false);
  });
  if (app->platform.closeRequested()) {
    Shutdown(0);
    return;
  }
}

bool Running() { return app != nullptr && app->running; }

}  // namespace

extern "C" {

// Start-up: the save record is read from localStorage, the page is made in
// the space the browser gives and painted. Returns 1 when the reader runs.
EMSCRIPTEN_KEEPALIVE int lanthorn_start(int availableWidth, int availableHeight) {
  if (app != nullptr) return app->running ? 1 : 0;
  app = new WebReader;
  app->reader = std::make_unique<Reader>(CompiledBook(), app->platform);
  Reader& reader = *app->reader;
  app->platform.SetPaintHandler([&reader](Canvas& canvas) { OnPaint(reader, canvas); });
  if (!StartReader(reader)) {
    lanthorn_ended(1);
    return 0;
  }
  PlaceMainWindow(reader);  // the text point size follows the screen's height
  const char* title = reader.book.information.title;
  char utf8[256];
  BookTextToUtf8(title, static_cast<int32_t>(strlen(title)), utf8, sizeof utf8);
  lanthorn_set_title(utf8);
  const Size client = ClientSizeFor(availableWidth, availableHeight);
  app->platform.SetClientSize(client.width, client.height);
  if (OnCreate(reader, nullptr) != 0) {
    lanthorn_ended(1);
    return 0;
  }
  OnSize(reader, client.width, client.height);
  MainWindowCreated(reader);
  app->running = true;
  app->platform.RepaintNow();
  AfterEvent();
  return app->running ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void lanthorn_command(int id, int notification) {
  if (!Running()) return;
  OnCommand(*app->reader, static_cast<uint16_t>(id), static_cast<uint16_t>(notification));
  AfterEvent();
}

// A key on the page: 0 PageUp, 1 PageDown, 2 End, 3 Home, 4 Up, 5 Down.
EMSCRIPTEN_KEEPALIVE void lanthorn_key(int key) {
  if (!Running() || key < 0 || key > static_cast<int>(Key::kOther)) return;
  OnKeyDown(*app->reader, static_cast<Key>(key));
  AfterEvent();
}

EMSCRIPTEN_KEEPALIVE void lanthorn_timer(int id) {
  if (!Running()) return;
  OnTimer(*app->reader, static_cast<uint32_t>(id));
  AfterEvent();
}

// A scroll bar request; for a drag, track is where the thumb is.
EMSCRIPTEN_KEEPALIVE void lanthorn_scroll(int request, int track) {
  if (!Running()) return;
  app->platform.SetTrackPosition(track);
  OnVerticalScroll(*app->reader, static_cast<uint16_t>(request));
  AfterEvent();
}

// The browser's space for the page changed.
EMSCRIPTEN_KEEPALIVE void lanthorn_resize(int availableWidth, int availableHeight) {
  if (!Running()) return;
  const Size client = ClientSizeFor(availableWidth, availableHeight);
  const Rect now = app->platform.ClientRect();
  if (client.width == now.right && client.height == now.bottom) return;
  app->platform.SetClientSize(client.width, client.height);
  OnSize(*app->reader, client.width, client.height);
  app->platform.RepaintNow();
  AfterEvent();
}

// A picture finished loading: the page is painted again with it.
EMSCRIPTEN_KEEPALIVE void lanthorn_repaint() {
  if (!Running()) return;
  app->platform.RepaintNow();
  AfterEvent();
}

}  // extern "C"
