#include "operations/operation_dispatcher.h"

#include <gtest/gtest.h>

#include "operations/session_fixture.h"
#include "operations/verification.h"
#include "sim/demo_board.h"
#include "sim/simulated_board.h"
#include "sim/simulated_port.h"
#include "support/crlf_lines.h"
#include "support/recording_dialogs.h"

namespace vela {
namespace {

using Message = std::vector<int>;

class DispatcherTest : public ::testing::Test {
 protected:
  DispatcherTest()
      : port_(board_, clock_),
        link_(port_, clock_, dialogs_, log_),
        session_{link_, config_, view_} {
    link_.OpenPort(sim::kDemoBoardName, 1, nullptr);
  }

  std::string Run(const std::string& name) {
    board_.ClearReceived();
    dispatcher_.Run(name, session_);
    return dispatcher_.ReportText();
  }
  std::vector<Message> Sent() const { return board_.Messages(); }
  // The requests one pin's complete read makes, for its AspectMode.
  static std::vector<Message> PinRead(int pin, int mode) {
    std::vector<Message> m = {{114, pin}};
    AspectRectangle r = RectangleOf(mode);
    for (int a = 0; a < r.aspects; ++a)
      for (int s = 0; s < r.steps; ++s) m.push_back({115, pin, a, s});
    m.push_back({116, pin});
    m.push_back({118, pin});
    m.push_back({113, pin});
    return m;
  }

  ManualClock clock_;
  sim::SimulatedBoard board_;
  sim::SimulatedPort port_;
  testing::RecordingDialogs dialogs_;
  MemoryTrafficLog log_;
  BoardLink link_;
  BoardConfig config_;
  testing::RecordingView view_;
  Session session_;
  OperationDispatcher dispatcher_;
};

TEST_F(DispatcherTest, ReadAll_RequestsInTheFixedOrder) {
  board_.Memory().pins[0].aspect_mode = 3;
  board_.Memory().pins[1].aspect_mode = 2;
  Run("ReadAll");
  std::vector<Message> expected = {{112, 0}, {112, 10}, {112, 5}, {112, 4}, {112, 12}, {112, 8},
                                   {112, 2}, {112, 3},  {112, 6}, {112, 7}, {112, 1},  {112, 13}};
  for (int p = 0; p < 32; ++p) {
    auto pin = PinRead(p, p == 0 ? 3 : p == 1 ? 2 : 0);
    expected.insert(expected.end(), pin.begin(), pin.end());
  }
  for (int p = 0; p < 32; ++p) expected.push_back({116, p});
  for (int p = 0; p < 32; ++p) expected.push_back({117, p});
  expected.push_back({112, 11});
  EXPECT_EQ(Sent(), expected);
  EXPECT_TRUE(dispatcher_.LastSucceeded());
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(config_.Pins[0].AspectMode, 3);
  EXPECT_EQ(config_.Pins[1].AspectMode, 2);
  EXPECT_EQ(view_.hide_label, 1);
}

TEST_F(DispatcherTest, ReadAll_GetVersionFails_ReadsNothingMoreButRefreshes) {
  board_.GetFaults().no_reply = true;
  config_.Pins[4].Description = "kept";
  Run("ReadAll");
  EXPECT_EQ(Sent(), (std::vector<Message>{{112, 0}}));
  EXPECT_FALSE(dispatcher_.LastSucceeded());
  EXPECT_EQ(config_.General.VersionText, "Unknown");
  EXPECT_EQ(config_.Pins[4].Description, "kept");
  EXPECT_EQ(view_.show_pin, 1);
  EXPECT_EQ(view_.show_pin_config, 1);
  EXPECT_EQ(view_.hide_label, 1);
}

TEST_F(DispatcherTest, ReadAll_ClosedPort_FirstStepFailsThenRefresh) {
  link_.ClosePort();
  Run("ReadAll");
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"Select communications port"});
  EXPECT_EQ(view_.hide_label, 1);
}

