#include "tests/support/test_book.h"

#include <unistd.h>
#include <atomic>
#include <fstream>

namespace testing_support {

namespace fs = std::filesystem;

std::string MinimalBookToml(const std::string& extra) {
  return "sounds = [\"BELL_TOLL\", \"WIND_HOWL\"]\n" + extra +
         "\n[information]\ntitle = \"Test Book\"\nauthor = \"A. Tester\"\n"
         "contact = \"a@b.example\"\nsupport = \"s@b.example\"\nrights = \"2026 Tests\"\n"
         "closing = \" \"\npresents_picture = 0\ntitle_picture = 1\n"
         "[[pictures]]\nbitmap = 1100\nwidth = 154\nheight = 29\n"
         "[[pictures]]\nbitmap = 1708\nwidth = 160\nheight = 105\n";
}

ScratchBook::ScratchBook() {
  static std::atomic<int> counter{0};
  directory_ = fs::temp_directory_path() /
               ("lanthorn-book-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
  fs::remove_all(directory_);
  fs::create_directories(directory_ / "paragraphs");
  Write("book.toml", MinimalBookToml());
}

ScratchBook::~ScratchBook() {
  std::error_code ignored;
  fs::remove_all(directory_, ignored);
}

ScratchBook& ScratchBook::Write(const std::string& relativePath, const std::string& content) {
  const fs::path path = directory_ / relativePath;
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
  return *this;
}

ScratchBook& ScratchBook::Paragraphs(const std::string& source, const std::string& name) {
  return Write("paragraphs/" + name, source);
}

std::unique_ptr<bookc::LoadedBook> ScratchBook::Load(bookc::Diagnostics& diagnostics) const {
  return bookc::LoadBook(directory_, diagnostics);
}

const lanthorn::Book& EmptyBook() {
  static const lanthorn::Book book = [] {
    lanthorn::Book b{};
    for (lanthorn::ParagraphEntry& entry : b.paragraphs) entry.block = -1;
    b.pictures[0] = {1100, 154, 29, nullptr};
    b.pictures[1] = {1708, 160, 105, "The fell at dusk"};
    return b;
  }();
  return book;
}

std::string DescribeDisplayList(const lanthorn::Reader& reader) {
  std::string out;
  const lanthorn::DisplayList& list = reader.page.display;
  for (int i = 0; i < list.count; ++i) {
    const lanthorn::DisplayRecord& r = list.records[i];
    if (!out.empty()) out += " | ";
    switch (r.kind) {
      case lanthorn::kTextRun: out += "T[" + std::string(r.text) + "]"; break;
      case lanthorn::kTitleRun: out += "H[" + std::string(r.text) + "]"; break;
      case lanthorn::kAlignLeft: out += "AL"; break;
      case lanthorn::kAlignCentre: out += "AC"; break;
      case lanthorn::kAlignRight: out += "AR"; break;
      case lanthorn::kBoldOnMark: out += "B+"; break;
      case lanthorn::kBoldOffMark: out += "B-"; break;
      case lanthorn::kParagraphBreakMark: out += "PB"; break;
      case lanthorn::kLineBreakMark: out += "LB"; break;
      case lanthorn::kTabMark: out += "TAB"; break;
      case lanthorn::kPictureRecord:
        out += "PIC(" + std::to_string(r.number) + "," + std::to_string(r.inlineFlag) + ")";
        break;
      case lanthorn::kEditBoxRecord: out += "EDIT(" + std::to_string(r.number) + ")"; break;
      case lanthorn::kButtonRecord: out += "BTN(" + std::to_string(r.number) + ")"; break;
      default: out += "?" + std::to_string(r.kind); break;
    }
  }
  return out;
}

}  // namespace testing_support
