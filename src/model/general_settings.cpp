#include "model/general_settings.h"

#include <algorithm>

#include "model/number_text.h"

namespace vela {

int RetentionOption(const GeneralSettings& g) {
  const int prp = g.PacketRetention;
  return (prp == 0 || prp == 1 || prp == 3) ? prp : 2;
}

int DccOptionsByte(const GeneralSettings& g) {
  return RetentionOption(g) + 4 * (g.BasicPacketStateInvert ? 1 : 0) +
         8 * (g.AllowAddress0 ? 1 : 0);
}

const char* ParityText(int parity_index) {
  if (parity_index == 2) return "Even";
  if (parity_index == 3) return "Odd";
  return "No";
}

void ApplyDccOptionsByte(GeneralSettings& g, int value) {
  g.PacketRetention = value & 3;
  g.BasicPacketStateInvert = (value & 4) != 0;
  g.AllowAddress0 = (value & 8) != 0;
}

namespace {

int ClampDecoderAddress(const GeneralSettings& g, double value, int max) {
  const int low = MinDecoderAddress(g);
  if (value < low) return low;
  if (value > max) return max;
  return RoundHalfEven(value);
}

}  // namespace

int ClampDccAddress(const GeneralSettings& g, double value) {
  return ClampDecoderAddress(g, value, kMaxDccAddress);
}

int ClampXDccAddress(const GeneralSettings& g, double value) {
  return ClampDecoderAddress(g, value, kMaxXDccAddress);
}

int LedByte(const std::array<CheckState, 8>& row) {
  int value = 0;
  for (int k = 0; k <= 6; ++k) {
    if (row[k] == CheckState::kChecked) value |= 1 << k;
  }
  return value;
}

void ApplyLedByte(std::array<CheckState, 8>& row, int value) {
  for (int k = 0; k <= 6; ++k) {
    row[k] = (value != 0 && (value >> k) & 1) ? CheckState::kChecked : CheckState::kUnchecked;
  }
  row[7] = value != 0 ? CheckState::kUnchecked : CheckState::kGrayed;
}

void ClickLedBox(std::array<CheckState, 8>& row, int k) {
  if (k == 7 && row[7] == CheckState::kChecked) {
    row[7] = CheckState::kGrayed;
    for (int i = 0; i <= 6; ++i) row[i] = CheckState::kUnchecked;
  } else if (row[k] == CheckState::kChecked) {
    row[7] = CheckState::kUnchecked;
  } else {
    bool any = std::any_of(row.begin(), row.begin() + 7,
                           [](CheckState s) { return s == CheckState::kChecked; });
    if (!any) row[7] = CheckState::kGrayed;
  }
}

int HardwareByte(const GeneralSettings& g, int group) {
  return (g.HwcSink[group] ? 1 : 0) + (g.HwcSource[group] ? 2 : 0);
}

int GroupMaskByte(const GeneralSettings& g, int k) {
  int value = 0;
  for (int j = 0; j < 4; ++j) {
    if (g.XGM[4 * k + j]) value |= 1 << j;
  }
  return value;
}

int SerialPortByte(const GeneralSettings& g) {
  int parity = (g.ParityIndex == 2 || g.ParityIndex == 3) ? g.ParityIndex : 0;
  return (g.BaudIndex & 7) + (g.DataBitsIndex == 1 ? 8 : 0) + 16 * parity +
         (g.StopIndex == 1 ? 64 : 0);
}

int OnDisableMask(const GeneralSettings& g) {
  int mask = 0;
  for (int k = 0; k < 4; ++k) {
    if (!g.InitEE[k]) mask |= 1 << k;
  }
  return mask;
}

int OffDisableMask(const GeneralSettings& g) {
  int mask = 0;
  for (int k = 0; k < 4; ++k) {
    if (!g.InitEE[4 + k]) mask |= 1 << k;
  }
  return mask;
}

SerialAddressingVisibility VisibilityOf(const GeneralSettings& g) {
  SerialAddressingVisibility v;
  v.vl_native = !g.ForceXA && !g.KRaddr;
  v.kr_addr = !g.ForceXA && !g.VLNative;
  v.kora_base = g.KRaddr && !g.ForceXA;
  v.xaddress = !g.ForceXA;
  v.group_mask = !g.ForceXA;
  return v;
}

}  // namespace vela
