#include "model/general_rules.h"

namespace vela {

namespace {

constexpr int kKoraFlexMax = 127;

}  // namespace

ShownRange ModuleAddressRange(int number_base, bool tunnelling) {
  return {number_base, number_base + (tunnelling ? 31 : 15)};
}

ShownRange XAddressRange(int number_base) {
  return {number_base, number_base + 95};
}

ShownRange KoraBaseRange(int number_base) {
  return {number_base, number_base + 508};
}

AddressEntry CommitAddressBox(std::string_view text, ShownRange range, int number_base) {
  double value = NumericValue(text);
  if (value < range.min) return {std::to_string(range.min), range.min - number_base};
  if (value > range.max) return {std::to_string(range.max), range.max - number_base};
  return {std::string(text), RoundHalfEven(value - number_base)};
}

AddressEntry CommitKoraBase(std::string_view text, int number_base) {
  AddressEntry entry = CommitAddressBox(text, KoraBaseRange(number_base), number_base);
  int kora_flex_address = entry.address / 4;
  return {KoraBaseText(kora_flex_address, number_base), kora_flex_address};
}

std::string KoraBaseText(int kora_flex_address, int number_base) {
  return std::to_string(kora_flex_address * 4 + number_base);
}

int StepKoraFlexAddress(int kora_flex_address, int delta) {
  int next = kora_flex_address + delta;
  if (next < 0 || next > kKoraFlexMax) return kora_flex_address;
  return next;
}

BoxEntry CommitDccAddress(GeneralSettings& general, std::string_view text) {
  BoxEntry entry = CommitBox(text, MinDecoderAddress(general), kMaxDccAddress);
  general.DccAddress = entry.value;
  return entry;
}

BoxEntry CommitXDccAddress(GeneralSettings& general, std::string_view text) {
  BoxEntry entry = CommitBox(text, MinDecoderAddress(general), kMaxXDccAddress);
  general.XDccAddress = entry.value;
  return entry;
}

std::string HardwareGroupsLabel(int number_base) {
  return number_base == 1 ? "Pin       1..8         9..16      17..24       25..32"
                          : "Pin       0..7         8..15      16..23       24..31";
}

}  // namespace vela
