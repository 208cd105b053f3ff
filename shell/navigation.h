// Moving between pages and built-in screens: the shown page, the reading
// position, story moves and asides, the Next and Prev targets. Every move asks
// for a rebuild and repaints at once, so the new page is built and drawn
// before the move returns.
#pragma once

#include <cstdint>

namespace lanthorn {

struct Reader;

enum class PageMode : uint8_t { kFollow = 0, kStory = 1, kAside = 2 };

enum TargetKind : uint32_t { kNoTarget = 0, kParagraphTarget = 1, kScreenTarget = 2 };

struct Target {
  uint32_t kind;
  int16_t value;
};

struct NavigationState {
  int16_t shownPage = 2;
  int16_t readingPosition = 2;
  uint32_t storyMode = 1;
  int32_t screenNumber = 3;
  uint32_t rebuild = 1;
  int32_t scrollOffset = 0;
  Target next{};
  Target previous{};
  uint32_t choiceLatch = 0;
  uint32_t inventoryScreen = 0;
  uint32_t soundsScreen = 0;
};

// Built-in screens.
enum Screen : int32_t {
  kNoScreen = 0,
  kDetailsScreen = 1,
  kTitleScreen = 2,
  kPresentsScreen = 3,
  kHelpScreen = 4,
  kInformationScreen = 6,
  kSoundsScreen = 7,
};

void GoToPage(Reader& reader, int16_t page, PageMode mode);
void ShowScreen(Reader& reader, int32_t screen);
void SetNextPage(Reader& reader, int16_t paragraph);
void SetPreviousPage(Reader& reader, int16_t paragraph);
void SetPreviousScreen(Reader& reader, int32_t screen);

// The icon bar's and menu's moves.
void GoNext(Reader& reader);
void GoPrevious(Reader& reader);
void ReturnToStory(Reader& reader);

}  // namespace lanthorn
