#include "operations/general_commands.h"

#include <gtest/gtest.h>

#include "operations/session_fixture.h"

namespace vela {
namespace {

using testing::Message;

class GeneralCommandsTest : public testing::ScriptedSessionTest {
 protected:
  // Answers each request from the list, in order; none left means no reply.
  void AnswerInOrder(std::vector<std::optional<Message>> replies) {
    board_.answer = [replies, next = size_t{0}](const Message&) mutable {
      return next < replies.size() ? replies[next++] : std::nullopt;
    };
  }
  const std::vector<std::string> NoMessages{};
  const std::string kNoResponse = "No response received, resetting bidirectional communication";
};

TEST_F(GeneralCommandsTest, GetVersion_ValidReply_JoinsTheFourNumbers) {
  link_.BidirectionalComm = false;
  AnswerAlways({112, 0, 3, 2, 2, 0});
  EXPECT_TRUE(GetVersion(session_));
  EXPECT_EQ(board_.messages, (std::vector<Message>{{112, 0}}));
  EXPECT_TRUE(board_.reply_wanted[0]) << "a read switches bidirectional communication on first";
  EXPECT_EQ(config_.General.VersionText, "3.2.2.0");
  EXPECT_EQ(dialogs_.Texts(), NoMessages);
  EXPECT_EQ(view_.show_general, 1);
}

TEST_F(GeneralCommandsTest, GetVersion_BadReplies_SayWhyAndShowUnknown) {
  struct Case {
    Message reply;
    std::string text;
  };
  for (const Case& c : {Case{{112, 0, 3, 2, 2}, "GetVersion: No valid response, size <> 6"},
                        Case{{112, 1, 3, 2, 2, 0}, "GetVersion: No valid response"}}) {
    config_.General.VersionText = "1.0.0.0";
    dialogs_.Clear();
    AnswerAlways(c.reply);
    EXPECT_FALSE(GetVersion(session_));
    EXPECT_EQ(config_.General.VersionText, "Unknown");
    EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{c.text});
  }
}

TEST_F(GeneralCommandsTest, GetVersion_NoReply_OnlyTheLinkSpeaks) {
  config_.General.VersionText = "1.0.0.0";
  EXPECT_FALSE(GetVersion(session_));
  EXPECT_EQ(config_.General.VersionText, "Unknown");
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{kNoResponse});
  EXPECT_FALSE(link_.BidirectionalComm);
}

TEST_F(GeneralCommandsTest, ReadIdString_StoresTheCharacters_BadRepliesLeaveIt) {
  AnswerAlways({112, 10, 'V', 'e', 'l', 'a', ' ', '1'});
  EXPECT_TRUE(ReadIdString(session_));
  EXPECT_EQ(board_.messages, (std::vector<Message>{{112, 10}}));
  EXPECT_EQ(config_.General.IdString, "Vela 1");

  AnswerAlways({112, 10});
  EXPECT_TRUE(ReadIdString(session_));
  EXPECT_EQ(config_.General.IdString, "");

  config_.General.IdString = "kept";
  for (const Message& reply : {Message{112}, Message{112, 11, 'x'}, Message{113, 10, 'x'}}) {
    dialogs_.Clear();
    AnswerAlways(reply);
    EXPECT_FALSE(ReadIdString(session_));
    EXPECT_EQ(config_.General.IdString, "kept");
    EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"No valid response"});
  }
}

