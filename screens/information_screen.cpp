#include <cstdio>

#include "book/display_list.h"
#include "screens/screens.h"
#include "shell/reader.h"
#include "shell/save_record.h"

namespace lanthorn {

namespace {

constexpr const char* kMakerWebAddress = "www.tallowlight.example";
constexpr const char* kMakerSupportAddress = "help@tallowlight.example";

}  // namespace

void BuildInformationScreen(Reader& reader) {
  SetAlignment(reader, 1);
  AddPicture(reader, reader.book.information.presentsPicture, 0);
  LineBreak(reader);
  BoldOn(reader);
  AddText(reader, kMakerWebAddress);
  LineBreak(reader);
  AddText(reader, "1.0");
  BoldOff(reader);
  LineBreak(reader);
  SetAlignment(reader, 0);
  LineBreak(reader);

  AddText(reader, "For more information (FAQs) please visit our web site. ");
  AddText(reader, "If you have a query about \"");
  AddText(reader, reader.book.information.title);
  AddText(reader, "\" email ");
  AddText(reader, kMakerSupportAddress);
  AddText(reader, " giving the title and the following alphanumerical code");
  LineBreak(reader);
  LineBreak(reader);
  LineBreak(reader);

  char number[16];
  AddText(reader, "A ");
  AddText(reader, "2.8.15");
  AddText(reader, "; B ");
  snprintf(number, sizeof number, "%d", static_cast<int>(kSaveFormatMark));
  AddText(reader, number);
  AddText(reader, "; C ");
  AddText(reader, "3.55");
  AddText(reader, "; O ");
  uint32_t major = 0;
  uint32_t minor = 0;
  reader.platform.SystemVersion(&major, &minor);
  char version[32];
  snprintf(version, sizeof version, "%d.%d", static_cast<int>(major), static_cast<int>(minor));
  AddText(reader, version);
  AddText(reader, "; P ");
  AddText(reader, "1.10");

  reader.navigation.storyMode = 0;
}

}  // namespace lanthorn
