#include "tools/bookc/cpp_writer.h"

#include <cstdio>
#include <set>
#include <string>

namespace bookc {

namespace {

constexpr size_t kLineWidth = 96;

// A C++ string literal of Windows-1252 bytes. Bytes outside printable ASCII
// are three-digit octal escapes, which never run into a following digit.
std::string Literal(const std::string& bytes) {
  std::string out = "\"";
  for (unsigned char c : bytes) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F && c != '?') {
      out += static_cast<char>(c);
    } else {
      char escape[8];
      snprintf(escape, sizeof escape, "\\%03o", c);
      out += escape;
    }
  }
  return out + "\"";
}

// A long byte string as adjacent literals broken over lines.
void WriteLongLiteral(std::ostream& out, const std::string& bytes) {
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = start;
    size_t width = 2;
    while (end < bytes.size() && width < kLineWidth) {
      width += Literal(std::string(1, bytes[end])).size() - 2;
      ++end;
    }
    out << "    " << Literal(bytes.substr(start, end - start)) << '\n';
    start = end;
  }
  if (bytes.empty()) out << "    \"\"\n";
}

template <typename Number>
void WriteNumbers(std::ostream& out, const std::vector<Number>& numbers) {
  std::string line = "   ";
  for (Number n : numbers) {
    const std::string item = " " + std::to_string(n) + ",";
    if (line.size() + item.size() > kLineWidth) {
      out << line << '\n';
      line = "   ";
    }
    line += item;
  }
  if (line.size() > 3) out << line << '\n';
}

void WriteBlocks(const BookModel& model, std::ostream& out) {
  for (size_t b = 0; b < model.blocks.size(); ++b) {
    const BlockModel& block = model.blocks[b];
    if (block.stream.empty()) continue;
    // The pool holds NULs of its own; the literal adds one more at its end,
    // outside the pool size given to the reader.
    out << "const char kPool" << b << "[] =\n";
    WriteLongLiteral(out, block.pool);
    out << ";\n\nconst uint16_t kStream" << b << "[] = {\n";
    WriteNumbers(out, block.stream);
    out << "};\n\n";
  }
}

void WriteItemOptions(const BookModel& model, std::ostream& out) {
  for (size_t i = 0; i < model.items.size(); ++i) {
    const SourceItem& item = model.items[i];
    if (!item.options.empty()) {
      out << "const char* const kItem" << i << "Options[] = {\n";
      for (const std::string& option : item.options) out << "    " << Literal(option) << ",\n";
      out << "};\n";
    }
    if (!item.pictures.empty()) {
      out << "const uint16_t kItem" << i << "Pictures[] = {\n";
      WriteNumbers(out, item.pictures);
      out << "};\n";
    }
  }
  out << '\n';
}

void WriteBookTable(const BookModel& model, std::ostream& out) {
  out << "const Book kBook = {\n    {\n";
  for (size_t b = 0; b < model.blocks.size(); ++b) {
    const BlockModel& block = model.blocks[b];
    if (block.stream.empty()) {
      out << "        {nullptr, nullptr, 0, 0},\n";
    } else {
      out << "        {kStream" << b << ", kPool" << b << ", " << block.stream.size() << ", "
          << block.pool.size() << "},\n";
    }
  }
  out << "    },\n    {\n";
  for (size_t p = 0; p < model.paragraphs.size(); ++p) {
    const lanthorn::ParagraphEntry& e = model.paragraphs[p];
    out << "        {" << e.block << ", " << e.firstWord << ", " << e.endWord << "},  // " << p
        << '\n';
  }
  out << "    },\n    {\n";
  for (size_t p = 0; p < model.pictures.size(); ++p) {
    const lanthorn::PictureEntry& picture = model.pictures[p];
    const std::string& description = model.pictureDescriptions[p];
    out << "        {" << picture.bitmapId << ", " << picture.width << ", " << picture.height
        << ", " << (description.empty() ? std::string("nullptr") : Literal(description)) << "},\n";
  }
  out << "    },\n    {\n";
  for (const std::string& sound : model.sounds) out << "        " << Literal(sound) << ",\n";
  out << "    },\n    {\n";
  for (size_t i = 0; i < model.items.size(); ++i) {
    const SourceItem& item = model.items[i];
    const size_t count = item.options.size() + item.pictures.size();
    out << "        {" << Literal(item.name) << ", " << static_cast<int>(item.kind) << ", " << count
        << ", " << item.minimum << ", " << item.id << ", "
        << (item.options.empty() ? "nullptr" : "kItem" + std::to_string(i) + "Options") << ", "
        << (item.pictures.empty() ? "nullptr" : "kItem" + std::to_string(i) + "Pictures") << "},\n";
  }
  out << "    },\n    {\n";
  for (const SourceRestartPoint& point : model.restartPoints) {
    out << "        {" << Literal(point.caption) << ", " << point.paragraph << "},\n";
  }
  const SourceInformation& info = model.information;
  out << "    },\n    {\n";
  for (const std::string* text :
       {&info.title, &info.author, &info.contact, &info.support, &info.rights, &info.closing}) {
    out << "        " << Literal(*text) << ",\n";
  }
  out << "        " << info.presentsPicture << ",\n        " << info.titlePicture << ",\n";
  out << "    },\n};\n\n";
}

}  // namespace

void WriteBookCpp(const BookModel& model, std::ostream& out) {
  out << "// Generated by bookc from the book's source. Do not edit.\n"
         "#include <cstdint>\n\n"
         "#include \"book/book_tables.h\"\n\n"
         "namespace lanthorn {\n\nnamespace {\n\n";
  WriteBlocks(model, out);
  WriteItemOptions(model, out);
  WriteBookTable(model, out);
  out << "}  // namespace\n\nconst Book& CompiledBook() { return kBook; }\n\n"
         "}  // namespace lanthorn\n";
}

}  // namespace bookc

namespace bookc {

void WriteBookResources(const BookModel& model, const std::string& resourcesDirectory,
                        std::ostream& out) {
  out << "// Generated by bookc from the book's picture and sound tables. Do not edit.\n";
  std::set<uint16_t> bitmaps;
  for (const lanthorn::PictureEntry& picture : model.pictures) {
    if (picture.bitmapId != 0) bitmaps.insert(picture.bitmapId);
  }
  for (uint16_t id : bitmaps) {
    out << id << " BITMAP \"" << resourcesDirectory << "/bitmaps/" << id << ".bmp\"\n";
  }
  for (const std::string& sound : model.sounds) {
    if (sound.empty()) continue;
    out << sound << " WAVE \"" << resourcesDirectory << "/sounds/" << sound << ".wav\"\n";
  }
}

}  // namespace bookc
