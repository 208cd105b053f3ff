// The state of a headless reader as one line of JSON.
#pragma once

#include <set>
#include <string>

#include "platform/headless/headless_app.h"

namespace trace {

// The fields a dump can hold, in the order it writes them.
const std::set<std::string>& DumpFields();

// Writes the named fields (all when `fields` is empty), then forgets the
// messages and sounds it reported.
std::string Dump(lanthorn::HeadlessApp& app, const std::set<std::string>& fields);

}  // namespace trace
