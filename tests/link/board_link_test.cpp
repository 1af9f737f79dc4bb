#include "link/board_link.h"

#include <gtest/gtest.h>

#include "link/framing.h"
#include "support/fake_port.h"
#include "support/recording_dialogs.h"

namespace vela {
namespace {

using Bytes = std::vector<uint8_t>;

// A reply frame as a board sends it: address, header 0xE0 + n (+0x10 with xaddr), message.
Bytes ReplyFrame(uint8_t address, const Bytes& message, int xaddress = -1) {
  Bytes frame = {address, static_cast<uint8_t>(0xE0 + (xaddress >= 0 ? 0x10 : 0) + message.size())};
  if (xaddress >= 0) frame.push_back(static_cast<uint8_t>(0x80 + xaddress));
  for (uint8_t b : message) frame.push_back(static_cast<uint8_t>(0x80 + b));
  AppendChecksum(frame);
  return frame;
}

class BoardLinkTest : public ::testing::Test {
 protected:
  BoardLinkTest() : port_(clock_), link_(port_, clock_, dialogs_, log_) {}

  void OpenWithoutResync() {
    ASSERT_TRUE(link_.OpenPort("/dev/ttyFAKE", 1, nullptr));
    link_.SetSequenceStateForTesting(0x40);
  }
  // Answers every frame with a reply that echoes its address byte.
  void EchoReplies(const Bytes& message) {
    port_.responder = [this, message](const Bytes& sent) {
      uint8_t address = sent[0];
      if (sent.size() > 9 && sent[0] == 0 && sent[8] == 0xAA) address = sent[12];
      port_.Feed(ReplyFrame(address, message));
    };
  }

  ManualClock clock_;
  testing::FakePort port_;
  testing::RecordingDialogs dialogs_;
  MemoryTrafficLog log_;
  BoardLink link_;
};

TEST_F(BoardLinkTest, VersionRequest_WireBytesAndReply) {
  OpenWithoutResync();
  EchoReplies({112, 0, 3, 2, 2, 0});
  ASSERT_TRUE(link_.SendVLMessage(true, {112, 0}));
  EXPECT_EQ(port_.written, (Bytes{0x43, 0xE2, 0xF0, 0x80, 0xEB}));
  EXPECT_TRUE(link_.Reply().Valid());
  EXPECT_TRUE(link_.Reply().Is(6, 112, 0));
  EXPECT_EQ(link_.Reply().Data(0), 3);
  EXPECT_EQ(link_.Reply().Data(3), 0);
  EXPECT_EQ(link_.SequenceState(), 0x00);
  EXPECT_EQ(link_.Reply().AddressEcho(), 0x43);
  EXPECT_EQ(link_.Reply().Header(), 0x66);
  EXPECT_EQ(link_.Reply().MessageByte(0), 112);
  EXPECT_EQ(link_.Reply().MessageByte(3), 2);
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(log_.Text(),
            ">  [43] [62] [70] [00]\r\n<  [43] [66] [70] [00] [03] [02] [02] [00]\r\n");
}

TEST_F(BoardLinkTest, Poll_ToModuleZeroWithSequenceZero) {
  OpenWithoutResync();
  link_.SetSequenceStateForTesting(0x00);
  EchoReplies({});
  link_.SendVLMessage(false, BoardMessage{});
  EXPECT_EQ(port_.writes[0], (Bytes{0x03, 0xE0, 0x9D}));
}

TEST_F(BoardLinkTest, AfterOpening_PreambleAndEmptyFrameComeFirst_ThenSequenceAlternates) {
  ASSERT_TRUE(link_.OpenPort("/dev/ttyFAKE", 2, nullptr));
  EXPECT_EQ(port_.opened_settings, "38400,o,8,1");
  EXPECT_EQ(link_.SequenceState(), kResyncPending);
  EchoReplies({112, 0, 3, 2, 2, 0});
  link_.SendVLMessage(true, {112, 0});
  link_.SendVLMessage(true, {112, 0});
  link_.SendVLMessage(true, {112, 0});
  Bytes first = port_.writes[0];
  EXPECT_EQ(Bytes(first.begin(), first.begin() + 13),
            (Bytes{0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xAA, 0xAA, 0xAA, 0x03, 0xC0, 0xBD, 0x43}));
  EXPECT_EQ(port_.writes[1][0], 0x03);
  EXPECT_EQ(port_.writes[2][0], 0x43);
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(BoardLinkTest, BitRateChangeAndModuleChange_ResyncAgain) {
  ASSERT_TRUE(link_.OpenPort("/dev/ttyFAKE", 1, nullptr));
  link_.SetSequenceStateForTesting(0x00);
  ASSERT_TRUE(link_.SetBitRate(0, nullptr));
  EXPECT_EQ(port_.opened_settings, "9600,o,8,1");
  EXPECT_EQ(link_.SequenceState(), kResyncPending);
  link_.SetSequenceStateForTesting(0x00);
  link_.SetModuleAddress(4);
  EXPECT_EQ(link_.SequenceState(), kResyncPending);
}

TEST_F(BoardLinkTest, EchoOfTheWrongSequenceBit_IsRejected) {
  OpenWithoutResync();
  port_.responder = [this](const Bytes&) { port_.Feed(ReplyFrame(0x03, {112, 0})); };
  link_.SendVLMessage(true, {112, 0});
  EXPECT_FALSE(link_.Reply().Valid());
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text,
            "Invalid response received, \r\nReceived: Addr = 3 Header = 98\r\n"
            "Expected: Addr = 3 Header > 95 ");
  EXPECT_EQ(link_.SequenceState(), 0x00);
}

TEST_F(BoardLinkTest, SizeSixteen_RefusedAndNothingSent_FifteenSent) {
  OpenWithoutResync();
  BoardMessage big;
  big.size = 16;
  EXPECT_FALSE(link_.SendVLMessage(false, big));
  EXPECT_EQ(dialogs_.Texts().at(0), "SendVLMessage: Message Size Overrun, size = 16");
  EXPECT_TRUE(port_.written.empty());
  link_.BidirectionalComm = false;
  big.size = 15;
  EXPECT_TRUE(link_.SendVLMessage(false, big));
  EXPECT_EQ(port_.written.size(), 18u);
  EXPECT_EQ(port_.written[1], 0xC0 + 15);
}

TEST_F(BoardLinkTest, ByteAbove127_RefusedBeforeAnythingIsSent) {
  OpenWithoutResync();
  EXPECT_FALSE(link_.SendVLMessage(false, {96, 10, 65, 200}));
  EXPECT_TRUE(port_.written.empty());
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_NE(dialogs_.messages[0].text.find("200"), std::string::npos);
  EXPECT_EQ(link_.SequenceState(), 0x40);
}

TEST_F(BoardLinkTest, PortClosed_SelectCommunicationsPort) {
  EXPECT_FALSE(link_.SendVLMessage(true, {112, 0}));
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"Select communications port"});
  link_.SendLegacyMessage(3, 2, 0, 0);
  EXPECT_EQ(dialogs_.messages.size(), 2u);
  EXPECT_TRUE(port_.written.empty());
}

