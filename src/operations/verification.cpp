#include "operations/verification.h"

#include "model/general_settings.h"
#include "operations/event_commands.h"
#include "operations/pin_config_commands.h"
#include "operations/pin_program_commands.h"

namespace vela {

using std::to_string;

void VerificationReport::AppendReportLine(const std::string& line) {
  text_ += line + kCrLf;
}

namespace {

// The reply as the comparisons read it: payload byte k is ReplyBuffer[2 + k].
struct Reply {
  explicit Reply(const BoardLink& link) : link_(&link) {}
  bool valid() const { return link_->ReplyValid; }
  int size() const { return link_->ReplyLength(); }
  int operator[](int k) const { return link_->ReplyBuffer[2 + k]; }
  bool Echoes(int type, int command) const { return (*this)[0] == type && (*this)[1] == command; }
  std::string EchoText() const { return to_string((*this)[0]) + "," + to_string((*this)[1]); }

 private:
  const BoardLink* link_;
};

// Reads general setting n. Like every read it wants replies: a board that left one question
// unanswered (an old firmware without the ID string) must still be heard on the next.
Reply ReadSetting(Session& s, int n) {
  s.link.BidirectionalComm = true;
  s.link.SendVLMessage(true, {112, n});
  return Reply(s.link);
}

}  // namespace

bool VerifyGeneralSettings(Session& s, VerificationReport& report) {
  s.link.BidirectionalComm = true;
  const GeneralSettings& g = s.config.General;
  bool result = true;
  report.AppendReportLine("Start General Settings Verification");

  // An old board without the ID string command is not a failure, but the report says that the
  // string was not compared.
  Reply r = ReadSetting(s, 10);
  if (!r.valid()) {
    report.AppendReportLine("Note: no reply to the ID string request; ID string not compared");
  } else {
    if (r.size() < 2 || !r.Echoes(112, 10)) {
      report.AppendReportLine("ReadIDString: No valid response");
      return false;
    }
    std::string board_id;
    for (int k = 2; k < r.size(); ++k) board_id += static_cast<char>(r[k]);
    if (board_id != g.IdString) {
      result = false;
      report.AppendReportLine("ID does not compare: VelaConfig = <" + g.IdString + "> Vela = <" +
                              board_id + ">");
    }
  }

  // A missing reply is never a match: the rest is still compared, but the result is false.
  r = ReadSetting(s, 1);
  if (!r.valid()) {
    report.AppendReportLine("Hardware configuration not compared: no reply");
    result = false;
  } else {
    if (r.size() != 6) {
      report.AppendReportLine("HWCRead: No valid response size");
      return false;
    }
    if (!r.Echoes(112, 1)) {
      report.AppendReportLine("HWCRead: No valid response type");
      return false;
    }
    for (int j = 0; j < 4; ++j) {
      if (HardwareByte(g, j) != r[2 + j]) {
        report.AppendReportLine("Hardware configuration does not compare");
        result = false;
        break;
      }
    }
  }

  struct DccCheck {
    int command;
    int expected;
    const char* no_valid;
    const char* differs;
  };
  for (const DccCheck& check :
       {DccCheck{4, g.DccAddress, "DCC Address: No valid response", "DCC address does not compare"},
        DccCheck{12, g.XDccAddress, "eXtended DCC Address: No valid response",
                 "eXtended DCC address does not compare"}}) {
    r = ReadSetting(s, check.command);
    if (!r.valid()) return false;
    if (r.size() != 4) {
      report.AppendReportLine(check.no_valid);
    } else if (!r.Echoes(112, check.command)) {
      report.AppendReportLine(check.no_valid);
      return false;
    } else if (check.expected != r[3] * 64 + r[2]) {
      report.AppendReportLine(check.differs);
      result = false;
    }
  }

  r = ReadSetting(s, 5);
  if (!r.valid()) return false;
  if (r.size() != 3 || !r.Echoes(112, 5)) {
    report.AppendReportLine("DCC Options: No valid response");
    return false;
  }
  if (DccOptionsByte(g) != r[2]) {
    report.AppendReportLine("DCC Options do not compare");
    result = false;
  }

  // With enforced extended addressing the write sends 8 (0, 0), 3 (0, 0, 0, 0) and 2 (127)
  // whatever the hidden boxes hold, so that is what a matching board reports.
  r = ReadSetting(s, 8);
  if (!r.valid()) return false;
  if (r.size() != 4) {
    report.AppendReportLine("Serial Address Settings: No valid response, size = " +
                            to_string(r.size()) + " expected = 4");
    return false;
  }
  if (!r.Echoes(112, 8)) {
    report.AppendReportLine("Serial Address Settings: No valid response, msg = " + r.EchoText() +
                            " expected = 112,8");
    return false;
  }
  {
    const int f = g.KRaddr ? 1 : 0;
    const int n = g.VLNative ? 1 : 0;
    const int expected = g.ForceXA ? 0 : 64 * (1 - f) * n + (g.KoraFlexAddress + 128) * f;
    if (expected != r[2] * 128 + r[3]) {
      report.AppendReportLine("Serial Address Settings do not compare");
      result = false;
    }
  }

  r = ReadSetting(s, 2);
  if (!r.valid()) return false;
  if (r.size() != 3) {
    report.AppendReportLine("eXtended Address: No valid response, size = " + to_string(r.size()) +
                            " expected = 3");
    return false;
  }
  if (!r.Echoes(112, 2)) {
    report.AppendReportLine("eXtended Address: No valid response, msg = " + r.EchoText() +
                            " expected = 112,2");
    return false;
  }
  if ((g.ForceXA ? 127 : g.GenXAddress) != r[2]) {
    report.AppendReportLine("eXtended Address does not compare");
    result = false;
  }

  r = ReadSetting(s, 3);
  if (!r.valid()) return false;
  if (r.size() != 6) {
    report.AppendReportLine(
        "eXtended Group Mask: No valid response, size = " + to_string(r.size()) + " expected = 6");
    return false;
  }
  if (!r.Echoes(112, 3)) {
    report.AppendReportLine("eXtended Group Mask: No valid response, msg = " + r.EchoText() +
                            " expected = 112,3");
    return false;
  }
  for (int i = 0; i < 4; ++i) {
    if ((g.ForceXA ? 0 : GroupMaskByte(g, i)) != r[2 + i]) {
      report.AppendReportLine("eXtended Group Mask does not compare");
      result = false;
      break;
    }
  }

  for (int command : {6, 7}) {
    r = ReadSetting(s, command);
    if (!r.valid() || r.size() != 3 || !r.Echoes(112, command)) {
      report.AppendReportLine("ReadLEDConfig: No valid response");
      return false;
    }
    const auto& row = command == 6 ? g.LedGreen : g.LedOrange;
    if (LedByte(row) != r[2]) {
      report.AppendReportLine(command == 6 ? "Green LED configuration does not compare"
                                           : "Orange LED configuration does not compare");
      result = false;
    }
  }

  r = ReadSetting(s, 13);
  if (!r.valid()) return false;
  if (r.size() != 4) {
    report.AppendReportLine("Serial Port Config: No valid response, size = " + to_string(r.size()) +
                            " expected = 4");
    result = false;
  } else if (!r.Echoes(112, 13)) {
    report.AppendReportLine("Serial Port Config: No valid response, msg = " + r.EchoText() +
                            " expected = 112,13");
    result = false;
  } else if (SerialPortByte(g) + 128 * (g.SerialEnable ? 1 : 0) != r[2] * 128 + r[3]) {
    report.AppendReportLine("Serial Port Configuration does not compare");
    result = false;
  }
  return result;
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
    int first_byte;
    const char* unsupported;
    const char* name;
  };
  for (const EventPass& pass :
       {EventPass{116, kEventOn, 7, 3, "Read Event-On: Function not supported by Device",
                  "Event-On("},
        EventPass{117, kEventOff, 6, 2, "Read Event-Off: Function not supported by Device",
                  "Event-Off("}}) {
    for (int p = 0; p < kPinCount; ++p) {
      s.link.SendVLMessage(true, {pass.header, p});
      Reply r(s.link);
      if (!r.valid()) return false;
      if (r.size() != pass.size || !r.Echoes(pass.header, p)) {
        report.AppendReportLine(pass.unsupported);
        result = false;
        break;
      }
      for (int i = 0; i < 4; ++i) {
        const int decoded = DecodeEventByte(r[pass.first_byte + i], i);
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
  Reply r = ReadSetting(s, 11);
  if (!r.valid()) {
    report.AppendReportLine("Initial event enable masks not compared: no reply");
    return false;
  }
  if (r.size() != 4) {
    report.AppendReportLine("ECInit: No valid response size");
    return false;
  }
  if (!r.Echoes(112, 11)) {
    report.AppendReportLine("ECInit: No valid response type");
    return false;
  }
  if (r[2] != OnDisableMask(s.config.General)) {
    report.AppendReportLine("ECInit: ON-mask does not compare");
    result = false;
  }
  if (r[3] != OffDisableMask(s.config.General)) {
    report.AppendReportLine("ECInit: OFF-mask does not compare");
    result = false;
  }
  return result;
}

namespace {

// One pin; false when the verification must stop (no reply or a reply it cannot read).
bool VerifyPin(Session& s, VerificationReport& report, int p, bool& result) {
  const PinRecord& pin = s.config.Pins[p];
  const std::string n = to_string(p + s.config.NumberBase);
  const std::string pin_line = "Pin " + n + ": ";

  s.link.SendVLMessage(true, {113, p});
  Reply r(s.link);
  if (!r.valid()) return false;
  if (r.size() < 3 || (r[0] != 113 && r[0] != 81) || r[1] != p) {
    report.AppendReportLine("No valid response");
    return false;
  }
  {
    const int k = r.size() - 2;
    std::vector<int> board(k);
    for (int i = 0; i < k; ++i) board[i] = r[2 + i];
    if (board[0] == kServo && k > 2) board[2] = RewriteServoFlags(board[2]);
    for (int i = 0; i < k && i < 13; ++i) {
      if (pin.PinConfig[i] != board[i]) {
        report.AppendReportLine(pin_line + "Pinconfig does not compare");
        result = false;
        break;
      }
    }
    if ((board[0] == kPwm || board[0] == kPwmInverted) && k <= 5 &&
        (pin.PinConfig[5] != 31 || pin.PinConfig[4] != 0)) {
      report.AppendReportLine(pin_line + "Pinconfig does not compare");
      result = false;
    }
  }

  s.link.SendVLMessage(true, {kReadAspectMode, p});
  if (!r.valid()) return false;
  if (!s.link.ReplyIs(3, kReadAspectMode, p)) {
    report.AppendReportLine("No valid response");
    return false;
  }
  if (r[2] != pin.AspectMode) {
    report.AppendReportLine(pin_line + "Aspectconfig does not compare");
    result = false;
  } else {
    const AspectRectangle rect = RectangleOf(pin.AspectMode);
    for (int a = 0; a < rect.aspects; ++a) {
      for (int st = 0; st < rect.steps; ++st) {
        s.link.SendVLMessage(true, {kReadStep, p, a, st});
        if (!r.valid()) return false;
        if (!(s.link.ReplyIs(9, kReadStep, p) && r[2] == a && r[3] == st)) {
          report.AppendReportLine("No valid response");
          return false;
        }
        const StepRecord board = DecodeWireStep({r[4], r[5], r[6], r[7], r[8]});
        if (!(board == pin.Aspects[a].Steps[st])) {
          report.AppendReportLine(pin_line + "Aspect " + to_string(a) + " does not compare");
          result = false;
          break;
        }
      }
    }
  }

  s.link.SendVLMessage(true, {kReadInitAspect, p});
  if (!r.valid()) return false;
  if (s.link.ReplyIs(7, kReadInitAspect, p) && (r[2] >> 4) == 7) {
    if (DecodeInitAspectByte(r[2]) != pin.InitialAspect) {
      report.AppendReportLine(pin_line + "Init does not compare");
      result = false;
    }
  }

  s.link.SendVLMessage(true, {kReadAddressConfig, p});
  if (!r.valid()) return false;
  if (!s.link.ReplyIs(5, kReadAddressConfig, p)) {
    report.AppendReportLine("Pin Address Configuration: Invalid Response, expected 5,118," +
                            to_string(p) + ", received " + to_string(r.size()) + "," +
                            to_string(r[0]) + "," + to_string(r[1]));
    result = false;
    return true;
  }
  for (int k = 2; k <= 4; ++k) {
    const int c = r[k];
    if (c < 16) {
      if (DccNibble(pin) != c % 16) {
        report.AppendReportLine(pin_line + "DCC Address Configuration does not compare");
        result = false;
      }
    } else if (c < 32) {
      if (pin.KoraCount != c % 16) {
        report.AppendReportLine(pin_line + "Serial Address Configuration does not compare");
        result = false;
      }
    } else if (c >= 64 && c < 128) {
      if (DeviceDistance(pin.DeviceRef) != c % 32) {
        report.AppendReportLine(pin_line + "Device Pointer does not compare");
        result = false;
      }
    } else {
      report.AppendReportLine("Pin Address Configuration: Invalid Response " + to_string(c / 16));
      result = false;
    }
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
