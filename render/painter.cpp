#include "render/painter.h"

#include <cstring>

#include "book/display_list.h"
#include "render/page_builder.h"
#include "render/pictures.h"
#include "shell/reader.h"

namespace lanthorn {

namespace {

constexpr uint32_t kLineFlags = kDrawVerticalCentre | kDrawSingleLine | kDrawNoPrefix;

uint32_t AlignmentFlag(int16_t alignment) {
  return alignment == 1 ? kDrawCentre : alignment == 2 ? kDrawRight : kDrawLeft;
}

FontHandle Font(const Reader& reader, bool bold) {
  return bold ? reader.render.boldFont : reader.render.normalFont;
}

class Layout {
 public:
  Layout(Reader& reader, Canvas& canvas)
      : reader_(reader), r_(reader.render), canvas_(canvas),
        client_(reader.platform.ClientRect()) {}

  void Run() {
    const DisplayList& list = reader_.display;
    for (int i = 0; i < list.count; ++i) Record(list.records[i]);
    if (r_.pendingCount > 0) {
      FlushLine(reader_, canvas_);
      NewLine(1);
    }
  }

 private:
  // Ends the line: the pending line is drawn and the pen moves to the start
  // of the next line, `gap` pixels below.
  void EndLine(int32_t gap) {
    if (r_.pendingCount > 0) FlushLine(reader_, canvas_);
    NewLine(gap);
  }

  void NewLine(int32_t gap) {
    r_.penY += r_.lineHeight + gap;
    r_.lineHeight = r_.baseLineHeight;
    r_.penX = r_.leftMargin;
  }

  // Appends a segment; a full pending line (10 segments) is ended first
  // rather than written past.
  LineSegment& Segment(uint32_t kind, uint16_t number, int32_t width) {
    if (r_.pendingCount >= kPendingSegmentCapacity) EndLine(0);
    LineSegment& s = r_.pending[r_.pendingCount++];
    s = {kind, number, static_cast<int16_t>(width), nullptr};
    return s;
  }

  void Record(const DisplayRecord& record) {
    switch (record.kind) {
      case kTextRun: Text(record.text); break;
      case kAlignLeft:
      case kAlignCentre:
      case kAlignRight: r_.alignment = static_cast<int16_t>(record.kind - kAlignLeft); break;
      case kBoldOnMark:
      case kBoldOffMark: Bold(record.kind); break;
      case kParagraphBreakMark:
        if (r_.pendingCount > 0) FlushLine(reader_, canvas_);
        r_.penY += r_.lineHeight;
        NewLine(0);
        break;
      case kLineBreakMark: EndLine(0); break;
      case kTabMark: TabStop(); break;
      case kTitleRun: Title(record.text); break;
      case kPictureRecord: Picture(record); break;
      case kEditBoxRecord: {
        if (record.number >= reader_.inputBoxes.count) break;
        const InputBoxRecord& box = reader_.inputBoxes.records[record.number];
        Control(kEditBoxRecord, record.number, box.width, box.height, 2);
        break;
      }
      case kButtonRecord: {
        if (record.number >= reader_.buttons.count) break;
        const ButtonRecord& button = reader_.buttons.records[record.number];
        Control(kButtonRecord, record.number, button.width, button.height,
                button.bitmapId == 0 ? 2 : 0);
        break;
      }
      default:
        break;
    }
  }

  void Bold(uint32_t kind) {
    const uint32_t on = kind == kBoldOnMark ? 1 : 0;
    r_.layoutBold = on;
    if (r_.pendingCount > 0) {
      Segment(kind, 0, 0);
    } else {
      r_.drawingBold = on;
    }
  }

  void TabStop() {
    const int32_t unit = r_.tabUnit > 0 ? r_.tabUnit : 1;
    const int32_t advance = unit - r_.penX % unit;
    if (r_.penX + advance < r_.rightMargin) {
      r_.penX += advance;
      Segment(kTabMark, 0, advance);
    }
  }

  // A copy of the fitted text in the segment text buffer, or null when the
  // buffer has no room for it.
  const char* KeepSegmentText(int32_t length) {
    if (r_.segmentTextUsed + length + 1 > kSegmentTextSize) return nullptr;
    char* copy = r_.segmentText + r_.segmentTextUsed;
    memcpy(copy, r_.fitBuffer, static_cast<size_t>(length));
    copy[length] = '\0';
    r_.segmentTextUsed = static_cast<int16_t>(r_.segmentTextUsed + length + 1);
    return copy;
  }

