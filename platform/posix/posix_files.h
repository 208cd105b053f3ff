// The save file on Linux and macOS, for the front ends that run there: opened
// for reading and writing, created when missing, and held with an exclusive
// lock that a second copy of the program cannot take.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace lanthorn {

class PosixFilePlatform : public Platform {
 public:
  bool FileExists(const char* name) override;
  // Only a plain file is opened: a pipe of that name would block the first
  // read forever, a device would not keep what is written.
  FileHandle OpenExclusive(const char* name) override;
  int32_t ReadFile(FileHandle file, uint8_t* buffer, int32_t size) override;
  bool SeekToStart(FileHandle file) override;
  bool SeekTo(FileHandle file, int32_t offset) override;
  int32_t WriteFile(FileHandle file, const uint8_t* buffer, int32_t size) override;
  bool FlushFile(FileHandle file) override;
  bool FileStillNamed(FileHandle file, const char* name) override;
  bool CloseFile(FileHandle file) override;

  // Why the last OpenExclusive failed, in the system's words ("Permission
  // denied"); empty after one that succeeded.
  const std::string& OpenFailure() const { return openFailure_; }

 private:
  std::string openFailure_;
};

}  // namespace lanthorn
