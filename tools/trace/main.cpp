// lanthorn-trace: runs the reader on the headless front end, driven by a
// script on standard input, and prints its state as JSON. See --help.
#include <cstdlib>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/headless/headless_app.h"
#include "tools/bookc/compile.h"
#include "tools/trace/dump.h"
#include "tools/trace/explorer.h"

namespace {

constexpr const char* kHelp = R"(usage: lanthorn-trace [--book DIR] [--screen-height H] [--tick MS]
       lanthorn-trace --explore --book DIR [--cap N] [--per-page K] [--json]
       lanthorn-trace --explore --exact [--plain] --book DIR [--score-item I] [--json]

Runs the reader in the current directory (its save file, TBV2lanthornfell.dat,
lives there) on the compiled-in book, or on the book source in DIR. Reads a
script from standard input, one command a line (blank lines and lines starting
with # are skipped):

  start              start the program (open the save file, make the window)
  timer              timer 1 fires (the opening screens move on)
  command ID         a menu item, icon-bar button or page button (500..5999)
  type ID TEXT       set input box ID's text, then press Enter in it
  key NAME           PageUp, PageDown, Home, End, Up, Down, Tab or Enter:
                     Tab and Enter go to the input box that has the focus
  check ID           click the check box ID
  answer yes|no      the reply to the next Yes/No box (without one: No)
  resize W H         resize the client area to W x H pixels
  close              the Exit command: the program ends and writes its save file
  dump [FIELD...]    print one line of JSON with the named fields, or all

Fields: shownPage readingPosition storyMode screen records hotwords buttons
inputBoxes items restartPoints next previous iconBar scroll soundFlag drawn
messages sounds running exitCode. "messages" and "sounds" hold what came since
the previous dump. Texts are UTF-8.

Headless metrics: the default font is 16 pixels high with an average
character width of 7; a page font of pixel height h draws every character
(h + 1) / 2 pixels wide (one more in bold) and h + 4 pixels high; 96 dots per
inch; the screen is 768 pixels high unless --screen-height says otherwise; the
client area is the window less 23 pixels across and 47 down (a 768 screen
gives a 529 x 706 window and a 506 x 659 client area). The tick count is
600000 unless --tick says otherwise; it seeds the chance rolls.

Example:
  printf 'start\ntimer\ntimer\ncommand 511\ndump shownPage buttons\n' | lanthorn-trace
  {"shownPage":2,"buttons":[{"id":5000,"label":"What must I do?",...}]}

An unknown command or a bad argument is reported with its line number and
ends the run with exit code 2.

With --explore it reads no script: it plays the book in DIR from page 2 with
a new reader's state over distinct story states (at most N, 200000 unless
--cap says otherwise; at most K on one page, 2000 unless --per-page says
otherwise; the page built least goes next, so the search goes deep), breadth
first within a page with the best-scoring states first, following every
choice, every band of
every chance roll, every accepted answer and one wrong one, the information
page's item pages and Return from asides, and reports the paragraphs reached
and never reached, the story pages with no way on that are not endings (the
book's "endings" list), the endings with the best score reached at each, any
limit message, what the cap left unexplored and the page builds a second. It
exits with 1 when the book is not whole: a paragraph with text not reached,
a page with no way on, an ending not reached, or a limit message.

With --exact it explores every distinct state it reaches, with no cap, and
its figures are exact: the endings' best and worst scores, every page with
no way on, every limit message. States that differ only in story item values
that nothing can read any more are one state; --plain keeps them apart (for
checking that merging, on small books). --cap bounds the states it keeps
(20000000 unless given); reaching it leaves the figures inexact, as it
says. The score is item I's value times ten (item 36 unless --score-item
says otherwise).
)";

int Fail(int line, const std::string& problem) {
  std::cerr << "lanthorn-trace: line " << line << ": " << problem << '\n';
  return 2;
}