TEST_F(DispatcherTest, WriteAllThenVerifyAll_VerifyOk) {
  config_.General.IdString = "Layout A";
  config_.General.DccAddress = 37;
  config_.Pins[3].AspectMode = 3;
  config_.Pins[3].Aspects[1].Steps[4] = {9, 1, 2, 10, 0, 0};
  config_.Pins[3].PinConfig = {kServo, 64, 0x0B, 64, 127, 58, 127, 127, 64, 0, 64, 0, 0};
  config_.Events.At(7, kEventOff, 2) = 5;
  config_.General.InitEE[6] = false;
  Run("WriteAll");
  ASSERT_TRUE(dispatcher_.LastSucceeded());
  // The address settings go last.
  EXPECT_EQ(Sent().back(), (Message{96, 2, 0}));
  std::string report = Run("VerifyAll");
  EXPECT_EQ(report,
            "Start General Settings Verification\r\nStart EC Verification\r\n"
            "Note: Numbering starts at 1\r\nStart Pin Verification\r\n"
            "Note: Numbering starts at 1\r\nVerify OK");
  EXPECT_TRUE(dispatcher_.LastSucceeded());
  EXPECT_TRUE(dispatcher_.ReportPending());
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(DispatcherTest, VerifyAll_GroupMaskDiffers_StopsBeforeEventsAndPins) {
  Run("WriteAll");
  config_.General.XGM[9] = true;
  std::vector<std::string> lines = testing::SplitCrLf(Run("VerifyAll"));
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], "eXtended Group Mask does not compare");
  EXPECT_EQ(lines.back(), "Verification Stopped");
  EXPECT_EQ(dispatcher_.ReportText().substr(dispatcher_.ReportText().size() - 2), "ed");
  for (const Message& m : Sent()) {
    EXPECT_EQ(m[0], 112) << "no event or pin request after a general-settings difference";
  }
  EXPECT_FALSE(dispatcher_.LastSucceeded());
}

TEST_F(DispatcherTest, Verify_EveryDifferenceGivesItsLine) {
  config_.Pins[0].AspectMode = 3;
  config_.Pins[0].Aspects[0].Steps[0] = {9, 0, 1, 2, 0, 0};
  config_.Pins[0].Aspects[0].Steps[1] = {8, 0, 1, 2, 0, 0};
  config_.Pins[5].PinConfig[0] = kInput;
  config_.Pins[5].PinConfig[3] = 4;
  Run("WriteAll");
  GeneralSettings& g = config_.General;
  g.IdString = "other";
  g.HwcSink[2] = true;
  g.DccAddress = 99;
  g.XDccAddress = 98;
  g.BasicPacketStateInvert = true;
  g.GenXAddress = 4;
  g.LedGreen[1] = CheckState::kChecked;
  g.LedOrange[2] = CheckState::kChecked;
  g.SerialEnable = true;
  g.KRaddr = true;
  EXPECT_EQ(
      testing::SplitCrLf(Run("VerifyAll")),
      (std::vector<std::string>{
          "Start General Settings Verification",
          "ID does not compare: VelaConfig = <other> Vela = <>",
          "Hardware configuration does not compare", "DCC address does not compare",
          "eXtended DCC address does not compare", "DCC Options do not compare",
          "Serial Address Settings do not compare", "eXtended Address does not compare",
          "Green LED configuration does not compare", "Orange LED configuration does not compare",
          "Serial Port Configuration does not compare", "Verification Stopped"}));

  config_.NumberBase = 0;
  config_.Events.At(2, kEventOn, 0) = 3;
  config_.Events.At(4, kEventOff, 3) = 11;
  config_.General.InitEE[1] = false;
  config_.General.InitEE[5] = false;
  EXPECT_EQ(testing::SplitCrLf(Run("ECVerify")),
            (std::vector<std::string>{
                "Start EC Verification",
                "Event-On(0) for pin 2 does not compare: Configured Action = 3, Vela Reply = -1",
                "Event-Off(3) for pin 4 does not compare: Configured Action = 11, Vela Reply = -1",
                "ECInit: ON-mask does not compare", "ECInit: OFF-mask does not compare"}));

  config_.NumberBase = 1;
  config_.Pins[0].Aspects[0].Steps[0].Par1 = 7;
  config_.Pins[0].Aspects[0].Steps[1].Par1 = 7;  // a second difference in the same aspect
  config_.Pins[1].AspectMode = 2;
  config_.Pins[5].PinConfig[3] = 9;
  config_.Pins[6].InitialAspect = 3;
  config_.Pins[7].DccCount = 2;
  config_.Pins[8].KoraCount = 0;
  config_.Pins[9].DeviceRef = -2;
  std::vector<std::string> lines = testing::SplitCrLf(Run("VerifyAllPins"));
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "Start Pin Verification", "Note: Numbering starts at 1",
                       "Pin 1: Aspect 0 does not compare", "Pin 2: Aspectconfig does not compare",
                       "Pin 6: Pinconfig does not compare", "Pin 7: Init does not compare",
                       "Pin 8: DCC Address Configuration does not compare",
                       "Pin 9: Serial Address Configuration does not compare",
                       "Pin 10: Device Pointer does not compare"}));
  EXPECT_FALSE(dispatcher_.LastSucceeded());
}

TEST_F(DispatcherTest, VerifyEvents_UnsupportedBoard_OneLinePerLoop) {
  board_.GetFaults().unsupported_types = {116, 117};
  EXPECT_EQ(testing::SplitCrLf(Run("ECVerify")),
            (std::vector<std::string>{"Start EC Verification", "Note: Numbering starts at 1",
                                      "Read Event-On: Function not supported by Device",
                                      "Read Event-Off: Function not supported by Device"}));
}

