// Writes a compiled book as C++ source defining lanthorn::CompiledBook().
// The same model always gives the same bytes.
#pragma once

#include <ostream>

#include "tools/bookc/compile.h"

namespace bookc {

void WriteBookCpp(const BookModel& model, std::ostream& out);

}  // namespace bookc
