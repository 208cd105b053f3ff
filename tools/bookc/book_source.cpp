#include "tools/bookc/book_source.h"

#include <toml++/toml.h>
#include <algorithm>

#include "tools/bookc/cp1252.h"
#include "tools/bookc/markup_check.h"
#include "tools/bookc/source_files.h"
#include "tools/bookc/toml_guard.h"

namespace bookc {

namespace {

namespace fs = std::filesystem;

SourcePosition PositionOf(const std::string& file, const toml::node& node) {
  return {file, static_cast<int>(node.source().begin.line),
          static_cast<int>(node.source().begin.column)};
}

// Reads one TOML document; a missing file gives nothing and no message (the
// caller knows what it means), every other problem is reported and gives
// nothing too.
std::optional<toml::table> ParseToml(const fs::path& path, const std::string& file,
                                     Diagnostics& diagnostics, bool& missing) {
  std::string text;
  const FileState state = ReadSourceFile(
      path, kMostTomlBytes,
      "a metadata file of more than " + std::to_string(kMostTomlBytes) + " bytes is not a book's",
      text, diagnostics);
  missing = state == FileState::kMissing;
  if (state != FileState::kRead) return std::nullopt;
  if (!CheckTomlShape(text, file, diagnostics)) return std::nullopt;
  try {
    return toml::parse(text, file);
  } catch (const toml::parse_error& e) {
    diagnostics.Error(
        {file, static_cast<int>(e.source().begin.line), static_cast<int>(e.source().begin.column)},
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
  int64_t Number(const toml::table& table, std::string_view key, std::string_view what, int64_t low,
                 int64_t high, int64_t fallback) {
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
      diagnostics_.Error(PositionOf(file_, node), std::string(what) + " " + std::to_string(*value) +
                                                      " is outside " + std::to_string(low) + ".." +
                                                      std::to_string(high));
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
      diagnostics_.Warning({file_, 0, 0}, "the book names no " + std::string(what) + "; all " +
                                              std::to_string(most) + " are empty");
      return tables;
    }
    const toml::array* array = node->as_array();
    if (array == nullptr) {
      diagnostics_.Error(
          PositionOf(file_, *node),
          std::string(key) + " must be an array of tables ([[" + std::string(key) + "]])");
      return tables;
    }
    for (const toml::node& element : *array) {
      const toml::table* table = element.as_table();
      if (table == nullptr) {
        diagnostics_.Error(PositionOf(file_, element), std::string(key) + " holds tables only");
        continue;
      }
      if (tables.size() == most) {
        diagnostics_.Error(PositionOf(file_, element),
                           "more than " + std::to_string(most) + " " + std::string(what));
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
    book.endings.push_back(
        static_cast<int>(in.Number(element, "ending paragraph", 1, lanthorn::kParagraphCount - 1)));
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
      in.diagnostics().Error(
          PositionOf(in.file(), element),
          "sound name '" + name + "' must be upper-case letters, digits and underscores");
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
    point.paragraph = static_cast<uint16_t>(in.Number(table, "paragraph", "restart point paragraph",
                                                      1, lanthorn::kParagraphCount - 1, 0));
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
        for (const toml::node& option : *array)
          item.options.push_back(in.Text(option, "an option"));
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
          item.pictures.push_back(
              static_cast<uint16_t>(in.Number(picture, "picture", 0, lanthorn::kPictureCount - 1)));
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
      const bool digits =
          !number.empty() && number.size() <= 6 &&
          std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
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

namespace {

// The paragraph files: paragraphs/*.txt, in name order. A book needs them;
// a folder that cannot be listed and a file that cannot be read are errors,
// never taken for an empty book or an empty file. Hidden files (an editor's
// lock or backup) are not the book's, as for the shell's "*.txt".
void ReadParagraphFiles(const fs::path& folder, SourceBook& book, Diagnostics& diagnostics) {
  const std::string folderName = folder.string();
  std::error_code error;
  const fs::file_status status = fs::status(folder, error);
  if (error && status.type() != fs::file_type::not_found) {
    diagnostics.Error({folderName, 0, 0}, "cannot be read: " + error.message());
    return;
  }
  if (status.type() == fs::file_type::not_found) {
    diagnostics.Error({folderName, 0, 0},
                      "the paragraphs folder is missing; a book needs paragraphs");
    return;
  }
  if (status.type() != fs::file_type::directory) {
    diagnostics.Error({folderName, 0, 0},
                      "is not a folder; a book's paragraphs are in paragraphs/*.txt");
    return;
  }
  std::vector<fs::path> files;
  fs::directory_iterator entry(folder, error);
  for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    if (name.size() > 4 && name[0] != '.' && name.compare(name.size() - 4, 4, ".txt") == 0) {
      files.push_back(entry->path());
    }
  }
  if (error) {
    diagnostics.Error({folderName, 0, 0}, "cannot be read: " + error.message());
    return;
  }
  if (files.empty()) {
    diagnostics.Error({folderName, 0, 0}, "no paragraph files (*.txt); the book has no paragraphs");
    return;
  }
  std::sort(files.begin(), files.end());

  // The size of the whole source is checked before any of it is read.
  const std::string tooLarge =
      "the paragraph files hold more than " + std::to_string(kMostParagraphSourceBytes) +
      " bytes; a book's " + std::to_string(lanthorn::kParagraphCount) +
      " paragraphs hold at most " +
      std::to_string(lanthorn::kParagraphCount * kMostJoinedCharacters) + " characters when joined";
  uintmax_t total = 0;
  bool sized = true;
  for (const fs::path& file : files) {
    uintmax_t size = 0;
    if (!SourceFileSize(file, size, diagnostics)) {
      sized = false;
      continue;
    }
    total += size;
  }
  if (!sized) return;
  if (total > kMostParagraphSourceBytes) {
    diagnostics.Error({folderName, 0, 0}, tooLarge);
    return;
  }
  uintmax_t read = 0;
  bool allRead = true;
  for (const fs::path& file : files) {
    std::string text;
    const FileState state =
        ReadSourceFile(file, kMostParagraphSourceBytes - read, tooLarge, text, diagnostics);
    if (state != FileState::kRead) {
      // A file that vanished since it was listed is reported too.
      if (state == FileState::kMissing) {
        diagnostics.Error({file.string(), 0, 0}, "cannot be read: the file is gone");
      }
      allRead = false;
      continue;
    }
    read += text.size();
    ReadParagraphFile(file.string(), text, book.paragraphs, diagnostics);
  }
  if (book.paragraphs.empty() && allRead) {
    diagnostics.Error({folderName, 0, 0},
                      "the paragraph files declare no paragraph ('@N'); a book needs paragraphs");
  }
}

}  // namespace

SourceBook ReadBookSource(const fs::path& directory, Diagnostics& diagnostics) {
  SourceBook book;
  for (size_t i = 0; i < book.items.size(); ++i) book.items[i].id = static_cast<uint32_t>(i + 10);
  {
    std::error_code error;
    const fs::file_status status = fs::status(directory, error);
    if (status.type() != fs::file_type::directory) {
      diagnostics.Error({directory.string(), 0, 0},
                        error && status.type() != fs::file_type::not_found
                            ? "cannot be read: " + error.message()
                            : std::string("not a directory"));
      return book;
    }
  }

  const fs::path bookFile = directory / "book.toml";
  const std::string bookName = bookFile.string();
  bool missing = false;
  if (std::optional<toml::table> document = ParseToml(bookFile, bookName, diagnostics, missing)) {
    TomlReader in(bookName, diagnostics);
    in.CheckKeys(*document, {"sounds", "endings", "information", "pictures", "restart_points"});
    ReadSounds(in, *document, book);
    ReadEndings(in, *document, book);
    ReadInformation(in, *document, book);
    ReadPictures(in, *document, book);
    ReadRestartPoints(in, *document, book);
  } else if (missing) {
    diagnostics.Error({bookName, 0, 0}, "the book's metadata file is missing");
  }

  const fs::path itemsFile = directory / "items.toml";
  const std::string itemsName = itemsFile.string();
  if (std::optional<toml::table> document = ParseToml(itemsFile, itemsName, diagnostics, missing)) {
    TomlReader in(itemsName, diagnostics);
    in.CheckKeys(*document, {"items"});
    ReadItems(in, *document, book);
  } else if (missing) {
    diagnostics.Warning({itemsName, 0, 0}, "the book names no story items; all 52 are empty");
  }

  ReadParagraphFiles(directory / "paragraphs", book, diagnostics);
  return book;
}

}  // namespace bookc
