// A book's source as read from its directory: the metadata of book.toml and
// items.toml, and the paragraphs of paragraphs/*.txt, converted to
// Windows-1252 with the source position of every character kept for messages.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "book/book_tables.h"
#include "tools/bookc/diagnostics.h"

namespace bookc {

struct SourceText {
  std::string text;                       // Windows-1252
  std::vector<SourcePosition> positions;  // one per byte of text
};

struct SourceParagraph {
  int number = 0;
  SourcePosition marker;  // where its "@N" line stands
  SourceText body;        // the lines after the marker, joined by line feeds
};

struct SourceItem {
  std::string name;
  uint8_t kind = lanthorn::kTextItem;
  std::vector<std::string> options;  // text items
  std::vector<uint16_t> pictures;    // picture items
  int16_t minimum = 0;
  uint32_t id = 0;
};

struct SourceRestartPoint {
  std::string caption;
  uint16_t paragraph = 0;
};

struct SourceInformation {
  std::string title, author, contact, support, rights, closing;
  int16_t presentsPicture = 0;
  int16_t titlePicture = 0;
};

struct SourceBook {
  SourceInformation information;
  std::array<lanthorn::PictureEntry, lanthorn::kPictureCount> pictures{};
  std::array<std::string, lanthorn::kPictureCount> pictureDescriptions;
  std::array<std::string, lanthorn::kSoundCount> sounds;
  std::array<SourceItem, lanthorn::kItemCount> items;
  std::array<SourceRestartPoint, lanthorn::kRestartPointCount> restartPoints;
  std::vector<SourceParagraph> paragraphs;  // in the order they are declared
  // The paragraphs where the story ends, for the tools that check the book;
  // the reader itself does not need them.
  std::vector<int> endings;
  SourcePosition endingsAt;
};

// Reads everything; problems go to diagnostics (the result is then partial).
SourceBook ReadBookSource(const std::filesystem::path& directory, Diagnostics& diagnostics);

// Splits the text of one paragraph file into paragraphs at its "@N" lines.
void ReadParagraphFile(const std::string& fileName, const std::string& utf8,
                       std::vector<SourceParagraph>& paragraphs, Diagnostics& diagnostics);

}  // namespace bookc
