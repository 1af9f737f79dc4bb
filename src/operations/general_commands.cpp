#include "operations/general_commands.h"

#include <string>

#include "model/general_settings.h"

namespace vela {
namespace {

using std::to_string;

// One read of a general setting; true when a reply passed the link's checks.
bool ReadSetting(Session& session, int setting) {
  session.link.SendVLMessage(true, {kReadGeneralSetting, setting});
  return session.link.Reply().Valid();
}

int ReplyData(const Session& session, int i) {
  return session.link.Reply().Data(i);
}

bool EchoIs(const Session& session, int setting) {
  return session.link.Reply().Echoes(kReadGeneralSetting, setting);
}

// Every message here rejects a reply, so the link counts it as a failed exchange.
void Say(Session& session, const std::string& text) {
  session.link.RejectReply(text);
}

// Length and echo check in that order, with the worded mismatch texts of the address and
// serial-port reads; true when both match.
bool CheckWorded(Session& session, int setting, int expected_length) {
  const ReplyView reply = session.link.Reply();
  if (reply.Length() != expected_length) {
    Say(session, reply.SizeMismatchText(expected_length));
    return false;
  }
  if (!reply.Echoes(kReadGeneralSetting, setting)) {
    Say(session, reply.EchoMismatchText(kReadGeneralSetting, setting));
    return false;
  }
  return true;
}

bool Write(Session& session, std::initializer_list<int> bytes) {
  return session.link.SendVLMessage(false, bytes);
}

bool IsContinuationByte(unsigned char c) {
  return (c & 0xC0) == 0x80;
}

}  // namespace

std::string CutIdString(const std::string& text) {
  int characters = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsContinuationByte(static_cast<unsigned char>(text[i]))) continue;
    if (characters == kIdStringMaxLength) return text.substr(0, i);
    ++characters;
  }
  return text;
}

bool GetVersion(Session& session) {
  GeneralSettings& g = session.config.General;
  session.link.BidirectionalComm = true;
  g.VersionText = "Unknown";
  bool ok = false;
  if (ReadSetting(session, kSettingVersion)) {
    if (session.link.Reply().Length() != 6) {
      Say(session, "GetVersion: No valid response, size <> 6");
    } else if (!EchoIs(session, kSettingVersion)) {
      Say(session, "GetVersion: No valid response");
    } else {
      g.VersionText = to_string(ReplyData(session, 0)) + "." + to_string(ReplyData(session, 1)) +
                      "." + to_string(ReplyData(session, 2)) + "." +
                      to_string(ReplyData(session, 3));
      ok = true;
    }
  }
  session.view.ShowGeneralSettings();
  return ok;
}

bool ReadIdString(Session& session) {
  session.link.BidirectionalComm = true;
  if (!ReadSetting(session, kSettingIdString)) return false;
  const int length = session.link.Reply().Length();
  if (length <= 1 || !EchoIs(session, kSettingIdString)) {
    Say(session, "No valid response");
    return false;
  }
  std::string text;
  for (int i = 0; i < length - 2; ++i) text += static_cast<char>(ReplyData(session, i));
  session.config.General.IdString = text;
  session.view.ShowGeneralSettings();
  return true;
}

bool WriteIdString(Session& session) {
  GeneralSettings& g = session.config.General;
  std::string cut = CutIdString(g.IdString);
  if (cut != g.IdString) {
    g.IdString = cut;
    session.view.ShowGeneralSettings();
  }
  BoardMessage message;
  message.m[0] = kWriteGeneralSetting;
  message.m[1] = kSettingIdString;
  message.size = 2;
  int position = 0;
  for (size_t i = 0; i < cut.size(); ++i) {
    const auto c = static_cast<unsigned char>(cut[i]);
    if (!IsContinuationByte(c)) ++position;
    if (c > 127) {
      // Every message byte travels with bit 7 set, so only 7-bit text fits.
      session.dialogs().Message("ID String: character " + to_string(position) +
                                    " is not 7-bit ASCII text and cannot be sent to the board; "
                                    "nothing was sent",
                                MessageIcon::kError);
      return false;
    }
    message.m[message.size++] = c;
  }
  return session.link.SendVLMessage(false, message);
}

