#include "link/traffic_log.h"

namespace vela {

void MemoryTrafficLog::AppendToLog(const std::string& text) {
  std::function<void()> listener;
  {
    std::lock_guard lock(mutex_);
    const BoundedText::Dropped dropped = text_.Append(text);
    dropped_lines_ += dropped.lines;
    begin_ += dropped.bytes;
    listener = listener_;
  }
  if (listener) listener();
}

std::string MemoryTrafficLog::Text() const {
  std::lock_guard lock(mutex_);
  return text_.Text();
}

MemoryTrafficLog::Update MemoryTrafficLog::TextSince(uint64_t generation, uint64_t from) const {
  std::lock_guard lock(mutex_);
  Update update;
  update.generation = generation_;
  update.end = begin_ + text_.Size();
  update.dropped_lines = dropped_lines_;
  update.restart = generation != generation_ || from < begin_ || from > update.end;
  update.text =
      update.restart ? text_.Text() : text_.Text().substr(static_cast<size_t>(from - begin_));
  return update;
}

void MemoryTrafficLog::Clear() {
  std::lock_guard lock(mutex_);
  text_.Clear();
  ++generation_;
  begin_ = 0;
  dropped_lines_ = 0;
}

void MemoryTrafficLog::SetListener(std::function<void()> listener) {
  std::lock_guard lock(mutex_);
  listener_ = std::move(listener);
}

}  // namespace vela