  void Text(const char* p) {
    int32_t remaining = static_cast<int32_t>(strlen(p));
    while (remaining > 0) {
      int32_t width = r_.rightMargin - r_.penX - client_.left;
      int32_t n = FitText(reader_, canvas_, r_.fitBuffer, p, &r_.lineHeight, &width, false);
      if (n == 0) {
        const bool lineEmpty = r_.penX == r_.leftMargin && r_.pendingCount == 0;
        if (!lineEmpty) {
          EndLine(1);
          continue;
        }
        // A word wider than the whole line: it is placed and clipped at the
        // right margin instead of waiting forever for a line it fits.
        n = ForcedWord(p, remaining, &width);
      }
      if (r_.penX == r_.leftMargin && n < remaining) {
        canvas_.DrawString(Font(reader_, r_.layoutBold != 0),
                         {r_.penX + client_.left, r_.penY, r_.rightMargin, r_.penY + r_.lineHeight},
                         r_.fitBuffer, n, AlignmentFlag(r_.alignment) | kLineFlags);
      } else {
        if (r_.pendingCount >= kPendingSegmentCapacity ||
            r_.segmentTextUsed + n + 1 > kSegmentTextSize) {
          if (r_.pendingCount > 0) {
            EndLine(1);
            continue;
          }
          if (n > kSegmentTextSize - 1) n = kSegmentTextSize - 1;
        }
        LineSegment& s = Segment(kTextRun, static_cast<uint16_t>(n), width);
        s.text = KeepSegmentText(n);
      }
      p += n;
      remaining -= n;
      if (remaining == 0) {
        r_.penX += width;
      } else {
        EndLine(1);
      }
    }
  }

  // The first word (through its blank) of p, measured, in the fit buffer.
  int32_t ForcedWord(const char* p, int32_t remaining, int32_t* width) {
    int32_t n = 0;
    while (n < remaining && n < kFitBufferSize - 1 && p[n] != ' ') ++n;
    if (n < remaining && n < kFitBufferSize - 1) ++n;  // its blank
    memcpy(r_.fitBuffer, p, static_cast<size_t>(n));
    r_.fitBuffer[n] = '\0';
    const Size size = canvas_.MeasureText(Font(reader_, r_.layoutBold != 0), r_.fitBuffer, n);
    *width = size.width;
    if (size.height > r_.lineHeight) r_.lineHeight = size.height;
    return n;
  }

  void Title(const char* text) {
    int32_t width = r_.rightMargin - client_.left;
    const int32_t n =
        FitText(reader_, canvas_, r_.fitBuffer, text, &r_.lineHeight, &width, true);
    const Rect band{client_.left, r_.penY, client_.right, r_.penY + r_.lineHeight};
    if (n > 0) {
      canvas_.DrawString(r_.boldFont, band, r_.fitBuffer, n,
                       kDrawCentre | kDrawSingleLine | kDrawNoPrefix);
    }
    if (reader_.navigation.scrollOffset == 0) canvas_.InvertRect(band);
    r_.penY += r_.lineHeight;
    r_.lineHeight = r_.baseLineHeight;
    r_.penX = r_.leftMargin;
  }

  void Picture(const DisplayRecord& record) {
    const Size size = MeasurePicture(reader_, record.number);
    if (size.width > r_.rightMargin - r_.penX && r_.penX > r_.leftMargin) EndLine(0);
    Segment(kPictureRecord, record.number, size.width);
    if (size.height > r_.lineHeight) r_.lineHeight = size.height;
    r_.penX += size.width;
    if (record.inlineFlag == 0) {
      FlushLine(reader_, canvas_);
      r_.penY += r_.lineHeight;
      r_.lineHeight = r_.baseLineHeight;
      r_.penX = r_.leftMargin;
    }
  }

  void Control(uint32_t kind, uint16_t index, int32_t width, int32_t height, int32_t gap) {
    if (width > r_.rightMargin - r_.penX) EndLine(0);
    Segment(kind, index, width);
    if (height > r_.lineHeight) r_.lineHeight = height;
    r_.penX += width + gap;
  }

