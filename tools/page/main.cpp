// lanthorn-page: prints pages of a book as the reader builds them, one
// display record a line, with every message the reader would show.
//
//   lanthorn-page BOOK_DIR PAGE...
//
// The book source is compiled at run time by the bookc library. Pages are
// page numbers (paragraph + 1), so page 2 is the book's beginning.
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

#include "book/display_list.h"
#include "book/paragraph_store.h"
#include "book/tokenizer.h"
#include "platform/headless/headless_platform.h"
#include "shell/reader.h"
#include "tools/bookc/compile.h"
#include "tools/bookc/cp1252.h"

namespace {

using namespace lanthorn;

void PrintRecord(const DisplayRecord& r) {
  switch (r.kind) {
    case kTextRun: std::cout << "  text   \"" << bookc::Cp1252ToUtf8(r.text) << "\"\n"; break;
    case kTitleRun: std::cout << "  title  \"" << bookc::Cp1252ToUtf8(r.text) << "\"\n"; break;
    case kAlignLeft: std::cout << "  align left\n"; break;
    case kAlignCentre: std::cout << "  align centre\n"; break;
    case kAlignRight: std::cout << "  align right\n"; break;
    case kBoldOnMark: std::cout << "  bold on\n"; break;
    case kBoldOffMark: std::cout << "  bold off\n"; break;
    case kParagraphBreakMark: std::cout << "  paragraph break\n"; break;
    case kLineBreakMark: std::cout << "  line break\n"; break;
    case kTabMark: std::cout << "  tab\n"; break;
    case kPictureRecord:
      std::cout << "  picture " << r.number << (r.inlineFlag ? " inline\n" : "\n");
      break;
    case kEditBoxRecord: std::cout << "  edit box " << r.number << '\n'; break;
    case kButtonRecord: std::cout << "  button " << r.number << '\n'; break;
    default: break;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: lanthorn-page BOOK_DIR PAGE...\n";
    return 2;
  }
  bookc::Diagnostics diagnostics;
  const std::unique_ptr<bookc::LoadedBook> book = bookc::LoadBook(argv[1], diagnostics);
  if (book == nullptr) {
    diagnostics.Print(std::cerr);
    return 1;
  }
  HeadlessPlatform platform;
  auto reader = std::make_unique<Reader>(book->book(), platform);
  for (int i = 2; i < argc; ++i) {
    char* end = nullptr;
    const long page = std::strtol(argv[i], &end, 10);
    if (end == argv[i] || *end != '\0' || page < 1 || page > kParagraphCount) {
      std::cerr << "lanthorn-page: '" << argv[i] << "' is not a page number from 1 to "
                << kParagraphCount << '\n';
      return 2;
    }
    std::cout << "page " << page << " (paragraph " << page - 1 << ")\n";
    EmptyDisplayList(*reader);
    platform.ClearMessages();
    JoinParagraph(*reader, static_cast<int16_t>(page), reader->paragraph);
    if (PageExists(*reader, static_cast<int16_t>(page))) {
      Tokenize(*reader, reader->paragraph.text);
    }
    for (int r = 0; r < reader->display.count; ++r) PrintRecord(reader->display.records[r]);
    for (const RecordedMessage& message : platform.messages()) {
      std::cout << "  message \"" << message.text << "\"\n";
    }
  }
  return 0;
}
