// The browser reader's conversions between the book's Windows-1252 and the
// page's UTF-8: exact both ways for the book's characters, and bounded by
// the buffers they are given.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/web/web_text.h"

namespace {

using lanthorn::BookTextToUtf8;
using lanthorn::Utf8ToBookText;

TEST(WebText, TheBookCharactersGoToUtf8AndBack) {
  // "Dobson’s – café €5": a right quote, an en dash, é and the euro sign.
  const std::string book =
      "Dobson\x92s \x96 caf\xE9 \x80"
      "5";
  char utf8[64];
  BookTextToUtf8(book.data(), static_cast<int32_t>(book.size()), utf8, sizeof utf8);
  EXPECT_STREQ(utf8, "Dobson\u2019s \u2013 caf\u00e9 \u20ac5");
  char back[64];
  EXPECT_EQ(Utf8ToBookText(utf8, back, sizeof back), static_cast<int32_t>(book.size()));
  EXPECT_EQ(std::string(back), book);
}

TEST(WebText, AFullBufferCutsAtAWholeCharacter) {
  char utf8[6];
  memset(utf8, 'x', sizeof utf8);
  BookTextToUtf8("ab\x80\x80", 4, utf8, sizeof utf8);  // "ab€€": 2 + 3 + 3 bytes
  EXPECT_STREQ(utf8, "ab\u20ac");
  char none[1];
  BookTextToUtf8("abc", 3, none, sizeof none);
  EXPECT_STREQ(none, "");

  char book[4];
  EXPECT_EQ(Utf8ToBookText("Agnes", book, sizeof book), 3);
  EXPECT_STREQ(book, "Agn");
  EXPECT_EQ(Utf8ToBookText("Agnes", book, 0), 0);
}

TEST(WebText, WhatTheBookCannotHoldBecomesAQuestionMark) {
  char book[16];
  // A snowman (3 bytes), an emoji (4 bytes), a stray continuation byte and a
  // sequence cut short by the end of the text.
  EXPECT_EQ(Utf8ToBookText("a\u2603b\U0001F600c\x80"
                           "d\xC3",
                           book, sizeof book),
            8);
  EXPECT_STREQ(book, "a?b?c?d?");
}

}  // namespace
