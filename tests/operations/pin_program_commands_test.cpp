#include "operations/pin_program_commands.h"

#include <gtest/gtest.h>

#include <chrono>

#include "operations/session_fixture.h"

namespace vela {
namespace {

using testing::Message;
using Messages = std::vector<Message>;
using std::chrono::milliseconds;

// A board that knows a default answer to every pin-program read.
std::optional<Message> DefaultPinReply(const Message& r) {
  switch (r[0]) {
    case kReadAspectMode:
      return Message{114, r[1], 0};
    case kReadStep:
      return Message{115, r[1], r[2], r[3], 0, 0, 0, 0, 0};
    case kReadInitAspect:
      return Message{116, r[1], 0x7F, 0x0F, 0x1F, 0x2F, 0x3F};
    case kReadAddressConfig:
      return Message{118, r[1], 0x09, 0x11, 0x40};
    case 113:
      return Message{113, r[1], 0};
    default:
      return Message{r[0], r[1]};  // writes are acknowledged by an echo
  }
}

class PinProgramCommandsTest : public testing::ScriptedSessionTest {
 protected:
  PinProgramCommandsTest() { AnswerFromTable(DefaultPinReply); }
  PinRecord& Pin(int pin) { return config_.Pins[pin]; }
  std::vector<int> Headers() const {
    std::vector<int> headers;
    for (const Message& m : board_.messages) headers.push_back(m[0]);
    return headers;
  }
  const std::string kNoValidResponse = "No valid response";
};

TEST(WireStepTest, EightBitParameters_TopBitsTravelInA_Par0IsLost) {
  const StepRecord step{20, 0, 9, 200, 129, 7};
  const WireStep wire = EncodeWireStep(step);
  EXPECT_EQ(wire, (WireStep{20, 3, 72, 1, 7}));
  EXPECT_EQ(DecodeWireStep(wire), (StepRecord{20, 0, 0, 200, 129, 7}));
  EXPECT_EQ(EncodeWireStep(StepRecord{4, 0, 5, 127, 128, 1}), (WireStep{4, 2, 127, 0, 1}));
  EXPECT_EQ(DecodeWireStep({5, 1, 0, 127, 2}), (StepRecord{5, 0, 0, 128, 127, 2}));
}

TEST(WireStepTest, FadeTravelsInBit4OfTheInstructionByte) {
  EXPECT_EQ(EncodeWireStep(StepRecord{5, 1, 0, 10, 20, 3}).instruction, 21);
  EXPECT_EQ(DecodeWireStep({21, 0, 10, 20, 3}), (StepRecord{5, 1, 0, 10, 20, 3}));
  EXPECT_EQ(DecodeWireStep({17, 1, 2, 3, 0}), (StepRecord{17, 0, 1, 2, 3, 0}));
  EXPECT_EQ(EncodeWireStep(StepRecord{17, 0, 1, 2, 3, 0}), (WireStep{17, 1, 2, 3, 0}));
  EXPECT_EQ(EncodeWireStep(StepRecord{40, 1, 4, 5, 6, 1}), (WireStep{56, 4, 5, 6, 1}));
  EXPECT_EQ(DecodeWireStep({56, 4, 5, 6, 1}), (StepRecord{40, 1, 4, 5, 6, 1}));
}

TEST(AddressConfigBytesTest, DeviceDistanceAndInitAspect_EncodedInTaggedBytes) {
  EXPECT_EQ(DeviceDistance(-3), 29);
  EXPECT_EQ(DeviceDistance(1), 1);
  EXPECT_EQ(DeviceDistance(0), 0);
  EXPECT_EQ(DeviceDistance(-31), 1);
  PinRecord p;
  EXPECT_EQ(InitAspectNibble(p), 15);
  p.InitialAspect = 12;
  EXPECT_EQ(InitAspectNibble(p), 11);
  EXPECT_EQ(DecodeInitAspectByte(0x7F), 0);
  EXPECT_EQ(DecodeInitAspectByte(0x73), 4);
  EXPECT_EQ(DecodeInitAspectByte(0x63), 0);
  p.DccCount = 2;
  p.XDccCount = 1;
  EXPECT_EQ(DccNibble(p), 10);
}

TEST_F(PinProgramCommandsTest, ReadPinProgram_NoAspects_Sends114And116And118Only) {
  link_.BidirectionalComm = false;
  replies_[{114, 7}] = Message{114, 7, 1};
  EXPECT_TRUE(ReadPinProgram(session_, 7));
  EXPECT_EQ(board_.messages, (Messages{{114, 7}, {116, 7}, {118, 7}}));
  EXPECT_TRUE(board_.reply_wanted[0]);
  EXPECT_EQ(Pin(7).AspectMode, 1);
}

TEST_F(PinProgramCommandsTest, ReadPinProgram_FourAspectMode_ReadsNineStepsEachAspectMajor) {
  Pin(2).Aspects[4].Steps[0].Instruction = 33;  // outside the rectangle: kept
  replies_[{114, 2}] = Message{114, 2, 3};
  replies_[{115, 2, 1, 8}] = Message{115, 2, 1, 8, 20, 3, 72, 1, 7};
  replies_[{115, 2, 2, 0}] = Message{115, 2, 2, 0, 21, 0, 10, 20, 3};
  EXPECT_TRUE(ReadPinProgram(session_, 2));
  ASSERT_EQ(board_.messages.size(), 1u + 36 + 2);
  EXPECT_EQ(board_.messages[1], (Message{115, 2, 0, 0}));
  EXPECT_EQ(board_.messages[2], (Message{115, 2, 0, 1}));
  EXPECT_EQ(board_.messages[10], (Message{115, 2, 1, 0}));
  EXPECT_EQ(board_.messages[36], (Message{115, 2, 3, 8}));
  EXPECT_EQ(Pin(2).Aspects[1].Steps[8], (StepRecord{20, 0, 0, 200, 129, 7}));
  EXPECT_EQ(Pin(2).Aspects[2].Steps[0], (StepRecord{5, 1, 0, 10, 20, 3}));
  EXPECT_EQ(Pin(2).Aspects[4].Steps[0].Instruction, 33);
}

TEST_F(PinProgramCommandsTest, ReadPinProgram_TwelveAspectMode_ReadsThreeStepsEach) {
  replies_[{114, 0}] = Message{114, 0, 2};
  EXPECT_TRUE(ReadPinProgram(session_, 0));
  ASSERT_EQ(board_.messages.size(), 1u + 36 + 2);
  EXPECT_EQ(board_.messages[3], (Message{115, 0, 0, 2}));
  EXPECT_EQ(board_.messages[4], (Message{115, 0, 1, 0}));
  EXPECT_EQ(board_.messages[36], (Message{115, 0, 11, 2}));
}

TEST_F(PinProgramCommandsTest, ReadPinProgram_InitialAspect_OnlyFromAValidTaggedByte) {
  struct Case {
    std::optional<Message> reply;
    int expected;
  };
  for (const Case& c :
       {Case{Message{116, 3, 0x73, 15, 31, 47, 63}, 4},
        Case{Message{116, 3, 0x7F, 15, 31, 47, 63}, 0},
        Case{Message{116, 3, 0x63, 15, 31, 47, 63}, 0}, Case{Message{116, 3, 0x73}, 0},
        Case{Message{116, 4, 0x73, 1, 2, 3, 4}, 0}}) {
    Pin(3).InitialAspect = 9;
    replies_[{116, 3}] = c.reply;
    EXPECT_TRUE(ReadPinProgram(session_, 3));
    EXPECT_EQ(Pin(3).InitialAspect, c.expected);
  }
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(PinProgramCommandsTest, ReadPinProgram_AddressBytesInAnyOrder_RecomputesStarts) {
  replies_[{118, 5}] = Message{118, 5, 0x5D, 0x13, 0x0A};
  EXPECT_TRUE(ReadPinProgram(session_, 5));
  EXPECT_EQ(Pin(5).DeviceRef, -3);
  EXPECT_EQ(Pin(5).KoraCount, 3);
  EXPECT_EQ(Pin(5).DccCount, 2);
  EXPECT_EQ(Pin(5).XDccCount, 1);
  EXPECT_EQ(config_.Starts.KoraStart[6], 8);
  EXPECT_EQ(config_.Starts.DccStart[6], 7);
  EXPECT_EQ(config_.Starts.KoraTotal, 34);

  replies_[{118, 30}] = Message{118, 30, 0x41, 0x10, 0x00};
  EXPECT_TRUE(ReadPinProgram(session_, 30));
  EXPECT_EQ(Pin(30).DeviceRef, 1);
  EXPECT_EQ(Pin(30).KoraCount, 0);
  EXPECT_EQ(Pin(30).DccCount, 0);
  EXPECT_EQ(Pin(30).XDccCount, 0);
}

TEST_F(PinProgramCommandsTest, ReadPinProgram_InvalidAddressByte_KeepsTheBytesBeforeIt) {
  replies_[{118, 5}] = Message{118, 5, 0x13, 0x20, 0x0A};
  EXPECT_FALSE(ReadPinProgram(session_, 5));
  EXPECT_EQ(dialogs_.Texts(),
            std::vector<std::string>{"Read Pin Address Configuration: Invalid Response"});
  EXPECT_EQ(Pin(5).KoraCount, 3);
  EXPECT_EQ(Pin(5).DccCount, 1) << "the byte after the bad one is not decoded";
  EXPECT_EQ(config_.Starts.KoraTotal, 34);
}

TEST_F(PinProgramCommandsTest, ReadPinProgram_BadReplies_SayAndFail) {
  struct Case {
    Message request;
    Message reply;
    std::string text;
  };
  const Case cases[] = {
      {{114, 5}, {114, 6, 3}, kNoValidResponse},
      {{114, 5}, {114, 5, 3, 0}, kNoValidResponse},
      {{115, 5, 0, 4}, {115, 5, 0, 5, 1, 2, 3, 4, 5}, kNoValidResponse},
      {{115, 5, 0, 4}, {115, 5, 1, 4, 1, 2, 3, 4, 5}, kNoValidResponse},
      {{115, 5, 0, 4}, {115, 5, 0, 4, 1, 2, 3, 4}, kNoValidResponse},
      {{118, 5}, {118, 5, 9, 17}, "Read Pin Address Configuration: Invalid Response"},
      {{118, 5}, {117, 5, 9, 17, 64}, "Read Pin Address Configuration: Invalid Response"},
  };
  for (const Case& c : cases) {
    replies_.clear();
    replies_[{114, 5}] = Message{114, 5, 3};
    replies_[c.request] = c.reply;
    dialogs_.Clear();
    board_.messages.clear();
    EXPECT_FALSE(ReadPinProgram(session_, 5));
    EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{c.text});
    EXPECT_EQ(board_.messages.back(), c.request) << "nothing is sent after the bad reply";
  }
}

TEST_F(PinProgramCommandsTest, ReadPinProgram_NoReply_FailsAtOnceWithoutAMessageOfItsOwn) {
  replies_[{114, 5}] = Message{114, 5, 2};
  replies_[{115, 5, 1, 1}] = std::nullopt;
  EXPECT_FALSE(ReadPinProgram(session_, 5));
  EXPECT_EQ(board_.messages.back(), (Message{115, 5, 1, 1}));
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{
                                  "No response received, resetting bidirectional communication"});
  for (Message request : {Message{116, 5}, Message{118, 5}}) {
    replies_.clear();
    replies_[request] = std::nullopt;
    board_.messages.clear();
    EXPECT_FALSE(ReadPinProgram(session_, 5));
    EXPECT_EQ(board_.messages.back(), request);
  }
}

TEST_F(PinProgramCommandsTest, ReadPinComplete_ProgramThenFlashConfig_ConfigResultIgnored) {
  replies_[{113, 4}] = Message{113, 9, 0};
  EXPECT_TRUE(ReadPinComplete(session_, 4));
  EXPECT_EQ(Headers(), (std::vector<int>{114, 116, 118, 113}));
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{kNoValidResponse});

