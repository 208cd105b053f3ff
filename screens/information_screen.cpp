#include <cstdio>

#include "page/page.h"
#include "screens/screens.h"
#include "story/save_format.h"

namespace lanthorn {

namespace {

constexpr const char* kMakerWebAddress = "www.tallowlight.example";
constexpr const char* kMakerSupportAddress = "help@tallowlight.example";

}  // namespace

void BuildInformationScreen(Page& page) {
  SetAlignment(page, 1);
  AddPicture(page, page.story.book.information.presentsPicture, 0);
  LineBreak(page);
  BoldOn(page);
  AddText(page, kMakerWebAddress);
  LineBreak(page);
  AddText(page, "1.0");
  BoldOff(page);
  LineBreak(page);
  SetAlignment(page, 0);
  LineBreak(page);

  AddText(page, "For more information (FAQs) please visit our web site. ");
  AddText(page, "If you have a query about \"");
  AddText(page, page.story.book.information.title);
  AddText(page, "\" email ");
  AddText(page, kMakerSupportAddress);
  AddText(page, " giving the title and the following alphanumerical code");
  LineBreak(page);
  LineBreak(page);
  LineBreak(page);

  char number[16];
  AddText(page, "A ");
  AddText(page, "2.8.15");
  AddText(page, "; B ");
  snprintf(number, sizeof number, "%d", static_cast<int>(kSaveFormatMark));
  AddText(page, number);
  AddText(page, "; C ");
  AddText(page, "3.55");
  AddText(page, "; O ");
  uint32_t major = 0;
  uint32_t minor = 0;
  page.platform.SystemVersion(&major, &minor);
  char version[32];
  snprintf(version, sizeof version, "%d.%d", static_cast<int>(major), static_cast<int>(minor));
  AddText(page, version);
  AddText(page, "; P ");
  AddText(page, "1.10");
}

}  // namespace lanthorn
