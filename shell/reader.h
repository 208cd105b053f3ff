// The reader context: everything the program keeps while it runs, in
// fixed-size tables owned by one object, so that a test or a tool can make a
// fresh reader over any book and platform. Each layer's state is a member;
// the layers' functions take the narrowest part they need.
#pragma once

#include "book/book_tables.h"
#include "book/paragraph_store.h"
#include "page/page.h"
#include "platform/platform.h"
#include "render/render_state.h"
#include "screens/screens.h"
#include "shell/main_window.h"
#include "shell/navigation.h"
#include "story/save_format.h"
#include "story/settings.h"
#include "story/story_state.h"

namespace lanthorn {

struct Reader {
  Reader(const Book& theBook, Platform& thePlatform);
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;

  const Book& book;
  Platform& platform;

  Settings settings{};
  Story story;
  Page page;
  ParagraphBuffer paragraph{};
  RenderState render{};
  ScreensState screens{};
  NavigationState navigation{};
  WindowState window{};
  FileHandle saveFile = nullptr;
  // The record the save file is known to hold whole, record and journal
  // alike (read so at start-up, or written since); not known: false.
  bool storedKnown = false;
  uint8_t storedRecord[kSaveRecordSize]{};
};

}  // namespace lanthorn
