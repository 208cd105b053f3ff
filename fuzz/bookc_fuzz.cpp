// Compiles a book source made from the input: book.toml, items.toml and up
// to four paragraph files, the parts separated by a line "%%". bookc must
// end with a book or with errors, whatever the TOML and the mark-up; a book
// it accepts must have its tables written and every page built by the
// reader without leaving a table or a buffer.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "book/paragraph_store.h"
#include "page/tokenizer.h"
#include "platform/headless/headless_platform.h"
#include "shell/reader.h"
#include "story/story_state.h"
#include "tools/bookc/compile.h"
#include "tools/bookc/cpp_writer.h"

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSeparator = "\n%%\n";
constexpr size_t kMostParagraphFiles = 4;

// A folder of this process's own, made once; the book is rewritten in its
// "b" folder for every input.
void EnterScratchFolder() {
  static const bool entered = [] {
    char folder[] = "/tmp/lanthorn-bookc-fuzz-XXXXXX";
    if (mkdtemp(folder) == nullptr || chdir(folder) != 0) abort();
    return true;
  }();
  (void)entered;
}

void WriteFile(const fs::path& path, std::string_view text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(text.data(), static_cast<std::streamsize>(text.size()));
}

// Builds every page of an accepted book the way the reader does.
void BuildEveryPage(const lanthorn::Book& book) {
  lanthorn::HeadlessPlatform platform;
  lanthorn::Reader reader(book, platform);
  reader.page.geometry.clientRect = platform.ClientRect();
  reader.page.geometry.averageCharWidth = 7;
  reader.page.geometry.baseLineHeight = 16;
  reader.navigation.screenNumber = lanthorn::kNoScreen;
  lanthorn::InitialiseStoryState(reader.story);
  for (int16_t page = 1; page <= lanthorn::kParagraphCount; ++page) {
    if (!lanthorn::PageExists(reader.book, page)) continue;
    lanthorn::DestroyPageControls(reader.page);
    lanthorn::EmptyDisplayList(reader.page);
    reader.navigation.shownPage = page;
    lanthorn::JoinParagraph(reader.book, reader.platform, page, reader.paragraph);
    lanthorn::Tokenize(reader.page, reader.paragraph.text);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  EnterScratchFolder();
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> parts;
  for (size_t at = 0;;) {
    const size_t end = input.find(kSeparator, at);
    parts.push_back(input.substr(at, end == std::string_view::npos ? end : end - at));
    if (end == std::string_view::npos) break;
    at = end + kSeparator.size();
  }

  const fs::path book = "b";
  fs::remove_all(book);
  fs::create_directories(book / "paragraphs");
  WriteFile(book / "book.toml", parts[0]);
  if (parts.size() > 1) WriteFile(book / "items.toml", parts[1]);
  for (size_t i = 2; i < parts.size() && i < 2 + kMostParagraphFiles; ++i) {
    WriteFile(book / "paragraphs" / (std::string(1, static_cast<char>('a' + i - 2)) + ".txt"),
              parts[i]);
  }

  bookc::Diagnostics diagnostics;
  std::unique_ptr<bookc::LoadedBook> loaded = bookc::LoadBook(book, diagnostics);
  if ((loaded != nullptr) == diagnostics.HasErrors()) __builtin_trap();
  if (loaded == nullptr) return 0;
  std::ostringstream source;
  bookc::WriteBookCpp(loaded->model(), source);
  BuildEveryPage(loaded->book());
  return 0;
}
