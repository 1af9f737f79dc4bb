// A pseudo-terminal for tests: the slave path for the port under test, the master for the peer.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace vela::testing {

class PtyPair {
 public:
  PtyPair() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
    termios t{};
    tcgetattr(master_, &t);
    cfmakeraw(&t);
    tcsetattr(master_, TCSANOW, &t);
    const char* name = ptsname(master_);
    if (name) slave_path_ = name;
  }
  ~PtyPair() { CloseMaster(); }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  bool ok() const { return master_ >= 0 && !slave_path_.empty(); }
  const std::string& slave_path() const { return slave_path_; }
  int master() const { return master_; }
  void CloseMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
  }

  // Reads what arrives on the master until `count` bytes came or the timeout passed.
  std::vector<uint8_t> ReadMaster(size_t count, std::chrono::milliseconds timeout) {
    std::vector<uint8_t> bytes;
    auto end = std::chrono::steady_clock::now() + timeout;
    while (bytes.size() < count) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          end - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      pollfd p{master_, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
      uint8_t buffer[256];
      ssize_t n = read(master_, buffer, std::min(sizeof buffer, count - bytes.size()));
      if (n <= 0) break;
      bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
  }
  void WriteMaster(const std::vector<uint8_t>& bytes) {
    if (write(master_, bytes.data(), bytes.size()) < 0) return;
  }

 private:
  int master_ = -1;
  std::string slave_path_;
};

}  // namespace vela::testing
