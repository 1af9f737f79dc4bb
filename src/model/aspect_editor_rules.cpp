#include "model/aspect_editor_rules.h"

namespace vela {

int AspectModeOfOption(int option) {
  if (option == 1) return 3;
  if (option == 2) return 2;
  return 0;
}

int OptionOfAspectMode(int aspect_mode) {
  if (aspect_mode == 3) return 1;
  if (aspect_mode == 2) return 2;
  return 0;
}

AspectModeView ViewOfOption(int option) {
  if (option == 1) return {true, 9, 3};
  if (option == 2) return {true, 3, 11};
  return {false, 0, -1};
}

std::string AspectTextForFourAspects(std::string_view text) {
  return NumericValue(text) > 3 ? "3" : std::string(text);
}

std::string InitTextForFourAspects(std::string_view text) {
  return NumericValue(text) > 3 ? "-1" : std::string(text);
}

BoxEntry CommitPinBox(std::string_view text, int number_base) {
  BoxEntry entry = CommitBox(text, number_base, number_base + kPinCount - 1);
  entry.value -= number_base;
  return entry;
}

BoxEntry CommitAspectBox(std::string_view text, int upper_limit) {
  return CommitBox(text, 0, upper_limit);
}

BoxEntry CommitInitBox(std::string_view text, int upper_limit) {
  return CommitBox(text, kNoInitialAspect, upper_limit);
}

bool CountBoxShown(std::string_view text, bool details) {
  return details || text != "1";
}

DeviceReferral ShowDeviceFields(BoardConfig& config) {
  PinRecord& pin = config.Current();
  if (pin.DeviceRef != 0) pin.DeviceName.clear();
  return config.Referral(config.CurrentPin);
}

}  // namespace vela
