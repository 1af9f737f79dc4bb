#include "operations/pin_config_commands.h"

#include <gtest/gtest.h>

#include "operations/session_fixture.h"

namespace vela {
namespace {

using testing::Message;
using Config = std::array<uint8_t, 13>;

class PinConfigCommandsTest : public testing::ScriptedSessionTest {
 protected:
  PinRecord& Pin(int pin) { return config_.Pins[pin]; }
};

TEST_F(PinConfigCommandsTest, ReadFlash_ServoOnAPlainPin_ClearsThenCopies) {
  link_.BidirectionalComm = false;
  Pin(3).PinConfig = Config{0, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
  Pin(3).CurrentValue = 5;
  AnswerAlways({0x71, 3, 1, 70, 0x2A, 69, 1, 2, 3, 4, 66, 5, 67});  // c[0..10]
  EXPECT_TRUE(ReadPinConfigParams(session_, kFlashStore, 3));
  EXPECT_EQ(board_.messages, (std::vector<Message>{{0x71, 3}}));
  EXPECT_TRUE(board_.reply_wanted[0]);
  EXPECT_EQ(Pin(3).PinConfig, (Config{1, 70, 0x2A, 69, 1, 2, 3, 4, 66, 5, 67, 0, 0}));
  EXPECT_EQ(Pin(3).CurrentValue, 64) << "a new servo starts at position 0";
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(PinConfigCommandsTest, ReadActive_PositionGoesToCurrentValue_FlashToInitialPosition) {
  Pin(2).PinConfig = Config{1, 80, 8, 64};
  Pin(2).CurrentValue = 90;
  AnswerAlways({0x51, 2, 1, 70, 9, 60});
  EXPECT_TRUE(ReadPinConfigParams(session_, kActiveStore, 2));
  EXPECT_EQ(board_.messages.back(), (Message{0x51, 2}));
  EXPECT_EQ(Pin(2).CurrentValue, 70);
  EXPECT_EQ(Pin(2).PinConfig, (Config{1, 80, 9, 60}));

  AnswerAlways({0x71, 2, 1, 75, 9, 60});
  EXPECT_TRUE(ReadPinConfigParams(session_, kFlashStore, 2));
  EXPECT_EQ(Pin(2).CurrentValue, 70);
  EXPECT_EQ(Pin(2).PinConfig[1], 75);
}

TEST_F(PinConfigCommandsTest, ReadFlash_KindChange_ClearsTheOldParameters) {
  Pin(4).PinConfig = Config{2, 10, 3, 5, 6, 7, 9, 9, 9, 9, 9, 9, 9};
  AnswerAlways({0x71, 4, 4, 0, 0, 12, 13});
  EXPECT_TRUE(ReadPinConfigParams(session_, kFlashStore, 4));
  EXPECT_EQ(Pin(4).PinConfig, (Config{4, 0, 0, 12, 13}));
}

TEST_F(PinConfigCommandsTest, ReadFlash_ShortPwmReply_GivesOffLevel0AndOnLevel31) {
  Pin(1).PinConfig = Config{2, 1, 1, 1, 7, 8};
  AnswerAlways({0x71, 1, 3, 20, 1, 5});  // four configuration bytes
  EXPECT_TRUE(ReadPinConfigParams(session_, kFlashStore, 1));
  EXPECT_EQ(Pin(1).PinConfig, (Config{3, 20, 1, 5, 0, 31}));

  AnswerAlways({0x71, 1, 3, 20, 1, 5, 4, 30});  // six: the levels come from the board
  EXPECT_TRUE(ReadPinConfigParams(session_, kFlashStore, 1));
  EXPECT_EQ(Pin(1).PinConfig, (Config{3, 20, 1, 5, 4, 30}));
}

TEST_F(PinConfigCommandsTest, ReadFlash_ServoFlagsWithoutBit3_AreRewritten) {
  Pin(0).PinConfig[0] = kServo;
  for (auto [flags, expected] : {std::pair{0x30, 43}, {0x4A, 0x4A}, {0x0C, 0x0C}, {0x10, 41}}) {
    AnswerAlways({0x71, 0, 1, 64, flags});
    EXPECT_TRUE(ReadPinConfigParams(session_, kFlashStore, 0));
    EXPECT_EQ(Pin(0).PinConfig[2], expected) << flags;
  }
  // Only servos carry flags.
  Pin(0).PinConfig[0] = kPwm;
  AnswerAlways({0x71, 0, 2, 10, 0x30, 1, 2, 3});
  EXPECT_TRUE(ReadPinConfigParams(session_, kFlashStore, 0));
  EXPECT_EQ(Pin(0).PinConfig[2], 0x30);
}

TEST_F(PinConfigCommandsTest, Read_EitherHeaderEchoIsAccepted) {
  AnswerAlways({0x51, 6, 4, 0, 0, 1, 2});
  EXPECT_TRUE(ReadPinConfigParams(session_, kFlashStore, 6));
  AnswerAlways({0x71, 6, 5, 0, 0, 3, 4});
  EXPECT_TRUE(ReadPinConfigParams(session_, kActiveStore, 6));
  EXPECT_EQ(Pin(6).PinConfig, (Config{5, 0, 0, 3, 4}));
}

TEST_F(PinConfigCommandsTest, Read_BadReplies_NoValidResponseAndRecordUnchanged) {
  Pin(3).PinConfig = Config{2, 10, 3, 5, 6, 7};
  const PinRecord before = Pin(3);
  for (const Message& reply : {Message{0x71, 3}, Message{0x71, 4, 0}, Message{0x72, 3, 0}}) {
    dialogs_.Clear();
    AnswerAlways(reply);
    EXPECT_FALSE(ReadPinConfigParams(session_, kFlashStore, 3));
    EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"No valid response"});
    EXPECT_EQ(Pin(3), before);
  }
  dialogs_.Clear();
  board_.answer = nullptr;
  EXPECT_FALSE(ReadPinConfigParams(session_, kFlashStore, 3));
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{
                                  "No response received, resetting bidirectional communication"});
  EXPECT_EQ(Pin(3), before);
}

TEST_F(PinConfigCommandsTest, Write_EachKind_SendsItsLayout) {
  Pin(3).PinConfig = Config{1, 70, 0x4A, 65, 1, 2, 3, 4, 66, 5, 67, 6, 99};
  Pin(3).CurrentValue = 90;
  EXPECT_TRUE(WritePinConfigParams(session_, kFlashStore, 3));
  EXPECT_EQ(Pin(3).PinConfig[2], 0x0A) << "Servo Initialised is dropped in the record too";
  EXPECT_TRUE(WritePinConfigParams(session_, kActiveStore, 3));

  Pin(4).PinConfig = Config{3, 20, 1, 5, 0, 31, 9, 9, 9, 9, 9, 9};
  Pin(4).CurrentValue = 12;
  EXPECT_TRUE(WritePinConfigParams(session_, kFlashStore, 4));
  EXPECT_TRUE(WritePinConfigParams(session_, kActiveStore, 4));

  Pin(5).PinConfig = Config{5, 0, 0, 12, 13, 9};
  EXPECT_TRUE(WritePinConfigParams(session_, kFlashStore, 5));
  Pin(6).PinConfig = Config{0, 7, 7};
  EXPECT_TRUE(WritePinConfigParams(session_, kFlashStore, 6));
  Pin(7).PinConfig = Config{9, 7, 7};
  EXPECT_TRUE(WritePinConfigParams(session_, kActiveStore, 7));

  EXPECT_EQ(board_.messages, (std::vector<Message>{
                                 {0x61, 3, 1, 70, 0x0A, 65, 1, 2, 3, 4, 66, 5, 67, 6},
                                 {0x41, 3, 1, 90, 0x0A, 65, 1, 2, 3, 4, 66, 5, 67, 6},
                                 {0x61, 4, 3, 20, 1, 5, 0, 31},
                                 {0x41, 4, 3, 12, 1, 5, 0, 31},
                                 {0x61, 5, 5, 0, 0, 12, 13},
                                 {0x61, 6, 0},
                                 {0x41, 7, 0},
                             }));
}

}  // namespace
}  // namespace vela
