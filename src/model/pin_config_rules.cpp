#include "model/pin_config_rules.h"

#include <array>
#include <cstdint>

namespace vela {
namespace {

// ConfigType, CurrentValue and PinConfig[1..11] of a freshly picked page.
struct PageDefaults {
  uint8_t config_type;
  uint8_t current_value;
  std::array<uint8_t, 11> bytes;  // PinConfig[1..11]
};

constexpr std::array<PageDefaults, 4> kPageDefaults{{
    {kPlainOutput, 0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    // A new servo stands at position 0 with range "Off", 1/Mass 127, Damping 58, full speed
    // and acceleration and no bounce.
    {kServo, 64, {64, 0, 64, 127, 58, 127, 127, 64, 0, 64, 0}},
    // A new PWM output is not inverted, logarithmic, acceleration 28, levels 0 and 31.
    {kPwm, 0, {0, 0, 28, 0, 31, 0, 0, 0, 0, 0, 0}},
    // A new input is low active with both delays 4.
    {kInputLowActive, 0, {0, 0, 4, 4, 0, 0, 0, 0, 0, 0, 0}},
}};

constexpr PinConfigField kFields[] = {
    // caption, byte, offset, box limits, spin limits; in the order of PinConfigBox
    {"MaxSpd", 6, 0, 1, 127, 1, 127},
    {"MaxAcc", 7, 0, 1, 127, 0, 127},
    {"1/Mass", 4, 0, 0, 127, 0, 127},
    {"Damping", 5, 0, 0, 127, 0, 127},
    {"Midpoint", 3, 64, -64, 63, -64, 63},
    {"Initial Position", 1, 64, -64, 63, -64, 63},
    {"BounceDown", 8, 64, 0, 63, 0, 63},
    {"BounceDownFactor", 9, 0, 0, 127, 0, 127},
    {"BounceUp", 10, 64, -63, 0, -64, 0},
    {"BounceUpFactor", 11, 0, 0, 127, 0, 127},
    {"Initial Level", 1, 0, 0, 31, 0, 31},
    {"Accel", 3, 0, 0, 31, 0, 31},
    {"Off - Level", 4, 0, 0, 31, 0, 31},
    {"On-Level", 5, 0, 0, 31, 0, 31},
    {"OFF-delay (debounce)", 3, 0, 0, 31, 0, 31},
    {"ON-delay (debounce)", 4, 0, 0, 31, 0, 31},
};

void Store(PinRecord& pin, const PinConfigField& field, int shown) {
  pin.PinConfig[field.byte] = static_cast<uint8_t>(shown + field.offset);
}

}  // namespace

int PageOfConfigType(int config_type) {
  switch (config_type) {
    case kPlainOutput:
      return kPageClear;
    case kServo:
      return kPageServo;
    case kPwm:
    case kPwmInverted:
      return kPagePwm;
    case kInput:
    case kInputLowActive:
      return kPageInput;
    default:
      return -1;
  }
}

bool PickConfigPage(PinRecord& pin, int page) {
  if (page < kPageClear || page > kPageInput) return false;
  if (PageOfConfigType(pin.PinConfig[kCfgKind]) == page) return false;
  const PageDefaults& defaults = kPageDefaults[page];
  pin.PinConfig[kCfgKind] = defaults.config_type;
  pin.CurrentValue = defaults.current_value;
  for (int i = 1; i <= 11; ++i) pin.PinConfig[i] = defaults.bytes[i - 1];
  return true;
}

int ComposeServoFlags(int range, bool auto_suspend, bool suspended) {
  return (range & kServoRangeMask) + kServoComposed + (auto_suspend ? kServoAutoSuspend : 0) +
         (suspended ? kServoSuspended : 0);
}

int ServoRangeOf(int flags) {
  int range = flags & kServoRangeMask;
  return range < kServoRangeCount ? range : 0;
}

int ComposePwmModes(int drive_index, int accel_index) {
  return 2 * (accel_index & 1) + (drive_index & 1);
}

const PinConfigField& FieldOf(PinConfigBox box) {
  return kFields[static_cast<int>(box)];
}

int ShownValue(const PinRecord& pin, PinConfigBox box) {
  const PinConfigField& field = FieldOf(box);
  return pin.PinConfig[field.byte] - field.offset;
}

BoxEntry CommitPinConfigBox(PinRecord& pin, PinConfigBox box, std::string_view text) {
  const PinConfigField& field = FieldOf(box);
  BoxEntry entry = CommitBox(text, field.box_min, field.box_max);
  Store(pin, field, entry.value);
  return entry;
}

void StorePinConfigSpin(PinRecord& pin, PinConfigBox box, int value) {
  const PinConfigField& field = FieldOf(box);
  if (value < field.spin_min) value = field.spin_min;
  if (value > field.spin_max) value = field.spin_max;
  Store(pin, field, value);
}

bool StoreWhileTyping(PinRecord& pin, PinConfigBox box, std::string_view text) {
  const PinConfigField& field = FieldOf(box);
  double value = NumericValue(text);
  if (value < field.box_min || value > field.box_max) return false;
  Store(pin, field, RoundHalfEven(value));
  return true;
}

bool HardwareMismatch(const GeneralSettings& general, int pin) {
  int group = pin / 8;
  if (group < 0 || group > 3) return false;
  return general.HwcSink[group] || general.HwcSource[group];
}

}  // namespace vela
