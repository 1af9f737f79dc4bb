// Write-then-read round trips and failure paths against the simulated board.
#include <gtest/gtest.h>

#include <chrono>

#include "model/general_settings.h"
#include "operations/event_commands.h"
#include "operations/general_commands.h"
#include "operations/output_commands.h"
#include "operations/pin_config_commands.h"
#include "operations/pin_program_commands.h"
#include "operations/session_fixture.h"

namespace vela {
namespace {

using std::chrono::milliseconds;
using Messages = std::vector<std::vector<int>>;

class RoundTripTest : public testing::SimSessionTest {
 protected:
  bool WriteGeneral() {
    return WriteIdString(session_) && WriteDccSettings(session_) &&
           WriteAddressSettings(session_) && WriteLedConfig(session_) &&
           WriteHardwareConfig(session_) && WriteSerialPortConfig(session_) &&
           WriteEnableMap(session_);
  }
  bool ReadGeneral() {
    return GetVersion(session_) && ReadIdString(session_) && ReadDccSettings(session_) &&
           ReadAddressSettings(session_) && ReadLedConfig(session_) &&
           ReadHardwareConfig(session_) && ReadSerialPortConfig(session_) &&
           ReadEnableMap(session_);
  }
};

GeneralSettings SampleSettings() {
  GeneralSettings g;
  g.IdString = "Yard East 3";
  g.DccAddress = 510;
  g.XDccAddress = 1234;
  g.PacketRetention = 1;
  g.BasicPacketStateInvert = true;
  g.AllowAddress0 = true;
  g.KRaddr = true;
  g.KoraFlexAddress = 40;
  g.GenXAddress = 17;
  g.XGM[0] = g.XGM[6] = g.XGM[9] = g.XGM[15] = true;
  ApplyLedByte(g.LedGreen, 0x45);
  ApplyLedByte(g.LedOrange, 0);
  g.HwcSink = {true, false, true, false};
  g.HwcSource = {false, true, true, false};
  g.SerialEnable = true;
  g.BaudIndex = 5;
  g.DataBitsIndex = 1;
  g.ParityIndex = 2;
  g.StopIndex = 1;
  g.InitEE = {true, false, true, true, false, false, true, false};
  return g;
}

TEST_F(RoundTripTest, GeneralSettings_WrittenThenRead_ComeBackEqual) {
  const GeneralSettings sample = SampleSettings();
  config_.General = sample;
  ASSERT_TRUE(WriteGeneral());
  EXPECT_EQ(board_.Memory().dcc_address, (std::array<uint8_t, 2>{62, 7}));
  EXPECT_EQ(board_.Memory().id_string, "Yard East 3");
  EXPECT_EQ(board_.Memory().event_disable, (std::array<uint8_t, 2>{0x02, 0x0B}));

  config_ = BoardConfig();
  ASSERT_TRUE(ReadGeneral());
  GeneralSettings expected = sample;
  expected.VersionText = "3.2.2.0";
  EXPECT_EQ(config_.General, expected);
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(RoundTripTest, AddressSettings_NativeAndEnforcedForms) {
  GeneralSettings native = SampleSettings();
  native.KRaddr = false;
  native.VLNative = true;
  native.KoraFlexAddress = 0;
  config_.General = native;
  ASSERT_TRUE(WriteAddressSettings(session_));
  config_ = BoardConfig();
  ASSERT_TRUE(ReadAddressSettings(session_));
  EXPECT_TRUE(config_.General.VLNative);
  EXPECT_FALSE(config_.General.KRaddr);
  EXPECT_EQ(config_.General.XGM, native.XGM);
  EXPECT_EQ(config_.General.GenXAddress, 17);

  GeneralSettings enforced = SampleSettings();
  enforced.ForceXA = true;
  config_.General = enforced;
  board_.ClearReceived();
  ASSERT_TRUE(WriteAddressSettings(session_));
  EXPECT_EQ(board_.Messages(), (Messages{{96, 8, 0, 0}, {96, 3, 0, 0, 0, 0}, {96, 2, 127}}));
  config_ = BoardConfig();
  config_.General.GenXAddress = 5;
  ASSERT_TRUE(ReadAddressSettings(session_));
  EXPECT_TRUE(config_.General.ForceXA);
  EXPECT_EQ(config_.General.GenXAddress, 0);
  EXPECT_FALSE(config_.General.KRaddr);
  EXPECT_EQ(config_.General.XGM, (std::array<bool, 16>{}));
}

TEST_F(RoundTripTest, DccAddressZero_OnlyWithAllowAddress0) {
  config_.General.AllowAddress0 = true;
  config_.General.DccAddress = 0;
  config_.General.XDccAddress = 0;
  ASSERT_TRUE(WriteDccSettings(session_));
  config_ = BoardConfig();
  ASSERT_TRUE(ReadDccSettings(session_));
  EXPECT_EQ(config_.General.DccAddress, 0);
  EXPECT_EQ(config_.General.XDccAddress, 0);
}

TEST_F(RoundTripTest, GetVersion_BoardFaults_UnknownWithTheirTexts) {
  board_.GetFaults().no_reply = true;
  EXPECT_FALSE(GetVersion(session_));
  EXPECT_EQ(config_.General.VersionText, "Unknown");
  EXPECT_FALSE(link_.BidirectionalComm);

  board_.GetFaults().no_reply = false;
  board_.GetFaults().unsupported_types = {112};
  EXPECT_FALSE(GetVersion(session_));
  board_.GetFaults().unsupported_answer = sim::Faults::Unsupported::kWrongType;
  EXPECT_FALSE(GetVersion(session_));
  EXPECT_EQ(config_.General.VersionText, "Unknown");
  EXPECT_EQ(dialogs_.Texts(),
            (std::vector<std::string>{"No response received, resetting bidirectional communication",
                                      "GetVersion: No valid response, size <> 6",
                                      "GetVersion: No valid response"}));
}

TEST_F(RoundTripTest, HardwareConfig_UnknownByteOnTheBoard_LaterGroupsUnchanged) {
  board_.Memory().hardware = {1, 2, 5, 0};
  config_.General.HwcSink = {false, false, true, true};
  config_.General.HwcSource = {true, true, true, true};
  EXPECT_FALSE(ReadHardwareConfig(session_));
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"No valid response byte"});
  EXPECT_EQ(config_.General.HwcSink, (std::array<bool, 4>{true, false, true, true}));
  EXPECT_EQ(config_.General.HwcSource, (std::array<bool, 4>{false, true, true, true}));
}

TEST_F(RoundTripTest, Erase_AfterOkThenCancel_BoardErased) {
  board_.Memory().id_string = "old";
  dialogs_.answers = {Answer::kOk, Answer::kCancel};
  ASSERT_TRUE(EraseConfiguration(session_));
  EXPECT_EQ(board_.Memory().erase_count, 1);
  EXPECT_EQ(board_.Memory().id_string, "");
  EXPECT_FALSE(board_.Received().back().reply_wanted);
}

// A fully programmed pin of each kind, as the tool holds it.
PinRecord ProgrammedPin(int kind) {
  PinRecord p;
  p.DccCount = 2;
  p.XDccCount = 1;
  p.KoraCount = 3;
  p.InitialAspect = 3;
  switch (kind) {
    case kServo:
      // Range M, bit 3, "Auto Suspend"; a fresh servo's CurrentValue is 64.
      p.PinConfig = {1, 70, 0x1A, 64 + 5, 10, 20, 30, 40, 61, 5, 71, 6};
      p.CurrentValue = 64;
      break;
    case kPwm:
      p.PinConfig = {2, 20, 1, 5, 3, 29};
      break;
    case kPwmInverted:
      p.PinConfig = {3, 10, 2, 7, 0, 31};
      break;
    case kInput:
    case kInputLowActive:
      p.PinConfig = {static_cast<uint8_t>(kind), 0, 0, 12, 13};
      break;
    default:
      break;
  }
  return p;
}

void FillFourAspects(PinRecord& p) {
  p.AspectMode = 3;
  for (int a = 0; a < 4; ++a) {
    for (int s = 0; s < 9; ++s) {
      p.Aspects[a].Steps[s] = {static_cast<uint8_t>(8 + a),      0,   static_cast<uint8_t>(s),
                               static_cast<uint8_t>(a * 10 + s), 100, 2};
    }
  }
  p.Aspects[1].Steps[2] = {5, 1, 0, 10, 20, 3};     // fade
  p.Aspects[2].Steps[4] = {20, 0, 9, 200, 129, 7};  // 8-bit parameters
  p.Aspects[3].Steps[8] = {17, 0, 127, 127, 127, 3};
}

void FillTwelveAspects(PinRecord& p) {
  p.AspectMode = 2;
  for (int a = 0; a < 12; ++a) {
    for (int s = 0; s < 3; ++s) {
      p.Aspects[a].Steps[s] = {static_cast<uint8_t>(40),
                               static_cast<uint8_t>(s % 2),
                               static_cast<uint8_t>(a),
                               static_cast<uint8_t>(s),
                               1,
                               0};
    }
  }
  p.Aspects[11].Steps[2] = {4, 0, 3, 255, 128, 1};
}

TEST_F(RoundTripTest, ProgrammedPins_EachKind_ComeBackAsWritten) {
  config_.Pins[0] = ProgrammedPin(kPlainOutput);
  FillFourAspects(config_.Pins[0]);
  config_.Pins[1] = ProgrammedPin(kServo);
  FillTwelveAspects(config_.Pins[1]);
  config_.Pins[2] = ProgrammedPin(kPwm);
  config_.Pins[3] = ProgrammedPin(kPwmInverted);
  FillFourAspects(config_.Pins[3]);
  config_.Pins[4] = ProgrammedPin(kInput);
  config_.Pins[5] = ProgrammedPin(kInputLowActive);
  config_.Pins[5].DeviceRef = -3;
  config_.Pins[30] = ProgrammedPin(kPwm);
  config_.Pins[30].DeviceRef = 1;
  config_.Pins[30].InitialAspect = 0;
  const std::vector<int> pins = {0, 1, 2, 3, 4, 5, 30};
  for (int pin : pins) ASSERT_TRUE(WritePinComplete(session_, pin)) << pin;
  EXPECT_EQ(board_.Memory().pins[5].device_distance, 29);
  EXPECT_EQ(board_.Memory().pins[30].device_distance, 1);
  EXPECT_EQ(board_.Memory().pins[0].steps[2][4], (sim::WireStep{20, 3, 72, 1, 7}));

  PinTable written = config_.Pins;
  // Par0 does not travel with 8-bit parameters.
  written[0].Aspects[2].Steps[4].Par0 = 0;
  written[3].Aspects[2].Steps[4].Par0 = 0;
  written[1].Aspects[11].Steps[2].Par0 = 0;
  config_ = BoardConfig();
  for (int pin : pins) ASSERT_TRUE(ReadPinComplete(session_, pin)) << pin;
  for (int pin : pins) EXPECT_EQ(config_.Pins[pin], written[pin]) << "pin " << pin;
  EXPECT_EQ(config_.Pins[0].Aspects[2].Steps[4], (StepRecord{20, 0, 0, 200, 129, 7}));
  EXPECT_EQ(config_.Pins[5].DeviceRef, -3);
  EXPECT_EQ(config_.Pins[30].DeviceRef, 1);
  EXPECT_EQ(config_.Starts.KoraStart[6], 6 * 3);
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(RoundTripTest, ActiveStore_CarriesTheLivePosition) {
  config_.Pins[7] = ProgrammedPin(kServo);
  config_.Pins[7].CurrentValue = 90;
  config_.Pins[7].PinConfig[2] = 0x4A;  // "Servo Initialised" is not sent
  WritePinConfigParams(session_, kActiveStore, 7);
  WritePinConfigParams(session_, kFlashStore, 7);
  EXPECT_EQ(board_.Memory().pins[7].active_config[1], 90);
  EXPECT_EQ(board_.Memory().pins[7].flash_config[1], 70);
  EXPECT_EQ(board_.Memory().pins[7].flash_config[2], 0x0A);

  config_ = BoardConfig();
  config_.Pins[7].PinConfig[0] = kServo;
  ASSERT_TRUE(ReadPinConfigParams(session_, kActiveStore, 7));
  EXPECT_EQ(config_.Pins[7].CurrentValue, 90);
  EXPECT_EQ(config_.Pins[7].PinConfig[1], 0);
  ASSERT_TRUE(ReadPinConfigParams(session_, kFlashStore, 7));
  EXPECT_EQ(config_.Pins[7].PinConfig[1], 70);
  EXPECT_EQ(config_.Pins[7].CurrentValue, 90);
}

TEST_F(RoundTripTest, ReadDeviceFromBoard_ReadsTheDeviceOfAMember) {
  for (int pin : {10, 11, 12}) {
    config_.Pins[pin] = ProgrammedPin(kPwm);
    config_.Pins[pin].DeviceRef = static_cast<int16_t>(10 - pin);
    ASSERT_TRUE(WritePinComplete(session_, pin));
  }
  const PinTable written = config_.Pins;
  config_ = BoardConfig();
  const PinRecord untouched = config_.Pins[9];
  ASSERT_TRUE(ReadDeviceFromBoard(session_, 11));
  for (int pin : {10, 11, 12}) EXPECT_EQ(config_.Pins[pin], written[pin]) << pin;
  EXPECT_EQ(config_.Pins[9], untouched);
}

TEST_F(RoundTripTest, Events_WrittenThenRead_ComeBackEqual) {
  config_.Events.At(0, kEventOn, 2) = -1;
  config_.Events.At(0, kEventOn, 3) = 7;
  config_.Events.At(13, kEventOff, 0) = 11;
  config_.Events.At(31, kEventOn, 1) = 0;
  config_.General.InitEE = {true, true, true, true, false, false, false, false};
  ASSERT_TRUE(WriteAllEvents(session_));
  ASSERT_TRUE(WriteEnableMap(session_));
  EXPECT_EQ(board_.Messages()[0], (std::vector<int>{100, 0, 0x0F, 0x1F, 0x2F, 0x37}));
  EXPECT_EQ(board_.Messages().back(), (std::vector<int>{96, 11, 0x00, 0x0F}));
  const EventControlTable written = config_.Events;
  const auto masks = config_.General.InitEE;
  config_ = BoardConfig();
  ASSERT_TRUE(ReadAllEvents(session_));
  ASSERT_TRUE(ReadEnableMap(session_));
  EXPECT_EQ(config_.Events, written);
  EXPECT_EQ(config_.General.InitEE, masks);

  config_.ECSelectedPin = 13;
  config_.Events.At(13, kEventOff, 1) = 4;
  ASSERT_TRUE(WriteSinglePinEvents(session_));
  config_.Events.At(13, kEventOff, 1) = -1;
  ASSERT_TRUE(ReadSinglePinEvents(session_));
  EXPECT_EQ(config_.Events.At(13, kEventOff, 1), 4);
}

TEST_F(RoundTripTest, Events_UnsupportedByTheBoard_SaidForEveryPin) {
  board_.GetFaults().unsupported_types = {116, 117};
  EXPECT_TRUE(ReadAllEvents(session_));
  std::vector<std::string> expected(32, "Read Event-On: Function not supported by Device");
  expected.insert(expected.end(), 32, "Read Event-Off: Function not supported by Device");
  EXPECT_EQ(dialogs_.Texts(), expected);
}

TEST_F(RoundTripTest, Unidirectional_WritesArePaced_ReadsSwitchBidirectionalOn) {
  link_.BidirectionalComm = false;
  const auto start = clock_.Now();
  ASSERT_TRUE(WriteAllEvents(session_));
  EXPECT_EQ(clock_.Now() - start, milliseconds(6400));
  EXPECT_EQ(board_.Messages().size(), 64u);
  for (const auto& frame : board_.Received()) EXPECT_FALSE(frame.reply_wanted);

  ASSERT_TRUE(ReadAllEvents(session_));
  EXPECT_TRUE(link_.BidirectionalComm);
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(RoundTripTest, OutputCommands_ReachTheBoard) {
  TestPanelState state;
  for (int i = 0; i < 3; ++i) VelaSetAspect(session_, state, 4, "5");
  KoraLampTest(session_, 2);
  config_.CurrentPin = 4;
  config_.CurrentAspect = 2;
  config_.Pins[0].KoraCount = 2;
  config_.ComputeKoraStarts();
  config_.General.KRaddr = true;
  config_.General.KoraFlexAddress = 10;
  TestAspect(session_, {.shift = true});

  const auto& log = board_.OutputLog();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ((Messages(log.begin(), log.begin() + 3)),
            (Messages{{0, 1, 5, 0}, {0, 1, 5, 1}, {0, 1, 5, 0}}));
  std::vector<sim::ReceivedFrame> legacy;
  for (const auto& frame : board_.Received()) {
    if (frame.legacy && !frame.resync) legacy.push_back(frame);
  }
  ASSERT_EQ(legacy.size(), 33u);
  for (int o = 0; o < 32; ++o) {
    EXPECT_EQ(legacy[o].address_byte, 63);
    EXPECT_EQ(legacy[o].message, (std::vector<int>{10, o, 30}));
    EXPECT_TRUE(legacy[o].checksum_ok);
  }
  EXPECT_EQ(legacy[32].address_byte, 7);
  EXPECT_EQ(legacy[32].message, (std::vector<int>{1, 13, 2}));
}

}  // namespace
}  // namespace vela
