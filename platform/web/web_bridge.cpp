// The page script's functions, reached from the program. Each one hands its
// arguments to `Module.ui` (reader.js), turning C strings into JavaScript
// strings and back.
#include "platform/web/web_bridge.h"

#include <emscripten.h>

// clang-format off
EM_ASYNC_JS(int, lanthorn_message_box, (const char* text, const char* caption, int style), {
  return await Module.ui.messageBox(UTF8ToString(text), caption ? UTF8ToString(caption) : null, style);
});

EM_JS(int, lanthorn_font_height, (int pixelHeight, int bold), {
  return Module.ui.fontHeight(pixelHeight, bold);
});
EM_JS(int, lanthorn_default_width, (), { return Module.ui.defaultWidth(); });
EM_JS(int, lanthorn_measure_text, (int pixelHeight, int bold, const char* text), {
  return Module.ui.measureText(pixelHeight, bold, UTF8ToString(text));
});

EM_JS(int, lanthorn_bitmap_width, (int bitmapId), { return Module.ui.bitmapSize(bitmapId)[0]; });
EM_JS(int, lanthorn_bitmap_height, (int bitmapId), { return Module.ui.bitmapSize(bitmapId)[1]; });

EM_JS(void, lanthorn_begin_paint, (), { Module.ui.beginPaint(); });
EM_JS(void, lanthorn_draw_string, (int pixelHeight, int bold, int left, int top, int right,
                                   int bottom, const char* text, int flags), {
  Module.ui.drawString(pixelHeight, bold, left, top, right, bottom, UTF8ToString(text), flags);
});
EM_JS(void, lanthorn_frame_rect, (int left, int top, int right, int bottom), {
  Module.ui.frameRect(left, top, right, bottom);
});
EM_JS(void, lanthorn_invert_rect, (int left, int top, int right, int bottom), {
  Module.ui.invertRect(left, top, right, bottom);
});
EM_JS(void, lanthorn_draw_bitmap, (int bitmapId, int x, int y), {
  Module.ui.drawBitmap(bitmapId, x, y);
});
EM_JS(void, lanthorn_end_paint, (), { Module.ui.endPaint(); });

EM_JS(void, lanthorn_set_client_size, (int width, int height), {
  Module.ui.setClientSize(width, height);
});

EM_JS(void, lanthorn_create_control, (int handle, int kind, const char* text, int x, int y,
                                      int width, int height, int id, int bitmapId), {
  Module.ui.createControl(handle, kind, UTF8ToString(text), x, y, width, height, id, bitmapId);
});
EM_JS(void, lanthorn_destroy_control, (int handle), { Module.ui.destroyControl(handle); });
EM_JS(void, lanthorn_move_control, (int handle, int x, int y, int width, int height), {
  Module.ui.moveControl(handle, x, y, width, height);
});
EM_JS(void, lanthorn_scroll_controls, (int dy, int top, int bottom), {
  Module.ui.scrollControls(dy, top, bottom);
});
EM_JS(void, lanthorn_show_control, (int handle, int visible), {
  Module.ui.showControl(handle, visible);
});
EM_JS(void, lanthorn_enable_control, (int handle, int enabled), {
  Module.ui.enableControl(handle, enabled);
});
EM_JS(void, lanthorn_focus_control, (int handle), { Module.ui.focusControl(handle); });
EM_JS(int, lanthorn_focused_control, (), { return Module.ui.focusedControl(); });
EM_JS(void, lanthorn_set_face_bitmap, (int handle, int bitmapId), {
  Module.ui.setFaceBitmap(handle, bitmapId);
});
EM_JS(void, lanthorn_set_face_text, (int handle, int pixelHeight, int bold, const char* text), {
  Module.ui.setFaceText(handle, pixelHeight, bold, UTF8ToString(text));
});
EM_JS(void, lanthorn_set_text_limit, (int handle, int characters), {
  Module.ui.setTextLimit(handle, characters);
});
EM_JS(int, lanthorn_read_control_text, (int handle, char* buffer, int size), {
  return stringToUTF8(Module.ui.controlText(handle), buffer, size);
});
EM_JS(void, lanthorn_set_check, (int handle, int checked), {
  Module.ui.setCheck(handle, checked);
});
EM_JS(int, lanthorn_read_check, (int handle), { return Module.ui.readCheck(handle); });

EM_JS(void, lanthorn_set_scroll, (int maximum, int page, int position), {
  Module.ui.setScroll(maximum, page, position);
});

EM_JS(void, lanthorn_start_timer, (int id, int milliseconds), {
  Module.ui.startTimer(id, milliseconds);
});
EM_JS(void, lanthorn_stop_timer, (int id), { Module.ui.stopTimer(id); });

EM_JS(void, lanthorn_play_wave, (const char* name), { Module.ui.playWave(UTF8ToString(name)); });
EM_JS(void, lanthorn_stop_sound, (), { Module.ui.stopSound(); });

EM_JS(int, lanthorn_storage_exists, (const char* name), {
  return Module.ui.storageExists(UTF8ToString(name));
});
EM_JS(int, lanthorn_storage_read, (const char* name, uint8_t* buffer, int size), {
  const bytes = Module.ui.storageRead(UTF8ToString(name));
  const count = Math.min(bytes.length, size);
  HEAPU8.set(bytes.subarray(0, count), buffer);
  return count;
});
EM_JS(int, lanthorn_storage_write, (const char* name, const uint8_t* bytes, int size), {
  return Module.ui.storageWrite(UTF8ToString(name), HEAPU8.slice(bytes, bytes + size));
});

EM_JS(uint32_t, lanthorn_tick_count, (), { return Module.ui.tickCount() >>> 0; });
EM_JS(int, lanthorn_screen_height, (), { return Module.ui.screenHeight(); });
EM_JS(int, lanthorn_browser_version, (int part), { return Module.ui.browserVersion()[part]; });

EM_JS(void, lanthorn_set_title, (const char* title), { document.title = UTF8ToString(title); });
EM_JS(void, lanthorn_ended, (int exitCode), { Module.ui.ended(exitCode); });
// clang-format on
