// The icon bar: six bitmap buttons along the bottom of the main window (help,
// restart page, information page, Return, Prev, Next). The last three show a
// greyed face and do not respond when their move is not available.
#pragma once

#include <cstdint>

namespace lanthorn {

struct Reader;

constexpr int kIconBarButtons = 6;

void CreateIconBar(Reader& reader);
void MoveIconBar(Reader& reader, int32_t width, int32_t height);
void UpdateIconBar(Reader& reader, bool returnEnabled, bool nextEnabled, bool previousEnabled);

}  // namespace lanthorn
