#include "model/address_display.h"

namespace vela {

using std::to_string;

int DccBase(const BoardConfig& config) {
  int a = config.General.DccAddress;
  int z = config.General.AllowAddress0 ? 1 : 0;
  return (a - 1 + z) * 4 + (z == 1 ? config.NumberBase : 1);
}

int XDccBase(const BoardConfig& config) {
  return config.General.XDccAddress + (config.General.AllowAddress0 ? config.NumberBase : 0);
}

RangeLabel DccRangeLabel(const BoardConfig& config) {
  int total = config.Starts.DccTotal;
  int base = DccBase(config);
  if (total == 0) return {"No addr in use", LabelColour::kUnchanged};
  if (config.General.DccAddress * 4 + total > 2044) {
    return {"Output " + to_string(base) + " .. OVFLOW", LabelColour::kRed};
  }
  return {"Output " + to_string(base) + " .. " + to_string(base + total - 1), LabelColour::kNormal};
}

RangeLabel XDccRangeLabel(const BoardConfig& config) {
  int total = config.Starts.XDccTotal;
  int base = XDccBase(config);
  if (total == 0) return {"No addr in use", LabelColour::kUnchanged};
  if (config.General.XDccAddress + total > 2046) {
    return {"Output " + to_string(base) + " .. OVERFLOW", LabelColour::kRed};
  }
  return {"Output " + to_string(base) + " .. " + to_string(base + total - 1), LabelColour::kNormal};
}

std::string PinDccAddressText(const BoardConfig& config) {
  int pin = config.CurrentPin;
  if (config.Pins[pin].DccCount == 0) return "-";
  return to_string(config.Starts.DccStart[pin] + DccBase(config));
}

std::string PinXDccAddressText(const BoardConfig& config) {
  int pin = config.CurrentPin;
  if (config.Pins[pin].XDccCount == 0) return "-";
  return to_string(config.Starts.XDccStart[pin] + XDccBase(config));
}

KoraAddressTexts PinKoraAddressTexts(const BoardConfig& config, const ModuleAddressing& module) {
  int pin = config.CurrentPin;
  int k = config.Starts.KoraStart[pin];
  int nb = config.NumberBase;
  const GeneralSettings& g = config.General;
  if (config.Pins[pin].KoraCount == 0) return {"-", "-"};
  KoraAddressTexts texts;
  if (g.KRaddr) {
    texts.serial = to_string(g.KoraFlexAddress * 4 + nb + k);
  } else if (g.VLNative) {
    texts.serial = k >= 128 ? "-" : to_string(module.module_address * 128 + nb + k);
  } else {
    texts.serial = k < 32 ? to_string(module.module_address * 32 + nb + k) : "-";
  }
  if (k >= 128) {
    texts.pin = "-";
  } else if (!module.use_xaddress) {
    texts.pin = to_string(module.module_address + nb) + "." + to_string(k + nb);
  } else {
    texts.pin = to_string(module.module_address + nb) + "." +
                to_string(module.module_xaddress + nb) + "." + to_string(k + nb);
  }
  return texts;
}

}  // namespace vela
