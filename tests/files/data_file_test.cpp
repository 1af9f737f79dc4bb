#include "files/data_file.h"

#include <gtest/gtest.h>

#include "file_test_support.h"
#include "support/recording_dialogs.h"

namespace vela {
namespace {

using testing::CrLfLines;
using testing::LinesWithTag;
using testing::RecordingDialogs;
using testing::SameConfig;
using testing::ScratchDir;

std::string FileText(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string Format(BoardConfig& config, bool compact) {
  std::string bytes;
  std::string refusal;
  EXPECT_TRUE(FormatDataFile(config, compact, bytes, refusal)) << refusal;
  return bytes;
}

// Loads text into config through a file, as "Load File" does.
class DataFileLoad : public ::testing::Test {
 protected:
  bool Load(const std::string& text) {
    std::string path = dir_.File("in.dat");
    testing::WriteBytes(path, text);
    return LoadDataFile(config_, path, dialogs_);
  }

  ScratchDir dir_;
  BoardConfig config_;
  RecordingDialogs dialogs_;
};

TEST(DataFileSave, StartUpConfiguration_Full_Has201LinesInTheFixedOrder) {
  BoardConfig config;
  std::vector<std::string> lines = CrLfLines(Format(config, false));
  ASSERT_EQ(lines.size(), 201u);
  EXPECT_EQ(lines[0], "\"VelaConfiguration 3100\"");
  EXPECT_EQ(lines[1], "\"ID$\",\"\"");
  EXPECT_EQ(lines[2], "\"DCC\",1,1,2");
  EXPECT_EQ(lines[3], "\"XAD\",0,0,0,0,0,0,0");
  EXPECT_EQ(lines[4], "\"HWC\",0,0,0,0");
  EXPECT_EQ(lines[5], "\"LED\",0,0");
  EXPECT_EQ(lines[6], "\"SPC\",0,\"9600\",7,0,1");
  EXPECT_EQ(lines[7], "\"EIE\",15,15");
  EXPECT_EQ(lines[8], "\"Eon\",0,0,0,0,0");
  EXPECT_EQ(lines[39], "\"Eon\",31,0,0,0,0");
  EXPECT_EQ(lines[40], "\"Eof\",0,0,0,0,0");
  EXPECT_EQ(lines[71], "\"Eof\",31,0,0,0,0");
  EXPECT_EQ(lines[72], "\"Pin\",0,0,0,\"\"");
  EXPECT_EQ(lines[73], "  \"Dev\",0,\"\"");
  EXPECT_EQ(lines[74], "  \"Cfg\",0");
  EXPECT_EQ(lines[75], "  \"PAM\",1,1,1");
  EXPECT_EQ(lines[196], "\"Pin\",31,0,0,\"\"");
  EXPECT_EQ(lines[200], "\"End\"");
}

TEST(DataFileSave, StartUpConfiguration_Compact_Has73Lines) {
  BoardConfig config;
  std::vector<std::string> lines = CrLfLines(Format(config, true));
  ASSERT_EQ(lines.size(), 73u);
  EXPECT_EQ(lines[7], "\"EIE\",15,15");
  EXPECT_EQ(lines[71], "\"Eof\",31,0,0,0,0");
  EXPECT_EQ(lines[72], "\"End\"");
}

TEST(DataFileSave, GeneralSettingsAndEvents_WrittenAsTheirBoxesHoldThem) {
  BoardConfig config;
  GeneralSettings& g = config.General;
  g.IdString = "Bahnhof Süd";
  g.DccAddress = 300;
  g.XDccAddress = 2000;
  g.PacketRetention = 3;
  g.BasicPacketStateInvert = true;
  g.AllowAddress0 = true;
  g.KRaddr = true;
  g.KoraFlexAddress = 17;
  g.GenXAddress = 95;
  g.XGM[0] = g.XGM[3] = g.XGM[5] = g.XGM[15] = true;
  g.HwcSink[1] = true;
  g.HwcSource[2] = true;
  g.HwcSink[3] = g.HwcSource[3] = true;
  ApplyLedByte(g.LedGreen, 0x41);
  ApplyLedByte(g.LedOrange, 0x02);
  g.SerialEnable = true;
  g.BaudIndex = 7;
  g.DataBitsIndex = 1;
  g.ParityIndex = 2;
  g.StopIndex = 1;
  config.Events.At(4, kEventOn, 2) = 11;
  config.Events.At(4, kEventOff, 0) = 0;
  g.InitEE = {false, false, true, true, true, false, false, false};
  std::string bytes = Format(config, true);
  std::vector<std::string> lines = CrLfLines(bytes);
  EXPECT_EQ(lines[1], "\"ID$\",\"Bahnhof S\xFC\x64\"");
  EXPECT_EQ(lines[2], "\"DCC\",300,2000,15");
  EXPECT_EQ(lines[3], "\"XAD\",17,1,95,9,2,0,8");
  EXPECT_EQ(lines[4], "\"HWC\",0,1,2,3");
  EXPECT_EQ(lines[5], "\"LED\",65,2");
  EXPECT_EQ(lines[6], "\"SPC\",1,\"115200\",8,2,2");
  EXPECT_EQ(lines[7], "\"EIE\",12,1");
  EXPECT_EQ(lines[12], "\"Eon\",4,0,0,12,0");
  EXPECT_EQ(lines[44], "\"Eof\",4,1,0,0,0");

  g.KRaddr = false;
  g.VLNative = true;
  EXPECT_EQ(CrLfLines(Format(config, true))[3], "\"XAD\",64,0,95,9,2,0,8");
  g.VLNative = false;
  EXPECT_EQ(CrLfLines(Format(config, true))[3], "\"XAD\",0,0,95,9,2,0,8");
}

TEST(DataFileSave, PinBlock_CfgParametersByType) {
  BoardConfig config;
  PinRecord& servo = config.Pins[0];
  servo.PinConfig = {1, 64, 0x0B, 70, 4, 5, 6, 7, 80, 9, 60, 11, 99};
  PinRecord& pwm = config.Pins[1];
  pwm.PinConfig = {3, 20, 1, 7, 2, 30, 9, 9, 9, 9, 9, 9, 9};
  PinRecord& input = config.Pins[2];
  input.PinConfig = {5, 9, 9, 12, 31, 9, 9, 9, 9, 9, 9, 9, 9};
  config.Pins[3].PinConfig = {0, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
  std::vector<std::string> cfg = LinesWithTag(CrLfLines(Format(config, false)), "Cfg");
  ASSERT_EQ(cfg.size(), 32u);
  EXPECT_EQ(cfg[0], "  \"Cfg\",1,64,11,70,4,5,6,7,80,9,60,11");
  EXPECT_EQ(cfg[1], "  \"Cfg\",3,20,1,7,2,30");
  EXPECT_EQ(cfg[2], "  \"Cfg\",5,9,9,12,31");
  EXPECT_EQ(cfg[3], "  \"Cfg\",0");
}

TEST(DataFileSave, DescribedAspectInCompactForm_WritesOnlyItsUsedSteps) {
  BoardConfig config;
  PinRecord& pin = config.Pins[5];
  pin.Description = "Entry signal";
  pin.AspectMode = 3;
  pin.Aspects[2].Description = "Proceed";
  pin.Aspects[2].Steps[0] = {9, 0, 0, 10, 0, 0};
  pin.Aspects[2].Steps[4] = {8, 1, 1, 20, 0, 0};
  pin.Aspects[7].Description = "outside the rectangle";

  std::vector<std::string> compact = CrLfLines(Format(config, true));
  ASSERT_EQ(compact.size(), 73u + 4 + 1 + 2);
  EXPECT_EQ(compact[72], "\"Pin\",5,3,0,\"Entry signal\"");
  EXPECT_EQ(compact[76], "  \"Asp\",2,\"Proceed\"");
  EXPECT_EQ(compact[77], "    \"Ins\",0,9,0,10,0,0");
  EXPECT_EQ(compact[78], "    \"Ins\",4,24,1,20,0,0");
  EXPECT_EQ(compact[79], "\"End\"");

  std::vector<std::string> full = CrLfLines(Format(config, false));
  EXPECT_EQ(LinesWithTag(full, "Asp").size(), 4u);
  EXPECT_EQ(LinesWithTag(full, "Ins").size(), 36u);
  EXPECT_EQ(full.size(), 201u + 4 + 36);
  EXPECT_EQ(LinesWithTag(full, "Asp")[0], "  \"Asp\",0,\"\"");
  EXPECT_EQ(LinesWithTag(full, "Ins")[8], "    \"Ins\",8,0,0,0,0,0");
}

TEST(DataFileSave, TwelveAspectMode_WritesTwelveAspectsOfThreeSteps) {
  BoardConfig config;
  config.Pins[0].AspectMode = 2;
  config.Pins[1].AspectMode = 6;  // not a mode: no aspects
  std::vector<std::string> full = CrLfLines(Format(config, false));
  EXPECT_EQ(LinesWithTag(full, "Asp").size(), 12u);
  EXPECT_EQ(LinesWithTag(full, "Ins").size(), 36u);
  EXPECT_EQ(LinesWithTag(full, "Asp")[11], "  \"Asp\",11,\"\"");
  EXPECT_EQ(LinesWithTag(full, "Ins")[35], "    \"Ins\",2,0,0,0,0,0");
}

TEST_F(DataFileLoad, FadeCodes_WriteCombinedAndReadBackSplit) {
  PinRecord& pin = config_.Pins[0];
  pin.Description = "p";
  pin.AspectMode = 3;
  pin.Aspects[0].Description = "a";
  pin.Aspects[0].Steps[0] = {8, 1, 0, 5, 0, 0};    // "Off" with fade
  pin.Aspects[0].Steps[1] = {47, 1, 0, 5, 0, 0};   // "Multiblink 7" with fade
  pin.Aspects[0].Steps[2] = {114, 0, 0, 0, 9, 1};  // "SetAspect 2"
  pin.Aspects[0].Steps[3] = {3, 1, 0, 1, 0, 0};    // "NS G->Y->R" with fade
  pin.Aspects[0].Steps[4] = {9, 0, 0, 5, 0, 0};    // "On" without fade
  std::vector<std::string> ins = LinesWithTag(CrLfLines(Format(config_, true)), "Ins");
  ASSERT_EQ(ins.size(), 5u);
  EXPECT_EQ(ins[0], "    \"Ins\",0,24,0,5,0,0");
  EXPECT_EQ(ins[1], "    \"Ins\",1,63,0,5,0,0");
  EXPECT_EQ(ins[2], "    \"Ins\",2,114,0,0,9,1");
  EXPECT_EQ(ins[3], "    \"Ins\",3,19,0,1,0,0");
  EXPECT_EQ(ins[4], "    \"Ins\",4,9,0,5,0,0");

  BoardConfig saved = config_;
  std::string text = Format(config_, true);
  config_ = BoardConfig();
  ASSERT_TRUE(Load(text));
  for (int s = 0; s < 5; ++s) {
    EXPECT_TRUE(config_.Pins[0].Aspects[0].Steps[s] == saved.Pins[0].Aspects[0].Steps[s]) << s;
  }
}

TEST_F(DataFileLoad, FadeSplit_OnlyFrom21To63AndThe19OfCode3) {
  ASSERT_TRUE(Load(FileText({"\"VelaConfiguration 3100\"", "\"Pin\",0,3,0,\"\"", "\"Asp\",1,\"\"",
                             "\"Ins\",0,16,0,0,0,0", "\"Ins\",1,20,0,0,0,0", "\"Ins\",2,21,0,0,0,0",
                             "\"Ins\",3,38,0,0,0,0", "\"Ins\",4,64,0,0,0,0",
                             "\"Ins\",5,112,0,0,0,0", "\"End\""})));
  const auto& steps = config_.Pins[0].Aspects[1].Steps;
  EXPECT_TRUE((steps[0] == StepRecord{16, 0, 0, 0, 0, 0}));
  EXPECT_TRUE((steps[1] == StepRecord{20, 0, 0, 0, 0, 0}));
  EXPECT_TRUE((steps[2] == StepRecord{5, 1, 0, 0, 0, 0}));
  EXPECT_TRUE((steps[3] == StepRecord{38, 0, 0, 0, 0, 0}));
  EXPECT_TRUE((steps[4] == StepRecord{64, 0, 0, 0, 0, 0}));
  EXPECT_TRUE((steps[5] == StepRecord{112, 0, 0, 0, 0, 0}));
}

TEST(DataFileSave, ServoFlags_ReducedModulo64InTheFileAndInMemory) {
  BoardConfig config;
  config.Pins[3].Description = "Turnout";
  config.Pins[3].PinConfig[0] = kServo;
  config.Pins[3].PinConfig[2] = 0x6A;
  config.Pins[4].PinConfig[0] = kServo;  // left out of the compact form
  config.Pins[4].PinConfig[2] = 0x4A;
  config.Pins[5].PinConfig[0] = kPwm;  // not a servo: the byte is a PWM mode
  config.Pins[5].PinConfig[2] = 0x6A;
  std::vector<std::string> cfg = LinesWithTag(CrLfLines(Format(config, true)), "Cfg");
  ASSERT_EQ(cfg.size(), 1u);
  EXPECT_EQ(cfg[0], "  \"Cfg\",1,0,42,0,0,0,0,0,0,0,0,0");
  EXPECT_EQ(config.Pins[3].PinConfig[2], 42);
  EXPECT_EQ(config.Pins[4].PinConfig[2], 0x4A);
  EXPECT_EQ(config.Pins[5].PinConfig[2], 0x6A);

  Format(config, false);
  EXPECT_EQ(config.Pins[4].PinConfig[2], 0x0A);
  EXPECT_EQ(config.Pins[5].PinConfig[2], 0x6A);
}

TEST_F(DataFileLoad, StartUpConfiguration_SavedAndLoaded_GivesTheSameTable) {
  BoardConfig start;
  std::string path = dir_.File("start.dat");
  ASSERT_TRUE(SaveDataFile(start, path, false, dialogs_));
  config_.Pins[7].Description = "will be overwritten";
  config_.Pins[7].DccCount = 4;
  config_.ComputeAllStarts();
  ASSERT_TRUE(LoadDataFile(config_, path, dialogs_));
  EXPECT_TRUE(SameConfig(config_, start));
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(DataFileLoad, GeneralLines_SetTheSettings) {
  ASSERT_TRUE(Load(FileText({"\"VelaConfiguration 3100\"", "\"ID$\",\"Gleis \x80\"",
                             "\"DCC\",300,2000,13", "\"XAD\",17,1,95,9,2,0,8", "\"HWC\",0,1,2,3",
                             "\"LED\",65,0", "\"SPC\",1,\"38400\",8,3,2", "\"End\""})));
  const GeneralSettings& g = config_.General;
  EXPECT_EQ(g.IdString, "Gleis €");
  EXPECT_EQ(g.DccAddress, 300);
  EXPECT_EQ(g.XDccAddress, 2000);
  EXPECT_EQ(g.PacketRetention, 1);
  EXPECT_TRUE(g.BasicPacketStateInvert);
  EXPECT_TRUE(g.AllowAddress0);
  EXPECT_TRUE(g.KRaddr);
  EXPECT_FALSE(g.VLNative);
  EXPECT_EQ(g.KoraFlexAddress, 17);
  EXPECT_EQ(g.GenXAddress, 95);
  EXPECT_EQ(GroupMaskByte(g, 0), 9);
  EXPECT_EQ(GroupMaskByte(g, 1), 2);
  EXPECT_EQ(GroupMaskByte(g, 3), 8);
  EXPECT_FALSE(g.HwcSink[0] || g.HwcSource[0]);
  EXPECT_TRUE(g.HwcSink[1] && !g.HwcSource[1]);
  EXPECT_TRUE(!g.HwcSink[2] && g.HwcSource[2]);
  EXPECT_TRUE(g.HwcSink[3] && g.HwcSource[3]);
  EXPECT_EQ(LedByte(g.LedGreen), 65);
  EXPECT_EQ(g.LedGreen[7], CheckState::kUnchecked);
  EXPECT_EQ(LedByte(g.LedOrange), 0);
  EXPECT_EQ(g.LedOrange[7], CheckState::kGrayed);
  EXPECT_TRUE(g.SerialEnable);
  EXPECT_EQ(g.BaudIndex, 4);
  EXPECT_EQ(g.DataBitsIndex, 1);
  EXPECT_EQ(g.ParityIndex, 3);
  EXPECT_EQ(g.StopIndex, 1);
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(DataFileLoad, EnableLine_SetsTheMasksWhenPresent_LeavesThemWhenAbsent) {
  config_.General.InitEE = {true, true, true, true, true, true, true, true};
  ASSERT_TRUE(Load(FileText({"\"VelaConfiguration 3100\"", "\"EIE\",12,3", "\"End\""})));
  EXPECT_EQ(config_.General.InitEE,
            (std::array<bool, 8>{false, false, true, true, true, true, false, false}));
  // An older file without the line keeps what the window held.
  ASSERT_TRUE(
      Load(FileText({"\"VelaConfiguration 3100\"", "\"SPC\",0,\"9600\",7,0,1", "\"End\""})));
  EXPECT_EQ(config_.General.InitEE,
            (std::array<bool, 8>{false, false, true, true, true, true, false, false}));
  // 16 is no set of four boxes: refused, nothing changes.
  EXPECT_FALSE(Load(FileText({"\"VelaConfiguration 3100\"", "\"EIE\",16,0", "\"End\""})));
  EXPECT_FALSE(config_.General.InitEE[0]);
}

TEST_F(DataFileLoad, SerialLine_OtherValuesGiveTheDefaultChoices) {
  config_.General.SerialEnable = true;
  config_.General.BaudIndex = 2;
  config_.General.DataBitsIndex = 1;
  config_.General.ParityIndex = 3;
  config_.General.StopIndex = 1;
  ASSERT_TRUE(
      Load(FileText({"\"VelaConfiguration 3100\"", "\"SPC\",2,\"31250\",9,1,3", "\"End\""})));
  EXPECT_FALSE(config_.General.SerialEnable);
  EXPECT_EQ(config_.General.BaudIndex, 2);  // no entry reads "31250": the selection stays
  EXPECT_EQ(config_.General.DataBitsIndex, 0);
  EXPECT_EQ(config_.General.ParityIndex, 0);
  EXPECT_EQ(config_.General.StopIndex, 0);
}

TEST_F(DataFileLoad, AddressingLine_NativeModeFromTheValueOfVersion3100) {
  struct Case {
    int value;
    bool native;
  };
  for (Case c : {Case{64, true}, Case{0, false}, Case{32, false}, Case{96, false}, Case{160, false},
                 Case{192, true}, Case{255, false}}) {
    config_.General.KoraFlexAddress = 5;
    config_.General.KRaddr = true;
    ASSERT_TRUE(Load(FileText({"\"VelaConfiguration 3100\"",
                               "\"XAD\"," + std::to_string(c.value) + ",0,3,0,0,0,0", "\"End\""})));
    EXPECT_EQ(config_.General.VLNative, c.native) << c.value;
    EXPECT_FALSE(config_.General.KRaddr);
    EXPECT_EQ(config_.General.KoraFlexAddress, 0);
    EXPECT_EQ(config_.General.GenXAddress, 3);
  }
}

TEST_F(DataFileLoad, EventLines_StoreActionMinusOne_EvtCountsAsEon) {
  EXPECT_FALSE(Load(FileText(
      {"\"VelaConfiguration 3100\"", "\"Evt\",3,1,0,13,12", "\"End\""})));  // 13 is not an action
  EXPECT_EQ(config_.Events.At(3, kEventOn, 0), -1);
  dialogs_.Clear();
  ASSERT_TRUE(Load(FileText({"\"VelaConfiguration 3100\"", "\"Evt\",3,1,0,2,12",
                             "\"Eon\",31,5,5,5,5", "\"Eof\",0,12,1,0,2", "\"End\""})));
  EXPECT_EQ(config_.Events.At(3, kEventOn, 0), 0);
  EXPECT_EQ(config_.Events.At(3, kEventOn, 1), -1);
  EXPECT_EQ(config_.Events.At(3, kEventOn, 2), 1);
  EXPECT_EQ(config_.Events.At(3, kEventOn, 3), 11);
  EXPECT_EQ(config_.Events.At(31, kEventOn, 2), 4);
  EXPECT_EQ(config_.Events.At(0, kEventOff, 0), 11);
  EXPECT_EQ(config_.Events.At(0, kEventOff, 3), 1);
  EXPECT_EQ(config_.Events.At(3, kEventOff, 0), -1);
}

TEST_F(DataFileLoad, PinLine_ResetsProgramAndCountsButKeepsConfigAndDevice) {
  PinRecord& pin = config_.Pins[9];
  pin.PinConfig = {2, 10, 1, 3, 0, 31};
  pin.DeviceRef = -2;
  pin.DeviceName = "kept";
  pin.DccCount = pin.XDccCount = pin.KoraCount = 4;
  pin.Aspects[11].Description = "gone";
  pin.Aspects[11].Steps[8] = {9, 0, 1, 2, 3, 4};
  pin.Aspects[12].Description = "spare entry, not reset";
  config_.Pins[10].Description = "not mentioned";
  config_.Pins[10].DccCount = 3;
  ASSERT_TRUE(Load(FileText({"\"VelaConfiguration 3100\"", "\"Pin\",9,3,2,\"Home\"", "\"End\""})));
  EXPECT_EQ(pin.Description, "Home");
  EXPECT_EQ(pin.AspectMode, 3);
  EXPECT_EQ(pin.InitialAspect, 2);
  EXPECT_EQ(pin.DccCount, 1);
  EXPECT_EQ(pin.XDccCount, 1);
  EXPECT_EQ(pin.KoraCount, 1);
  EXPECT_EQ(pin.Aspects[11].Description, "");
  EXPECT_TRUE(pin.Aspects[11].Steps[8] == StepRecord{});
  EXPECT_EQ(pin.Aspects[12].Description, "spare entry, not reset");
  EXPECT_EQ(pin.PinConfig[0], 2);
  EXPECT_EQ(pin.DeviceRef, -2);
  EXPECT_EQ(pin.DeviceName, "kept");
  EXPECT_EQ(config_.Pins[10].Description, "not mentioned");
  EXPECT_EQ(config_.Pins[10].DccCount, 3);
  // The start tables follow the loaded counts.
  EXPECT_EQ(config_.Starts.DccStart[11], 9 + 1 + 3);
  EXPECT_EQ(config_.Starts.DccTotal, 31 + 3);
}

TEST_F(DataFileLoad, LastPinBlockWithoutPam_KeepsAllCountsAtOne) {
  config_.Pins[31].DccCount = 5;
  config_.Pins[31].XDccCount = 0;
  config_.Pins[31].KoraCount = 6;
  ASSERT_TRUE(
      Load(FileText({"\"VelaConfiguration 3100\"", "\"Pin\",30,0,0,\"\"", "  \"PAM\",0,2,3",
                     "\"Pin\",31,0,0,\"Last\"", "  \"Dev\",0,\"\"", "  \"Cfg\",0", "\"End\""})));
  EXPECT_EQ(config_.Pins[31].DccCount, 1);
  EXPECT_EQ(config_.Pins[31].XDccCount, 1);
  EXPECT_EQ(config_.Pins[31].KoraCount, 1);
  EXPECT_EQ(config_.Pins[30].XDccCount, 0);
  EXPECT_EQ(config_.Pins[30].DccCount, 2);
  EXPECT_EQ(config_.Pins[30].KoraCount, 3);
  EXPECT_EQ(config_.Starts.KoraTotal, 30 + 3 + 1);
  EXPECT_EQ(config_.Starts.XDccTotal, 30 + 0 + 1);
}

TEST_F(DataFileLoad, CfgLine_ByTypeAndCurrentValue) {
  config_.Pins[4].PinConfig = {4, 1, 2, 3, 4, 55, 66, 0, 0, 0, 0, 0, 0};
  config_.Pins[5].PinConfig = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  ASSERT_TRUE(Load(FileText({"\"VelaConfiguration 3100\"", "\"Pin\",0,0,0,\"\"",
                             "\"Cfg\",1,70,48,64,1,2,3,4,5,6,7,8", "\"Pin\",1,0,0,\"\"",
                             "\"Cfg\",1,70,26,64,1,2,3,4,5,6,7,8", "\"Pin\",2,0,0,\"\"",
                             "\"Cfg\",2,12,1,7,3,29", "\"Pin\",4,0,0,\"\"", "\"Cfg\",5,0,0,9,10",
                             "\"Pin\",5,0,0,\"\"", "\"Cfg\",9", "\"End\""})));
  // An old servo flags byte keeps the range in the high four bits.
  EXPECT_EQ(config_.Pins[0].PinConfig[2], 48 / 16 + 40);
  EXPECT_EQ(config_.Pins[0].CurrentValue, 70);
  EXPECT_EQ(config_.Pins[0].PinConfig[11], 8);
  EXPECT_EQ(config_.Pins[1].PinConfig[2], 26);  // bit 3 set: the current layout
  EXPECT_EQ(config_.Pins[2].PinConfig[5], 29);
  EXPECT_EQ(config_.Pins[2].CurrentValue, 12);
  const std::array<uint8_t, 13> input = {5, 0, 0, 9, 10, 55, 66, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(config_.Pins[4].PinConfig, input);
  const std::array<uint8_t, 13> plain = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
  EXPECT_EQ(config_.Pins[5].PinConfig, plain);  // unknown type: a plain output
  EXPECT_EQ(config_.Pins[5].CurrentValue, 0);
}

TEST_F(DataFileLoad, UnknownItemsAndEverythingAfterEnd_AreIgnored) {
  ASSERT_TRUE(Load(FileText({"\"VelaConfiguration 3100\"", "\"Xyz\",1,2,\"three\"", "junk",
                             "\"ID$\",\"ok\"", "\"End\"", "\"ID$\",\"after\"", "garbage,\"x"})));
  EXPECT_EQ(config_.General.IdString, "ok");
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(DataFileLoad, Version0022_DccLineHasOneAddressAndIsAnnounced) {
  config_.General.XDccAddress = 700;
  config_.General.PacketRetention = 1;
  config_.General.AllowAddress0 = true;
  config_.Pins[2].XDccCount = 0;
  ASSERT_TRUE(Load(FileText({"\"VelaConfiguration 0022\"", "\"DCC\",300", "\"XAD\",64,0,2,0,0,0,0",
                             "\"Pin\",2,0,0,\"\"", "\"PAM\",3,4", "\"End\""})));
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text, "Data File Version = 22");
  EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::kInformation);
  EXPECT_EQ(config_.General.DccAddress, 300);
  EXPECT_EQ(config_.General.XDccAddress, 700);
  EXPECT_EQ(config_.General.PacketRetention, 1);
  EXPECT_TRUE(config_.General.AllowAddress0);
  EXPECT_FALSE(config_.General.VLNative);  // never set from an old file
  EXPECT_EQ(config_.General.GenXAddress, 2);
  EXPECT_EQ(config_.Pins[2].XDccCount, 1);  // reset by "Pin", not read
  EXPECT_EQ(config_.Pins[2].DccCount, 3);
  EXPECT_EQ(config_.Pins[2].KoraCount, 4);
}

TEST_F(DataFileLoad, VersionsAroundTheLimits_ReadTheItemsTheyHave) {
  // 31: options, no extended address.
  ASSERT_TRUE(Load(FileText({"\"VelaConfiguration 0031\"", "\"DCC\",10,9", "\"End\""})));
  EXPECT_EQ(config_.General.DccAddress, 10);
  EXPECT_EQ(config_.General.XDccAddress, 1);
  EXPECT_EQ(config_.General.AllowAddress0, true);
  EXPECT_EQ(config_.General.PacketRetention, 1);
  // 32: everything, with the old-file announcement.
  ASSERT_TRUE(Load(FileText({"\"VelaConfiguration 0032\"", "\"DCC\",11,12,0", "\"Pin\",0,0,0,\"\"",
                             "\"PAM\",0,2,3", "\"End\""})));
  EXPECT_EQ(config_.General.XDccAddress, 12);
  EXPECT_EQ(config_.Pins[0].XDccCount, 0);
  EXPECT_EQ(dialogs_.Texts(),
            (std::vector<std::string>{"Data File Version = 31", "Data File Version = 32"}));
}

TEST_F(DataFileLoad, VersionBelow20_PwmLineHasThreeParameters) {
  config_.Pins[0].PinConfig = {2, 0, 0, 0, 7, 7, 7, 7, 7, 7, 7, 7, 7};
  ASSERT_TRUE(Load(FileText({"\"VelaConfiguration 0019\"", "\"Pin\",0,0,0,\"\"", "\"Cfg\",2,5,1,3",
                             "\"PAM\",2,3", "\"End\""})));
  const std::array<uint8_t, 13> expected = {2, 5, 1, 3, 0, 31, 0, 0, 0, 0, 0, 0, 7};
  EXPECT_EQ(config_.Pins[0].PinConfig, expected);
  EXPECT_EQ(config_.Pins[0].DccCount, 2);
  // From version 20 on the levels are read.
  ASSERT_TRUE(Load(FileText(
      {"\"VelaConfiguration 0020\"", "\"Pin\",0,0,0,\"\"", "\"Cfg\",3,5,1,3,4,28", "\"End\""})));
  EXPECT_EQ(config_.Pins[0].PinConfig[4], 4);
  EXPECT_EQ(config_.Pins[0].PinConfig[5], 28);
}

TEST_F(DataFileLoad, Header_TwentyTwoCharactersStartingWithVelaConfiguration) {
  // The character after "VelaConfiguration" is not checked.
  ASSERT_TRUE(Load(FileText({"\"VelaConfiguration_3100\"", "\"ID$\",\"x\"", "\"End\""})));
  EXPECT_EQ(config_.General.IdString, "x");
  EXPECT_TRUE(dialogs_.messages.empty());
  BoardConfig before = config_;
  for (const char* header :
       {"\"VelaConfiguration 31000\"", "\"VelaConfiguration 310\"", "\"velaConfiguration 3100\"",
        "\"VelaConfigurat1on 3100\"", "\"VelaConfiguration abcd\"", "VelaDeviceDefinitions", "",
        // The version is four digits, not a number that starts there.
        "\"VelaConfiguration 3ABC\"", "\"VelaConfiguration 31.0\"", "\"VelaConfiguration  310\"",
        "\"VelaConfiguration +310\"", "\"VelaConfiguration -310\"", "\"VelaConfiguration 310 \""}) {
    dialogs_.Clear();
    EXPECT_FALSE(Load(FileText({header, "\"ID$\",\"changed\"", "\"End\""}))) << header;
    ASSERT_EQ(dialogs_.messages.size(), 1u) << header;
    EXPECT_EQ(dialogs_.messages[0].text, "Invalid configuration file");
    EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::kWarning);
    EXPECT_TRUE(SameConfig(config_, before)) << header;
  }
}

TEST_F(DataFileLoad, MissingTextOrNumberWhereTextBelongs_StopsNamingLineAndItem) {
  BoardConfig before = config_;
  const std::string head = "\"VelaConfiguration 3100\"\r\n\"ID$\",\"changed\"\r\n";
  // A "Pin" line without its description would take the "Dev" tag for it and lose the block.
  EXPECT_FALSE(Load(head + FileText({"\"Pin\",1,0,0", "  \"Dev\",0,\"\"",
                                     "  \"Cfg\",1,1,2,3,4,5,6,7,8,9,10,11", "\"End\""})));
  EXPECT_EQ(dialogs_.Texts(),
            std::vector<std::string>{"Cannot load " + dir_.File("in.dat") +
                                     ": line 3, item \"Pin\": expected the description, found the "
                                     "end of the line"});
  EXPECT_TRUE(SameConfig(config_, before));
  dialogs_.Clear();
  EXPECT_FALSE(Load(head + FileText({"\"Pin\",1,0,0,\"x\"", "  \"Dev\",0,5", "\"End\""})));
  EXPECT_EQ(dialogs_.Texts(),
            std::vector<std::string>{"Cannot load " + dir_.File("in.dat") +
                                     ": line 4, item \"Dev\": expected the device name, found the "
                                     "number 5"});
  EXPECT_TRUE(SameConfig(config_, before));
}

TEST_F(DataFileLoad, Success_NotifiesTheObserverOnce) {
  struct Counting : LoadObserver {
    void DataFileLoaded() override { ++loaded; }
    void DeviceLoaded() override { ++devices; }
    int loaded = 0;
    int devices = 0;
  } observer;
  std::string path = dir_.File("a.dat");
  testing::WriteBytes(path, FileText({"\"VelaConfiguration 3100\"", "\"End\""}));
  ASSERT_TRUE(LoadDataFile(config_, path, dialogs_, &observer));
  EXPECT_EQ(observer.loaded, 1);
  testing::WriteBytes(path, FileText({"\"VelaConfiguration 3100\"", "\"Pin\",40"}));
  EXPECT_FALSE(LoadDataFile(config_, path, dialogs_, &observer));
  EXPECT_EQ(observer.loaded, 1);
  EXPECT_EQ(observer.devices, 0);
}

TEST_F(DataFileLoad, MissingFile_OneWarningNothingChanged) {
  BoardConfig before = config_;
  std::string path = dir_.File("none.dat");
  EXPECT_FALSE(LoadDataFile(config_, path, dialogs_));
  EXPECT_EQ(dialogs_.Texts(),
            std::vector<std::string>{"Cannot load " + path + ": the file cannot be opened"});
  EXPECT_TRUE(SameConfig(config_, before));
}

TEST(DataFileSave, UnstorableText_RefusedNamingPinAndAspect_NothingWritten) {
  ScratchDir dir;
  RecordingDialogs dialogs;
  BoardConfig config;
  std::string path = dir.File("keep.dat");
  testing::WriteBytes(path, "previous contents");
  config.NumberBase = 1;
  config.Pins[5].Description = "Signal";
  config.Pins[5].AspectMode = 3;
  config.Pins[5].Aspects[2].Description = "Hp \"1\"";
  config.Pins[5].PinConfig[0] = kServo;
  config.Pins[5].PinConfig[2] = 0x6A;
  EXPECT_FALSE(SaveDataFile(config, path, false, dialogs));
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text,
            "Cannot save " + path +
                ": the description of pin 6, aspect 2 contains a double quote (\"), which a "
                "text item cannot hold");
  EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::kWarning);
  EXPECT_EQ(testing::ReadBytes(path), "previous contents");
  EXPECT_EQ(config.Pins[5].PinConfig[2], 0x6A);  // a refused save changes nothing

  dialogs.Clear();
  config.Pins[5].Aspects[2].Description = "Hp 1";
  config.General.IdString = "Zürich ✓";
  EXPECT_FALSE(SaveDataFile(config, path, true, dialogs));
  EXPECT_EQ(dialogs.Texts(),
            std::vector<std::string>{"Cannot save " + path +
                                     ": the ID string contains the character \"✓\", which a "
                                     "Windows-1252 file cannot store"});
  EXPECT_EQ(testing::ReadBytes(path), "previous contents");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(DataFileSave, CompactFormSkipsTheUnwrittenTexts_SoTheyCannotRefuseIt) {
  BoardConfig config;
  config.Pins[5].AspectMode = 3;
  config.Pins[5].DeviceName = "ok";
  config.Pins[5].Aspects[0].Description = "\"quoted\"";  // the pin has no description
  std::string bytes;
  std::string refusal;
  EXPECT_TRUE(FormatDataFile(config, true, bytes, refusal));
  EXPECT_FALSE(FormatDataFile(config, false, bytes, refusal));
  EXPECT_EQ(refusal,
            "the description of pin 6, aspect 0 contains a double quote (\"), which a text item "
            "cannot hold");
}

TEST(DataFileSave, NumbersOutsideTheirFields_AreRefused) {
  BoardConfig config;
  std::string bytes;
  std::string refusal;
  config.Events.At(2, kEventOff, 1) = 12;
  EXPECT_FALSE(FormatDataFile(config, false, bytes, refusal));
  EXPECT_EQ(refusal, "the event-off action of pin 3, input 1 is 12, outside -1..11");
  config.Events.At(2, kEventOff, 1) = 3;
  config.General.DccAddress = 511;
  EXPECT_FALSE(FormatDataFile(config, false, bytes, refusal));
  EXPECT_EQ(refusal, "the DCC address is 511, outside 0..510");
}

TEST(DataFileSave, SuccessfulSave_ReplacesTheFileAndLeavesNoTemporaryFile) {
  ScratchDir dir;
  RecordingDialogs dialogs;
  BoardConfig config;
  std::string path = dir.File("out.dat");
  testing::WriteBytes(path, "old");
  ASSERT_TRUE(SaveDataFile(config, path, true, dialogs));
  EXPECT_EQ(CrLfLines(testing::ReadBytes(path)).size(), 73u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST(DataFileSave, FolderThatDoesNotExist_OneWarningNoFile) {
  ScratchDir dir;
  RecordingDialogs dialogs;
  BoardConfig config;
  std::string path = dir.File("missing/out.dat");
  EXPECT_FALSE(SaveDataFile(config, path, false, dialogs));
  EXPECT_EQ(dialogs.Texts(),
            std::vector<std::string>{"Cannot save " + path + ": no file can be created in " +
                                     dir.File("missing") + " (No such file or directory)"});
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
}

TEST(DataFileCommands, AskTheFileName_CancelEndsSilently) {
  ScratchDir dir;
  RecordingDialogs dialogs;
  BoardConfig config;
  EXPECT_FALSE(SaveFileCommand(config, false, dialogs));
  EXPECT_FALSE(LoadFileCommand(config, dialogs));
  EXPECT_EQ(dialogs.file_requests,
            (std::vector<std::string>{"Vela Config Data|*.dat|", "Vela Config Data|*.dat|"}));
  EXPECT_TRUE(dialogs.messages.empty());

  std::string path = dir.File("chosen.dat");
  config.General.IdString = "saved";
  dialogs.files = {path, path};
  EXPECT_TRUE(SaveFileCommand(config, true, dialogs));
  EXPECT_EQ(CrLfLines(testing::ReadBytes(path)).size(), 73u);
  BoardConfig other;
  EXPECT_TRUE(LoadFileCommand(other, dialogs));
  EXPECT_EQ(other.General.IdString, "saved");
}

}  // namespace
}  // namespace vela