  board_.messages.clear();
  replies_[{118, 4}] = Message{118, 4};
  EXPECT_FALSE(ReadPinComplete(session_, 4));
  EXPECT_EQ(Headers(), (std::vector<int>{114, 116, 118}));
}

TEST_F(PinProgramCommandsTest, ReadDeviceFromBoard_ReadsEveryPinOfTheHeadInOrder) {
  // Pins 5, 6, 7 form a device with head 5; pin 31 and 0 belong to head 31.
  replies_[{118, 6}] = Message{118, 6, 9, 0x5F, 17};
  replies_[{118, 7}] = Message{118, 7, 0x5E, 9, 17};
  replies_[{118, 0}] = Message{118, 0, 9, 17, 0x5F};
  config_.NumberBase = 1;
  EXPECT_TRUE(ReadDeviceFromBoard(session_, 6));
  std::vector<int> address_reads;
  std::vector<int> config_reads;
  for (const Message& m : board_.messages) {
    if (m[0] == 118) address_reads.push_back(m[1]);
    if (m[0] == 113) config_reads.push_back(m[1]);
  }
  EXPECT_EQ(config_reads, (std::vector<int>{5, 6, 7}));
  // The pin asked first, then every pin, and once more for each member that is read.
  std::vector<int> expected = {6};
  for (int p = 0; p < 32; ++p) {
    expected.push_back(p);
    if (p >= 5 && p <= 7) expected.push_back(p);
  }
  EXPECT_EQ(address_reads, expected);
  EXPECT_EQ(Pin(6).DeviceRef, -1);
  EXPECT_EQ(Pin(7).DeviceRef, -2);
  EXPECT_EQ(Pin(0).DeviceRef, 0) << "pin 0 belongs to another device and is not read";
}

