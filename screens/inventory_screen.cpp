#include <cstring>

#include "page/page.h"
#include "screens/screens.h"

namespace lanthorn {

void BuildInventoryScreen(Page& page, ScreensState& screens) {
  const Story& story = page.story;
  page.facts.inventoryScreen = 1;
  uint16_t* buttons = screens.inventoryButtons;
  int character = -1;
  for (int k = 0; k < kItemCount; ++k) {
    const char* name = story.book.items[k].name;
    if (character < 0 && name != nullptr && strcmp(name, "Character") == 0) {
      AddText(page, "You are : ");
      buttons[k] = MakeChoiceButton(page, OptionText(story, k));
      LineBreak(page);
      character = k;
    } else {
      buttons[k] = kNoInventoryButton;
    }
  }
  AddText(page, "You have the following items");
  for (int k = 0; k < kItemCount; ++k) {
    if (story.state.items[k].held != 1 || k == character) continue;
    LineBreak(page);
    const char* name = story.book.items[k].name;
    buttons[k] = MakeChoiceButton(page, name != nullptr ? name : "");
    if (story.book.items[k].optionCount > 0) {
      AddText(page, " : ");
      AddText(page, OptionText(story, k));
    }
  }
}

}  // namespace lanthorn
