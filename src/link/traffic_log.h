// The communication log: every frame sent to and read from the board or the command station,
// as "> ", "< ", ">> " and "<< " lines of bracketed hex bytes.
#pragma once

#include <functional>
#include <mutex>
#include <string>

namespace vela {

class TrafficLog {
 public:
  virtual ~TrafficLog() = default;
  virtual void AppendToLog(const std::string& text) = 0;
};

// The log text kept in memory, bounded: when it grows past its limit the oldest whole lines are
// dropped, so a monitor left running for days cannot eat the memory. Safe to read from another
// thread than the one that appends.
class MemoryTrafficLog final : public TrafficLog {
 public:
  static constexpr size_t kDefaultLimit = 1 << 20;  // 1 MiB of text, about 30000 lines

  explicit MemoryTrafficLog(size_t limit = kDefaultLimit) : limit_(limit) {}

  void AppendToLog(const std::string& text) override;
  std::string Text() const;
  void Clear();
  // Called after every append (from the appending thread).
  void SetListener(std::function<void()> listener);

 private:
  size_t limit_;
  mutable std::mutex mutex_;
  std::string text_;
  std::function<void()> listener_;
};

}  // namespace vela
