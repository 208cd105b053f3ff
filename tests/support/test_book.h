// Small books for tests: written to a scratch directory from strings and
// compiled with the bookc library, or made by hand in memory.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "shell/reader.h"
#include "tools/bookc/compile.h"

namespace testing_support {

// book.toml with the information table and the given extra TOML.
std::string MinimalBookToml(const std::string& extra = "");

class ScratchBook {
 public:
  ScratchBook();
  ~ScratchBook();
  ScratchBook(const ScratchBook&) = delete;
  ScratchBook& operator=(const ScratchBook&) = delete;

  // Writes a file below the book directory (creating directories).
  ScratchBook& Write(const std::string& relativePath, const std::string& content);
  // Writes paragraphs/<name> holding the given paragraph source.
  ScratchBook& Paragraphs(const std::string& source, const std::string& name = "book.txt");

  std::unique_ptr<bookc::LoadedBook> Load(bookc::Diagnostics& diagnostics) const;
  const std::filesystem::path& directory() const { return directory_; }

 private:
  std::filesystem::path directory_;
};

// A reader over a book, with the headless platform recording what it shows.
struct TestReader {
  explicit TestReader(const lanthorn::Book& book)
      : reader(std::make_unique<lanthorn::Reader>(book, platform)) {}
  lanthorn::HeadlessPlatform platform;
  std::unique_ptr<lanthorn::Reader> reader;
};

// A book with no paragraphs and picture 0 naming bitmap 1100, for tests that
// feed text to the tokenizer directly.
const lanthorn::Book& EmptyBook();

// The display list as one line: "T[text]" for text runs, "H[text]" for
// titles, "LB", "PB", "TAB", "B+", "B-", "AL", "AC", "AR", "PIC(id,inline)",
// "EDIT(n)", "BTN(n)", separated by " | ".
std::string DescribeDisplayList(const lanthorn::Reader& reader);

}  // namespace testing_support
