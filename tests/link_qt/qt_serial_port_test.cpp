// The QSerialPort adapter on a real pseudo-terminal, with a scripted board on the master side.
#include "link/qt/qt_serial_port.h"

#include <gtest/gtest.h>
#include <QCoreApplication>

#include <thread>

#include "link/board_link.h"
#include "link/framing.h"
#include "support/pty_pair.h"
#include "support/recording_dialogs.h"

namespace vela {
namespace {

using Bytes = std::vector<uint8_t>;
using std::chrono::milliseconds;

TEST(LineSettings, SettingsText_ParsedOrRefused) {
  LineSettings s;
  ASSERT_TRUE(ParseLineSettings("38400,o,8,1", &s));
  EXPECT_EQ(s.baud, 38400);
  EXPECT_EQ(s.parity, 'o');
  EXPECT_FALSE(ParseLineSettings("fast", &s));
  EXPECT_FALSE(ParseLineSettings("9600,x,8,1", &s));
}

TEST(QtSerialPort, MissingDevice_ClearReason) {
  QtSerialPort port;
  std::string error;
  EXPECT_FALSE(port.Open("/dev/ttyVELA_NOT_THERE", "19200,o,8,1", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(port.IsOpen());
}

TEST(QtSerialPort, VersionExchangeOverAPty_GetsTheBoardsReply) {
  testing::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  QtSerialPort port;
  SteadyClock clock;
  testing::RecordingDialogs dialogs;
  MemoryTrafficLog log;
  BoardLink link(port, clock, dialogs, log);
  std::string error;
  ASSERT_TRUE(link.OpenPort(pty.slave_path(), 1, &error)) << error;

  Bytes received;
  std::thread board([&] {
    // preamble (9) + empty frame (3) + version request (5)
    received = pty.ReadMaster(17, milliseconds(3000));
    Bytes reply = {0x43, 0xE6, 0xF0, 0x80, 0x83, 0x82, 0x82, 0x80};
    AppendChecksum(reply);
    pty.WriteMaster(reply);
  });
  auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(link.SendVLMessage(true, {112, 0}));
  board.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(1500));
  Bytes expected = kResyncPreamble;
  expected.insert(expected.end(), {0x03, 0xC0, 0xBD, 0x43, 0xE2, 0xF0, 0x80, 0xEB});
  EXPECT_EQ(received, expected);
  EXPECT_TRUE(link.Reply().Valid()) << (dialogs.messages.empty() ? "" : dialogs.messages[0].text);
  EXPECT_TRUE(link.Reply().Is(6, 112, 0));
  EXPECT_EQ(link.Reply().Data(1), 2);
}

TEST(QtSerialPort, SilentPeer_WaitsTheFullTwoSecondsWithoutSpinning) {
  testing::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  QtSerialPort port;
  SteadyClock clock;
  testing::RecordingDialogs dialogs;
  MemoryTrafficLog log;
  BoardLink link(port, clock, dialogs, log);
  ASSERT_TRUE(link.OpenPort(pty.slave_path(), 1, nullptr));
  std::clock_t cpu_start = std::clock();
  auto start = std::chrono::steady_clock::now();
  link.SendVLMessage(true, {112, 0});
  auto wall = std::chrono::steady_clock::now() - start;
  double cpu_seconds = static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC;
  EXPECT_GE(wall, milliseconds(2000));
  EXPECT_LT(wall, milliseconds(2500));
  EXPECT_LT(cpu_seconds, 0.2);
  EXPECT_FALSE(link.Reply().Valid());
  EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{
                                 "No response received, resetting bidirectional communication"});
}

// A version reply for module 0 with the given address byte (sequence bit included).
Bytes VersionReply(uint8_t address) {
  Bytes reply = {address, 0xE6, 0xF0, 0x80, 0x83, 0x82, 0x82, 0x80};
  AppendChecksum(reply);
  return reply;
}

// Answers the version request that follows the resynchronisation on a fresh opening.
void AnswerFirstVersionRequest(testing::PtyPair& pty) {
  Bytes got = pty.ReadMaster(17, milliseconds(3000));
  if (got.size() == 17) pty.WriteMaster(VersionReply(0x43));
}

TEST(QtSerialPort, ReopensAfterTheFarEndWentAway_AndAfterABitRateChange) {
  testing::PtyPair first;
  ASSERT_TRUE(first.ok());
  QtSerialPort port;
  SteadyClock clock;
  testing::RecordingDialogs dialogs;
  MemoryTrafficLog log;
  BoardLink link(port, clock, dialogs, log);
  std::string error;
  ASSERT_TRUE(link.OpenPort(first.slave_path(), 1, &error)) << error;
  // A bit-rate change on the open port closes it and opens it again.
  ASSERT_TRUE(link.SetBitRate(2, &error)) << error;
  ASSERT_TRUE(link.IsLinkOpen());

  // The peer goes away: the next exchange finds the port closed, says so once.
  first.CloseMaster();
  link.SendVLMessage(true, {112, 0});
  EXPECT_FALSE(link.IsLinkOpen());
  ASSERT_FALSE(dialogs.messages.empty());
  EXPECT_EQ(dialogs.messages[0].text.rfind("The serial port was closed: ", 0), 0u);

  // Another path opens on the same adapter, and the board there answers.
  testing::PtyPair second;
  ASSERT_TRUE(second.ok());
  ASSERT_TRUE(link.OpenPort(second.slave_path(), 1, &error)) << error;
  std::thread board([&] { AnswerFirstVersionRequest(second); });
  link.BidirectionalComm = true;
  link.SendVLMessage(true, {112, 0});
  board.join();
  EXPECT_TRUE(link.Reply().Is(6, 112, 0));
  // And a bit-rate change on that freshly opened port works as well.
  EXPECT_TRUE(link.SetBitRate(0, &error)) << error;
  EXPECT_TRUE(link.IsLinkOpen());
}

TEST(QtSerialPort, RefreshForgetsThePort_ABitRateChangeThenOpensNothing) {
  testing::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  QtSerialPort port;
  SteadyClock clock;
  testing::RecordingDialogs dialogs;
  MemoryTrafficLog log;
  BoardLink link(port, clock, dialogs, log);
  ASSERT_TRUE(link.OpenPort(pty.slave_path(), 1, nullptr));
  link.ForgetPort();
  EXPECT_FALSE(link.IsLinkOpen());
  std::string error;
  EXPECT_TRUE(link.SetBitRate(2, &error)) << error;
  EXPECT_FALSE(link.IsLinkOpen());
  EXPECT_EQ(link.BitRateIndex(), 2);
  EXPECT_TRUE(link.PortName().empty());
}

}  // namespace
}  // namespace vela

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
