// Each fault knob of the simulated board, and what the tool's link and commands make of it.
#include <gtest/gtest.h>

#include "model/board_config.h"
#include "operations/event_commands.h"
#include "operations/general_commands.h"
#include "operations/session.h"
#include "sim_fixture.h"

namespace vela::sim {
namespace {

constexpr const char* kNoResponse = "No response received, resetting bidirectional communication";

class FaultsTest : public SimLinkTest {
 protected:
  FaultsTest() : SimLinkTest(0, 45) {}
  void SetUp() override { OpenAndSync(); }
  Faults& faults() { return board_.GetFaults(); }
};

TEST_F(FaultsTest, NoReply_ToolReportsNoResponseAfterTwoSeconds) {
  faults().no_reply = true;
  link_.SendVLMessage(true, {112, 0});
  EXPECT_FALSE(link_.Reply().Valid());
  EXPECT_EQ(Texts(), std::vector<std::string>{kNoResponse});
  EXPECT_FALSE(link_.BidirectionalComm);
  EXPECT_GT(clock_.Now(), std::chrono::seconds(2));
  ASSERT_EQ(board_.Received().size(), 1u);
  EXPECT_FALSE(board_.Received()[0].answered);
}

TEST_F(FaultsTest, NoReplyToAWrite_TheWriteIsStillCarriedOut) {
  faults().no_reply = true;
  link_.SendVLMessage(false, {96, 5, 9});
  EXPECT_EQ(board_.Memory().dcc_options, 9);
  EXPECT_EQ(Texts(), std::vector<std::string>{kNoResponse});
}

TEST_F(FaultsTest, WrongChecksum_FrameDropped_NoResponse) {
  faults().wrong_checksum = true;
  link_.SendVLMessage(true, {112, 0});
  EXPECT_FALSE(link_.Reply().Valid());
  EXPECT_EQ(Texts(), std::vector<std::string>{kNoResponse});
}

TEST_F(FaultsTest, WrongChecksumThenGoodCopy_Accepted) {
  faults().wrong_checksum = true;
  faults().good_copy_after_bad = true;
  link_.SendVLMessage(true, {112, 0});
  EXPECT_TRUE(link_.Reply().Is(6, 112, 0));
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(port_.BytesWaiting(), 0u);
}

TEST_F(FaultsTest, GarbageBeforeTheFrame_Skipped) {
  faults().garbage_before = {0xFF, 0x85, 0xAA};
  link_.SendVLMessage(true, {112, 0});
  EXPECT_TRUE(link_.Reply().Is(6, 112, 0));
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(FaultsTest, GarbageWithAnAddressByte_ANewAddressByteRestartsTheFrame) {
  faults().garbage_before = {0x17, 0xE6, 0x85};
  link_.SendVLMessage(true, {112, 0});
  EXPECT_TRUE(link_.Reply().Is(6, 112, 0));
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(FaultsTest, WrongAddressEcho_InvalidResponse) {
  faults().wrong_address_echo = true;
  link_.SetSequenceStateForTesting(0x40);
  link_.SendVLMessage(true, {112, 0});
  EXPECT_FALSE(link_.Reply().Valid());
  EXPECT_EQ(Texts(), std::vector<std::string>{"Invalid response received, \r\n"
                                              "Received: Addr = 3 Header = 102\r\n"
                                              "Expected: Addr = 3 Header > 95 "});
  EXPECT_TRUE(link_.BidirectionalComm);
}

TEST_F(FaultsTest, MissingExtendedAddress_Expected) {
  faults().xaddress = Faults::XAddress::kMissing;
  link_.UseExtendedAddr = true;
  link_.ModuleXAddress = 45;
  link_.SendVLMessage(true, {112, 0});
  EXPECT_FALSE(link_.Reply().Valid());
  EXPECT_EQ(Texts(), std::vector<std::string>{"eXtended Address Byte expected"});
}

TEST_F(FaultsTest, WrongExtendedAddress_Incorrect) {
  faults().xaddress = Faults::XAddress::kWrong;
  link_.UseExtendedAddr = true;
  link_.ModuleXAddress = 45;
  link_.SendVLMessage(true, {112, 0});
  EXPECT_FALSE(link_.Reply().Valid());
  EXPECT_EQ(Texts(), std::vector<std::string>{
                         "Incorrect eXtended Address byte \r\nReceived 46 Expected 45"});
}

TEST_F(FaultsTest, UnexpectedExtendedAddress_Reported) {
  faults().xaddress = Faults::XAddress::kUnexpected;
  link_.SendVLMessage(true, {112, 0});
  EXPECT_FALSE(link_.Reply().Valid());
  EXPECT_EQ(Texts(), std::vector<std::string>{"Unexpected eXtended Address Byte 45"});
}

class FaultsSessionTest : public FaultsTest {
 protected:
  FaultsSessionTest() : session_{link_, config_, view_} {}
  BoardConfig config_;
  ConfigView view_;
  Session session_;
};

TEST_F(FaultsSessionTest, UnsupportedCommand_EmptyReply_WrongSize) {
  faults().unsupported_commands = {{112, 11}};
  EXPECT_TRUE(ReadEnableMap(session_));
  EXPECT_EQ(Texts(), std::vector<std::string>{"No valid response size"});
  EXPECT_EQ(link_.ReplyLength(), 0);
}

TEST_F(FaultsSessionTest, UnsupportedCommand_WrongType_RightSize) {
  faults().unsupported_commands = {{112, 11}};
  faults().unsupported_answer = Faults::Unsupported::kWrongType;
  EXPECT_TRUE(ReadEnableMap(session_));
  EXPECT_EQ(Texts(), std::vector<std::string>{"No valid response type"});
  EXPECT_EQ(ReplyMessage(), (Bytes{113, 11, 0, 0}));
}

TEST_F(FaultsSessionTest, UnsupportedType_EveryPinSaysSo_AndWritesAreNotCarriedOut) {
  faults().unsupported_types = {116};
  EXPECT_TRUE(ReadAllEvents(session_));
  const auto texts = Texts();
  EXPECT_EQ(texts.size(), 32u);
  EXPECT_EQ(texts.front(), "Read Event-On: Function not supported by Device");
  faults().unsupported_types = {96};
  dialogs_.Clear();
  link_.SendVLMessage(false, {96, 5, 9});
  EXPECT_EQ(board_.Memory().dcc_options, 2);
  EXPECT_EQ(link_.ReplyLength(), 0);
}

TEST_F(FaultsSessionTest, UnsupportedSetting_WithoutReplyBit_NotCarriedOut) {
  faults().unsupported_commands = {{96, 5}};
  link_.BidirectionalComm = false;
  link_.SendVLMessage(false, {96, 5, 9});
  EXPECT_EQ(board_.Memory().dcc_options, 2);
}

TEST_F(FaultsTest, OnlyAtFrame_FaultsOneExchangeAlone) {
  // The poll of the set-up was exchange 0.
  ASSERT_EQ(board_.exchange_count(), 1);
  faults().no_reply = true;
  faults().only_at_frame = 2;
  EXPECT_TRUE(link_.SendVLMessage(true, {112, 0}));
  EXPECT_TRUE(link_.Reply().Valid());
  link_.SendVLMessage(true, {112, 0});
  EXPECT_FALSE(link_.Reply().Valid());
  EXPECT_EQ(Texts(), std::vector<std::string>{kNoResponse});
  link_.BidirectionalComm = true;
  link_.SendVLMessage(true, {112, 0});
  EXPECT_TRUE(link_.Reply().Valid());
  EXPECT_EQ(board_.exchange_count(), 4);
}

TEST_F(FaultsTest, ReplyDelayBeyondTwoSeconds_TimesOut_ThenTheLateReplyIsRead) {
  faults().reply_delay = std::chrono::milliseconds(2500);
  faults().only_at_frame = board_.exchange_count();
  link_.SendVLMessage(true, {112, 0});
  EXPECT_EQ(Texts(), std::vector<std::string>{kNoResponse});
  // The late frame is still on the line: the next exchange reads it first and sees the wrong
  // sequence bit.
  clock_.Advance(std::chrono::seconds(1));
  link_.BidirectionalComm = true;
  link_.SendVLMessage(true, {112, 0});
  EXPECT_FALSE(link_.Reply().Valid());
  ASSERT_EQ(Texts().size(), 2u);
  EXPECT_EQ(Texts()[1].rfind("Invalid response received, ", 0), 0u);
}

TEST_F(FaultsTest, ReplyDelayWithinTwoSeconds_Accepted) {
  faults().reply_delay = std::chrono::milliseconds(1500);
  const auto start = clock_.Now();
  link_.SendVLMessage(true, {112, 0});
  EXPECT_TRUE(link_.Reply().Valid());
  EXPECT_EQ(clock_.Now() - start, std::chrono::milliseconds(1500));
}

}  // namespace
}  // namespace vela::sim
