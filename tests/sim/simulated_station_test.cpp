// The simulated command station: its frames and length codes, the queries, the tunnel to the
// board driven by the tool's own tunnel code, and the transparent mode of the interface boxes.
#include <gtest/gtest.h>

#include "link/station_procedures.h"
#include "sim_fixture.h"

namespace vela::sim {
namespace {

TEST(StationVersion, EncodedThenDecoded_GivesTheVersionBack) {
  EXPECT_EQ(EncodeStationVersion(3200), (std::pair<uint8_t, uint8_t>{0x1A, 0x00}));
  EXPECT_EQ(EncodeStationVersion(3100), (std::pair<uint8_t, uint8_t>{0x19, 0x00}));
  EXPECT_EQ(EncodeStationVersion(1030), (std::pair<uint8_t, uint8_t>{0x08, 0x18}));
  EXPECT_EQ(EncodeStationVersion(3800), std::nullopt);  // hundreds travel in three bits
  EXPECT_EQ(EncodeStationVersion(1028), std::nullopt);
  EXPECT_EQ(DecodeStationVersion(0x19, 0x00), 3100);
  EXPECT_EQ(DecodeStationVersion(0x08, 0x18), 1030);
}

TEST(StationFrames, EmptyFramesOfBothTogglesAnsweredInKind) {
  SimulatedBoard board;
  SimulatedStation station(board);
  EXPECT_EQ(station.Receive(Bytes{0x28, 0xD8}), (Bytes{0x28, 0xD8}));
  EXPECT_EQ(station.Receive(Bytes{0x68, 0x98}), (Bytes{0x68, 0x98}));
  ASSERT_EQ(station.Received().size(), 2u);
  EXPECT_EQ(station.Received()[0].toggle, 0);
  EXPECT_EQ(station.Received()[1].toggle, 1);
  EXPECT_TRUE(station.Received()[1].payload.empty());
}

TEST(StationFrames, ProtocolQuery_ExampleBytes) {
  SimulatedBoard board;
  SimulatedStation station(board);
  Bytes answer = station.Receive(Bytes{0x6A, 0x81, 0x82, 0x93});
  Bytes expected = {0x6C, 0x81, 0x82, 0x9A, 0x80};
  expected.push_back(FrameChecksum(expected));
  EXPECT_EQ(answer, expected);
}

TEST(StationFrames, InterfaceQuery_TypeAndVersion) {
  SimulatedBoard board;
  SimulatedStation station(board, {.interface_type = kInterfaceZeto, .interface_version = 1030});
  Bytes answer = station.Receive(Bytes{0x2A, 0x81, 0x8A, 0xCB});
  Bytes expected = {0x2D, 0x81, 0x8A, 0x8A, 0x88, 0x98};
  expected.push_back(FrameChecksum(expected));
  EXPECT_EQ(answer, expected);
}

TEST(StationFrames, LongFrames_CarryTheirLengthCodes) {
  // 8 payload bytes: header 0x00; 16: 0x10; a received 0x02 is 10 bytes, 0x12 is 18.
  EXPECT_EQ(SimulatedStation::Frame(Bytes(8, 0))[0], 0x00);
  EXPECT_EQ(SimulatedStation::Frame(Bytes(15, 0))[0], 0x07);
  EXPECT_EQ(SimulatedStation::Frame(Bytes(16, 0))[0], 0x10);
  EXPECT_EQ(SimulatedStation::Frame(Bytes(19, 0))[0], 0x13);
  EXPECT_EQ(SimulatedStation::Frame(Bytes(5, 0), 1)[0], 0x6D);
  SimulatedBoard board;
  SimulatedStation station(board);
  Bytes ten = {0x02};
  for (int i = 0; i < 10; ++i) ten.push_back(0x80 + i);
  ten.push_back(FrameChecksum(ten));
  EXPECT_EQ(station.Receive(ten).size(), 2u);
  ASSERT_EQ(station.Received().size(), 1u);
  EXPECT_EQ(station.Received()[0].payload.size(), 10u);
}

TEST(StationFrames, BadChecksumOrSilence_NoAnswer) {
  SimulatedBoard board;
  SimulatedStation station(board);
  EXPECT_TRUE(station.Receive(Bytes{0x28, 0xD9}).empty());
  EXPECT_FALSE(station.Received()[0].checksum_ok);
  station.Settings().silent = true;
  EXPECT_TRUE(station.Receive(Bytes{0x28, 0xD8}).empty());
  EXPECT_EQ(station.Received().size(), 2u);
}

class StationLinkTest : public SimLinkTest {
 protected:
  explicit StationLinkTest(int module = 0, int xaddress = 0)
      : SimLinkTest(module, xaddress, true) {}
  void SetUp() override { ASSERT_TRUE(link_.OpenPort("sim", 1, nullptr)); }
  // The tunnelling switch-on, then clean records.
  void TunnelOn() {
    ASSERT_TRUE(SetCorsanTunneling(link_, true));
    ASSERT_TRUE(dialogs_.messages.empty()) << dialogs_.messages[0].text;
    station_.ClearReceived();
    board_.ClearReceived();
    port_.ClearWritten();
    log_.Clear();
  }
  std::vector<std::vector<int>> StationPayloads() const {
    std::vector<std::vector<int>> payloads;
    for (const StationFrame& f : station_.Received()) payloads.push_back(f.payload);
    return payloads;
  }
};

TEST_F(StationLinkTest, TunnellingSwitchOn_EmptyFrameQueryEmptyFrame) {
  EXPECT_TRUE(SetCorsanTunneling(link_, true));
  EXPECT_TRUE(dialogs_.messages.empty());
  Bytes expected = {0x68, 0x98, 0x2A, 0x81, 0x82};
  expected.push_back(FrameChecksum(expected));
  expected.insert(expected.end(), {0x68, 0x98});
  EXPECT_EQ(port_.Written(), expected);
  EXPECT_EQ(StationPayloads(), (std::vector<std::vector<int>>{{}, {1, 2}, {}}));
  EXPECT_EQ(log_.Text(), ">>  [2A] [01] [02]\r\n<<  [2C] [01] [02] [1A] [00]\r\n");
}

TEST_F(StationLinkTest, OldProtocol_NotSupported_TunnellingOff) {
  station_.Settings().protocol_version = 3100;
  EXPECT_FALSE(SetCorsanTunneling(link_, true));
  EXPECT_EQ(Texts(), std::vector<std::string>{
                         "Your system does not support this function\r\nProtocol = 3.100"});
}

TEST_F(StationLinkTest, ProtocolQueryUnknown_NotSupported) {
  station_.Settings().protocol_query = QueryAnswer::kEmpty;
  EXPECT_FALSE(SetCorsanTunneling(link_, true));
  EXPECT_EQ(Texts(), std::vector<std::string>{"Your system does not support this function"});
}

TEST_F(StationLinkTest, ProtocolQueryUnanswered_TunnellingStaysOn) {
  station_.Settings().protocol_query = QueryAnswer::kSilent;
  EXPECT_TRUE(SetCorsanTunneling(link_, true));
  EXPECT_EQ(Texts(), std::vector<std::string>{"No answer from Corsan"});
}

TEST_F(StationLinkTest, SilentStation_NoAnswerFromCorsan) {
  station_.Settings().silent = true;
  EXPECT_FALSE(SetCorsanTunneling(link_, true));
  EXPECT_EQ(Texts(), std::vector<std::string>{"No answer from Corsan"});
  EXPECT_EQ(clock_.Now(), std::chrono::seconds(2) + std::chrono::microseconds(1));
}

TEST_F(StationLinkTest, TunnelledRead_AnswerFirst_BoardReplyOnThePoll) {
  TunnelOn();
  ASSERT_TRUE(link_.SendVLMessage(true, {112, 0}));
  EXPECT_TRUE(link_.Reply().Is(6, 112, 0));
  EXPECT_EQ(link_.Reply().AddressEcho(), 3);
  EXPECT_EQ(ReplyMessage(), (Bytes{112, 0, 3, 2, 2, 0}));
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(StationPayloads(), (std::vector<std::vector<int>>{{0, 96, 0x60, 112, 0}, {}}));
  EXPECT_EQ(log_.Text(),
            ">>  [2D] [00] [60] [60] [70] [00]\r\n"
            "<<  [41] [00] [60] [26] [70] [00] [03] [02] [02] [00]\r\n");
  ASSERT_EQ(board_.Received().size(), 1u);
  EXPECT_TRUE(board_.Received()[0].tunnelled);
  EXPECT_TRUE(board_.Received()[0].answered);
  EXPECT_EQ(board_.Messages(), (std::vector<std::vector<int>>{{112, 0}}));
}

TEST_F(StationLinkTest, ReplyAfterSeveralPolls_ThePollLoopWaits) {
  station_.Settings().polls_before_reply = 3;
  TunnelOn();
  ASSERT_TRUE(link_.SendVLMessage(true, {114, 4}));
  EXPECT_TRUE(link_.Reply().Is(3, 114, 4));
  EXPECT_EQ(station_.Received().size(), 5u);
}

TEST_F(StationLinkTest, TunnelledWrite_CarriedOut_NothingLeftPending) {
  TunnelOn();
  ASSERT_TRUE(link_.SendVLMessage(false, {96, 5, 9}));
  EXPECT_EQ(board_.Memory().dcc_options, 9);
  EXPECT_EQ(station_.PendingReplies(), 0u);
  EXPECT_EQ(StationPayloads(), (std::vector<std::vector<int>>{{0, 96, 0x60, 96, 5, 9}, {}}));
  ASSERT_TRUE(link_.SendVLMessage(true, {112, 5}));
  EXPECT_EQ(ReplyMessage(), (Bytes{112, 5, 9}));
}

TEST_F(StationLinkTest, LongReplyThroughTheTunnel_SeventeenBytePayload) {
  board_.Memory().pins[7].flash_config = {1, 64, 10, 20, 100, 40, 90, 5, 5, 0, 0, 0};
  TunnelOn();
  ASSERT_TRUE(link_.SendVLMessage(true, {0x71, 7}));
  EXPECT_TRUE(link_.Reply().Is(14, 0x71, 7));
  const Bytes reply = ReplyMessage();
  ASSERT_EQ(reply.size(), 14u);
  EXPECT_EQ(reply[13], 0);
  EXPECT_EQ(reply[2], 1);
  EXPECT_NE(log_.Text().find("<<  [51] [00] [60] [2E] [71] [07] [01] [40]"), std::string::npos);
}

TEST_F(StationLinkTest, TunnelledKoraFormatFrame_ReachesTheBoard) {
  TunnelOn();
  link_.SendLegacyMessage(3, 2, 0, 0);
  EXPECT_EQ(board_.OutputLog(), (std::vector<std::vector<int>>{{3, 2, 0, 0}}));
  EXPECT_EQ(StationPayloads(), (std::vector<std::vector<int>>{{0, 96, 2, 0, 0}}));
  EXPECT_TRUE(board_.Received()[0].legacy);
  EXPECT_TRUE(board_.Received()[0].tunnelled);
}

TEST_F(StationLinkTest, BoardSilentBehindTheStation_NoValidResponse) {
  board_.GetFaults().no_reply = true;
  TunnelOn();
  EXPECT_FALSE(link_.SendVLMessage(true, {112, 0}));
  EXPECT_EQ(Texts(), std::vector<std::string>{"No valid response received"});
}

TEST_F(StationLinkTest, MessageForAnotherModule_NobodyAnswers) {
  TunnelOn();
  link_.ModuleAddress = 20;
  EXPECT_FALSE(link_.SendVLMessage(true, {112, 0}));
  EXPECT_EQ(Texts(), std::vector<std::string>{"No valid response received"});
  EXPECT_FALSE(board_.Received()[0].for_this_board);
}

class StationXAddressTest : public StationLinkTest {
 protected:
  StationXAddressTest() : StationLinkTest(20, 33) {}
};

TEST_F(StationXAddressTest, ModuleAboveFifteenWithExtendedAddress_IsReached) {
  TunnelOn();
  link_.ModuleAddress = 20;
  link_.UseExtendedAddr = true;
  link_.ModuleXAddress = 33;
  ASSERT_TRUE(link_.SendVLMessage(true, {112, 4}));
  EXPECT_TRUE(link_.Reply().Is(4, 112, 4));
  EXPECT_EQ(link_.Reply().AddressEcho(), 20 * 4 + 3);
  EXPECT_EQ(StationPayloads()[0], (std::vector<int>{0, 116, 0x70, 33, 112, 4}));
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(StationXAddressTest, WrongExtendedAddressThroughTheTunnel_Incorrect) {
  board_.GetFaults().xaddress = Faults::XAddress::kWrong;
  TunnelOn();
  link_.ModuleAddress = 20;
  link_.UseExtendedAddr = true;
  link_.ModuleXAddress = 33;
  EXPECT_FALSE(link_.SendVLMessage(true, {112, 4}));
  EXPECT_EQ(Texts(), std::vector<std::string>{
                         "Incorrect eXtended Address byte \r\nReceived 34 Expected 33"});
}

TEST_F(StationLinkTest, TransparentModeOfAnHbx_ThenTheDirectProtocolPassesThrough) {
  station_.Settings().protocol_version = 3100;
  ASSERT_TRUE(ActivateTransparentMode(link_));
  EXPECT_EQ(Texts(), std::vector<std::string>{"Your HB-X has been put in Transparent Mode"});
  EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::kInformation);
  EXPECT_TRUE(station_.transparent());
  EXPECT_EQ(StationPayloads(), (std::vector<std::vector<int>>{{}, {1, 2}, {1, 10}, {1, 5, 16}}));
  dialogs_.Clear();
  ASSERT_TRUE(link_.SendVLMessage(true, {112, 0}));
  EXPECT_TRUE(link_.Reply().Is(6, 112, 0));
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(board_.resync_count(), 1);
  EXPECT_EQ(station_.Received().size(), 4u);
}

TEST_F(StationLinkTest, TransparentModeOnATunnellingStation_AsksFirst) {
  dialogs_.answers.push_back(Answer::kYes);
  station_.Settings().interface_type = kInterfaceHby;
  station_.Settings().interface_version = 0;
  ASSERT_TRUE(ActivateTransparentMode(link_));
  ASSERT_EQ(dialogs_.questions.size(), 1u);
  EXPECT_EQ(Texts(), std::vector<std::string>{"Your HB-Y has been put in Transparent Mode"});
}

TEST_F(StationLinkTest, OldZeto_DoesNotSupportTransparentMode) {
  station_.Settings().protocol_version = 3100;
  station_.Settings().interface_type = kInterfaceZeto;
  station_.Settings().interface_version = 1020;
  EXPECT_FALSE(ActivateTransparentMode(link_));
  EXPECT_EQ(Texts(), std::vector<std::string>{"Your Zeto does not support this function"});
  EXPECT_FALSE(station_.transparent());
}

TEST_F(StationLinkTest, UnknownInterfaceType_NotSupported) {
  station_.Settings().protocol_version = 3100;
  station_.Settings().interface_type = 7;
  EXPECT_FALSE(ActivateTransparentMode(link_));
  EXPECT_EQ(Texts(), std::vector<std::string>{"Your system does not support this function"});
}

TEST_F(StationLinkTest, InterfaceQueryUnknown_NotSupported) {
  station_.Settings().protocol_version = 3100;
  station_.Settings().interface_query = QueryAnswer::kEmpty;
  EXPECT_FALSE(ActivateTransparentMode(link_));
  EXPECT_EQ(Texts(), std::vector<std::string>{"Your system does not support this function"});
}

}  // namespace
}  // namespace vela::sim
