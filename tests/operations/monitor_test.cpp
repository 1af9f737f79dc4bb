#include "link/message_monitor.h"

#include <gtest/gtest.h>

#include "sim/simulated_board.h"
#include "sim/simulated_port.h"
#include "support/recording_dialogs.h"

namespace vela {
namespace {

class MonitorOnBoardTest : public ::testing::Test {
 protected:
  MonitorOnBoardTest() : port_(board_, clock_), link_(port_, clock_, dialogs_, log_) {
    link_.OpenPort(sim::kSimulatedPortName, 1, nullptr);
  }
  ManualClock clock_;
  sim::SimulatedBoard board_;
  sim::SimulatedPort port_;
  testing::RecordingDialogs dialogs_;
  MemoryTrafficLog log_;
  BoardLink link_;
  MessageMonitor monitor_;
};

TEST_F(MonitorOnBoardTest, QueuedReports_OneLineEach_EmptyPollsAddNothing) {
  board_.QueueReport({12, 0, 127, 3});
  board_.QueueReport({1, 2, 3, 4});
  ASSERT_TRUE(monitor_.Start(link_));
  EXPECT_EQ(monitor_.Tick(link_), std::optional<std::string>("<12> <0> <127> <3> "));
  EXPECT_EQ(monitor_.Tick(link_), std::optional<std::string>("<1> <2> <3> <4> "));
  EXPECT_EQ(monitor_.Tick(link_), std::nullopt);
  monitor_.Stop();
  EXPECT_EQ(
      monitor_.Text(),
      "Start Monitoring\r\n<12> <0> <127> <3> \r\n<1> <2> <3> <4> \r\nMonitoring Stopped\r\n");
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(MonitorOnBoardTest, SilentBoard_FirstPollReportsThenTheMonitorStaysQuiet) {
  board_.GetFaults().no_reply = true;
  ASSERT_TRUE(monitor_.Start(link_));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(monitor_.Tick(link_), std::nullopt);
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{
                                  "No response received, resetting bidirectional communication"});
  EXPECT_FALSE(link_.BidirectionalComm);
}

TEST_F(MonitorOnBoardTest, PortClosedWhileRunning_StopsAfterOneMessage) {
  ASSERT_TRUE(monitor_.Start(link_));
  link_.ClosePort();
  monitor_.Tick(link_);
  monitor_.Tick(link_);
  EXPECT_FALSE(monitor_.Running());
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"Select communications port"});
  EXPECT_EQ(monitor_.Text(), "Start Monitoring\r\nMonitoring Stopped\r\n");
}

}  // namespace
}  // namespace vela
