#include "page/display_list.h"

#include <cstring>

#include "book/limit_message.h"
#include "page/page.h"

namespace lanthorn {

namespace {

// The next free record, or null when the list is full. A full list is reported
// once per page; the record is dropped rather than written past the array.
DisplayRecord* NextRecord(Page& page) {
  DisplayList& list = page.display;
  if (list.count >= kDisplayRecordCapacity) {
    if (!list.overflowReported) {
      list.overflowReported = true;
      ShowErrorNumber(page.platform, "%d is Too many display records", kDisplayRecordCapacity);
    }
    return nullptr;
  }
  return &list.records[list.count];
}

void AddMark(Page& page, uint32_t kind) {
  DisplayRecord* record = NextRecord(page);
  if (record == nullptr) return;
  record->kind = kind;
  ++page.display.count;
}

void AppendRun(Page& page, const char* text, uint32_t kind) {
  DisplayList& list = page.display;
  const size_t length = strlen(text);
  if (list.usedLength + length >= kPageTextSize) {
    ShowError(page.platform, "Page buffer Overflow");
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
  DisplayRecord* record = NextRecord(page);
  if (record == nullptr) return;
  record->kind = kind;
  record->text = copy;
  list.usedLength = static_cast<int16_t>(list.usedLength + n + 1);
  ++list.count;
}

}  // namespace

void EmptyDisplayList(Page& page) {
  page.display.count = 0;
  page.display.usedLength = 0;
  page.display.overflowReported = false;
}

void AddText(Page& page, const char* text) { AppendRun(page, text, kTextRun); }

void AddTitle(Page& page, const char* text) { AppendRun(page, text, kTitleRun); }

int16_t FlushWord(Page& page, char* word) {
  const int16_t length = static_cast<int16_t>(strlen(word));
  AddText(page, word);
  word[0] = '\0';
  return length;
}

void LineBreak(Page& page) { AddMark(page, kLineBreakMark); }

void ParagraphBreak(Page& page) { AddMark(page, kParagraphBreakMark); }

void Tab(Page& page) { AddMark(page, kTabMark); }

void BoldOn(Page& page) {
  page.display.boldState = 1;
  AddMark(page, kBoldOnMark);
}

void BoldOff(Page& page) {
  page.display.boldState = 0;
  AddMark(page, kBoldOffMark);
}

void SetAlignment(Page& page, int16_t alignment) {
  // The mark-up only writes 0, 1 and 2; any other operand leaves the
  // alignment as it is instead of making a record of an unrelated kind.
  if (alignment < 0 || alignment > 2) return;
  AddMark(page, static_cast<uint32_t>(kAlignLeft + alignment));
}

void AddPicture(Page& page, int16_t picture, uint8_t inlineFlag) {
  // A picture number outside the table names no bitmap, so nothing is shown.
  if (picture < 0 || picture >= kPictureCount) return;
  DisplayRecord* record = NextRecord(page);
  if (record == nullptr) return;
  record->kind = kPictureRecord;
  record->number = page.story.book.pictures[picture].bitmapId;
  record->inlineFlag = inlineFlag;
  ++page.display.count;
}

void AddPictureById(Page& page, uint16_t bitmapId) {
  DisplayRecord* record = NextRecord(page);
  if (record == nullptr) return;
  record->kind = kPictureRecord;
  record->number = bitmapId;
  record->inlineFlag = 1;
  ++page.display.count;
}

void AddControlRecord(Page& page, uint32_t kind, uint16_t index) {
  DisplayRecord* record = NextRecord(page);
  if (record == nullptr) return;
  record->kind = kind;
  record->number = index;
  ++page.display.count;
}

}  // namespace lanthorn
