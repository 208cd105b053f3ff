#include "book/display_list.h"
#include "screens/screens.h"
#include "shell/navigation.h"
#include "shell/reader.h"
#include "story/controls.h"

namespace lanthorn {

namespace {

constexpr const char* kVersion = "1.0";

void BuildPresentsScreen(Reader& reader) {
  SetAlignment(reader, 1);
  ParagraphBreak(reader);
  AddPicture(reader, reader.book.information.presentsPicture, 0);
  ParagraphBreak(reader);
  SetAlignment(reader, 1);
  AddText(reader, "Presents");
  LineBreak(reader);
  SetAlignment(reader, 0);
}

void BuildTitleScreen(Reader& reader) {
  SetAlignment(reader, 1);
  AddPicture(reader, reader.book.information.titlePicture, 0);
  LineBreak(reader);
  BoldOn(reader);
  AddText(reader, reader.book.information.title);
  BoldOff(reader);
  LineBreak(reader);
  SetAlignment(reader, 0);
}

void BuildDetailsScreen(Reader& reader) {
  const BookInformation& info = reader.book.information;
  SetAlignment(reader, 1);
  BoldOn(reader);
  AddText(reader, info.title);
  LineBreak(reader);
  AddText(reader, kVersion);
  BoldOff(reader);
  LineBreak(reader);
  SetAlignment(reader, 0);
  const char* const lines[][2] = {{" author: ", info.author},
                                  {" contact: ", info.contact},
                                  {" support: ", info.support},
                                  {"copyright: ", info.rights}};
  for (const auto& line : lines) {
    AddText(reader, line[0]);
    AddText(reader, line[1]);
    LineBreak(reader);
  }
  AddText(reader, info.closing);
  LineBreak(reader);
}

void BuildHelpScreen(Reader& reader) {
  const auto line = [&reader](const char* text, int breaks) {
    AddText(reader, text);
    for (int i = 0; i < breaks; ++i) LineBreak(reader);
  };
  AddText(reader, "The buttons below the Horizontal line ");
  AddText(reader, "at the bottom of the screen have the ");
  line("following actions. ", 2);
  AddPictureById(reader, 1112);
  line("Displays this screen", 1);
  AddPictureById(reader, 1107);
  line("Goes to the RESTART screen. ", 2);
  AddText(reader, "The RESTART screen enables the ");
  AddText(reader, "reader to go back to an earlier ");
  line("screen. ", 2);
  AddPictureById(reader, 1108);
  line("Goes to the Information Screen.", 2);
  AddPictureById(reader, 1110);
  line("Goes to the previous Screen.", 1);
  AddPictureById(reader, 1111);
  line("Goes to the next Screen.", 1);
  AddPictureById(reader, 1109);
  AddText(reader, "Returns to the screen in the ");
  line("main section.", 2);
  AddText(reader, "The above three buttons only appear if ");
  line("the function is available.", 2);
  AddText(reader, "Further information can be found on ");
  AddText(reader, "the hints page selected from the menu.");
}

// The product word, written with its third letter in bold.
void ProductWord(Reader& reader, const char* rest) {
  AddText(reader, "pa");
  BoldOn(reader);
  AddText(reader, "g");
  BoldOff(reader);
  AddText(reader, rest);
}

}  // namespace

void BuildIntroductionScreen(Reader& reader) {
  SetAlignment(reader, 0);
  AddText(reader, "The idea of an ");
  ProductWord(reader, "ewyn ");
  AddText(reader,
          " is that you decide how the story ends by the choices you make along the way.  You "
          "can run the story as many times as you like to try out different scenarios.");
  ParagraphBreak(reader);
  AddText(reader, "You interact with the ");
  ProductWord(reader, "ewyn ");
  AddText(reader,
          "by using your stylus to select boxes on the screen containing a word (or words) or "
          "by pressing arrows in the icon bar at the bottom of the screen.  ");
  AddText(reader,
          "To understand what these arrows mean, tap the help icon '?' in the bottom left hand "
          "corner of your screen.");
  ParagraphBreak(reader);
  AddText(reader,
          "You may also collect items during the story which you can check any time by "
          "selecting inventory from the menu or the 'i' on the icon bar.  The inventory page "
          "lists all your items and tells you their status where they have one.  If you select "
          "an item from the list you will see further details about the item and you may be "
          "able to make changes.  This can be an important way of finding  clues to help you "
          "along, so remember to keep checking the inventory.");
  ParagraphBreak(reader);
  AddText(reader, "Some ");
  ProductWord(reader, "ewyns ");
  AddText(reader,
          "may contain a random element at some points.  This means that even when you make "
          "identical choices the story may not go exactly the same way each time - just to make "
          "it more exciting for you!");
  ParagraphBreak(reader);
  AddText(reader, "If you get totally stuck, you can always e-mail us at  ");
  AddText(reader, reader.book.information.support);
  ParagraphBreak(reader);
}

void ScreenDispatcher(Reader& reader) {
  NavigationState& n = reader.navigation;
  switch (n.screenNumber) {
    case kDetailsScreen:
      BuildDetailsScreen(reader);
      SetNextPage(reader, 1);
      SetPreviousScreen(reader, kTitleScreen);
      MakeTextButton(reader, "INSTRUCTIONS", kInstructionsId);
      n.screenNumber = kNoScreen;
      break;
    case kTitleScreen:
      BuildTitleScreen(reader);
      n.screenNumber = kDetailsScreen;
      reader.platform.StartTimer(kOpeningTimer, kOpeningTimerMilliseconds);
      break;
    case kPresentsScreen:
      BuildPresentsScreen(reader);
      n.screenNumber = kTitleScreen;
      reader.platform.StartTimer(kOpeningTimer, kOpeningTimerMilliseconds);
      break;
    case kHelpScreen:
      BuildHelpScreen(reader);
      n.screenNumber = kNoScreen;
      break;
    case kInformationScreen:
      BuildInformationScreen(reader);
      n.screenNumber = kNoScreen;
      break;
    case kSoundsScreen:
      BuildSoundsScreen(reader);
      n.screenNumber = kNoScreen;
      break;
    default:
      break;
  }
}

}  // namespace lanthorn