TEST_F(BoardLinkTest, BadChecksumThenGoodReply_Accepted) {
  OpenWithoutResync();
  port_.responder = [this](const Bytes& sent) {
    Bytes bad = ReplyFrame(sent[0], {112, 0, 9, 9, 9, 9});
    bad.back() ^= 0x01;
    port_.Feed(bad);
    port_.Feed(ReplyFrame(sent[0], {112, 0, 3, 2, 2, 0}));
  };
  link_.SendVLMessage(true, {112, 0});
  EXPECT_TRUE(link_.Reply().Valid());
  EXPECT_EQ(link_.Reply().Data(0), 3);
}

TEST_F(BoardLinkTest, NoiseWithBit7BeforeTheAddress_Ignored) {
  OpenWithoutResync();
  port_.responder = [this](const Bytes& sent) {
    port_.Feed({0xFF, 0x80, 0xC5});
    port_.Feed(ReplyFrame(sent[0], {112, 0, 3, 2, 2, 0}));
  };
  link_.SendVLMessage(true, {112, 0});
  EXPECT_TRUE(link_.Reply().Valid());
}

TEST_F(BoardLinkTest, NoReply_TwoSecondsThenBidirectionalOff) {
  OpenWithoutResync();
  auto start = clock_.Now();
  EXPECT_TRUE(link_.SendVLMessage(true, {112, 0}));
  EXPECT_GE(clock_.Now() - start, std::chrono::seconds(2));
  EXPECT_LT(clock_.Now() - start, std::chrono::milliseconds(2100));
  EXPECT_FALSE(link_.Reply().Valid());
  EXPECT_FALSE(link_.BidirectionalComm);
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{
                                  "No response received, resetting bidirectional communication"});
  EXPECT_EQ(link_.SequenceState(), 0x00);
  // Off: the next read sends without the reply bit and reads nothing, silently.
  link_.SendVLMessage(true, {112, 0});
  EXPECT_EQ(port_.writes[1][1], 0xC2);
  EXPECT_FALSE(link_.Reply().Valid());
  EXPECT_EQ(dialogs_.messages.size(), 1u);
}

