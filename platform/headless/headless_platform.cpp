#include "platform/headless/headless_platform.h"

namespace lanthorn {

int HeadlessPlatform::ShowMessageBox(WindowHandle /*owner*/, const char* text,
                                     const char* caption, uint32_t style) {
  messages_.push_back({text != nullptr ? text : "", caption != nullptr ? caption : "",
                       caption != nullptr, style});
  if (style != kMessageBoxYesNo) return kReplyOk;
  if (replies_.empty()) return kReplyNo;
  const int reply = replies_.front();
  replies_.pop_front();
  return reply;
}

}  // namespace lanthorn
