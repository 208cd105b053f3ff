#include "tools/bookc/diagnostics.h"

#include <algorithm>

namespace bookc {

bool Diagnostics::HasErrors() const { return ErrorCount() > 0; }

int Diagnostics::ErrorCount() const {
  return static_cast<int>(
      std::count_if(list_.begin(), list_.end(), [](const Diagnostic& d) { return d.isError; }));
}

int Diagnostics::WarningCount() const { return static_cast<int>(list_.size()) - ErrorCount(); }

void Diagnostics::Print(std::ostream& out) const {
  for (const Diagnostic& d : list_) out << Format(d) << '\n';
}

std::string Format(const Diagnostic& d) {
  std::string text = d.where.file;
  if (d.where.line > 0) {
    text += ':' + std::to_string(d.where.line);
    if (d.where.column > 0) text += ':' + std::to_string(d.where.column);
  }
  text += d.isError ? ": error: " : ": warning: ";
  text += d.message;
  return text;
}

}  // namespace bookc
