#include "files/file_io.h"

#include <random>
#include <system_error>

#include "files/native_file.h"

namespace vela {
namespace fs = std::filesystem;
namespace {

// What a path that is not a regular file is, in words.
std::string KindOf(const fs::file_status& status) {
  switch (status.type()) {
    case fs::file_type::directory:
      return "a folder";
    case fs::file_type::fifo:
      return "a FIFO";
    case fs::file_type::socket:
      return "a socket";
    case fs::file_type::block:
    case fs::file_type::character:
      return "a device";
    default:
      return "something else";
  }
}

std::string NotRegular(const fs::file_status& status) {
  return "it is " + KindOf(status) + ", not a regular file";
}

// The file a chain of symlinks leads to (the path itself when it is none). False when the
// chain does not end.
bool FollowLinks(const fs::path& path, fs::path& real) {
  real = path;
  std::error_code ec;
  for (int hops = 0; hops < 40; ++hops) {
    if (!fs::is_symlink(fs::symlink_status(real, ec))) return true;
    fs::path next = fs::read_symlink(real, ec);
    if (ec) return false;
    real = next.is_absolute() ? next : real.parent_path() / next;
  }
  return false;
}

std::string TempName(const fs::path& target, std::mt19937_64& random) {
  static const char digits[] = "0123456789abcdef";
  std::string name = "." + PathToUtf8(target.filename()) + ".";
  std::uint64_t bits = random();
  for (int i = 0; i < 12; ++i, bits >>= 4) name += digits[bits & 15];
  return name + ".saving";
}

}  // namespace

fs::path PathFromUtf8(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string PathToUtf8(const fs::path& path) {
  std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

ReadOutcome ReadInputFile(const std::string& path, std::string& bytes, std::string& reason,
                          std::uintmax_t limit) {
  if (path.empty()) {
    reason = "no file name";
    return ReadOutcome::kCannotOpen;
  }
  const fs::path p = PathFromUtf8(path);
  std::error_code ec;
  fs::file_status status = fs::status(p, ec);
  if (ec || !fs::exists(status)) {
    reason = "the file cannot be opened";
    return ReadOutcome::kCannotOpen;
  }
  // Checked before opening too, so that a device is never opened.
  if (!fs::is_regular_file(status)) {
    reason = NotRegular(status);
    return ReadOutcome::kRefused;
  }
  detail::NativeFile file;
  std::string why;
  if (!file.OpenForReading(p, why)) {
    reason = "the file cannot be opened (" + why + ")";
    return ReadOutcome::kCannotOpen;
  }
  // The name may have been replaced since it was looked at.
  if (!file.IsRegular()) {
    reason = "it is not a regular file";
    return ReadOutcome::kRefused;
  }
  const std::string too_large = "it is larger than " + std::to_string(limit / (1024 * 1024)) +
                                " MiB, far more than such a file holds";
  if (file.Size() > limit) {
    reason = too_large;
    return ReadOutcome::kRefused;
  }
  // The size is only a hint: a file that grows while it is read stops at the limit all the same.
  std::string content;
  content.reserve(static_cast<size_t>(file.Size()));
  char chunk[65536];
  for (;;) {
    long long n = file.Read(chunk, sizeof chunk);
    if (n < 0) {
      reason = "the file cannot be read (" + detail::LastErrorText() + ")";
      return ReadOutcome::kCannotOpen;
    }
    if (n == 0) break;
    if (content.size() + static_cast<std::uintmax_t>(n) > limit) {
      reason = too_large;
      return ReadOutcome::kRefused;
    }
    content.append(chunk, static_cast<size_t>(n));
  }
  bytes = std::move(content);
  return ReadOutcome::kRead;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  std::string reason;
  return ReadInputFile(path, bytes, reason) == ReadOutcome::kRead;
}

bool SaveFileSafely(const std::string& path, const std::string& bytes, std::string& reason) {
  if (path.empty()) {
    reason = "no file name";
    return false;
  }
  const fs::path given = PathFromUtf8(path);
  fs::path target;
  if (!FollowLinks(given, target)) {
    reason = "it is a link that leads nowhere (too many levels of links)";
    return false;
  }
  // Names the file a link leads to, since that is the file concerned.
  const std::string it = target == given ? "it" : "it leads to " + PathToUtf8(target) + ", which";
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(target, ec);
  const bool exists = !ec && fs::exists(status);
  if (exists && !fs::is_regular_file(status)) {
    reason = it + " is " + KindOf(status) + ", not a regular file";
    return false;
  }
  if (exists && detail::IsReadOnly(target)) {
    reason = it + " is read-only";
    return false;
  }
  fs::path folder = target.parent_path();
  if (folder.empty()) folder = ".";

  detail::NativeFile file;
  fs::path temp;
  std::mt19937_64 random(std::random_device{}());
  std::string why;
  for (int attempt = 0;; ++attempt) {
    temp = folder / PathFromUtf8(TempName(target, random));
    bool taken = false;
    // The copy of a file that exists gets that file's permissions once written; until then
    // nobody else may read it, as it may hold what the old file kept private.
    if (file.CreateExclusive(temp, exists, taken, why)) break;
    if (!taken || attempt >= 100) {
      reason = "no file can be created in " + PathToUtf8(folder) + " (" + why + ")";
      return false;
    }
  }
  auto fail = [&](std::string text) {
    std::string ignored;
    file.Close(ignored);
    std::error_code ignored_ec;
    fs::remove(temp, ignored_ec);
    reason = std::move(text);
    return false;
  };
  if (!file.WriteAll(bytes.data(), bytes.size(), why)) {
    return fail("the file cannot be written (" + why + ")");
  }
  if (!file.FlushToDisk(why)) return fail("the file cannot be written to the disk (" + why + ")");
  if (!file.Close(why)) return fail("the file cannot be written (" + why + ")");
  if (exists) {
    // A replaced file keeps its permissions.
    fs::permissions(temp, fs::status(target, ec).permissions(), ec);
  }
  if (!detail::RenameOver(temp, target, why)) {
    return fail("the file cannot be replaced (" + why + ")");
  }
  detail::FlushFolder(folder);
  return true;
}

}  // namespace vela
