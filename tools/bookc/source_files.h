// Reading the files of a book's source: each one bounded in size before it is
// read, never a fifo or a device, a symbolic link loop or an unreadable file
// reported instead of taken for an empty or missing file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "tools/bookc/diagnostics.h"

namespace bookc {

// A metadata file (book.toml, items.toml) of more bytes than this is not a
// book's: the real ones are a few kilobytes.
constexpr uintmax_t kMostTomlBytes = 256 * 1024;
// All paragraph files together. The reader's 361 paragraphs hold at most
// 361 x 2,287 = 825,607 characters when joined, and the joined text of a
// paragraph is hardly ever shorter than its source; a source of more than
// this cannot be a book, and reading it costs a few hundred bytes of memory
// a byte.
constexpr uintmax_t kMostParagraphSourceBytes = 1024 * 1024;

enum class FileState { kRead, kMissing, kFailed };

// Reads the regular file at path, following a symbolic link but not a loop
// of them, when it holds at most `most` bytes. A missing file is kMissing
// and reported by the caller; every other failure (unreadable, not a regular
// file) is reported here as "path: error: ..." and is kFailed, and so is a
// file of more than `most` bytes, reported with the message tooLarge.
FileState ReadSourceFile(const std::filesystem::path& path, uintmax_t most,
                         const std::string& tooLarge, std::string& text, Diagnostics& diagnostics);

// The size of the regular file at path, or an error reported when it is not
// one or cannot be looked at.
bool SourceFileSize(const std::filesystem::path& path, uintmax_t& size, Diagnostics& diagnostics);

// "Permission denied" and the like, for an errno value.
std::string SystemMessage(int error);

}  // namespace bookc
