// The page's controls: the table of choice and screen buttons and the table
// of text input boxes, each with its window handles. The painter destroys them
// before each page is built.
#pragma once

#include <cstdint>

#include "page/commands.h"
#include "platform/platform.h"

namespace lanthorn {

struct Page;

constexpr int kButtonCapacity = 100;
constexpr int kInputBoxCapacity = 100;
constexpr int kLabelSize = 200;

struct ButtonRecord {
  uint16_t width;
  uint16_t height;
  uint16_t y;
  int32_t x;
  uint16_t labelLength;
  uint8_t bold;
  uint16_t bitmapId;  // a picture button's face; 0 for a text button
  char label[kLabelSize];
  uint16_t id;  // its control id, for the keyboard and assistive technology
};

struct ButtonTable {
  ButtonRecord records[kButtonCapacity];
  ControlHandle handles[kButtonCapacity + 1];  // the slot after the last is null
  int16_t count;
};

struct InputBoxRecord {
  uint16_t width;
  uint16_t height;
  uint16_t y;
  int32_t x;
  uint16_t maximumLength;
};

struct InputBoxTable {
  InputBoxRecord records[kInputBoxCapacity];
  ControlHandle handles[kInputBoxCapacity + 1];
  int16_t count;
};

// Text and picture buttons. MakeTextButton serves the built-in screens too;
// the choice makers return the new button's id, or 0 when none was made.
void MakeTextButton(Page& page, const char* label, uint16_t id);
uint16_t MakeChoiceButton(Page& page, const char* label);
uint16_t MakePictureButton(Page& page, int32_t picture);

// A text input box accepting at most maximumLength characters; returns its
// id, or 0 when the table is full.
uint16_t MakeInputBox(Page& page, int32_t maximumLength);

// Destroys every control of the page and empties both tables.
void DestroyPageControls(Page& page);

}  // namespace lanthorn
