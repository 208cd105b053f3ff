#include "tools/bookc/book_source.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <toml++/toml.h>

#include "tools/bookc/cp1252.h"

namespace bookc {

namespace {

namespace fs = std::filesystem;

SourcePosition PositionOf(const std::string& file, const toml::node& node) {
  return {file, static_cast<int>(node.source().begin.line),
          static_cast<int>(node.source().begin.column)};
}

// Reads one TOML document; a syntax error is reported and gives nothing.
std::optional<toml::table> ParseToml(const fs::path& path, const std::string& file,
                                     Diagnostics& diagnostics) {
  try {
    return toml::parse_file(path.string());
  } catch (const toml::parse_error& e) {
    diagnostics.Error({file, static_cast<int>(e.source().begin.line),
                       static_cast<int>(e.source().begin.column)},
                      std::string(e.description()));
    return std::nullopt;
  }
}

// Reads the tables of one TOML file, reporting keys that mean nothing.
class TomlReader {
 public:
  TomlReader(std::string file, Diagnostics& diagnostics)
      : file_(std::move(file)), diagnostics_(diagnostics) {}

  void CheckKeys(const toml::table& table, std::initializer_list<std::string_view> known) {
    for (const auto& [key, node] : table) {
      if (std::find(known.begin(), known.end(), key.str()) == known.end()) {
        diagnostics_.Warning(PositionOf(file_, node),
                             "unknown key '" + std::string(key.str()) + "' is ignored");
      }
    }
  }

  // A text, converted to Windows-1252.
  std::string Text(const toml::node& node, std::string_view what) {
    const std::optional<std::string> utf8 = node.value<std::string>();
    if (!utf8) {
      diagnostics_.Error(PositionOf(file_, node), std::string(what) + " must be a string");
      return {};
    }
    std::string problem;
    std::optional<std::string> text = Utf8ToCp1252(*utf8, problem);
    if (!text) {
      diagnostics_.Error(PositionOf(file_, node), std::string(what) + ": " + problem);
      return {};
    }
    return *text;
  }

  std::string Text(const toml::table& table, std::string_view key, std::string_view what,
                   const toml::node& owner) {
    const toml::node* node = table.get(key);
    if (node == nullptr) {
      diagnostics_.Error(PositionOf(file_, owner), std::string(what) + " is missing");
      return {};
    }
    return Text(*node, what);
  }

  // A whole number within [low, high]; fallback when absent.
  int64_t Number(const toml::table& table, std::string_view key, std::string_view what,
                 int64_t low, int64_t high, int64_t fallback) {
    const toml::node* node = table.get(key);
    if (node == nullptr) return fallback;
    return Number(*node, what, low, high);
  }

  int64_t Number(const toml::node& node, std::string_view what, int64_t low, int64_t high) {
    const std::optional<int64_t> value = node.value<int64_t>();
    if (!value || !node.is_integer()) {
      diagnostics_.Error(PositionOf(file_, node), std::string(what) + " must be a whole number");
      return low;
    }
    if (*value < low || *value > high) {
      diagnostics_.Error(PositionOf(file_, node),
                         std::string(what) + " " + std::to_string(*value) + " is outside " +
                             std::to_string(low) + ".." + std::to_string(high));
      return low;
    }
    return *value;
  }

  // The tables of an array of tables, at most `most` of them.
  std::vector<const toml::table*> Tables(const toml::table& document, std::string_view key,
                                         size_t most, std::string_view what) {
    std::vector<const toml::table*> tables;
    const toml::node* node = document.get(key);
    if (node == nullptr) {
      diagnostics_.Warning({file_, 0, 0}, "the book names no " + std::string(what) +
                                              "; all " + std::to_string(most) + " are empty");
      return tables;
    }
    const toml::array* array = node->as_array();
    if (array == nullptr) {
      diagnostics_.Error(PositionOf(file_, *node),
                         std::string(key) + " must be an array of tables ([[" +
                             std::string(key) + "]])");
      return tables;
    }
    for (const toml::node& element : *array) {
      const toml::table* table = element.as_table();
      if (table == nullptr) {
        diagnostics_.Error(PositionOf(file_, element), std::string(key) + " holds tables only");
        continue;
      }
      if (tables.size() == most) {
        diagnostics_.Error(PositionOf(file_, element), "more than " + std::to_string(most) +
                                                           " " + std::string(what));
        break;
      }
      tables.push_back(table);
    }
    if (tables.size() < most && !tables.empty()) {
      diagnostics_.Warning(PositionOf(file_, *node),
                           "the book names " + std::to_string(tables.size()) + " of " +
                               std::to_string(most) + " " + std::string(what) +
                               "; the rest are empty");
    }
    return tables;
  }

