#include "shell/page_builder.h"

#include "page/tokenizer.h"
#include "render/icon_bar.h"
#include "shell/reader.h"

namespace lanthorn {

void RebuildPage(Reader& reader) {
  NavigationState& n = reader.navigation;
  RenderState& render = reader.render;
  Page& page = reader.page;
  ClearPage(page, static_cast<int16_t>(n.shownPage - 1));
  reader.platform.SetScrollPosition(0);

  const TextMetrics metrics = reader.platform.DefaultFontMetrics();
  page.geometry.averageCharWidth = metrics.averageCharWidth;
  page.geometry.baseLineHeight = metrics.height;
  render.tabUnit = 2 * metrics.averageCharWidth;
  render.pendingCount = 0;
  render.segmentTextUsed = 0;
  render.lastContentHeight = 0;

  if (!PageExists(reader.book, n.shownPage)) {
    if (n.shownPage == kInformationPage) {
      BuildInventoryScreen(page, reader.screens);
    } else if (n.shownPage == kHintsPage) {
      BuildIntroductionScreen(page);
    } else {
      // A page the book lacks shows what the paragraph buffer still holds.
      Tokenize(page, reader.paragraph.text);
    }
  } else if (n.screenNumber == kNoScreen) {
    JoinParagraph(reader.book, reader.platform, n.shownPage, reader.paragraph);
    Tokenize(page, reader.paragraph.text);
  } else {
    n.screenNumber = ScreenDispatcher(page, reader.screens, n.screenNumber);
  }

  UpdateIconBar(render, reader.platform, n.storyMode == 0, page.facts.next.kind != kNoTarget,
                page.facts.previous.kind != kNoTarget);
}

}  // namespace lanthorn
