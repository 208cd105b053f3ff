#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "book/paragraph_store.h"
#include "tests/support/test_book.h"
#include "tools/bookc/cpp_writer.h"

namespace {

using namespace lanthorn;
using testing_support::ScratchBook;
using testing_support::TestReader;

std::string PoolWords(const std::string& pool) {
  std::string out;
  for (char c : pool) out += c == '\0' ? '|' : c;
  return out;
}

TEST(BookcTables, WordsAreStoredOnceInOrderOfFirstUse) {
  ScratchBook source;
  source.Paragraphs("@2\nthe fell <U> the snow <G>\n@1\nthe snow falls <G>\n@5\n");
  bookc::Diagnostics diagnostics;
  const auto loaded = source.Load(diagnostics);
  ASSERT_NE(loaded, nullptr);
  const bookc::BookModel& model = loaded->model();
  // Paragraphs go into the block in number order.
  EXPECT_EQ(PoolWords(model.blocks[0].pool), "the|snow|falls|<G>|fell|<U>|");
  EXPECT_EQ(model.blocks[0].stream, (std::vector<uint16_t>{0, 4, 9, 15, 0, 19, 24, 0, 4, 15}));
  EXPECT_EQ(model.paragraphs[1].block, 0);
  EXPECT_EQ(model.paragraphs[1].firstWord, 0);
  EXPECT_EQ(model.paragraphs[1].endWord, 4);
  EXPECT_EQ(model.paragraphs[2].firstWord, 4);
  EXPECT_EQ(model.paragraphs[2].endWord, 10);
  EXPECT_EQ(model.paragraphs[5].firstWord, model.paragraphs[5].endWord);  // declared, empty
  EXPECT_EQ(model.paragraphs[0].block, -1);
  EXPECT_EQ(model.paragraphs[3].block, -1);
}

TEST(BookcTables, ParagraphsAreSplitOverBlocksSoEveryOffsetFits16Bits) {
  // Paragraphs of distinct long words: about 190 KB of words in all, more
  // than two pools hold.
  ScratchBook source;
  std::string text;
  std::vector<std::string> expected(kParagraphCount);
  for (int p = 1; p <= 100; ++p) {
    text += "@" + std::to_string(p) + "\n";
    std::string joined;
    for (int w = 0; w < 95; ++w) {
      std::string word = "p" + std::to_string(p) + "w" + std::to_string(w) + std::string(12, 'x');
      joined += word + " ";
    }
    joined += "<G> ";
    text += joined + "\n";
    expected[p] = joined;
  }
  source.Paragraphs(text);
  bookc::Diagnostics diagnostics;
  const auto loaded = source.Load(diagnostics);
  ASSERT_NE(loaded, nullptr);
  const bookc::BookModel& model = loaded->model();
  for (const bookc::BlockModel& block : model.blocks) {
    EXPECT_GT(block.stream.size(), 0u);
    EXPECT_LE(block.pool.size(), 65535u);
  }
  EXPECT_GT(model.blocks[0].pool.size(), 60000u);  // a block is filled before the next

  TestReader t(loaded->book());
  auto buffer = std::make_unique<ParagraphBuffer>();
  for (int16_t p = 1; p <= 100; ++p) {
    JoinParagraph(t.reader->book, t.reader->platform, static_cast<int16_t>(p + 1), *buffer);
    ASSERT_EQ(buffer->text, expected[p]) << "paragraph " << p;
  }

  // Two hundred such paragraphs do not fit three pools.
  ScratchBook tooBig;
  std::string more = text;
  for (int p = 101; p <= 200; ++p) {
    more += "@" + std::to_string(p) + "\n";
    for (int w = 0; w < 95; ++w)
      more += "p" + std::to_string(p) + "w" + std::to_string(w) + std::string(12, 'x') + " ";
    more += "<G>\n";
  }
  tooBig.Paragraphs(more);
  bookc::Diagnostics tooBigDiagnostics;
  EXPECT_EQ(tooBig.Load(tooBigDiagnostics), nullptr);
  ASSERT_TRUE(tooBigDiagnostics.HasErrors());
  EXPECT_NE(bookc::Format(tooBigDiagnostics.list().back()).find("do not fit 3 word pools"),
            std::string::npos);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(BookcCommand, CompilesTheRealBookToTheSameBytesEveryTime) {
  const std::string out = ::testing::TempDir() + "/book-a.cpp";
  const std::string again = ::testing::TempDir() + "/book-b.cpp";
  const std::string command = std::string(BOOKC_PATH) + " --output ";
  ASSERT_EQ(std::system((command + out + " " LANTHORN_BOOK_DIR).c_str()), 0);
  ASSERT_EQ(std::system((command + again + " " LANTHORN_BOOK_DIR).c_str()), 0);
  const std::string first = ReadFile(out);
  EXPECT_GT(first.size(), 1000u);
  EXPECT_EQ(first, ReadFile(again));
  EXPECT_NE(first.find("const Book& CompiledBook()"), std::string::npos);
}

TEST(BookcCommand, ReportsErrorsAndFailsOnABrokenBook) {
  ScratchBook source;
  source.Paragraphs("@1\nno end\n");
  const std::string log = ::testing::TempDir() + "/bookc-errors.txt";
  const int status = std::system(
      (std::string(BOOKC_PATH) + " " + source.directory().string() + " 2>" + log).c_str());
  EXPECT_NE(status, 0);
  EXPECT_NE(ReadFile(log).find("paragraphs/book.txt:1:1: error: paragraph 1 does not end with <G>"),
            std::string::npos);
}

}  // namespace
