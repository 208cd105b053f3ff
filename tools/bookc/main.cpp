// bookc: compiles and checks a book's source directory.
//
//   bookc [--output FILE] [--resources FILE --resource-dir DIR] BOOK_DIR
//   bookc graph [--output FILE] BOOK_DIR
//
// Reports every problem as "file:line:col: error: ..." (or warning) on
// standard error and exits with 1 when there is an error. With --output it
// writes the book's tables as C++ source; with --resources, the resource
// script lines for its pictures and sounds under DIR. Files are rewritten
// only when their content changes. "bookc graph" checks the book the same way
// and writes its map as a Graphviz DOT graph to FILE or standard output.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "tools/bookc/book_graph.h"
#include "tools/bookc/compile.h"
#include "tools/bookc/cpp_writer.h"

namespace {

int Usage(const char* problem) {
  if (problem != nullptr) std::cerr << "bookc: " << problem << '\n';
  std::cerr << "usage: bookc [--output FILE] [--resources FILE --resource-dir DIR] BOOK_DIR\n"
               "       bookc graph [--output FILE] BOOK_DIR\n";
  return 2;
}

bool WriteIfChanged(const std::filesystem::path& path, const std::string& content) {
  {
    std::ifstream existing(path, std::ios::binary);
    std::ostringstream old;
    old << existing.rdbuf();
    if (existing && old.str() == content) return true;
  }
  const std::filesystem::path temporary = path.string() + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out.flush()) return false;
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  return !error;
}

}  // namespace

int main(int argc, char** argv) {
  std::string output;
  std::string resources;
  std::string resourceDirectory;
  std::string directory;
  const bool graph = argc > 1 && std::string(argv[1]) == "graph";
  for (int i = graph ? 2 : 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--output" || argument == "-o") {
      if (++i == argc) return Usage("--output needs a file name");
      output = argv[i];
    } else if (argument == "--resources") {
      if (++i == argc) return Usage("--resources needs a file name");
      resources = argv[i];
    } else if (argument == "--resource-dir") {
      if (++i == argc) return Usage("--resource-dir needs a directory");
      resourceDirectory = argv[i];
    } else if (argument == "--help" || argument == "-h") {
      Usage(nullptr);
      return 0;
    } else if (!argument.empty() && argument[0] == '-') {
      return Usage(("unknown option " + argument).c_str());
    } else if (directory.empty()) {
      directory = argument;
    } else {
      return Usage("one book directory only");
    }
  }
  if (directory.empty()) return Usage("no book directory given");
  if (graph && !resources.empty()) return Usage("graph writes no resource script");
  if (!resources.empty() && resourceDirectory.empty()) {
    return Usage("--resources needs --resource-dir");
  }
  bookc::Diagnostics diagnostics;
  const std::optional<bookc::BookModel> model = bookc::CompileBook(directory, diagnostics);
  diagnostics.Print(std::cerr);
  if (!model) {
    std::cerr << "bookc: " << diagnostics.ErrorCount() << " error(s), "
              << diagnostics.WarningCount() << " warning(s)\n";
    return 1;
  }
  if (graph) {
    bookc::LoadedBook loaded(*model);
    std::ostringstream dot;
    bookc::WriteDot(bookc::MakeBookGraph(loaded.book(), model->endings), dot);
    if (output.empty()) {
      std::cout << dot.str();
    } else if (!WriteIfChanged(output, dot.str())) {
      std::cerr << output << ": error: cannot write the graph\n";
      return 1;
    }
    return 0;
  }
  if (!output.empty()) {
    std::ostringstream source;
    bookc::WriteBookCpp(*model, source);
    if (!WriteIfChanged(output, source.str())) {
      std::cerr << output << ": error: cannot write the generated tables\n";
      return 1;
    }
  }
  if (!resources.empty()) {
    std::ostringstream script;
    bookc::WriteBookResources(*model, resourceDirectory, script);
    if (!WriteIfChanged(resources, script.str())) {
      std::cerr << resources << ": error: cannot write the resource script\n";
      return 1;
    }
  }
  return 0;
}