TEST_F(GeneralCommandsTest, WriteIdString_FifteenCharacters_CutToTwelveAndSentWithSize14) {
  config_.General.IdString = "ABCDEFGHIJKLMNO";
  EXPECT_TRUE(WriteIdString(session_));
  EXPECT_EQ(config_.General.IdString, "ABCDEFGHIJKL");
  ASSERT_EQ(board_.messages.size(), 1u);
  EXPECT_EQ(board_.messages[0],
            (Message{96, 10, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L'}));
  EXPECT_EQ(view_.show_general, 1) << "the cut text is shown";
}

TEST_F(GeneralCommandsTest, WriteIdString_EmptyText_SendsSizeTwo) {
  EXPECT_TRUE(WriteIdString(session_));
  EXPECT_EQ(board_.messages, (std::vector<Message>{{96, 10}}));
}

TEST_F(GeneralCommandsTest, WriteIdString_NonAsciiCharacter_RefusedBeforeSending) {
  config_.General.IdString = "Wei\xC3\x9F";  // "Weiß"
  EXPECT_FALSE(WriteIdString(session_));
  EXPECT_TRUE(port_.written.empty());
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text,
            "ID String: character 4 is not 7-bit ASCII text and cannot be sent to the board; "
            "nothing was sent");
  EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::kError);
  EXPECT_EQ(config_.General.IdString, "Wei\xC3\x9F");
}

TEST_F(GeneralCommandsTest, WriteIdString_CutCountsCharactersNotBytes) {
  // Twelve ASCII characters and a thirteenth that is not: the cut drops it, the rest travels.
  config_.General.IdString = "ABCDEFGHIJKL\xC3\xA9";
  EXPECT_TRUE(WriteIdString(session_));
  EXPECT_EQ(config_.General.IdString, "ABCDEFGHIJKL");
  EXPECT_EQ(board_.messages.size(), 1u);

  std::string thirteen;
  for (int i = 0; i < 13; ++i) thirteen += "\xC3\xA9";
  EXPECT_EQ(CutIdString(thirteen), thirteen.substr(0, 24));
  EXPECT_EQ(CutIdString("short"), "short");
}

TEST_F(GeneralCommandsTest, ReadDccSettings_AppliesOptionsThenValidatesTheAddresses) {
  AnswerInOrder({Message{112, 5, 0x0B}, Message{112, 4, 62, 7}, Message{112, 12, 63, 31}});
  EXPECT_TRUE(ReadDccSettings(session_));
  EXPECT_EQ(board_.messages, (std::vector<Message>{{112, 5}, {112, 4}, {112, 12}}));
  const GeneralSettings& g = config_.General;
  EXPECT_EQ(g.PacketRetention, 3);
  EXPECT_FALSE(g.BasicPacketStateInvert);
  EXPECT_TRUE(g.AllowAddress0);
  EXPECT_EQ(g.DccAddress, 510);
  EXPECT_EQ(g.XDccAddress, 2046) << "2047 is clamped as the box would";
  EXPECT_EQ(dialogs_.Texts(), NoMessages);
}

TEST_F(GeneralCommandsTest, ReadDccSettings_AddressZero_NeedsAllowAddress0) {
  AnswerInOrder({Message{112, 5, 0x06}, Message{112, 4, 0, 0}, Message{112, 12, 0, 0}});
  EXPECT_TRUE(ReadDccSettings(session_));
  EXPECT_TRUE(config_.General.BasicPacketStateInvert);
  EXPECT_EQ(config_.General.PacketRetention, 2);
  EXPECT_EQ(config_.General.DccAddress, 1);
  EXPECT_EQ(config_.General.XDccAddress, 1);

  AnswerInOrder({Message{112, 5, 0x08}, Message{112, 4, 0, 0}, Message{112, 12, 0, 0}});
  EXPECT_TRUE(ReadDccSettings(session_));
  EXPECT_EQ(config_.General.DccAddress, 0);
  EXPECT_EQ(config_.General.XDccAddress, 0);
}

TEST_F(GeneralCommandsTest, ReadDccSettings_ContentErrors_SaidButTheChainGoesOn) {
  config_.General.DccAddress = 17;
  config_.General.XDccAddress = 18;
  AnswerInOrder({Message{112, 5, 1, 1}, Message{112, 4, 5}, Message{112, 12, 1}});
  EXPECT_TRUE(ReadDccSettings(session_));
  EXPECT_EQ(board_.messages.size(), 3u);
  EXPECT_EQ(dialogs_.Texts(),
            (std::vector<std::string>{"Received Address, cannot read DCC options",
                                      "Get DCC Address: No valid response, size <> 4",
                                      "No valid response"}));
  EXPECT_EQ(config_.General.PacketRetention, 2);
  EXPECT_EQ(config_.General.DccAddress, 17);
  EXPECT_EQ(config_.General.XDccAddress, 18);

  dialogs_.Clear();
  AnswerInOrder({Message{112, 4, 1}, Message{112, 5, 1, 1}, Message{112, 4, 1, 0}});
  EXPECT_TRUE(ReadDccSettings(session_));
  EXPECT_EQ(dialogs_.Texts(),
            (std::vector<std::string>{"Received Address: No valid response",
                                      "Get DCC Address: No valid response", "No valid response"}));
}

TEST_F(GeneralCommandsTest, ReadDccSettings_NoReply_EndsTheChain) {
  AnswerInOrder({Message{112, 5, 2}});
  EXPECT_FALSE(ReadDccSettings(session_));
  EXPECT_EQ(board_.messages, (std::vector<Message>{{112, 5}, {112, 4}}));
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{kNoResponse});
}

