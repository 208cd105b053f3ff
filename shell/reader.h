// The reader context: everything the program keeps while it runs, in
// fixed-size tables owned by one object, so that a test or a tool can make a
// fresh reader over any book and platform.
#pragma once

#include "book/book_tables.h"
#include "book/display_list.h"
#include "book/paragraph_store.h"
#include "book/tokenizer.h"
#include "platform/platform.h"

namespace lanthorn {

struct Reader {
  Reader(const Book& theBook, Platform& thePlatform) : book(theBook), platform(thePlatform) {}
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;

  const Book& book;
  Platform& platform;

  ParagraphBuffer paragraph{};
  DisplayList display{};
  TokenizerState tokenizer{};
};

}  // namespace lanthorn
