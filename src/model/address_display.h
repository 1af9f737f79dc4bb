// The address texts of the main window: the DCC ranges of the General tab and the addresses
// of the current pin.
#pragma once

#include <string>

#include "model/board_config.h"

namespace vela {

// How a range label is coloured: left as it is ("No addr in use"), normal, or red (overflow).
enum class LabelColour { kUnchanged, kNormal, kRed };

struct RangeLabel {
  std::string caption;
  LabelColour colour = LabelColour::kNormal;
};

// Output number that the board's first DCC / extended-DCC address corresponds to.
int DccBase(const BoardConfig& config);
int XDccBase(const BoardConfig& config);

RangeLabel DccRangeLabel(const BoardConfig& config);   // LabelGenDCCOutput
RangeLabel XDccRangeLabel(const BoardConfig& config);  // LabelGenXDCCOutput

std::string PinDccAddressText(const BoardConfig& config);   // lblDCCAddress
std::string PinXDccAddressText(const BoardConfig& config);  // lblXDCCAddress

// Who the tool talks to, as the Kora address labels need it.
struct ModuleAddressing {
  int module_address = 0;
  int module_xaddress = 0;
  bool use_xaddress = false;
};

struct KoraAddressTexts {
  std::string serial;  // lblSerialAddress
  std::string pin;     // lblPinAddress
};
KoraAddressTexts PinKoraAddressTexts(const BoardConfig& config, const ModuleAddressing& module);

}  // namespace vela