  const std::string& file() const { return file_; }
  Diagnostics& diagnostics() { return diagnostics_; }

 private:
  std::string file_;
  Diagnostics& diagnostics_;
};

void ReadEndings(TomlReader& in, const toml::table& document, SourceBook& book) {
  const toml::node* node = document.get("endings");
  if (node == nullptr) return;
  book.endingsAt = PositionOf(in.file(), *node);
  const toml::array* array = node->as_array();
  if (array == nullptr) {
    in.diagnostics().Error(book.endingsAt, "endings must be an array of paragraph numbers");
    return;
  }
  for (const toml::node& element : *array) {
    book.endings.push_back(static_cast<int>(
        in.Number(element, "ending paragraph", 1, lanthorn::kParagraphCount - 1)));
  }
}

void ReadInformation(TomlReader& in, const toml::table& document, SourceBook& book) {
  const toml::node* node = document.get("information");
  if (node == nullptr || !node->is_table()) {
    in.diagnostics().Error({in.file(), 1, 1}, "the [information] table is missing");
    return;
  }
  const toml::table& table = *node->as_table();
  in.CheckKeys(table, {"title", "author", "contact", "support", "rights", "closing",
                       "presents_picture", "title_picture"});
  SourceInformation& info = book.information;
  info.title = in.Text(table, "title", "the title", *node);
  info.author = in.Text(table, "author", "the author", *node);
  info.contact = in.Text(table, "contact", "the contact address", *node);
  info.support = in.Text(table, "support", "the support address", *node);
  info.rights = in.Text(table, "rights", "the rights holder", *node);
  info.closing = in.Text(table, "closing", "the closing text", *node);
  const int64_t lastPicture = lanthorn::kPictureCount - 1;
  info.presentsPicture = static_cast<int16_t>(
      in.Number(table, "presents_picture", "the presents picture", 0, lastPicture, 0));
  info.titlePicture = static_cast<int16_t>(
      in.Number(table, "title_picture", "the title picture", 0, lastPicture, 1));
}

void ReadSounds(TomlReader& in, const toml::table& document, SourceBook& book) {
  const toml::node* node = document.get("sounds");
  if (node == nullptr) {
    in.diagnostics().Warning({in.file(), 0, 0}, "the book names no sounds");
    return;
  }
  const toml::array* array = node->as_array();
  if (array == nullptr) {
    in.diagnostics().Error(PositionOf(in.file(), *node), "sounds must be an array of names");
    return;
  }
  size_t count = 0;
  for (const toml::node& element : *array) {
    if (count == book.sounds.size()) {
      in.diagnostics().Error(PositionOf(in.file(), element),
                             "more than " + std::to_string(book.sounds.size()) + " sounds");
      break;
    }
    std::string name = in.Text(element, "a sound name");
    const bool valid = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
      return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    });
    if (!valid) {
      in.diagnostics().Error(PositionOf(in.file(), element),
                             "sound name '" + name +
                                 "' must be upper-case letters, digits and underscores");
    }
    book.sounds[count++] = std::move(name);
  }
  if (count < book.sounds.size()) {
    in.diagnostics().Warning(PositionOf(in.file(), *node),
                             "the book names " + std::to_string(count) + " of " +
                                 std::to_string(book.sounds.size()) + " sounds");
  }
}

void ReadPictures(TomlReader& in, const toml::table& document, SourceBook& book) {
  const auto tables = in.Tables(document, "pictures", book.pictures.size(), "pictures");
  for (size_t i = 0; i < tables.size(); ++i) {
    const toml::table& table = *tables[i];
    in.CheckKeys(table, {"bitmap", "width", "height", "description"});
    lanthorn::PictureEntry& picture = book.pictures[i];
    picture.bitmapId = static_cast<uint16_t>(in.Number(table, "bitmap", "bitmap id", 1, 65535, 0));
    picture.width = static_cast<uint16_t>(in.Number(table, "width", "width", 0, 65535, 0));
    picture.height = static_cast<uint16_t>(in.Number(table, "height", "height", 0, 65535, 0));
    if (const toml::node* description = table.get("description")) {
      book.pictureDescriptions[i] = in.Text(*description, "a picture's description");
    }
    if (table.get("bitmap") == nullptr) {
      in.diagnostics().Error(PositionOf(in.file(), table),
                             "picture " + std::to_string(i) + " names no bitmap");
    }
  }
}

