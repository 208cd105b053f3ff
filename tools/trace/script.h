// The script language of lanthorn-trace: one command a line driving the
// whole reader on the headless front end. Shared by the tool and the fuzz
// target that plays the reader from a script.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <string_view>

#include "platform/headless/headless_app.h"

namespace trace {

// Exit code of a script with a bad line: an unknown command, a bad argument,
// or a command the reader could not receive (a timer when none is set).
constexpr int kBadScript = 2;

// Runs the script on app, printing each dump's JSON line to out. A bad line
// is reported on err with its line number and stops the run with
// kBadScript. Otherwise the result is the reader's own exit code when it
// ended (1 when it refused to start or could not save), 0 while it runs or
// when the script never started it.
int RunScript(std::istream& script, lanthorn::HeadlessApp& app, std::ostream& out,
              std::ostream& err);

// Text from a script line for a message: at most kMostQuoted characters
// (whole UTF-8 sequences), with "..." when there was more.
constexpr size_t kMostQuoted = 40;
std::string Quoted(std::string_view text);

}  // namespace trace