bool ReadDccSettings(Session& session) {
  GeneralSettings& g = session.config.General;
  session.link.BidirectionalComm = true;
  bool valid = ReadSetting(session, kSettingDccOptions);
  if (valid) {
    if (session.link.Reply().Length() != 3) {
      Say(session, "Received Address, cannot read DCC options");
    } else if (!EchoIs(session, kSettingDccOptions)) {
      Say(session, "Received Address: No valid response");
    } else {
      ApplyDccOptionsByte(g, ReplyData(session, 0));
    }
  }
  if (valid) {
    valid = ReadSetting(session, kSettingDccAddress);
    if (valid) {
      if (session.link.Reply().Length() != 4) {
        Say(session, "Get DCC Address: No valid response, size <> 4");
      } else if (!EchoIs(session, kSettingDccAddress)) {
        Say(session, "Get DCC Address: No valid response");
      } else {
        // The basic decoder address box validates what it is given.
        g.DccAddress = ClampDccAddress(g, ReplyData(session, 1) * 64 + ReplyData(session, 0));
      }
    }
  }
  if (valid) {
    valid = ReadSetting(session, kSettingXDccAddress);
    if (valid) {
      if (session.link.Reply().Length() != 4 || !EchoIs(session, kSettingXDccAddress)) {
        Say(session, "No valid response");
      } else {
        g.XDccAddress = ClampXDccAddress(g, ReplyData(session, 1) * 64 + ReplyData(session, 0));
      }
    }
  }
  session.view.ShowGeneralSettings();
  return valid;
}

bool WriteDccSettings(Session& session) {
  const GeneralSettings& g = session.config.General;
  if (!Write(session, {kWriteGeneralSetting, kSettingDccOptions, DccOptionsByte(g)})) {
    return false;
  }
  Write(session, {kWriteGeneralSetting, kSettingDccAddress, g.DccAddress & 63, g.DccAddress / 64});
  return Write(session,
               {kWriteGeneralSetting, kSettingXDccAddress, g.XDccAddress & 63, g.XDccAddress / 64});
}

bool ReadAddressSettings(Session& session) {
  GeneralSettings& g = session.config.General;
  session.link.BidirectionalComm = true;
  bool valid = ReadSetting(session, kSettingSerialAddressing);
  if (valid && CheckWorded(session, kSettingSerialAddressing, 4)) {
    const int flexible = ReplyData(session, 0);
    const int base_or_flag = ReplyData(session, 1);
    if (flexible != 0) {
      g.KRaddr = true;
      g.VLNative = false;
      g.KoraFlexAddress = base_or_flag;
    } else {
      g.KRaddr = false;
      g.VLNative = (base_or_flag & kNativeVelaFlag) != 0;
      g.KoraFlexAddress = 0;
    }
  }
  if (valid) {
    valid = ReadSetting(session, kSettingXAddress);
    if (valid && CheckWorded(session, kSettingXAddress, 3)) {
      const int v = ReplyData(session, 0);
      g.ForceXA = v == kEnforcedXAddress;
      g.GenXAddress = g.ForceXA ? 0 : v;
    }
  }
  if (valid) {
    valid = ReadSetting(session, kSettingGroupMask);
    if (valid && CheckWorded(session, kSettingGroupMask, 6)) {
      for (int k = 0; k < 4; ++k) {
        const int mask = ReplyData(session, k);
        for (int j = 0; j < 4; ++j) g.XGM[4 * k + j] = ((mask >> j) & 1) != 0;
      }
    }
  }
  session.view.ShowGeneralSettings();
  return valid;
}

bool WriteAddressSettings(Session& session) {
  const GeneralSettings& g = session.config.General;
  if (g.ForceXA) {
    // Enforced extended addressing leaves no room for the other address options.
    return Write(session, {kWriteGeneralSetting, kSettingSerialAddressing, 0, 0}) &&
           Write(session, {kWriteGeneralSetting, kSettingGroupMask, 0, 0, 0, 0}) &&
           Write(session, {kWriteGeneralSetting, kSettingXAddress, kEnforcedXAddress});
  }
  return Write(session, {kWriteGeneralSetting, kSettingSerialAddressing, g.KRaddr ? 1 : 0,
                         g.VLNative ? kNativeVelaFlag : g.KoraFlexAddress}) &&
         Write(session, {kWriteGeneralSetting, kSettingGroupMask, GroupMaskByte(g, 0),
                         GroupMaskByte(g, 1), GroupMaskByte(g, 2), GroupMaskByte(g, 3)}) &&
         Write(session, {kWriteGeneralSetting, kSettingXAddress, g.GenXAddress});
}