void ReadRestartPoints(TomlReader& in, const toml::table& document, SourceBook& book) {
  const auto tables =
      in.Tables(document, "restart_points", book.restartPoints.size(), "restart points");
  for (size_t i = 0; i < tables.size(); ++i) {
    const toml::table& table = *tables[i];
    in.CheckKeys(table, {"caption", "paragraph"});
    SourceRestartPoint& point = book.restartPoints[i];
    const toml::node* caption = table.get("caption");
    if (caption != nullptr) point.caption = in.Text(*caption, "a caption");
    point.paragraph = static_cast<uint16_t>(in.Number(
        table, "paragraph", "restart point paragraph", 1, lanthorn::kParagraphCount - 1, 0));
  }
}

void ReadItems(TomlReader& in, const toml::table& document, SourceBook& book) {
  const auto tables = in.Tables(document, "items", book.items.size(), "story items");
  for (size_t i = 0; i < book.items.size(); ++i) book.items[i].id = static_cast<uint32_t>(i + 10);
  for (size_t i = 0; i < tables.size(); ++i) {
    const toml::table& table = *tables[i];
    in.CheckKeys(table, {"name", "kind", "options", "pictures", "minimum", "id"});
    SourceItem& item = book.items[i];
    item.name = in.Text(table, "name", "item name", table);
    const std::string kind = table.get("kind") ? in.Text(*table.get("kind"), "item kind") : "text";
    if (kind == "text") {
      item.kind = lanthorn::kTextItem;
    } else if (kind == "number") {
      item.kind = lanthorn::kNumberItem;
    } else if (kind == "picture") {
      item.kind = lanthorn::kPictureItem;
    } else {
      in.diagnostics().Error(PositionOf(in.file(), *table.get("kind")),
                             "item kind '" + kind + "' is not text, number or picture");
    }
    if (const toml::node* options = table.get("options")) {
      if (item.kind != lanthorn::kTextItem) {
        in.diagnostics().Error(PositionOf(in.file(), *options), "only text items have options");
      } else if (const toml::array* array = options->as_array()) {
        for (const toml::node& option : *array) item.options.push_back(in.Text(option, "an option"));
      } else {
        in.diagnostics().Error(PositionOf(in.file(), *options), "options must be an array");
      }
    }
    if (const toml::node* pictures = table.get("pictures")) {
      const toml::array* array = pictures->as_array();
      if (item.kind != lanthorn::kPictureItem || array == nullptr) {
        in.diagnostics().Error(PositionOf(in.file(), *pictures),
                               "only picture items have pictures, as an array of numbers");
      } else {
        for (const toml::node& picture : *array) {
          item.pictures.push_back(static_cast<uint16_t>(
              in.Number(picture, "picture", 0, lanthorn::kPictureCount - 1)));
        }
      }
    }
    const size_t optionCount = item.options.size() + item.pictures.size();
    if (optionCount > 255) {
      in.diagnostics().Error(PositionOf(in.file(), table),
                             "an item has at most 255 options; a value byte holds no more");
    }
    item.minimum = static_cast<int16_t>(in.Number(table, "minimum", "minimum", -32768, 32767, 0));
    item.id = static_cast<uint32_t>(
        in.Number(table, "id", "item id", 0, lanthorn::kParagraphCount - 1, item.id));
  }
}

std::string ReadWholeFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool IsBlankLine(const SourceText& line) {
  return std::all_of(line.text.begin(), line.text.end(),
                     [](char c) { return c == ' ' || c == '\t' || c == '\r'; });
}

}  // namespace

