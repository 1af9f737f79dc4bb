#include "operations/operation_dispatcher.h"

#include <algorithm>

#include "operations/event_commands.h"
#include "operations/general_commands.h"
#include "operations/pin_program_commands.h"
#include "operations/verification.h"

namespace vela {
namespace {

constexpr const char* kVerifyOk = "Verify OK";
constexpr const char* kVerificationStopped = "Verification Stopped";

// Tells the observer that the operation works on pin n of 32 (shown with the numbering).
void ReportPin(const Session& s, const std::string& name, OperationObserver* observer, int pin) {
  if (observer) {
    observer->OnProgress(name, "Pin " + std::to_string(pin + s.config.NumberBase), pin, kPinCount);
  }
}

// Runs `step` for pins 0..31, stopping at the first failure.
template <typename Step>
bool AllPins(Session& s, const std::string& name, OperationObserver* observer, Step step) {
  for (int pin = 0; pin < kPinCount; ++pin) {
    ReportPin(s, name, observer, pin);
    if (!step(s, pin)) return false;
  }
  return true;
}

// The refresh after an operation that read into the configuration.
void FullRefresh(Session& s) {
  s.config.ComputeDccStarts();
  s.view.ShowAddressDisplays();
  s.config.ComputeKoraStarts();
  s.view.ShowAddressDisplays();
  s.config.ComputeXDccStarts();
  s.view.ShowAddressDisplays();
  s.view.ShowGeneralSettings();
  s.view.ShowPin();
  s.view.ShowAddressCounts();
  s.view.HideLabelAction();
  s.view.ShowPinConfig();
  s.view.RefreshEventControl();
}

}  // namespace

const std::vector<std::string>& OperationDispatcher::OperationNames() {
  static const std::vector<std::string> names = {
      "ReadAll",      "WriteAll",      "VerifyAll",   "ReadPin",      "WritePin",
      "ReadDevice",   "WriteDevice",   "ReadAllPins", "WriteAllPins", "PAspReadPin",
      "PAspWritePin", "VerifyAllPins", "ECWriteAll",  "ECReadAll",    "ECVerify"};
  return names;
}

bool OperationDispatcher::IsVerification(const std::string& name) {
  return name == "VerifyAll" || name == "VerifyAllPins" || name == "ECVerify";
}

bool OperationDispatcher::IsRead(const std::string& name) {
  return name == "ReadAll" || name == "ReadPin" || name == "ReadDevice" || name == "ReadAllPins" ||
         name == "PAspReadPin" || name == "ECReadAll";
}

bool OperationDispatcher::CheckBeforeQueue(const std::string& name, Session& s) {
  if (IsVerification(name) && !s.link.IsLinkOpen()) {
    s.dialogs().Message(kSelectCommunicationsPort);
    return false;
  }
  if (name == "WriteDevice" && !s.config.RefersToDeviceHead(s.config.CurrentPin)) {
    s.dialogs().Message("Referral is not a device", MessageIcon::kWarning);
    return false;
  }
  return true;
}

std::string OperationDispatcher::TakePending() {
  std::string name;
  name.swap(pending_);
  return name;
}

bool OperationDispatcher::Run(const std::string& name, Session& s, OperationObserver* observer) {
  const auto& names = OperationNames();
  if (std::find(names.begin(), names.end(), name) == names.end()) return false;
  auto progress = [&](const std::string& step) {
    if (observer) observer->OnProgress(name, step, 0, 0);
  };
  const int current = s.config.CurrentPin;
  bool& ok = last_ok_;
  ok = false;
  s.link.ResetTally();
  // Whatever branch ran, the tally is taken when Run returns.
  struct TakeTally {
    OperationDispatcher& d;
    BoardLink& link;
    ~TakeTally() { d.last_tally_ = link.Tally(); }
  } take_tally{*this, s.link};

  if (name == "ReadAll") {
    progress("General settings");
    ok = GetVersion(s) && ReadIdString(s) && ReadDccSettings(s) && ReadAddressSettings(s) &&
         ReadLedConfig(s) && ReadHardwareConfig(s) && ReadSerialPortConfig(s) &&
         AllPins(s, name, observer, ReadPinComplete);
    if (ok) {
      progress("Event control");
      ok = ReadAllEvents(s);
      if (ok) ReadEnableMap(s);
    }
    FullRefresh(s);
  } else if (name == "WriteAll") {
    progress("General settings");
    ok = WriteIdString(s) && WriteDccSettings(s) && WriteLedConfig(s) && WriteHardwareConfig(s) &&
         WriteSerialPortConfig(s) && AllPins(s, name, observer, WritePinComplete);
    if (ok) progress("Event control");
    ok = ok && WriteAllEvents(s) && WriteEnableMap(s);
    if (ok) {
      progress("Address settings");
      ok = WriteAddressSettings(s);
    }
    s.view.HideLabelAction();
  } else if (IsVerification(name)) {
    VerificationReport report;
    auto pin_progress = [&](int pin) { ReportPin(s, name, observer, pin); };
    if (name == "VerifyAll") {
      progress("General settings");
      ok = VerifyGeneralSettings(s, report);
      if (ok) progress("Event control");
      ok = ok && ECInit(s, report);
      ok = ok && VerifyPins(s, report, pin_progress);
      report.AppendText(ok ? kVerifyOk : kVerificationStopped);
    } else if (name == "VerifyAllPins") {
      ok = VerifyPins(s, report, pin_progress);
      if (ok) report.AppendText(kVerifyOk);
    } else {
      progress("Event control");
      ok = ECInit(s, report);
      if (ok) report.AppendReportLine(kVerifyOk);
    }
    report_ = report.Text();
    report_pending_ = true;
    s.view.HideLabelAction();
  } else if (name == "ReadPin") {
    progress("Pin " + std::to_string(current + s.config.NumberBase));
    ok = ReadPinComplete(s, current);
    FullRefresh(s);
  } else if (name == "WritePin") {
    progress("Pin " + std::to_string(current + s.config.NumberBase));
    ok = WritePinComplete(s, current);
    s.view.HideLabelAction();
  } else if (name == "ReadDevice") {
    progress("Device");
    ok = ReadDeviceFromBoard(s, current);
    FullRefresh(s);
  } else if (name == "WriteDevice") {
    const int head = current + s.config.Pins[current].DeviceRef;
    ok = true;
    for (int p = 0; p < kPinCount; ++p) {
      if (p + s.config.Pins[p].DeviceRef != head) continue;
      ReportPin(s, name, observer, p);
      if (!WritePinComplete(s, p)) {
        ok = false;
        break;
      }
    }
    s.view.HideLabelAction();
  } else if (name == "ReadAllPins") {
    ok = AllPins(s, name, observer, ReadPinComplete);
    FullRefresh(s);
  } else if (name == "WriteAllPins") {
    ok = AllPins(s, name, observer, WritePinComplete);
    s.view.HideLabelAction();
  } else if (name == "PAspReadPin") {
    ok = ReadPinProgram(s, current);
    if (ok) {
      s.view.ShowPin();
      s.view.ShowAddressCounts();
    }
    s.view.HideLabelAction();
  } else if (name == "PAspWritePin") {
    ok = WritePinProgram(s, current);
    s.view.HideLabelAction();
  } else if (name == "ECWriteAll") {
    progress("Event control");
    ok = WriteAllEvents(s);
    s.view.HideLabelAction();
  } else if (name == "ECReadAll") {
    progress("Event control");
    ok = ReadAllEvents(s);
    s.view.HideLabelAction();
  }
  return true;
}

}  // namespace vela
