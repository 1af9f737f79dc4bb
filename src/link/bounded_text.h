// Text that grows by appending and stays bounded: once it is longer than its limit, the oldest
// whole lines are dropped until at most `keep` bytes remain (cut after a line end at or past
// that point, or exactly there when no line end follows). Dropping well below the limit at once
// keeps the drops rare and a reader's catching up small. Not thread-safe: its owner locks.
#pragma once

#include <cstddef>
#include <string>

namespace vela {

class BoundedText {
 public:
  BoundedText(size_t limit, size_t keep) : limit_(limit), keep_(keep) {}

  // What one append dropped from the front.
  struct Dropped {
    size_t bytes = 0;
    size_t lines = 0;  // line ends among the dropped bytes
  };

  Dropped Append(const std::string& text);
  const std::string& Text() const { return text_; }
  size_t Size() const { return text_.size(); }
  void Clear() { text_.clear(); }

 private:
  size_t limit_;
  size_t keep_;
  std::string text_;
};

}  // namespace vela
