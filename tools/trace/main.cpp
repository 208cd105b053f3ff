// lanthorn-trace: runs the reader on the headless front end, driven by a
// script on standard input, and prints its state as JSON. See --help.
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "platform/headless/headless_app.h"
#include "tools/bookc/compile.h"
#include "tools/trace/dump.h"
#include "tools/trace/explorer.h"
#include "tools/trace/script.h"
#include "tools/trace/walkthrough.h"

namespace {

constexpr const char* kHelp = R"(usage: lanthorn-trace [--book DIR] [--screen-height H] [--tick MS]
       lanthorn-trace --explore --book DIR [--cap N] [--per-page K] [--json]
       lanthorn-trace --explore --exact [--plain] --book DIR [--score-item I] [--json]
       lanthorn-trace --explore [--exact] --book DIR ... --walkthroughs WDIR --plan FILE

Runs the reader in the current directory (its save file, TBV2lanthornfell.dat,
lives there) on the compiled-in book, or on the book source in DIR. Reads a
script from standard input, one command a line (blank lines and lines starting
with # are skipped):

  start              start the program (open the save file, make the window)
  timer              timer 1 fires (the opening screens move on); an error
                     when the reader has no timer set
  command ID         a menu item, icon-bar button or page button (500..5999)
  type ID TEXT       set input box ID's text, then press Enter in it
  key NAME           a key pressed where the focus is (in the input box that
                     has it, else in the window or on the focused button):
                     PageUp, PageDown, Home, End, Up, Down (scroll); 1 to 9
                     (pick the page's first to ninth choice); Tab, ShiftTab
                     (move the focus); Enter, Space (pick the focused button;
                     in an input box Enter or Tab sends a non-empty answer)
  wheel N            turn the mouse wheel N notches (-100..100; positive
                     towards the top): three Up or Down steps a notch
  check ID           click the check box ID
  answer yes|no      the reply to the next Yes/No box (without one: No)
  resize W H         resize the client area to W x H pixels
  close              the Exit command: the program ends and writes its save file
  dump [FIELD...]    print one line of JSON with the named fields, or all

Fields: shownPage readingPosition storyMode screen records hotwords buttons
inputBoxes items restartPoints next previous iconBar scroll soundFlag drawn
focus messages sounds running exitCode. "messages" and "sounds" hold what came since
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

An unknown command or a bad argument is reported with its line number (and
at most the first 40 characters of what was wrong) and ends the run with
exit code 2. Otherwise the exit code is the reader's own once it has ended:
0 after a normal close, 1 when it refused to start (the save file could not
be opened) or could not write the save file; 0 while it still runs. A book
source that does not compile is reported as bookc reports it, exit code 1.

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
that nothing can read any more are one state, and the asides opened from a
story state (the information page, the items' pages and the like) are
explored with it and not kept, a page that only shows built once for each
state of the items it names; --plain keeps every state apart and builds
every page (for checking those reductions, on small books). --cap bounds
the story states it keeps (20000000 unless given); reaching it leaves the
figures inexact, as it says. The score is item I's value times ten (item
36 unless --score-item says otherwise).

With --walkthroughs WDIR it also writes, for each ending reached, a script in
WDIR (ending-NNN.trace) that plays the exploration's way to the ending's best
score on the compiled-in book, the chance rolls seeded by its tick count to
come out as the way needs; and with --plan FILE it puts the figures between
the "explorer figures" markers of FILE (book/PLAN.md). A file that cannot be
written, missing markers, or a way whose rolls no tick count gives, end the
run with exit code 2. `make walkthroughs` runs this and the scripts.
)";

bool ParseNumber(const std::string& text, long low, long high, long* value) {
  char* end = nullptr;
  const long n = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || n < low || n > high) return false;
  *value = n;
  return true;
}

// Writes the walkthroughs of every ending reached into directory `dir`
// and the figures into `plan`, either one when named.
bool WriteWalkthroughs(const trace::ExploreReport& report, const std::string& dir,
                       const std::string& plan, const std::string& how) {
  if (!dir.empty()) {
    for (const auto& [ending, score] : report.endings) {
      const auto way = report.bestPaths.find(ending);
      if (way == report.bestPaths.end()) continue;
      const int64_t tick = trace::TickForRolls(way->second);
      if (tick < 0) {
        std::cerr << "lanthorn-trace: no tick count gives the rolls of the way to " << ending
                  << "\n";
        return false;
      }
      const std::string path = dir + "/" + trace::WalkthroughName(ending);
      std::ofstream file(path, std::ios::binary);
      file << trace::WalkthroughScript(way->second, ending, score, tick, how);
      if (!file.flush()) {
        std::cerr << "lanthorn-trace: cannot write " << path << "\n";
        return false;
      }
    }
  }
  if (!plan.empty()) {
    std::ifstream in(plan, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string document = text.str();
    if (!in || !trace::ReplaceFigures(document, trace::FiguresBlock(report, how))) {
      std::cerr << "lanthorn-trace: " << plan << " lacks the explorer figures markers\n";
      return false;
    }
    in.close();
    std::ofstream out(plan, std::ios::binary);
    out << document;
    if (!out.flush()) {
      std::cerr << "lanthorn-trace: cannot write " << plan << "\n";
      return false;
    }
  }
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
  std::string walkthroughs;
  std::string plan;
  std::string how;  // the exploration's own arguments, for the files it writes
  for (int i = 1; i < argc; ++i) {
    const std::string given = argv[i];
    if ((given == "--walkthroughs" || given == "--plan") && i + 1 < argc) {
      (given == "--plan" ? plan : walkthroughs) = argv[++i];
      continue;
    }
    if (given != "--json") how += " " + given;
  }
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
    } else if ((argument == "--walkthroughs" || argument == "--plan") && hasValue) {
      ++i;
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
    if (!walkthroughs.empty() || !plan.empty()) {
      const std::string run = "`lanthorn-trace" + how + "`";
      if (!WriteWalkthroughs(report, walkthroughs, plan, run)) return 2;
    }
    const bool whole = report.notReached.empty() && report.stuck.empty() &&
                       report.endingsNotReached.empty() && report.messages.empty();
    return whole ? 0 : 1;
  }

  lanthorn::HeadlessPlatform platform;
  platform.SetScreenHeight(static_cast<int32_t>(screenHeight));
  platform.SetTickCount(static_cast<uint32_t>(tick));
  lanthorn::HeadlessApp app(*book, platform);
  return trace::RunScript(std::cin, app, std::cout, std::cerr);
}
