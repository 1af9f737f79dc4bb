// How the pin configuration editor turns its controls into a pin's PinConfig bytes and
// CurrentValue: which page shows which kind, the defaults a newly picked page installs, the
// composed servo flags and PWM modes, and the limits and byte of every number box.
#pragma once

#include <string_view>

#include "model/general_settings.h"
#include "model/number_text.h"
#include "model/pin_table.h"

namespace vela {

// Pages of SSTabPCFG.
inline constexpr int kPageClear = 0;
inline constexpr int kPageServo = 1;
inline constexpr int kPagePwm = 2;
inline constexpr int kPageInput = 3;
inline constexpr const char* kConfigPageTexts[4] = {"Clear", "Servo", "PWM", "Input"};

// The page that shows a ConfigType; -1 for a value the editor does not know.
int PageOfConfigType(int config_type);

// Picking a page: a pin whose kind already belongs to the page is left alone, any other gets
// the page's defaults (PinConfig[12] is kept). Returns whether the pin changed.
bool PickConfigPage(PinRecord& pin, int page);

// ServoFlags bits as the editor composes and shows them.
inline constexpr int kServoRangeMask = 0x07;
inline constexpr int kServoComposed = 0x08;
inline constexpr int kServoAutoSuspend = 0x10;
inline constexpr int kServoSuspended = 0x20;
inline constexpr int kServoInitialised = 0x40;
inline constexpr int kServoRangeCount = 5;
inline constexpr const char* kServoRangeTexts[kServoRangeCount] = {"Off", "S", "M", "L", "XL"};
// The options of "Drive Mode" and "Acceleration Mode".
inline constexpr const char* kPwmModeTexts[2] = {"Logaritmic", "Linear"};

// range + 8 + 16 x auto suspend + 32 x suspended; "Servo Initialised" is the board's.
int ComposeServoFlags(int range, bool auto_suspend, bool suspended);
// The range option a flags byte selects: bits 0..2, "Off" when they exceed "XL".
int ServoRangeOf(int flags);

// 2 x acceleration-mode index + drive-mode index (0 "Logaritmic", 1 "Linear").
int ComposePwmModes(int drive_index, int accel_index);

// The number boxes of the servo, PWM and input pages.
enum class PinConfigBox {
  kSrvMaxSpd,
  kSrvMaxAccel,
  kSrvAntiMass,
  kSrvFriction,
  kMidpoint,
  kSrvInitPos,
  kBounceDown,
  kBounceDownFactor,
  kBounceUp,
  kBounceUpFactor,
  kPwmInitLevel,
  kPwmAccel,
  kPwmOffLevel,
  kPwmOnLevel,
  kInputDelay0,
  kInputDelay1,
};

// Where a box keeps its value and how far it and its spin control may go. The box shows the
// byte minus `offset`; the spin limits differ from the box limits for some boxes on purpose.
struct PinConfigField {
  const char* caption = "";  // the box's label
  int byte = 0;
  int offset = 0;
  int box_min = 0;
  int box_max = 0;
  int spin_min = 0;
  int spin_max = 0;
};
const PinConfigField& FieldOf(PinConfigBox box);

// The value the box shows for a pin.
int ShownValue(const PinRecord& pin, PinConfigBox box);

// Commits the box's text (on a click or when it loses the focus): an out-of-range value is
// replaced by the limit's text, and the rounded final value is stored.
BoxEntry CommitPinConfigBox(PinRecord& pin, PinConfigBox box, std::string_view text);

// A spin control stores its value as it is, within its own limits only.
void StorePinConfigSpin(PinRecord& pin, PinConfigBox box, int value);

// The initial position and level boxes store on every change of their text too, but only
// while it is within range, so typing never clamps. Returns whether it stored.
bool StoreWhileTyping(PinRecord& pin, PinConfigBox box, std::string_view text);

// The "Warning: Hardware Configuration Mismatch" label: the pin's group of eight has a sink
// or source driver.
bool HardwareMismatch(const GeneralSettings& general, int pin);

}  // namespace vela
