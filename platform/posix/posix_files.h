// The save file on Linux and macOS: opened for reading and writing, created
// when missing, and held with an exclusive lock that a second copy of the
// program cannot take.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace lanthorn::posix {

bool FileExists(const char* name);
FileHandle OpenExclusive(const char* name);
int32_t ReadFile(FileHandle file, uint8_t* buffer, int32_t size);
bool SeekToStart(FileHandle file);
int32_t WriteFile(FileHandle file, const uint8_t* buffer, int32_t size);
void CloseFile(FileHandle file);

}  // namespace lanthorn::posix
