#include "link/station_tunnel.h"

#include <gtest/gtest.h>

#include "link/board_link.h"
#include "link/framing.h"
#include "link/message_monitor.h"
#include "link/station_procedures.h"
#include "support/fake_port.h"
#include "support/recording_dialogs.h"

namespace vela {
namespace {

using Bytes = std::vector<uint8_t>;

// A frame as the station sends it (toggle bit clear).
Bytes StationFrame(const Bytes& payload) {
  Bytes frame = {StationTunnel::HeaderFor(static_cast<int>(payload.size()), 0)};
  for (uint8_t b : payload) frame.push_back(static_cast<uint8_t>(0x80 + b));
  AppendChecksum(frame);
  return frame;
}

class StationTunnelTest : public ::testing::Test {
 protected:
  StationTunnelTest() : port_(clock_), link_(port_, clock_, dialogs_, log_) {
    link_.OpenPort("/dev/ttyFAKE", 1, nullptr);
  }
  // Answers the n-th station frame with answers_[n] (an empty optional = silence).
  void Script(std::vector<std::optional<Bytes>> answers) {
    answers_ = std::move(answers);
    port_.responder = [this](const Bytes&) {
      if (next_ < answers_.size() && answers_[next_]) port_.Feed(StationFrame(*answers_[next_]));
      ++next_;
    };
  }

  ManualClock clock_;
  testing::FakePort port_;
  testing::RecordingDialogs dialogs_;
  MemoryTrafficLog log_;
  BoardLink link_;
  std::vector<std::optional<Bytes>> answers_;
  size_t next_ = 0;
};

TEST(StationFraming, HeaderAndLengthCodes_MapBothWaysAndVersionsDecode) {
  EXPECT_EQ(StationTunnel::HeaderFor(5, 1), 0x6D);
  EXPECT_EQ(StationTunnel::HeaderFor(8, 0), 0x00);
  EXPECT_EQ(StationTunnel::HeaderFor(19, 0), 0x13);
  EXPECT_EQ(StationTunnel::LengthOf(0x02), 10);
  EXPECT_EQ(StationTunnel::LengthOf(0x12), 18);
  EXPECT_EQ(StationTunnel::LengthOf(0x2D), 5);
  EXPECT_EQ(StationTunnel::LengthOf(0x0A), 2);
  EXPECT_EQ(StationVersion(0x19, 0x00), 3100);
  EXPECT_EQ(StationVersion(0x1A, 0x00), 3200);
}

TEST_F(StationTunnelTest, ProtocolQueryAndEmptyFrames_OnTheWire_EmptyFramesNotLogged) {
  Script({Bytes{}, Bytes{}, Bytes{1, 2, 0x1A, 0}});
  link_.Tunnel().SetToggle(0);
  EXPECT_TRUE(link_.Tunnel().SendCorsanFrame({}));
  EXPECT_TRUE(link_.Tunnel().SendCorsanFrame({}));
  EXPECT_TRUE(link_.Tunnel().SendCorsanFrame({1, 2}));
  EXPECT_EQ(port_.writes[0], (Bytes{0x28, 0xD8}));
  EXPECT_EQ(port_.writes[1], (Bytes{0x68, 0x98}));
  EXPECT_EQ(port_.writes[2], (Bytes{0x2A, 0x81, 0x82, 0xD3}));
  EXPECT_EQ(log_.Text(), ">>  [2A] [01] [02]\r\n<<  [2C] [01] [02] [1A] [00]\r\n");
  EXPECT_EQ(link_.Tunnel().Answer().Length(), 4);
  EXPECT_EQ(link_.Tunnel().Answer().Payload(2), 0x1A);
}

TEST_F(StationTunnelTest, ProtocolQueryWithToggleOne) {
  Script({Bytes{1, 2, 0x1A, 0}});
  link_.Tunnel().SetToggle(1);
  link_.Tunnel().SendCorsanFrame({1, 2});
  EXPECT_EQ(port_.writes[0], (Bytes{0x6A, 0x81, 0x82, 0x93}));
  EXPECT_EQ(link_.Tunnel().Toggle(), 0);
}

TEST_F(StationTunnelTest, SilentStation_NoAnswerFromCorsan) {
  Script({});
  EXPECT_FALSE(link_.Tunnel().SendCorsanFrame({1, 2}));
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text, "No answer from Corsan");
  EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::kWarning);
}

