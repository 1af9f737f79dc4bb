#include "model/aspect_editor_rules.h"

#include <gtest/gtest.h>

namespace vela {
namespace {

TEST(AspectEditorRulesTest, OptionOrMode_MapsToTheOtherBothWays) {
  EXPECT_EQ(AspectModeOfOption(0), 0);
  EXPECT_EQ(AspectModeOfOption(1), 3);
  EXPECT_EQ(AspectModeOfOption(2), 2);
  EXPECT_EQ(OptionOfAspectMode(3), 1);
  EXPECT_EQ(OptionOfAspectMode(2), 2);
  EXPECT_EQ(OptionOfAspectMode(1), 0);
  EXPECT_EQ(OptionOfAspectMode(200), 0);
  EXPECT_EQ(ViewOfOption(1).rows, 9);
  EXPECT_EQ(ViewOfOption(1).upper_limit, 3);
  EXPECT_EQ(ViewOfOption(2).rows, 3);
  EXPECT_EQ(ViewOfOption(2).upper_limit, 11);
  EXPECT_FALSE(ViewOfOption(0).aspect_controls);
  EXPECT_EQ(ViewOfOption(0).rows, 0);
}

TEST(AspectEditorRulesTest, FourAspects_Aspect7Shows3_Init9ShowsMinus1) {
  EXPECT_EQ(AspectTextForFourAspects("7"), "3");
  EXPECT_EQ(AspectTextForFourAspects("2"), "2");
  EXPECT_EQ(InitTextForFourAspects("9"), "-1");
  EXPECT_EQ(InitTextForFourAspects("3"), "3");
  EXPECT_EQ(InitTextForFourAspects("-1"), "-1");
}

TEST(AspectEditorRulesTest, PinBox_ClampsToShownRange) {
  BoxEntry e = CommitPinBox("0", 1);
  EXPECT_EQ(e.text, "1");
  EXPECT_EQ(e.value, 0);
  e = CommitPinBox("40", 1);
  EXPECT_EQ(e.text, "32");
  EXPECT_EQ(e.value, 31);
  e = CommitPinBox("40", 0);
  EXPECT_EQ(e.text, "31");
  EXPECT_EQ(e.value, 31);
  e = CommitPinBox("12", 1);
  EXPECT_EQ(e.text, "12");
  EXPECT_EQ(e.value, 11);
}

TEST(AspectEditorRulesTest, AspectAndInitBoxOutOfRange_ClampToTheAspectCount) {
  EXPECT_EQ(CommitAspectBox("5", 3).text, "3");
  EXPECT_EQ(CommitAspectBox("-2", 11).text, "0");
  EXPECT_EQ(CommitInitBox("-3", 11).text, "-1");
  EXPECT_EQ(CommitInitBox("-3", 11).value, -1);
  EXPECT_EQ(CommitInitBox("12", 11).text, "11");
}

TEST(AspectEditorRulesTest, CountBoxOfOneWithoutDetails_IsHidden) {
  EXPECT_FALSE(CountBoxShown("1", false));
  EXPECT_TRUE(CountBoxShown("1", true));
  EXPECT_TRUE(CountBoxShown("0", false));
  EXPECT_TRUE(CountBoxShown("2", false));
}

TEST(AspectEditorRulesTest, DeviceFields_MemberLosesOwnName) {
  BoardConfig config;
  config.Pins[4].DeviceName = "Signal";
  config.Pins[6].DeviceRef = -2;
  config.Pins[6].DeviceName = "left over";
  config.CurrentPin = 6;
  DeviceReferral r = ShowDeviceFields(config);
  EXPECT_EQ(config.Pins[6].DeviceName, "");
  EXPECT_EQ(r.name, "Signal");
  EXPECT_EQ(r.shown_pin, 5);
  EXPECT_FALSE(r.name_editable);
  config.Pins[4].DeviceRef = 1;  // the referred pin is itself a member
  r = ShowDeviceFields(config);
  EXPECT_EQ(r.name, kReferralIsNoDevice);
  config.CurrentPin = 4;
  config.Pins[4].DeviceRef = 0;
  r = ShowDeviceFields(config);
  EXPECT_EQ(r.name, "Signal");
  EXPECT_TRUE(r.name_editable);
}

}  // namespace
}  // namespace vela