TEST_F(PinProgramCommandsTest, ReadDeviceFromBoard_WrappedDevice_FoundFromItsLastPin) {
  replies_[{118, 0}] = Message{118, 0, 9, 17, 0x5F};
  EXPECT_TRUE(ReadDeviceFromBoard(session_, 0));
  std::vector<int> config_reads;
  for (const Message& m : board_.messages) {
    if (m[0] == 113) config_reads.push_back(m[1]);
  }
  EXPECT_EQ(config_reads, (std::vector<int>{0, 31}));
  EXPECT_EQ(Pin(0).DeviceRef, 31);
}

TEST_F(PinProgramCommandsTest, ReadDeviceFromBoard_NoDeviceByte_NamesThePinAsShown) {
  replies_[{118, 5}] = Message{118, 5, 9, 17, 9};
  config_.NumberBase = 1;
  EXPECT_FALSE(ReadDeviceFromBoard(session_, 5));
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"Cannot read DevicePointer from Pin 6"});
  EXPECT_EQ(board_.messages.size(), 1u);
}

TEST_F(PinProgramCommandsTest, ReadDeviceFromBoard_BadReplies_Stop) {
  replies_[{118, 12}] = Message{118, 13, 9, 17, 64};
  EXPECT_FALSE(ReadDeviceFromBoard(session_, 3));
  EXPECT_EQ(dialogs_.Texts(),
            std::vector<std::string>{"Read Pin Address Configuration: Invalid Response"});
  EXPECT_EQ(board_.messages.back(), (Message{118, 12}));

  replies_[{118, 12}] = std::nullopt;
  board_.messages.clear();
  EXPECT_FALSE(ReadDeviceFromBoard(session_, 3));
  EXPECT_EQ(board_.messages.back(), (Message{118, 12}));
}

