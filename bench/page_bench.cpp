// How long the reader takes to build, lay out and paint a page on the
// headless front end: the book's longest paragraph, and every page in turn.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "book/paragraph_store.h"
#include "platform/headless/headless_platform.h"
#include "shell/main_window.h"
#include "shell/reader.h"
#include "tools/trace/explorer.h"

namespace {

using namespace lanthorn;

struct BenchReader {
  BenchReader() : reader(std::make_unique<Reader>(CompiledBook(), platform)) {
    platform.SetPaintHandler([this](Canvas& canvas) { OnPaint(*reader, canvas); });
    platform.SetClientSize(506, 659);
    OnCreate(*reader, nullptr);
    OnSize(*reader, 506, 659);
    reader->page.geometry.clientRect = platform.ClientRect();
    reader->navigation.screenNumber = kNoScreen;
  }
  void Show(int16_t page) {
    reader->navigation.storyMode = 1;
    GoToPage(*reader, page, PageMode::kAside);
    platform.ClearMessages();
    platform.ClearSounds();
  }
  HeadlessPlatform platform;
  std::unique_ptr<Reader> reader;
};

int16_t LongestPage(Reader& reader) {
  int16_t longest = 2;
  size_t most = 0;
  for (int16_t page = 1; page <= kParagraphCount; ++page) {
    if (!PageExists(reader.book, page)) continue;
    JoinParagraph(reader.book, reader.platform, page, reader.paragraph);
    const size_t length = strlen(reader.paragraph.text);
    if (length > most) {
      most = length;
      longest = page;
    }
  }
  return longest;
}

void BM_LongestParagraph(benchmark::State& state) {
  BenchReader b;
  const int16_t page = LongestPage(*b.reader);
  for (auto _ : state) b.Show(page);
  state.SetLabel("page " + std::to_string(page));
}
BENCHMARK(BM_LongestParagraph);

void BM_EveryPage(benchmark::State& state) {
  BenchReader b;
  int pages = 0;
  for (auto _ : state) {
    for (int16_t page = 2; page <= kParagraphCount; ++page) {
      if (!PageExists(*b.reader, page)) continue;
      b.Show(page);
      ++pages;
    }
  }
  state.counters["pages/s"] = benchmark::Counter(pages, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EveryPage);

// The explorer over the whole book: how many page builds a second it makes.
void BM_ExploreBook(benchmark::State& state) {
  int64_t builds = 0;
  for (auto _ : state) builds += trace::Explore(CompiledBook(), {}, 20000).pageBuilds;
  state.counters["builds/s"] =
      benchmark::Counter(static_cast<double>(builds), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ExploreBook)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
