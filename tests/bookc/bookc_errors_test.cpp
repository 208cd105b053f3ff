#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_book.h"
#include "tools/bookc/cp1252.h"

namespace {

using testing_support::MinimalBookToml;
using testing_support::ScratchBook;

// Compiles paragraph source and returns the errors (or, with warnings, every
// message) formatted as bookc prints them, with the directory cut off.
std::vector<std::string> Problems(const std::string& paragraphs, bool withWarnings = false,
                                  ScratchBook&& book = ScratchBook()) {
  book.Paragraphs(paragraphs);
  bookc::Diagnostics diagnostics;
  book.Load(diagnostics);
  std::vector<std::string> out;
  const std::string prefix = book.directory().string() + "/";
  for (const bookc::Diagnostic& d : diagnostics.list()) {
    if (!d.isError && !withWarnings) continue;
    std::string text = bookc::Format(d);
    for (size_t at; (at = text.find(prefix)) != std::string::npos;) text.erase(at, prefix.size());
    // The metadata of these small books names few items; that is expected.
    if (text.find("the book names") != std::string::npos ||
        text.find("no story items") != std::string::npos)
      continue;
    out.push_back(text);
  }
  return out;
}

using Lines = std::vector<std::string>;

TEST(BookcErrors, ParagraphNumbers) {
  EXPECT_EQ(Problems("@1\nA <G>\n@361\nB <G>\n@1\nC <G>\n@x\n"),
            (Lines{"paragraphs/book.txt:7:1: error: '@' must be followed by a paragraph number",
                   "paragraphs/book.txt:3:1: error: paragraph number 361 is outside 0..360",
                   "paragraphs/book.txt:5:1: error: paragraph 1 is declared twice (first at "
                   "paragraphs/book.txt:1)"}));
  EXPECT_EQ(Problems("text first\n@1\nA <G>\n"),
            Lines{"paragraphs/book.txt:1:1: error: text before the first paragraph marker '@N'"});
}

TEST(BookcErrors, TagsAndTheEndTag) {
  EXPECT_EQ(Problems("@1\nOne <U two\nthree <G>\n@2\nNo end tag. <U>\n"),
            (Lines{"paragraphs/book.txt:2:5: error: '<' is not closed by '>'",
                   "paragraphs/book.txt:4:1: error: paragraph 2 does not end with <G>"}));
  EXPECT_EQ(Problems("@1\nA <G> <U\n"),
            (Lines{"paragraphs/book.txt:1:1: error: paragraph 1 does not end with <G>",
                   "paragraphs/book.txt:2:7: error: '<' is not closed by '>'"}));
}

TEST(BookcErrors, ChoiceTargetsMustExist) {
  EXPECT_EQ(Problems("@1\n<M \"On\" 2> <g \"Aside\" 99>\n<n 1> <p 0> <G>\n@2\nB <G>\n"),
            (Lines{"paragraphs/book.txt:2:12: error: paragraph 99 does not exist in the book",
                   "paragraphs/book.txt:3:7: error: paragraph 0 does not exist in the book"}));
  EXPECT_EQ(
      Problems("@1\n<L \"Roll\" (12) 2 3> <d \"Pct\" (40) 2 (30) 4 3> <S (lamp) 2 (oil) 5 3> <G>\n"
               "@2\nB <G>\n@3\nC <G>\n"),
      (Lines{"paragraphs/book.txt:2:21: error: paragraph 4 does not exist in the book",
             "paragraphs/book.txt:2:47: error: paragraph 5 does not exist in the book"}));
}

TEST(BookcErrors, NumbersOutsideTheTables) {
  EXPECT_EQ(Problems("@1\n<l %52> <s *14> <V 21> <v21> <A 8> <O(X %60)>{a} <N %-1> <G>\n"),
            (Lines{"paragraphs/book.txt:2:1: error: item 52 is outside 0..51",
                   "paragraphs/book.txt:2:9: error: restart point 14 is outside 0..13",
                   "paragraphs/book.txt:2:17: error: picture 21 is outside 0..20",
                   "paragraphs/book.txt:2:24: error: picture 21 is outside 0..20",
                   "paragraphs/book.txt:2:30: error: sound 8 is outside 0..7",
                   "paragraphs/book.txt:2:36: error: item 60 is outside 0..51",
                   "paragraphs/book.txt:2:50: error: item -1 is outside 0..51"}));
  EXPECT_EQ(Problems("@1\n<l %51> <s *13> <V 20> <A 7> <G>\n"), Lines{});
}

TEST(BookcErrors, LabelsAnswersAndParagraphLength) {
  const std::string label199(199, 'x');
  const std::string answer19(19, 'y');
  EXPECT_EQ(Problems("@1\n<M \"" + label199 + "\" 1> <S (" + answer19 + ") 1 1> <G>\n"), Lines{});
  EXPECT_EQ(Problems("@1\n<M \"" + label199 + "z\" 1> <S (" + answer19 + "z) 1 1> <G>\n"),
            (Lines{"paragraphs/book.txt:2:1: error: a label of 200 characters; a button holds "
                   "at most 199",
                   "paragraphs/book.txt:2:210: error: an answer of 20 characters; an answer "
                   "holds at most 19"}));

  // 2,283 characters of words and "<G> " make 2,287 when joined: the most.
  std::string words;
  while (words.size() < 2283) words += "abcd ";
  words.resize(2283);
  words.back() = ' ';
  EXPECT_EQ(Problems("@1\n" + words + "<G>\n"), Lines{});
  EXPECT_EQ(Problems("@1\nx" + words + "<G>\n"),
            Lines{"paragraphs/book.txt:1:1: error: paragraph 1 is 2288 characters when joined; "
                  "at most 2287 fit"});
}

TEST(BookcErrors, CharactersWithoutAWindows1252Form) {
  EXPECT_EQ(Problems("@1\nCaf\xC3\xA9 \xE2\x80\x94 \xE2\x80\x9Cok\xE2\x80\x9D <G>\n"), Lines{});
  EXPECT_EQ(Problems("@1\nAn arrow \xE2\x86\x92 here <G>\n"),
            Lines{"paragraphs/book.txt:2:10: error: character U+2192 has no Windows-1252 form"});
  EXPECT_EQ(Problems("@1\nBad \xFF byte <G>\n"),
            Lines{"paragraphs/book.txt:2:5: error: text is not valid UTF-8"});
}

TEST(Cp1252, EveryMappedCharacterComesBackUnchanged) {
  for (int b = 0x20; b < 0x100; ++b) {
    const std::string byte(1, static_cast<char>(b));
    const std::string utf8 = bookc::Cp1252ToUtf8(byte);
    std::string problem;
    const auto back = bookc::Utf8ToCp1252(utf8, problem);
    const bool unused = b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
    EXPECT_EQ(back.has_value(), !unused) << b;
    if (back) {
      EXPECT_EQ(*back, byte) << b;
    }
  }
}

TEST(BookcErrors, SuspiciousButLegalTextWarns) {
  EXPECT_EQ(Problems("@1\nA {stray} brace. <E>x{y} <Q %1> <G>\n", true),
            (Lines{"paragraphs/book.txt:2:3: warning: '{' with no conditional tag directly "
                   "before it is dropped",
                   // the "{" after the dropped "x" still opens the else block
                   "paragraphs/book.txt:2:21: warning: text between a conditional tag and its "
                   "'{' is dropped"}));
  EXPECT_EQ(Problems("@1\n<O(X %1)>{a}<o(%2 = 3)>2{b}<E>{c} <u *0 \"Back\">{d} <G>\n", true),
            Lines{});
}

TEST(BookcErrors, MetadataProblemsNameTheirLine) {
  ScratchBook book;
  book.Write("book.toml", MinimalBookToml("colour = 3\n") +
                              "[[pictures]]\nbitmap = 1701\nwidth = -4\nheight = 10\n");
  book.Write("items.toml",
             "[[items]]\nname = \"Lamp\"\nkind = \"cloth\"\n"
             "[[items]]\nname = \"Arrow \u2192\"\n");
  EXPECT_EQ(Problems("@1\nA <G>\n", true, std::move(book)),
            (Lines{"book.toml:2:10: warning: unknown key 'colour' is ignored",
                   "book.toml:23:9: error: width -4 is outside 0..65535",
                   "items.toml:3:8: error: item kind 'cloth' is not text, number or picture",
                   "items.toml:5:8: error: item name: character U+2192 has no Windows-1252 form",
                   "items.toml: warning: item 0's page, paragraph 10, has no text"}));
}

}  // namespace
