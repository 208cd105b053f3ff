#include "page/page.h"

namespace lanthorn {

void ClearPage(Page& page, int16_t paragraph) {
  DestroyPageControls(page);
  EmptyDisplayList(page);
  // A built-in screen makes no hotwords: none of the previous page's stay.
  page.hotwords.count = 0;
  page.facts = PageFacts{};
  page.facts.paragraph = paragraph;
}

void SetNextPage(PageFacts& facts, int16_t paragraph) {
  facts.next = {kParagraphTarget, paragraph};
}

void SetPreviousPage(PageFacts& facts, int16_t paragraph) {
  facts.previous = {kParagraphTarget, paragraph};
}

void SetPreviousScreen(PageFacts& facts, int32_t screen) {
  facts.previous = {kScreenTarget, static_cast<int16_t>(screen)};
}

}  // namespace lanthorn
