#include "tools/trace/script.h"

#include <cstdlib>
#include <set>
#include <sstream>
#include <vector>

#include "tools/trace/dump.h"

namespace trace {

namespace {

bool ParseNumber(const std::string& text, long low, long high, long* value) {
  char* end = nullptr;
  const long n = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || n < low || n > high) return false;
  *value = n;
  return true;
}

// The keys a script can press: the scrolling keys, 1 to 9, and those that
// move and use the focus.
bool KeyNamed(const std::string& name, lanthorn::Key* key) {
  using lanthorn::Key;
  static const std::pair<const char*, Key> kKeys[] = {
      {"PageUp", Key::kPageUp}, {"PageDown", Key::kPageDown},
      {"Home", Key::kHome},     {"End", Key::kEnd},
      {"Up", Key::kUp},         {"Down", Key::kDown},
      {"Tab", Key::kTab},       {"ShiftTab", Key::kBackTab},
      {"Enter", Key::kEnter},   {"Space", Key::kSpace},
  };
  for (const auto& [keyName, value] : kKeys) {
    if (name == keyName) {
      *key = value;
      return true;
    }
  }
  if (name.size() == 1 && name[0] >= '1' && name[0] <= '9') {
    *key = static_cast<Key>(static_cast<int>(Key::kDigit1) + (name[0] - '1'));
    return true;
  }
  return false;
}

}  // namespace

std::string Quoted(std::string_view text) {
  if (text.size() <= kMostQuoted) return "'" + std::string(text) + "'";
  size_t cut = kMostQuoted;
  // Not inside a UTF-8 sequence: back up over continuation bytes.
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return "'" + std::string(text.substr(0, cut)) + "...'";
}

int RunScript(std::istream& script, lanthorn::HeadlessApp& app, std::ostream& out,
              std::ostream& err) {
  lanthorn::HeadlessPlatform& platform = app.platform();
  bool started = false;
  auto fail = [&err](int line, const std::string& problem) {
    err << "lanthorn-trace: line " << line << ": " << problem << '\n';
    return kBadScript;
  };

  std::string text;
  for (int line = 1; std::getline(script, text); ++line) {
    std::istringstream in(text);
    std::string word;
    if (!(in >> word) || word[0] == '#') continue;
    std::vector<std::string> args;
    for (std::string a; in >> a;) args.push_back(a);
    long a = 0;
    long b = 0;

    if (word == "answer") {
      if (args.size() != 1 || (args[0] != "yes" && args[0] != "no")) {
        return fail(line, "answer takes yes or no");
      }
      platform.QueueReply(args[0] == "yes" ? lanthorn::kReplyYes : lanthorn::kReplyNo);
      continue;
    }
    if (word == "dump") {
      std::set<std::string> fields;
      for (const std::string& field : args) {
        if (DumpFields().count(field) == 0) return fail(line, "no field " + Quoted(field));
        fields.insert(field);
      }
      out << Dump(app, fields) << '\n';
      continue;
    }
    if (word == "start") {
      if (started) return fail(line, "the reader has already started");
      if (!args.empty()) return fail(line, "start takes no argument");
      started = true;
      app.Start();
      continue;
    }
    if (!started) return fail(line, Quoted(word) + " before start");

    if (word == "timer" && args.empty()) {
      // Only a timer the reader set can fire: once it is stopped (or the
      // reader has ended) nothing more comes of it.
      if (!app.running() || !platform.timerRunning(1)) {
        return fail(line, "timer: no timer is set");
      }
      app.Timer();
    } else if (word == "command" && args.size() == 1 && ParseNumber(args[0], 0, 65535, &a)) {
      app.Command(static_cast<uint16_t>(a));
    } else if (word == "type" && !args.empty() && ParseNumber(args[0], 4000, 4999, &a)) {
      // The text is the rest of the line after the id, blanks kept.
      const size_t at = text.find(args[0], text.find("type") + 4) + args[0].size();
      std::string typed = at < text.size() ? text.substr(at + 1) : "";
      app.Type(static_cast<uint16_t>(a), typed);
    } else if (word == "key" && args.size() == 1) {
      lanthorn::Key key = lanthorn::Key::kOther;
      if (!KeyNamed(args[0], &key)) return fail(line, "no key " + Quoted(args[0]));
      app.Key(key);
    } else if (word == "wheel" && args.size() == 1 && ParseNumber(args[0], -100, 100, &a)) {
      app.Wheel(static_cast<int32_t>(a));
    } else if (word == "check" && args.size() == 1 && ParseNumber(args[0], 0, 65535, &a)) {
      app.Check(static_cast<uint16_t>(a));
    } else if (word == "resize" && args.size() == 2 && ParseNumber(args[0], 1, 10000, &a) &&
               ParseNumber(args[1], 1, 10000, &b)) {
      app.Resize(static_cast<int32_t>(a), static_cast<int32_t>(b));
    } else if (word == "close" && args.empty()) {
      app.Close();
    } else if (word == "timer" || word == "command" || word == "type" || word == "key" ||
               word == "check" || word == "wheel" || word == "resize" || word == "close") {
      return fail(line, "bad arguments to '" + word + "' (see --help)");
    } else {
      return fail(line, "unknown command " + Quoted(word));
    }
  }
  return started && !app.running() ? app.exitCode() : 0;
}

}  // namespace trace