void ReadParagraphFile(const std::string& fileName, const std::string& utf8,
                       std::vector<SourceParagraph>& paragraphs, Diagnostics& diagnostics) {
  // Decode into lines of Windows-1252 text with the position of every byte.
  std::vector<SourceText> lines(1);
  size_t pos = 0;
  int line = 1;
  int column = 1;
  while (pos < utf8.size()) {
    const SourcePosition here{fileName, line, column};
    const std::optional<char32_t> cp = DecodeUtf8(utf8, pos);
    ++column;
    if (!cp) {
      diagnostics.Error(here, "text is not valid UTF-8");
      continue;
    }
    if (*cp == '\n') {
      lines.emplace_back();
      ++line;
      column = 1;
      continue;
    }
    if (*cp == '\r') continue;
    const std::optional<uint8_t> b = ToCp1252(*cp);
    if (!b) {
      diagnostics.Error(here, DescribeCodePoint(*cp) + " has no Windows-1252 form");
      continue;
    }
    lines.back().text += static_cast<char>(*b);
    lines.back().positions.push_back(here);
  }

  SourceParagraph* current = nullptr;
  for (size_t i = 0; i < lines.size(); ++i) {
    const SourceText& text = lines[i];
    const SourcePosition lineStart{fileName, static_cast<int>(i + 1), 1};
    if (!text.text.empty() && text.text[0] == '@') {
      size_t end = text.text.find_last_not_of(" \t");
      const std::string number = text.text.substr(1, end);
      const bool digits = !number.empty() && number.size() <= 6 &&
                          std::all_of(number.begin(), number.end(),
                                      [](char c) { return c >= '0' && c <= '9'; });
      if (!digits) {
        diagnostics.Error(lineStart, "'@' must be followed by a paragraph number");
        current = nullptr;
        continue;
      }
      paragraphs.push_back({std::stoi(number), lineStart, {}});
      current = &paragraphs.back();
      continue;
    }
    if (current == nullptr) {
      if (!IsBlankLine(text)) {
        diagnostics.Error(lineStart, "text before the first paragraph marker '@N'");
      }
      continue;
    }
    // Every line starts with a line feed, which joining turns into a blank.
    SourceText& body = current->body;
    body.text += '\n';
    body.positions.push_back(lineStart);
    body.text += text.text;
    body.positions.insert(body.positions.end(), text.positions.begin(), text.positions.end());
  }
}

SourceBook ReadBookSource(const fs::path& directory, Diagnostics& diagnostics) {
  SourceBook book;
  const fs::path bookFile = directory / "book.toml";
  const std::string bookName = bookFile.string();
  if (!fs::exists(bookFile)) {
    diagnostics.Error({bookName, 0, 0}, "the book's metadata file is missing");
  } else if (std::optional<toml::table> document = ParseToml(bookFile, bookName, diagnostics)) {
    TomlReader in(bookName, diagnostics);
    in.CheckKeys(*document, {"sounds", "endings", "information", "pictures", "restart_points"});
    ReadSounds(in, *document, book);
    ReadEndings(in, *document, book);
    ReadInformation(in, *document, book);
    ReadPictures(in, *document, book);
    ReadRestartPoints(in, *document, book);
  }

  const fs::path itemsFile = directory / "items.toml";
  const std::string itemsName = itemsFile.string();
  for (size_t i = 0; i < book.items.size(); ++i) book.items[i].id = static_cast<uint32_t>(i + 10);
  if (!fs::exists(itemsFile)) {
    diagnostics.Warning({itemsName, 0, 0}, "the book names no story items; all 52 are empty");
  } else if (std::optional<toml::table> document = ParseToml(itemsFile, itemsName, diagnostics)) {
    TomlReader in(itemsName, diagnostics);
    in.CheckKeys(*document, {"items"});
    ReadItems(in, *document, book);
  }

  const fs::path paragraphDirectory = directory / "paragraphs";
  std::vector<fs::path> files;
  if (fs::is_directory(paragraphDirectory)) {
    for (const fs::directory_entry& entry : fs::directory_iterator(paragraphDirectory)) {
      if (entry.is_regular_file() && entry.path().extension() == ".txt") {
        files.push_back(entry.path());
      }
    }
  }
  if (files.empty()) {
    diagnostics.Warning({paragraphDirectory.string(), 0, 0},
                        "no paragraph files (*.txt); the book has no paragraphs");
  }
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    ReadParagraphFile(file.string(), ReadWholeFile(file), book.paragraphs, diagnostics);
  }
  return book;
}

}  // namespace bookc
