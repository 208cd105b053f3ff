// bookc and the reader read a tag with one grammar. For tags at the edges of
// that grammar: what bookc accepts, the reader shows as bookc read it (the
// button, its label and where it leads); what the reader would show otherwise
// than it is written, bookc rejects.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/session.h"
#include "tests/support/test_book.h"

namespace {

using testing_support::ScratchBook;
using testing_support::Session;

enum class Face { kButton, kPicture, kInputBox };

struct Accepted {
  const char* tag;
  Face face;
  const char* label;  // a button's label
  int targets[4];     // the hotword's targets as written; -1: not written
};

const Accepted kAccepted[] = {
    {"<M \"Go on\" 10>", Face::kButton, "Go on", {10, -1, -1, -1}},
    {"<m\"No blanks\"11>", Face::kButton, "No blanks", {11, -1, -1, -1}},
    {"<g \"An (aside)\" 12>", Face::kButton, "An (aside)", {12, -1, -1, -1}},
    {"<M $0 10>", Face::kPicture, "", {10, -1, -1, -1}},
    {"<N %4 \"Take it\" 11>", Face::kButton, "Take it", {11, -1, -1, -1}},
    {"<R %4 z \"Toss a coin\" 12>", Face::kButton, "Toss a coin", {12, -1, -1, -1}},
    {"<r %4 -%5 \"Give it back\" 10>", Face::kButton, "Give it back", {10, -1, -1, -1}},
    {"<r %4 +2 \"Two more\" 11>", Face::kButton, "Two more", {11, -1, -1, -1}},
    {"<L \"Leap\" (12) 10 11>", Face::kButton, "Leap", {10, 11, -1, -1}},
    {"<d \"Roll\" (50) 10 (30) 11 12>", Face::kButton, "Roll", {10, 12, 11, -1}},
    {"<d \"Roll\" (20) 10 (20) 11 (20) 12 10>", Face::kButton, "Roll", {10, 10, 11, 12}},
    {"<S (word) 10 11>", Face::kInputBox, "", {10, 11, -1, -1}},
    {"<S (one) 10 (two) 11 (three) 12 10>", Face::kInputBox, "", {10, 10, 11, 12}},
};

// Each would be shown otherwise than written: no button for a choice, a
// number the reader keeps only the low bits of, a label or answer cut short.
const char* const kRejected[] = {
    "<r %4 z \"Stamp your feet\" 10>",    // r reads no random value: a choice with no button
    "<M $65536 10>",                      // no picture 65536: a blank button across the line
    "<M \"Go on\" 65546>",                // would go to paragraph 10
    "<M \"Back\" -10>",                   // would go to paragraph 65526
    "<N %4 10>",                          // a choice with nothing to show
    "<M \"Never closed 10>",              // the label runs to the end of the tag
    "<M \"\" 10>",                        // an empty button
    "<d \"Roll\" (50) 10 (-5) 11 12>",    // a negative chance band
    "<d \"Roll\" (100) 10 (100) 11 12>",  // bands past 127 wrap in 8 bits
    "<S (an answer longer than this) 10 11>",
    "<R %4 40000>",     // the reader keeps 16 bits: -25536
    "<V 65537>",        // would show picture 1
    "<n 99999999999>",  // would be paragraph -6145
    "<s *14>",          // no restart point 14
    "<O (%52=1)>{x}",   // no item 52
};

// Paragraph 1 holds the tag; paragraphs 10 to 12 are there to go to.
void WriteBookWith(ScratchBook& book, const std::string& tag) {
  book.Paragraphs("@1\nBefore " + tag +
                  " after <G>\n@10\nTen <G>\n@11\nEleven <G>\n@12\nTwelve <G>\n");
}

std::string Errors(const bookc::Diagnostics& diagnostics) {
  std::string errors;
  for (const bookc::Diagnostic& d : diagnostics.list()) {
    if (d.isError) errors += bookc::Format(d) + "\n";
  }
  return errors;
}

TEST(TagGrammar, WhatBookcAcceptsTheReaderShowsAsWritten) {
  for (const Accepted& c : kAccepted) {
    SCOPED_TRACE(c.tag);
    ScratchBook source;
    WriteBookWith(source, c.tag);
    bookc::Diagnostics diagnostics;
    const auto book = source.Load(diagnostics);
    ASSERT_NE(book, nullptr) << Errors(diagnostics);
    EXPECT_EQ(Errors(diagnostics), "");

    Session session(book->book());
    session.Open(2);
    const lanthorn::Page& page = session.reader->page;
    ASSERT_EQ(page.hotwords.count, 1);
    const lanthorn::HotwordRecord& hotword = page.hotwords.records[0];
    switch (c.face) {
      case Face::kButton:
        ASSERT_EQ(session.Choices(), std::vector<std::string>{c.label});
        EXPECT_EQ(hotword.controlId, lanthorn::kFirstChoiceButtonId);
        break;
      case Face::kPicture:
        ASSERT_EQ(page.buttons.count, 1);
        EXPECT_EQ(page.buttons.records[0].bitmapId, book->book().pictures[0].bitmapId);
        EXPECT_EQ(hotword.controlId, lanthorn::kFirstChoiceButtonId);
        break;
      case Face::kInputBox:
        EXPECT_EQ(page.buttons.count, 0);
        ASSERT_EQ(page.inputBoxes.count, 1);
        EXPECT_EQ(hotword.controlId, lanthorn::kFirstInputBoxId);
        break;
    }
    const uint16_t targets[] = {hotword.target0, hotword.target1, hotword.target2, hotword.target3};
    for (int i = 0; i < 4; ++i) {
      if (c.targets[i] >= 0) {
        EXPECT_EQ(targets[i], c.targets[i]) << "target" << i;
      }
    }
  }
}

TEST(TagGrammar, WhatTheReaderWouldShowOtherwiseBookcRejects) {
  for (const char* tag : kRejected) {
    ScratchBook source;
    WriteBookWith(source, tag);
    bookc::Diagnostics diagnostics;
    source.Load(diagnostics);
    const std::string errors = Errors(diagnostics);
    EXPECT_NE(errors.find("paragraphs/book.txt:2:"), std::string::npos)
        << tag << " gave no error on its line:\n"
        << errors;
  }
}

}  // namespace