TEST_F(StationTunnelTest, BadChecksum_MessageAndNoAnswer) {
  port_.responder = [this](const Bytes&) {
    Bytes bad = StationFrame({1, 2, 3});
    bad.back() ^= 1;
    port_.Feed(bad);
  };
  EXPECT_FALSE(link_.Tunnel().SendCorsanFrame({1, 2}));
  EXPECT_EQ(dialogs_.Texts(),
            (std::vector<std::string>{"Checksum Error\r\nSize = 3<<  [2B] [01] [02] [03]",
                                      "No answer from Corsan"}));
}

TEST_F(StationTunnelTest, FrameLongerThan19_Dropped) {
  port_.responder = [this](const Bytes&) {
    Bytes frame = {0x17};  // 23 payload bytes
    for (int i = 0; i < 23; ++i) frame.push_back(0x81);
    AppendChecksum(frame);
    port_.Feed(frame);
  };
  EXPECT_FALSE(link_.Tunnel().SendCorsanFrame({}));
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"No answer from Corsan"});
}

TEST_F(StationTunnelTest, SwitchOn_Protocol3100_Refused) {
  Script({Bytes{}, Bytes{1, 2, 0x19, 0x00}, Bytes{}});
  EXPECT_FALSE(SetCorsanTunneling(link_, true));
  EXPECT_FALSE(link_.Tunnelling());
  EXPECT_EQ(
      dialogs_.Texts(),
      std::vector<std::string>{"Your system does not support this function\r\nProtocol = 3.100"});
  EXPECT_EQ(port_.writes.size(), 3u);  // empty, query, empty
}

TEST_F(StationTunnelTest, SwitchOn_Protocol3200_OnAndAddressLimit31) {
  Script({Bytes{}, Bytes{1, 2, 0x1A, 0x00}, Bytes{}});
  EXPECT_TRUE(SetCorsanTunneling(link_, true));
  EXPECT_EQ(ModuleAddressLimit(link_), 31);
  EXPECT_FALSE(TransparentModeOffered(link_));
  EXPECT_EQ(port_.writes[0][0], 0x68);  // toggle 1 after switching on
  link_.ModuleAddress = 20;
  EXPECT_FALSE(SetCorsanTunneling(link_, false));
  EXPECT_EQ(link_.ModuleAddress, 15);
}

TEST_F(StationTunnelTest, SwitchOn_UnansweredProtocolQuery_StaysOn) {
  Script({Bytes{}, std::nullopt, Bytes{}});
  EXPECT_TRUE(SetCorsanTunneling(link_, true));
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"No answer from Corsan"});
}

TEST_F(StationTunnelTest, SwitchOn_PortClosed) {
  link_.ClosePort();
  EXPECT_FALSE(SetCorsanTunneling(link_, true));
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"Select communications port"});
}

TEST_F(StationTunnelTest, TunnelledRead_PollsUntilTheBoardReplies) {
  link_.SetTunnelling(true);
  link_.ModuleAddress = 20;
  // The station acknowledges, answers the first poll with nothing, the second with the reply.
  Script({Bytes{}, Bytes{}, Bytes{0, 116, 0x26, 112, 0, 3, 2, 2, 0}});
  ASSERT_TRUE(link_.SendVLMessage(true, {112, 0}));
  EXPECT_EQ(Bytes(port_.writes[0].begin() + 1, port_.writes[0].end() - 1),
            (Bytes{0x80, 0x80 + 116, 0xE0, 0x80 + 112, 0x80}));
  EXPECT_EQ(port_.writes.size(), 3u);
  EXPECT_TRUE(link_.Reply().Valid());
  EXPECT_TRUE(link_.Reply().Is(6, 112, 0));
  EXPECT_EQ(link_.Reply().AddressEcho(), (116 & 0x1F) * 4 + 3);
  EXPECT_EQ(link_.Reply().Data(1), 2);
}

