// Building the page to show: the previous page's controls are destroyed, the
// base text metrics read, and the page built from the book's paragraph or by
// a built-in screen; then the icon bar shows which moves the page offers.
#pragma once

namespace lanthorn {

struct Reader;

void RebuildPage(Reader& reader);

}  // namespace lanthorn
