#include "model/general_settings.h"
#include "model/number_text.h"

#include <gtest/gtest.h>

namespace vela {
namespace {

TEST(NumberText, TextWithTrailingLetters_ReadsItsNumericStartRoundedHalfToEven) {
  EXPECT_EQ(NumericValue("  12abc"), 12);
  EXPECT_EQ(NumericValue("abc"), 0);
  EXPECT_EQ(NumericValue("-3"), -3);
  EXPECT_EQ(NumericValue("2.5"), 2.5);
  EXPECT_EQ(NumericValue(""), 0);
  EXPECT_EQ(NumericValue("-"), 0);
  EXPECT_FALSE(IsNumeric("x1"));
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-1.5), -2);
}

TEST(NumberText, CommitBox_ClampsToTheLimitText) {
  BoxEntry high = CommitBox("12", -1, 11);
  EXPECT_EQ(high.text, "11");
  EXPECT_EQ(high.value, 11);
  BoxEntry low = CommitBox("-5", -1, 11);
  EXPECT_EQ(low.text, "-1");
  BoxEntry word = CommitBox("abc", -1, 11);
  EXPECT_EQ(word.text, "abc");
  EXPECT_EQ(word.value, 0);
  EXPECT_EQ(CommitBox("2.5", -1, 11).value, 2);
  EXPECT_EQ(CommitBox("99999999999999999999999", 0, 5).text, "5");
}

TEST(GeneralSettings, LedRow_BoxSevenGrayedExactlyWhenNothingSelected) {
  GeneralSettings g;
  g.LedGreen[2] = CheckState::kChecked;
  ClickLedBox(g.LedGreen, 2);
  EXPECT_EQ(g.LedGreen[7], CheckState::kUnchecked);
  g.LedGreen[2] = CheckState::kUnchecked;
  ClickLedBox(g.LedGreen, 2);
  EXPECT_EQ(g.LedGreen[7], CheckState::kGrayed);
  g.LedGreen[1] = CheckState::kChecked;
  ClickLedBox(g.LedGreen, 1);
  g.LedGreen[7] = CheckState::kChecked;
  ClickLedBox(g.LedGreen, 7);
  EXPECT_EQ(g.LedGreen[7], CheckState::kGrayed);
  EXPECT_EQ(LedByte(g.LedGreen), 0);
  ApplyLedByte(g.LedOrange, 0x41);
  EXPECT_EQ(g.LedOrange[0], CheckState::kChecked);
  EXPECT_EQ(g.LedOrange[6], CheckState::kChecked);
  EXPECT_EQ(g.LedOrange[7], CheckState::kUnchecked);
  EXPECT_EQ(LedByte(g.LedOrange), 0x41);
}

TEST(GeneralSettings, SettingsToBytes_GiveTheBoardMessageBytes) {
  GeneralSettings g;
  g.PacketRetention = 3;
  g.AllowAddress0 = true;
  EXPECT_EQ(DccOptionsByte(g), 11);
  g.PacketRetention = 7;  // not a button index: read as the default
  EXPECT_EQ(DccOptionsByte(g), 10);
  g.HwcSink[1] = g.HwcSource[1] = true;
  EXPECT_EQ(HardwareByte(g, 1), 3);
  g.XGM[4] = g.XGM[7] = true;
  EXPECT_EQ(GroupMaskByte(g, 1), 9);
  g.BaudIndex = 4;
  g.DataBitsIndex = 1;
  g.ParityIndex = 3;
  g.StopIndex = 1;
  EXPECT_EQ(SerialPortByte(g), 4 + 8 + 48 + 64);
  g.InitEE = {true, true, true, true, false, false, false, false};
  EXPECT_EQ(OnDisableMask(g), 0x00);
  EXPECT_EQ(OffDisableMask(g), 0x0F);
}

TEST(GeneralSettings, DecoderAddressOutOfRange_ClampsToItsLimits) {
  GeneralSettings g;
  EXPECT_EQ(ClampDccAddress(g, 0), 1);
  EXPECT_EQ(ClampDccAddress(g, 600), 510);
  g.AllowAddress0 = true;
  EXPECT_EQ(ClampDccAddress(g, 0), 0);
  EXPECT_EQ(ClampXDccAddress(g, 5000), 2046);
}

TEST(GeneralSettings, ForcedOrKoraAddressing_HidesTheBoxesItOverrides) {
  GeneralSettings g;
  g.ForceXA = true;
  SerialAddressingVisibility v = VisibilityOf(g);
  EXPECT_FALSE(v.vl_native || v.kr_addr || v.kora_base || v.xaddress || v.group_mask);
  g.ForceXA = false;
  g.KRaddr = true;
  v = VisibilityOf(g);
  EXPECT_TRUE(v.kora_base);
  EXPECT_FALSE(v.vl_native);
  EXPECT_TRUE(v.kr_addr);
}

}  // namespace
}  // namespace vela
