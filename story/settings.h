// The reader's one setting. It travels in the save record (byte 2) but is
// read and changed as a plain value.
#pragma once

#include <cstdint>

namespace lanthorn {

struct Settings {
  uint8_t sound;  // 1: the mark-up's sounds are played
};

}  // namespace lanthorn
