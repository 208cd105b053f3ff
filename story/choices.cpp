#include "story/choices.h"

#include "story/story_state.h"

namespace lanthorn {

HotwordRecord& NextHotword(HotwordTable& table) {
  if (table.count >= 0 && table.count < kHotwordCapacity) return table.records[table.count];
  return table.spare;
}

int CompareAnswer(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return 1;
  for (;;) {
    while (*a == ' ') ++a;
    while (*b == ' ') ++b;
    int ca = static_cast<unsigned char>(*a++);
    int cb = static_cast<unsigned char>(*b++);
    if (ca == 0 || cb == 0) return ca - cb;
    if (ca >= 'a' && ca <= 'z') ca -= 'a' - 'A';
    if (cb >= 'a' && cb <= 'z') cb -= 'a' - 'A';
    if (ca != cb) return ca - cb;
  }
}

Move ActivateHotword(Story& story, const HotwordTable& table, uint16_t controlId,
                     const char* text) {
  const HotwordRecord* found = nullptr;
  for (int16_t i = 0; i < table.count && i < kHotwordCapacity; ++i) {
    if (table.records[i].controlId == controlId) {
      found = &table.records[i];
      break;
    }
  }
  if (found == nullptr) return {false, 0, PageMode::kFollow};
  const HotwordRecord& r = *found;
  const auto go = [](uint16_t paragraph, PageMode mode) {
    return Move{true, static_cast<int16_t>(paragraph + 1), mode};
  };

  switch (r.kind) {
    case 'L': {
      const int32_t roll = RandomDraw(story.random, story.platform) % 20 + 1;
      return go(roll > static_cast<int16_t>(r.value) ? r.target1 : r.target0, PageMode::kFollow);
    }
    case 'd': {
      const int32_t roll = RandomDraw(story.random, story.platform) % 100 + 1;
      const uint16_t target = roll <= r.value   ? r.target0
                              : roll <= r.band2 ? r.target2
                              : roll <= r.band3 ? r.target3
                                                : r.target1;
      return go(target, PageMode::kFollow);
    }
    case 'S': {
      uint16_t target = r.target1;
      if (CompareAnswer(text, " ") != 0) {
        if (CompareAnswer(r.answer1, text) == 0) {
          target = r.target0;
        } else if (CompareAnswer(r.answer2, text) == 0) {
          target = r.target2;
        } else if (CompareAnswer(r.answer3, text) == 0) {
          target = r.target3;
        }
      }
      return go(target, PageMode::kFollow);
    }
    case 'N': SetHeld(story, r.index); return go(r.target0, PageMode::kFollow);
    case 'Q': ClearHeld(story, r.index); return go(r.target0, PageMode::kFollow);
    case 'R':
      AssignValue(story, r.index, static_cast<int16_t>(r.value));
      return go(r.target0, PageMode::kFollow);
    case 'g': return go(r.target0, PageMode::kAside);
    case 'm': return go(r.target0, PageMode::kStory);
    case 'u':
      if (!ValidRestartPoint(r.index)) return {false, 0, PageMode::kFollow};
      RestoreSnapshot(story, r.index);
      return go(story.state.restartPoints[r.index].paragraph, PageMode::kStory);
    default: return go(r.target0, PageMode::kFollow);
  }
}

}  // namespace lanthorn