TEST_F(GeneralCommandsTest, WriteDccSettings_Address510_SentAs62And7) {
  GeneralSettings& g = config_.General;
  g.DccAddress = 510;
  g.XDccAddress = 2046;
  g.PacketRetention = 1;
  g.BasicPacketStateInvert = true;
  link_.BidirectionalComm = false;
  EXPECT_TRUE(WriteDccSettings(session_));
  EXPECT_EQ(board_.messages, (std::vector<Message>{{96, 5, 5}, {96, 4, 62, 7}, {96, 12, 62, 31}}));
}

TEST_F(GeneralCommandsTest, Writes_PortClosed_StopAtTheFirstFailure) {
  link_.ClosePort();
  EXPECT_FALSE(WriteDccSettings(session_));
  EXPECT_FALSE(WriteLedConfig(session_));
  EXPECT_FALSE(WriteAddressSettings(session_));
  config_.General.ForceXA = true;
  EXPECT_FALSE(WriteAddressSettings(session_));
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>(4, kSelectCommunicationsPort));
}

TEST_F(GeneralCommandsTest, ReadAddressSettings_SerialAddressingReplies) {
  struct Case {
    Message reply;
    bool kr_addr;
    bool native;
    int flex;
  };
  for (const Case& c :
       {Case{{112, 8, 0, 64}, false, true, 0}, Case{{112, 8, 0, 40}, false, false, 0},
        Case{{112, 8, 1, 40}, true, false, 40}}) {
    config_.General.KoraFlexAddress = 99;
    AnswerInOrder({c.reply, Message{112, 2, 5}, Message{112, 3, 1, 2, 4, 8}});
    EXPECT_TRUE(ReadAddressSettings(session_));
    EXPECT_EQ(config_.General.KRaddr, c.kr_addr);
    EXPECT_EQ(config_.General.VLNative, c.native);
    EXPECT_EQ(config_.General.KoraFlexAddress, c.flex);
  }
  EXPECT_EQ(std::vector<Message>(board_.messages.begin(), board_.messages.begin() + 3),
            (std::vector<Message>{{112, 8}, {112, 2}, {112, 3}}));
  EXPECT_FALSE(config_.General.ForceXA);
  EXPECT_EQ(config_.General.GenXAddress, 5);
  std::array<bool, 16> expected{};
  expected[0] = expected[5] = expected[10] = expected[15] = true;
  EXPECT_EQ(config_.General.XGM, expected);
  EXPECT_EQ(dialogs_.Texts(), NoMessages);
}

