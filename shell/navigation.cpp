#include "shell/navigation.h"

#include "shell/reader.h"

namespace lanthorn {

namespace {

void RebuildNow(Reader& reader) {
  reader.render.scrollOffset = 0;
  reader.navigation.rebuild = 1;
  reader.platform.RepaintNow();
}

}  // namespace

void GoToPage(Reader& reader, int16_t page, PageMode mode) {
  NavigationState& n = reader.navigation;
  if (mode == PageMode::kStory || (mode == PageMode::kFollow && n.storyMode == 1)) {
    n.shownPage = page;
    n.readingPosition = page;
    n.storyMode = 1;
  } else {
    n.storyMode = 0;
    n.shownPage = page;
  }
  RebuildNow(reader);
}

void ShowScreen(Reader& reader, int32_t screen) {
  reader.navigation.screenNumber = screen;
  RebuildNow(reader);
}

void MakeMove(Reader& reader, const Move& move) {
  if (move.go) GoToPage(reader, move.page, move.mode);
}

void GoNext(Reader& reader) {
  const Target next = reader.page.facts.next;
  if (next.kind == kParagraphTarget) {
    GoToPage(reader, static_cast<int16_t>(next.value + 1), PageMode::kFollow);
  }
}

void GoPrevious(Reader& reader) {
  const Target previous = reader.page.facts.previous;
  if (previous.kind == kParagraphTarget) {
    GoToPage(reader, static_cast<int16_t>(previous.value + 1), PageMode::kFollow);
  } else if (previous.kind == kScreenTarget) {
    ShowScreen(reader, previous.value);
  }
}

void ReturnToStory(Reader& reader) {
  if (reader.navigation.storyMode != 0) return;
  GoToPage(reader, reader.navigation.readingPosition, PageMode::kStory);
}

}  // namespace lanthorn
