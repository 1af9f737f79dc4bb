#include "operations/output_commands.h"

#include <gtest/gtest.h>

#include "operations/session_fixture.h"

namespace vela {
namespace {

using testing::Bytes;
using testing::Message;
using Messages = std::vector<Message>;

Bytes KoraFrame(int address, int d1, int d2, int d3) {
  Bytes frame = {static_cast<uint8_t>(address), static_cast<uint8_t>(0x80 + d1),
                 static_cast<uint8_t>(0x80 + d2), static_cast<uint8_t>(0x80 + d3)};
  AppendChecksum(frame);
  return frame;
}

class OutputCommandsTest : public testing::ScriptedSessionTest {
 protected:
  OutputCommandsTest() {
    board_.answer = [](const Message& r) { return std::optional<Message>(Message{r[0], r[1]}); };
  }
  TestPanelState state_;
};

TEST_F(OutputCommandsTest, SetAspect_ByPinAndThroughTheAddressMap) {
  EXPECT_TRUE(SetPinAspect(session_, 7, 3));
  EXPECT_TRUE(SetAddressAspect(session_, 40, 11));
  EXPECT_TRUE(SendPwmLevel(session_, 2, 31, false));
  EXPECT_TRUE(SendPwmLevel(session_, 2, 5, true));
  EXPECT_TRUE(SendServoPosition(session_, 3, -64, false));
  EXPECT_TRUE(SendServoPosition(session_, 3, 63, true));
  EXPECT_EQ(board_.messages, (Messages{{0, 0, 7, 3},
                                       {0, 1, 40, 11},
                                       {0, 38, 2, 31},
                                       {0, 54, 2, 5},
                                       {0, 39, 3, 0},
                                       {0, 55, 3, 127}}));
}

TEST_F(OutputCommandsTest, VelaToggle_ThreePresses_SendZeroOneZero) {
  for (int i = 0; i < 3; ++i) VelaSetAspect(session_, state_, 4, "5");
  EXPECT_EQ(board_.messages, (Messages{{0, 1, 5, 0}, {0, 1, 5, 1}, {0, 1, 5, 0}}));
  EXPECT_EQ(state_.AspectToggleState, 1);
}

TEST_F(OutputCommandsTest, VelaSetAspect_FixedAspectsAndEightTimes) {
  VelaSetAspect(session_, state_, 0, "3");
  VelaSetAspect(session_, state_, 3, "7.5");  // rounds half to even
  VelaSetAspect(session_, state_, 6, "99");   // the 8x buttons ignore the box
  Messages expected = {{0, 1, 3, 0}, {0, 1, 8, 3}};
  for (int o = 0; o < 8; ++o) expected.push_back({0, 1, o, 1});
  EXPECT_EQ(board_.messages, expected);
  board_.messages.clear();
  VelaSetAspect(session_, state_, 5, "");
  ASSERT_EQ(board_.messages.size(), 8u);
  EXPECT_EQ(board_.messages[7], (Message{0, 1, 7, 0}));
  EXPECT_EQ(state_.AspectToggleState, 0);
}

TEST_F(OutputCommandsTest, VelaSetAspect_OutputOutside7Bits_RefusedNamingTheBox) {
  VelaSetAspect(session_, state_, 4, "200");
  EXPECT_TRUE(board_.messages.empty());
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text,
            "Vela Set Aspect: Output = 200 is outside 0..127 and cannot be sent; nothing was sent");
  EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::kError);
  EXPECT_EQ(state_.AspectToggleState, 0);
}

TEST_F(OutputCommandsTest, MatrixButton_CheckedSignsInAscendingOrder) {
  std::array<bool, 10> signs{};
  signs[3] = signs[0] = true;
  MatrixSetAspect(session_, 12, signs);
  EXPECT_EQ(board_.messages, (Messages{{0, 1, 0, 12}, {0, 1, 3, 12}}));
  board_.messages.clear();
  MatrixSetAspect(session_, 1, {});
  EXPECT_TRUE(board_.messages.empty());
}

TEST_F(OutputCommandsTest, KoraReset_ThisModuleOr15) {
  link_.SetModuleAddress(2);
  KoraReset(session_, 0);
  KoraReset(session_, 1);
  EXPECT_EQ(board_.legacy, (std::vector<Bytes>{KoraFrame(11, 2, 0, 0), KoraFrame(63, 2, 0, 0)}));
}

TEST_F(OutputCommandsTest, KoraClearAll_32FramesToTheChosenModule) {
  link_.SetModuleAddress(4);
  KoraClearAll(session_, 0);
  KoraClearAll(session_, 1);
  ASSERT_EQ(board_.legacy.size(), 64u);
  for (int o = 0; o < 32; ++o) {
    EXPECT_EQ(board_.legacy[o], KoraFrame(19, 8, o, 0));
    EXPECT_EQ(board_.legacy[32 + o], KoraFrame(3, 8, o, 0));
  }
  EXPECT_TRUE(board_.messages.empty());
}