  Reader& reader_;
  RenderState& r_;
  Canvas& canvas_;
  const Rect client_;
};

// Shows or hides a control for the line at pen y and moves it there when it
// stood elsewhere.
void PlaceControl(Reader& reader, ControlHandle handle, int32_t* storedX, uint16_t* storedY,
                  int32_t x, int32_t width, int32_t height) {
  RenderState& r = reader.render;
  if (handle == nullptr) return;
  reader.platform.ShowControl(handle, r.penY + height < r.pageArea.bottom);
  if (*storedX != x || *storedY != static_cast<uint16_t>(r.penY)) {
    *storedX = x;
    *storedY = static_cast<uint16_t>(r.penY);
    reader.platform.MoveControl(handle, x, r.penY, width, height, false);
    r.repaintRequest = 1;
  }
}

}  // namespace

int32_t FitText(Reader& reader, Canvas& canvas, char* out, const char* text, int32_t* lineHeight,
                int32_t* width, bool title) {
  const RenderState& r = reader.render;
  FontHandle font = Font(reader, title || r.layoutBold != 0);
  int32_t length = static_cast<int32_t>(strlen(text));
  if (length > kFitBufferSize - 1) length = kFitBufferSize - 1;  // the fit buffer's room
  int32_t best = 0;
  Size bestSize{};
  for (int32_t i = 1; i <= length; ++i) {
    out[i - 1] = text[i - 1];
    bool full = false;
    if (text[i - 1] == ' ') {
      const Size size = canvas.MeasureText(font, out, i);
      if (size.width < *width) {
        best = i;
        bestSize = size;
      } else {
        full = true;
      }
    }
    if (i == length) {
      if (best < length) {
        const Size size = canvas.MeasureText(font, out, length);
        if (size.width < *width) {
          best = length;
          bestSize = size;
        }
      }
      break;
    }
    if (full) break;
  }
  out[best] = '\0';
  if (best == 0) return 0;
  if (bestSize.height > *lineHeight) *lineHeight = bestSize.height;
  *width = static_cast<int16_t>(bestSize.width);
  return best;
}

void FlushLine(Reader& reader, Canvas& canvas) {
  RenderState& r = reader.render;
  const Rect client = reader.platform.ClientRect();
  int32_t total = 0;
  for (int i = 0; i < r.pendingCount; ++i) total += r.pending[i].width;
  int32_t x = r.leftMargin;
  if (r.alignment == 1) x = (r.rightMargin - total + client.left) / 2;
  if (r.alignment == 2) x = r.rightMargin - total;

  for (int i = 0; i < r.pendingCount; ++i) {
    const LineSegment& s = r.pending[i];
    switch (s.kind) {
      case kTextRun:
        if (s.text != nullptr) {
          canvas.DrawString(Font(reader, r.drawingBold != 0),
                          {x + client.left, r.penY, r.rightMargin, r.penY + r.lineHeight}, s.text,
                          s.number, kDrawLeft | kLineFlags);
        }
        x += s.width;
        break;
      case kBoldOnMark: r.drawingBold = 1; break;
      case kBoldOffMark: r.drawingBold = 0; break;
      case kTabMark: x += s.width; break;
      case kPictureRecord: x += DrawPicture(reader, canvas, s.number, x, r.penY); break;
      case kEditBoxRecord: {
        InputBoxRecord& box = reader.inputBoxes.records[s.number];
        ControlHandle handle = reader.inputBoxes.handles[s.number];
        PlaceControl(reader, handle, &box.x, &box.y, x, s.width, box.height);
        x += s.width + 2;
        if (handle != nullptr) reader.platform.FocusControl(handle);
        break;
      }
      case kButtonRecord: {
        ButtonRecord& button = reader.buttons.records[s.number];
        PlaceControl(reader, reader.buttons.handles[s.number], &button.x, &button.y, x, s.width,
                     button.height);
        x += s.width + (button.bitmapId == 0 ? 2 : 0);
        break;
      }
      default:
        break;
    }
  }
  r.penX = x;
  r.pendingCount = 0;
  r.segmentTextUsed = 0;
}

void PaintPage(Reader& reader, Canvas& canvas) {
  NavigationState& n = reader.navigation;
  RenderState& r = reader.render;
  if (n.rebuild) RebuildPage(reader);

  r.penY = n.scrollOffset;
  r.rightMargin = r.pageArea.right - kLeftMargin;
  n.rebuild = 0;
  r.leftMargin = kLeftMargin;
  r.penX = kLeftMargin;

  Layout(reader, canvas).Run();

  const int32_t contentHeight = r.penY - n.scrollOffset;
  if (contentHeight != r.lastContentHeight || r.scrollPageSize != r.lastScrollPageSize) {
    r.lastContentHeight = contentHeight;
    r.lastScrollPageSize = r.scrollPageSize;
    if (n.scrollOffset != 0) r.repaintRequest = 1;
    const int32_t page = r.scrollPageSize > 0 ? r.scrollPageSize : 1;
    r.pageHeight = contentHeight > r.scrollPageSize
                       ? (contentHeight + page - 1) / page * page
                       : r.scrollPageSize - 1;
    n.scrollOffset = 0;
    reader.platform.SetScrollRange(r.pageHeight, r.scrollPageSize);
    reader.platform.SetScrollPosition(0);
  }

  if (r.repaintRequest) {
    r.repaintRequest = 0;
    reader.platform.RepaintNow();
  }
}

}  // namespace lanthorn
