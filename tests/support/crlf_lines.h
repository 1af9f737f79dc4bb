// The lines of a report or log text that ends its lines with CR LF, without their line ends.
#pragma once

#include <string>
#include <vector>

namespace vela::testing {

inline std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

}  // namespace vela::testing
