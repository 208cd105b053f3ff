// How long the reader takes to build, lay out and paint a page on the
// headless front end: the book's longest paragraph, and every page in turn.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "book/paragraph_store.h"
#include "platform/headless/headless_platform.h"
#include "shell/main_window.h"
#include "shell/reader.h"
#include "tools/bookc/compile.h"
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
      if (!PageExists(b.reader->book, page)) continue;
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

// The exact explorer over the whole book, breadth first with no order and
// no per-page cap, up to 50,000 story states (each with the asides opened
// from it, folded into it): its page builds a second, its story states a
// second, and the aside pages it knew from an earlier build instead of
// building them. The whole book needs far more story states than this.
void BM_ExploreBookExactly(benchmark::State& state) {
  int64_t builds = 0;
  int64_t explored = 0;
  int64_t recalled = 0;
  int64_t found = 0;
  for (auto _ : state) {
    const trace::ExploreReport report = trace::ExploreExactly(CompiledBook(), {}, 36, true, 50000);
    builds += report.pageBuilds;
    explored += report.states;
    recalled += report.asidesRecalled;
    found = report.states + report.unexplored;
  }
  state.counters["builds/s"] =
      benchmark::Counter(static_cast<double>(builds), benchmark::Counter::kIsRate);
  state.counters["states/s"] =
      benchmark::Counter(static_cast<double>(explored), benchmark::Counter::kIsRate);
  state.counters["recalled/s"] =
      benchmark::Counter(static_cast<double>(recalled), benchmark::Counter::kIsRate);
  state.counters["found"] = static_cast<double>(found);
}
BENCHMARK(BM_ExploreBookExactly)->Unit(benchmark::kMillisecond);

// The exact explorer on the small ledger book, with and without merging the
// values nothing reads any more: the states each needs, and its time.
void BM_ExploreLedgerExactly(benchmark::State& state) {
  bookc::Diagnostics diagnostics;
  const auto book = bookc::LoadBook(LANTHORN_FIXTURES_DIR "/ledger", diagnostics);
  if (book == nullptr) {
    state.SkipWithError("the ledger fixture does not compile");
    return;
  }
  int64_t states = 0;
  for (auto _ : state) {
    states = trace::ExploreExactly(book->book(), {14, 16}, 1, state.range(0) != 0).states;
  }
  state.counters["states"] = static_cast<double>(states);
}
BENCHMARK(BM_ExploreLedgerExactly)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
