#include "files/data_file.h"

#include <algorithm>
#include <cmath>

#include "files/cp1252.h"
#include "files/file_io.h"
#include "model/number_text.h"

namespace vela {
namespace {

// Numbers the model holds wider than the file's fields; the editors keep them in range, so a
// value outside only comes from a bug elsewhere, and a file that could not be read back is
// worse than no file.
std::string NumberRefusal(const BoardConfig& config) {
  const GeneralSettings& g = config.General;
  auto outside = [](std::string field, int value, int min, int max) {
    return field + " is " + std::to_string(value) + ", outside " + std::to_string(min) + ".." +
           std::to_string(max);
  };
  if (g.DccAddress < 0 || g.DccAddress > 510) {
    return outside("the DCC address", g.DccAddress, 0, 510);
  }
  if (g.XDccAddress < 0 || g.XDccAddress > 2046) {
    return outside("the extended DCC address", g.XDccAddress, 0, 2046);
  }
  if (g.KRaddr && (g.KoraFlexAddress < 0 || g.KoraFlexAddress > 255)) {
    return outside("the Kora flex address", g.KoraFlexAddress, 0, 255);
  }
  if (g.GenXAddress < 0 || g.GenXAddress > 255) {
    return outside("the extended module address", g.GenXAddress, 0, 255);
  }
  if (g.BaudIndex < 0 || g.BaudIndex > 7) return outside("the baud rate entry", g.BaudIndex, 0, 7);
  for (int pin = 0; pin < kPinCount; ++pin) {
    for (int event = 0; event < 2; ++event) {
      for (int input = 0; input < 4; ++input) {
        int action = config.Events.At(pin, event, input);
        if (action < -1 || action > 11) {
          return outside(std::string(event == kEventOn ? "the event-on" : "the event-off") +
                             " action of " + config.PinName(pin) + ", input " +
                             std::to_string(input),
                         action, -1, 11);
        }
      }
    }
  }
  return {};
}

void WriteEventLines(ItemWriter& w, const BoardConfig& config, int event, const char* tag) {
  for (int pin = 0; pin < kPinCount; ++pin) {
    w.BeginLine();
    w.Tag(tag);
    w.Number(pin);
    for (int input = 0; input < 4; ++input) w.Number(config.Events.At(pin, event, input) + 1);
    w.EndLine();
  }
}

// Bits 0..3: the check boxes InitEE[first..first + 3].
int EnableBits(const GeneralSettings& g, int first) {
  int bits = 0;
  for (int k = 0; k < 4; ++k) bits |= (g.InitEE[first + k] ? 1 : 0) << k;
  return bits;
}

void WriteGeneralLines(ItemWriter& w, const BoardConfig& config) {
  const GeneralSettings& g = config.General;
  w.BeginLine();
  w.Tag("ID$");
  w.Text(g.IdString, "the ID string");
  w.EndLine();

  w.BeginLine();
  w.Tag("DCC");
  w.Number(g.DccAddress);
  w.Number(g.XDccAddress);
  w.Number(DccOptionsByte(g));
  w.EndLine();

  w.BeginLine();
  w.Tag("XAD");
  w.Number(g.KRaddr ? g.KoraFlexAddress : (g.VLNative ? 64 : 0));
  w.Number(g.KRaddr ? 1 : 0);
  w.Number(g.GenXAddress);
  for (int k = 0; k < 4; ++k) w.Number(GroupMaskByte(g, k));
  w.EndLine();

  w.BeginLine();
  w.Tag("HWC");
  for (int group = 0; group < 4; ++group) w.Number(HardwareByte(g, group));
  w.EndLine();

  w.BeginLine();
  w.Tag("LED");
  w.Number(LedByte(g.LedGreen));
  w.Number(LedByte(g.LedOrange));
  w.EndLine();

  w.BeginLine();
  w.Tag("SPC");
  w.Number(g.SerialEnable ? 1 : 0);
  w.Text(kBaudTexts[g.BaudIndex], "the baud rate");
  w.Number(g.DataBitsIndex == 1 ? 8 : 7);
  w.Number(g.ParityIndex == 3 ? 3 : (g.ParityIndex == 2 ? 2 : 0));
  w.Number(g.StopIndex == 1 ? 2 : 1);
  w.EndLine();

  // The initial event enables as the Event Control tab shows them (bit k = input k checked),
  // so that a backup restores them. Older readers skip the unknown tag and its numbers.
  w.BeginLine();
  w.Tag("EIE");
  w.Number(EnableBits(g, 0));
  w.Number(EnableBits(g, 4));
  w.EndLine();
}

}  // namespace

void WritePinProgramLines(ItemWriter& w, PinRecord& pin, const std::string& name, int indent,
                          bool compact) {
  w.BeginLine(indent);
  w.Tag("Cfg");
  WriteConfigItems(w, pin);
  w.EndLine();

  w.BeginLine(indent);
  w.Tag("PAM");
  w.Number(pin.XDccCount);
  w.Number(pin.DccCount);
  w.Number(pin.KoraCount);
  w.EndLine();

  AspectRectangle rect = RectangleOf(pin.AspectMode);
  for (int a = 0; a < rect.aspects; ++a) {
    const AspectRecord& aspect = pin.Aspects[a];
    if (compact && aspect.Description.empty()) continue;
    w.BeginLine(indent);
    w.Tag("Asp");
    w.Number(a);
    w.Text(aspect.Description, "the description of " + name + ", aspect " + std::to_string(a));
    w.EndLine();
    for (int s = 0; s < rect.steps; ++s) {
      const StepRecord& step = aspect.Steps[s];
      if (compact && step.Instruction == 0) continue;
      w.BeginLine(indent + 2);
      w.Tag("Ins");
      w.Number(s);
      w.Number(CombinedInstruction(step));
      w.Number(step.Par0);
      w.Number(step.Par1);
      w.Number(step.Par2);
      w.Number(step.Par3);
      w.EndLine();
    }
  }
}

namespace {

void WritePinBlock(ItemWriter& w, BoardConfig& config, int i, bool compact) {
  PinRecord& pin = config.Pins[i];
  std::string name = config.PinName(i);
  w.BeginLine();
  w.Tag("Pin");
  w.Number(i);
  w.Number(pin.AspectMode);
  w.Number(pin.InitialAspect);
  w.Text(pin.Description, "the description of " + name);
  w.EndLine();

  w.BeginLine(2);
  w.Tag("Dev");
  w.Number(pin.DeviceRef);
  w.Text(pin.DeviceName, "the device name of " + name);
  w.EndLine();

  WritePinProgramLines(w, pin, name, 2, compact);
}

// Reads one data file; keeps the version and the current pin and aspect of the file.
class DataFileParser {
 public:
  DataFileParser(std::string_view bytes, BoardConfig& config) : in_(bytes), config_(config) {}