TEST_F(StationTunnelTest, TunnellingSwitchedOff_NextMessageGoesDirectWithThePreamble) {
  link_.SetTunnelling(true);
  Script({Bytes{}, Bytes{}});
  EXPECT_TRUE(link_.SendVLMessage(false, {96, 5, 2}));
  EXPECT_EQ(port_.writes[0][0], StationTunnel::HeaderFor(6, 0));  // 0, module tag, 0x60, message
  link_.SetTunnelling(false);
  EXPECT_FALSE(link_.Tunnelling());
  port_.responder = nullptr;
  port_.writes.clear();
  link_.BidirectionalComm = false;
  EXPECT_TRUE(link_.SendVLMessage(false, {96, 5, 2}));
  Bytes expected = kResyncPreamble;
  expected.insert(expected.end(), {0x03, 0xC0, 0xBD, 0x43, 0xC3, 0xE0, 0x85, 0x82});
  expected.push_back(FrameChecksum(expected.data() + 12, 5));
  ASSERT_EQ(port_.writes.size(), 1u);
  EXPECT_EQ(port_.writes[0], expected);
  EXPECT_EQ(link_.SequenceState(), 0x00);
}

TEST_F(StationTunnelTest, StationAnswer_NoGoodFrame_LengthZero) {
  Script({Bytes{1, 2, 0x1A, 0}, std::nullopt});
  link_.Tunnel().SendCorsanFrame({1, 2});
  EXPECT_EQ(link_.Tunnel().Answer().Length(), 4);
  EXPECT_EQ(link_.Tunnel().Answer().Payload(0), 1);
  EXPECT_EQ(link_.Tunnel().Answer().Payload(3), 0);
  EXPECT_FALSE(link_.Tunnel().SendCorsanFrame({}));
  EXPECT_EQ(link_.Tunnel().Answer().Length(), 0);
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"No answer from Corsan"});
}

TEST_F(StationTunnelTest, TunnelledWrite_SendsItsPoll) {
  link_.SetTunnelling(true);
  Script({Bytes{}, Bytes{}});
  EXPECT_TRUE(link_.SendVLMessage(false, {96, 5, 2}));
  EXPECT_EQ(port_.writes.size(), 2u);
  EXPECT_EQ(port_.writes[1].size(), 2u);
  EXPECT_EQ(link_.SequenceState(), kResyncPending);  // the tunnel leaves the direct framing alone
}

TEST_F(StationTunnelTest, TunnelledRead_ExtendedAddressChecks) {
  link_.SetTunnelling(true);
  link_.UseExtendedAddr = true;
  link_.ModuleXAddress = 7;
  Script({Bytes{}, Bytes{0, 96, 0x33, 7, 112, 2, 9}});
  ASSERT_TRUE(link_.SendVLMessage(true, {112, 2}));
  EXPECT_EQ(Bytes(port_.writes[0].begin() + 1, port_.writes[0].begin() + 5),
            (Bytes{0x80, 0x80 + 96, 0xF0, 0x87}));
  EXPECT_TRUE(link_.Reply().Is(3, 112, 2));
  EXPECT_EQ(link_.Reply().Data(0), 9);

  next_ = 0;
  Script({Bytes{}, Bytes{0, 96, 0x33, 6, 112, 2, 9}});
  EXPECT_FALSE(link_.SendVLMessage(true, {112, 2}));
  link_.UseExtendedAddr = false;
  next_ = 0;
  Script({Bytes{}, Bytes{0, 96, 0x33, 6, 112, 2, 9}});
  EXPECT_FALSE(link_.SendVLMessage(true, {112, 2}));
  EXPECT_EQ(dialogs_.Texts(),
            (std::vector<std::string>{"Incorrect eXtended Address byte \r\nReceived 6 Expected 7",
                                      "Unexpected eXtended Address Byte 6"}));
}

