#include "link/connection_options.h"

#include <cstdlib>
#include <iterator>

#include "link/serial_port.h"

namespace vela {
namespace {

constexpr const char* kBitRates[3] = {"9600", "19200", "38400"};
static_assert(std::size(kBitRates) == std::size(kLineSettings));

}  // namespace

OptionValue ParseWholeNumber(const std::string& option, const std::string& text, int min, int max) {
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < min || value > max) {
    return {std::nullopt, option + " takes a number from " + std::to_string(min) + " to " +
                              std::to_string(max) + ", not \"" + text + "\""};
  }
  return {static_cast<int>(value), {}};
}

OptionValue ParseBitRate(const std::string& text) {
  for (int i = 0; i < static_cast<int>(std::size(kBitRates)); ++i) {
    if (text == kBitRates[i]) return {i, {}};
  }
  return {std::nullopt, "--baud takes 9600, 19200 or 38400, not \"" + text + "\""};
}

std::string BitRateText(int index) {
  return index >= 0 && index < static_cast<int>(std::size(kBitRates)) ? kBitRates[index] : "";
}

OptionValue ParseModuleAddress(const std::string& text, bool tunnelling, const char* tunnel_route) {
  // Without a tunnel route to point to, the direct link's range is all there is.
  const int widest = ModuleAddressMax(tunnelling || tunnel_route != nullptr);
  OptionValue address = ParseWholeNumber("--module", text, 0, widest);
  if (address.value && *address.value > ModuleAddressMax(tunnelling)) {
    return {std::nullopt, "--module takes 0.." + std::to_string(ModuleAddressMax(false)) +
                              " on the direct link (0.." + std::to_string(ModuleAddressMax(true)) +
                              " " + tunnel_route + ")"};
  }
  return address;
}

}  // namespace vela