TEST_F(GeneralCommandsTest, ReadAddressSettings_Enforced127_ChecksTheBoxAndZeroesTheAddress) {
  config_.General.GenXAddress = 9;
  AnswerInOrder({Message{112, 8, 0, 0}, Message{112, 2, 127}, Message{112, 3, 0, 0, 0, 0}});
  EXPECT_TRUE(ReadAddressSettings(session_));
  EXPECT_TRUE(config_.General.ForceXA);
  EXPECT_EQ(config_.General.GenXAddress, 0);
}

TEST_F(GeneralCommandsTest, ReadAddressSettings_ContentErrors_NameSizeAndEcho) {
  config_.General.GenXAddress = 9;
  AnswerInOrder({Message{112, 8, 1}, Message{112, 9, 5}, Message{112, 3, 1, 2, 4}});
  EXPECT_TRUE(ReadAddressSettings(session_));
  EXPECT_EQ(dialogs_.Texts(),
            (std::vector<std::string>{"No valid response, size = 3 expected = 4",
                                      "No valid response, msg = 112,9 expected = 112,2",
                                      "No valid response, size = 5 expected = 6"}));
  EXPECT_EQ(config_.General.GenXAddress, 9);

  dialogs_.Clear();
  AnswerInOrder({Message{112, 2, 1, 1}, Message{112, 2}, Message{113, 3, 1, 2, 4, 8}});
  EXPECT_TRUE(ReadAddressSettings(session_));
  EXPECT_EQ(dialogs_.Texts(),
            (std::vector<std::string>{"No valid response, msg = 112,2 expected = 112,8",
                                      "No valid response, size = 2 expected = 3",
                                      "No valid response, msg = 113,3 expected = 112,3"}));
  EXPECT_EQ(config_.General.XGM, (std::array<bool, 16>{}));
}

TEST_F(GeneralCommandsTest, ReadAddressSettings_NoReply_StopsAndFails) {
  AnswerInOrder({Message{112, 8, 0, 0}});
  EXPECT_FALSE(ReadAddressSettings(session_));
  EXPECT_EQ(board_.messages, (std::vector<Message>{{112, 8}, {112, 2}}));
}

TEST_F(GeneralCommandsTest, WriteAddressSettings_Enforced_SendsFixedBytesWhateverTheBoxes) {
  GeneralSettings& g = config_.General;
  g.ForceXA = true;
  g.KRaddr = true;
  g.KoraFlexAddress = 40;
  g.GenXAddress = 17;
  g.XGM.fill(true);
  EXPECT_TRUE(WriteAddressSettings(session_));
  EXPECT_EQ(board_.messages,
            (std::vector<Message>{{96, 8, 0, 0}, {96, 3, 0, 0, 0, 0}, {96, 2, 127}}));
}

TEST_F(GeneralCommandsTest, WriteAddressSettings_NotEnforced_SendsTheBoxes) {
  GeneralSettings& g = config_.General;
  g.KRaddr = true;
  g.KoraFlexAddress = 40;
  g.GenXAddress = 17;
  g.XGM[1] = g.XGM[4] = g.XGM[15] = true;
  EXPECT_TRUE(WriteAddressSettings(session_));
  g.KRaddr = false;
  g.VLNative = true;
  EXPECT_TRUE(WriteAddressSettings(session_));
  EXPECT_EQ(board_.messages, (std::vector<Message>{{96, 8, 1, 40},
                                                   {96, 3, 2, 1, 0, 8},
                                                   {96, 2, 17},
                                                   {96, 8, 0, 64},
                                                   {96, 3, 2, 1, 0, 8},
                                                   {96, 2, 17}}));
}

