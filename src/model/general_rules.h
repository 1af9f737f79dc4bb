// How the address boxes of the General tab and the connection strip read what is typed:
// numbers are shown with NumberBase added and stored without it, and each box has its limits.
#pragma once

#include <string>
#include <string_view>

#include "model/general_settings.h"
#include "model/number_text.h"

namespace vela {

// Limits of a box as the user sees it (NumberBase included).
struct ShownRange {
  int min = 0;
  int max = 0;
};

// "Module Address": 16 modules on the direct link, 32 through the command station.
ShownRange ModuleAddressRange(int number_base, bool tunnelling);
// "eXtended address" of the board talked to, and "Module eXtended Address" of the board.
ShownRange XAddressRange(int number_base);
// The Kora flexible base box: NumberBase .. NumberBase + 508.
ShownRange KoraBaseRange(int number_base);

// A committed address box: its text afterwards and the address stored (NumberBase removed).
struct AddressEntry {
  std::string text;
  int address = 0;
};

// Clamps to the range and removes NumberBase; a value within range keeps its text as typed.
AddressEntry CommitAddressBox(std::string_view text, ShownRange range, int number_base);

// The Kora base snaps down to a multiple of four above NumberBase: 13 and 14 both give
// KoraFlexAddress 3 and show 13 (NumberBase 1).
AddressEntry CommitKoraBase(std::string_view text, int number_base);
std::string KoraBaseText(int kora_flex_address, int number_base);
// The base spinner moves KoraFlexAddress by one within 0..127.
int StepKoraFlexAddress(int kora_flex_address, int delta);

// The decoder address boxes: (1 - allow0) .. 510 and .. 2046; store into the settings.
BoxEntry CommitDccAddress(GeneralSettings& general, std::string_view text);
BoxEntry CommitXDccAddress(GeneralSettings& general, std::string_view text);

// LabelGenHWCPin: the pin ranges of the four groups of eight.
std::string HardwareGroupsLabel(int number_base);

}  // namespace vela
