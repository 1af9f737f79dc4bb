#include "model/instruction_set.h"

#include <gtest/gtest.h>

namespace vela {
namespace {

class InstructionSetTest : public ::testing::Test {
 protected:
  InstructionSet set_;
  std::string NameAt(size_t i) { return set_[set_.ListOrder()[i]].Name; }
};

TEST_F(InstructionSetTest, ListOrder_54EntriesByGroupThenCode) {
  const auto& order = set_.ListOrder();
  ASSERT_EQ(order.size(), 54u);
  EXPECT_EQ(order.front(), 0);
  EXPECT_EQ(NameAt(0), "-");
  EXPECT_EQ(order.back(), 20);
  EXPECT_EQ(NameAt(53), "SendSPI");
  EXPECT_EQ(NameAt(1), "Blink alt");
  EXPECT_EQ(NameAt(21), "Multiblink 7");
  EXPECT_EQ(NameAt(22), "Set Level");
  for (size_t i = 0; i + 1 < order.size(); ++i) {
    if (set_[order[i]].Name == "Suspend Servo") {
      EXPECT_EQ(NameAt(i + 1), "Jump");
    }
  }
  EXPECT_EQ(NameAt(35), "SetAspect 0");
  EXPECT_EQ(NameAt(46), "SetAspect 11");
  EXPECT_EQ(NameAt(47), "NS G->Y->R");
}

TEST_F(InstructionSetTest, Table_CaptionsAndFlags) {
  EXPECT_EQ(set_[96].Par0Caption, "Accel");
  EXPECT_EQ(set_[18].Par0Caption, "MXpin");
  EXPECT_EQ(set_[18].Par2Caption, "Level");
  EXPECT_EQ(set_[115].Name, "SetAspect 3");
  EXPECT_EQ(set_[115].HelpTool, kHelpTime);
  EXPECT_FALSE(set_[115].Par1Used);
  EXPECT_EQ(set_[39].Par1Offset, -64);
  EXPECT_EQ(set_[16].HelpTool, kHelpEventPattern);
  EXPECT_EQ(set_[33].HelpTool, 7);
  EXPECT_FALSE(set_[102].Par0Used);
  EXPECT_TRUE(set_[3].FadeUsed);
  EXPECT_EQ(set_[200].Name, "");
  EXPECT_EQ(set_[128].Name, "");
}

TEST_F(InstructionSetTest, UnusedCode_AllBoxesInactive) {
  const InstructionRecord& r = set_[19];
  EXPECT_EQ(r.Name, "");
  EXPECT_FALSE(r.Par0Used || r.Par1Used || r.Par2Used || r.Par3Used || r.FadeUsed);
  EXPECT_EQ(r.Par0Caption + r.Par1Caption + r.Par2Caption + r.Par3Caption, "");
  StepRecord s{19, 1, 5, 6, 7, 3};
  set_.NormaliseStep(s);
  EXPECT_EQ(s, (StepRecord{19, 0, 0, 0, 0, 0}));
}

TEST_F(InstructionSetTest, Par1_ServoOffset) {
  StepRecord s{39, 0, 0, 64, 0, 0};
  EXPECT_EQ(set_.ShownPar1(s, 1), 0);
  EXPECT_EQ(set_.CommitPar1(39, "-64", 1).stored, 0);
  ParameterEntry over = set_.CommitPar1(39, "70", 1);
  EXPECT_EQ(over.text, "63");
  EXPECT_EQ(over.stored, 127);
}

TEST_F(InstructionSetTest, Par1_CloneShowsSourceWithNumbering) {
  StepRecord s{7, 0, 0, 0, 0, 0};
  EXPECT_EQ(set_.ShownPar1(s, 1), 1);
  ParameterEntry e = set_.CommitPar1(7, "40", 1);
  EXPECT_EQ(e.text, "32");
  EXPECT_EQ(e.stored, 31);
  EXPECT_EQ(set_.CommitPar1(7, "0", 1).stored, 0);
}

TEST_F(InstructionSetTest, Par0_RelativeOffsetStaysOnTheBoard) {
  ParameterEntry e = set_.CommitPar0(9, "5", 30, 1);
  EXPECT_EQ(e.text, "1");
  EXPECT_EQ(e.stored, 1);
  e = set_.CommitPar0(9, "-3", 30, 1);
  EXPECT_EQ(e.stored, 29);
  EXPECT_EQ(set_.ShownPar0(StepRecord{9, 0, 29, 0, 0, 0}, 30, 1), -3);
  EXPECT_EQ(set_.ShownPar0(StepRecord{9, 0, 31, 0, 0, 0}, 30, 1), -1);
  e = set_.CommitPar0(9, "-5", 5, 1);
  EXPECT_EQ(e.stored, 27);
  e = set_.CommitPar0(9, "-6", 5, 1);
  EXPECT_EQ(e.text, "-5");
}

TEST_F(InstructionSetTest, Par0_AccelMinusOneIsStoredAs127) {
  ParameterEntry e = set_.CommitPar0(96, "-1", 4, 1);
  EXPECT_EQ(e.stored, 127);
  EXPECT_EQ(set_.ShownPar0(StepRecord{96, 0, 127, 0, 0, 0}, 4, 1), -1);
  EXPECT_EQ(set_.CommitPar0(96, "-3", 4, 1).text, "-1");
  EXPECT_EQ(set_.CommitPar0(96, "40", 4, 1).text, "31");
}

TEST_F(InstructionSetTest, Par0_MXpulseIsAnAbsolutePin) {
  ParameterEntry e = set_.CommitPar0(18, "0", 12, 1);
  EXPECT_EQ(e.text, "1");
  EXPECT_EQ(e.stored, 0);
  EXPECT_EQ(set_.ShownPar0(StepRecord{18, 0, 31, 0, 0, 0}, 12, 1), 32);
}

TEST_F(InstructionSetTest, Par2OrPar3AboveLimit_ClampsToTheInstructionsLimit) {
  EXPECT_EQ(InstructionSet::CommitPar2(1, "300").text, "8");
  EXPECT_EQ(InstructionSet::CommitPar2(20, "300").text, "255");
  EXPECT_EQ(InstructionSet::CommitPar2(18, "300").text, "31");
  EXPECT_EQ(InstructionSet::CommitPar2(115, "300").text, "63");
  EXPECT_EQ(InstructionSet::CommitPar3("9").text, "3");
}

TEST_F(InstructionSetTest, TimeAndBase_GiveTheStepTimeText) {
  EXPECT_EQ(InstructionSet::StepTimeText(102, 63, 3), "10:45.12");
  EXPECT_EQ(InstructionSet::StepTimeText(102, 25, 0), "00:00.50");
  EXPECT_EQ(InstructionSet::StepTimeText(96, 50, 1), "00:08.00");
  EXPECT_EQ(InstructionSet::StepTimeText(39, 50, 1), "00:00.00");
  // Values from a file beyond the editor's limits: 255 x 8^3 ticks does not fit 16 bits.
  EXPECT_EQ(InstructionSet::StepTimeText(102, 255, 3), "43:31.20");
  EXPECT_EQ(InstructionSet::StepTimeText(102, 255, 255), TicksText(TimeTicks(255, 255)));
}

}  // namespace
}  // namespace vela
