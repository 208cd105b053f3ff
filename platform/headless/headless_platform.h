// The headless front end: keeps everything in memory and records what the
// reader showed, so that tests and the command-line tools can read it.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace lanthorn {

struct RecordedMessage {
  std::string text;
  std::string caption;  // empty for the default caption
  bool hasCaption;
  uint32_t style;
};

class HeadlessPlatform : public Platform {
 public:
  int ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                     uint32_t style) override;

  // The reply that the next Yes/No box gets; without one the reply is No.
  void QueueReply(int reply) { replies_.push_back(reply); }

  const std::vector<RecordedMessage>& messages() const { return messages_; }
  void ClearMessages() { messages_.clear(); }

 private:
  std::vector<RecordedMessage> messages_;
  std::deque<int> replies_;
};

}  // namespace lanthorn