TEST_F(PinProgramCommandsTest, WritePinProgram_NoAspects_Sends98And100And102Only) {
  Pin(5).AspectMode = 0;
  Pin(5).InitialAspect = 0;
  Pin(5).DeviceRef = -3;
  Pin(5).DccCount = 2;
  Pin(5).XDccCount = 1;
  Pin(5).KoraCount = 3;
  Pin(30).AspectMode = 1;
  Pin(30).InitialAspect = 3;
  Pin(30).DeviceRef = 1;
  EXPECT_TRUE(WritePinProgram(session_, 5));
  EXPECT_TRUE(WritePinProgram(session_, 30));
  EXPECT_EQ(board_.messages, (Messages{{98, 5, 0},
                                       {100, 5, 0x7F},
                                       {102, 5, 10, 0x13, 0x5D},
                                       {98, 30, 1},
                                       {100, 30, 0x72},
                                       {102, 30, 9, 0x11, 0x41}}));
}

TEST_F(PinProgramCommandsTest, WritePinProgram_FourAspects_AllStepsEncoded) {
  PinRecord& p = Pin(9);
  p.AspectMode = 3;
  p.Aspects[0].Steps[0] = {20, 0, 9, 200, 129, 7};
  p.Aspects[3].Steps[8] = {5, 1, 0, 10, 20, 3};
  p.Aspects[4].Steps[0] = {17, 0, 1, 1, 1, 1};  // outside the rectangle: not sent
  EXPECT_TRUE(WritePinProgram(session_, 9));
  ASSERT_EQ(board_.messages.size(), 3u + 36);
  EXPECT_EQ(board_.messages[3], (Message{99, 9, 0, 0, 20, 3, 72, 1, 7}));
  EXPECT_EQ(board_.messages[4], (Message{99, 9, 0, 1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(board_.messages[38], (Message{99, 9, 3, 8, 21, 0, 10, 20, 3}));
}

TEST_F(PinProgramCommandsTest, WriteAspectSteps_ByMode_AndFalseWithoutAspects) {
  Pin(1).AspectMode = 2;
  Pin(1).Aspects[11].Steps[2] = {40, 1, 4, 5, 6, 1};
  EXPECT_TRUE(WriteAspectSteps(session_, 1, 11));
  EXPECT_EQ(board_.messages, (Messages{{99, 1, 11, 0, 0, 0, 0, 0, 0},
                                       {99, 1, 11, 1, 0, 0, 0, 0, 0},
                                       {99, 1, 11, 2, 56, 4, 5, 6, 1}}));
  board_.messages.clear();
  for (int mode : {0, 1, 4}) {
    Pin(1).AspectMode = static_cast<uint8_t>(mode);
    EXPECT_FALSE(WriteAspectSteps(session_, 1, 0));
  }
  EXPECT_TRUE(board_.messages.empty());
}

TEST_F(PinProgramCommandsTest, WriteSingle_SendsTheCurrentAspectOfTheCurrentPin) {
  config_.CurrentPin = 4;
  config_.CurrentAspect = 2;
  Pin(4).AspectMode = 3;
  EXPECT_TRUE(WriteSingle(session_));
  ASSERT_EQ(board_.messages.size(), 9u);
  for (int s = 0; s < 9; ++s) EXPECT_EQ(board_.messages[s], (Message{99, 4, 2, s, 0, 0, 0, 0, 0}));
}

TEST_F(PinProgramCommandsTest, WritePinComplete_ProgramThenFlashConfig) {
  Pin(8).PinConfig[0] = kPwm;
  Pin(8).PinConfig[1] = 17;
  EXPECT_TRUE(WritePinComplete(session_, 8));
  EXPECT_EQ(Headers(), (std::vector<int>{98, 100, 102, 97}));
  EXPECT_EQ(board_.messages.back(), (Message{97, 8, 2, 17, 0, 0, 0, 0}));
}

TEST_F(PinProgramCommandsTest, Writes_PortClosed_StopAtTheFirstMessage) {
  link_.ClosePort();
  Pin(8).AspectMode = 3;
  config_.CurrentPin = 8;
  EXPECT_FALSE(WritePinComplete(session_, 8));
  EXPECT_FALSE(WriteSingle(session_));
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>(2, kSelectCommunicationsPort));
}

TEST_F(PinProgramCommandsTest, Writes_Unidirectional_Pause100msAfterEveryMessage) {
  link_.BidirectionalComm = false;
  Pin(3).AspectMode = 2;
  const auto start = clock_.Now();
  EXPECT_TRUE(WritePinProgram(session_, 3));
  EXPECT_EQ(board_.messages.size(), 39u);
  EXPECT_EQ(clock_.Now() - start, milliseconds(100) * 39);

  // WritePinComplete adds the configuration write without a pause after it.
  const auto before_complete = clock_.Now();
  Pin(3).AspectMode = 0;
  EXPECT_TRUE(WritePinComplete(session_, 3));
  EXPECT_EQ(clock_.Now() - before_complete, milliseconds(300));
}

TEST_F(PinProgramCommandsTest, Writes_Bidirectional_NoPause) {
  Pin(3).AspectMode = 3;
  const auto start = clock_.Now();
  EXPECT_TRUE(WritePinComplete(session_, 3));
  EXPECT_EQ(board_.messages.size(), 3u + 36 + 1);
  EXPECT_EQ(clock_.Now(), start);
  EXPECT_TRUE(dialogs_.messages.empty());
}

}  // namespace
}  // namespace vela
