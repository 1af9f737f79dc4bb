#include "operations/verification.h"

#include "model/general_settings.h"
#include "operations/event_commands.h"
#include "operations/general_commands.h"
#include "operations/pin_config_commands.h"
#include "operations/pin_program_commands.h"

namespace vela {

using std::to_string;

void VerificationReport::AppendReportLine(const std::string& line) {
  text_ += line + kCrLf;
}

namespace {

// Reads general setting n. Like every read it wants replies: a board that left one question
// unanswered (an old firmware without the ID string) must still be heard on the next.
ReplyView ReadSetting(Session& s, int n) {
  s.link.BidirectionalComm = true;
  s.link.SendVLMessage(true, {kReadGeneralSetting, n});
  return s.link.Reply();
}

}  // namespace

namespace {

// Each check of a general setting reads it and compares it with the configuration. It returns
// false when the verification stops there; a difference (or a reply the rest goes on past)
// clears `same` and returns true.

// The worded fault of a reply to setting `command` that should be `length` bytes long, "what:"
// first; empty when the reply has that length and echoes the request.
std::string ReplyFault(const ReplyView& r, int length, int command, const std::string& what) {
  if (r.Length() != length) return what + ": " + r.SizeMismatchText(length);
  if (!r.Echoes(kReadGeneralSetting, command)) {
    return what + ": " + r.EchoMismatchText(kReadGeneralSetting, command);
  }
  return {};
}

// An old board without the ID string command is not a failure, but the report says that the
// string was not compared.
bool CheckIdString(Session& s, VerificationReport& report, bool& same) {
  const ReplyView r = ReadSetting(s, kSettingIdString);
  if (!r.Valid()) {
    report.AppendReportLine("Note: no reply to the ID string request; ID string not compared");
    return true;
  }
  if (r.Length() < 2 || !r.Echoes(kReadGeneralSetting, kSettingIdString)) {
    report.AppendReportLine("ReadIDString: No valid response");
    return false;
  }
  std::string board_id;
  for (int k = 0; k < r.DataCount(); ++k) board_id += static_cast<char>(r.Data(k));
  const std::string& id = s.config.General.IdString;
  if (board_id != id) {
    same = false;
    report.AppendReportLine("ID does not compare: VelaConfig = <" + id + "> Vela = <" + board_id +
                            ">");
  }
  return true;
}

// A missing reply is never a match: the rest is still compared, but the result is false.
bool CheckHardware(Session& s, VerificationReport& report, bool& same) {
  const ReplyView r = ReadSetting(s, kSettingHardware);
  if (!r.Valid()) {
    report.AppendReportLine("Hardware configuration not compared: no reply");
    same = false;
    return true;
  }
  if (r.Length() != 6) {
    report.AppendReportLine("HWCRead: No valid response size");
    return false;
  }
  if (!r.Echoes(kReadGeneralSetting, kSettingHardware)) {
    report.AppendReportLine("HWCRead: No valid response type");
    return false;
  }
  for (int j = 0; j < 4; ++j) {
    if (HardwareByte(s.config.General, j) != r.Data(j)) {
      report.AppendReportLine("Hardware configuration does not compare");
      same = false;
      break;
    }
  }
  return true;
}

bool CheckDccAddresses(Session& s, VerificationReport& report, bool& same) {
  struct DccCheck {
    int command;
    int expected;
    const char* no_valid;
    const char* differs;
  };
  const GeneralSettings& g = s.config.General;
  for (const DccCheck& check :
       {DccCheck{kSettingDccAddress, g.DccAddress, "DCC Address: No valid response",
                 "DCC address does not compare"},
        DccCheck{kSettingXDccAddress, g.XDccAddress, "eXtended DCC Address: No valid response",
                 "eXtended DCC address does not compare"}}) {
    const ReplyView r = ReadSetting(s, check.command);
    if (!r.Valid()) return false;
    if (r.Length() != 4) {
      report.AppendReportLine(check.no_valid);
    } else if (!r.Echoes(kReadGeneralSetting, check.command)) {
      report.AppendReportLine(check.no_valid);
      return false;
    } else if (check.expected != r.Data(1) * 64 + r.Data(0)) {
      report.AppendReportLine(check.differs);
      same = false;
    }
  }
  return true;
}

bool CheckDccOptions(Session& s, VerificationReport& report, bool& same) {
  const ReplyView r = ReadSetting(s, kSettingDccOptions);
  if (!r.Valid()) return false;
  if (r.Length() != 3 || !r.Echoes(kReadGeneralSetting, kSettingDccOptions)) {
    report.AppendReportLine("DCC Options: No valid response");
    return false;
  }
  if (DccOptionsByte(s.config.General) != r.Data(0)) {
    report.AppendReportLine("DCC Options do not compare");
    same = false;
  }
  return true;
}

// With enforced extended addressing the write sends 8 (0, 0), 3 (0, 0, 0, 0) and 2 (127)
// whatever the hidden boxes hold, so that is what a matching board reports.
bool CheckSerialAddressing(Session& s, VerificationReport& report, bool& same) {
  const ReplyView r = ReadSetting(s, kSettingSerialAddressing);
  if (!r.Valid()) return false;
  if (const std::string fault =
          ReplyFault(r, 4, kSettingSerialAddressing, "Serial Address Settings");
      !fault.empty()) {
    report.AppendReportLine(fault);
    return false;
  }
  const GeneralSettings& g = s.config.General;
  const int f = g.KRaddr ? 1 : 0;
  const int n = g.VLNative ? 1 : 0;
  const int expected = g.ForceXA ? 0 : 64 * (1 - f) * n + (g.KoraFlexAddress + 128) * f;
  if (expected != r.Data(0) * 128 + r.Data(1)) {
    report.AppendReportLine("Serial Address Settings do not compare");
    same = false;
  }
  return true;
}

bool CheckXAddress(Session& s, VerificationReport& report, bool& same) {
  const ReplyView r = ReadSetting(s, kSettingXAddress);
  if (!r.Valid()) return false;
  if (const std::string fault = ReplyFault(r, 3, kSettingXAddress, "eXtended Address");
      !fault.empty()) {
    report.AppendReportLine(fault);
    return false;
  }
  const GeneralSettings& g = s.config.General;
  if ((g.ForceXA ? 127 : g.GenXAddress) != r.Data(0)) {
    report.AppendReportLine("eXtended Address does not compare");
    same = false;
  }
  return true;
}

bool CheckGroupMask(Session& s, VerificationReport& report, bool& same) {
  const ReplyView r = ReadSetting(s, kSettingGroupMask);
  if (!r.Valid()) return false;
  if (const std::string fault = ReplyFault(r, 6, kSettingGroupMask, "eXtended Group Mask");
      !fault.empty()) {
    report.AppendReportLine(fault);
    return false;
  }
  const GeneralSettings& g = s.config.General;
  for (int i = 0; i < 4; ++i) {
    if ((g.ForceXA ? 0 : GroupMaskByte(g, i)) != r.Data(i)) {
      report.AppendReportLine("eXtended Group Mask does not compare");
      same = false;
      break;
    }
  }
  return true;
}

bool CheckLeds(Session& s, VerificationReport& report, bool& same) {
  const GeneralSettings& g = s.config.General;
  for (int command : {kSettingLedGreen, kSettingLedOrange}) {
    const ReplyView r = ReadSetting(s, command);
    if (!r.Valid() || r.Length() != 3 || !r.Echoes(kReadGeneralSetting, command)) {
      report.AppendReportLine("ReadLEDConfig: No valid response");
      return false;
    }
    const auto& row = command == kSettingLedGreen ? g.LedGreen : g.LedOrange;
    if (LedByte(row) != r.Data(0)) {
      report.AppendReportLine(command == kSettingLedGreen
                                  ? "Green LED configuration does not compare"
                                  : "Orange LED configuration does not compare");
      same = false;
    }
  }
  return true;
}

// The last check: a faulty reply fails the verification without stopping anything.
bool CheckSerialPort(Session& s, VerificationReport& report, bool& same) {
  const ReplyView r = ReadSetting(s, kSettingSerialPort);
  if (!r.Valid()) return false;
  const GeneralSettings& g = s.config.General;
  if (const std::string fault = ReplyFault(r, 4, kSettingSerialPort, "Serial Port Config");
      !fault.empty()) {
    report.AppendReportLine(fault);
    same = false;
  } else if (SerialPortByte(g) + 128 * (g.SerialEnable ? 1 : 0) != r.Data(0) * 128 + r.Data(1)) {
    report.AppendReportLine("Serial Port Configuration does not compare");
    same = false;
  }
  return true;
}

}  // namespace

bool VerifyGeneralSettings(Session& s, VerificationReport& report) {
  s.link.BidirectionalComm = true;
  report.AppendReportLine("Start General Settings Verification");
  bool same = true;
  for (auto check :
       {CheckIdString, CheckHardware, CheckDccAddresses, CheckDccOptions, CheckSerialAddressing,
        CheckXAddress, CheckGroupMask, CheckLeds, CheckSerialPort}) {
    if (!check(s, report, same)) return false;
  }
  return same;
}

namespace {

void NoteNumbering(const Session& s, VerificationReport& report) {
  if (s.config.NumberBase == 1) report.AppendReportLine("Note: Numbering starts at 1");
}

}  // namespace

bool ECInit(Session& s, VerificationReport& report) {
  s.link.BidirectionalComm = true;
  bool result = true;
  report.AppendReportLine("Start EC Verification");
  NoteNumbering(s, report);
  struct EventPass {
    int header;
    int event;
    int size;
    int first_byte;  // data index of input 0
    const char* unsupported;
    const char* name;
  };
  for (const EventPass& pass :
       {EventPass{kReadEventOn, kEventOn, 7, 1, "Read Event-On: Function not supported by Device",
                  "Event-On("},
        EventPass{kReadEventOff, kEventOff, 6, 0,
                  "Read Event-Off: Function not supported by Device", "Event-Off("}}) {
    for (int p = 0; p < kPinCount; ++p) {
      s.link.SendVLMessage(true, {pass.header, p});
      ReplyView r = s.link.Reply();
      if (!r.Valid()) return false;
      if (r.Length() != pass.size || !r.Echoes(pass.header, p)) {
        report.AppendReportLine(pass.unsupported);
        result = false;
        break;
      }
      for (int i = 0; i < 4; ++i) {
        const int decoded = DecodeEventByte(r.Data(pass.first_byte + i), i);
        const int stored = s.config.Events.At(p, pass.event, i);
        if (decoded != stored) {
          report.AppendReportLine(std::string(pass.name) + to_string(i) + ") for pin " +
                                  to_string(p + s.config.NumberBase) +
                                  " does not compare: Configured Action = " + to_string(stored) +
                                  ", Vela Reply = " + to_string(decoded));
          result = false;
        }
      }
    }
  }
  ReplyView r = ReadSetting(s, kSettingEventEnables);
  if (!r.Valid()) {
    report.AppendReportLine("Initial event enable masks not compared: no reply");
    return false;
  }
  if (r.Length() != 4) {
    report.AppendReportLine("ECInit: No valid response size");
    return false;
  }
  if (!r.Echoes(kReadGeneralSetting, kSettingEventEnables)) {
    report.AppendReportLine("ECInit: No valid response type");
    return false;
  }
  if (r.Data(0) != OnDisableMask(s.config.General)) {
    report.AppendReportLine("ECInit: ON-mask does not compare");
    result = false;
  }
  if (r.Data(1) != OffDisableMask(s.config.General)) {
    report.AppendReportLine("ECInit: OFF-mask does not compare");
    result = false;
  }
  return result;
}

namespace {

// The parts of one pin's verification. Each returns false when the verification must stop (no
// reply or a reply it cannot read); a difference clears `same`.

// "Pin n: ", as the report starts the lines of pin p.
std::string PinLine(const Session& s, int p) {
  return "Pin " + to_string(p + s.config.NumberBase) + ": ";
}

bool ComparePinConfig(Session& s, VerificationReport& report, int p, bool& same) {
  const PinRecord& pin = s.config.Pins[p];
  s.link.SendVLMessage(true, {kReadPinConfigFlash, p});
  const ReplyView r = s.link.Reply();
  if (!r.Valid()) return false;
  if (r.Length() < 3 || (r.Type() != kReadPinConfigFlash && r.Type() != kReadPinConfigActive) ||
      r.Command() != p) {
    report.AppendReportLine("No valid response");
    return false;
  }
  const int k = r.Length() - 2;
  std::vector<int> board(k);
  for (int i = 0; i < k; ++i) board[i] = r.Data(i);
  if (board[kCfgKind] == kServo && k > kCfgServoFlags)
    board[kCfgServoFlags] = RewriteServoFlags(board[kCfgServoFlags]);
  for (int i = 0; i < k && i < 13; ++i) {
    if (pin.PinConfig[i] != board[i]) {
      report.AppendReportLine(PinLine(s, p) + "Pinconfig does not compare");
      same = false;
      break;
    }
  }
  // A PWM reply without levels matches only the default levels.
  if ((board[kCfgKind] == kPwm || board[kCfgKind] == kPwmInverted) && k <= kCfgPwmOnLevel &&
      !HasDefaultPwmLevels(pin.PinConfig)) {
    report.AppendReportLine(PinLine(s, p) + "Pinconfig does not compare");
    same = false;
  }
  return true;
}

// The aspect mode, then, when it matches, every step of its rectangle.
bool CompareAspects(Session& s, VerificationReport& report, int p, bool& same) {
  const PinRecord& pin = s.config.Pins[p];
  s.link.SendVLMessage(true, {kReadAspectMode, p});
  const ReplyView r = s.link.Reply();
  if (!r.Valid()) return false;
  if (!r.Is(3, kReadAspectMode, p)) {
    report.AppendReportLine("No valid response");
    return false;
  }
  if (r.Data(0) != pin.AspectMode) {
    report.AppendReportLine(PinLine(s, p) + "Aspectconfig does not compare");
    same = false;
    return true;
  }
  const AspectRectangle rect = RectangleOf(pin.AspectMode);
  for (int a = 0; a < rect.aspects; ++a) {
    for (int st = 0; st < rect.steps; ++st) {
      s.link.SendVLMessage(true, {kReadStep, p, a, st});
      if (!r.Valid()) return false;
      if (!(r.Is(9, kReadStep, p) && r.Data(0) == a && r.Data(1) == st)) {
        report.AppendReportLine("No valid response");
        return false;
      }
      const StepRecord board =
          DecodeWireStep({r.Data(2), r.Data(3), r.Data(4), r.Data(5), r.Data(6)});
      if (!(board == pin.Aspects[a].Steps[st])) {
        report.AppendReportLine(PinLine(s, p) + "Aspect " + to_string(a) + " does not compare");
        same = false;
        break;
      }
    }
  }
  return true;
}

bool CompareInitialAspect(Session& s, VerificationReport& report, int p, bool& same) {
  s.link.SendVLMessage(true, {kReadInitAspect, p});
  const ReplyView r = s.link.Reply();
  if (!r.Valid()) return false;
  if (r.Is(7, kReadInitAspect, p) && (r.Data(0) >> 4) == 7) {
    if (DecodeInitAspectByte(r.Data(0)) != s.config.Pins[p].InitialAspect) {
      report.AppendReportLine(PinLine(s, p) + "Init does not compare");
      same = false;
    }
  }
  return true;
}

// An invalid reply here fails the pin but the verification goes on with the next.
bool CompareAddressConfig(Session& s, VerificationReport& report, int p, bool& same) {
  const PinRecord& pin = s.config.Pins[p];
  s.link.SendVLMessage(true, {kReadAddressConfig, p});
  const ReplyView r = s.link.Reply();
  if (!r.Valid()) return false;
  if (!r.Is(5, kReadAddressConfig, p)) {
    report.AppendReportLine("Pin Address Configuration: Invalid Response, expected 5," +
                            to_string(kReadAddressConfig) + "," + to_string(p) + ", received " +
                            to_string(r.Length()) + "," + to_string(r.Type()) + "," +
                            to_string(r.Command()));
    same = false;
    return true;
  }
  for (int k = 0; k < 3; ++k) {
    const int c = r.Data(k);
    if (c < 16) {
      if (DccNibble(pin) != c % 16) {
        report.AppendReportLine(PinLine(s, p) + "DCC Address Configuration does not compare");
        same = false;
      }
    } else if (c < 32) {
      if (pin.KoraCount != c % 16) {
        report.AppendReportLine(PinLine(s, p) + "Serial Address Configuration does not compare");
        same = false;
      }
    } else if (c >= 64 && c < 128) {
      if (DeviceDistance(pin.DeviceRef) != c % 32) {
        report.AppendReportLine(PinLine(s, p) + "Device Pointer does not compare");
        same = false;
      }
    } else {
      report.AppendReportLine("Pin Address Configuration: Invalid Response " + to_string(c / 16));
      same = false;
    }
  }
  return true;
}

// One pin; false when the verification must stop.
bool VerifyPin(Session& s, VerificationReport& report, int p, bool& result) {
  for (auto compare :
       {ComparePinConfig, CompareAspects, CompareInitialAspect, CompareAddressConfig}) {
    if (!compare(s, report, p, result)) return false;
  }
  return true;
}

}  // namespace

bool VerifyPins(Session& s, VerificationReport& report, const PinProgress& progress) {
  s.link.BidirectionalComm = true;
  bool result = true;
  report.AppendReportLine("Start Pin Verification");
  NoteNumbering(s, report);
  for (int p = 0; p < kPinCount; ++p) {
    if (progress) progress(p);
    if (!VerifyPin(s, report, p, result)) return false;
  }
  return result;
}

}  // namespace vela
