// The in-process port: wire time at the bit rate, turnaround, waits that sleep the clock, and
// opening.
#include <gtest/gtest.h>

#include "sim_fixture.h"
#include "support/cpu_time.h"

namespace vela::sim {
namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

TEST_F(SimLinkTest, At19200_RequestAndReplyTakeTheirWireTime) {
  OpenAndSync();
  port_.Timing().bit_rate = 19200;
  const microseconds start = clock_.Now();
  ASSERT_TRUE(link_.SendVLMessage(true, {112, 0}));
  ASSERT_TRUE(link_.Reply().Is(6, 112, 0));
  // 5 bytes out, 9 back, 11 bits each: 154 bits at 19200 bit/s = 8020.8 us.
  const double expected_us = (5 + 9) * 11 * 1e6 / 19200;
  EXPECT_NEAR(static_cast<double>((clock_.Now() - start).count()), expected_us, 1.0);
}

TEST_F(SimLinkTest, TurnaroundAddsToTheWireTime) {
  OpenAndSync();
  port_.Timing().bit_rate = 38400;
  port_.Timing().turnaround = microseconds(1500);
  const microseconds start = clock_.Now();
  ASSERT_TRUE(link_.SendVLMessage(true, {112, 0}));
  const double expected_us = (5 + 9) * 11 * 1e6 / 38400 + 1500;
  EXPECT_NEAR(static_cast<double>((clock_.Now() - start).count()), expected_us, 1.0);
}

TEST_F(SimLinkTest, TurnaroundBeyondTheDeadline_NoResponse) {
  OpenAndSync();
  port_.Timing().turnaround = milliseconds(2100);
  link_.SendVLMessage(true, {112, 0});
  EXPECT_EQ(Texts(), std::vector<std::string>{
                         "No response received, resetting bidirectional communication"});
}

TEST_F(SimLinkTest, BytesBecomeReadableOnlyWhenDue_WaitSleepsTheClock) {
  Open();
  port_.Timing().bit_rate = 9600;
  const Bytes request = {0x43, 0xE2, 0xF0, 0x80, 0xEB};
  port_.Write(request.data(), request.size());
  EXPECT_EQ(port_.BytesWaiting(), 0u);
  EXPECT_FALSE(port_.WaitForData(microseconds(100)));
  EXPECT_EQ(clock_.Now(), microseconds(100));
  EXPECT_TRUE(port_.WaitForData(milliseconds(50)));
  // The first reply byte is due after six byte times (1145.8 us each).
  EXPECT_EQ(clock_.Now(), microseconds(6875));
  EXPECT_EQ(port_.BytesWaiting(), 1u);
  uint8_t buffer[16];
  EXPECT_EQ(port_.Read(buffer, sizeof buffer), 1u);
  EXPECT_EQ(buffer[0], 0x43);
}

TEST_F(SimLinkTest, TwoSecondTimeoutOnTheManualClock_CostsNoRealTime) {
  OpenAndSync();
  board_.GetFaults().no_reply = true;
  const auto real_start = std::chrono::steady_clock::now();
  link_.SendVLMessage(true, {112, 0});
  EXPECT_LT(std::chrono::steady_clock::now() - real_start, milliseconds(100));
  EXPECT_GT(clock_.Now(), std::chrono::seconds(2));
}

TEST_F(SimLinkTest, RefusedOpen_ReportsAReason) {
  port_.refuse_open = true;
  std::string error;
  EXPECT_FALSE(link_.OpenPort("sim", 1, &error));
  EXPECT_FALSE(error.empty());
  port_.refuse_open = false;
  EXPECT_TRUE(link_.OpenPort("/dev/anything", 2, &error));
  EXPECT_EQ(port_.opened_name(), "/dev/anything");
  EXPECT_EQ(port_.opened_settings(), "38400,o,8,1");
}

TEST_F(SimLinkTest, ClosedPort_WritesRefused_BytesInFlightLost) {
  Open();
  port_.Timing().bit_rate = 9600;
  const Bytes request = {0x43, 0xE2, 0xF0, 0x80, 0xEB};
  port_.Write(request.data(), request.size());
  port_.Close();
  EXPECT_FALSE(port_.Write(request.data(), request.size()));
  std::string error;
  ASSERT_TRUE(port_.Open("sim", "19200,o,8,1", &error));
  clock_.Advance(milliseconds(100));
  EXPECT_EQ(port_.BytesWaiting(), 0u);
}

TEST(SimulatedPortSteadyClock, WireTimeIsReallyWaited_WithoutSpinning) {
  SteadyClock clock;
  SimulatedBoard board;
  SimulatedPort port(board, clock);
  testing::RecordingDialogs dialogs;
  MemoryTrafficLog log;
  BoardLink link(port, clock, dialogs, log);
  ASSERT_TRUE(link.OpenPort("sim", 0, nullptr));
  link.SendVLMessage(true, {112, 0});
  port.Timing().bit_rate = 9600;
  const double cpu_start = testing::ProcessCpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(link.SendVLMessage(true, {112, 0}));
  const auto wall = std::chrono::steady_clock::now() - start;
  const double cpu_seconds = testing::ProcessCpuSeconds() - cpu_start;
  // 3 x 14 bytes at 9600 bit/s: 48 ms.
  EXPECT_GE(wall, milliseconds(48));
  EXPECT_LT(wall, milliseconds(500));
  EXPECT_LT(cpu_seconds, 0.03);
  EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
}  // namespace vela::sim
