#include <cstring>

#include "book/display_list.h"
#include "screens/screens.h"
#include "shell/reader.h"
#include "story/controls.h"
#include "story/story_state.h"

namespace lanthorn {

void BuildInventoryScreen(Reader& reader) {
  uint16_t* buttons = reader.screens.inventoryButtons;
  int character = -1;
  for (int k = 0; k < kItemCount; ++k) {
    const char* name = reader.book.items[k].name;
    if (character < 0 && name != nullptr && strcmp(name, "Character") == 0) {
      AddText(reader, "You are : ");
      buttons[k] = MakeChoiceButton(reader, OptionText(reader, k));
      LineBreak(reader);
      character = k;
    } else {
      buttons[k] = kNoInventoryButton;
    }
  }
  AddText(reader, "You have the following items");
  for (int k = 0; k < kItemCount; ++k) {
    if (reader.story.items[k].held != 1 || k == character) continue;
    LineBreak(reader);
    const char* name = reader.book.items[k].name;
    buttons[k] = MakeChoiceButton(reader, name != nullptr ? name : "");
    if (reader.book.items[k].optionCount > 0) {
      AddText(reader, " : ");
      AddText(reader, OptionText(reader, k));
    }
  }
}

}  // namespace lanthorn
