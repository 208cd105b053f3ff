// The operations the reader needs of a windowing system. The core talks to the
// platform only through this interface; each front end (Win32, Qt, headless)
// implements it. Handles are opaque to the core.
#pragma once

#include <cstdint>

namespace lanthorn {

using WindowHandle = void*;

// Message box button sets and replies, with the values Win32 gives them.
enum MessageBoxStyle : uint32_t { kMessageBoxOk = 0, kMessageBoxYesNo = 4 };
enum MessageBoxReply : int { kReplyOk = 1, kReplyYes = 6, kReplyNo = 7 };

class Platform {
 public:
  virtual ~Platform() = default;

  // A modal message box. A null owner means no owner window; a null caption
  // means the system's default caption. Returns the reply.
  virtual int ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                             uint32_t style) = 0;
};

}  // namespace lanthorn
