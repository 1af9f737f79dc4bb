#include "model/board_config.h"

namespace vela {

EventControlTable::EventControlTable() {
  for (int pin = 0; pin < kPinCount; ++pin) {
    for (int event = 0; event < 2; ++event) {
      for (int input = 0; input < 4; ++input) At(pin, event, input) = -1;
    }
  }
}

BoardConfig::BoardConfig() {
  for (int i = 0; i < kPinCount; ++i) {
    Pins[i].DccCount = 1;
    Pins[i].XDccCount = 1;
    Pins[i].KoraCount = 1;
  }
  ComputeAllStarts();
}

namespace {

template <typename CountOf>
void ComputeStarts(const PinTable& pins, std::array<int, kPinEntries>& starts, int& total,
                   CountOf count_of) {
  int running = 0;
  for (int i = 0; i < kPinEntries; ++i) {
    starts[i] = running;
    running += count_of(pins[i]);
  }
  total = running;
}

}  // namespace

void BoardConfig::ComputeDccStarts() {
  ComputeStarts(Pins, Starts.DccStart, Starts.DccTotal,
                [](const PinRecord& p) { return p.DccCount; });
}

void BoardConfig::ComputeXDccStarts() {
  ComputeStarts(Pins, Starts.XDccStart, Starts.XDccTotal,
                [](const PinRecord& p) { return p.XDccCount; });
}

void BoardConfig::ComputeKoraStarts() {
  ComputeStarts(Pins, Starts.KoraStart, Starts.KoraTotal,
                [](const PinRecord& p) { return p.KoraCount; });
}

void BoardConfig::ComputeAllStarts() {
  ComputeKoraStarts();
  ComputeDccStarts();
  ComputeXDccStarts();
}

void BoardConfig::ReleaseDevice(int pin) {
  if (pin < 0 || pin >= kPinEntries || Pins[pin].DeviceRef != 0) return;
  for (int i = 0; i < kPinCount; ++i) {
    if (i + Pins[i].DeviceRef == pin) {
      Pins[i].DeviceRef = 0;
      Pins[i].DeviceName.clear();
    }
  }
}

int BoardConfig::DeviceHead(int pin) const {
  int head = (pin + Pins[pin].DeviceRef) % kPinCount;
  return head < 0 ? head + kPinCount : head;
}

DeviceReferral BoardConfig::Referral(int pin) const {
  DeviceReferral r;
  const PinRecord& p = Pins[pin];
  r.shown_pin = pin + p.DeviceRef + NumberBase;
  r.name_editable = p.DeviceRef == 0;
  if (p.DeviceRef == 0) {
    r.name = p.DeviceName;
    return r;
  }
  int head = pin + p.DeviceRef;
  if (head < 0 || head >= kPinEntries || Pins[head].DeviceRef != 0) {
    r.name = kReferralIsNoDevice;
  } else {
    r.name = Pins[head].DeviceName;
  }
  return r;
}

bool BoardConfig::RefersToDeviceHead(int pin) const {
  int head = pin + Pins[pin].DeviceRef;
  return head >= 0 && head < kPinEntries && Pins[head].DeviceRef == 0;
}

}  // namespace vela
