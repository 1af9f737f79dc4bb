#include "model/help_tool_rules.h"

#include <gtest/gtest.h>

namespace vela {
namespace {

TEST(HelpToolChoiceTest, HelpValueAndBox_ChooseTheTool) {
  EXPECT_EQ(ToolForBox(3, HelpBox::kPar1), HelpToolKind::kPattern);
  EXPECT_EQ(ToolForBox(7, HelpBox::kPar1), HelpToolKind::kPattern);
  EXPECT_EQ(ToolForBox(16, HelpBox::kPar1), HelpToolKind::kEventMap);
  EXPECT_EQ(ToolForBox(1, HelpBox::kPar1), HelpToolKind::kLevel);
  EXPECT_EQ(ToolForBox(9, HelpBox::kPar1), HelpToolKind::kNone);
  EXPECT_EQ(ToolForBox(9, HelpBox::kPar2), HelpToolKind::kTime);
  EXPECT_EQ(ToolForBox(9, HelpBox::kPar3), HelpToolKind::kTime);
  EXPECT_EQ(ToolForBox(9, HelpBox::kTime), HelpToolKind::kTime);
  EXPECT_EQ(ToolForBox(3, HelpBox::kPar2), HelpToolKind::kNone);
  EXPECT_EQ(ToolForBox(16, HelpBox::kTime), HelpToolKind::kNone);
  EXPECT_EQ(ToolForBox(0, HelpBox::kPar1), HelpToolKind::kNone);
  EXPECT_EQ(ToolForBox(8, HelpBox::kPar1), HelpToolKind::kNone);
}

TEST(HelpToolTimeTest, MaxTimeAtBase2_4032Ticks) {
  EXPECT_EQ(HelpMaxTimeText(2), "01:20.64");
  EXPECT_EQ(HelpMaxTimeText(0), "00:01.26");
  EXPECT_EQ(HelpMaxTimeText(3), "10:45.12");
}

TEST(HelpToolTimeTest, Slider10AtBase1_80Ticks) {
  EXPECT_EQ(HelpTimeText(10, 1), "00:01.60");
  EXPECT_EQ(HelpTimeText(0, 3), "00:00.00");
  EXPECT_EQ(HelpTimeText(25, 0), "00:00.50");
}

TEST(HelpToolPatternTest, Multibit3_Value45_TopOutputsClearedAllDarkKept) {
  PatternState s = PatternFromValue(45, 3);
  EXPECT_TRUE(s.outputs[0]);
  EXPECT_FALSE(s.outputs[1]);
  EXPECT_TRUE(s.outputs[2]);
  for (int i = 3; i < 7; ++i) {
    EXPECT_FALSE(s.outputs[i]) << i;
    EXPECT_FALSE(s.output_enabled[i]) << i;
  }
  EXPECT_TRUE(s.output_enabled[2]);
  EXPECT_TRUE(s.dark_enabled);
  EXPECT_TRUE(s.all_dark);
  EXPECT_FALSE(s.no_dark);
  EXPECT_EQ(PatternValue(s), 37);
}

TEST(HelpToolPatternTest, Multibit7_Value127_AllOutputsDarkBoxesDisabled) {
  PatternState s = PatternFromValue(127, 7);
  for (int i = 0; i < 7; ++i) EXPECT_TRUE(s.outputs[i] && s.output_enabled[i]) << i;
  EXPECT_FALSE(s.dark_enabled);
  EXPECT_FALSE(s.all_dark);
  EXPECT_FALSE(s.no_dark);
  EXPECT_EQ(PatternValue(s), 127);
}

TEST(HelpToolPatternTest, Multibit6_Bit5IsAnOutputNotAllDark) {
  PatternState s = PatternFromValue(32 + 64, 6);
  EXPECT_TRUE(s.outputs[5]);
  EXPECT_FALSE(s.outputs[6]);
  EXPECT_FALSE(s.all_dark);
  EXPECT_EQ(PatternValue(s), 32);
}

TEST(HelpToolPatternTest, DarkFlagsExcludeEachOther) {
  PatternState s = PatternFromValue(32, 4);
  ASSERT_TRUE(s.all_dark);
  SetNoDark(s, true);
  EXPECT_FALSE(s.all_dark);
  EXPECT_TRUE(s.no_dark);
  EXPECT_EQ(PatternValue(s), 64);
  SetAllDark(s, true);
  EXPECT_FALSE(s.no_dark);
  EXPECT_EQ(PatternValue(s), 32);
  SetAllDark(s, false);
  EXPECT_EQ(PatternValue(s), 0);
}

TEST(HelpToolEventMapTest, Value2WithoutAction_OpensAsExecuteOnInput2) {
  EventMapState s = EventMapFromValue(2);
  EXPECT_EQ(s.inputs, (std::array<bool, 4>{false, false, true, false}));
  EXPECT_EQ(s.option, 1);
  EXPECT_EQ(EventMapValue(s), 20);
}

TEST(HelpToolEventMapTest, Value70_OpensAsExecuteOffEventInput2) {
  EventMapState s = EventMapFromValue(70);
  EXPECT_EQ(s.inputs, (std::array<bool, 4>{false, false, true, false}));
  EXPECT_EQ(s.option, 5);
  EXPECT_EQ(EventMapValue(s), 84);
}

TEST(HelpToolEventMapTest, Value100_DisableOffEventInput2RoundTrips) {
  EventMapState s = EventMapFromValue(100);
  EXPECT_EQ(s.inputs, (std::array<bool, 4>{false, false, true, false}));
  EXPECT_EQ(s.option, 6);
  EXPECT_EQ(EventMapValue(s), 100);
}

TEST(HelpToolEventMapTest, ValueWithoutInputAction_OpensWithItsEventOption) {
  // 5 is "input 1 of the off-event" without an action; 8..15 name no input at all.
  EventMapState s = EventMapFromValue(5);
  EXPECT_EQ(s.option, 5);
  EXPECT_EQ(EventMapValue(s), 64 + 16 + 2);
  s = EventMapFromValue(12);
  EXPECT_EQ(s.option, 1);
  EXPECT_EQ(EventMapValue(s), 16);
  s = EventMapFromValue(127);
  EXPECT_EQ(s.option, 7);
  EXPECT_EQ(EventMapValue(s), 127);
  s = EventMapFromValue(48 + 9);
  EXPECT_EQ(s.option, 3);
  EXPECT_EQ(s.inputs, (std::array<bool, 4>{true, false, false, true}));
}

TEST(HelpToolLevelTest, Value37_Level5Index2Delay07) {
  LevelState s = LevelFromValue(37);
  EXPECT_EQ(s.level, 5);
  EXPECT_EQ(s.time_index, 2);
  EXPECT_EQ(LevelDelayText(s.time_index), "0.7");
  EXPECT_EQ(LevelValue(5, 2), 37);
}

TEST(HelpToolLevelTest, OpeningClampsTo0To127) {
  EXPECT_EQ(LevelFromValue(300).value, 127);
  EXPECT_EQ(LevelFromValue(300).time_index, 7);
  EXPECT_EQ(LevelFromValue(-4).value, 0);
  EXPECT_EQ(LevelDelayText(7), "4");
  EXPECT_EQ(LevelDelayText(4), "1.4");
}

}  // namespace
}  // namespace vela
