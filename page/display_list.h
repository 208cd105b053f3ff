// The display list: the page described as an ordered list of records (text
// runs, style and layout marks, pictures, controls) with the texts of the text
// runs kept in one page text buffer. The interpreter and the built-in screens
// fill it; the painter lays it out.
#pragma once

#include <cstdint>

namespace lanthorn {

struct Page;

constexpr int kDisplayRecordCapacity = 400;
constexpr int kPageTextSize = 2688;

enum RecordKind : uint32_t {
  kTextRun = 1,
  kAlignLeft = 2,
  kAlignCentre = 3,
  kAlignRight = 4,
  kBoldOnMark = 5,
  kBoldOffMark = 6,
  kParagraphBreakMark = 8,
  kLineBreakMark = 9,
  kTabMark = 10,
  kTitleRun = 12,
  kPictureRecord = 13,
  kEditBoxRecord = 14,
  kButtonRecord = 15,
};

// Only the fields of the record's kind are written; readers look at no other.
struct DisplayRecord {
  uint32_t kind;
  uint16_t number;     // bitmap id, edit-box index or button index
  uint8_t inlineFlag;  // pictures: 1 = text continues after it on the line
  const char* text;    // text and title runs: a string in the page text buffer
};

struct DisplayList {
  DisplayRecord records[kDisplayRecordCapacity];
  int16_t count;
  char pageText[kPageTextSize];
  int16_t usedLength;  // sum over text records of (length + 1)
  uint32_t boldState;  // 1 while bold is on; kept from page to page
  bool overflowReported;
};

void EmptyDisplayList(Page& page);

void AddText(Page& page, const char* text);
void AddTitle(Page& page, const char* text);
// Appends the NUL-terminated word buffer as a text run, empties it and
// returns the number of characters it held.
int16_t FlushWord(Page& page, char* word);
void LineBreak(Page& page);
void ParagraphBreak(Page& page);
void Tab(Page& page);
void BoldOn(Page& page);
void BoldOff(Page& page);
void SetAlignment(Page& page, int16_t alignment);
void AddPicture(Page& page, int16_t picture, uint8_t inlineFlag);
void AddPictureById(Page& page, uint16_t bitmapId);
// The record of an edit box (kind 14) or button (kind 15) with its table index.
void AddControlRecord(Page& page, uint32_t kind, uint16_t index);

}  // namespace lanthorn
