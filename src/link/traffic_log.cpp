#include "link/traffic_log.h"

#include <algorithm>

namespace vela {

void MemoryTrafficLog::AppendToLog(const std::string& text) {
  std::function<void()> listener;
  {
    std::lock_guard lock(mutex_);
    text_ += text;
    if (text_.size() > limit_) {
      // Keep the newest seven eighths of the limit, cut at a line start.
      size_t cut = text_.size() - limit_ + limit_ / 8;
      size_t line_start = text_.find('\n', cut);
      const size_t erased = line_start == std::string::npos ? cut : line_start + 1;
      dropped_lines_ +=
          static_cast<uint64_t>(std::count(text_.begin(), text_.begin() + erased, '\n'));
      text_.erase(0, erased);
      begin_ += erased;
    }
    listener = listener_;
  }
  if (listener) listener();
}

std::string MemoryTrafficLog::Text() const {
  std::lock_guard lock(mutex_);
  return text_;
}

MemoryTrafficLog::Update MemoryTrafficLog::TextSince(uint64_t generation, uint64_t from) const {
  std::lock_guard lock(mutex_);
  Update update;
  update.generation = generation_;
  update.end = begin_ + text_.size();
  update.dropped_lines = dropped_lines_;
  update.restart = generation != generation_ || from < begin_ || from > update.end;
  update.text = update.restart ? text_ : text_.substr(static_cast<size_t>(from - begin_));
  return update;
}

void MemoryTrafficLog::Clear() {
  std::lock_guard lock(mutex_);
  text_.clear();
  ++generation_;
  begin_ = 0;
  dropped_lines_ = 0;
}

void MemoryTrafficLog::SetListener(std::function<void()> listener) {
  std::lock_guard lock(mutex_);
  listener_ = std::move(listener);
}

}  // namespace vela
