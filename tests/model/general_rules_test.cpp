#include "model/general_rules.h"

#include <gtest/gtest.h>

namespace vela {
namespace {

TEST(GeneralRules, ModuleAddressLimits_WithAndWithoutTunnelling) {
  AddressEntry low = CommitAddressBox("0", ModuleAddressRange(1, false), 1);
  EXPECT_EQ(low.text, "1");
  EXPECT_EQ(low.address, 0);
  AddressEntry direct = CommitAddressBox("20", ModuleAddressRange(1, false), 1);
  EXPECT_EQ(direct.text, "16");
  EXPECT_EQ(direct.address, 15);
  AddressEntry tunnel = CommitAddressBox("20", ModuleAddressRange(1, true), 1);
  EXPECT_EQ(tunnel.text, "20");
  EXPECT_EQ(tunnel.address, 19);
  EXPECT_EQ(CommitAddressBox("40", ModuleAddressRange(0, true), 0).text, "31");
}

TEST(GeneralRules, ExtendedAddressAboveLimit_ClampsTo95) {
  AddressEntry entry = CommitAddressBox("100", XAddressRange(1), 1);
  EXPECT_EQ(entry.text, "96");
  EXPECT_EQ(entry.address, 95);
  EXPECT_EQ(CommitAddressBox("abc", XAddressRange(0), 0).address, 0);
}

TEST(GeneralRules, KoraBaseTyped_SnapsDownToAMultipleOfFour) {
  AddressEntry thirteen = CommitKoraBase("13", 1);
  EXPECT_EQ(thirteen.address, 3);
  EXPECT_EQ(thirteen.text, "13");
  AddressEntry fourteen = CommitKoraBase("14", 1);
  EXPECT_EQ(fourteen.address, 3);
  EXPECT_EQ(fourteen.text, "13");
  EXPECT_EQ(CommitKoraBase("16", 1).text, "13");
  EXPECT_EQ(CommitKoraBase("17", 1).text, "17");
  EXPECT_EQ(CommitKoraBase("9999", 1).address, 127);
  EXPECT_EQ(CommitKoraBase("9999", 1).text, "509");
  EXPECT_EQ(CommitKoraBase("-4", 0).text, "0");
  EXPECT_EQ(StepKoraFlexAddress(0, -1), 0);
  EXPECT_EQ(StepKoraFlexAddress(127, 1), 127);
  EXPECT_EQ(StepKoraFlexAddress(3, 1), 4);
}

TEST(GeneralRules, DecoderAddressZero_KeptOnlyWithAllowAddress0) {
  GeneralSettings g;
  EXPECT_EQ(CommitDccAddress(g, "0").text, "1");
  EXPECT_EQ(g.DccAddress, 1);
  g.AllowAddress0 = true;
  EXPECT_EQ(CommitDccAddress(g, "0").text, "0");
  EXPECT_EQ(g.DccAddress, 0);
  EXPECT_EQ(CommitDccAddress(g, "511").text, "510");
  EXPECT_EQ(CommitXDccAddress(g, "3000").text, "2046");
  EXPECT_EQ(g.XDccAddress, 2046);
}

TEST(GeneralRules, HardwareGroupLabel_CountsFromTheNumberingBase) {
  EXPECT_EQ(HardwareGroupsLabel(1), "Pin       1..8         9..16      17..24       25..32");
  EXPECT_EQ(HardwareGroupsLabel(0), "Pin       0..7         8..15      16..23       24..31");
}

}  // namespace
}  // namespace vela
