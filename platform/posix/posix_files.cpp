#include "platform/posix/posix_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <string>

namespace lanthorn {

namespace {

// Handles are file descriptors plus one, so that no handle is null.
int Descriptor(FileHandle file) { return static_cast<int>(reinterpret_cast<intptr_t>(file)) - 1; }

// A file just created is only sure to exist after a power loss once its
// folder has been put on the disk too.
void FlushFolderOf(const char* name) {
  const char* slash = strrchr(name, '/');
  const std::string path = slash == nullptr ? std::string(".")
                           : slash == name  ? std::string("/")
                                            : std::string(name, static_cast<size_t>(slash - name));
  const int folder = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return;
  fsync(folder);
  close(folder);
}

}  // namespace

bool PosixFilePlatform::FileExists(const char* name) {
  struct stat info {};
  return stat(name, &info) == 0;
}

FileHandle PosixFilePlatform::OpenExclusive(const char* name) {
  // Not blocking: opening a pipe or a device must not wait for a partner.
  constexpr int kFlags = O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
  bool created = true;
  int fd = open(name, kFlags | O_CREAT | O_EXCL, 0644);
  if (fd < 0 && errno == EEXIST) {
    created = false;
    fd = open(name, kFlags);
  }
  if (fd < 0) {
    openFailure_ = strerror(errno);
    return nullptr;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    openFailure_ = "It is not a plain file.";
    close(fd);
    return nullptr;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    openFailure_ = errno == EWOULDBLOCK ? "Another program has it open." : strerror(errno);
    close(fd);
    return nullptr;
  }
  openFailure_.clear();
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (created) FlushFolderOf(name);
  return reinterpret_cast<FileHandle>(static_cast<intptr_t>(fd) + 1);
}

int32_t PosixFilePlatform::ReadFile(FileHandle file, uint8_t* buffer, int32_t size) {
  const ssize_t got = read(Descriptor(file), buffer, static_cast<size_t>(size));
  return got < 0 ? 0 : static_cast<int32_t>(got);
}

bool PosixFilePlatform::SeekToStart(FileHandle file) { return SeekTo(file, 0); }

bool PosixFilePlatform::SeekTo(FileHandle file, int32_t offset) {
  return lseek(Descriptor(file), offset, SEEK_SET) == offset;
}

int32_t PosixFilePlatform::WriteFile(FileHandle file, const uint8_t* buffer, int32_t size) {
  int32_t total = 0;
  while (total < size) {
    const ssize_t put = write(Descriptor(file), buffer + total, static_cast<size_t>(size - total));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) break;
    total += static_cast<int32_t>(put);
  }
  return total;
}

bool PosixFilePlatform::FlushFile(FileHandle file) { return fsync(Descriptor(file)) == 0; }

bool PosixFilePlatform::FileStillNamed(FileHandle file, const char* name) {
  struct stat open {};
  struct stat named {};
  if (fstat(Descriptor(file), &open) != 0) return false;
  if (stat(name, &named) != 0) return false;
  return open.st_nlink > 0 && open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

bool PosixFilePlatform::CloseFile(FileHandle file) { return close(Descriptor(file)) == 0; }

}  // namespace lanthorn
