#include "model/pin_config_rules.h"

#include <gtest/gtest.h>

namespace vela {
namespace {

PinRecord PinOfType(int type) {
  PinRecord pin;
  pin.PinConfig[0] = static_cast<uint8_t>(type);
  return pin;
}

TEST(PinConfigRules, PageOfEveryKind_UnknownIsMinusOne) {
  EXPECT_EQ(PageOfConfigType(0), kPageClear);
  EXPECT_EQ(PageOfConfigType(1), kPageServo);
  EXPECT_EQ(PageOfConfigType(2), kPagePwm);
  EXPECT_EQ(PageOfConfigType(3), kPagePwm);
  EXPECT_EQ(PageOfConfigType(4), kPageInput);
  EXPECT_EQ(PageOfConfigType(5), kPageInput);
  EXPECT_EQ(PageOfConfigType(6), -1);
  EXPECT_EQ(PageOfConfigType(255), -1);
}

TEST(PinConfigRules, PickingThePageOfTheOwnKind_KeepsThePin) {
  PinRecord inverted = PinOfType(kPwmInverted);
  inverted.PinConfig[3] = 9;
  inverted.CurrentValue = 17;
  PinRecord before = inverted;
  EXPECT_FALSE(PickConfigPage(inverted, kPagePwm));
  EXPECT_EQ(inverted, before);

  PinRecord input = PinOfType(kInput);
  input.PinConfig[4] = 21;
  before = input;
  EXPECT_FALSE(PickConfigPage(input, kPageInput));
  EXPECT_EQ(input, before);
}

TEST(PinConfigRules, PickingServoOnAPwmPin_InstallsTheServoDefaults) {
  PinRecord pin = PinOfType(kPwm);
  pin.PinConfig = {2, 5, 3, 28, 1, 31, 9, 9, 9, 9, 9, 9, 77};
  pin.CurrentValue = 12;
  EXPECT_TRUE(PickConfigPage(pin, kPageServo));
  const std::array<uint8_t, 13> servo{1, 64, 0, 64, 127, 58, 127, 127, 64, 0, 64, 0, 77};
  EXPECT_EQ(pin.PinConfig, servo);
  EXPECT_EQ(pin.CurrentValue, 64);
}

TEST(PinConfigRules, PickingAPage_StoresThatPagesDefaults) {
  PinRecord pin = PinOfType(kServo);
  pin.PinConfig = {1, 64, 11, 64, 127, 58, 127, 127, 64, 0, 64, 0, 5};
  pin.CurrentValue = 100;
  EXPECT_TRUE(PickConfigPage(pin, kPagePwm));
  EXPECT_EQ(pin.PinConfig, (std::array<uint8_t, 13>{2, 0, 0, 28, 0, 31, 0, 0, 0, 0, 0, 0, 5}));
  EXPECT_EQ(pin.CurrentValue, 0);
  EXPECT_TRUE(PickConfigPage(pin, kPageInput));
  EXPECT_EQ(pin.PinConfig, (std::array<uint8_t, 13>{5, 0, 0, 4, 4, 0, 0, 0, 0, 0, 0, 0, 5}));
  pin.CurrentValue = 3;
  EXPECT_TRUE(PickConfigPage(pin, kPageClear));
  EXPECT_EQ(pin.PinConfig, (std::array<uint8_t, 13>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5}));
  EXPECT_EQ(pin.CurrentValue, 0);
}

TEST(PinConfigRules, ServoRangeAndChecks_ComposeTheFlagsByte) {
  EXPECT_EQ(ComposeServoFlags(3, false, true), 43);
  EXPECT_EQ(ComposeServoFlags(0, false, false), 8);
  EXPECT_EQ(ComposeServoFlags(4, true, true), 4 + 8 + 16 + 32);
  EXPECT_EQ(ServoRangeOf(7), 0);
  EXPECT_EQ(ServoRangeOf(5), 0);
  EXPECT_EQ(ServoRangeOf(4 + 8 + 64), 4);
  EXPECT_EQ(ServoRangeOf(43), 3);
}

TEST(PinConfigRules, PwmOptions_ComposeTheModesByte) {
  EXPECT_EQ(ComposePwmModes(1, 0), 1);
  EXPECT_EQ(ComposePwmModes(0, 1), 2);
  EXPECT_EQ(ComposePwmModes(1, 1), 3);
}

TEST(PinConfigRules, BoxOutOfRange_ShowsTheClampedTextAndStoresItsByte) {
  PinRecord pin = PinOfType(kServo);
  BoxEntry high = CommitPinConfigBox(pin, PinConfigBox::kSrvMaxSpd, "200");
  EXPECT_EQ(high.text, "127");
  EXPECT_EQ(pin.PinConfig[6], 127);
  BoxEntry low = CommitPinConfigBox(pin, PinConfigBox::kSrvMaxSpd, "0");
  EXPECT_EQ(low.text, "1");
  EXPECT_EQ(pin.PinConfig[6], 1);

  EXPECT_EQ(CommitPinConfigBox(pin, PinConfigBox::kBounceUp, "5").text, "0");
  EXPECT_EQ(pin.PinConfig[10], 64);
  EXPECT_EQ(CommitPinConfigBox(pin, PinConfigBox::kBounceUp, "-70").text, "-63");
  EXPECT_EQ(pin.PinConfig[10], 1);

  BoxEntry typed = CommitPinConfigBox(pin, PinConfigBox::kMidpoint, "-12.5");
  EXPECT_EQ(typed.text, "-12.5");
  EXPECT_EQ(pin.PinConfig[3], 64 - 12);
  EXPECT_EQ(CommitPinConfigBox(pin, PinConfigBox::kBounceDown, "64").text, "63");
  EXPECT_EQ(pin.PinConfig[8], 127);
  EXPECT_EQ(CommitPinConfigBox(pin, PinConfigBox::kSrvMaxAccel, "abc").text, "1");
  EXPECT_EQ(pin.PinConfig[7], 1);

  PinRecord input = PinOfType(kInput);
  CommitPinConfigBox(input, PinConfigBox::kInputDelay1, "40");
  EXPECT_EQ(input.PinConfig[4], 31);
  CommitPinConfigBox(input, PinConfigBox::kInputDelay0, "7");
  EXPECT_EQ(input.PinConfig[3], 7);
}

TEST(PinConfigRules, SpinsGoWhereTheBoxesWouldClamp) {
  PinRecord pin = PinOfType(kServo);
  StorePinConfigSpin(pin, PinConfigBox::kSrvMaxAccel, 0);
  EXPECT_EQ(pin.PinConfig[7], 0);
  StorePinConfigSpin(pin, PinConfigBox::kBounceUp, -64);
  EXPECT_EQ(pin.PinConfig[10], 0);
  StorePinConfigSpin(pin, PinConfigBox::kSrvMaxSpd, 0);  // its spin stops at 1
  EXPECT_EQ(pin.PinConfig[6], 1);
}

TEST(PinConfigRules, TypingStoresOnlyWithinRange) {
  PinRecord pin = PinOfType(kServo);
  pin.PinConfig[1] = 64;
  EXPECT_TRUE(StoreWhileTyping(pin, PinConfigBox::kSrvInitPos, "-"));  // reads as 0
  EXPECT_EQ(pin.PinConfig[1], 64);
  EXPECT_TRUE(StoreWhileTyping(pin, PinConfigBox::kSrvInitPos, "-6"));
  EXPECT_EQ(pin.PinConfig[1], 58);
  EXPECT_FALSE(StoreWhileTyping(pin, PinConfigBox::kSrvInitPos, "-66"));
  EXPECT_EQ(pin.PinConfig[1], 58);
  EXPECT_FALSE(StoreWhileTyping(pin, PinConfigBox::kPwmInitLevel, "32"));
  EXPECT_TRUE(StoreWhileTyping(pin, PinConfigBox::kPwmInitLevel, "3"));
  EXPECT_EQ(pin.PinConfig[1], 3);
  EXPECT_EQ(ShownValue(pin, PinConfigBox::kPwmInitLevel), 3);
}

TEST(PinConfigRules, MismatchFollowsTheGroupOfEight) {
  GeneralSettings g;
  EXPECT_FALSE(HardwareMismatch(g, 10));
  g.HwcSink[1] = true;
  EXPECT_TRUE(HardwareMismatch(g, 10));
  EXPECT_TRUE(HardwareMismatch(g, 8));
  EXPECT_FALSE(HardwareMismatch(g, 7));
  EXPECT_FALSE(HardwareMismatch(g, 16));
  g.HwcSink[1] = false;
  g.HwcSource[1] = true;
  EXPECT_TRUE(HardwareMismatch(g, 15));
}

TEST(PinConfigRules, RewriteServoFlags_OnlyHighNibbleFormsChange) {
  EXPECT_EQ(RewriteServoFlags(0x30), 43);
  EXPECT_EQ(RewriteServoFlags(0x38), 0x38);
  EXPECT_EQ(RewriteServoFlags(15), 15);
  EXPECT_EQ(RewriteServoFlags(0x70), 47);
}

TEST(PinConfigRules, DefaultPwmLevels_OffZeroOnThirtyOneAtTheirPositions) {
  PinRecord pin = PinOfType(kPwm);
  pin.PinConfig[4] = 9;
  pin.PinConfig[5] = 9;
  EXPECT_FALSE(HasDefaultPwmLevels(pin.PinConfig));
  SetDefaultPwmLevels(pin.PinConfig);
  EXPECT_EQ(pin.PinConfig[4], 0);
  EXPECT_EQ(pin.PinConfig[5], 31);
  EXPECT_TRUE(HasDefaultPwmLevels(pin.PinConfig));
}

}  // namespace
}  // namespace vela