TEST_F(GeneralCommandsTest, ReadLedConfig_ZeroGraysBoxSeven_OtherBitsCheckBoxes) {
  config_.General.LedGreen.fill(CheckState::kChecked);
  AnswerInOrder({Message{112, 6, 0}, Message{112, 7, 0x45}});
  EXPECT_TRUE(ReadLedConfig(session_));
  EXPECT_EQ(board_.messages, (std::vector<Message>{{112, 6}, {112, 7}}));
  using enum CheckState;
  EXPECT_EQ(config_.General.LedGreen,
            (std::array<CheckState, 8>{kUnchecked, kUnchecked, kUnchecked, kUnchecked, kUnchecked,
                                       kUnchecked, kUnchecked, kGrayed}));
  EXPECT_EQ(config_.General.LedOrange,
            (std::array<CheckState, 8>{kChecked, kUnchecked, kChecked, kUnchecked, kUnchecked,
                                       kUnchecked, kChecked, kUnchecked}));
  board_.messages.clear();
  EXPECT_TRUE(WriteLedConfig(session_));
  EXPECT_EQ(board_.messages, (std::vector<Message>{{96, 6, 0}, {96, 7, 0x45}}));
}

TEST_F(GeneralCommandsTest, ReadLedConfig_BadGreenReply_SaidAndOrangeStillRead) {
  AnswerInOrder({Message{112, 7, 1}, Message{112, 7, 1}});
  EXPECT_TRUE(ReadLedConfig(session_));
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"No valid response"});
  EXPECT_EQ(config_.General.LedGreen[7], CheckState::kGrayed);
  EXPECT_EQ(config_.General.LedOrange[0], CheckState::kChecked);

  AnswerInOrder({Message{112, 6, 1}});
  EXPECT_FALSE(ReadLedConfig(session_)) << "the orange read got no reply";
}

TEST_F(GeneralCommandsTest, ReadHardwareConfig_UnknownByte_StopsWithLaterGroupsUnchanged) {
  GeneralSettings& g = config_.General;
  g.HwcSink.fill(true);
  g.HwcSource.fill(true);
  AnswerAlways({112, 1, 1, 2, 5, 0});
  EXPECT_FALSE(ReadHardwareConfig(session_));
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"No valid response byte"});
  EXPECT_EQ(g.HwcSink, (std::array<bool, 4>{true, false, true, true}));
  EXPECT_EQ(g.HwcSource, (std::array<bool, 4>{false, true, true, true}));
}

TEST_F(GeneralCommandsTest, ReadHardwareConfig_SizeOrTypeWrong_SaidButSucceeds) {
  AnswerAlways({112, 1, 1, 2, 3});
  EXPECT_TRUE(ReadHardwareConfig(session_));
  AnswerAlways({112, 2, 1, 2, 3, 0});
  EXPECT_TRUE(ReadHardwareConfig(session_));
  EXPECT_EQ(dialogs_.Texts(),
            (std::vector<std::string>{"No valid response size", "No valid response type"}));
  EXPECT_EQ(config_.General.HwcSink, (std::array<bool, 4>{}));

  board_.answer = nullptr;
  EXPECT_FALSE(ReadHardwareConfig(session_));
}

TEST_F(GeneralCommandsTest, HardwareConfig_ValidReplyAndWrite) {
  AnswerAlways({112, 1, 3, 0, 1, 2});
  EXPECT_TRUE(ReadHardwareConfig(session_));
  EXPECT_EQ(config_.General.HwcSink, (std::array<bool, 4>{true, false, true, false}));
  EXPECT_EQ(config_.General.HwcSource, (std::array<bool, 4>{true, false, false, true}));
  EXPECT_TRUE(WriteHardwareConfig(session_));
  EXPECT_EQ(board_.messages, (std::vector<Message>{{112, 1}, {96, 1, 3, 0, 1, 2}}));
}

