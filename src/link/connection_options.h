// The link's options as a user gives them: velacli's and the window's --baud and --module, and
// the values the window remembers between runs. One rule for each, whoever reads it.
#pragma once

#include <optional>
#include <string>

namespace vela {

// A value read from its text, or the mistake to tell the user.
struct OptionValue {
  std::optional<int> value;
  std::string mistake;
};

// A whole number from `min` to `max` written out in full ("12"; not "12x" or ""), for `option`
// (as "--module").
OptionValue ParseWholeNumber(const std::string& option, const std::string& text, int min, int max);

// "9600", "19200" or "38400": the index into kLineSettings.
OptionValue ParseBitRate(const std::string& text);
// The bit rate of kLineSettings[index] as text ("19200"); empty for a bad index.
std::string BitRateText(int index);

// Highest module address on the wire: 15 on the direct link, 31 through the tunnel.
inline int ModuleAddressMax(bool tunnelling) {
  return tunnelling ? 31 : 15;
}
// A module address as on the wire, within ModuleAddressMax. `tunnel_route` says how to reach
// the tunnel's wider range ("with --tunnel"); null where the program offers no such option.
OptionValue ParseModuleAddress(const std::string& text, bool tunnelling,
                               const char* tunnel_route = "with --tunnel");

}  // namespace vela
