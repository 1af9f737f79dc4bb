#include "files/native_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vela::detail {

std::string LastErrorText() {
  return std::strerror(errno);
}

#ifdef _WIN32

NativeFile::~NativeFile() {
  if (fd_ >= 0) _close(fd_);
}

bool NativeFile::CreateExclusive(const std::filesystem::path& path, bool /*is_private*/,
                                 bool& exists, std::string& reason) {
  // Files inherit the folder's access list; there is no umask to narrow.
  exists = false;
  int fd = -1;
  errno_t error =
      _wsopen_s(&fd, path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                _SH_DENYNO, _S_IREAD | _S_IWRITE);
  if (error != 0) {
    exists = error == EEXIST;
    reason = std::strerror(error);
    return false;
  }
  fd_ = fd;
  return true;
}

bool NativeFile::OpenForReading(const std::filesystem::path& path, std::string& reason) {
  int fd = -1;
  errno_t error =
      _wsopen_s(&fd, path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT, _SH_DENYNO, _S_IREAD);
  if (error != 0) {
    reason = std::strerror(error);
    return false;
  }
  fd_ = fd;
  return true;
}

bool NativeFile::IsRegular() const {
  struct _stat64 st {};
  return _fstat64(fd_, &st) == 0 && (st.st_mode & _S_IFMT) == _S_IFREG;
}

std::uintmax_t NativeFile::Size() const {
  struct _stat64 st {};
  return _fstat64(fd_, &st) == 0 ? static_cast<std::uintmax_t>(st.st_size) : 0;
}

bool NativeFile::WriteAll(const char* data, std::size_t size, std::string& reason) {
  while (size > 0) {
    unsigned chunk = size > (1u << 30) ? (1u << 30) : static_cast<unsigned>(size);
    int n = _write(fd_, data, chunk);
    if (n <= 0) {
      reason = LastErrorText();
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

long long NativeFile::Read(char* data, std::size_t size) {
  unsigned chunk = size > (1u << 30) ? (1u << 30) : static_cast<unsigned>(size);
  return _read(fd_, data, chunk);
}

bool NativeFile::FlushToDisk(std::string& reason) {
  // _commit is the C runtime's FlushFileBuffers.
  if (_commit(fd_) != 0) {
    reason = LastErrorText();
    return false;
  }
  return true;
}

bool NativeFile::Close(std::string& reason) {
  if (fd_ < 0) return true;
  int fd = fd_;
  fd_ = -1;
  if (_close(fd) != 0) {
    reason = LastErrorText();
    return false;
  }
  return true;
}

bool RenameOver(const std::filesystem::path& from, const std::filesystem::path& to,
                std::string& reason) {
  // Not every C++ library's rename replaces an existing file on Windows; this call does. While
  // another program replaces or reads the same target it fails for a moment with "access
  // denied" or a sharing violation, so it is tried again for up to a second.
  DWORD error = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    error = GetLastError();
    if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) break;
    Sleep(10);
  }
  reason = std::system_category().message(static_cast<int>(error));
  return false;
}

void FlushFolder(const std::filesystem::path&) {
  // A rename on NTFS is journalled; there is no folder handle to flush.
}

bool IsReadOnly(const std::filesystem::path& path) {
  std::error_code ec;
  auto perms = std::filesystem::status(path, ec).permissions();
  return !ec && (perms & std::filesystem::perms::owner_write) == std::filesystem::perms::none;
}

#else

NativeFile::~NativeFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool NativeFile::CreateExclusive(const std::filesystem::path& path, bool is_private, bool& exists,
                                 std::string& reason) {
  exists = false;
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                  is_private ? 0600 : 0666);
  if (fd < 0) {
    exists = errno == EEXIST;
    reason = LastErrorText();
    return false;
  }
  fd_ = fd;
  return true;
}

bool NativeFile::OpenForReading(const std::filesystem::path& path, std::string& reason) {
  // Without O_NONBLOCK, opening a FIFO waits for a writer for ever.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    reason = LastErrorText();
    return false;
  }
  fd_ = fd;
  return true;
}

bool NativeFile::IsRegular() const {
  struct stat st {};
  return ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode);
}

std::uintmax_t NativeFile::Size() const {
  struct stat st {};
  return ::fstat(fd_, &st) == 0 ? static_cast<std::uintmax_t>(st.st_size) : 0;
}

bool NativeFile::WriteAll(const char* data, std::size_t size, std::string& reason) {
  while (size > 0) {
    ssize_t n = ::write(fd_, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      reason = n == 0 ? "nothing could be written" : LastErrorText();
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

long long NativeFile::Read(char* data, std::size_t size) {
  for (;;) {
    ssize_t n = ::read(fd_, data, size);
    if (n < 0 && errno == EINTR) continue;
    return n;
  }
}

bool NativeFile::FlushToDisk(std::string& reason) {
  if (::fsync(fd_) != 0) {
    reason = LastErrorText();
    return false;
  }
  return true;
}

bool NativeFile::Close(std::string& reason) {
  if (fd_ < 0) return true;
  int fd = fd_;
  fd_ = -1;
  // A failed close can report a write that did not reach the file (NFS).
  if (::close(fd) != 0 && errno != EINTR) {
    reason = LastErrorText();
    return false;
  }
  return true;
}

bool RenameOver(const std::filesystem::path& from, const std::filesystem::path& to,
                std::string& reason) {
  if (::rename(from.c_str(), to.c_str()) != 0) {
    reason = LastErrorText();
    return false;
  }
  return true;
}

void FlushFolder(const std::filesystem::path& folder) {
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

bool IsReadOnly(const std::filesystem::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  // The superuser may write anything, so access() alone would let a 0444 file be replaced.
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return true;
  return ::access(path.c_str(), W_OK) != 0;
}

#endif

}  // namespace vela::detail