TEST_F(StationTunnelTest, TunnelledRead_NoBoardReplyWithinTwoSeconds) {
  link_.SetTunnelling(true);
  // The station answers every poll with an empty frame, forever.
  port_.responder = [this](const Bytes&) {
    clock_.Advance(std::chrono::milliseconds(50));
    port_.Feed(StationFrame({}));
  };
  auto start = clock_.Now();
  EXPECT_FALSE(link_.SendVLMessage(true, {112, 0}));
  EXPECT_GE(clock_.Now() - start, std::chrono::seconds(2));
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"No valid response received"});
}

TEST_F(StationTunnelTest, PortLostDuringATunnelledRead_SaysSoOnceAsTheDirectPathDoes) {
  link_.SetTunnelling(true);
  int frames = 0;
  port_.responder = [this, &frames](const Bytes&) {
    // The station takes the message; the adapter goes away before the first poll is answered.
    if (frames++ == 0) {
      port_.Feed(StationFrame({}));
    } else {
      port_.Lose("the device went away");
    }
  };
  EXPECT_FALSE(link_.SendVLMessage(true, {112, 0}));
  EXPECT_EQ(dialogs_.Texts(),
            (std::vector<std::string>{"The serial port was closed: the device went away",
                                      "No answer from Corsan", "No valid response received"}));
  EXPECT_FALSE(link_.IsLinkOpen());
  dialogs_.messages.clear();
  EXPECT_FALSE(link_.SendVLMessage(true, {112, 0}));
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"Select communications port"});
  EXPECT_EQ(link_.Tally().failures, 2);
}

TEST_F(StationTunnelTest, TransparentMode_PerInterfaceType) {
  struct Case {
    Bytes interface_answer;
    std::vector<std::string> texts;
    size_t frames;
  };
  std::vector<Case> cases = {
      {{1, 10, 2, 0x08, 0x10}, {"Your HB-X has been put in Transparent Mode"}, 4},  // 1020
      {{1, 10, 2, 0x08, 0x08}, {"Your HB-X does not support this function"}, 4},    // 1010
      {{1, 10, 3, 0x00, 0x00}, {"Your HB-Y has been put in Transparent Mode"}, 4},
      {{1, 10, 10, 0x08, 0x18}, {"Your Zeto has been put in Transparent Mode"}, 4},  // 1030
      {{1, 10, 10, 0x08, 0x10}, {"Your Zeto does not support this function"}, 4},    // 1020
      {{1, 10, 7, 0x08, 0x10}, {"Your system does not support this function"}, 4},
      {{1, 9}, {"Your system does not support this function"}, 4},
  };
  for (const Case& c : cases) {
    port_.writes.clear();
    dialogs_.Clear();
    next_ = 0;
    Script({Bytes{}, Bytes{1, 2, 0x19, 0}, c.interface_answer, Bytes{}});
    ActivateTransparentMode(link_);
    EXPECT_EQ(dialogs_.Texts(), c.texts);
    EXPECT_EQ(port_.writes.size(), c.frames);
  }
  // The switch itself is 1, 5, 16.
  EXPECT_TRUE(dialogs_.questions.empty());
}

TEST_F(StationTunnelTest, TransparentMode_TunnellingStationAsksFirst) {
  dialogs_.answers = {Answer::kNo};
  Script({Bytes{}, Bytes{1, 2, 0x1A, 0}, Bytes{}});
  ActivateTransparentMode(link_);
  ASSERT_EQ(dialogs_.questions.size(), 1u);
  EXPECT_EQ(dialogs_.questions[0].text,
            "Your Corsan system supports Vela Tunneling\r\nWe recommend to use the Corsan "
            "Tunneling option instead\r\nDo you still want to activate Transparant Mode?");
  EXPECT_EQ(port_.writes.size(), 3u);
}

TEST_F(StationTunnelTest, TransparentMode_SwitchFrameAndResync) {
  Script({Bytes{}, Bytes{1, 2, 0x19, 0}, Bytes{1, 10, 3, 0, 0}, Bytes{}});
  link_.SetSequenceStateForTesting(0x40);
  ActivateTransparentMode(link_);
  EXPECT_EQ(Bytes(port_.writes[3].begin() + 1, port_.writes[3].end() - 1),
            (Bytes{0x81, 0x85, 0x90}));
  EXPECT_EQ(link_.SequenceState(), kResyncPending);
  EXPECT_EQ(dialogs_.messages.at(0).icon, MessageIcon::kInformation);
}