bool ParseNumber(const std::string& text, long low, long high, long* value) {
  char* end = nullptr;
  const long n = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || n < low || n > high) return false;
  *value = n;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string bookDirectory;
  long screenHeight = 768;
  long tick = 600000;
  bool explore = false;
  bool json = false;
  long cap = 200000;
  long perPage = 2000;
  bool exact = false;
  bool capGiven = false;
  bool plain = false;
  long scoreItem = 36;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    const bool hasValue = i + 1 < argc;
    if (argument == "--help" || argument == "-h") {
      std::cout << kHelp;
      return 0;
    } else if (argument == "--explore") {
      explore = true;
    } else if (argument == "--exact") {
      exact = true;
    } else if (argument == "--plain") {
      plain = true;
    } else if (argument == "--score-item" && hasValue) {
      if (!ParseNumber(argv[++i], 0, lanthorn::kItemCount - 1, &scoreItem)) {
        std::cerr << "lanthorn-trace: --score-item takes an item number\n";
        return 2;
      }
    } else if (argument == "--json") {
      json = true;
    } else if (argument == "--cap" && hasValue) {
      capGiven = true;
      if (!ParseNumber(argv[++i], 1, 100000000, &cap)) {
        std::cerr << "lanthorn-trace: --cap takes a number of states\n";
        return 2;
      }
    } else if (argument == "--per-page" && hasValue) {
      if (!ParseNumber(argv[++i], 1, 100000000, &perPage)) {
        std::cerr << "lanthorn-trace: --per-page takes a number of states\n";
        return 2;
      }
    } else if (argument == "--book" && hasValue) {
      bookDirectory = argv[++i];
    } else if (argument == "--screen-height" && hasValue) {
      if (!ParseNumber(argv[++i], 1, 100000, &screenHeight)) {
        std::cerr << "lanthorn-trace: --screen-height takes a number of pixels\n";
        return 2;
      }
    } else if (argument == "--tick" && hasValue) {
      if (!ParseNumber(argv[++i], 0, 4294967295L, &tick)) {
        std::cerr << "lanthorn-trace: --tick takes a number of milliseconds\n";
        return 2;
      }
    } else {
      std::cerr << "lanthorn-trace: unknown argument '" << argument << "' (see --help)\n";
      return 2;
    }
  }

  std::unique_ptr<bookc::LoadedBook> loaded;
  const lanthorn::Book* book = &lanthorn::CompiledBook();
  if (!bookDirectory.empty()) {
    bookc::Diagnostics diagnostics;
    loaded = bookc::LoadBook(bookDirectory, diagnostics);
    if (loaded == nullptr) {
      diagnostics.Print(std::cerr);
      return 1;
    }
    book = &loaded->book();
  }

  if (explore) {
    if (loaded == nullptr) {
      std::cerr << "lanthorn-trace: --explore needs --book DIR\n";
      return 2;
    }
    const int score = static_cast<int>(scoreItem);
    const trace::ExploreReport report =
        exact ? trace::ExploreExactly(*book, loaded->model().endings, score, !plain,
                                      capGiven ? cap : 20000000)
              : trace::Explore(*book, loaded->model().endings, cap, score, perPage);
    std::cout << (json ? trace::ReportJson(report) + "\n" : trace::ReportText(report));
    const bool whole = report.notReached.empty() && report.stuck.empty() &&
                       report.endingsNotReached.empty() && report.messages.empty();
    return whole ? 0 : 1;
  }

  lanthorn::HeadlessPlatform platform;
  platform.SetScreenHeight(static_cast<int32_t>(screenHeight));
  platform.SetTickCount(static_cast<uint32_t>(tick));
  lanthorn::HeadlessApp app(*book, platform);
  bool started = false;

  std::string text;
  for (int line = 1; std::getline(std::cin, text); ++line) {
    std::istringstream in(text);
    std::string word;
    if (!(in >> word) || word[0] == '#') continue;
    std::vector<std::string> args;
    for (std::string a; in >> a;) args.push_back(a);
    long a = 0;
    long b = 0;

    if (word == "answer") {
      if (args.size() != 1 || (args[0] != "yes" && args[0] != "no")) {
        return Fail(line, "answer takes yes or no");
      }
      platform.QueueReply(args[0] == "yes" ? lanthorn::kReplyYes : lanthorn::kReplyNo);
      continue;
    }
    if (word == "dump") {
      std::set<std::string> fields;
      for (const std::string& field : args) {
        if (trace::DumpFields().count(field) == 0) return Fail(line, "no field '" + field + "'");
        fields.insert(field);
      }
      std::cout << trace::Dump(app, fields) << '\n';
      continue;
    }
    if (word == "start") {
      if (started) return Fail(line, "the reader has already started");
      if (!args.empty()) return Fail(line, "start takes no argument");
      started = true;
      app.Start();
      continue;
    }
    if (!started) return Fail(line, "'" + word + "' before start");

    if (word == "timer" && args.empty()) {
      app.Timer();
    } else if (word == "command" && args.size() == 1 && ParseNumber(args[0], 0, 65535, &a)) {
      app.Command(static_cast<uint16_t>(a));
    } else if (word == "type" && !args.empty() && ParseNumber(args[0], 4000, 4999, &a)) {
      // The text is the rest of the line after the id, blanks kept.
      const size_t at = text.find(args[0], text.find("type") + 4) + args[0].size();
      std::string typed = at < text.size() ? text.substr(at + 1) : "";
      app.Type(static_cast<uint16_t>(a), typed);
    } else if (word == "key" && args.size() == 1) {
      const std::string& k = args[0];
      if (k == "PageUp") app.Key(lanthorn::Key::kPageUp);
      else if (k == "PageDown") app.Key(lanthorn::Key::kPageDown);
      else if (k == "Home") app.Key(lanthorn::Key::kHome);
      else if (k == "End") app.Key(lanthorn::Key::kEnd);
      else if (k == "Up") app.Key(lanthorn::Key::kUp);
      else if (k == "Down") app.Key(lanthorn::Key::kDown);
      else if (k == "Tab" || k == "Enter") {
        // The key goes to the input box that has the focus, if any.
        for (const auto& [handle, control] : platform.controls()) {
          if (reinterpret_cast<lanthorn::ControlHandle>(handle) == platform.focus() &&
              control.kind == lanthorn::ControlKind::kEditBox) {
            app.Command(control.id, lanthorn::kEditEntered);
            break;
          }
        }
      } else {
        return Fail(line, "no key '" + k + "'");
      }
    } else if (word == "check" && args.size() == 1 && ParseNumber(args[0], 0, 65535, &a)) {
      app.Check(static_cast<uint16_t>(a));
    } else if (word == "resize" && args.size() == 2 && ParseNumber(args[0], 1, 10000, &a) &&
               ParseNumber(args[1], 1, 10000, &b)) {
      app.Resize(static_cast<int32_t>(a), static_cast<int32_t>(b));
    } else if (word == "close" && args.empty()) {
      app.Close();
    } else if (word == "timer" || word == "command" || word == "type" || word == "key" ||
               word == "check" || word == "resize" || word == "close") {
      return Fail(line, "bad arguments to '" + word + "' (see --help)");
    } else {
      return Fail(line, "unknown command '" + word + "'");
    }
  }
  return 0;
}
