// The one message box through which every limit of the reader is reported.
// The reader carries on afterwards.
#pragma once

#include "platform/platform.h"

namespace lanthorn {

constexpr int kMessageBufferSize = 100;

// Shows a limit message in a box with no owner and the default caption; the
// text is cut to 99 characters.
void ShowError(Platform& platform, const char* text);

// ShowError with a message formatted from a printf-style format holding one %d.
void ShowErrorNumber(Platform& platform, const char* format, int number);

}  // namespace lanthorn