TEST_F(BoardLinkTest, ExtendedAddress_SentAndChecked) {
  OpenWithoutResync();
  link_.UseExtendedAddr = true;
  link_.ModuleXAddress = 5;
  port_.responder = [this](const Bytes& sent) { port_.Feed(ReplyFrame(sent[0], {112, 2, 9}, 5)); };
  link_.SendVLMessage(true, {112, 2});
  EXPECT_EQ(port_.writes[0][1], 0xF2);
  EXPECT_EQ(port_.writes[0][2], 0x85);
  EXPECT_TRUE(link_.Reply().Valid());
  EXPECT_TRUE(link_.Reply().Is(3, 112, 2));
  EXPECT_EQ(link_.Reply().Data(0), 9);
  EXPECT_EQ(log_.Text(), ">  [43] [72] [05] [70] [02]\r\n<  [43] [73] [05] [70] [02] [09]\r\n");
}

TEST_F(BoardLinkTest, ExtendedAddress_Mismatches) {
  OpenWithoutResync();
  link_.UseExtendedAddr = true;
  link_.ModuleXAddress = 5;
  port_.responder = [this](const Bytes& sent) { port_.Feed(ReplyFrame(sent[0], {112, 2, 9})); };
  link_.SendVLMessage(true, {112, 2});
  EXPECT_FALSE(link_.Reply().Valid());
  port_.responder = [this](const Bytes& sent) { port_.Feed(ReplyFrame(sent[0], {112, 2, 9}, 6)); };
  link_.SendVLMessage(true, {112, 2});
  EXPECT_FALSE(link_.Reply().Valid());
  link_.UseExtendedAddr = false;
  link_.SendVLMessage(true, {112, 2});
  EXPECT_FALSE(link_.Reply().Valid());
  EXPECT_EQ(dialogs_.Texts(), (std::vector<std::string>{"eXtended Address Byte expected",
                                                        "Incorrect eXtended Address byte \r\n"
                                                        "Received 6 Expected 5",
                                                        "Unexpected eXtended Address Byte 6"}));
}

TEST_F(BoardLinkTest, LogLineOfADirectMessageToModuleTwo) {
  OpenWithoutResync();
  link_.ModuleAddress = 2;
  link_.BidirectionalComm = true;
  EchoReplies({112, 0, 3, 2, 2, 0});
  link_.SendVLMessage(true, {112, 0});
  EXPECT_EQ(log_.Text().substr(0, 25), ">  [4B] [62] [70] [00]\r\n<");
}

TEST_F(BoardLinkTest, LegacyFrame_ResyncThenFrameWithoutSequenceBit) {
  ASSERT_TRUE(link_.OpenPort("/dev/ttyFAKE", 1, nullptr));
  link_.SendLegacyMessage(63, 10, 5, 30);
  Bytes legacy = {63, 0x8A, 0x85, 0x9E};
  AppendChecksum(legacy);
  Bytes expected = kResyncPreamble;
  expected.insert(expected.end(), {63, 0x80, 0x80, 0x80, 193});
  expected.insert(expected.end(), legacy.begin(), legacy.end());
  EXPECT_EQ(port_.written, expected);
  EXPECT_EQ(link_.SequenceState(), 0x40);
  EXPECT_TRUE(log_.Text().empty());
  link_.SendLegacyMessage(3, 200, 0, 0);
  EXPECT_EQ(port_.written.size(), expected.size());
  EXPECT_EQ(dialogs_.messages.size(), 1u);
}

TEST(Framing, Checksum_MakesTheFrameSumAMultipleOf128WithBit7Set) {
  EXPECT_EQ(FrameChecksum(Bytes{0x43, 0xE2, 0xF0, 0x80}), 0xEB);
  EXPECT_EQ(FrameChecksum(Bytes{0x03, 0xE0}), 0x9D);
  EXPECT_EQ(FrameChecksum(Bytes{0x03, 0xC0}), 0xBD);
  Bytes frame = {0x7F, 0x81};  // sum 256 exactly: checksum 0x80
  EXPECT_EQ(FrameChecksum(frame), 0x80);
  AppendChecksum(frame);
  EXPECT_TRUE(FrameSumOk(frame.data(), frame.size()));
  EXPECT_EQ(FormatLogByte(10), " [0A]");
  EXPECT_EQ(FormatLogByte(195), " [C3]");
}

}  // namespace
}  // namespace vela

namespace vela {
namespace {

TEST(BoardLinkCancel, CancelledLink_SendsNothingAndSaysNothing) {
  ManualClock clock;
  testing::FakePort port(clock);
  testing::RecordingDialogs dialogs;
  MemoryTrafficLog log;
  BoardLink link(port, clock, dialogs, log);
  ASSERT_TRUE(link.OpenPort("x", 1, nullptr));
  link.RequestCancel();
  EXPECT_FALSE(link.SendVLMessage(false, {96, 5, 2}));
  link.SendLegacyMessage(3, 2, 0, 0);
  EXPECT_TRUE(port.written.empty());
  EXPECT_TRUE(dialogs.messages.empty());
  link.ClearCancel();
  link.BidirectionalComm = false;
  EXPECT_TRUE(link.SendVLMessage(false, {96, 5, 2}));
}

}  // namespace
}  // namespace vela
