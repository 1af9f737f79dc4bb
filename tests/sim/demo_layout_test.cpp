// The demo layout read by the tool's own operations, and board memory from a configuration
// compared with what "Write All" leaves on a board.
#include <gtest/gtest.h>

#include "model/board_config.h"
#include "operations/operation_dispatcher.h"
#include "operations/session.h"
#include "sim/demo_layout.h"
#include "sim/memory_dump.h"
#include "sim/memory_from_config.h"
#include "sim_fixture.h"

namespace vela::sim {
namespace {

class DemoLayoutTest : public SimLinkTest {
 protected:
  DemoLayoutTest() : session_{link_, config_, view_} {}
  void SetUp() override {
    LoadDemoLayout(board_);
    Open();
  }
  bool Run(const std::string& operation) { return dispatcher_.Run(operation, session_); }

  BoardConfig config_;
  ConfigView view_;
  Session session_;
  OperationDispatcher dispatcher_;
};

TEST_F(DemoLayoutTest, ReadAll_ReadsEverythingWithoutAMessage) {
  ASSERT_TRUE(Run("ReadAll"));
  EXPECT_TRUE(dispatcher_.LastSucceeded());
  EXPECT_TRUE(dialogs_.messages.empty()) << dialogs_.messages[0].text;
  const GeneralSettings& g = config_.General;
  EXPECT_EQ(g.VersionText, "3.2.2.0");
  EXPECT_EQ(g.IdString, "Demo Layout");
  EXPECT_EQ(g.DccAddress, 100);
  EXPECT_EQ(g.XDccAddress, 300);
  EXPECT_TRUE(g.KRaddr);
  EXPECT_EQ(g.KoraFlexAddress, 10);
  EXPECT_TRUE(g.SerialEnable);
  EXPECT_EQ(g.BaudIndex, 2);
  EXPECT_TRUE(g.HwcSink[0]);
  EXPECT_TRUE(g.HwcSource[1]);
  const PinTable& pins = config_.Pins;
  EXPECT_EQ(pins[0].AspectMode, 3);
  EXPECT_EQ(pins[0].InitialAspect, 1);
  EXPECT_EQ(pins[0].DccCount, 2);
  EXPECT_EQ(pins[1].DeviceRef, -1);
  EXPECT_EQ(pins[2].DeviceRef, -2);
  EXPECT_EQ(pins[4].DeviceRef, -1);
  EXPECT_EQ(pins[3].AspectMode, 2);
  EXPECT_EQ(pins[3].XDccCount, 1);
  EXPECT_EQ(pins[0].Aspects[0].Steps[0], (StepRecord{9, 1, 0, 6, 0, 0}));
  EXPECT_EQ(pins[14].Aspects[0].Steps[0], (StepRecord{20, 0, 0, 200, 129, 7}));
  EXPECT_EQ(pins[8].PinConfig[0], kServo);
  EXPECT_EQ(pins[8].PinConfig[11], 0);
  EXPECT_EQ(pins[8].PinConfig[4], 100);
  EXPECT_EQ(pins[9].PinConfig[5], 31);
  EXPECT_EQ(pins[12].PinConfig[0], kInputLowActive);
  EXPECT_EQ(config_.Events.At(0, kEventOn, 0), 0);
  EXPECT_EQ(config_.Events.At(0, kEventOff, 0), 2);
  EXPECT_EQ(config_.Events.At(8, kEventOn, 1), 1);
  EXPECT_EQ(config_.Events.At(5, kEventOn, 0), -1);
  EXPECT_FALSE(g.InitEE[2]);  // on mask 0x0C: inputs 2 and 3 disabled
  EXPECT_TRUE(g.InitEE[1]);
}

TEST_F(DemoLayoutTest, ReadAllThenVerifyAll_VerifyOk) {
  ASSERT_TRUE(Run("ReadAll"));
  Run("VerifyAll");
  EXPECT_TRUE(dispatcher_.LastSucceeded()) << dispatcher_.ReportText();
  const std::string& report = dispatcher_.ReportText();
  ASSERT_GE(report.size(), 9u);
  EXPECT_EQ(report.substr(report.size() - 9), "Verify OK") << report;
  EXPECT_EQ(report.find("does not compare"), std::string::npos) << report;
}

TEST_F(DemoLayoutTest, WriteAllOntoAnErasedBoard_HoldsWhatStoreConfigBuilds) {
  ASSERT_TRUE(Run("ReadAll"));
  SimulatedBoard other;
  SimulatedPort other_port(other, clock_);
  testing::RecordingDialogs other_dialogs;
  BoardLink other_link(other_port, clock_, other_dialogs, log_);
  ASSERT_TRUE(other_link.OpenPort("sim", 1, nullptr));
  ConfigView view;
  Session other_session{other_link, config_, view};
  ASSERT_TRUE(dispatcher_.Run("WriteAll", other_session));
  EXPECT_TRUE(other_dialogs.messages.empty());

  BoardMemory built = other.FactoryMemory();
  StoreConfig(config_, built);
  // Write All sends the flash store; the active store is the board's own business there.
  for (int p = 0; p < 32; ++p) built.pins[p].active_config = other.Memory().pins[p].active_config;
  EXPECT_EQ(DumpMemory(built), DumpMemory(other.Memory()));
  EXPECT_EQ(built, other.Memory());
  // And the board written that way is the demo layout again, but for what cannot travel: the
  // live state and the active store.
  BoardMemory demo = board_.Memory();
  for (int p = 0; p < 32; ++p) {
    demo.pins[p].active_config = other.Memory().pins[p].active_config;
    demo.pins[p].current_aspect = other.Memory().pins[p].current_aspect;
  }
  EXPECT_EQ(DumpMemory(demo), DumpMemory(other.Memory()));
}

TEST(MemoryDump, OfTheDemoBoard_NamesSettingsPinsAndSteps) {
  SimulatedBoard board;
  LoadDemoLayout(board);
  const std::string text = DumpMemory(board.Memory());
  EXPECT_EQ(text.rfind("version 3 2 2 0\n", 0), 0u);
  EXPECT_NE(text.find("id \"Demo Layout\"\n"), std::string::npos);
  EXPECT_NE(text.find("pin 8 mode 3 init 15 address 9 17 64 flash 1 64 11 20 100 40 90 5 5 0 0 0 "
                      "active 1 64 11 20 100 40 90 5 5 0 0 0 on 15 1 15 15 off 15 0 15 15\n"),
            std::string::npos);
  EXPECT_NE(text.find("step 14 0 0: 20 3 72 1 7\n"), std::string::npos);
}

}  // namespace
}  // namespace vela::sim
