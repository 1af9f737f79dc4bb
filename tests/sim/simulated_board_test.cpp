// The simulated board through the tool's own link: direct framing, the byte examples of the
// message exchange, the resynchronisation, the address filter, Kora-format frames and polls.
#include <gtest/gtest.h>

#include "link/message_monitor.h"
#include "sim_fixture.h"

namespace vela::sim {
namespace {

TEST_F(SimLinkTest, VersionRequest_WireBytesAndReplyFrame) {
  Open();
  ASSERT_TRUE(link_.SendVLMessage(true, {112, 0}));
  Bytes expected = kResyncPreamble;
  expected.insert(expected.end(), {0x03, 0xC0, 0xBD, 0x43, 0xE2, 0xF0, 0x80, 0xEB});
  EXPECT_EQ(port_.Written(), expected);
  EXPECT_TRUE(link_.Reply().Is(6, 112, 0));
  EXPECT_EQ(ReplyMessage(), (Bytes{112, 0, 3, 2, 2, 0}));
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(log_.Text(),
            ">  [43] [62] [70] [00]\r\n<  [43] [66] [70] [00] [03] [02] [02] [00]\r\n");
  ASSERT_EQ(board_.Received().size(), 2u);
  const ReceivedFrame& frame = board_.Received()[1];
  EXPECT_EQ(frame.raw, (Bytes{0x43, 0xE2, 0xF0, 0x80, 0xEB}));
  EXPECT_EQ(frame.sequence_bit, 0x40);
  EXPECT_TRUE(frame.reply_wanted);
  EXPECT_TRUE(frame.answered);
  EXPECT_TRUE(frame.sequence_ok);
  EXPECT_EQ(frame.message, (std::vector<int>{112, 0}));
}

TEST_F(SimLinkTest, VersionReplyFrame_BytesOnTheWire) {
  std::vector<uint8_t> reply = board_.Receive(Bytes{0x43, 0xE2, 0xF0, 0x80, 0xEB});
  // 43, header E6 (reply, length 6), 112, 0, 3, 2, 2, 0, checksum.
  EXPECT_EQ(reply, (Bytes{0x43, 0xE6, 0xF0, 0x80, 0x83, 0x82, 0x82, 0x80, 0xE0}));
}

TEST_F(SimLinkTest, PollWithNothingQueued_AnsweredWithAnEmptyReply) {
  OpenAndSync();
  link_.SetSequenceStateForTesting(0x00);
  link_.SendVLMessage(false, BoardMessage{});
  EXPECT_EQ(port_.Written(), (Bytes{0x03, 0xE0, 0x9D}));
  EXPECT_TRUE(link_.Reply().Valid());
  EXPECT_EQ(link_.Reply().AddressEcho(), 0x03);
  EXPECT_EQ(link_.Reply().Header(), 0x60);
  EXPECT_EQ(link_.ReplyLength(), 0);
  EXPECT_EQ(log_.Text(), ">  [03] [60]\r\n<  [03] [60]\r\n");
}

TEST_F(SimLinkTest, QueuedReports_CollectedByPollsInOrder_ThenEmpty) {
  OpenAndSync();
  board_.QueueReport({12, 0, 127, 3});
  board_.QueueReport({1, 2, 3, 4});
  MessageMonitor monitor;
  ASSERT_TRUE(monitor.Start(link_));
  EXPECT_EQ(monitor.Tick(link_), std::optional<std::string>("<12> <0> <127> <3> "));
  EXPECT_TRUE(link_.Reply().Is(4, 12, 0));
  EXPECT_EQ(monitor.Tick(link_), std::optional<std::string>("<1> <2> <3> <4> "));
  EXPECT_EQ(monitor.Tick(link_), std::nullopt);
  EXPECT_TRUE(link_.Reply().Valid());
  EXPECT_EQ(link_.ReplyLength(), 0);
  EXPECT_EQ(board_.QueuedReports(), 0u);
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(SimLinkTest, PollWithoutReplyBit_LeavesTheReportQueued) {
  OpenAndSync();
  board_.QueueReport({1, 2, 3, 4});
  link_.BidirectionalComm = false;
  link_.SendVLMessage(false, BoardMessage{});
  EXPECT_EQ(board_.QueuedReports(), 1u);
  EXPECT_EQ(port_.BytesWaiting(), 0u);
}

TEST_F(SimLinkTest, AfterOpening_PreambleAndResyncFrame_ThenSequenceAlternatesAndIsEchoed) {
  Open();
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(link_.SendVLMessage(true, {112, 0}));
    EXPECT_TRUE(link_.Reply().Is(6, 112, 0)) << i;
  }
  EXPECT_TRUE(dialogs_.messages.empty());
  Bytes start(port_.Written().begin(), port_.Written().begin() + 13);
  EXPECT_EQ(start,
            (Bytes{0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xAA, 0xAA, 0xAA, 0x03, 0xC0, 0xBD, 0x43}));
  EXPECT_EQ(board_.resync_count(), 1);
  const auto& frames = board_.Received();
  ASSERT_EQ(frames.size(), 4u);
  EXPECT_TRUE(frames[0].resync);
  EXPECT_EQ(frames[0].raw, (Bytes{0x03, 0xC0, 0xBD}));
  EXPECT_FALSE(frames[0].answered);
  EXPECT_EQ(frames[1].address_byte, 0x43);
  EXPECT_EQ(frames[2].address_byte, 0x03);
  EXPECT_EQ(frames[3].address_byte, 0x43);
  for (int i = 1; i < 4; ++i) {
    EXPECT_TRUE(frames[i].sequence_ok) << i;
    EXPECT_TRUE(frames[i].answered) << i;
    EXPECT_FALSE(frames[i].resync) << i;
  }
  EXPECT_EQ(board_.Messages().size(), 3u);
}

TEST_F(SimLinkTest, RepeatedSequenceBit_RecordedAsOutOfSequence_StillAnswered) {
  Open();
  link_.SendVLMessage(true, {112, 0});
  link_.SetSequenceStateForTesting(0x40);  // the same bit again
  link_.SendVLMessage(true, {112, 0});
  ASSERT_EQ(board_.Received().size(), 3u);
  EXPECT_TRUE(board_.Received()[1].sequence_ok);
  EXPECT_FALSE(board_.Received()[2].sequence_ok);
  EXPECT_TRUE(link_.Reply().Valid());
}

TEST_F(SimLinkTest, PreambleInsideAPartialFrame_DropsIt) {
  // A frame cut short by the preamble is no frame; the one after the preamble is the resync.
  board_.Receive(Bytes{0x43, 0xE4, 0xF0});
  board_.Receive(Bytes{0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xAA, 0xAA, 0xAA});
  board_.Receive(Bytes{0x03, 0xC0, 0xBD});
  EXPECT_EQ(board_.Receive(Bytes{0x43, 0xE2, 0xF0, 0x80, 0xEB}).size(), 9u);
  ASSERT_EQ(board_.Received().size(), 2u);
  EXPECT_TRUE(board_.Received()[0].resync);
  EXPECT_EQ(board_.Received()[1].address_byte, 0x43);
}

TEST_F(SimLinkTest, BadChecksum_RecordedAndNotAnswered) {
  EXPECT_TRUE(board_.Receive(Bytes{0x43, 0xE2, 0xF0, 0x80, 0xEC}).empty());
  ASSERT_EQ(board_.Received().size(), 1u);
  EXPECT_FALSE(board_.Received()[0].checksum_ok);
  EXPECT_FALSE(board_.Received()[0].for_this_board);
  EXPECT_FALSE(board_.Received()[0].answered);
  EXPECT_TRUE(board_.Messages().empty());
}

TEST_F(SimLinkTest, NoiseBeforeTheAddressByte_Ignored) {
  EXPECT_EQ(board_.Receive(Bytes{0xFF, 0x85, 0x43, 0xE2, 0xF0, 0x80, 0xEB}).size(), 9u);
  ASSERT_EQ(board_.Received().size(), 1u);
  EXPECT_EQ(board_.Received()[0].raw.front(), 0x43);
}

TEST_F(SimLinkTest, FrameForAnotherModule_RecordedNotAnswered_ToolResetsBidirectional) {
  Open();
  link_.ModuleAddress = 1;
  EXPECT_TRUE(link_.SendVLMessage(true, {112, 0}));
  EXPECT_FALSE(link_.Reply().Valid());
  EXPECT_EQ(Texts(), std::vector<std::string>{
                         "No response received, resetting bidirectional communication"});
  EXPECT_FALSE(link_.BidirectionalComm);
  ASSERT_EQ(board_.Received().size(), 2u);
  EXPECT_EQ(board_.Received()[1].module, 1);
  EXPECT_EQ(board_.Received()[1].address_byte, 0x47);
  EXPECT_TRUE(board_.Received()[1].checksum_ok);
  EXPECT_FALSE(board_.Received()[1].for_this_board);
  EXPECT_TRUE(board_.Messages().empty());
  EXPECT_EQ(clock_.Now(), std::chrono::seconds(2) + std::chrono::microseconds(1));
}

TEST(SimulatedBoardModule, BoardOnModuleSeven_AnswersItsAddressByte) {
  SimulatedBoard board(7);
  std::vector<uint8_t> request = {7 * 4 + 3 + 0x40, 0xE2, 0xF0, 0x80};
  request.push_back(FrameChecksum(request));
  std::vector<uint8_t> reply = board.Receive(request);
  ASSERT_EQ(reply.size(), 9u);
  EXPECT_EQ(reply[0], 0x5F);
}

TEST_F(SimLinkTest, WritesWithoutReplyBit_CarriedOutAndNotAnswered) {
  OpenAndSync();
  link_.BidirectionalComm = false;
  EXPECT_TRUE(link_.SendVLMessage(false, {96, 5, 13}));
  EXPECT_EQ(port_.Written()[1], 0xC3);
  EXPECT_EQ(port_.BytesWaiting(), 0u);
  EXPECT_EQ(clock_.Now(), std::chrono::microseconds(0));
  EXPECT_EQ(board_.Memory().dcc_options, 13);
  ASSERT_EQ(board_.Received().size(), 1u);
  EXPECT_FALSE(board_.Received()[0].reply_wanted);
  EXPECT_FALSE(board_.Received()[0].answered);
}

TEST_F(SimLinkTest, WriteWithReplyBit_AcknowledgedWithTypeAndCommand) {
  OpenAndSync();
  EXPECT_TRUE(link_.SendVLMessage(false, {96, 6, 5}));
  EXPECT_TRUE(link_.Reply().Valid());
  EXPECT_EQ(ReplyMessage(), (Bytes{96, 6}));
  EXPECT_EQ(board_.Memory().led_green, 5);
}

class SimXAddressTest : public SimLinkTest {
 protected:
  SimXAddressTest() : SimLinkTest(2, 45) {}
};

TEST_F(SimXAddressTest, RequestWithItsExtendedAddress_ReplyCarriesIt) {
  OpenAndSync();
  link_.UseExtendedAddr = true;
  link_.ModuleXAddress = 45;
  link_.SetSequenceStateForTesting(0x40);
  ASSERT_TRUE(link_.SendVLMessage(true, {112, 2}));
  EXPECT_EQ(port_.Written()[0], 0x4B);
  EXPECT_EQ(port_.Written()[1], 0xF2);
  EXPECT_EQ(port_.Written()[2], 0x80 + 45);
  EXPECT_TRUE(link_.Reply().Is(3, 112, 2));
  EXPECT_EQ(link_.Reply().Data(0), 45);  // setting 2 reads the board's extended address
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(log_.Text(), ">  [4B] [72] [2D] [70] [02]\r\n<  [4B] [73] [2D] [70] [02] [2D]\r\n");
  EXPECT_EQ(board_.Received()[0].xaddress, std::optional<int>(45));
}

TEST_F(SimXAddressTest, RequestWithAnotherExtendedAddress_NotAnswered) {
  OpenAndSync();
  link_.UseExtendedAddr = true;
  link_.ModuleXAddress = 44;
  link_.SendVLMessage(true, {112, 0});
  EXPECT_FALSE(link_.Reply().Valid());
  EXPECT_EQ(Texts(), std::vector<std::string>{
                         "No response received, resetting bidirectional communication"});
  EXPECT_FALSE(board_.Received()[0].for_this_board);
}

TEST_F(SimXAddressTest, RequestWithoutExtendedAddress_AnsweredWithout) {
  OpenAndSync();
  ASSERT_TRUE(link_.SendVLMessage(true, {112, 0}));
  EXPECT_TRUE(link_.Reply().Is(6, 112, 0));
  EXPECT_EQ(link_.Reply().Header() & 0x10, 0);
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(SimLinkTest, KoraFormatFrames_AfterResync_RecordedAndCarriedOut) {
  Open();
  link_.SendLegacyMessage(3, 2, 0, 0);  // "Reset"
  Bytes expected = kResyncPreamble;
  expected.insert(expected.end(), {0x03, 0x80, 0x80, 0x80, 0xFD, 0x03, 0x82, 0x80, 0x80, 0xFB});
  EXPECT_EQ(port_.Written(), expected);
  const auto& frames = board_.Received();
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_TRUE(frames[0].legacy);
  EXPECT_TRUE(frames[0].resync);
  EXPECT_TRUE(frames[1].legacy);
  EXPECT_TRUE(frames[1].checksum_ok);
  EXPECT_EQ(frames[1].message, (std::vector<int>{2, 0, 0}));
  EXPECT_EQ(board_.OutputLog(), (std::vector<std::vector<int>>{{3, 2, 0, 0}}));
  EXPECT_EQ(port_.BytesWaiting(), 0u);
  EXPECT_TRUE(board_.Messages().empty());
}

TEST_F(SimLinkTest, KoraFormatBroadcasts_TakenOthersOnlyRecorded) {
  board_ = SimulatedBoard(2);
  OpenAndSync();
  link_.SendLegacyMessage(63, 10, 4, 30);  // "Lamp Test 15"
  link_.SendLegacyMessage(3, 8, 5, 0);     // "Clear All 0"
  link_.SendLegacyMessage(11, 0, 6, 2);    // own module: set aspect 2 of pin 6
  link_.SendLegacyMessage(23, 0, 6, 1);    // module 5: not ours
  EXPECT_EQ(board_.OutputLog(),
            (std::vector<std::vector<int>>{{63, 10, 4, 30}, {3, 8, 5, 0}, {11, 0, 6, 2}}));
  EXPECT_EQ(board_.Memory().pins[6].current_aspect, 2);
  ASSERT_EQ(board_.Received().size(), 4u);
  EXPECT_FALSE(board_.Received()[3].for_this_board);
  EXPECT_TRUE(board_.Received()[3].checksum_ok);
}

TEST_F(SimLinkTest, KoraFormatSetAspectByAddress_FollowsTheFlexibleBase) {
  board_.Memory().serial_addressing = {1, 10};  // Kora outputs from 40 on: module 1, output 8
  board_.Memory().pins[0].kora_count = 5;
  OpenAndSync();
  link_.SendLegacyMessage(7, 1, 13, 3);  // address 45: pin 1 (pin 0 has 40..44)
  EXPECT_EQ(board_.OutputLog(), (std::vector<std::vector<int>>{{7, 1, 13, 3}}));
  EXPECT_EQ(board_.Memory().pins[1].current_aspect, 3);
}

TEST_F(SimLinkTest, KoraFormatBadChecksum_RecordedNotCarriedOut) {
  board_.Receive(Bytes{0x03, 0x82, 0x80, 0x80, 0xFA});
  ASSERT_EQ(board_.Received().size(), 1u);
  EXPECT_TRUE(board_.Received()[0].legacy);
  EXPECT_FALSE(board_.Received()[0].checksum_ok);
  EXPECT_TRUE(board_.OutputLog().empty());
}

TEST_F(SimLinkTest, OutputCommands_LoggedAndApplied) {
  board_.Memory().pins[9].active_config = {2, 0, 3, 10, 0, 31};
  board_.Memory().pins[3].kora_count = 2;
  OpenAndSync();
  link_.BidirectionalComm = false;
  link_.SendVLMessage(false, {0, 0, 4, 2});
  link_.SendVLMessage(false, {0, 1, 4, 1});  // Kora address 4 is pin 3 (pins 0..2 have 0..2)
  link_.SendVLMessage(false, {0, 38, 9, 20});
  link_.SendVLMessage(false, {0, 55, 8, 100});
  EXPECT_EQ(board_.OutputLog(), (std::vector<std::vector<int>>{
                                    {0, 0, 4, 2}, {0, 1, 4, 1}, {0, 38, 9, 20}, {0, 55, 8, 100}}));
  EXPECT_EQ(board_.Memory().pins[4].current_aspect, 2);
  EXPECT_EQ(board_.Memory().pins[3].current_aspect, 1);
  EXPECT_EQ(board_.Memory().pins[9].active_config[1], 20);
  EXPECT_EQ(board_.Memory().pins[8].active_config[1], 100);
  link_.BidirectionalComm = true;
  ASSERT_TRUE(link_.SendVLMessage(true, {0x51, 9}));
  EXPECT_EQ(ReplyMessage(), (Bytes{0x51, 9, 2, 20, 3, 10, 0, 31}));
}

TEST(SimulatedBoardNoise, RandomBytes_EveryRecordedFrameHasTheLengthItsSecondByteGives) {
  SimulatedBoard board;
  SimulatedStation station(board);
  uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<uint8_t>(seed >> 24);
  };
  for (int i = 0; i < 200000; ++i) {
    const uint8_t b = next();
    board.Receive(b);
    station.Receive(b);
  }
  ASSERT_GT(board.Received().size(), 100u);
  for (const ReceivedFrame& f : board.Received()) {
    ASSERT_GE(f.raw.size(), 2u);
    EXPECT_LT(f.raw[0], 0x80);
    const uint8_t second = f.raw[1];
    const size_t expected = second >= 0xC0 ? 3 + ((second & 0x10) ? 1 : 0) + (second & 0x0F) : 5;
    EXPECT_EQ(f.raw.size(), expected);
    if (f.checksum_ok) {
      int sum = f.raw[0];
      for (size_t k = 1; k < f.raw.size(); ++k) sum += f.raw[k] & 0x7F;
      EXPECT_EQ(sum % 128, 0);
    }
  }
  EXPECT_GT(station.Received().size(), 100u);
}

}  // namespace
}  // namespace vela::sim
