#include "tools/bookc/compile.h"

#include <map>
#include <unordered_map>

#include "tools/bookc/markup_check.h"
#include "tools/bookc/paragraph_words.h"

namespace bookc {

namespace {

using lanthorn::kParagraphCount;

std::string Where(const SourcePosition& p) { return p.file + ":" + std::to_string(p.line); }

}  // namespace

bool PackBlocks(const std::vector<ParagraphWords>& paragraphs, BookModel& model,
                std::string& problem) {
  for (lanthorn::ParagraphEntry& entry : model.paragraphs) entry = {-1, 0, 0};
  int block = 0;
  std::unordered_map<std::string, uint16_t> offsets;
  for (const ParagraphWords& paragraph : paragraphs) {
    // The bytes this paragraph's words not yet in the pool would add.
    size_t added = 0;
    std::unordered_map<std::string, bool> counted;
    for (const std::string& word : paragraph.words) {
      if (offsets.count(word) == 0 && !counted[word]) {
        counted[word] = true;
        added += word.size() + 1;
      }
    }
    if (model.blocks[block].pool.size() + added > kMostPoolBytes) {
      if (block + 1 == lanthorn::kBlockCount) {
        problem = "the book's words do not fit " + std::to_string(lanthorn::kBlockCount) +
                  " word pools of " + std::to_string(kMostPoolBytes) + " bytes (paragraph " +
                  std::to_string(paragraph.number) + " is the first that does not fit)";
        return false;
      }
      ++block;
      offsets.clear();
      if (added > kMostPoolBytes) {
        problem = "paragraph " + std::to_string(paragraph.number) + " alone fills a word pool";
        return false;
      }
    }
    BlockModel& target = model.blocks[block];
    lanthorn::ParagraphEntry& entry = model.paragraphs[paragraph.number];
    entry.block = static_cast<int16_t>(block);
    entry.firstWord = static_cast<int32_t>(target.stream.size());
    for (const std::string& word : paragraph.words) {
      auto [it, isNew] = offsets.try_emplace(word, static_cast<uint16_t>(target.pool.size()));
      if (isNew) {
        target.pool += word;
        target.pool += '\0';
      }
      target.stream.push_back(it->second);
    }
    entry.endWord = static_cast<int32_t>(target.stream.size());
  }
  return true;
}

std::optional<BookModel> CompileBook(const std::filesystem::path& directory,
                                     Diagnostics& diagnostics) {
  SourceBook source = ReadBookSource(directory, diagnostics);

  // Paragraph numbers: each once, within the table.
  std::map<int, const SourceParagraph*> byNumber;
  for (const SourceParagraph& paragraph : source.paragraphs) {
    if (paragraph.number < 0 || paragraph.number >= kParagraphCount) {
      diagnostics.Error(paragraph.marker, "paragraph number " + std::to_string(paragraph.number) +
                                              " is outside 0.." +
                                              std::to_string(kParagraphCount - 1));
      continue;
    }
    auto [it, isNew] = byNumber.emplace(paragraph.number, &paragraph);
    if (!isNew) {
      diagnostics.Error(paragraph.marker, "paragraph " + std::to_string(paragraph.number) +
                                              " is declared twice (first at " +
                                              Where(it->second->marker) + ")");
    }
  }

  std::map<int, JoinedParagraph> joined;
  for (const auto& [number, paragraph] : byNumber) joined[number] = JoinSource(paragraph->body);

  MarkupContext context;
  context.paragraphState = [&joined](int number) {
    const auto it = joined.find(number);
    if (it == joined.end()) return ParagraphState::kMissing;
    return it->second.joined.text.empty() ? ParagraphState::kEmpty : ParagraphState::kText;
  };
  for (const auto& [number, paragraph] : byNumber) {
    CheckParagraphMarkup(*paragraph, joined[number].joined, context, diagnostics);
  }

  const SourcePosition bookFile{(directory / "book.toml").string(), 0, 0};
  for (size_t k = 0; k < source.restartPoints.size(); ++k) {
    const int paragraph = source.restartPoints[k].paragraph;
    if (paragraph != 0 && context.paragraphState(paragraph) != ParagraphState::kText) {
      diagnostics.Warning(bookFile, "restart point " + std::to_string(k) + " stands at paragraph " +
                                        std::to_string(paragraph) + ", which has no text");
    }
  }
  for (int ending : source.endings) {
    if (context.paragraphState(ending) != ParagraphState::kText) {
      diagnostics.Warning(source.endingsAt,
                          "ending paragraph " + std::to_string(ending) + " has no text");
    }
  }
  const SourcePosition itemsFile{(directory / "items.toml").string(), 0, 0};
  for (size_t i = 0; i < source.items.size(); ++i) {
    const SourceItem& item = source.items[i];
    if (!item.name.empty() &&
        context.paragraphState(static_cast<int>(item.id)) != ParagraphState::kText) {
      diagnostics.Warning(itemsFile, "item " + std::to_string(i) + "'s page, paragraph " +
                                         std::to_string(item.id) + ", has no text");
    }
  }

  BookModel model;
  std::vector<ParagraphWords> words;
  for (auto& [number, paragraph] : joined) words.push_back({number, std::move(paragraph.words)});
  std::string problem;
  if (!PackBlocks(words, model, problem)) diagnostics.Error(bookFile, problem);
  if (diagnostics.HasErrors()) return std::nullopt;

  model.pictures = source.pictures;
  model.pictureDescriptions = source.pictureDescriptions;
  model.sounds = source.sounds;
  model.items = source.items;
  model.restartPoints = source.restartPoints;
  model.information = source.information;
  model.endings = source.endings;
  return model;
}

LoadedBook::LoadedBook(BookModel model) : model_(std::move(model)) {
  for (int b = 0; b < lanthorn::kBlockCount; ++b) {
    const BlockModel& block = model_.blocks[b];
    book_.blocks[b] = {block.stream.data(), block.pool.data(),
                       static_cast<int32_t>(block.stream.size()),
                       static_cast<int32_t>(block.pool.size())};
  }
  for (int p = 0; p < kParagraphCount; ++p) book_.paragraphs[p] = model_.paragraphs[p];
  for (int p = 0; p < lanthorn::kPictureCount; ++p) {
    book_.pictures[p] = model_.pictures[p];
    const std::string& description = model_.pictureDescriptions[p];
    book_.pictures[p].description = description.empty() ? nullptr : description.c_str();
  }
  for (int s = 0; s < lanthorn::kSoundCount; ++s) book_.sounds[s] = model_.sounds[s].c_str();
  for (int i = 0; i < lanthorn::kItemCount; ++i) {
    const SourceItem& item = model_.items[i];
    for (const std::string& option : item.options) optionTexts_[i].push_back(option.c_str());
    lanthorn::ItemDefinition& definition = book_.items[i];
    definition.name = item.name.c_str();
    definition.kind = item.kind;
    definition.optionCount = static_cast<int16_t>(item.options.size() + item.pictures.size());
    definition.minimum = item.minimum;
    definition.itemId = item.id;
    definition.optionTexts = optionTexts_[i].empty() ? nullptr : optionTexts_[i].data();
    definition.optionPictures = item.pictures.empty() ? nullptr : item.pictures.data();
  }
  for (int k = 0; k < lanthorn::kRestartPointCount; ++k) {
    book_.restartPoints[k] = {model_.restartPoints[k].caption.c_str(),
                              model_.restartPoints[k].paragraph};
  }
  const SourceInformation& info = model_.information;
  book_.information = {info.title.c_str(),   info.author.c_str(), info.contact.c_str(),
                       info.support.c_str(), info.rights.c_str(), info.closing.c_str(),
                       info.presentsPicture, info.titlePicture};
}

std::unique_ptr<LoadedBook> LoadBook(const std::filesystem::path& directory,
                                     Diagnostics& diagnostics) {
  std::optional<BookModel> model = CompileBook(directory, diagnostics);
  if (!model) return nullptr;
  return std::make_unique<LoadedBook>(std::move(*model));
}

}  // namespace bookc
