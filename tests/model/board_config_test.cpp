#include "model/board_config.h"
#include "model/address_display.h"

#include <gtest/gtest.h>

namespace vela {
namespace {

TEST(BoardConfig, StartUp_EveryPinHasOneAddressOfEachKind) {
  BoardConfig c;
  for (int i = 0; i <= 32; ++i) EXPECT_EQ(c.Starts.DccStart[i], i);
  EXPECT_EQ(c.Starts.DccTotal, 32);
  EXPECT_EQ(c.Starts.XDccTotal, 32);
  EXPECT_EQ(c.Starts.KoraTotal, 32);
  EXPECT_EQ(c.Pins[32].DccCount, 0);
  EXPECT_EQ(c.NumberBase, 1);
  EXPECT_EQ(c.DataFileVersion, "3100");
  EXPECT_EQ(c.Events.At(5, kEventOff, 3), -1);
  EXPECT_EQ(c.Events.At(31, kEventOn, 0), -1);
  EXPECT_EQ(c.General.LedGreen[7], CheckState::kGrayed);
  EXPECT_TRUE(c.General.InitEE[7]);
  EXPECT_EQ(c.General.PacketRetention, 2);
}

TEST(BoardConfig, CountZero_StartRepeatsAndTotalDrops) {
  BoardConfig c;
  c.Pins[3].DccCount = 0;
  c.ComputeDccStarts();
  EXPECT_EQ(c.Starts.DccStart[4], c.Starts.DccStart[3]);
  EXPECT_EQ(c.Starts.DccTotal, 31);
}

TEST(BoardConfig, CountsFromAFile_TotalDoesNotWrap) {
  BoardConfig c;
  for (int i = 0; i < 32; ++i) c.Pins[i].KoraCount = 200;
  c.ComputeKoraStarts();
  EXPECT_EQ(c.Starts.KoraTotal, 6400);
  EXPECT_EQ(c.Starts.KoraStart[31], 6200);
}

TEST(BoardConfig, ReleaseDevice_HeadClearsAllMembers_MemberDoesNothing) {
  BoardConfig c;
  c.Pins[5].DeviceName = "Signal";
  c.Pins[6].DeviceRef = -1;
  c.Pins[7].DeviceRef = -2;
  c.Pins[6].DeviceName = "stale";
  c.ReleaseDevice(6);
  EXPECT_EQ(c.Pins[6].DeviceRef, -1);
  EXPECT_EQ(c.Pins[5].DeviceName, "Signal");
  c.ReleaseDevice(5);
  for (int p : {5, 6, 7}) {
    EXPECT_EQ(c.Pins[p].DeviceRef, 0);
    EXPECT_EQ(c.Pins[p].DeviceName, "");
  }
}

TEST(BoardConfig, Referral_ToANonHead_ShowsReferralIsNoDevice) {
  BoardConfig c;
  c.NumberBase = 1;
  c.Pins[2].DeviceName = "Head";
  c.Pins[3].DeviceRef = -1;  // -> 2, a head
  c.Pins[4].DeviceRef = -1;  // -> 3, itself a member
  EXPECT_EQ(c.Referral(3).name, "Head");
  EXPECT_EQ(c.Referral(3).shown_pin, 3);
  EXPECT_FALSE(c.Referral(3).name_editable);
  EXPECT_EQ(c.Referral(4).name, "<Referral is no Device !>");
  EXPECT_TRUE(c.RefersToDeviceHead(3));
  EXPECT_FALSE(c.RefersToDeviceHead(4));
  EXPECT_EQ(c.Referral(2).name, "Head");
  EXPECT_TRUE(c.Referral(2).name_editable);
}

TEST(BoardConfig, Referral_OutsideTheTable_IsNoDevice) {
  BoardConfig c;
  c.Pins[1].DeviceRef = -300;
  EXPECT_EQ(c.Referral(1).name, "<Referral is no Device !>");
  EXPECT_FALSE(c.RefersToDeviceHead(1));
  c.Pins[30].DeviceRef = 1;  // a device wrapped past pin 31 refers forward
  EXPECT_EQ(c.DeviceHead(30), 31);
}

TEST(PinTable, ModeSwitch_KeepsStepsOutsideTheRectangle) {
  PinRecord pin;
  pin.AspectMode = 3;
  pin.Aspects[2].Steps[6].Instruction = 9;
  pin.AspectMode = 2;
  EXPECT_EQ(RectangleOf(pin.AspectMode).steps, 3);
  pin.AspectMode = 3;
  EXPECT_EQ(pin.Aspects[2].Steps[6].Instruction, 9);
  EXPECT_EQ(RectangleOf(1).aspects, 0);
}

TEST(PinTable, FileInstruction_FadeSplitAndNsFade) {
  StepRecord s;
  SplitFileInstruction(24, s);
  EXPECT_EQ(s.Instruction, 8);
  EXPECT_EQ(s.Fade, 1);
  SplitFileInstruction(63, s);
  EXPECT_EQ(s.Instruction, 47);
  EXPECT_EQ(s.Fade, 1);
  SplitFileInstruction(114, s);
  EXPECT_EQ(s.Instruction, 114);
  EXPECT_EQ(s.Fade, 0);
  SplitFileInstruction(19, s);  // "NS G->Y->R" with fade
  EXPECT_EQ(s.Instruction, 3);
  EXPECT_EQ(s.Fade, 1);
  SplitFileInstruction(18, s);
  EXPECT_EQ(s.Instruction, 18);
  EXPECT_EQ(s.Fade, 0);
  SplitWireInstruction(21, s);
  EXPECT_EQ(s.Instruction, 5);
  EXPECT_EQ(s.Fade, 1);
  SplitWireInstruction(17, s);
  EXPECT_EQ(s.Instruction, 17);
  EXPECT_EQ(s.Fade, 0);
}

TEST(AddressDisplay, DccRange_NormalOverflowAndEmpty) {
  BoardConfig c;
  EXPECT_EQ(DccRangeLabel(c).caption, "Output 1 .. 32");
  c.General.DccAddress = 511;
  RangeLabel over = DccRangeLabel(c);
  EXPECT_EQ(over.caption, "Output 2041 .. OVFLOW");
  EXPECT_EQ(over.colour, LabelColour::kRed);
  c.General.DccAddress = 503;
  EXPECT_EQ(DccRangeLabel(c).caption, "Output 2009 .. 2040");
  for (int i = 0; i < 32; ++i) c.Pins[i].DccCount = 0;
  c.ComputeDccStarts();
  EXPECT_EQ(DccRangeLabel(c).caption, "No addr in use");
  EXPECT_EQ(DccRangeLabel(c).colour, LabelColour::kUnchanged);
  EXPECT_EQ(PinDccAddressText(c), "-");
}

TEST(AddressDisplay, AllowAddress0_BaseFollowsNumbering) {
  BoardConfig c;
  c.General.AllowAddress0 = true;
  c.General.DccAddress = 0;
  EXPECT_EQ(DccBase(c), 1);
  c.NumberBase = 0;
  EXPECT_EQ(DccBase(c), 0);
  c.General.XDccAddress = 2040;
  EXPECT_EQ(XDccRangeLabel(c).caption, "Output 2040 .. OVERFLOW");
}

TEST(AddressDisplay, KoraLegacyAddressing_ShowsTheSerialAddressOfThePin) {
  BoardConfig c;
  c.NumberBase = 0;
  c.CurrentPin = 5;
  ModuleAddressing m{2, 0, false};
  KoraAddressTexts t = PinKoraAddressTexts(c, m);
  EXPECT_EQ(t.serial, "69");
  EXPECT_EQ(t.pin, "2.5");
  c.Pins[0].KoraCount = 36;  // pin 5 now starts at 40
  c.ComputeKoraStarts();
  EXPECT_EQ(PinKoraAddressTexts(c, m).serial, "-");
  c.General.KRaddr = true;
  c.General.KoraFlexAddress = 10;
  EXPECT_EQ(PinKoraAddressTexts(c, m).serial, "80");
  m.use_xaddress = true;
  m.module_xaddress = 7;
  EXPECT_EQ(PinKoraAddressTexts(c, m).pin, "2.7.40");
  c.Pins[5].KoraCount = 0;
  EXPECT_EQ(PinKoraAddressTexts(c, m).pin, "-");
}

}  // namespace
}  // namespace vela
