#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "book/paragraph_store.h"
#include "tests/support/test_book.h"

namespace {

using namespace lanthorn;
using testing_support::ScratchBook;
using testing_support::TestReader;

class JoinParagraphTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ScratchBook source;
    source.Paragraphs(
        "@1\n<Y><H>First<J><F>\n  Snow on   the\tfell. <M \"Go  on,  now\" 2> <G>\n"
        "@2\n<H>Second<J> The end. <G>\n"
        "@7\n@8\n@9\n");
    bookc::Diagnostics diagnostics;
    loaded = source.Load(diagnostics);
    ASSERT_NE(loaded, nullptr);
    t = std::make_unique<TestReader>(loaded->book());
    buffer = std::make_unique<ParagraphBuffer>();
  }

  std::unique_ptr<bookc::LoadedBook> loaded;
  std::unique_ptr<TestReader> t;
  std::unique_ptr<ParagraphBuffer> buffer;  // on the heap, so an overrun is caught
};

TEST_F(JoinParagraphTest, JoinsWordsWithSingleBlanksAndKeepsLabelsWhole) {
  JoinParagraph(t->reader->book, t->reader->platform, 2, *buffer);
  EXPECT_STREQ(buffer->text, "<Y><H>First<J><F> Snow on the fell. <M \"Go  on,  now\" 2> <G> ");
  EXPECT_TRUE(t->platform.messages().empty());

  // The label with its blanks is one word of the pool.
  const std::string& pool = loaded->model().blocks[0].pool;
  EXPECT_NE(pool.find(std::string("\"Go  on,  now\"\0", 15)), std::string::npos);
}

TEST_F(JoinParagraphTest, AMissingPageIsReportedAndLeavesTheBufferAlone) {
  strcpy(buffer->text, "before");
  for (int page : {1, 4, 0, -3, 362, 32767}) {
    t->platform.ClearMessages();
    JoinParagraph(t->reader->book, t->reader->platform, static_cast<int16_t>(page), *buffer);
    EXPECT_STREQ(buffer->text, "before");
    ASSERT_EQ(t->platform.messages().size(), 1u);
    EXPECT_EQ(t->platform.messages()[0].text,
              "Paragraph " + std::to_string(page) + " does not exist");
  }
}

TEST_F(JoinParagraphTest, EmptyParagraphsJoinToTheEmptyString) {
  for (int page : {8, 9, 10}) {
    strcpy(buffer->text, "before");
    JoinParagraph(t->reader->book, t->reader->platform, static_cast<int16_t>(page), *buffer);
    EXPECT_STREQ(buffer->text, "");
  }
  EXPECT_TRUE(t->platform.messages().empty());
}

// A hand-made block whose one paragraph joins to `total` characters, made of
// ten-letter words.
struct LongParagraphBook {
  explicit LongParagraphBook(int words) {
    pool = "abcdefghi";  // nine letters and a blank: ten characters a word
    pool += '\0';
    stream.assign(static_cast<size_t>(words), 0);
    for (ParagraphEntry& entry : book.paragraphs) entry.block = -1;
    book.blocks[0] = {stream.data(), pool.data(), static_cast<int32_t>(stream.size()),
                      static_cast<int32_t>(pool.size())};
    book.paragraphs[1] = {0, 0, words};
  }
  // Puts bytes at the pool's end and returns where they start.
  uint16_t AddToPool(const std::string& bytes) {
    const auto offset = static_cast<uint16_t>(pool.size());
    pool += bytes;
    book.blocks[0].wordPool = pool.data();
    book.blocks[0].poolSize = static_cast<int32_t>(pool.size());
    return offset;
  }
  std::string pool;
  std::vector<uint16_t> stream;
  Book book{};
};

