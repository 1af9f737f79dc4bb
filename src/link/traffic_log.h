// The communication log: every frame sent to and read from the board or the command station,
// as "> ", "< ", ">> " and "<< " lines of bracketed hex bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "link/bounded_text.h"

namespace vela {

class TrafficLog {
 public:
  virtual ~TrafficLog() = default;
  virtual void AppendToLog(const std::string& text) = 0;
};

// The log text kept in memory, bounded: when it grows past its limit the oldest whole lines are
// dropped (an eighth of the limit at a time, so that a reader has few lines to drop at once),
// so a monitor left running for days cannot eat the memory. Safe to read from another
// thread than the one that appends.
class MemoryTrafficLog final : public TrafficLog {
 public:
  static constexpr size_t kDefaultLimit = 1 << 20;  // 1 MiB of text, about 30000 lines

  explicit MemoryTrafficLog(size_t limit = kDefaultLimit) : text_(limit, limit - limit / 8) {}

  // What a reader that has shown the log up to `from` needs to catch up, without copying what
  // it already has. Offsets count bytes appended since the log was last cleared.
  struct Update {
    uint64_t generation = 0;     // changes with every Clear
    uint64_t end = 0;            // offset just past the newest byte
    uint64_t dropped_lines = 0;  // whole lines dropped from the front since the last Clear
    bool restart = false;        // another generation, or `from` was dropped: text is all held
    std::string text;            // from `from` (or the oldest byte held) to `end`
  };

  void AppendToLog(const std::string& text) override;
  std::string Text() const;
  Update TextSince(uint64_t generation, uint64_t from) const;
  void Clear();
  // Called after every append (from the appending thread).
  void SetListener(std::function<void()> listener);

 private:
  mutable std::mutex mutex_;
  BoundedText text_;
  uint64_t generation_ = 0;
  uint64_t begin_ = 0;  // offset of text_[0]
  uint64_t dropped_lines_ = 0;
  std::function<void()> listener_;
};

}  // namespace vela
