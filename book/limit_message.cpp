#include "book/limit_message.h"

#include <cstdio>

namespace lanthorn {

void ShowError(Platform& platform, const char* text) {
  char message[kMessageBufferSize];
  snprintf(message, sizeof message, "%s", text);
  platform.ShowMessageBox(nullptr, message, nullptr, kMessageBoxOk);
}

void ShowErrorNumber(Platform& platform, const char* format, int number) {
  char message[kMessageBufferSize];
  snprintf(message, sizeof message, format, number);
  ShowError(platform, message);
}

}  // namespace lanthorn
