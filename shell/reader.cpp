#include "shell/reader.h"

namespace lanthorn {

Reader::Reader(const Book& theBook, Platform& thePlatform)
    : book(theBook),
      platform(thePlatform),
      story(theBook, thePlatform),
      page(story, settings, thePlatform) {}

}  // namespace lanthorn