TEST(JoinParagraphLimit, TextReachingTheBufferIsCutAndReported) {
  LongParagraphBook source(240);  // 2,400 characters
  TestReader t(source.book);
  auto buffer = std::make_unique<ParagraphBuffer>();
  JoinParagraph(t.reader->book, t.reader->platform, 2, *buffer);
  EXPECT_EQ(strlen(buffer->text), 2287u);
  ASSERT_EQ(t.platform.messages().size(), 1u);
  EXPECT_EQ(t.platform.messages()[0].text, "240 is Too many words");
}

TEST(JoinParagraphLimit, TheLongestTextThatFitsJoinsWithoutAMessage) {
  // 228 words of ten characters and a last one of seven: 2,287 characters.
  LongParagraphBook source(229);
  source.stream.back() = source.AddToPool(std::string("abcdef") + '\0');
  TestReader t(source.book);
  auto buffer = std::make_unique<ParagraphBuffer>();
  JoinParagraph(t.reader->book, t.reader->platform, 2, *buffer);
  EXPECT_EQ(strlen(buffer->text), 2287u);
  EXPECT_TRUE(t.platform.messages().empty());
}

TEST(JoinParagraphLimit, AWordWhoseBlankWouldReachTheBufferIsCutAndReported) {
  // As above with a last word of seven letters: they fill the buffer, and
  // its blank has no room.
  LongParagraphBook source(229);
  source.stream.back() = source.AddToPool(std::string("abcdefg") + '\0');
  TestReader t(source.book);
  auto buffer = std::make_unique<ParagraphBuffer>();
  JoinParagraph(t.reader->book, t.reader->platform, 2, *buffer);
  EXPECT_EQ(strlen(buffer->text), 2287u);
  EXPECT_EQ(std::string(buffer->text + 2280), "abcdefg");
  ASSERT_EQ(t.platform.messages().size(), 1u);
  EXPECT_EQ(t.platform.messages()[0].text, "229 is Too many words");
}

TEST(JoinParagraphLimit, AWordAtThePoolsEndWithoutItsNulEndsThere) {
  LongParagraphBook source(3);
  source.stream[1] = source.AddToPool("xyz");  // no NUL after the pool's last word
  TestReader t(source.book);
  auto buffer = std::make_unique<ParagraphBuffer>();
  JoinParagraph(t.reader->book, t.reader->platform, 2, *buffer);
  EXPECT_STREQ(buffer->text, "abcdefghi xyz abcdefghi ");
  EXPECT_TRUE(t.platform.messages().empty());
}

// Words of every length from none to twenty letters, taken eight bytes at a
// time where the pool and the buffer allow, with Windows-1252 letters above
// 127 and the lowest bytes, none of which may be taken for a word's end.
TEST(JoinParagraphLimit, WordsOfEveryLengthJoinWholeWhateverTheirBytes) {
  LongParagraphBook source(21);
  const std::string letters = std::string("\x92\x01\x80\xff") + "Snow\x7f\x81on the fell";
  std::string expected;
  for (int length = 0; length <= 20; ++length) {
    const std::string word = letters.substr(0, static_cast<size_t>(length));
    source.stream[static_cast<size_t>(length)] = source.AddToPool(word + '\0');
    expected += word + ' ';
  }
  source.AddToPool(std::string(16, 'z'));  // more pool after the last word's NUL
  TestReader t(source.book);
  auto buffer = std::make_unique<ParagraphBuffer>();
  JoinParagraph(t.reader->book, t.reader->platform, 2, *buffer);
  EXPECT_EQ(std::string(buffer->text), expected);
  EXPECT_TRUE(t.platform.messages().empty());
}

TEST(JoinParagraphLimit, OffsetsOutsideTheBlockAreNotRead) {
  LongParagraphBook source(3);
  source.stream[1] = 9000;                 // beyond the pool
  source.book.paragraphs[1].endWord = 50;  // beyond the stream
  TestReader t(source.book);
  auto buffer = std::make_unique<ParagraphBuffer>();
  JoinParagraph(t.reader->book, t.reader->platform, 2, *buffer);
  EXPECT_STREQ(buffer->text, "abcdefghi abcdefghi ");
}

}  // namespace
