#include "page/commands.h"
#include "page/page.h"
#include "screens/screens.h"

namespace lanthorn {

namespace {

constexpr const char* kVersion = "1.0";

void BuildPresentsScreen(Page& page) {
  SetAlignment(page, 1);
  ParagraphBreak(page);
  AddPicture(page, page.story.book.information.presentsPicture, 0);
  ParagraphBreak(page);
  SetAlignment(page, 1);
  AddText(page, "Presents");
  LineBreak(page);
  SetAlignment(page, 0);
}

void BuildTitleScreen(Page& page) {
  SetAlignment(page, 1);
  AddPicture(page, page.story.book.information.titlePicture, 0);
  LineBreak(page);
  BoldOn(page);
  AddText(page, page.story.book.information.title);
  BoldOff(page);
  LineBreak(page);
  SetAlignment(page, 0);
}

void BuildDetailsScreen(Page& page) {
  const BookInformation& info = page.story.book.information;
  SetAlignment(page, 1);
  BoldOn(page);
  AddText(page, info.title);
  LineBreak(page);
  AddText(page, kVersion);
  BoldOff(page);
  LineBreak(page);
  SetAlignment(page, 0);
  const char* const lines[][2] = {{" author: ", info.author},
                                  {" contact: ", info.contact},
                                  {" support: ", info.support},
                                  {"copyright: ", info.rights}};
  for (const auto& line : lines) {
    AddText(page, line[0]);
    AddText(page, line[1]);
    LineBreak(page);
  }
  AddText(page, info.closing);
  LineBreak(page);
}

void BuildHelpScreen(Page& page) {
  const auto line = [&page](const char* text, int breaks) {
    AddText(page, text);
    for (int i = 0; i < breaks; ++i) LineBreak(page);
  };
  AddText(page, "The buttons below the Horizontal line ");
  AddText(page, "at the bottom of the screen have the ");
  line("following actions. ", 2);
  AddPictureById(page, 1112);
  line("Displays this screen", 1);
  AddPictureById(page, 1107);
  line("Goes to the RESTART screen. ", 2);
  AddText(page, "The RESTART screen enables the ");
  AddText(page, "reader to go back to an earlier ");
  line("screen. ", 2);
  AddPictureById(page, 1108);
  line("Goes to the Information Screen.", 2);
  AddPictureById(page, 1110);
  line("Goes to the previous Screen.", 1);
  AddPictureById(page, 1111);
  line("Goes to the next Screen.", 1);
  AddPictureById(page, 1109);
  AddText(page, "Returns to the screen in the ");
  line("main section.", 2);
  AddText(page, "The above three buttons only appear if ");
  line("the function is available.", 2);
  AddText(page, "Further information can be found on ");
  AddText(page, "the hints page selected from the menu.");
}

// The product word, written with its third letter in bold.
void ProductWord(Page& page, const char* rest) {
  AddText(page, "pa");
  BoldOn(page);
  AddText(page, "g");
  BoldOff(page);
  AddText(page, rest);
}

}  // namespace

void BuildIntroductionScreen(Page& page) {
  SetAlignment(page, 0);
  AddText(page, "The idea of an ");
  ProductWord(page, "ewyn ");
  AddText(page,
          " is that you decide how the story ends by the choices you make along the way.  You "
          "can run the story as many times as you like to try out different scenarios.");
  ParagraphBreak(page);
  AddText(page, "You interact with the ");
  ProductWord(page, "ewyn ");
  AddText(page,
          "by using your stylus to select boxes on the screen containing a word (or words) or "
          "by pressing arrows in the icon bar at the bottom of the screen.  ");
  AddText(page,
          "To understand what these arrows mean, tap the help icon '?' in the bottom left hand "
          "corner of your screen.");
  ParagraphBreak(page);
  AddText(page,
          "You may also collect items during the story which you can check any time by "
          "selecting inventory from the menu or the 'i' on the icon bar.  The inventory page "
          "lists all your items and tells you their status where they have one.  If you select "
          "an item from the list you will see further details about the item and you may be "
          "able to make changes.  This can be an important way of finding  clues to help you "
          "along, so remember to keep checking the inventory.");
  ParagraphBreak(page);
  AddText(page, "Some ");
  ProductWord(page, "ewyns ");
  AddText(page,
          "may contain a random element at some points.  This means that even when you make "
          "identical choices the story may not go exactly the same way each time - just to make "
          "it more exciting for you!");
  ParagraphBreak(page);
  AddText(page, "If you get totally stuck, you can always e-mail us at  ");
  AddText(page, page.story.book.information.support);
  ParagraphBreak(page);
}

int32_t ScreenDispatcher(Page& page, ScreensState& screens, int32_t screen) {
  switch (screen) {
    case kDetailsScreen:
      BuildDetailsScreen(page);
      SetNextPage(page.facts, 1);
      SetPreviousScreen(page.facts, kTitleScreen);
      MakeTextButton(page, "INSTRUCTIONS", kHelp);
      return kNoScreen;
    case kTitleScreen:
      BuildTitleScreen(page);
      page.platform.StartTimer(kOpeningTimer, kOpeningTimerMilliseconds);
      return kDetailsScreen;
    case kPresentsScreen:
      BuildPresentsScreen(page);
      page.platform.StartTimer(kOpeningTimer, kOpeningTimerMilliseconds);
      return kTitleScreen;
    case kHelpScreen: BuildHelpScreen(page); return kNoScreen;
    case kInformationScreen: BuildInformationScreen(page); return kNoScreen;
    case kSoundsScreen: BuildSoundsScreen(page, screens); return kNoScreen;
    default: return screen;
  }
}

}  // namespace lanthorn