bool ReadLedConfig(Session& session) {
  GeneralSettings& g = session.config.General;
  session.link.BidirectionalComm = true;
  bool valid = true;
  for (auto [setting, row] :
       {std::pair{kSettingLedGreen, &g.LedGreen}, std::pair{kSettingLedOrange, &g.LedOrange}}) {
    valid = ReadSetting(session, setting);
    if (!valid) break;
    if (session.link.Reply().Length() != 3 || !EchoIs(session, setting)) {
      Say(session, "No valid response");
    } else {
      ApplyLedByte(*row, ReplyData(session, 0));
    }
  }
  session.view.ShowGeneralSettings();
  return valid;
}

bool WriteLedConfig(Session& session) {
  const GeneralSettings& g = session.config.General;
  if (!Write(session, {kWriteGeneralSetting, kSettingLedGreen, LedByte(g.LedGreen)})) return false;
  return Write(session, {kWriteGeneralSetting, kSettingLedOrange, LedByte(g.LedOrange)});
}

bool ReadHardwareConfig(Session& session) {
  GeneralSettings& g = session.config.General;
  session.link.BidirectionalComm = true;
  if (!ReadSetting(session, kSettingHardware)) return false;
  bool ok = true;
  if (session.link.Reply().Length() != 6) {
    Say(session, "No valid response size");
  } else if (!EchoIs(session, kSettingHardware)) {
    Say(session, "No valid response type");
  } else {
    for (int group = 0; group < 4; ++group) {
      const int b = ReplyData(session, group);
      if (b > 3) {
        Say(session, "No valid response byte");
        ok = false;
        break;
      }
      g.HwcSink[group] = (b & 1) != 0;
      g.HwcSource[group] = (b & 2) != 0;
    }
  }
  session.view.ShowGeneralSettings();
  return ok;
}

bool WriteHardwareConfig(Session& session) {
  const GeneralSettings& g = session.config.General;
  return Write(session, {kWriteGeneralSetting, kSettingHardware, HardwareByte(g, 0),
                         HardwareByte(g, 1), HardwareByte(g, 2), HardwareByte(g, 3)});
}

bool ReadSerialPortConfig(Session& session) {
  GeneralSettings& g = session.config.General;
  session.link.BidirectionalComm = true;
  if (!ReadSetting(session, kSettingSerialPort)) return false;
  if (CheckWorded(session, kSettingSerialPort, 4)) {
    const int line = ReplyData(session, 1);
    g.SerialEnable = ReplyData(session, 0) != 0;
    g.BaudIndex = line & 7;
    g.DataBitsIndex = (line >> 3) & 1;
    // Parity field 1 has no option; the options stay as they were.
    const int parity = (line >> 4) & 3;
    if (parity != 1) g.ParityIndex = parity;
    g.StopIndex = (line >> 6) & 1;
  }
  session.view.ShowGeneralSettings();
  return true;
}

bool WriteSerialPortConfig(Session& session) {
  const GeneralSettings& g = session.config.General;
  return Write(session, {kWriteGeneralSetting, kSettingSerialPort, g.SerialEnable ? 1 : 0,
                         SerialPortByte(g)});
}

std::string EraseFirstQuestion() {
  return std::string("WARNING !!") + kCrLf +
         "This operation will erase the Vela Configuration Memory" + kCrLf + "Continue?";
}

std::string EraseSecondQuestion() {
  return std::string("WARNING !!") + kCrLf +
         "This operation will erase the Vela Configuration Memory" + kCrLf +
         "The green LED on the Vela will be ON during this process" + kCrLf +
         "The erase process may take up to 45 seconds, please be patient" + kCrLf + kCrLf +
         "Do you want to cancel this operation?";
}

bool EraseConfiguration(Session& session) {
  UserDialogs& dialogs = session.dialogs();
  if (dialogs.Question(EraseFirstQuestion(), QuestionButtons::kOkCancel, MessageIcon::kWarning) !=
      Answer::kOk) {
    return false;
  }
  // The second question asks whether to cancel: only Cancel lets the erase go ahead.
  if (dialogs.Question(EraseSecondQuestion(), QuestionButtons::kOkCancel, MessageIcon::kWarning) !=
      Answer::kCancel) {
    return false;
  }
  // The board is busy erasing for up to 45 seconds and does not answer; waiting for a reply
  // would only end in the no-reply message.
  const bool bidirectional = session.link.BidirectionalComm;
  session.link.BidirectionalComm = false;
  const bool ok =
      Write(session, {kWriteGeneralSetting, kSettingVersion, 23, 101, 9, 66, 115, 30, 88, 51});
  session.link.BidirectionalComm = bidirectional;
  return ok;
}

}  // namespace vela
