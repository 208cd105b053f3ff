// Problems found in a book's source, reported as "file:line:col: error: ...".
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace bookc {

struct SourcePosition {
  std::string file;
  int line = 0;
  int column = 0;
};

struct Diagnostic {
  SourcePosition where;
  bool isError = true;
  std::string message;
};

class Diagnostics {
 public:
  void Error(const SourcePosition& where, std::string message) {
    list_.push_back({where, true, std::move(message)});
  }
  void Warning(const SourcePosition& where, std::string message) {
    list_.push_back({where, false, std::move(message)});
  }
  bool HasErrors() const;
  int ErrorCount() const;
  int WarningCount() const;
  const std::vector<Diagnostic>& list() const { return list_; }
  void Print(std::ostream& out) const;

 private:
  std::vector<Diagnostic> list_;
};

std::string Format(const Diagnostic& diagnostic);

}  // namespace bookc
