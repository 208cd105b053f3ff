// The chance rolls' generator: a linear congruential sequence seeded once,
// at the first draw, from the system's tick count.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace lanthorn {

struct RandomState {
  bool seeded;
  uint32_t state;
};

// 0 to 32767.
int32_t RandomDraw(RandomState& random, Platform& platform);

}  // namespace lanthorn
