// Writes a compiled book as C++ source defining lanthorn::CompiledBook().
// The same model always gives the same bytes.
#pragma once

#include <ostream>

#include "tools/bookc/compile.h"

namespace bookc {

void WriteBookCpp(const BookModel& model, std::ostream& out);

// Writes the resource script lines that bind the book's pictures (by bitmap
// id) and sounds (by name) from a resources directory holding bitmaps/ID.bmp
// and sounds/NAME.wav.
void WriteBookResources(const BookModel& model, const std::string& resourcesDirectory,
                        std::ostream& out);

}  // namespace bookc