TEST_F(StationTunnelTest, LegacyFrameThroughTheTunnel) {
  link_.SetTunnelling(true);
  Script({Bytes{}});
  link_.SendLegacyMessage(63, 10, 4, 30);
  EXPECT_EQ(Bytes(port_.writes[0].begin() + 1, port_.writes[0].end() - 1),
            (Bytes{0x80, 0x80 + 15 + 96, 0x8A, 0x84, 0x9E}));
}

class MonitorTest : public StationTunnelTest {};

TEST_F(MonitorTest, StartOnce_ReportLine_Stop) {
  MessageMonitor monitor;
  link_.SetSequenceStateForTesting(0);
  port_.responder = [this](const Bytes& sent) {
    Bytes reply = {sent[0], 0xE4, 0x8C, 0x80, 0xFF, 0x83};
    AppendChecksum(reply);
    port_.Feed(reply);
  };
  EXPECT_TRUE(monitor.Start(link_));
  EXPECT_TRUE(monitor.Start(link_));
  EXPECT_EQ(monitor.Tick(link_), std::optional<std::string>("<12> <0> <127> <3> "));
  EXPECT_EQ(port_.writes[0], (Bytes{0x03, 0xE0, 0x9D}));
  monitor.Stop();
  monitor.Stop();
  EXPECT_EQ(monitor.Text(), "Start Monitoring\r\n<12> <0> <127> <3> \r\nMonitoring Stopped\r\n");
  monitor.Clear();
  EXPECT_EQ(monitor.Text(), "");
}

TEST_F(MonitorTest, ClosedPort_SelectCommPort) {
  MessageMonitor monitor;
  link_.ClosePort();
  EXPECT_FALSE(monitor.Start(link_));
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"Select Comm-port"});
  EXPECT_EQ(monitor.Text(), "");
}

// A peer that keeps the receive buffer full: every read returns 64 bytes that belong to no
// frame and takes the line time of 64 bytes at 38400 bit/s. It runs dry after a million reads,
// so that a drain without an end still ends.
class FloodingPort final : public SerialPort {
 public:
  explicit FloodingPort(ManualClock& clock) : clock_(clock) {}
  bool Open(const std::string&, const std::string&, std::string*) override { return true; }
  void Close() override {}
  bool IsOpen() const override { return true; }
  size_t BytesWaiting() override { return reads_ < 1'000'000 ? 64 : 0; }
  size_t Read(uint8_t* buffer, size_t max) override {
    if (BytesWaiting() == 0) return 0;
    size_t n = std::min<size_t>(max, 64);
    std::fill(buffer, buffer + n, 0x80);
    clock_.Advance(std::chrono::microseconds(n * 11'000'000 / 38400));
    ++reads_;
    if (!written_) drained_ += n;
    return n;
  }
  bool Write(const uint8_t*, size_t) override {
    written_ = true;
    return true;
  }
  bool WaitForData(std::chrono::microseconds timeout) override {
    clock_.Advance(timeout);
    return false;
  }

  bool written_ = false;
  size_t drained_ = 0;

 private:
  ManualClock& clock_;
  size_t reads_ = 0;
};

TEST(StationDrain, PeerKeepsTheBufferFull_FrameGoesOutWithinTheTimeout) {
  ManualClock clock;
  FloodingPort port(clock);
  testing::RecordingDialogs dialogs;
  MemoryTrafficLog log;
  BoardLink link(port, clock, dialogs, log);
  link.OpenPort("/dev/ttyFAKE", 1, nullptr);
  EXPECT_FALSE(link.Tunnel().SendCorsanFrame({0x00, 0x60}));
  EXPECT_TRUE(port.written_);
  // At most the reply timeout's worth of bytes at the fastest rate are thrown away.
  EXPECT_LE(port.drained_, 38400u / 11 * 2 + 64);
  EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"No answer from Corsan"});
}

}  // namespace
}  // namespace vela
