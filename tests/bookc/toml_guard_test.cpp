#include <gtest/gtest.h>

#include <toml++/toml.h>
#include <string>

#include "tools/bookc/toml_guard.h"

namespace {

// The first problem the guard reports, or "" when the text may be parsed.
std::string Guard(const std::string& text) {
  bookc::Diagnostics diagnostics;
  const bool passed = bookc::CheckTomlShape(text, "b.toml", diagnostics);
  EXPECT_EQ(passed, diagnostics.list().empty());
  return diagnostics.list().empty() ? "" : bookc::Format(diagnostics.list().front());
}

std::string DottedKey(int parts) {
  std::string key = "k";
  for (int i = 1; i < parts; ++i) key += ".k";
  return key;
}

// Valid TOML in the forms that look like a header or a key to a scanner
// that does not follow strings and values: the guard passes all of it.
TEST(TomlGuard, PassesValidTomlWhateverItsStringsAndArraysHold) {
  const std::string text =
      "# [.not a header]\n"
      "title = \"[.x] \\\" [#]\"  # [[[y]]]\n"
      "lines = \"\"\"\n[.inside a string]\n[[[\"\"\"\"\n"
      "literal = '''\n[#]\n'''\n"
      "quote = 'say \"[#]\"'\n"
      "empty = \"\"\n"
      "arrays = [\n  [1, 2],\n  # [.x]\n  [\"[.y]\", '[#]'],\n]\n"
      "when = 1979-05-27 07:32:00Z\n"
      "dates = [1979-05-27 07:32:00, 1980-01-01]\n"
      "inline = { a.b = 1, \"c.d\" = { e = [2] } }\n"
      "[ \"quoted . header\" . 'x' ]\n"
      "[[pictures]]\nbitmap = 1100\n"
      "[[ pictures ]]\n";
  EXPECT_EQ(Guard(text), "");
  EXPECT_NO_THROW((void)toml::parse(text));
}

TEST(TomlGuard, StopsHeadersThatDoNotStartWithAKey) {
  EXPECT_EQ(Guard("a = 1\n[[[pictures]]]\n"),
            "b.toml:2:3: error: a table header must start with a key");
  EXPECT_EQ(Guard("  [ .a]\n"), "b.toml:1:5: error: a table header must start with a key");
  EXPECT_EQ(Guard("[#]\n"), "b.toml:1:2: error: a table header must start with a key");
  EXPECT_EQ(Guard(std::string("[\0]", 3)),
            "b.toml:1:2: error: a table header must start with a key");
  EXPECT_EQ(Guard("x = \"\u00e9\" ; [\n[=]"),
            "b.toml:2:2: error: a table header must start with a key");
  EXPECT_EQ(Guard("["), "b.toml:1:2: error: a table header must start with a key");
}

TEST(TomlGuard, BoundsKeyPartsAndNesting) {
  const std::string most = DottedKey(bookc::kMostTomlKeyParts);
  const std::string tooMany = DottedKey(bookc::kMostTomlKeyParts + 1);
  EXPECT_EQ(Guard(most + " = 1\n[" + most + "x]\n[[" + most + "y]]\nz = {" + most + " = 2}\n"), "");
  const std::string problem = "error: a key of more than 16 dotted parts";
  EXPECT_EQ(Guard(tooMany + " = 1\n"), "b.toml:1:1: " + problem);
  EXPECT_EQ(Guard("[" + tooMany + "]\n"), "b.toml:1:2: " + problem);
  EXPECT_EQ(Guard("[[" + tooMany + "]]\n"), "b.toml:1:3: " + problem);
  EXPECT_EQ(Guard("z = [{" + tooMany + " = 2}]\n"), "b.toml:1:7: " + problem);
  std::string quoted = "\"a\" . 'b'";
  for (int i = 3; i <= bookc::kMostTomlKeyParts; ++i) quoted += " .\"k\"";
  EXPECT_EQ(Guard(quoted + " = 1\n"), "");
  EXPECT_EQ(Guard(quoted + ".k = 1\n"), "b.toml:1:1: " + problem);

  const std::string deep(bookc::kMostTomlNesting, '[');
  const std::string close(bookc::kMostTomlNesting, ']');
  EXPECT_EQ(Guard("a = " + deep + close + "\nb = {c = {d = {}}}\n"), "");
  EXPECT_EQ(Guard("a = " + deep + "[]" + close + "\n"),
            "b.toml:1:21: error: arrays and inline tables nested more than 16 deep");
  std::string tables;
  for (int i = 0; i <= bookc::kMostTomlNesting; ++i) tables += "{a = ";
  EXPECT_EQ(Guard("t = " + tables + "1"),
            "b.toml:1:" + std::to_string(5 + 5 * bookc::kMostTomlNesting) +
                ": error: arrays and inline tables nested more than 16 deep");
}

}  // namespace
