#include "tools/trace/dump.h"

#include <vector>

#include "render/icon_bar.h"
#include "tools/bookc/cp1252.h"
#include "tools/trace/json_writer.h"

namespace trace {

namespace {

using namespace lanthorn;

std::string Text(const char* cp1252) {
  return bookc::Cp1252ToUtf8(cp1252 != nullptr ? cp1252 : "");
}

void RectArray(JsonWriter& j, const Rect& r) {
  j.BeginArray();
  j.Number(r.left);
  j.Number(r.top);
  j.Number(r.right);
  j.Number(r.bottom);
  j.EndArray();
}

void Target(JsonWriter& j, const lanthorn::Target& t) {
  j.BeginObject();
  j.Key("kind");
  j.String(t.kind == kParagraphTarget ? "paragraph" : t.kind == kScreenTarget ? "screen" : "none");
  j.Key("value");
  j.Number(t.value);
  j.EndObject();
}

const char* KindName(uint32_t kind) {
  switch (kind) {
    case kTextRun: return "text";
    case kAlignLeft: return "alignLeft";
    case kAlignCentre: return "alignCentre";
    case kAlignRight: return "alignRight";
    case kBoldOnMark: return "boldOn";
    case kBoldOffMark: return "boldOff";
    case kParagraphBreakMark: return "paragraphBreak";
    case kLineBreakMark: return "lineBreak";
    case kTabMark: return "tab";
    case kTitleRun: return "title";
    case kPictureRecord: return "picture";
    case kEditBoxRecord: return "editBox";
    case kButtonRecord: return "button";
    default: return "other";
  }
}

void Records(JsonWriter& j, const Reader& r) {
  j.BeginArray();
  for (int i = 0; i < r.page.display.count; ++i) {
    const DisplayRecord& rec = r.page.display.records[i];
    j.BeginObject();
    j.Key("kind");
    j.String(KindName(rec.kind));
    if (rec.kind == kTextRun || rec.kind == kTitleRun) {
      j.Key("text");
      j.String(Text(rec.text));
    } else if (rec.kind == kPictureRecord) {
      j.Key("number");
      j.Number(rec.number);
      j.Key("inline");
      j.Bool(rec.inlineFlag != 0);
    } else if (rec.kind == kEditBoxRecord || rec.kind == kButtonRecord) {
      j.Key("number");
      j.Number(rec.number);
    }
    j.EndObject();
  }
  j.EndArray();
}

void Hotwords(JsonWriter& j, const Reader& r) {
  j.BeginArray();
  for (int i = 0; i < r.page.hotwords.count && i < 100; ++i) {
    const HotwordRecord& h = r.page.hotwords.records[i];
    j.BeginObject();
    j.Key("kind");
    j.String(std::string(1, h.kind));
    j.Key("index");
    j.Number(h.index);
    j.Key("value");
    j.Number(h.value);
    j.Key("band2");
    j.Number(h.band2);
    j.Key("band3");
    j.Number(h.band3);
    j.Key("answers");
    j.BeginArray();
    j.String(Text(h.answer1));
    j.String(Text(h.answer2));
    j.String(Text(h.answer3));
    j.EndArray();
    j.Key("controlId");
    j.Number(h.controlId);
    j.Key("targets");
    j.BeginArray();
    for (uint16_t t : {h.target0, h.target1, h.target2, h.target3}) j.Number(t);
    j.EndArray();
    j.EndObject();
  }
  j.EndArray();
}

void ControlFields(JsonWriter& j, const HeadlessControl* c) {
  if (c == nullptr) return;
  j.Key("position");
  j.BeginArray();
  j.Number(c->x);
  j.Number(c->y);
  j.EndArray();
  j.Key("size");
  j.BeginArray();
  j.Number(c->width);
  j.Number(c->height);
  j.EndArray();
  j.Key("visible");
  j.Bool(c->visible);
  j.Key("enabled");
  j.Bool(c->enabled);
}

void Buttons(JsonWriter& j, Reader& r, HeadlessPlatform& p) {
  j.BeginArray();
  for (int i = 0; i < r.page.buttons.count; ++i) {
    const ButtonRecord& b = r.page.buttons.records[i];
    const HeadlessControl* c = nullptr;
    for (const auto& [handle, control] : p.controls()) {
      if (reinterpret_cast<ControlHandle>(handle) == r.page.buttons.handles[i]) c = &control;
    }
    j.BeginObject();
    j.Key("id");
    j.Number(c != nullptr ? c->id : 0);
    j.Key("label");
    j.String(c != nullptr && c->kind != ControlKind::kChoiceButton ? c->text : Text(b.label));
    if (b.bitmapId != 0) {
      j.Key("bitmap");
      j.Number(b.bitmapId);
    }
    ControlFields(j, c);
    j.Key("bold");
    j.Bool(b.bold != 0);
    if (c != nullptr && c->kind == ControlKind::kCheckBox) {
      j.Key("checked");
      j.Bool(c->checked);
    }
    j.EndObject();
  }
  j.EndArray();
}

void InputBoxes(JsonWriter& j, Reader& r, HeadlessPlatform& p) {
  j.BeginArray();
  for (int i = 0; i < r.page.inputBoxes.count; ++i) {
    const HeadlessControl* c = p.FindControl(static_cast<uint16_t>(kFirstInputBoxId + i));
    j.BeginObject();
    j.Key("id");
    j.Number(kFirstInputBoxId + i);
    ControlFields(j, c);
    j.Key("maximumLength");
    j.Number(r.page.inputBoxes.records[i].maximumLength);
    j.Key("focused");
    j.Bool(c != nullptr && p.focus() == p.HandleOf(c->id));
    j.EndObject();
  }
  j.EndArray();
}

void Drawn(JsonWriter& j, const PaintRecord& paint) {
  j.BeginObject();
  j.Key("texts");
  j.BeginArray();
  for (const DrawnText& t : paint.texts) {
    j.BeginObject();
    j.Key("rect");
    RectArray(j, t.rect);
    j.Key("align");
    j.String((t.flags & kDrawCentre) ? "centre" : (t.flags & kDrawRight) ? "right" : "left");
    j.Key("bold");
    j.Bool(t.bold);
    j.Key("text");
    j.String(bookc::Cp1252ToUtf8(t.text));
    j.EndObject();
  }
  j.EndArray();
  j.Key("inverted");
  j.BeginArray();
  for (const Rect& r : paint.inverted) RectArray(j, r);
  j.EndArray();
  j.Key("bitmaps");
  j.BeginArray();
  for (const DrawnBitmap& b : paint.bitmaps) {
    j.BeginObject();
    j.Key("id");
    j.Number(b.bitmapId);
    j.Key("position");
    j.BeginArray();
    j.Number(b.x);
    j.Number(b.y);
    j.EndArray();
    j.EndObject();
  }
  j.EndArray();
  j.EndObject();
}

}  // namespace

const std::set<std::string>& DumpFields() {
  static const std::set<std::string> fields = {
      "shownPage", "readingPosition", "storyMode", "screen",        "records", "hotwords",
      "buttons",   "inputBoxes",      "items",     "restartPoints", "next",    "previous",
      "iconBar",   "scroll",          "soundFlag", "drawn",         "focus",   "messages",
      "sounds",    "running",         "exitCode"};
  return fields;
}

std::string Dump(HeadlessApp& app, const std::set<std::string>& fields) {
  Reader& r = app.reader();
  HeadlessPlatform& p = app.platform();
  const NavigationState& n = r.navigation;
  const auto want = [&fields](const char* name) {
    return fields.empty() || fields.count(name) > 0;
  };
  JsonWriter j;
  j.BeginObject();
  if (want("shownPage")) {
    j.Key("shownPage");
    j.Number(n.shownPage);
  }
  if (want("readingPosition")) {
    j.Key("readingPosition");
    j.Number(n.readingPosition);
  }
  if (want("storyMode")) {
    j.Key("storyMode");
    j.Number(n.storyMode);
  }
  if (want("screen")) {
    j.Key("screen");
    j.Number(n.screenNumber);
  }
  if (want("records")) {
    j.Key("records");
    Records(j, r);
  }
  if (want("hotwords")) {
    j.Key("hotwords");
    Hotwords(j, r);
  }
  if (want("buttons")) {
    j.Key("buttons");
    Buttons(j, r, p);
  }
  if (want("inputBoxes")) {
    j.Key("inputBoxes");
    InputBoxes(j, r, p);
  }
  if (want("items")) {
    j.Key("items");
    j.BeginArray();
    for (const ItemState& item : r.story.state.items) {
      j.BeginArray();
      j.Number(item.held);
      j.Number(item.value);
      j.EndArray();
    }
    j.EndArray();
  }
  if (want("restartPoints")) {
    j.Key("restartPoints");
    j.BeginArray();
    for (const RestartPointState& point : r.story.state.restartPoints) {
      j.BeginArray();
      j.Number(point.reached);
      j.Number(point.paragraph);
      j.EndArray();
    }
    j.EndArray();
  }
  if (want("next")) {
    j.Key("next");
    Target(j, r.page.facts.next);
  }
  if (want("previous")) {
    j.Key("previous");
    Target(j, r.page.facts.previous);
  }
  if (want("iconBar")) {
    j.Key("iconBar");
    j.BeginArray();
    for (ControlHandle button : r.render.iconBar) {
      const HeadlessControl* c = nullptr;
      for (const auto& [handle, control] : p.controls()) {
        if (reinterpret_cast<ControlHandle>(handle) == button) c = &control;
      }
      j.Bool(c != nullptr && c->enabled);
    }
    j.EndArray();
  }
  if (want("scroll")) {
    const ScrollInfo info = p.GetScrollInfo();
    j.Key("scroll");
    j.BeginObject();
    j.Key("offset");
    j.Number(r.render.scrollOffset);
    j.Key("position");
    j.Number(info.position);
    j.Key("pageHeight");
    j.Number(r.render.pageHeight);
    j.Key("pageSize");
    j.Number(r.render.scrollPageSize);
    j.EndObject();
  }
  if (want("soundFlag")) {
    j.Key("soundFlag");
    j.Number(r.settings.sound);
  }
  if (want("drawn")) {
    j.Key("drawn");
    Drawn(j, p.lastPaint());
  }
  if (want("focus")) {
    // The id of the control that has the keyboard focus; 0 for the window.
    const auto focused = p.controls().find(reinterpret_cast<uintptr_t>(p.focus()));
    j.Key("focus");
    j.Number(focused != p.controls().end() ? focused->second.id : 0);
  }
  if (want("messages")) {
    j.Key("messages");
    j.BeginArray();
    for (const RecordedMessage& m : p.messages()) {
      j.BeginObject();
      j.Key("text");
      j.String(bookc::Cp1252ToUtf8(m.text));
      j.Key("caption");
      j.String(bookc::Cp1252ToUtf8(m.caption));
      j.EndObject();
    }
    j.EndArray();
  }
  if (want("sounds")) {
    j.Key("sounds");
    j.BeginArray();
    for (const std::string& s : p.sounds()) j.String(s.empty() ? "(stop)" : s);
    j.EndArray();
  }
  if (want("running")) {
    j.Key("running");
    j.Bool(app.running());
  }
  if (want("exitCode")) {
    j.Key("exitCode");
    j.Number(app.exitCode());
  }
  j.EndObject();
  p.ClearMessages();
  p.ClearSounds();
  return j.text();
}

}  // namespace trace
