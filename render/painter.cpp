#include "render/painter.h"

#include <cstring>

#include "page/page.h"
#include "render/pictures.h"

namespace lanthorn {

namespace {

constexpr uint32_t kLineFlags = kDrawVerticalCentre | kDrawSingleLine | kDrawNoPrefix;

uint32_t AlignmentFlag(int16_t alignment) {
  return alignment == 1 ? kDrawCentre : alignment == 2 ? kDrawRight : kDrawLeft;
}

FontHandle Font(const PageGeometry& geometry, bool bold) {
  return bold ? geometry.boldFont : geometry.normalFont;
}

class Layout {
 public:
  Layout(Page& page, RenderState& render, Canvas& canvas)
      : page_(page),
        r_(render),
        g_(page.geometry),
        canvas_(canvas),
        client_(page.platform.ClientRect()) {}

  void Run() {
    const DisplayList& list = page_.display;
    for (int i = 0; i < list.count; ++i) Record(list.records[i]);
    if (r_.pendingCount > 0) {
      FlushLine(page_, r_, canvas_);
      NewLine(1);
    }
  }

 private:
  // Ends the line: the pending line is drawn and the pen moves to the start
  // of the next line, `gap` pixels below.
  void EndLine(int32_t gap) {
    if (r_.pendingCount > 0) FlushLine(page_, r_, canvas_);
    NewLine(gap);
  }

