// The rules of the pin area that are not about a single step parameter: the aspect-mode
// options and what each shows, the limits of the pin, aspect, initial-aspect and count boxes,
// when a count box is shown, and what the device fields show for the current pin.
#pragma once

#include <string>
#include <string_view>

#include "model/board_config.h"
#include "model/number_text.h"

namespace vela {

// Options "0", "4", "12" and the AspectMode each stores (0, 3, 2).
inline constexpr const char* kAspectModeOptionTexts[3] = {"0", "4", "12"};
int AspectModeOfOption(int option);
// The option a stored mode is shown with; modes other than 2 and 3 show as "0".
int OptionOfAspectMode(int aspect_mode);

// What an aspect-mode option shows.
struct AspectModeView {
  bool aspect_controls = false;  // aspect, initial aspect, aspect description, "Test"
  int rows = 0;                  // step rows shown: 0, 9 or 3
  int upper_limit = -1;          // of the aspect and initial-aspect spinners; -1 = unchanged
};
AspectModeView ViewOfOption(int option);

// Switching to four aspects: an aspect box above 3 shows "3", an initial aspect above 3 "-1";
// other texts stay.
std::string AspectTextForFourAspects(std::string_view text);
std::string InitTextForFourAspects(std::string_view text);

// Limits of the boxes (the pin box as shown, NumberBase included).
inline constexpr int kMaxDccCount = 6;
inline constexpr int kMaxXDccCount = 1;
inline constexpr int kMaxKoraCount = 6;
inline constexpr int kNoInitialAspect = -1;

// The pin box: NumberBase .. NumberBase + 31; `value` is the pin selected (0..31).
BoxEntry CommitPinBox(std::string_view text, int number_base);
// The aspect box: 0 .. upper limit; the initial-aspect box: -1 .. upper limit (value = aspect).
BoxEntry CommitAspectBox(std::string_view text, int upper_limit);
BoxEntry CommitInitBox(std::string_view text, int upper_limit);

// A count box and its spinner are shown when the count is not 1, or with "Show Details".
bool CountBoxShown(std::string_view text, bool details);

// The device fields of the current pin: a pin that refers to another pin gives up a name of
// its own, then shows the referred pin's device.
DeviceReferral ShowDeviceFields(BoardConfig& config);

}  // namespace vela