TEST_F(OutputCommandsTest, KoraLampTest15_32FramesToAddress63) {
  KoraLampTest(session_, 2);
  ASSERT_EQ(board_.legacy.size(), 32u);
  for (int o = 0; o < 32; ++o) EXPECT_EQ(board_.legacy[o], KoraFrame(63, 10, o, 30));
  board_.legacy.clear();
  link_.SetModuleAddress(1);
  KoraLampTest(session_, 1);
  KoraLampTest(session_, 0);
  ASSERT_EQ(board_.legacy.size(), 64u);
  EXPECT_EQ(board_.legacy[0], KoraFrame(3, 10, 0, 30));
  EXPECT_EQ(board_.legacy[63], KoraFrame(7, 10, 31, 30));
}

TEST_F(OutputCommandsTest, ClearAllAndLampTest_PortClosed_SayItOnce) {
  link_.ClosePort();
  KoraClearAll(session_, 0);
  KoraLampTest(session_, 2);
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>(2, kSelectCommunicationsPort));
  EXPECT_TRUE(port_.written.empty());
}

TEST_F(OutputCommandsTest, KoraSend_TheThreeBoxesRounded) {
  link_.SetModuleAddress(3);
  EXPECT_TRUE(KoraSend(session_, "5", "6.5", "127"));
  EXPECT_EQ(board_.legacy, (std::vector<Bytes>{KoraFrame(15, 5, 6, 127)}));
}

TEST_F(OutputCommandsTest, KoraSend_ValueOutside7Bits_RefusedBeforeSending) {
  struct Case {
    std::string command, output, parameter, text;
  };
  for (const Case& c : {Case{"3", "200", "1", "KoraSend: Output = 200"},
                        Case{"-1", "0", "0", "KoraSend: Command = -1"},
                        Case{"0", "0", "128", "KoraSend: Parameter = 128"}}) {
    dialogs_.Clear();
    EXPECT_FALSE(KoraSend(session_, c.command, c.output, c.parameter));
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text,
              c.text + " is outside 0..127 and cannot be sent; nothing was sent");
  }
  EXPECT_TRUE(port_.written.empty());
}

class TestButtonTest : public OutputCommandsTest {
 protected:
  TestButtonTest() {
    config_.CurrentPin = 4;
    config_.CurrentAspect = 2;
    config_.Pins[0].KoraCount = 2;  // pin 4 starts at Kora address 5
    config_.ComputeKoraStarts();
    link_.SetModuleAddress(1);
  }
  void NoKoraAddress() {
    config_.Pins[4].KoraCount = 0;
    config_.ComputeKoraStarts();
  }
};

TEST_F(TestButtonTest, Plain_SetsTheAspectByPin) {
  TestAspect(session_, {});
  EXPECT_EQ(board_.messages, (Messages{{0, 0, 4, 2}}));
}

TEST_F(TestButtonTest, Control_UsesTheAddressMap) {
  TestAspect(session_, {.control = true});
  EXPECT_EQ(board_.messages, (Messages{{0, 1, 5, 2}}));
}

TEST_F(TestButtonTest, ShiftFlexible_AddressesTheModuleOfTheFlexibleAddress) {
  config_.General.KRaddr = true;
  config_.General.KoraFlexAddress = 10;
  TestAspect(session_, {.shift = true});
  TestAspect(session_, {.shift = true, .control = true});
  // m = 10 x 4 + 5 = 45: module 1 (address byte 7), output 13.
  EXPECT_EQ(board_.legacy, (std::vector<Bytes>{KoraFrame(7, 1, 13, 2), KoraFrame(7, 1, 13, 2)}));
  EXPECT_TRUE(board_.messages.empty());
}

TEST_F(TestButtonTest, ShiftNotFlexible_KoraFramesToThisModule) {
  TestAspect(session_, {.shift = true});
  TestAspect(session_, {.shift = true, .control = true});
  EXPECT_EQ(board_.legacy, (std::vector<Bytes>{KoraFrame(7, 0, 4, 2), KoraFrame(7, 1, 5, 2)}));
}

TEST_F(TestButtonTest, AddressForms_PinWithoutKoraAddress_SayItAndSendNothing) {
  NoKoraAddress();
  config_.NumberBase = 1;
  TestAspect(session_, {.control = true});
  TestAspect(session_, {.shift = true, .control = true});
  config_.General.KRaddr = true;
  TestAspect(session_, {.shift = true});
  ASSERT_EQ(dialogs_.messages.size(), 3u);
  for (const auto& m : dialogs_.messages) {
    EXPECT_EQ(m.text, "You have no Kora-address(es) assigned to Pin 5");
    EXPECT_EQ(m.icon, MessageIcon::kError);
  }
  EXPECT_TRUE(port_.written.empty());

  // The pin form needs no Kora address.
  config_.General.KRaddr = false;
  TestAspect(session_, {.shift = true});
  EXPECT_EQ(board_.legacy.size(), 1u);
}