  void NewLine(int32_t gap) {
    g_.penY += g_.lineHeight + gap;
    g_.lineHeight = g_.baseLineHeight;
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
        if (r_.pendingCount > 0) FlushLine(page_, r_, canvas_);
        g_.penY += g_.lineHeight;
        NewLine(0);
        break;
      case kLineBreakMark: EndLine(0); break;
      case kTabMark: TabStop(); break;
      case kTitleRun: Title(record.text); break;
      case kPictureRecord: Picture(record); break;
      case kEditBoxRecord: {
        if (record.number >= page_.inputBoxes.count) break;
        const InputBoxRecord& box = page_.inputBoxes.records[record.number];
        Control(kEditBoxRecord, record.number, box.width, box.height, 2);
        break;
      }
      case kButtonRecord: {
        if (record.number >= page_.buttons.count) break;
        const ButtonRecord& button = page_.buttons.records[record.number];
        Control(kButtonRecord, record.number, button.width, button.height,
                button.bitmapId == 0 ? 2 : 0);
        break;
      }
      default: break;
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
    if (r_.penX + advance < g_.rightMargin) {
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
      int32_t width = g_.rightMargin - r_.penX - client_.left;
      int32_t n = FitText(page_, r_, canvas_, r_.fitBuffer, p, &g_.lineHeight, &width, false);
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
        canvas_.DrawString(
            Font(g_, r_.layoutBold != 0),
            {r_.penX + client_.left, g_.penY, g_.rightMargin, g_.penY + g_.lineHeight},
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
    const Size size = canvas_.MeasureText(Font(g_, r_.layoutBold != 0), r_.fitBuffer, n);
    *width = size.width;
    if (size.height > g_.lineHeight) g_.lineHeight = size.height;
    return n;
  }

  void Title(const char* text) {
    int32_t width = g_.rightMargin - client_.left;
    const int32_t n = FitText(page_, r_, canvas_, r_.fitBuffer, text, &g_.lineHeight, &width, true);
    const Rect band{client_.left, g_.penY, client_.right, g_.penY + g_.lineHeight};
    if (n > 0) {
      canvas_.DrawString(g_.boldFont, band, r_.fitBuffer, n,
                         kDrawCentre | kDrawSingleLine | kDrawNoPrefix);
    }
    if (r_.scrollOffset == 0) canvas_.InvertRect(band);
    g_.penY += g_.lineHeight;
    g_.lineHeight = g_.baseLineHeight;
    r_.penX = r_.leftMargin;
  }

  void Picture(const DisplayRecord& record) {
    const Size size = MeasurePicture(page_, record.number);
    if (size.width > g_.rightMargin - r_.penX && r_.penX > r_.leftMargin) EndLine(0);
    Segment(kPictureRecord, record.number, size.width);
    if (size.height > g_.lineHeight) g_.lineHeight = size.height;
    r_.penX += size.width;
    if (record.inlineFlag == 0) {
      FlushLine(page_, r_, canvas_);
      g_.penY += g_.lineHeight;
      g_.lineHeight = g_.baseLineHeight;
      r_.penX = r_.leftMargin;
    }
  }

  void Control(uint32_t kind, uint16_t index, int32_t width, int32_t height, int32_t gap) {
    if (width > g_.rightMargin - r_.penX) EndLine(0);
    Segment(kind, index, width);
    if (height > g_.lineHeight) g_.lineHeight = height;
    r_.penX += width + gap;
  }

  Page& page_;
  RenderState& r_;
  PageGeometry& g_;
  Canvas& canvas_;
  const Rect client_;
};

// Shows or hides a control for the line at pen y and moves it there when it
// stood elsewhere.
void PlaceControl(Page& page, RenderState& render, ControlHandle handle, int32_t* storedX,
                  uint16_t* storedY, int32_t x, int32_t width, int32_t height) {
  const int32_t penY = page.geometry.penY;
  if (handle == nullptr) return;
  page.platform.ShowControl(handle, penY + height < render.pageArea.bottom);
  if (*storedX != x || *storedY != static_cast<uint16_t>(penY)) {
    *storedX = x;
    *storedY = static_cast<uint16_t>(penY);
    page.platform.MoveControl(handle, x, penY, width, height, false);
    render.repaintRequest = 1;
  }
}

}  // namespace

int32_t FitText(const Page& page, const RenderState& render, Canvas& canvas, char* out,
                const char* text, int32_t* lineHeight, int32_t* width, bool title) {
  FontHandle font = Font(page.geometry, title || render.layoutBold != 0);
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

void FlushLine(Page& page, RenderState& r, Canvas& canvas) {
  const PageGeometry& g = page.geometry;
  const Rect client = page.platform.ClientRect();
  int32_t total = 0;
  for (int i = 0; i < r.pendingCount; ++i) total += r.pending[i].width;
  int32_t x = r.leftMargin;
  if (r.alignment == 1) x = (g.rightMargin - total + client.left) / 2;
  if (r.alignment == 2) x = g.rightMargin - total;

  for (int i = 0; i < r.pendingCount; ++i) {
    const LineSegment& s = r.pending[i];
    switch (s.kind) {
      case kTextRun:
        if (s.text != nullptr) {
          canvas.DrawString(Font(g, r.drawingBold != 0),
                            {x + client.left, g.penY, g.rightMargin, g.penY + g.lineHeight}, s.text,
                            s.number, kDrawLeft | kLineFlags);
        }
        x += s.width;
        break;
      case kBoldOnMark: r.drawingBold = 1; break;
      case kBoldOffMark: r.drawingBold = 0; break;
      case kTabMark: x += s.width; break;
      case kPictureRecord: x += DrawPicture(page, canvas, s.number, x, g.penY); break;
      case kEditBoxRecord: {
        InputBoxRecord& box = page.inputBoxes.records[s.number];
        ControlHandle handle = page.inputBoxes.handles[s.number];
        PlaceControl(page, r, handle, &box.x, &box.y, x, s.width, box.height);
        x += s.width + 2;
        if (handle != nullptr) page.platform.FocusControl(handle);
        break;
      }
      case kButtonRecord: {
        ButtonRecord& button = page.buttons.records[s.number];
        PlaceControl(page, r, page.buttons.handles[s.number], &button.x, &button.y, x, s.width,
                     button.height);
        x += s.width + (button.bitmapId == 0 ? 2 : 0);
        break;
      }
      default: break;
    }
  }
  r.penX = x;
  r.pendingCount = 0;
  r.segmentTextUsed = 0;
}

void PaintPage(Page& page, RenderState& r, Canvas& canvas) {
  PageGeometry& g = page.geometry;
  g.penY = r.scrollOffset;
  g.rightMargin = r.pageArea.right - kLeftMargin;
  r.leftMargin = kLeftMargin;
  r.penX = kLeftMargin;

  Layout(page, r, canvas).Run();

  const int32_t contentHeight = g.penY - r.scrollOffset;
  if (contentHeight != r.lastContentHeight || r.scrollPageSize != r.lastScrollPageSize) {
    r.lastContentHeight = contentHeight;
    r.lastScrollPageSize = r.scrollPageSize;
    if (r.scrollOffset != 0) r.repaintRequest = 1;
    const int32_t pageSize = r.scrollPageSize > 0 ? r.scrollPageSize : 1;
    r.pageHeight = contentHeight > r.scrollPageSize
                       ? (contentHeight + pageSize - 1) / pageSize * pageSize
                       : r.scrollPageSize - 1;
    r.scrollOffset = 0;
    page.platform.SetScrollRange(r.pageHeight, r.scrollPageSize);
    page.platform.SetScrollPosition(0);
  }

  if (r.repaintRequest) {
    r.repaintRequest = 0;
    page.platform.RepaintNow();
  }
}

}  // namespace lanthorn