  DataFileRead Run();

 private:
  void ReadDcc();
  void ReadXad();
  void ReadHwc();
  void ReadLed();
  void ReadSpc();
  void ReadEie();
  void ReadEvents(int event);
  void ReadPin();
  void ReadDev();
  void ReadPam();
  void ReadCfg();
  void ReadAsp();
  void ReadIns();

  FieldReader in_;
  BoardConfig& config_;
  int version_ = 0;
  int pin_ = 0;     // the file's current pin
  int aspect_ = 0;  // the file's current aspect
};

DataFileRead DataFileParser::Run() {
  DataFileRead result;
  Item header = in_.NextItem();
  std::string last_four = Utf8Tail(header.text, 18);
  // The version is four digits; "3ABC" is no version 3.
  bool four_digits =
      last_four.size() == 4 &&
      std::all_of(last_four.begin(), last_four.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (Utf8Length(header.text) != 22 || Utf8Head(header.text, 17) != kDataFileHeader ||
      !four_digits) {
    result.outcome = DataFileRead::Outcome::kInvalidHeader;
    return result;
  }
  version_ = std::stoi(last_four);
  result.version = version_;

  for (;;) {
    if (in_.AtEnd()) {
      in_.FailAtEnd("End");
      break;
    }
    std::string tag = in_.NextTag().text;
    if (tag == "End") break;
    if (tag == "ID$") {
      config_.General.IdString = in_.Text("ID string");
    } else if (tag == "DCC") {
      ReadDcc();
    } else if (tag == "XAD") {
      ReadXad();
    } else if (tag == "HWC") {
      ReadHwc();
    } else if (tag == "LED") {
      ReadLed();
    } else if (tag == "SPC") {
      ReadSpc();
    } else if (tag == "EIE") {
      ReadEie();
    } else if (tag == "Eon" || tag == "Evt") {
      ReadEvents(kEventOn);
    } else if (tag == "Eof") {
      ReadEvents(kEventOff);
    } else if (tag == "Pin") {
      ReadPin();
    } else if (tag == "Dev") {
      ReadDev();
    } else if (tag == "PAM") {
      ReadPam();
    } else if (tag == "Cfg") {
      ReadCfg();
    } else if (tag == "Asp") {
      ReadAsp();
    } else if (tag == "Ins") {
      ReadIns();
    }
    if (in_.failed()) break;
  }
  if (in_.failed()) {
    result.outcome = DataFileRead::Outcome::kMalformed;
    result.problem = in_.problem();
    return result;
  }
  // The order in which the loader has always recomputed them.
  config_.ComputeDccStarts();
  config_.ComputeKoraStarts();
  config_.ComputeXDccStarts();
  return result;
}

void DataFileParser::ReadDcc() {
  GeneralSettings& g = config_.General;
  g.DccAddress = in_.Rounded("DCC address", 0, 510);
  if (version_ > 31) g.XDccAddress = in_.Rounded("extended DCC address", 0, 2046);
  if (version_ > 22) ApplyDccOptionsByte(g, in_.Integer("DCC options", 0, 255));
}

void DataFileParser::ReadXad() {
  GeneralSettings& g = config_.General;
  int kora = in_.Byte("addressing value");
  int flag = in_.Integer("Kora flag", -32768, 32767);
  if (flag == 1) {
    g.KRaddr = true;
    g.VLNative = false;
    g.KoraFlexAddress = kora;
  } else {
    g.KRaddr = false;
    g.VLNative = version_ >= kCurrentDataFileVersion && RoundHalfEven(kora / 64.0) % 2 == 1;
    g.KoraFlexAddress = 0;
  }
  g.GenXAddress = in_.Byte("extended module address");
  for (int k = 0; k < 4; ++k) {
    int mask = in_.Integer("group mask", 0, 255);
    for (int b = 0; b < 4; ++b) g.XGM[4 * k + b] = (mask >> b) & 1;
  }
}

void DataFileParser::ReadHwc() {
  for (int group = 0; group < 4; ++group) {
    int v = in_.Integer("hardware configuration", 0, 255);
    config_.General.HwcSink[group] = v % 2 == 1;
    config_.General.HwcSource[group] = (v / 2) % 2 == 1;
  }
}

void DataFileParser::ReadLed() {
  ApplyLedByte(config_.General.LedGreen, in_.Integer("green LED mask", 0, 255));
  ApplyLedByte(config_.General.LedOrange, in_.Integer("orange LED mask", 0, 255));
}

void DataFileParser::ReadSpc() {
  GeneralSettings& g = config_.General;
  g.SerialEnable = in_.Integer("serial port switch", -32768, 32767) == 1;
  std::string baud = in_.Text("baud rate");
  for (int i = 0; i < 8; ++i) {
    if (baud == kBaudTexts[i]) g.BaudIndex = i;
  }
  g.DataBitsIndex = in_.Integer("data bits", -32768, 32767) == 8 ? 1 : 0;
  int parity = in_.Integer("parity", -32768, 32767);
  g.ParityIndex = (parity == 3 || parity == 2) ? parity : 0;
  g.StopIndex = in_.Integer("stop bits", -32768, 32767) == 2 ? 1 : 0;
}

void DataFileParser::ReadEie() {
  const int on = in_.Integer("initial event-on enables", 0, 15);
  const int off = in_.Integer("initial event-off enables", 0, 15);
  if (in_.failed()) return;
  for (int k = 0; k < 4; ++k) {
    config_.General.InitEE[k] = ((on >> k) & 1) == 1;
    config_.General.InitEE[4 + k] = ((off >> k) & 1) == 1;
  }
}

void DataFileParser::ReadEvents(int event) {
  int pin = in_.Integer("pin number", 0, kPinCount - 1);
  for (int input = 0; input < 4; ++input) {
    int value = in_.Integer("event action", 0, 12);
    if (!in_.failed()) config_.Events.At(pin, event, input) = static_cast<int16_t>(value - 1);
  }
}

void DataFileParser::ReadPin() {
  pin_ = in_.Integer("pin number", 0, kPinCount - 1);
  PinRecord& pin = config_.Pins[pin_];
  pin.AspectMode = static_cast<uint8_t>(in_.Byte("aspect mode"));
  pin.InitialAspect = static_cast<uint8_t>(in_.Byte("initial aspect"));
  pin.Description = in_.Text("description");
  pin.DccCount = pin.XDccCount = pin.KoraCount = 1;
  for (int a = 0; a <= 11; ++a) {
    pin.Aspects[a].Description.clear();
    for (int s = 0; s <= 8; ++s) pin.Aspects[a].Steps[s] = StepRecord{};
  }
}

void DataFileParser::ReadDev() {
  PinRecord& pin = config_.Pins[pin_];
  pin.DeviceRef = static_cast<int16_t>(in_.Integer("device referral", -32768, 32767));
  pin.DeviceName = in_.Text("device name");
}

void DataFileParser::ReadPam() {
  PinRecord& pin = config_.Pins[pin_];
  if (version_ > 31) pin.XDccCount = static_cast<uint8_t>(in_.Byte("extended DCC count"));
  pin.DccCount = static_cast<uint8_t>(in_.Byte("DCC count"));
  pin.KoraCount = static_cast<uint8_t>(in_.Byte("Kora count"));
}

void DataFileParser::ReadCfg() {
  PinRecord& pin = config_.Pins[pin_];
  auto& cfg = pin.PinConfig;
  cfg[kCfgKind] = static_cast<uint8_t>(in_.Byte("configuration type"));
  auto read_params = [&](int first, int last) {
    for (int i = first; i <= last; ++i) {
      cfg[i] = static_cast<uint8_t>(in_.Byte("configuration parameter " + std::to_string(i)));
    }
  };
  switch (cfg[kCfgKind]) {
    case kPwm:
    case kPwmInverted:
      read_params(1, 3);
      if (version_ < 20) {
        SetDefaultPwmLevels(cfg);
      } else {
        read_params(kCfgPwmOffLevel, kCfgPwmOnLevel);
      }
      for (int i = 6; i <= 11; ++i) cfg[i] = 0;
      break;
    case kInput:
    case kInputLowActive:
      read_params(1, 4);
      break;
    case kServo:
      read_params(1, 11);
      cfg[kCfgServoFlags] = static_cast<uint8_t>(RewriteServoFlags(cfg[kCfgServoFlags]));
      break;
    default:
      for (int i = 0; i <= 11; ++i) cfg[i] = 0;
      break;
  }
  pin.CurrentValue = cfg[kCfgPosition];
}

void DataFileParser::ReadAsp() {
  aspect_ = in_.Integer("aspect number", 0, kAspectEntries - 1);
  config_.Pins[pin_].Aspects[aspect_].Description = in_.Text("aspect description");
}

void DataFileParser::ReadIns() {
  int s = in_.Integer("step number", 0, kStepEntries - 1);
  StepRecord& step = config_.Pins[pin_].Aspects[aspect_].Steps[s];
  int code = in_.Byte("instruction");
  step.Par0 = static_cast<uint8_t>(in_.Byte("parameter 0"));
  step.Par1 = static_cast<uint8_t>(in_.Byte("parameter 1"));
  step.Par2 = static_cast<uint8_t>(in_.Byte("parameter 2"));
  step.Par3 = static_cast<uint8_t>(in_.Byte("parameter 3"));
  SplitFileInstruction(code, step);
}

}  // namespace

void WriteConfigItems(ItemWriter& w, PinRecord& pin) {
  auto& cfg = pin.PinConfig;
  w.Number(cfg[kCfgKind]);
  int last = 0;
  switch (cfg[kCfgKind]) {
    case kServo:
      cfg[kCfgServoFlags] %= 64;  // the board's state bits are not part of a configuration
      last = 11;
      break;
    case kPwm:
    case kPwmInverted:
      last = 5;
      break;
    case kInput:
    case kInputLowActive:
      last = 4;
      break;
    default:
      break;
  }
  for (int i = 1; i <= last; ++i) w.Number(cfg[i]);
}

bool FormatDataFile(BoardConfig& config, bool compact, std::string& bytes, std::string& refusal) {
  refusal = NumberRefusal(config);
  if (!refusal.empty()) return false;
  // Written into a copy so that a refused save leaves the servo flags as they were.
  BoardConfig saved = config;
  ItemWriter w;
  w.BeginLine();
  w.Text(std::string(kDataFileHeader) + " " + saved.DataFileVersion, "the data file version");
  w.EndLine();
  WriteGeneralLines(w, saved);
  WriteEventLines(w, saved, kEventOn, "Eon");
  WriteEventLines(w, saved, kEventOff, "Eof");
  for (int i = 0; i < kPinCount; ++i) {
    if (compact && saved.Pins[i].Description.empty()) continue;
    WritePinBlock(w, saved, i, compact);
  }
  w.BeginLine();
  w.Tag("End");
  w.EndLine();
  if (!w.ok()) {
    refusal = w.refusal();
    return false;
  }
  // The copy differs only in the servo flags of the pins written.
  config = std::move(saved);
  bytes = w.bytes();
  return true;
}

DataFileRead ParseDataFile(std::string_view bytes, BoardConfig& config) {
  return DataFileParser(bytes, config).Run();
}

bool SaveDataFile(BoardConfig& config, const std::string& path, bool compact,
                  UserDialogs& dialogs) {
  std::string bytes;
  std::string problem;
  if (!FormatDataFile(config, compact, bytes, problem) || !SaveFileSafely(path, bytes, problem)) {
    dialogs.Message("Cannot save " + path + ": " + problem, MessageIcon::kWarning);
    return false;
  }
  return true;
}

bool LoadDataFile(BoardConfig& config, const std::string& path, UserDialogs& dialogs,
                  LoadObserver* observer) {
  std::string bytes;
  std::string reason;
  if (ReadInputFile(path, bytes, reason) != ReadOutcome::kRead) {
    dialogs.Message("Cannot load " + path + ": " + reason, MessageIcon::kWarning);
    return false;
  }
  BoardConfig loaded = config;
  DataFileRead read = ParseDataFile(bytes, loaded);
  if (read.outcome == DataFileRead::Outcome::kInvalidHeader) {
    dialogs.Message("Invalid configuration file", MessageIcon::kWarning);
    return false;
  }
  if (read.version < kCurrentDataFileVersion) {
    dialogs.Message("Data File Version = " + std::to_string(read.version),
                    MessageIcon::kInformation);
  }
  if (read.outcome == DataFileRead::Outcome::kMalformed) {
    dialogs.Message("Cannot load " + path + ": " + read.problem.Text(), MessageIcon::kWarning);
    return false;
  }
  config = std::move(loaded);
  if (observer) observer->DataFileLoaded();
  return true;
}

bool SaveFileCommand(BoardConfig& config, bool compact, UserDialogs& dialogs) {
  std::string path = dialogs.SaveFileName(kDataFileFilter, "");
  if (path.empty()) return false;
  return SaveDataFile(config, path, compact, dialogs);
}

bool LoadFileCommand(BoardConfig& config, UserDialogs& dialogs, LoadObserver* observer) {
  std::string path = dialogs.OpenFileName(kDataFileFilter, "");
  if (path.empty()) return false;
  return LoadDataFile(config, path, dialogs, observer);
}

}  // namespace vela
