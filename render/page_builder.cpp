#include "render/page_builder.h"

#include "book/display_list.h"
#include "book/paragraph_store.h"
#include "book/tokenizer.h"
#include "render/icon_bar.h"
#include "screens/screens.h"
#include "shell/reader.h"
#include "story/controls.h"

namespace lanthorn {

void RebuildPage(Reader& reader) {
  NavigationState& n = reader.navigation;
  RenderState& render = reader.render;
  DestroyPageControls(reader);
  n.choiceLatch = 0;
  n.inventoryScreen = 0;
  n.soundsScreen = 0;
  reader.platform.SetScrollPosition(0);

  const TextMetrics metrics = reader.platform.DefaultFontMetrics();
  render.averageCharWidth = metrics.averageCharWidth;
  render.tabUnit = 2 * metrics.averageCharWidth;
  render.baseLineHeight = metrics.height;

  EmptyDisplayList(reader);
  // A built-in screen makes no hotwords: none of the previous page's stay.
  reader.tokenizer.hotwordCount = 0;
  render.pendingCount = 0;
  render.segmentTextUsed = 0;
  render.lastContentHeight = 0;
  n.next = {kNoTarget, 0};
  n.previous = {kNoTarget, 0};

  if (!PageExists(reader, n.shownPage)) {
    if (n.shownPage == 6) {
      n.inventoryScreen = 1;
      BuildInventoryScreen(reader);
    } else if (n.shownPage == 7) {
      BuildIntroductionScreen(reader);
    } else {
      // A page the book lacks shows what the paragraph buffer still holds.
      Tokenize(reader, reader.paragraph.text);
    }
  } else if (n.screenNumber == kNoScreen) {
    JoinParagraph(reader, n.shownPage, reader.paragraph);
    Tokenize(reader, reader.paragraph.text);
  } else {
    ScreenDispatcher(reader);
  }

  UpdateIconBar(reader, n.storyMode == 0, n.next.kind != kNoTarget,
                n.previous.kind != kNoTarget);
}

}  // namespace lanthorn
