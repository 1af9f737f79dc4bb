#include "sim/memory_from_config.h"

#include <cstdio>

#include "model/general_settings.h"
#include "model/pin_table.h"

namespace vela::sim {
namespace {

uint8_t Low7(int v) {
  return static_cast<uint8_t>(v & 0x7F);
}

// The configuration bytes a pin-configuration write carries for one store.
std::vector<uint8_t> ConfigBytes(const PinRecord& pin, bool active) {
  const auto& p = pin.PinConfig;
  const uint8_t position = Low7(active ? pin.CurrentValue : p[kCfgPosition]);
  switch (p[kCfgKind]) {
    case kServo: {
      std::vector<uint8_t> c = {kServo, position, static_cast<uint8_t>(p[kCfgServoFlags] & 0x3F)};
      for (int i = 3; i <= 11; ++i) c.push_back(Low7(p[i]));
      return c;
    }
    case kPwm:
    case kPwmInverted:
      return {p[kCfgKind],
              position,
              Low7(p[2]),
              Low7(p[3]),
              Low7(p[kCfgPwmOffLevel]),
              Low7(p[kCfgPwmOnLevel])};
    case kInput:
    case kInputLowActive:
      return {p[kCfgKind], position, Low7(p[2]), Low7(p[3]), Low7(p[4])};
    default:
      return {0};
  }
}

uint8_t ActionNibble(int action) {
  return static_cast<uint8_t>(action < 0 ? 15 : action & 0x0F);
}

}  // namespace

void StoreConfig(const BoardConfig& config, BoardMemory& memory) {
  const GeneralSettings& g = config.General;
  int v[4] = {};
  char tail = 0;
  if (std::sscanf(g.VersionText.c_str(), "%d.%d.%d.%d%c", &v[0], &v[1], &v[2], &v[3], &tail) == 4) {
    for (int i = 0; i < 4; ++i) memory.version[i] = Low7(v[i]);
  }
  memory.id_string.clear();
  for (char c : g.IdString.substr(0, 12)) memory.id_string.push_back(static_cast<char>(c & 0x7F));
  for (int k = 0; k < 4; ++k) memory.hardware[k] = Low7(HardwareByte(g, k));
  if (g.ForceXA) {
    memory.serial_addressing = {0, 0};
    memory.group_mask = {0, 0, 0, 0};
    memory.xaddress = 127;
  } else {
    memory.serial_addressing = {static_cast<uint8_t>(g.KRaddr ? 1 : 0),
                                Low7(g.VLNative ? 64 : g.KoraFlexAddress)};
    for (int k = 0; k < 4; ++k) memory.group_mask[k] = Low7(GroupMaskByte(g, k));
    memory.xaddress = Low7(g.GenXAddress);
  }
  memory.dcc_address = {Low7(g.DccAddress & 63), Low7(g.DccAddress / 64)};
  memory.xdcc_address = {Low7(g.XDccAddress & 63), Low7(g.XDccAddress / 64)};
  memory.dcc_options = Low7(DccOptionsByte(g));
  memory.led_green = Low7(LedByte(g.LedGreen));
  memory.led_orange = Low7(LedByte(g.LedOrange));
  memory.serial_port = {static_cast<uint8_t>(g.SerialEnable ? 1 : 0), Low7(SerialPortByte(g))};
  memory.event_disable = {Low7(OnDisableMask(g)), Low7(OffDisableMask(g))};

  for (int p = 0; p < kPinCount; ++p) {
    const PinRecord& record = config.Pins[p];
    BoardPin& pin = memory.pins[p];
    pin.flash_config = ConfigBytes(record, false);
    pin.active_config = ConfigBytes(record, true);
    pin.aspect_mode = record.AspectMode;
    pin.init_nibble =
        static_cast<uint8_t>(record.InitialAspect == 0 ? 15 : (record.InitialAspect - 1) & 0x0F);
    pin.dcc_nibble = static_cast<uint8_t>((record.XDccCount & 1) * 8 + (record.DccCount & 7));
    pin.kora_count = static_cast<uint8_t>(record.KoraCount & 7);
    pin.device_distance = static_cast<uint8_t>(((record.DeviceRef % 32) + 32) % 32);
    pin.steps = {};
    const AspectRectangle rect = RectangleOf(record.AspectMode);
    for (int a = 0; a < rect.aspects; ++a) {
      for (int s = 0; s < rect.steps; ++s) {
        const StepRecord& step = record.Aspects[a].Steps[s];
        pin.steps[a][s] =
            EncodeWireStep(step.Instruction, step.Fade, step.Par0, step.Par1, step.Par2, step.Par3);
      }
    }
    for (int i = 0; i < 4; ++i) {
      pin.event_on[i] = ActionNibble(config.Events.At(p, kEventOn, i));
      pin.event_off[i] = ActionNibble(config.Events.At(p, kEventOff, i));
    }
  }
}

}  // namespace vela::sim
