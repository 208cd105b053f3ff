// A reader over the "crossing" test book for the fuzz targets, made once.
#pragma once

#include <cstdlib>
#include <memory>

#include "platform/headless/headless_platform.h"
#include "shell/reader.h"
#include "tools/bookc/compile.h"

inline lanthorn::Reader& FuzzReader(lanthorn::HeadlessPlatform** platformOut = nullptr) {
  static lanthorn::HeadlessPlatform platform;
  static std::unique_ptr<bookc::LoadedBook> book = [] {
    bookc::Diagnostics diagnostics;
    auto loaded = bookc::LoadBook(LANTHORN_FIXTURES_DIR "/crossing", diagnostics);
    if (loaded == nullptr) std::abort();
    return loaded;
  }();
  static lanthorn::Reader* reader = [] {
    auto* r = new lanthorn::Reader(book->book(), platform);
    r->page.geometry.clientRect = platform.ClientRect();
    r->page.geometry.averageCharWidth = 7;
    r->page.geometry.baseLineHeight = 16;
    r->navigation.screenNumber = lanthorn::kNoScreen;
    r->settings.sound = 1;
    return r;
  }();
  if (platformOut != nullptr) *platformOut = &platform;
  return *reader;
}

// Forgets what the previous input left on the page and in the recorder.
inline void ResetPage(lanthorn::Reader& reader, lanthorn::HeadlessPlatform& platform) {
  lanthorn::DestroyPageControls(reader.page);
  lanthorn::EmptyDisplayList(reader.page);
  reader.page.geometry.penY = 0;
  platform.ClearMessages();
  platform.ClearSounds();
}
