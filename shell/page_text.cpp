#include "shell/page_text.h"

#include <cstring>

#include "shell/reader.h"

namespace lanthorn {

namespace {

class TextOut {
 public:
  TextOut(char* out, int32_t size) : out_(out), size_(size) {
    if (size_ > 0) out_[0] = '\0';
  }
  void Put(const char* text) {
    for (const char* c = text; *c != '\0'; ++c) Put(*c);
  }
  void Put(char c) {
    if (length_ + 1 >= size_) return;
    out_[length_++] = c;
    out_[length_] = '\0';
  }
  // Ends the line, without the blanks at its end, unless it is already
  // ended (or nothing was written).
  void EndLine() {
    while (length_ > 0 && out_[length_ - 1] == ' ') out_[--length_] = '\0';
    if (length_ > 0 && out_[length_ - 1] != '\n') Put('\n');
  }
  void BlankLine() {
    EndLine();
    if (length_ > 1 && out_[length_ - 2] != '\n') Put('\n');
  }
  int32_t length() const { return length_; }

 private:
  char* out_;
  int32_t size_;
  int32_t length_ = 0;
};

}  // namespace

int32_t PageText(const Reader& reader, char* out, int32_t size) {
  TextOut text(out, size);
  const DisplayList& d = reader.page.display;
  for (int i = 0; i < d.count; ++i) {
    const DisplayRecord& record = d.records[i];
    switch (record.kind) {
      case kTitleRun:
        text.EndLine();
        if (record.text != nullptr) text.Put(record.text);
        text.EndLine();
        break;
      case kTextRun:
        if (record.text != nullptr) text.Put(record.text);
        break;
      case kTabMark: text.Put(' '); break;
      case kPictureRecord:
        for (const PictureEntry& picture : reader.book.pictures) {
          if (picture.bitmapId != record.number || picture.description == nullptr) continue;
          text.EndLine();
          text.Put(picture.description);
          text.EndLine();
          break;
        }
        break;
      case kLineBreakMark: text.EndLine(); break;
      case kParagraphBreakMark: text.BlankLine(); break;
      case kButtonRecord:
      case kEditBoxRecord: {
        const uint16_t id =
            record.kind == kButtonRecord && record.number < reader.page.buttons.count
                ? reader.page.buttons.records[record.number].id
                : static_cast<uint16_t>(kFirstInputBoxId + record.number);
        const char* name = ControlName(reader, id);
        if (name == nullptr || name[0] == '\0') break;
        text.EndLine();
        text.Put(name);
        text.EndLine();
        break;
      }
      default: break;
    }
  }
  return text.length();
}

const char* ControlName(const Reader& reader, uint16_t id) {
  if (id >= kFirstInputBoxId && id < kFirstChoiceButtonId) {
    return id - kFirstInputBoxId < reader.page.inputBoxes.count ? "Answer" : nullptr;
  }
  for (int i = 0; i < reader.page.buttons.count; ++i) {
    const ButtonRecord& button = reader.page.buttons.records[i];
    if (button.id != id) continue;
    if (id == kSoundCheckBox) return "Sound";
    if (button.bitmapId != 0) {
      // A picture choice is named by what its picture shows.
      for (const PictureEntry& picture : reader.book.pictures) {
        if (picture.bitmapId == button.bitmapId && picture.description != nullptr) {
          return picture.description;
        }
      }
      return "";
    }
    return button.label;
  }
  return nullptr;
}

}  // namespace lanthorn
