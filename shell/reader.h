// The reader context: everything the program keeps while it runs, in
// fixed-size tables owned by one object, so that a test or a tool can make a
// fresh reader over any book and platform.
#pragma once

#include <cstdint>

#include "book/book_tables.h"
#include "book/display_list.h"
#include "book/paragraph_store.h"
#include "book/tokenizer.h"
#include "platform/platform.h"
#include "render/render_state.h"
#include "screens/screens.h"
#include "shell/main_window.h"
#include "shell/navigation.h"
#include "shell/save_record.h"
#include "story/controls.h"
#include "story/evaluator.h"
#include "story/hotwords.h"
#include "story/story_state.h"

namespace lanthorn {

struct Reader {
  Reader(const Book& theBook, Platform& thePlatform);
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;

  const Book& book;
  Platform& platform;
  WindowHandle mainWindow = nullptr;

  ParagraphBuffer paragraph{};
  DisplayList display{};
  TokenizerState tokenizer{};
  EvaluatorState evaluator{};
  HotwordTable hotwords{};
  RandomState random{};
  StoryState story{};
  NavigationState navigation{};
  ButtonTable buttons{};
  InputBoxTable inputBoxes{};
  RenderState render{};
  ScreensState screens{};
  WindowState window{};
  FileHandle saveFile = nullptr;
  uint8_t saveRecord[kSaveRecordSize]{};
};

}  // namespace lanthorn
