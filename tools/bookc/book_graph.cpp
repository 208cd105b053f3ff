#include "tools/bookc/book_graph.h"

#include <algorithm>
#include <deque>

#include "page/tag_reader.h"
#include "tools/bookc/book_markup.h"
#include "tools/bookc/cp1252.h"

namespace bookc {

namespace {

using lanthorn::ChoiceFace;
using lanthorn::kItemCount;
using lanthorn::kParagraphCount;
using lanthorn::kRestartPointCount;
using lanthorn::ParsedTag;

constexpr size_t kMostTitleCharacters = 48;
constexpr int kFirstWords = 6;

std::string TagTextOf(const std::string& tag, const lanthorn::TagText& text) {
  if (text.offset < 0 || static_cast<size_t>(text.offset) > tag.size()) return "";
  return tag.substr(static_cast<size_t>(text.offset),
                    static_cast<size_t>(std::max<int16_t>(text.length, 0)));
}

std::string Collapse(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == ' ') {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else {
      out += c;
    }
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

std::string Shorten(std::string text) {
  if (text.size() > kMostTitleCharacters) {
    text.resize(kMostTitleCharacters);
    text += "...";
  }
  return text;
}

// The text of the heading (between H and J), else the paragraph's first words.
std::string TitleOf(const std::vector<MarkupPiece>& pieces) {
  std::string heading;
  std::string body;
  bool inHeading = false;
  bool sawHeading = false;
  for (const MarkupPiece& piece : pieces) {
    if (piece.kind == MarkupPiece::kTag) {
      const char letter = piece.text.empty() ? '\0' : piece.text[0];
      if (letter == 'H') inHeading = sawHeading = true;
      if (letter == 'J') inHeading = false;
      if (letter == 'a' && inHeading) heading += ' ';
    } else if (piece.kind == MarkupPiece::kText) {
      (inHeading ? heading : body) += piece.text;
      if (!inHeading) body += ' ';
    }
  }
  heading = Collapse(heading);
  if (sawHeading && !heading.empty()) return Shorten(heading);
  const std::string words = Collapse(body);
  std::string first;
  int count = 0;
  size_t at = 0;
  while (at < words.size() && count < kFirstWords) {
    const size_t end = std::min(words.find(' ', at), words.size());
    first += (first.empty() ? "" : " ") + words.substr(at, end - at);
    ++count;
    at = end + 1;
  }
  if (at < words.size()) first += "...";
  return Shorten(first);
}

std::string FaceOf(const std::string& tag, const ParsedTag& parsed, const lanthorn::Book& book) {
  switch (parsed.face) {
    case ChoiceFace::kLabel: return TagTextOf(tag, parsed.label);
    case ChoiceFace::kPicture: return "picture " + std::to_string(parsed.faceNumber.value);
    case ChoiceFace::kItem: {
      const int item = parsed.faceNumber.value;
      std::string name = item >= 0 && item < kItemCount && book.items[item].name != nullptr
                             ? std::string(" (") + book.items[item].name + ")"
                             : "";
      return "item " + std::to_string(item) + name;
    }
    case ChoiceFace::kNone: break;
  }
  return "";
}

std::string Range(int low, int high, int of) {
  return (low == high ? std::to_string(low) : std::to_string(low) + "-" + std::to_string(high)) +
         " of " + std::to_string(of);
}

class EdgeReader {
 public:
  EdgeReader(const lanthorn::Book& book, int paragraph, std::vector<GraphEdge>& edges)
      : book_(book), from_(paragraph), edges_(edges) {}

  // Adds the ways the tag makes; returns the restart point an "s" marks, or -1.
  int Read(const std::string& tag) {
    const ParsedTag t = lanthorn::ReadTag(tag.c_str());
    switch (t.letter) {
      case 'M':
      case 'm':
      case 'g':
        if (t.face != ChoiceFace::kNone) {
          Add(GraphEdge::kChoice, t.targets[0].value, FaceOf(tag, t, book_), t.letter == 'g');
        }
        break;
      case 'N':
      case 'Q':
      case 'R':
      case 'r':
        if (t.choice && t.face != ChoiceFace::kNone) {
          Add(GraphEdge::kChoice, t.targets[0].value, FaceOf(tag, t, book_), false);
        }
        break;
      case 'L': Roll20(tag, t); break;
      case 'd': Roll100(tag, t); break;
      case 'S': Answers(tag, t); break;
      case 'u':
        if (t.number.value >= 0 && t.number.value < kRestartPointCount) {
          restartChoices_.push_back({t.number.value, TagTextOf(tag, t.label)});
        }
        break;
      case 'n': Add(GraphEdge::kNext, t.number.value, "Next", false); break;
      case 'p': Add(GraphEdge::kPrevious, t.number.value, "Prev", false); break;
      case 's':
        if (t.number.value >= 0 && t.number.value < kRestartPointCount) return t.number.value;
        break;
      default: break;
    }
    return -1;
  }

  // The u choices of the paragraph: restart point and label.
  std::vector<std::pair<int, std::string>> restartChoices_;

 private:
  void Add(GraphEdge::Kind kind, int to, const std::string& label, bool aside) {
    if (to < 0 || to >= kParagraphCount) return;
    edges_.push_back({kind, from_, to, label, aside});
  }

  // A d20 roll: 1..T leads to the first target, the rest to the other.
  void Roll20(const std::string& tag, const ParsedTag& t) {
    const std::string label = TagTextOf(tag, t.label);
    const int threshold = static_cast<int8_t>(t.bands[0].value);
    if (threshold >= 1) {
      Add(GraphEdge::kChance, t.targets[0].value,
          label + "\nroll " + Range(1, std::min(threshold, 20), 20), false);
    }
    if (threshold < 20) {
      Add(GraphEdge::kChance, t.targets[1].value,
          label + "\nroll " + Range(std::max(threshold, 0) + 1, 20, 20), false);
    }
  }

  // A percentile roll over up to three cumulative bands, each kept in 8 bits
  // as the reader keeps them; a band that no roll falls in makes no way.
  void Roll100(const std::string& tag, const ParsedTag& t) {
    const std::string label = TagTextOf(tag, t.label);
    const int first = static_cast<int8_t>(t.bands[0].value);
    const int second = t.bandCount > 1 ? static_cast<int8_t>(first + t.bands[1].value) : 0;
    const int third = t.bandCount > 2 ? static_cast<int8_t>(second + t.bands[2].value) : 0;
    int top = 0;
    const auto band = [&](int upTo, int target) {
      if (upTo > top && top < 100) {
        Add(GraphEdge::kChance, target,
            label + "\nroll " + Range(top + 1, std::min(upTo, 100), 100), false);
        top = upTo;
      }
    };
    band(first, t.targets[0].value);
    band(second, t.targets[2].value);
    band(third, t.targets[3].value);
    band(100, t.targets[1].value);
  }

  void Answers(const std::string& tag, const ParsedTag& t) {
    const int targets[3] = {t.targets[0].value, t.targets[2].value, t.targets[3].value};
    for (int i = 0; i < t.answerCount && i < 3; ++i) {
      Add(GraphEdge::kAnswer, targets[i], "type \"" + TagTextOf(tag, t.answers[i]) + "\"", false);
    }
    Add(GraphEdge::kAnswer, t.targets[1].value, "any other answer", false);
  }

  const lanthorn::Book& book_;
  int from_;
  std::vector<GraphEdge>& edges_;
};

std::string Escape(const std::string& cp1252) {
  std::string out;
  for (const char c : Cp1252ToUtf8(cp1252)) {
    if (c == '\n')
      out += "\\n";  // the line breaks of the tool's own labels
    else if (c == '"')
      out += "\\\"";
    else if (c == '\\')
      out += "\\\\";
    else
      out += c;
  }
  return out;
}

}  // namespace

BookGraph MakeBookGraph(const lanthorn::Book& book, const std::vector<int>& endings) {
  BookGraph graph;
  graph.endings.insert(endings.begin(), endings.end());
  graph.restartPoints.resize(kParagraphCount);
  std::vector<std::pair<int, std::pair<int, std::string>>> restartChoices;  // from, (point, label)
  std::vector<std::vector<int>> markedAt(kRestartPointCount);
  for (int p = 0; p < kParagraphCount; ++p) {
    if (book.paragraphs[p].block < 0) continue;
    const std::vector<MarkupPiece> pieces = SplitMarkup(JoinedText(book, p));
    graph.paragraphs.push_back(p);
    graph.titles.push_back(TitleOf(pieces));
    EdgeReader reader(book, p, graph.edges);
    for (const MarkupPiece& piece : pieces) {
      if (piece.kind != MarkupPiece::kTag) continue;
      const int point = reader.Read(piece.text);
      if (point >= 0 && std::find(graph.restartPoints[p].begin(), graph.restartPoints[p].end(),
                                  point) == graph.restartPoints[p].end()) {
        graph.restartPoints[p].push_back(point);
        markedAt[point].push_back(p);
      }
    }
    for (const auto& choice : reader.restartChoices_) restartChoices.push_back({p, choice});
  }
  // A restart choice leads where its restart point was marked: the "s" tag
  // stores the page being built as the point's paragraph. A point no tag
  // marks is never reached, so its choice never shows.
  for (const auto& [from, choice] : restartChoices) {
    for (const int to : markedAt[choice.first]) {
      graph.edges.push_back({GraphEdge::kRestart, from, to, choice.second, false});
    }
  }

  // Reached: from the story's first page, the menu's pages and the items'
  // own pages (the reader opens those by itself), along every way.
  std::vector<std::vector<int>> out(kParagraphCount);
  for (const GraphEdge& e : graph.edges) out[e.from].push_back(e.to);
  std::vector<bool> reached(kParagraphCount, false);
  std::deque<int> queue;
  const auto reach = [&](int p) {
    if (p >= 0 && p < kParagraphCount && !reached[p]) {
      reached[p] = true;
      queue.push_back(p);
    }
  };
  for (int page = lanthorn::kFirstStoryPage; page <= lanthorn::kHintsPage; ++page) reach(page - 1);
  for (const lanthorn::ItemDefinition& item : book.items) {
    if (item.name != nullptr && item.name[0] != '\0') reach(static_cast<int>(item.itemId));
  }
  while (!queue.empty()) {
    const int p = queue.front();
    queue.pop_front();
    for (const int to : out[p]) reach(to);
  }
  for (const int p : graph.paragraphs) {
    if (!reached[p] && HasText(book, p)) graph.unreached.insert(p);
  }
  return graph;
}

void WriteDot(const BookGraph& graph, std::ostream& out) {
  out << "digraph book {\n"
         "  node [shape=box, fontname=\"Helvetica\", fontsize=10];\n"
         "  edge [fontname=\"Helvetica\", fontsize=9];\n";
  for (size_t i = 0; i < graph.paragraphs.size(); ++i) {
    const int p = graph.paragraphs[i];
    std::string label = std::to_string(p) + ": " + graph.titles[i];
    std::string attributes;
    if (graph.endings.count(p) > 0) {
      label += "\nending";
      attributes += ", peripheries=2, style=bold";
    }
    for (const int point : graph.restartPoints[static_cast<size_t>(p)]) {
      label += "\nrestart point " + std::to_string(point);
    }
    if (!graph.restartPoints[static_cast<size_t>(p)].empty()) attributes += ", shape=octagon";
    if (graph.unreached.count(p) > 0) attributes += ", color=red, fontcolor=red";
    out << "  p" << p << " [label=\"" << Escape(label) << "\"" << attributes << "];\n";
  }
  for (const GraphEdge& e : graph.edges) {
    std::string label = e.label;
    std::string attributes;
    switch (e.kind) {
      case GraphEdge::kChoice:
        if (e.aside) label += " (aside)";
        break;
      case GraphEdge::kChance: attributes = ", style=dashed, color=darkgreen"; break;
      case GraphEdge::kAnswer: attributes = ", style=dotted, color=blue"; break;
      case GraphEdge::kRestart:
        label = "restart: " + label;
        attributes = ", style=dashed, color=purple, constraint=false";
        break;
      case GraphEdge::kNext:
      case GraphEdge::kPrevious: attributes = ", color=gray"; break;
    }
    out << "  p" << e.from << " -> p" << e.to << " [label=\"" << Escape(label) << "\"" << attributes
        << "];\n";
  }
  out << "}\n";
}

}  // namespace bookc
