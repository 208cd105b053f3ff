// The map of a book: its paragraphs and the ways between them, written as a
// Graphviz DOT graph.
#pragma once

#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "book/book_tables.h"

namespace bookc {

// One way from a paragraph, as its mark-up writes it.
struct GraphEdge {
  enum Kind {
    kChoice,    // M, m, g, and N Q R r with a label: a button
    kChance,    // one band of an L or d roll
    kAnswer,    // one outcome of an S input box (an answer, or any other text)
    kRestart,   // u: back to a restart point's paragraph
    kNext,      // n: the icon bar's Next
    kPrevious,  // p: the icon bar's Prev
  } kind;
  int from;
  int to;
  std::string label;   // Windows-1252, as the reader shows it
  bool aside = false;  // g: the move opens an aside
};

struct BookGraph {
  std::vector<int> paragraphs;      // with text, in order
  std::vector<std::string> titles;  // one per paragraph, Windows-1252
  std::vector<GraphEdge> edges;     // in paragraph and text order
  std::set<int> endings;
  std::vector<std::vector<int>> restartPoints;  // paragraph -> restart point numbers
  std::set<int> unreached;                      // no way leads to it from the story's first page
};

// Reads every paragraph's tags with the reader's tag grammar.
// `endings` are the paragraphs where the story ends.
BookGraph MakeBookGraph(const lanthorn::Book& book, const std::vector<int>& endings);

// The graph in DOT, UTF-8; the same book always gives the same bytes.
void WriteDot(const BookGraph& graph, std::ostream& out);

}  // namespace bookc
