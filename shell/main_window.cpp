#include "shell/main_window.h"

#include "render/fonts.h"
#include "render/icon_bar.h"
#include "render/painter.h"
#include "shell/keyboard.h"
#include "shell/navigation.h"
#include "shell/page_builder.h"
#include "shell/reader.h"
#include "shell/save_file.h"

namespace lanthorn {

namespace {

// The scroll page is the client height less the icon bar and a margin.
constexpr int32_t kScrollPageAllowance = 43;
constexpr int32_t kScrollLine = 16;

void StartAgain(Reader& reader) {
  const int reply =
      reader.platform.ShowMessageBox(reader.page.window, "Do you really want to start again?",
                                     "Beginning of Book", kMessageBoxYesNo);
  if (reply != kReplyYes) return;
  reader.navigation.storyMode = 1;
  ClearStoryItems(reader.story);
  ClearRestartPoints(reader.story);
  GoToPage(reader, kFirstStoryPage, PageMode::kFollow);
  reader.render.layoutBold = 0;
}

// Keeps the Sounds screen's check box in the sound flag.
void KeepSoundSetting(Reader& reader) {
  const int16_t index = reader.screens.soundCheckBoxIndex;
  if (index < 0 || index >= reader.page.buttons.count) return;
  ControlHandle box = reader.page.buttons.handles[index];
  if (box != nullptr) reader.settings.sound = reader.platform.ReadCheck(box) ? 1 : 0;
}

void EnteredText(Reader& reader, uint16_t id) {
  const int index = id - kFirstInputBoxId;
  if (index >= reader.page.inputBoxes.count) return;
  char* answer = reader.window.answer;
  // At most the box's length, and never more than the answer buffer holds.
  int32_t most = reader.page.inputBoxes.records[index].maximumLength;
  if (most > kAnswerBufferSize - 1) most = kAnswerBufferSize - 1;
  ControlHandle box = reader.page.inputBoxes.handles[index];
  if (box != nullptr) {
    reader.platform.ReadControlText(box, answer, most + 1);
  } else {
    answer[0] = '\0';
  }
  if (reader.page.facts.choiceLatch) return;
  reader.page.facts.choiceLatch = 1;
  MakeMove(reader, ActivateHotword(reader.story, reader.page.hotwords, id, answer));
}

void ChoiceButton(Reader& reader, uint16_t id) {
  if (reader.page.facts.choiceLatch) return;
  reader.page.facts.choiceLatch = 1;
  if (reader.page.facts.inventoryScreen) {
    OpenItemPage(reader, id);
  } else {
    MakeMove(reader, ActivateHotword(reader.story, reader.page.hotwords, id, ""));
  }
}

}  // namespace

int OnCreate(Reader& reader, WindowHandle window) {
  reader.page.window = window;
  return CreateFonts(reader.page, reader.render) != 0 ? 0 : -1;
}

void OnDestroy(Reader& reader) { DeleteFonts(reader.page); }

void OnSize(Reader& reader, int32_t clientWidth, int32_t clientHeight) {
  MoveIconBar(reader.render, reader.platform, clientWidth, clientHeight);
  const int32_t page = clientHeight - kScrollPageAllowance;
  reader.platform.SetScrollRange(reader.render.pageHeight, page);
  reader.render.scrollPageSize = page;
}

void OnSizing(Rect* proposed) {
  if (proposed->right - proposed->left < 200) proposed->right = proposed->left + 200;
  if (proposed->right - proposed->left > 400) proposed->right = proposed->left + 400;
  if (proposed->bottom - proposed->top < 200) proposed->bottom = proposed->top + 200;
}

void BuildDuePage(Reader& reader) {
  if (reader.navigation.rebuild == 0) return;
  RebuildPage(reader);
  reader.navigation.rebuild = 0;
  // Every page built is saved at once, with what building it changed, so a
  // program that is killed or loses its power resumes where it was (a page
  // that changed nothing leaves the file as it is). A save that fails is
  // tried again at the next page and at the end, which reports.
  KeepChangedReaderPlace(reader);
}

void OnPaint(Reader& reader, Canvas& canvas) {
  BuildDuePage(reader);
  PaintPage(reader.page, reader.render, canvas);
}

void OnDrawItem(Reader& reader, Canvas& canvas, uint16_t controlId, const Rect& item,
                bool focused) {
  if (controlId < kFirstChoiceButtonId) return;
  const int index = controlId - kFirstChoiceButtonId;
  if (index >= reader.page.buttons.count) return;
  const ButtonRecord& button = reader.page.buttons.records[index];
  if (button.bitmapId != 0) {
    canvas.DrawBitmap(button.bitmapId, 0, 0);
  } else {
    const PageGeometry& geometry = reader.page.geometry;
    canvas.DrawString(button.bold ? geometry.boldFont : geometry.normalFont, item, button.label,
                      button.labelLength, kDrawCentre | kDrawNoPrefix);
  }
  if (focused) {
    // The focus ring: two pixels wide, inside the button's edge, so the
    // reader playing by the keyboard sees which choice Enter will pick.
    for (int32_t inset = 2; inset <= 3; ++inset) {
      canvas.FrameRect(
          {item.left + inset, item.top + inset, item.right - inset, item.bottom - inset});
    }
  }
}

bool OnKeyDown(Reader& reader, Key key) {
  switch (key) {
    case Key::kPageUp: OnVerticalScroll(reader, kPageUp); return true;
    case Key::kPageDown: OnVerticalScroll(reader, kPageDown); return true;
    case Key::kEnd: OnVerticalScroll(reader, kBottom); return true;
    case Key::kHome: OnVerticalScroll(reader, kTop); return true;
    case Key::kUp: OnVerticalScroll(reader, kLineUp); return true;
    case Key::kDown: OnVerticalScroll(reader, kLineDown); return true;
    case Key::kTab: MoveFocus(reader, true); return true;
    case Key::kBackTab: MoveFocus(reader, false); return true;
    case Key::kEnter:
    case Key::kSpace: return PickFocused(reader);
    default: break;
  }
  if (key >= Key::kDigit1 && key <= Key::kDigit9) {
    return PickChoice(reader, static_cast<int>(key) - static_cast<int>(Key::kDigit1) + 1);
  }
  return false;
}

void OnVerticalScroll(Reader& reader, uint16_t request) {
  const ScrollInfo info = reader.platform.GetScrollInfo();
  const int32_t old = info.position;
  int32_t position = old;
  switch (request) {
    case kLineUp: position -= kScrollLine; break;
    case kLineDown: position += kScrollLine; break;
    case kPageUp: position -= info.page; break;
    case kPageDown: position += info.page; break;
    case kThumbTrack: position = info.trackPosition; break;
    case kTop: position = info.minimum; break;
    case kBottom: position = info.maximum; break;
    default: break;
  }
  ScrollPageTo(reader, position);
}

void ScrollPageTo(Reader& reader, int32_t wanted) {
  const int32_t old = reader.platform.GetScrollInfo().position;
  const int32_t position = reader.platform.SetScrollPosition(wanted);
  if (position == old) return;
  reader.platform.ScrollPageArea(old - position, reader.render.pageArea);
  reader.render.scrollOffset += old - position;
  reader.platform.UpdateNow();
}

void OnTimer(Reader& reader, uint32_t /*id*/) {
  reader.platform.StopTimer(kOpeningTimer);
  reader.navigation.rebuild = 1;
  reader.platform.RepaintNow();
}

void OnCommand(Reader& reader, uint16_t id, uint16_t notification) {
  NavigationState& n = reader.navigation;
  switch (id) {
    case kStartAgain: StartAgain(reader); return;
    case kOpenInformation: GoToPage(reader, kInformationPage, PageMode::kAside); return;
    case kOpenRestart: GoToPage(reader, kRestartPage, PageMode::kAside); return;
    case kOpenObjective: GoToPage(reader, kObjectivePage, PageMode::kAside); return;
    case kOpenSounds:
      n.storyMode = 0;
      ShowScreen(reader, kSoundsScreen);
      return;
    case kOpenHints: GoToPage(reader, kHintsPage, PageMode::kAside); return;
    case kOpenAbout:
      n.storyMode = 0;
      ShowScreen(reader, kInformationScreen);
      return;
    case kOpenCredits: GoToPage(reader, kCreditsPage, PageMode::kAside); return;
    case kExit: reader.platform.PostClose(); return;
    case kReturn:
      if (n.storyMode != 0) return;
      if (reader.page.facts.soundsScreen) KeepSoundSetting(reader);
      GoToPage(reader, n.readingPosition, PageMode::kStory);
      return;
    case kNext: GoNext(reader); return;
    case kPrevious: GoPrevious(reader); return;
    case kHelp:
      n.storyMode = 0;
      ShowScreen(reader, kHelpScreen);
      return;
    case kSoundsOk:
      if (reader.page.facts.soundsScreen) KeepSoundSetting(reader);
      GoToPage(reader, n.readingPosition, PageMode::kStory);
      return;
    default: break;
  }
  if (id >= kFirstInputBoxId && id < kFirstChoiceButtonId) {
    if (notification == kEditEntered) EnteredText(reader, id);
  } else if (id >= kFirstChoiceButtonId) {
    ChoiceButton(reader, id);
  }
}

void OpenItemPage(Reader& reader, uint16_t id) {
  for (int k = 0; k < kItemCount; ++k) {
    if (reader.screens.inventoryButtons[k] == id) {
      GoToPage(reader, static_cast<int16_t>(reader.book.items[k].itemId + 1), PageMode::kAside);
      return;
    }
  }
}

}  // namespace lanthorn
