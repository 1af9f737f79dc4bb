// A fully programmed sample configuration for the fault tests and the benchmarks: the first
// `programmed_pins` pins with AspectMode 3 and all four aspects of nine steps used, a pin
// configuration, descriptions and event actions on every pin, and non-default general settings.
// Every value survives a write and a read unchanged, so a clean "Verify All" of a board written
// from it finds no difference.
#pragma once

#include <string>

#include "model/board_config.h"
#include "model/general_settings.h"
#include "model/pin_table.h"

namespace vela::sim {

inline BoardConfig FullLayout(int programmed_pins = kPinCount) {
  BoardConfig config;
  GeneralSettings& g = config.General;
  g.IdString = "Full Layout";
  g.DccAddress = 201;
  g.XDccAddress = 777;
  g.BasicPacketStateInvert = true;
  g.KRaddr = true;
  g.KoraFlexAddress = 12;
  g.GenXAddress = 5;
  g.XGM[1] = g.XGM[7] = true;
  ApplyLedByte(g.LedGreen, 0x0B);
  ApplyLedByte(g.LedOrange, 0x41);
  g.HwcSink = {true, false, true, false};
  g.HwcSource = {false, true, true, false};
  g.SerialEnable = true;
  g.BaudIndex = 2;
  g.InitEE = {true, false, true, true, false, true, true, false};
  for (int p = 0; p < kPinCount; ++p) {
    PinRecord& pin = config.Pins[p];
    pin.Description = "Output " + std::to_string(p + 1);
    pin.DeviceName = "Device " + std::to_string(p + 1);
    switch (p % 3) {
      case 0:  // plain output
        break;
      case 1:  // PWM: kind, level, four parameters with off level 0 and on level 31
        pin.PinConfig = {kPwm, 10, 4, 6, 0, 31};
        break;
      case 2:  // input
        pin.PinConfig = {kInput, 0, 3, 1, 2};
        break;
    }
    for (int input = 0; input < 4; ++input) {
      config.Events.At(p, kEventOn, input) = static_cast<int16_t>((p + input) % 12);
      config.Events.At(p, kEventOff, input) = static_cast<int16_t>((p + input) % 5 == 0 ? -1 : 3);
    }
    if (p >= programmed_pins) continue;
    pin.AspectMode = 3;
    pin.InitialAspect = static_cast<uint8_t>(p % 4 + 1);
    for (int a = 0; a < 4; ++a) {
      AspectRecord& aspect = pin.Aspects[a];
      aspect.Description = "Aspect " + std::to_string(a) + " of output " + std::to_string(p + 1);
      for (int s = 0; s < 9; ++s) {
        // "On" with fade and "Off": codes whose four parameters all travel as they are.
        StepRecord& step = aspect.Steps[s];
        step.Instruction = static_cast<uint8_t>(s % 2 == 0 ? 9 : 8);
        step.Fade = static_cast<uint8_t>(s % 2 == 0 ? 1 : 0);
        step.Par0 = static_cast<uint8_t>(s);
        step.Par1 = static_cast<uint8_t>(a * 9 + s);
        step.Par2 = static_cast<uint8_t>(p);
        step.Par3 = static_cast<uint8_t>((p * 4 + a) % 128);
      }
    }
  }
  config.ComputeAllStarts();
  return config;
}

}  // namespace vela::sim
