// Whole-file reads and atomic replacing writes for the data and definitions files.
#pragma once

#include <filesystem>
#include <string>

namespace vela {

// A path from UTF-8 text, whatever the platform's narrow encoding.
std::filesystem::path PathFromUtf8(const std::string& utf8);

// Reads the whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// Writes bytes to a temporary file beside the target and renames it over the target, so the
// previous file survives any failure. On failure returns false with the reason and leaves no
// temporary file behind.
bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string& error);

}  // namespace vela