TEST_F(GeneralCommandsTest, ReadSerialPortConfig_DecodesTheLineByte) {
  GeneralSettings& g = config_.General;
  AnswerAlways({112, 13, 1, 0x3A});  // baud index 2, 8 data bits, odd parity, 1 stop bit
  EXPECT_TRUE(ReadSerialPortConfig(session_));
  EXPECT_TRUE(g.SerialEnable);
  EXPECT_EQ(g.BaudIndex, 2);
  EXPECT_EQ(g.DataBitsIndex, 1);
  EXPECT_EQ(g.ParityIndex, 3);
  EXPECT_EQ(g.StopIndex, 0);

  // Parity field 1 has no option: the parity stays.
  AnswerAlways({112, 13, 0, 0x57});
  EXPECT_TRUE(ReadSerialPortConfig(session_));
  EXPECT_FALSE(g.SerialEnable);
  EXPECT_EQ(g.BaudIndex, 7);
  EXPECT_EQ(g.DataBitsIndex, 0);
  EXPECT_EQ(g.ParityIndex, 3);
  EXPECT_EQ(g.StopIndex, 1);

  EXPECT_TRUE(WriteSerialPortConfig(session_));
  EXPECT_EQ(board_.messages.back(), (Message{96, 13, 0, 0x77}));
}

TEST_F(GeneralCommandsTest, ReadSerialPortConfig_ContentErrors_SaidButSucceeds) {
  GeneralSettings before = config_.General;
  AnswerAlways({112, 13, 1});
  EXPECT_TRUE(ReadSerialPortConfig(session_));
  AnswerAlways({112, 12, 1, 7});
  EXPECT_TRUE(ReadSerialPortConfig(session_));
  EXPECT_EQ(dialogs_.Texts(),
            (std::vector<std::string>{"No valid response, size = 3 expected = 4",
                                      "No valid response, msg = 112,12 expected = 112,13"}));
  EXPECT_EQ(config_.General, before);
  board_.answer = nullptr;
  EXPECT_FALSE(ReadSerialPortConfig(session_));
}

TEST_F(GeneralCommandsTest, EraseConfiguration_OkThenCancel_SendsTheEraseWithoutReply) {
  dialogs_.answers = {Answer::kOk, Answer::kCancel};
  EXPECT_TRUE(EraseConfiguration(session_));
  EXPECT_EQ(board_.messages, (std::vector<Message>{{96, 0, 23, 101, 9, 66, 115, 30, 88, 51}}));
  EXPECT_FALSE(board_.reply_wanted[0]);
  EXPECT_TRUE(link_.BidirectionalComm) << "restored after the erase";
  ASSERT_EQ(dialogs_.questions.size(), 2u);
  EXPECT_EQ(dialogs_.questions[0].text,
            "WARNING !!\r\nThis operation will erase the Vela Configuration Memory\r\nContinue?");
  EXPECT_EQ(dialogs_.questions[1].text,
            "WARNING !!\r\nThis operation will erase the Vela Configuration Memory\r\n"
            "The green LED on the Vela will be ON during this process\r\n"
            "The erase process may take up to 45 seconds, please be patient\r\n\r\n"
            "Do you want to cancel this operation?");
  EXPECT_EQ(dialogs_.questions[0].icon, MessageIcon::kWarning);
  EXPECT_EQ(dialogs_.questions[1].icon, MessageIcon::kWarning);
  EXPECT_EQ(dialogs_.Texts(), NoMessages);
}

TEST_F(GeneralCommandsTest, EraseConfiguration_OtherAnswers_SendNothing) {
  dialogs_.answers = {Answer::kOk, Answer::kOk};
  EXPECT_FALSE(EraseConfiguration(session_));
  dialogs_.answers = {Answer::kCancel};
  EXPECT_FALSE(EraseConfiguration(session_));
  EXPECT_EQ(dialogs_.questions.size(), 3u);
  EXPECT_TRUE(port_.written.empty());
}

TEST_F(GeneralCommandsTest, EraseConfiguration_Unidirectional_StaysUnidirectional) {
  link_.BidirectionalComm = false;
  dialogs_.answers = {Answer::kOk, Answer::kCancel};
  EXPECT_TRUE(EraseConfiguration(session_));
  EXPECT_FALSE(link_.BidirectionalComm);
}

}  // namespace
}  // namespace vela
