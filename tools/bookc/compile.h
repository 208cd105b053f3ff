// Compiling a book directory into the reader's tables: the words of every
// paragraph packed into the three text blocks, and the metadata tables.
#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "book/book_tables.h"
#include "tools/bookc/book_source.h"
#include "tools/bookc/diagnostics.h"

namespace bookc {

constexpr size_t kMostPoolBytes = 65535;  // every offset fits 16 bits

struct BlockModel {
  std::string pool;  // NUL-terminated words
  std::vector<uint16_t> stream;
};

struct BookModel {
  std::array<BlockModel, lanthorn::kBlockCount> blocks;
  std::array<lanthorn::ParagraphEntry, lanthorn::kParagraphCount> paragraphs{};
  std::array<lanthorn::PictureEntry, lanthorn::kPictureCount> pictures{};
  std::array<std::string, lanthorn::kPictureCount> pictureDescriptions;
  std::array<std::string, lanthorn::kSoundCount> sounds;
  std::array<SourceItem, lanthorn::kItemCount> items;
  std::array<SourceRestartPoint, lanthorn::kRestartPointCount> restartPoints;
  SourceInformation information;
  std::vector<int> endings;
};

// Packs paragraphs (number, words) into the blocks in the order given, moving
// to the next block when a paragraph's new words would not fit the pool.
// Returns false, with a message, when three blocks are not enough.
struct ParagraphWords {
  int number;
  std::vector<std::string> words;
};
bool PackBlocks(const std::vector<ParagraphWords>& paragraphs, BookModel& model,
                std::string& problem);

// Reads, checks and compiles a book directory. Returns nothing when the
// diagnostics hold an error.
std::optional<BookModel> CompileBook(const std::filesystem::path& directory,
                                     Diagnostics& diagnostics);

// A compiled book held in memory with the reader's view of it, for the tools
// and tests that run the reader on a book source.
class LoadedBook {
 public:
  explicit LoadedBook(BookModel model);
  LoadedBook(const LoadedBook&) = delete;
  LoadedBook& operator=(const LoadedBook&) = delete;

  const lanthorn::Book& book() const { return book_; }
  const BookModel& model() const { return model_; }

 private:
  BookModel model_;
  std::array<std::vector<const char*>, lanthorn::kItemCount> optionTexts_;
  lanthorn::Book book_{};
};

std::unique_ptr<LoadedBook> LoadBook(const std::filesystem::path& directory,
                                     Diagnostics& diagnostics);

}  // namespace bookc
