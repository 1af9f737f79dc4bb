// Reading input files within bounds, and the one routine that saves every file the programs
// write.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace vela {

// A path from UTF-8 text, whatever the platform's narrow encoding.
std::filesystem::path PathFromUtf8(const std::string& utf8);
// UTF-8 text of a path, for messages.
std::string PathToUtf8(const std::filesystem::path& path);

// Far above any data or definitions file (a full data file is about 60 KB), far below what
// could exhaust memory.
inline constexpr std::uintmax_t kInputFileLimit = 16 * 1024 * 1024;

// What reading an input file came to.
enum class ReadOutcome {
  kRead,
  kCannotOpen,  // missing, no permission, no name
  kRefused,     // not a regular file, or above the limit; the reason says which
};

// Reads a whole regular file of at most `limit` bytes. A FIFO, a device or a folder is refused
// without waiting on it; `reason` then says what the path is ("it is a FIFO, not a regular
// file").
ReadOutcome ReadInputFile(const std::string& path, std::string& bytes, std::string& reason,
                          std::uintmax_t limit = kInputFileLimit);

// Reads a whole input file; false when it cannot be opened or is refused.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// Saves bytes to path so that the previous file survives any failure: a temporary file is
// created exclusively in the target's folder, written, flushed to the disk and renamed over
// the target, keeping the target's permissions. A symlink is saved through (the file it leads
// to is replaced, the link stays). A target that is not a regular file, or is read-only, is
// refused. On failure returns false with the reason and leaves no temporary file behind.
bool SaveFileSafely(const std::string& path, const std::string& bytes, std::string& reason);

}  // namespace vela
