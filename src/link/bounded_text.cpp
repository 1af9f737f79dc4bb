#include "link/bounded_text.h"

#include <algorithm>

namespace vela {

BoundedText::Dropped BoundedText::Append(const std::string& text) {
  text_ += text;
  Dropped dropped;
  if (text_.size() <= limit_) return dropped;
  const size_t cut = text_.size() - keep_;
  const size_t line_end = text_.find('\n', cut);
  dropped.bytes = line_end == std::string::npos ? cut : line_end + 1;
  dropped.lines =
      static_cast<size_t>(std::count(text_.begin(), text_.begin() + dropped.bytes, '\n'));
  text_.erase(0, dropped.bytes);
  return dropped;
}

}  // namespace vela
