#include "model/device_field_rules.h"

#include "model/number_text.h"

namespace vela {
namespace {

// A whole number with optional blanks around it ("12", " 3 "), as the field takes it.
bool IsWholeNumber(std::string_view text, int& value) {
  size_t first = text.find_first_not_of(" \t");
  size_t last = text.find_last_not_of(" \t");
  if (first == std::string_view::npos) return false;
  std::string_view core = text.substr(first, last - first + 1);
  size_t i = (core[0] == '-' || core[0] == '+') ? 1 : 0;
  bool point = false;
  size_t digits = 0;
  for (; i < core.size(); ++i) {
    if (core[i] >= '0' && core[i] <= '9') {
      ++digits;
    } else if (core[i] == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  if (digits == 0 || core.size() > 12) return false;
  value = RoundHalfEven(NumericValue(core));
  return true;
}

}  // namespace

void EditDevicePin(BoardConfig& config, std::string_view text) {
  int value = 0;
  if (!IsWholeNumber(text, value)) return;
  if (value < config.NumberBase || value > config.NumberBase + kPinCount - 1) return;
  config.Current().DeviceRef = static_cast<int16_t>(value - config.CurrentPin - config.NumberBase);
}

void EditDeviceName(BoardConfig& config, const std::string& text) {
  if (config.Current().DeviceRef == 0) config.Current().DeviceName = text;
}

}  // namespace vela
