#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "book/paragraph_store.h"
#include "tests/support/test_book.h"

namespace {

using namespace lanthorn;
using testing_support::TestReader;

// The tables compiled into the reader hold the same book as the source in
// book/data, built at run time by the bookc library.
TEST(CompiledBook, MatchesTheBookSource) {
  bookc::Diagnostics diagnostics;
  const auto source = bookc::LoadBook(LANTHORN_BOOK_DIR, diagnostics);
  ASSERT_NE(source, nullptr);

  TestReader compiled(CompiledBook());
  TestReader fromSource(source->book());
  auto a = std::make_unique<ParagraphBuffer>();
  auto b = std::make_unique<ParagraphBuffer>();
  int pages = 0;
  for (int16_t page = 1; page <= kParagraphCount; ++page) {
    ASSERT_EQ(PageExists(compiled.reader->book, page), PageExists(fromSource.reader->book, page))
        << page;
    if (!PageExists(compiled.reader->book, page)) continue;
    JoinParagraph(compiled.reader->book, compiled.reader->platform, page, *a);
    JoinParagraph(fromSource.reader->book, fromSource.reader->platform, page, *b);
    EXPECT_STREQ(a->text, b->text) << "page " << page;
    const size_t length = strlen(a->text);
    if (length > 0) {
      ++pages;
      EXPECT_EQ(std::string(a->text + length - 4), "<G> ") << "page " << page;
    }
  }
  EXPECT_GT(pages, 0);
  EXPECT_TRUE(compiled.platform.messages().empty());

  const Book& book = CompiledBook();
  EXPECT_EQ(book.paragraphs[0].block, -1);
  EXPECT_STREQ(book.information.title, "Lanthorn Fell");
  EXPECT_EQ(book.pictures[0].bitmapId, 1100);
  EXPECT_EQ(book.items[36].optionCount, 41);
  EXPECT_STREQ(book.items[36].optionTexts[40], "400");
  EXPECT_EQ(book.restartPoints[13].paragraph, 323);
}

}  // namespace
