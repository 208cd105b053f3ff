// Building and painting a page allocates nothing on the heap: every table of
// the reader is fixed in size. The platform keeps nothing, so that only the
// reader's own work is counted.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>

#include "platform/quiet/quiet_platform.h"
#include "render/painter.h"
#include "shell/main_window.h"
#include "shell/reader.h"

namespace {

std::atomic<long> allocations{0};
bool counting = false;

}  // namespace

void* operator new(std::size_t size) {
  if (counting) ++allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using namespace lanthorn;

// Paints whenever the reader asks for a repaint, as a window would.
class PaintingPlatform : public QuietPlatform {
 public:
  Reader* reader = nullptr;
  void RepaintNow() override { PaintNow(); }
  void UpdateNow() override { PaintNow(); }

 private:
  void PaintNow() {
    if (painting_ || reader == nullptr) return;
    painting_ = true;
    OnPaint(*reader, canvas_);
    painting_ = false;
  }
  QuietCanvas canvas_;
  bool painting_ = false;
};

TEST(NoAllocation, BuildingAndPaintingEveryPageOfTheBook) {
  PaintingPlatform platform;
  auto reader = std::make_unique<Reader>(CompiledBook(), platform);
  platform.reader = reader.get();
  OnCreate(*reader, nullptr);
  OnSize(*reader, 506, 659);
  reader->page.geometry.clientRect = platform.ClientRect();
  reader->navigation.screenNumber = kNoScreen;

  counting = true;
  for (int16_t page = 2; page <= kParagraphCount; ++page) {
    reader->navigation.storyMode = 1;
    GoToPage(*reader, page, PageMode::kAside);
  }
  for (int32_t screen : {kPresentsScreen, kTitleScreen, kDetailsScreen, kHelpScreen,
                         kInformationScreen, kSoundsScreen}) {
    ShowScreen(*reader, screen);
  }
  counting = false;
  EXPECT_EQ(allocations.load(), 0);
}

}  // namespace
