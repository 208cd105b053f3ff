#include "story/random.h"

namespace lanthorn {

int32_t RandomDraw(RandomState& random, Platform& platform) {
  if (!random.seeded) {
    random.state = platform.TickCount() / 60u;
    random.seeded = true;
  }
  random.state = random.state * 214013u + 2531011u;
  return static_cast<int32_t>((random.state >> 16) & 0x7FFF);
}

}  // namespace lanthorn