TEST_F(TestButtonTest, Alt_ShowsTheHelpAndSendsNothing) {
  TestAspect(session_, {.alt = true});
  TestAspect(session_, {.shift = true, .control = true, .alt = true});
  EXPECT_TRUE(port_.written.empty());
  const std::string help =
      "Test = Send Vela Set Aspect\r\nShift + Test = Send Legacy Kora Set Aspect\r\n"
      "Control + Test = Send Vela Set Aspect, use Address Map\r\n"
      "Shift + Control + Test = Send Legacy Kora Set Aspect, use Address Map\r\n"
      "Alt + Test = Show this message";
  EXPECT_EQ(dialogs_.Texts(), (std::vector<std::string>{help, help}));
  EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::kNone);
}

TEST_F(OutputCommandsTest, PwmLevelButton_ClampsTheTextAndSends) {
  config_.CurrentPin = 6;
  BoxEntry entry = PwmLevelButton(session_, state_, "40", false);
  EXPECT_EQ(entry.text, "31");
  EXPECT_EQ(state_.PwmTestLevel, 31);
  EXPECT_EQ(config_.Pins[6].CurrentValue, 31);
  EXPECT_EQ(PwmLevelButton(session_, state_, "-3", true).text, "0");
  EXPECT_EQ(state_.PwmTestLevel, 0);
  EXPECT_EQ(PwmLevelButton(session_, state_, "12", true).text, "12");
  EXPECT_TRUE(PwmJump(session_, state_));
  EXPECT_EQ(board_.messages,
            (Messages{{0, 38, 6, 31}, {0, 54, 6, 0}, {0, 54, 6, 12}, {0, 38, 6, 12}}));
}

TEST_F(OutputCommandsTest, ServoPositionButton_ClampsAndSendsPositionPlus64) {
  config_.CurrentPin = 2;
  EXPECT_EQ(ServoPositionButton(session_, state_, "70", false).text, "63");
  EXPECT_EQ(state_.ServoTestPosition, 63);
  EXPECT_EQ(config_.Pins[2].CurrentValue, 127);
  EXPECT_EQ(ServoPositionButton(session_, state_, "-100", true).text, "-64");
  EXPECT_EQ(config_.Pins[2].CurrentValue, 0);
  EXPECT_EQ(ServoPositionButton(session_, state_, "-5", true).text, "-5");
  EXPECT_TRUE(ServoJump(session_, state_));
  EXPECT_EQ(board_.messages,
            (Messages{{0, 39, 2, 127}, {0, 55, 2, 0}, {0, 55, 2, 59}, {0, 39, 2, 59}}));
}

TEST_F(OutputCommandsTest, LevelButtons_PortClosed_StoreButSendNothingSilently) {
  link_.ClosePort();
  EXPECT_EQ(PwmLevelButton(session_, state_, "40", false).text, "31");
  EXPECT_EQ(ServoPositionButton(session_, state_, "10", false).text, "10");
  EXPECT_EQ(state_.PwmTestLevel, 31);
  EXPECT_EQ(state_.ServoTestPosition, 10);
  EXPECT_EQ(config_.Pins[0].CurrentValue, 74);
  EXPECT_TRUE(dialogs_.messages.empty());
  PwmSliderChanged(session_, state_, 3, true, false);
  ServoSliderChanged(session_, state_, 3, true, false);
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_TRUE(port_.written.empty());
  // "Jump" reaches the link, which says the port is closed.
  EXPECT_FALSE(PwmJump(session_, state_));
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{kSelectCommunicationsPort});
}

TEST_F(OutputCommandsTest, Sliders_OnlyTheFocusedSliderSends) {
  config_.CurrentPin = 9;
  PwmSliderChanged(session_, state_, 20, false, false);
  EXPECT_EQ(state_.PwmTestLevel, 20);
  EXPECT_EQ(config_.Pins[9].CurrentValue, 20);
  ServoSliderChanged(session_, state_, -10, false, true);
  EXPECT_EQ(state_.ServoTestPosition, -10);
  EXPECT_EQ(config_.Pins[9].CurrentValue, 54);
  EXPECT_TRUE(board_.messages.empty());
  PwmSliderChanged(session_, state_, 21, true, true);
  ServoSliderChanged(session_, state_, -11, true, false);
  EXPECT_EQ(board_.messages, (Messages{{0, 54, 9, 21}, {0, 39, 9, 53}}));
}

}  // namespace
}  // namespace vela
