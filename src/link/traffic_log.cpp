#include "link/traffic_log.h"

namespace vela {

void MemoryTrafficLog::AppendToLog(const std::string& text) {
  std::function<void()> listener;
  {
    std::lock_guard lock(mutex_);
    text_ += text;
    if (text_.size() > limit_) {
      // Keep the newest half of the limit, cut at a line start.
      size_t cut = text_.size() - limit_ / 2;
      size_t line_start = text_.find('\n', cut);
      text_.erase(0, line_start == std::string::npos ? cut : line_start + 1);
    }
    listener = listener_;
  }
  if (listener) listener();
}

std::string MemoryTrafficLog::Text() const {
  std::lock_guard lock(mutex_);
  return text_;
}

void MemoryTrafficLog::Clear() {
  std::lock_guard lock(mutex_);
  text_.clear();
}

void MemoryTrafficLog::SetListener(std::function<void()> listener) {
  std::lock_guard lock(mutex_);
  listener_ = std::move(listener);
}

}  // namespace vela
