#include "tools/bookc/source_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace bookc {

namespace {

void Report(Diagnostics& diagnostics, const std::string& file, std::string message) {
  diagnostics.Error({file, 0, 0}, std::move(message));
}

// Looks at path (following symbolic links) and reports what keeps it from
// being read as a source file. Returns false for a missing file without a
// report when missingIsQuiet.
bool StatRegularFile(const std::string& name, struct stat& info, bool missingIsQuiet, bool& missing,
                     Diagnostics& diagnostics) {
  missing = false;
  if (stat(name.c_str(), &info) != 0) {
    const int error = errno;
    struct stat link;
    // A symbolic link to nothing is there, only broken.
    if (error == ENOENT && lstat(name.c_str(), &link) != 0 && missingIsQuiet) {
      missing = true;
      return false;
    }
    Report(diagnostics, name, "cannot be read: " + SystemMessage(error));
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    Report(diagnostics, name,
           S_ISDIR(info.st_mode) ? "is a folder, not a file" : "is not a regular file");
    return false;
  }
  return true;
}

}  // namespace

std::string SystemMessage(int error) { return std::strerror(error); }

bool SourceFileSize(const std::filesystem::path& path, uintmax_t& size, Diagnostics& diagnostics) {
  struct stat info;
  bool missing = false;
  if (!StatRegularFile(path.string(), info, false, missing, diagnostics)) return false;
  size = static_cast<uintmax_t>(info.st_size);
  return true;
}

FileState ReadSourceFile(const std::filesystem::path& path, uintmax_t most,
                         const std::string& tooLarge, std::string& text, Diagnostics& diagnostics) {
  const std::string name = path.string();
  text.clear();
  struct stat info;
  bool missing = false;
  if (!StatRegularFile(name, info, true, missing, diagnostics)) {
    return missing ? FileState::kMissing : FileState::kFailed;
  }
  if (static_cast<uintmax_t>(info.st_size) > most) {
    Report(diagnostics, name, tooLarge);
    return FileState::kFailed;
  }
  // Not blocking: should the file have become a fifo since it was looked at,
  // reading it ends at once instead of waiting for a writer.
  const int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    Report(diagnostics, name, "cannot be read: " + SystemMessage(errno));
    return FileState::kFailed;
  }
  // Read at most one byte more than allowed: a file that grew (or a special
  // file that says it is empty) is still caught by its size.
  const size_t limit = static_cast<size_t>(most) + 1;
  text.resize(std::min(static_cast<size_t>(info.st_size), limit - 1) + 1);
  size_t length = 0;
  bool failed = false;
  int error = 0;
  while (length < limit) {
    if (length == text.size()) text.resize(std::min(limit, text.size() * 2));
    const ssize_t count = read(fd, text.data() + length, text.size() - length);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) {
      failed = true;
      error = errno;
      break;
    }
    if (count == 0) break;
    length += static_cast<size_t>(count);
  }
  close(fd);
  text.resize(length);
  if (failed) {
    Report(diagnostics, name, "cannot be read: " + SystemMessage(error));
    text.clear();
    return FileState::kFailed;
  }
  if (length > most) {
    Report(diagnostics, name, tooLarge);
    text.clear();
    return FileState::kFailed;
  }
  return FileState::kRead;
}

}  // namespace bookc
