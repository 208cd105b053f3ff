#include "shell/reader.h"

namespace lanthorn {

Reader::Reader(const Book& theBook, Platform& thePlatform) : book(theBook), platform(thePlatform) {
  InitialiseStoryState(*this);
}

}  // namespace lanthorn
