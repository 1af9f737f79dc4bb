#include "link/message_monitor.h"

#include <gtest/gtest.h>

#include "sim/demo_board.h"
#include "sim/simulated_board.h"
#include "sim/simulated_port.h"
#include "support/recording_dialogs.h"

namespace vela {
namespace {

class MonitorOnBoardTest : public ::testing::Test {
 protected:
  MonitorOnBoardTest() : port_(board_, clock_), link_(port_, clock_, dialogs_, log_) {
    link_.OpenPort(sim::kDemoBoardName, 1, nullptr);
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

TEST_F(MonitorOnBoardTest, SilentBoard_FirstFailedPollStopsTheMonitor) {
  board_.GetFaults().no_reply = true;
  ASSERT_TRUE(monitor_.Start(link_));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(monitor_.Tick(link_), std::nullopt);
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{
                                  "No response received, resetting bidirectional communication"});
  EXPECT_FALSE(link_.BidirectionalComm);
  EXPECT_FALSE(monitor_.Running());
  EXPECT_EQ(monitor_.Text(), "Start Monitoring\r\nMonitoring Stopped\r\n");
}

TEST_F(MonitorOnBoardTest, InvalidReplies_OneMessageThenStopped) {
  board_.GetFaults().wrong_address_echo = true;
  ASSERT_TRUE(monitor_.Start(link_));
  for (int i = 0; i < 5; ++i) monitor_.Tick(link_);
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text.rfind("Invalid response received, ", 0), 0u);
  EXPECT_FALSE(monitor_.Running());
  EXPECT_EQ(board_.Received().size(), 2u);  // the resynchronisation frame and one poll
}

TEST_F(MonitorOnBoardTest, RunFor_PausesAfterEachPollWithoutCatchingUp) {
  // Every answer takes 350 ms: a rhythm kept from the start would poll back to back.
  port_.Timing().turnaround = std::chrono::milliseconds(350);
  ASSERT_TRUE(monitor_.Start(link_));
  std::vector<std::chrono::microseconds> polls;
  monitor_.RunFor(link_, clock_, std::chrono::seconds(2), [](const std::string&) {});
  for (const sim::ReceivedFrame& frame : board_.Received()) {
    if (frame.message.empty() && !frame.resync) polls.push_back(frame.time);
  }
  // 2 s at 350 ms a poll plus 100 ms after it: at most 5 polls (a catch-up rhythm gives 6).
  ASSERT_GE(polls.size(), 4u);
  EXPECT_LE(polls.size(), 5u);
  for (size_t i = 1; i < polls.size(); ++i) {
    EXPECT_GE(polls[i] - polls[i - 1], std::chrono::milliseconds(450));
  }
  EXPECT_TRUE(dialogs_.messages.empty());
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
