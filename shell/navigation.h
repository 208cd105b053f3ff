// Moving between pages and built-in screens: the shown page, the reading
// position, story moves and asides, and the page's Next and Prev targets.
// Every move asks for a rebuild and repaints at once, so the new page is
// built and drawn before the move returns.
#pragma once

#include <cstdint>

#include "book/book_tables.h"
#include "story/choices.h"

namespace lanthorn {

struct Reader;

struct NavigationState {
  int16_t shownPage = kFirstStoryPage;
  int16_t readingPosition = kFirstStoryPage;
  uint32_t storyMode = 1;
  int32_t screenNumber = 3;  // the opening sequence starts with the presents screen
  uint32_t rebuild = 1;
};

void GoToPage(Reader& reader, int16_t page, PageMode mode);
void ShowScreen(Reader& reader, int32_t screen);
// Makes a move a picked choice decided.
void MakeMove(Reader& reader, const Move& move);

// The icon bar's and menu's moves.
void GoNext(Reader& reader);
void GoPrevious(Reader& reader);
void ReturnToStory(Reader& reader);

}  // namespace lanthorn
