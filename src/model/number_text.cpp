#include "model/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace vela {
namespace {

// Length of the numeric prefix starting at text[start], 0 when there is none.
size_t NumberPrefix(std::string_view text, size_t start) {
  size_t i = start;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  size_t digits = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  }
  return digits == 0 ? 0 : i - start;
}

size_t SkipBlanks(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  return i;
}

}  // namespace

double NumericValue(std::string_view text) {
  size_t start = SkipBlanks(text);
  size_t length = NumberPrefix(text, start);
  if (length == 0) return 0.0;
  std::string_view number = text.substr(start, length);
  // from_chars reads "." as the decimal point whatever the locale; strtod would follow
  // LC_NUMERIC, which Qt programs take from the environment (a German one reads "100.7" as 100).
  bool negative = number[0] == '-';
  if (number[0] == '+' || negative) number.remove_prefix(1);
  double value = 0;
  auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error == std::errc::result_out_of_range) {
    // Too large when the whole part has a non-zero digit; otherwise too small to tell from 0.
    std::string_view whole = number.substr(0, number.find('.'));
    value = whole.find_first_not_of('0') == std::string_view::npos
                ? 0.0
                : std::numeric_limits<double>::infinity();
  } else if (error != std::errc() || end == number.data()) {
    return 0.0;
  }
  return negative ? -value : value;
}

std::optional<double> ParseDecimal(std::string_view text) {
  if (text.empty() || NumberPrefix(text, 0) != text.size()) return std::nullopt;
  double value = NumericValue(text);
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

bool IsNumeric(std::string_view text) {
  return NumberPrefix(text, SkipBlanks(text)) != 0;
}

int RoundHalfEven(double value) {
  if (!std::isfinite(value)) return 0;
  if (value > 2e9) return 2000000000;
  if (value < -2e9) return -2000000000;
  return static_cast<int>(std::nearbyint(value));  // default rounding mode: to nearest, ties even
}

BoxEntry CommitBox(std::string_view text, int min, int max) {
  double v = NumericValue(text);
  if (v < min) return {std::to_string(min), min, true};
  if (v > max) return {std::to_string(max), max, true};
  return {std::string(text), RoundHalfEven(v), false};
}

}  // namespace vela
