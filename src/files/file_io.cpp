#include "files/file_io.h"

#include <fstream>
#include <iterator>
#include <system_error>

namespace vela {

std::filesystem::path PathFromUtf8(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  if (path.empty()) return false;
  std::filesystem::path p = PathFromUtf8(path);
  std::error_code ec;
  if (std::filesystem::is_directory(p, ec)) return false;
  std::ifstream in(p, std::ios::binary);
  if (!in) return false;
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return false;
  bytes = std::move(content);
  return true;
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string& error) {
  std::filesystem::path target = PathFromUtf8(path);
  std::error_code ec;
  if (path.empty() || std::filesystem::is_directory(target, ec)) {
    error = "it is not a file name";
    return false;
  }
  std::filesystem::path temp = target;
  temp += ".saving";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) {
      error = "the file cannot be created";
      return false;
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::filesystem::remove(temp, ec);
      error = "the file cannot be written";
      return false;
    }
  }
  // A replaced file keeps its permissions.
  std::filesystem::file_status previous = std::filesystem::status(target, ec);
  if (!ec && std::filesystem::exists(previous)) {
    std::filesystem::permissions(temp, previous.permissions(), ec);
  }
  std::filesystem::rename(temp, target, ec);
  if (ec) {
    error = "the file cannot be replaced (" + ec.message() + ")";
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    return false;
  }
  return true;
}

}  // namespace vela
