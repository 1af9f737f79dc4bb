// The few file calls that differ between POSIX and Windows, kept here so that the rest of the
// file code is portable: exclusive creation, reads that never wait on a FIFO or a device,
// flushing to the disk, and the read-only test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace vela::detail {

// One open file of the platform; closed by the destructor.
class NativeFile {
 public:
  NativeFile() = default;
  ~NativeFile();
  NativeFile(const NativeFile&) = delete;
  NativeFile& operator=(const NativeFile&) = delete;

  // Creates a new file for writing; fails when anything has that name, a link included.
  // `exists` tells that failure apart from the others. A private file is readable by its
  // owner alone until its permissions are set (POSIX); otherwise the user's umask applies.
  bool CreateExclusive(const std::filesystem::path& path, bool is_private, bool& exists,
                       std::string& reason);
  // Opens an existing file for reading without waiting on a FIFO or a device.
  bool OpenForReading(const std::filesystem::path& path, std::string& reason);

  // For a file open for reading: whether it is a regular file, and its size.
  bool IsRegular() const;
  std::uintmax_t Size() const;

  bool WriteAll(const char* data, std::size_t size, std::string& reason);
  // Bytes read into data, 0 at the end, -1 on an error.
  long long Read(char* data, std::size_t size);
  // Waits until the written bytes are on the disk.
  bool FlushToDisk(std::string& reason);
  bool Close(std::string& reason);

 private:
  int fd_ = -1;
};

// Renames from over to, replacing it; false with the reason.
bool RenameOver(const std::filesystem::path& from, const std::filesystem::path& to,
                std::string& reason);

// Makes a rename inside folder durable where the platform needs that separately.
void FlushFolder(const std::filesystem::path& folder);

// Whether the current user may not replace the existing file at path: no write permission
// for the user, or no write bit (or the read-only attribute) at all.
bool IsReadOnly(const std::filesystem::path& path);

// The text of the platform's last error.
std::string LastErrorText();

}  // namespace vela::detail