TEST_F(DispatcherTest, VerifyAll_BoardWithoutIdString_GoesOn) {
  Run("WriteAll");
  board_.GetFaults().no_reply = true;
  board_.GetFaults().only_at_frame = board_.exchange_count();  // the ID string request
  std::vector<std::string> lines = testing::SplitCrLf(Run("VerifyAll"));
  EXPECT_EQ(lines.back(), "Verify OK");
  EXPECT_EQ(lines.front(), "Start General Settings Verification");
  EXPECT_EQ(lines[1], "Note: no reply to the ID string request; ID string not compared");
  EXPECT_EQ(lines[2], "Start EC Verification");
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{
                                  "No response received, resetting bidirectional communication"});
}

TEST_F(DispatcherTest, VerifyAll_HardwareConfigurationUnanswered_NotComparedNotPassed) {
  Run("WriteAll");
  board_.GetFaults().no_reply = true;
  board_.GetFaults().only_at_frame = board_.exchange_count() + 1;  // after the ID string
  std::vector<std::string> lines = testing::SplitCrLf(Run("VerifyAll"));
  EXPECT_EQ(lines, (std::vector<std::string>{"Start General Settings Verification",
                                             "Hardware configuration not compared: no reply",
                                             "Verification Stopped"}));
  EXPECT_FALSE(dispatcher_.LastSucceeded());
}

TEST_F(DispatcherTest, WriteDevice_HeadAndMembersInAscendingOrder) {
  config_.CurrentPin = 31;
  config_.Pins[30].DeviceName = "Signal";
  config_.Pins[31].DeviceRef = -1;
  config_.Pins[0].DeviceRef = 30;
  config_.Pins[2].DeviceRef = 28;
  Run("WriteDevice");
  std::vector<int> pins;
  for (const Message& m : Sent()) {
    if (m[0] == 98) pins.push_back(m[1]);
  }
  EXPECT_EQ(pins, (std::vector<int>{0, 2, 30, 31}));
}

TEST_F(DispatcherTest, WriteDevice_ReferralNotAHead_NotQueued) {
  config_.CurrentPin = 4;
  config_.Pins[3].DeviceRef = -1;
  config_.Pins[4].DeviceRef = -1;
  EXPECT_FALSE(OperationDispatcher::CheckBeforeQueue("WriteDevice", session_));
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text, "Referral is not a device");
  EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::kWarning);
  link_.ClosePort();
  EXPECT_FALSE(OperationDispatcher::CheckBeforeQueue("VerifyAll", session_));
  EXPECT_TRUE(OperationDispatcher::CheckBeforeQueue("ReadAll", session_));
  EXPECT_EQ(dialogs_.messages.back().text, "Select communications port");
}

TEST_F(DispatcherTest, TwoRequestsWithinOneTick_OnlyTheSecondRuns) {
  dispatcher_.Queue("ReadAll");
  dispatcher_.Queue("ECReadAll");
  std::string name = dispatcher_.TakePending();
  EXPECT_EQ(name, "ECReadAll");
  EXPECT_EQ(dispatcher_.Pending(), "");
  Run(name);
  EXPECT_EQ(Sent().front(), (Message{116, 0}));
  EXPECT_EQ(Sent().size(), 64u);
  EXPECT_FALSE(dispatcher_.Run("", session_));
  EXPECT_FALSE(dispatcher_.Run("readall", session_));
}

TEST_F(DispatcherTest, PinOperations_ActOnTheCurrentPin) {
  config_.CurrentPin = 6;
  config_.Pins[6].AspectMode = 2;
  Run("PAspWritePin");
  std::vector<Message> sent = Sent();
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.front(), (Message{98, 6, 2}));
  for (const Message& m : sent) EXPECT_NE(m[0], 97) << "no parameter write";
  Run("ReadPin");
  EXPECT_EQ(Sent().back(), (Message{113, 6}));
  EXPECT_GE(view_.show_pin, 1);
}

TEST_F(DispatcherTest, Cancel_StopsTheChainAndStillRefreshes) {
  link_.RequestCancel();
  Run("ReadAll");
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(view_.hide_label, 1);
  EXPECT_TRUE(dialogs_.messages.empty());
  link_.ClearCancel();
  Run("VerifyAll");
}

TEST_F(DispatcherTest, EnforcedExtendedAddress_HiddenBoxesDoNotCount) {
  config_.General.ForceXA = true;
  config_.General.VLNative = true;
  config_.General.XGM[3] = true;
  config_.General.GenXAddress = 12;
  Run("WriteAll");
  EXPECT_EQ(testing::SplitCrLf(Run("VerifyAll")).back(), "Verify OK");
}

}  // namespace
}  // namespace vela
