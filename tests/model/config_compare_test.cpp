#include "model/config_compare.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "files/data_file.h"
#include "model/general_settings.h"

namespace vela {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A layout with something of every kind: a signal with timed steps, a servo, a PWM output,
// an input, a device of two pins, event actions and general settings off their defaults.
BoardConfig Layout() {
  BoardConfig c;
  GeneralSettings& g = c.General;
  g.IdString = "Yard";
  g.DccAddress = 12;
  g.XGM[3] = true;
  ApplyLedByte(g.LedGreen, 0x05);
  g.InitEE[6] = false;

  PinRecord& signal = c.Pins[2];
  signal.Description = "Entry signal";
  signal.DeviceName = "Signal";
  signal.AspectMode = 3;
  signal.InitialAspect = 1;
  signal.Aspects[1].Description = "Red";
  signal.Aspects[1].Steps[0] = {9, 1, 0, 10, 0, 0};      // On, fade, P.O. 0, T 10
  signal.Aspects[1].Steps[1] = {39, 0, 1, 64, 0, 0};     // Set Servo, P.O. 1, Pos. 0
  signal.Aspects[1].Steps[2] = {96, 0, 127, 20, 50, 1};  // SetLevel & Wait, Accel -1
  c.Pins[3].DeviceRef = -1;
  c.Pins[3].Description = "Entry signal, yellow";

  PinRecord& servo = c.Pins[4];
  servo.Description = "Turnout";
  servo.PinConfig = {kServo, 64, 0x0A, 64, 127, 58, 127, 127, 64, 0, 64, 0};
  c.Pins[5].Description = "Platform lights";
  c.Pins[5].PinConfig = {kPwm, 3, 1, 28, 0, 31};
  c.Pins[6].Description = "Track contact";
  c.Pins[6].PinConfig = {kInputLowActive, 0, 0, 4, 4};
  c.Events.At(2, kEventOn, 0) = 1;
  c.Events.At(4, kEventOff, 3) = 0;
  return c;
}

std::vector<std::string> Lines(const BoardConfig& a, const BoardConfig& b) {
  static const InstructionSet set;
  return DifferenceLines(CompareConfigs(a, b, set));
}

TEST(ConfigCompare, SameLayout_NoLine) {
  EXPECT_THAT(Lines(Layout(), Layout()), IsEmpty());
  EXPECT_THAT(Lines(BoardConfig(), BoardConfig()), IsEmpty());
}

TEST(ConfigCompare, SavedFullAndCompact_CompareEqual) {
  BoardConfig layout = Layout();
  // Compact leaves out pins without description, so every programmed pin has one here.
  std::string full, compact, refusal;
  ASSERT_TRUE(FormatDataFile(layout, false, full, refusal)) << refusal;
  ASSERT_TRUE(FormatDataFile(layout, true, compact, refusal)) << refusal;
  ASSERT_NE(full, compact);
  BoardConfig from_full, from_compact;
  ASSERT_EQ(ParseDataFile(full, from_full).outcome, DataFileRead::Outcome::kLoaded);
  ASSERT_EQ(ParseDataFile(compact, from_compact).outcome, DataFileRead::Outcome::kLoaded);
  EXPECT_THAT(Lines(from_full, from_compact), IsEmpty());
  EXPECT_THAT(Lines(layout, from_compact), IsEmpty());
}

TEST(ConfigCompare, WhatIsNoPartOfTheConfiguration_NoLine) {
  BoardConfig a = Layout();
  BoardConfig b = Layout();
  // Outside the four-aspect rectangle: aspect 5, and step 9 of aspect 0.
  b.Pins[2].Aspects[5].Description = "hidden";
  b.Pins[2].Aspects[5].Steps[0] = {9, 0, 0, 3, 0, 0};
  b.Pins[2].Aspects[0].Steps[9] = {8, 0, 0, 3, 0, 0};
  // Fields the instruction does not use, and the board's servo state bit.
  b.Pins[2].Aspects[1].Steps[0].Par3 = 2;
  b.Pins[2].Aspects[1].Steps[1].Par2 = 7;
  b.Pins[4].PinConfig[2] = 0x4A;
  // The live test value, and bytes a PWM output does not use.
  b.Pins[5].CurrentValue = 17;
  b.Pins[5].PinConfig[9] = 5;
  // A member's own name, which the window gives up.
  b.Pins[3].DeviceName = "stale";
  // Kora base while Kora flexible addressing is off.
  b.General.KoraFlexAddress = 9;
  EXPECT_THAT(Lines(a, b), IsEmpty());
}

TEST(ConfigCompare, OneFieldOfEachKind_OneLineInTheWindowsWords) {
  const BoardConfig a = Layout();
  auto one = [&](auto change) {
    BoardConfig b = Layout();
    change(b);
    return Lines(a, b);
  };
  EXPECT_THAT(one([](BoardConfig& b) { b.Pins[2].Aspects[1].Steps[2].Par1 = 21; }),
              ElementsAre("Pin 3, Aspect 1, Step 2 (SetLevel & Wait), Level: 20 | 21"));
  EXPECT_THAT(one([](BoardConfig& b) { b.Pins[2].Aspects[1].Steps[2].Par3 = 2; }),
              ElementsAre("Pin 3, Aspect 1, Step 2 (SetLevel & Wait), Time: "
                          "00:08.00 (Time 50, Base 1) | 01:04.00 (Time 50, Base 2)"));
  // Par 1 with its offset; Par 0 relative to the pin.
  EXPECT_THAT(one([](BoardConfig& b) { b.Pins[2].Aspects[1].Steps[1].Par1 = 70; }),
              ElementsAre("Pin 3, Aspect 1, Step 1 (Set Servo), Pos.: 0 | 6"));
  EXPECT_THAT(one([](BoardConfig& b) { b.Pins[2].Aspects[1].Steps[1].Par0 = 30; }),
              ElementsAre("Pin 3, Aspect 1, Step 1 (Set Servo), P.O.: 1 | -2"));
  EXPECT_THAT(one([](BoardConfig& b) { b.Pins[2].Aspects[1].Steps[0].Fade = 0; }),
              ElementsAre("Pin 3, Aspect 1, Step 0 (On), Fade: checked | unchecked"));
  EXPECT_THAT(one([](BoardConfig& b) { b.Pins[2].Aspects[1].Steps[0] = {102, 0, 0, 0, 5, 0}; }),
              ElementsAre("Pin 3, Aspect 1, Step 0: On, Fade, P.O. 0, T(/60) 10 | "
                          "Wait, 00:00.10 (Time 5, Base 0)"));
  EXPECT_THAT(one([](BoardConfig& b) { b.Pins[4].PinConfig[6] = 100; }),
              ElementsAre("Pin 5, Servo, MaxSpd: 127 | 100"));
  EXPECT_THAT(one([](BoardConfig& b) { b.Pins[4].PinConfig[3] = 70; }),
              ElementsAre("Pin 5, Servo, Midpoint: 0 | 6"));
  EXPECT_THAT(
      one([](BoardConfig& b) { b.Pins[4].PinConfig[2] = 0x2B; }),
      ElementsAre("Pin 5, Servo, Range: M | L", "Pin 5, Servo, Suspended: unchecked | checked"));
  EXPECT_THAT(one([](BoardConfig& b) { b.Pins[5].PinConfig[2] = 3; }),
              ElementsAre("Pin 6, PWM, Acceleration Mode: Logaritmic | Linear"));
  EXPECT_THAT(one([](BoardConfig& b) { b.Pins[6].PinConfig[0] = kInput; }),
              ElementsAre("Pin 7, Input, Low Active: checked | unchecked"));
  EXPECT_THAT(one([](BoardConfig& b) { b.Pins[6].PinConfig[0] = kServo; }),
              ElementsAre("Pin 7, Configuration: Input | Servo"));
  EXPECT_THAT(one([](BoardConfig& b) { b.Events.At(2, kEventOn, 0) = -1; }),
              ElementsAre("Pin 3, Event ON, Input 0: 1 | -1"));
  EXPECT_THAT(one([](BoardConfig& b) { b.General.InitEE[6] = true; }),
              ElementsAre("Initial Event_OFF Enable, Input 2: unchecked | checked"));
  EXPECT_THAT(one([](BoardConfig& b) { b.General.PacketRetention = 3; }),
              ElementsAre("DCC, Packet Retention: 250ms | 500ms"));
  EXPECT_THAT(one([](BoardConfig& b) { b.Pins[2].Description = "Home signal"; }),
              ElementsAre("Pin 3, Description: \"Entry signal\" | \"Home signal\""));
  EXPECT_THAT(one([](BoardConfig& b) { b.Pins[2].Aspects[1].Description = "Stop"; }),
              ElementsAre("Pin 3, Aspect 1, Description: \"Red\" | \"Stop\""));
  EXPECT_THAT(one([](BoardConfig& b) { b.Pins[3].DeviceRef = 0; }),
              ElementsAre("Pin 4, Device Pin: 3 | 4"));
  EXPECT_THAT(one([](BoardConfig& b) { b.Pins[2].InitialAspect = 0; }),
              ElementsAre("Pin 3, Init: 0 | -1"));
  EXPECT_THAT(one([](BoardConfig& b) { b.Pins[9].DccCount = 2; }),
              ElementsAre("Pin 10, Nr Of Addresses, B-DCC: 1 | 2"));
  EXPECT_THAT(one([](BoardConfig& b) { b.General.XGM[3] = false; }),
              ElementsAre("Serial Addressing Options, eXt Group Mask 3: checked | unchecked"));
  EXPECT_THAT(
      one([](BoardConfig& b) { ApplyLedByte(b.General.LedGreen, 0x04); }),
      ElementsAre("LED Control, Green LED function, Basic DCC Packet: checked | unchecked"));
}

TEST(ConfigCompare, NumberingFromZero_PinsAndPinNumbersFollowIt) {
  BoardConfig a = Layout();
  BoardConfig b = Layout();
  a.NumberBase = 0;
  b.Pins[4].PinConfig[6] = 100;
  b.General.HwcSink[1] = true;
  EXPECT_THAT(Lines(a, b),
              ElementsAre("Hardware Config, Sink Driver, Pin 8..15: unchecked | checked",
                          "Pin 4, Servo, MaxSpd: 127 | 100"));
}

TEST(ConfigCompare, ManyFields_GeneralThenEnablesThenPinByPin) {
  BoardConfig a = Layout();
  BoardConfig b = Layout();
  b.Pins[6].PinConfig[4] = 9;
  b.Pins[2].AspectMode = 2;  // twelve aspects of three steps
  b.General.InitEE[0] = false;
  b.General.SerialEnable = true;
  b.General.IdString = "Yard 2";
  EXPECT_THAT(
      Lines(a, b),
      ElementsAre("ID String: \"Yard\" | \"Yard 2\"", "Serial Port, Enable: unchecked | checked",
                  "InitialEvent_ON Enable, Input 0: checked | unchecked", "Pin 3, Aspects: 4 | 12",
                  // Steps 3..8 leave the rectangle; the empty ones say nothing.
                  "Pin 7, Input, ON-delay (debounce): 4 | 9"));
}

TEST(ConfigCompare, RectanglesDiffer_StepsOnOneSideOnlyShowNone) {
  BoardConfig a = Layout();
  BoardConfig b = Layout();
  a.Pins[2].Aspects[1].Steps[5] = {8, 0, 0, 3, 0, 0};
  b.Pins[2].AspectMode = 2;
  b.Pins[2].Aspects[7].Steps[0] = {9, 0, 0, 3, 0, 0};
  const InstructionSet set;
  auto differences = CompareConfigs(a, b, set);
  EXPECT_THAT(DifferenceLines(differences),
              ElementsAre("Pin 3, Aspects: 4 | 12",
                          "Pin 3, Aspect 1, Step 5: Off, P.O. 0, T(/60) 3 | (none)",
                          "Pin 3, Aspect 7, Step 0: (none) | On, P.O. 0, T(/60) 3"));
  // Where each lies, for the window to select it.
  EXPECT_EQ(differences[1].pin, 2);
  EXPECT_EQ(differences[1].aspect, 1);
  EXPECT_EQ(differences[1].step, 5);
  EXPECT_EQ(differences[0].aspect, -1);
}

TEST(ConfigCompare, ShownAlikeStoredApart_NamesTheStoredValues) {
  BoardConfig a = Layout();
  BoardConfig b = Layout();
  // On pin 3 an offset of 33 points where 1 does; only a file can hold it.
  b.Pins[2].Aspects[1].Steps[1].Par0 = 33;
  EXPECT_THAT(Lines(a, b), ElementsAre("Pin 3, Aspect 1, Step 1 (Set Servo), P.O.: "
                                       "1 (stored 1) | 1 (stored 33)"));
}

TEST(ConfigCompare, Count_SaysSingularAndNone) {
  EXPECT_EQ(DifferenceCount(0), "no difference");
  EXPECT_EQ(DifferenceCount(1), "1 difference");
  EXPECT_EQ(DifferenceCount(12), "12 differences");
}

}  // namespace
}  // namespace vela
