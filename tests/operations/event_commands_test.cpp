#include "operations/event_commands.h"

#include <gtest/gtest.h>

#include <chrono>

#include "operations/session_fixture.h"

namespace vela {
namespace {

using testing::Message;
using Messages = std::vector<Message>;
using std::chrono::milliseconds;

// Event replies of a board whose every action is none.
std::optional<Message> NoActions(const Message& r) {
  if (r[0] == kReadEventOn) return Message{116, r[1], 0x7F, 0x0F, 0x1F, 0x2F, 0x3F};
  if (r[0] == kReadEventOff) return Message{117, r[1], 0x0F, 0x1F, 0x2F, 0x3F};
  return Message{r[0], r[1]};
}

class EventCommandsTest : public testing::ScriptedSessionTest {
 protected:
  EventCommandsTest() { AnswerFromTable(NoActions); }
  int16_t On(int pin, int input) const { return config_.Events.At(pin, kEventOn, input); }
  int16_t Off(int pin, int input) const { return config_.Events.At(pin, kEventOff, input); }
};

TEST(EventByteTest, ActionsOfFourInputs_TaggedIntoNibbles) {
  EXPECT_EQ(EventByte(2, -1), 0x2F);
  EXPECT_EQ(EventByte(3, 7), 0x37);
  EXPECT_EQ(EventByte(0, 0), 0x00);
  EXPECT_EQ(DecodeEventByte(0x25, 3), -1) << "another input's tag";
  EXPECT_EQ(DecodeEventByte(0x3F, 3), -1);
  EXPECT_EQ(DecodeEventByte(0x37, 3), 7);
  EXPECT_EQ(DecodeEventByte(0x0E, 0), 14);
}

TEST_F(EventCommandsTest, ReadAllEvents_AllOnThenAllOff_DecodesAndRefreshes) {
  link_.BidirectionalComm = false;
  replies_[{116, 2}] = Message{116, 2, 0x73, 0x05, 0x1F, 0x2B, 0x25};
  replies_[{117, 31}] = Message{117, 31, 0x0F, 0x11, 0x2F, 0x3E};
  config_.Events.At(2, kEventOn, 1) = 6;
  EXPECT_TRUE(ReadAllEvents(session_));
  ASSERT_EQ(board_.messages.size(), 64u);
  EXPECT_TRUE(board_.reply_wanted[0]);
  for (int p = 0; p < 32; ++p) {
    EXPECT_EQ(board_.messages[p], (Message{116, p}));
    EXPECT_EQ(board_.messages[32 + p], (Message{117, p}));
  }
  EXPECT_EQ((std::array{On(2, 0), On(2, 1), On(2, 2), On(2, 3)}),
            (std::array<int16_t, 4>{5, -1, 11, -1}));
  EXPECT_EQ((std::array{Off(31, 0), Off(31, 1), Off(31, 2), Off(31, 3)}),
            (std::array<int16_t, 4>{-1, 1, -1, 14}));
  EXPECT_EQ(view_.refresh_event_control, 1);
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(EventCommandsTest, ReadAllEvents_UnsupportedReplies_OneMessagePerPinAndValuesKept) {
  board_.answer = [](const Message& r) { return std::optional<Message>(Message{r[0]}); };
  config_.Events.At(4, kEventOn, 0) = 3;
  config_.Events.At(4, kEventOff, 3) = 2;
  EXPECT_TRUE(ReadAllEvents(session_));
  std::vector<std::string> expected(32, "Read Event-On: Function not supported by Device");
  expected.insert(expected.end(), 32, "Read Event-Off: Function not supported by Device");
  EXPECT_EQ(dialogs_.Texts(), expected);
  EXPECT_EQ(On(4, 0), 3);
  EXPECT_EQ(Off(4, 3), 2);
  EXPECT_EQ(view_.refresh_event_control, 1);
}

TEST_F(EventCommandsTest, ReadAllEvents_WrongPinEcho_CountsAsUnsupported) {
  replies_[{116, 3}] = Message{116, 4, 0x7F, 0x00, 0x10, 0x20, 0x30};
  replies_[{117, 3}] = Message{117, 3, 0x00, 0x10, 0x20};
  EXPECT_TRUE(ReadAllEvents(session_));
  EXPECT_EQ(dialogs_.Texts(),
            (std::vector<std::string>{"Read Event-On: Function not supported by Device",
                                      "Read Event-Off: Function not supported by Device"}));
  EXPECT_EQ(On(3, 0), -1);
}

TEST_F(EventCommandsTest, ReadAllEvents_NoReply_StopsAtOnceWithoutRefresh) {
  replies_[{116, 4}] = std::nullopt;
  EXPECT_FALSE(ReadAllEvents(session_));
  EXPECT_EQ(board_.messages.size(), 5u);
  EXPECT_EQ(view_.refresh_event_control, 0);

  replies_.clear();
  replies_[{117, 0}] = std::nullopt;
  board_.messages.clear();
  EXPECT_FALSE(ReadAllEvents(session_));
  EXPECT_EQ(board_.messages.size(), 33u);
}

TEST_F(EventCommandsTest, WriteAllEvents_TaggedBytesOnThenOff_HidesTheLabel) {
  config_.Events.At(0, kEventOn, 3) = 7;
  config_.Events.At(0, kEventOff, 0) = 11;
  config_.Events.At(31, kEventOff, 2) = 0;
  EXPECT_TRUE(WriteAllEvents(session_));
  ASSERT_EQ(board_.messages.size(), 64u);
  EXPECT_EQ(board_.messages[0], (Message{100, 0, 0x0F, 0x1F, 0x2F, 0x37}));
  EXPECT_EQ(board_.messages[1], (Message{100, 1, 0x0F, 0x1F, 0x2F, 0x3F}));
  EXPECT_EQ(board_.messages[32], (Message{101, 0, 0x0B, 0x1F, 0x2F, 0x3F}));
  EXPECT_EQ(board_.messages[63], (Message{101, 31, 0x0F, 0x1F, 0x20, 0x3F}));
  EXPECT_EQ(view_.hide_label, 1);
}

TEST_F(EventCommandsTest, WriteAllEvents_Unidirectional_Pauses100msAfterEach) {
  link_.BidirectionalComm = false;
  const auto start = clock_.Now();
  EXPECT_TRUE(WriteAllEvents(session_));
  EXPECT_EQ(clock_.Now() - start, milliseconds(100) * 64);

  link_.BidirectionalComm = true;
  const auto bidirectional = clock_.Now();
  EXPECT_TRUE(WriteAllEvents(session_));
  EXPECT_EQ(clock_.Now(), bidirectional);
}

TEST_F(EventCommandsTest, WriteAllEvents_PortClosed_HidesTheLabelAndFails) {
  link_.ClosePort();
  EXPECT_FALSE(WriteAllEvents(session_));
  EXPECT_EQ(view_.hide_label, 1);
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{kSelectCommunicationsPort});
}

TEST_F(EventCommandsTest, ReadEnableMap_ClearBitsAreEnabled) {
  link_.BidirectionalComm = false;
  replies_[{112, 11}] = Message{112, 11, 0x05, 0x0A};
  EXPECT_TRUE(ReadEnableMap(session_));
  EXPECT_EQ(board_.messages, (Messages{{112, 11}}));
  EXPECT_TRUE(board_.reply_wanted[0]);
  EXPECT_EQ(config_.General.InitEE,
            (std::array<bool, 8>{false, true, false, true, true, false, true, false}));
}

TEST_F(EventCommandsTest, ReadEnableMap_BadReplies_SaidButSucceeds_NoReplyFails) {
  const auto before = config_.General.InitEE;
  replies_[{112, 11}] = Message{112, 11, 0x05};
  EXPECT_TRUE(ReadEnableMap(session_));
  replies_[{112, 11}] = Message{112, 10, 0x05, 0x01};
  EXPECT_TRUE(ReadEnableMap(session_));
  EXPECT_EQ(dialogs_.Texts(),
            (std::vector<std::string>{"No valid response size", "No valid response type"}));
  EXPECT_EQ(config_.General.InitEE, before);
  replies_[{112, 11}] = std::nullopt;
  EXPECT_FALSE(ReadEnableMap(session_));
}

TEST_F(EventCommandsTest, WriteEnableMap_UncheckedBoxesAreOneBits) {
  config_.General.InitEE = {true, true, true, true, false, false, false, false};
  EXPECT_TRUE(WriteEnableMap(session_));
  config_.General.InitEE = {false, true, true, false, true, false, true, true};
  EXPECT_TRUE(WriteEnableMap(session_));
  EXPECT_EQ(board_.messages, (Messages{{96, 11, 0x00, 0x0F}, {96, 11, 0x09, 0x02}}));
}

TEST_F(EventCommandsTest, ReadSinglePinEvents_SelectedPin_BothEventsAndRefresh) {
  config_.ECSelectedPin = 9;
  link_.BidirectionalComm = false;
  replies_[{116, 9}] = Message{116, 9, 0x7F, 0x01, 0x12, 0x23, 0x34};
  replies_[{117, 9}] = Message{117, 9, 0x05, 0x16, 0x27, 0x38};
  EXPECT_TRUE(ReadSinglePinEvents(session_));
  EXPECT_EQ(board_.messages, (Messages{{116, 9}, {117, 9}}));
  EXPECT_EQ((std::array{On(9, 0), On(9, 1), On(9, 2), On(9, 3)}),
            (std::array<int16_t, 4>{1, 2, 3, 4}));
  EXPECT_EQ((std::array{Off(9, 0), Off(9, 1), Off(9, 2), Off(9, 3)}),
            (std::array<int16_t, 4>{5, 6, 7, 8}));
  EXPECT_EQ(view_.refresh_event_control, 1);
}

TEST_F(EventCommandsTest, ReadSinglePinEvents_Unsupported_SaysItAndStopsOrRefreshes) {
  config_.ECSelectedPin = 9;
  replies_[{116, 9}] = Message{116, 9};
  EXPECT_FALSE(ReadSinglePinEvents(session_));
  EXPECT_EQ(board_.messages, (Messages{{116, 9}}));
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"Function not supported by Device"});
  EXPECT_EQ(view_.refresh_event_control, 0);

  replies_.clear();
  replies_[{117, 9}] = Message{117, 9};
  dialogs_.Clear();
  EXPECT_FALSE(ReadSinglePinEvents(session_));
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"Function not supported by Device"});
  EXPECT_EQ(view_.refresh_event_control, 1);
}

TEST_F(EventCommandsTest, WriteSinglePinEvents_OnThenOff_PausedWhenUnidirectional) {
  config_.ECSelectedPin = 30;
  config_.Events.At(30, kEventOn, 2) = 4;
  config_.Events.At(30, kEventOff, 1) = 9;
  link_.BidirectionalComm = false;
  const auto start = clock_.Now();
  EXPECT_TRUE(WriteSinglePinEvents(session_));
  EXPECT_EQ(board_.messages,
            (Messages{{100, 30, 0x0F, 0x1F, 0x24, 0x3F}, {101, 30, 0x0F, 0x19, 0x2F, 0x3F}}));
  EXPECT_EQ(clock_.Now() - start, milliseconds(200));
  EXPECT_EQ(view_.hide_label, 0);

  link_.ClosePort();
  EXPECT_FALSE(WriteSinglePinEvents(session_));
  EXPECT_EQ(view_.hide_label, 1);
}

}  // namespace
}  // namespace vela
