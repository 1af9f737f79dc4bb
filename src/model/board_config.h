// The one configuration the tool holds: pins, event control, general settings, the derived
// address start tables and what the editor has selected.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/general_settings.h"
#include "model/pin_table.h"

namespace vela {

// Per pin, per event (0 = EventOn, 1 = EventOff), per input 0..4: an action -1..11
// (-1 = none). Input 4 and pin 32 are spare.
class EventControlTable {
 public:
  EventControlTable();
  int16_t& At(int pin, int event, int input) { return values_[pin * 10 + event * 5 + input]; }
  int16_t At(int pin, int event, int input) const { return values_[pin * 10 + event * 5 + input]; }
  bool operator==(const EventControlTable&) const = default;

 private:
  std::array<int16_t, kPinEntries * 10> values_{};
};

inline constexpr int kEventOn = 0;
inline constexpr int kEventOff = 1;

// Offsets of each pin's first address from the board's base, and the totals. Kept wider than a
// byte so that counts from a file cannot wrap; the displays report an overflow instead.
struct AddressStarts {
  std::array<int, kPinEntries> DccStart{};
  std::array<int, kPinEntries> XDccStart{};
  std::array<int, kPinEntries> KoraStart{};
  int DccTotal = 0;
  int XDccTotal = 0;
  int KoraTotal = 0;
  bool operator==(const AddressStarts&) const = default;
};

// What the device fields show for a pin.
struct DeviceReferral {
  int shown_pin = 0;  // pin + DeviceRef + NumberBase
  std::string name;   // the referred pin's DeviceName, or "<Referral is no Device !>"
  bool name_editable = true;
};

inline constexpr const char* kReferralIsNoDevice = "<Referral is no Device !>";

class BoardConfig {
 public:
  // The start-up configuration: every pin with one address of each kind, actions -1.
  BoardConfig();

  PinTable Pins{};
  EventControlTable Events;
  GeneralSettings General;
  AddressStarts Starts;

  int CurrentPin = 0;       // 0..31
  int CurrentAspect = 0;    // 0..11
  int ECSelectedPin = 0;    // 0..31
  int SelectedStepRow = 0;  // 0..8
  int NumberBase = 1;       // 1 while "Start numbering at 1" is checked
  std::string DataFileVersion = "3100";
  bool ExpertMode = false;

  PinRecord& Current() { return Pins[CurrentPin]; }
  const PinRecord& Current() const { return Pins[CurrentPin]; }

  void ComputeDccStarts();
  void ComputeXDccStarts();
  void ComputeKoraStarts();
  void ComputeAllStarts();

  // Dissolves the device that starts at pin; does nothing when pin only belongs to a device.
  void ReleaseDevice(int pin);

  // The device referral display rule.
  DeviceReferral Referral(int pin) const;

  // The first pin of the device that pin belongs to, wrapped into 0..31.
  int DeviceHead(int pin) const;

  // True when pin refers to a pin that starts a device (the check of Save/Write Device).
  bool RefersToDeviceHead(int pin) const;

  // "pin 5": a pin as messages name it, in the numbering the window shows.
  std::string PinName(int pin) const { return "pin " + std::to_string(pin + NumberBase); }
};

}  // namespace vela
