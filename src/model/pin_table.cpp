#include "model/pin_table.h"

namespace vela {

int RewriteServoFlags(int flags) {
  if (flags > 15 && (flags & 0x08) == 0) return flags / 16 + 40;
  return flags;
}

void SetDefaultPwmLevels(std::array<uint8_t, 13>& config) {
  config[kCfgPwmOffLevel] = kPwmDefaultOffLevel;
  config[kCfgPwmOnLevel] = kPwmDefaultOnLevel;
}

bool HasDefaultPwmLevels(const std::array<uint8_t, 13>& config) {
  return config[kCfgPwmOffLevel] == kPwmDefaultOffLevel &&
         config[kCfgPwmOnLevel] == kPwmDefaultOnLevel;
}

AspectRectangle RectangleOf(int aspect_mode) {
  if (aspect_mode == 3) return {4, 9};
  if (aspect_mode == 2) return {12, 3};
  return {0, 0};
}

int MaxAspectOf(int aspect_mode) {
  return aspect_mode == 3 ? 3 : 11;
}

void SplitFileInstruction(int value, StepRecord& step) {
  if (value >= 21 && value <= 63) {
    step.Fade = (value >> 4) & 1;
    step.Instruction = static_cast<uint8_t>(value & ~0x10);
  } else if (value == 19) {
    step.Fade = 1;
    step.Instruction = 3;
  } else {
    step.Fade = 0;
    step.Instruction = static_cast<uint8_t>(value);
  }
}

void SplitWireInstruction(int value, StepRecord& step) {
  if ((value & 0x10) != 0 && value >= 21 && value <= 63) {
    step.Fade = 1;
    step.Instruction = static_cast<uint8_t>(value - 16);
  } else {
    step.Fade = 0;
    step.Instruction = static_cast<uint8_t>(value);
  }
}

void ClearPinProgram(PinRecord& pin) {
  pin.Description.clear();
  pin.DeviceName.clear();
  pin.InitialAspect = 0;
  pin.AspectMode = 0;
  pin.DeviceRef = 0;
  for (int i = 0; i <= 11; ++i) pin.PinConfig[i] = 0;
  for (int a = 0; a <= 11; ++a) {
    pin.Aspects[a].Description.clear();
    for (int s = 0; s <= 8; ++s) pin.Aspects[a].Steps[s] = StepRecord{};
  }
}

}  // namespace vela
