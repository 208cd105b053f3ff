// Building and painting a page allocates nothing on the heap: every table of
// the reader is fixed in size. The platform here is a quiet one that keeps
// nothing, so that only the reader's own work is counted.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>

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

class QuietCanvas : public Canvas {
 public:
  Size MeasureText(FontHandle, const char*, int32_t length) override { return {11 * length, 25}; }
  void DrawString(FontHandle, const Rect&, const char*, int32_t, uint32_t) override {}
  void InvertRect(const Rect&) override {}
  void DrawBitmap(uint16_t, int32_t, int32_t) override {}
};

// Controls are numbered handles; the canvas paints through PaintNow.
class QuietPlatform : public Platform {
 public:
  Reader* reader = nullptr;
  int ShowMessageBox(WindowHandle, const char*, const char*, uint32_t) override { return kReplyNo; }
  TextMetrics DefaultFontMetrics() override { return {16, 7}; }
  int32_t VerticalDotsPerInch() override { return 96; }
  FontHandle CreatePageFont(int32_t, int32_t) override { return this; }
  void DeleteFont(FontHandle) override {}
  Size MeasureText(FontHandle, const char*, int32_t length) override { return {11 * length, 25}; }
  bool BitmapSize(uint16_t, Size* size) override {
    *size = {160, 120};
    return true;
  }
  ControlHandle CreateControl(const ControlSpec&) override {
    return reinterpret_cast<ControlHandle>(++controls_);
  }
  void DestroyControl(ControlHandle) override {}
  void MoveControl(ControlHandle, int32_t, int32_t, int32_t, int32_t, bool) override {}
  void ShowControl(ControlHandle, bool) override {}
  void EnableControl(ControlHandle, bool) override {}
  void FocusControl(ControlHandle) override {}
  void SetControlFace(ControlHandle, uint16_t) override {}
  void SetTextLimit(ControlHandle, int32_t) override {}
  int32_t ReadControlText(ControlHandle, char* buffer, int32_t) override {
    buffer[0] = '\0';
    return 0;
  }
  void SetCheck(ControlHandle, bool) override {}
  bool ReadCheck(ControlHandle) override { return false; }
  uint32_t LastError() override { return 0; }
  Rect ClientRect() override { return {0, 0, 506, 659}; }
  void RepaintNow() override { PaintNow(); }
  void UpdateNow() override { PaintNow(); }
  void ScrollPageArea(int32_t, const Rect&) override {}
  void SetScrollRange(int32_t, int32_t) override {}
  int32_t SetScrollPosition(int32_t) override { return 0; }
  ScrollInfo GetScrollInfo() override { return {}; }
  void StartTimer(uint32_t, uint32_t) override {}
  void StopTimer(uint32_t) override {}
  void PostClose() override {}
  void PlayWave(const char*) override {}
  void StopSound() override {}
  bool FileExists(const char*) override { return false; }
  FileHandle OpenExclusive(const char*) override { return nullptr; }
  int32_t ReadFile(FileHandle, uint8_t*, int32_t) override { return 0; }
  bool SeekToStart(FileHandle) override { return true; }
  int32_t WriteFile(FileHandle, const uint8_t*, int32_t size) override { return size; }
  void CloseFile(FileHandle) override {}
  uint32_t TickCount() override { return 0; }
  int32_t ScreenHeight() override { return 768; }
  void SystemVersion(uint32_t* major, uint32_t* minor) override { *major = *minor = 0; }
  bool ActivateOtherCopy(const char*) override { return false; }

 private:
  void PaintNow() {
    if (painting_ || reader == nullptr) return;
    painting_ = true;
    PaintPage(*reader, canvas_);
    painting_ = false;
  }
  QuietCanvas canvas_;
  uintptr_t controls_ = 0;
  bool painting_ = false;
};

TEST(NoAllocation, BuildingAndPaintingEveryPageOfTheBook) {
  QuietPlatform platform;
  auto reader = std::make_unique<Reader>(CompiledBook(), platform);
  platform.reader = reader.get();
  OnCreate(*reader, nullptr);
  OnSize(*reader, 506, 659);
  reader->render.clientRect = platform.ClientRect();
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
