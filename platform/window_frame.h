// The main window's frame as the Win32 reader has it: the client area is the
// window less 23 pixels across (the borders and the scroll bar) and 47 down
// (the caption, the menu bar and the borders). The front ends that draw no
// such frame themselves give their page the same client area.
#pragma once

#include <cstdint>

namespace lanthorn {

constexpr int32_t kFrameWidth = 23;
constexpr int32_t kFrameHeight = 47;

}  // namespace lanthorn
