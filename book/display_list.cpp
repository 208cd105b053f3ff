#include "book/display_list.h"

#include <cstring>

#include "book/paragraph_store.h"
#include "shell/reader.h"

namespace lanthorn {

namespace {

// The next free record, or null when the list is full. A full list is reported
// once per page; the record is dropped rather than written past the array.
DisplayRecord* NextRecord(Reader& reader) {
  DisplayList& list = reader.display;
  if (list.count >= kDisplayRecordCapacity) {
    if (!list.overflowReported) {
      list.overflowReported = true;
      ShowErrorNumber(reader, "%d is Too many display records", kDisplayRecordCapacity);
    }
    return nullptr;
  }
  return &list.records[list.count];
}

void AddMark(Reader& reader, uint32_t kind) {
  DisplayRecord* record = NextRecord(reader);
  if (record == nullptr) return;
  record->kind = kind;
  ++reader.display.count;
}

void AppendRun(Reader& reader, const char* text, uint32_t kind) {
  DisplayList& list = reader.display;
  const size_t length = strlen(text);
  if (list.usedLength + length >= kPageTextSize) {
    ShowError(reader, "Page buffer Overflow");
    return;
  }
  const int16_t n = static_cast<int16_t>(length);
  char* copy = list.pageText + list.usedLength;
  memcpy(copy, text, length + 1);

  // Consecutive runs of one kind form a single record: the last record's text
  // is the last string in the buffer, so the new copy simply takes over its
  // terminating NUL.
  if (list.count > 0 && list.records[list.count - 1].kind == kind) {
    memmove(copy - 1, copy, length + 1);
    list.usedLength = static_cast<int16_t>(list.usedLength + n);
    return;
  }
  DisplayRecord* record = NextRecord(reader);
  if (record == nullptr) return;
  record->kind = kind;
  record->text = copy;
  list.usedLength = static_cast<int16_t>(list.usedLength + n + 1);
  ++list.count;
}

}  // namespace

void EmptyDisplayList(Reader& reader) {
  reader.display.count = 0;
  reader.display.usedLength = 0;
  reader.display.overflowReported = false;
}

void AddText(Reader& reader, const char* text) { AppendRun(reader, text, kTextRun); }

void AddTitle(Reader& reader, const char* text) { AppendRun(reader, text, kTitleRun); }

int16_t FlushWord(Reader& reader, char* word) {
  const int16_t length = static_cast<int16_t>(strlen(word));
  AddText(reader, word);
  word[0] = '\0';
  return length;
}

void LineBreak(Reader& reader) { AddMark(reader, kLineBreakMark); }

void ParagraphBreak(Reader& reader) { AddMark(reader, kParagraphBreakMark); }

void Tab(Reader& reader) { AddMark(reader, kTabMark); }

void BoldOn(Reader& reader) {
  reader.display.boldState = 1;
  AddMark(reader, kBoldOnMark);
}

void BoldOff(Reader& reader) {
  reader.display.boldState = 0;
  AddMark(reader, kBoldOffMark);
}

void SetAlignment(Reader& reader, int16_t alignment) {
  // The mark-up only writes 0, 1 and 2; any other operand leaves the
  // alignment as it is instead of making a record of an unrelated kind.
  if (alignment < 0 || alignment > 2) return;
  AddMark(reader, static_cast<uint32_t>(kAlignLeft + alignment));
}

void AddPicture(Reader& reader, int16_t picture, uint8_t inlineFlag) {
  // A picture number outside the table names no bitmap, so nothing is shown.
  if (picture < 0 || picture >= kPictureCount) return;
  DisplayRecord* record = NextRecord(reader);
  if (record == nullptr) return;
  record->kind = kPictureRecord;
  record->number = reader.book.pictures[picture].bitmapId;
  record->inlineFlag = inlineFlag;
  ++reader.display.count;
}

void AddPictureById(Reader& reader, uint16_t bitmapId) {
  DisplayRecord* record = NextRecord(reader);
  if (record == nullptr) return;
  record->kind = kPictureRecord;
  record->number = bitmapId;
  record->inlineFlag = 1;
  ++reader.display.count;
}

void AddControlRecord(Reader& reader, uint32_t kind, uint16_t index) {
  DisplayRecord* record = NextRecord(reader);
  if (record == nullptr) return;
  record->kind = kind;
  record->number = index;
  ++reader.display.count;
}

}  // namespace lanthorn
