#include "platform/posix/posix_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lanthorn {

namespace {

// Handles are file descriptors plus one, so that no handle is null.
int Descriptor(FileHandle file) { return static_cast<int>(reinterpret_cast<intptr_t>(file)) - 1; }

}  // namespace

bool PosixFilePlatform::FileExists(const char* name) {
  struct stat info {};
  return stat(name, &info) == 0;
}

FileHandle PosixFilePlatform::OpenExclusive(const char* name) {
  const int fd = open(name, O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return nullptr;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return nullptr;
  }
  return reinterpret_cast<FileHandle>(static_cast<intptr_t>(fd) + 1);
}

int32_t PosixFilePlatform::ReadFile(FileHandle file, uint8_t* buffer, int32_t size) {
  const ssize_t got = read(Descriptor(file), buffer, static_cast<size_t>(size));
  return got < 0 ? 0 : static_cast<int32_t>(got);
}

bool PosixFilePlatform::SeekToStart(FileHandle file) { return lseek(Descriptor(file), 0, SEEK_SET) == 0; }

int32_t PosixFilePlatform::WriteFile(FileHandle file, const uint8_t* buffer, int32_t size) {
  int32_t total = 0;
  while (total < size) {
    const ssize_t put =
        write(Descriptor(file), buffer + total, static_cast<size_t>(size - total));
    if (put <= 0) break;
    total += static_cast<int32_t>(put);
  }
  return total;
}

void PosixFilePlatform::CloseFile(FileHandle file) { close(Descriptor(file)); }

}  // namespace lanthorn
