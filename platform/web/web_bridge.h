// The page script's side of the web platform: each function hands over to
// the `ui` object of reader.js (see there for what each one does). Strings
// are UTF-8; handles are the web platform's control handles as numbers.
#pragma once

#include <cstdint>

extern "C" {

// A modal dialog with the text, caption (null: the page's title) and
// buttons of the style; the reader's reply. Suspends the program until the
// reader answers.
// (Declared under the import name that EM_ASYNC_JS gives its definition.)
int lanthorn_message_box(const char* text, const char* caption, int style)
    __attribute__((import_name("__asyncjs__lanthorn_message_box")));

// Text: the line height of the bundled face at a pixel size, and a text's
// width in it. Pixel size 0 is the default font (input boxes, screen
// buttons); its average character width comes from lanthorn_default_width.
int lanthorn_font_height(int pixelHeight, int bold);
int lanthorn_default_width();
int lanthorn_measure_text(int pixelHeight, int bold, const char* text);

// Bitmaps: width and height from the page's list of them; 0 when unknown.
int lanthorn_bitmap_width(int bitmapId);
int lanthorn_bitmap_height(int bitmapId);

// Painting the page canvas.
void lanthorn_begin_paint();
void lanthorn_draw_string(int pixelHeight, int bold, int left, int top, int right, int bottom,
                          const char* text, int flags);
void lanthorn_invert_rect(int left, int top, int right, int bottom);
void lanthorn_frame_rect(int left, int top, int right, int bottom);
void lanthorn_draw_bitmap(int bitmapId, int x, int y);
void lanthorn_end_paint();

// The client area's size in CSS pixels.
void lanthorn_set_client_size(int width, int height);

// Controls.
void lanthorn_create_control(int handle, int kind, const char* text, int x, int y, int width,
                             int height, int id, int bitmapId);
void lanthorn_destroy_control(int handle);
void lanthorn_move_control(int handle, int x, int y, int width, int height);
// Moves the page's controls inside the band [top, bottom) down by dy.
void lanthorn_scroll_controls(int dy, int top, int bottom);
void lanthorn_show_control(int handle, int visible);
void lanthorn_enable_control(int handle, int enabled);
void lanthorn_focus_control(int handle);
int lanthorn_focused_control();
void lanthorn_set_face_bitmap(int handle, int bitmapId);
void lanthorn_set_face_text(int handle, int pixelHeight, int bold, const char* text);
void lanthorn_set_text_limit(int handle, int characters);
// Copies the box's text as UTF-8, at most size - 1 bytes and a NUL.
int lanthorn_read_control_text(int handle, char* buffer, int size);
void lanthorn_set_check(int handle, int checked);
int lanthorn_read_check(int handle);

// The scroll bar: its range's upper end, the page size, and the position.
void lanthorn_set_scroll(int maximum, int page, int position);

// The one-shot timer.
void lanthorn_start_timer(int id, int milliseconds);
void lanthorn_stop_timer(int id);

// Sounds.
void lanthorn_play_wave(const char* name);
void lanthorn_stop_sound();

// The save file in localStorage: whether a record is kept under the name,
// reading it (at most size bytes; returns the count) and writing it (returns
// 1 when stored).
int lanthorn_storage_exists(const char* name);
int lanthorn_storage_read(const char* name, uint8_t* buffer, int size);
int lanthorn_storage_write(const char* name, const uint8_t* bytes, int size);

// The system.
uint32_t lanthorn_tick_count();
int lanthorn_screen_height();
int lanthorn_browser_version(int part);

// The page's title: the book's.
void lanthorn_set_title(const char* title);

// The program has ended (the Exit command or a fault): the page stops.
void lanthorn_ended(int exitCode);
}
