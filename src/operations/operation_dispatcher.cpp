#include "operations/operation_dispatcher.h"

#include <array>

#include "operations/event_commands.h"
#include "operations/general_commands.h"
#include "operations/operation_run.h"
#include "operations/pin_program_commands.h"
#include "operations/verification.h"

namespace vela {
namespace {

constexpr const char* kVerifyOk = "Verify OK";
constexpr const char* kVerificationStopped = "Verification Stopped";

// Runs `step` for pins 0..31, stopping at the first failure or cancel.
template <typename Step>
bool AllPins(OperationRun& c, Step step) {
  for (int pin = 0; pin < kPinCount; ++pin) {
    c.Enter(Stage::kPins, pin);
    if (!step(c.s, pin) || c.Cancelled()) return false;
  }
  return true;
}

// The refresh after an operation that read into the configuration; a cancelled read first
// puts back the part it was in.
void FullRefresh(OperationRun& c) {
  c.KeepWholeParts();
  Session& s = c.s;
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

// A cancelled verification says so in its report, and is never "Verify OK".
bool NoteCancel(OperationRun& c) {
  if (!c.Cancelled()) return false;
  c.report->AppendReportLine(c.CancelText());
  return true;
}

bool RunReadAll(OperationRun& c) {
  Session& s = c.s;
  c.Enter(Stage::kGeneral);
  bool ok = GetVersion(s) && ReadIdString(s) && ReadDccSettings(s) && ReadAddressSettings(s) &&
            ReadLedConfig(s) && ReadHardwareConfig(s) && ReadSerialPortConfig(s) &&
            !c.Cancelled() && AllPins(c, ReadPinComplete);
  if (ok) {
    c.Enter(Stage::kEvents);
    ok = ReadAllEvents(s);
    if (ok) ReadEnableMap(s);
  }
  FullRefresh(c);
  return ok;
}

bool RunWriteAll(OperationRun& c) {
  Session& s = c.s;
  c.Enter(Stage::kGeneral);
  bool ok = WriteIdString(s) && WriteDccSettings(s) && WriteLedConfig(s) &&
            WriteHardwareConfig(s) && WriteSerialPortConfig(s) && AllPins(c, WritePinComplete);
  if (ok) c.Enter(Stage::kEvents);
  ok = ok && WriteAllEvents(s) && WriteEnableMap(s);
  if (ok) {
    c.Enter(Stage::kAddress);
    ok = WriteAddressSettings(s);
  }
  s.view.HideLabelAction();
  return ok;
}

bool RunVerifyAll(OperationRun& c) {
  c.Enter(Stage::kGeneral);
  bool ok = VerifyGeneralSettings(c.s, *c.report);
  if (ok) c.Enter(Stage::kEvents);
  ok = ok && ECInit(c.s, *c.report);
  ok = ok && VerifyPins(c.s, *c.report, [&c](int pin) { c.Enter(Stage::kPins, pin); });
  if (NoteCancel(c)) ok = false;
  c.report->AppendText(ok ? kVerifyOk : kVerificationStopped);
  return ok;
}

bool RunVerifyAllPins(OperationRun& c) {
  const bool ok = VerifyPins(c.s, *c.report, [&c](int pin) { c.Enter(Stage::kPins, pin); });
  if (NoteCancel(c)) return false;
  if (ok) c.report->AppendText(kVerifyOk);
  return ok;
}

bool RunECVerify(OperationRun& c) {
  c.Enter(Stage::kEvents);
  const bool ok = ECInit(c.s, *c.report);
  if (NoteCancel(c)) return false;
  if (ok) c.report->AppendReportLine(kVerifyOk);
  return ok;
}

bool RunReadPin(OperationRun& c) {
  c.Enter(Stage::kPin);
  const bool ok = ReadPinComplete(c.s, c.current);
  FullRefresh(c);
  return ok;
}

bool RunWritePin(OperationRun& c) {
  c.Enter(Stage::kPin);
  const bool ok = WritePinComplete(c.s, c.current);
  c.s.view.HideLabelAction();
  return ok;
}

bool RunReadDevice(OperationRun& c) {
  c.Enter(Stage::kDevice);
  const bool ok = ReadDeviceFromBoard(c.s, c.current);
  FullRefresh(c);
  return ok;
}

// Every pin of the device the current pin belongs to, in pin order.
bool RunWriteDevice(OperationRun& c) {
  Session& s = c.s;
  const int head = c.current + s.config.Pins[c.current].DeviceRef;
  bool ok = true;
  for (int p = 0; p < kPinCount; ++p) {
    if (p + s.config.Pins[p].DeviceRef != head) continue;
    c.Enter(Stage::kDevice, p);
    if (!WritePinComplete(s, p)) {
      ok = false;
      break;
    }
  }
  s.view.HideLabelAction();
  return ok;
}

bool RunReadAllPins(OperationRun& c) {
  const bool ok = AllPins(c, ReadPinComplete);
  FullRefresh(c);
  return ok;
}

bool RunWriteAllPins(OperationRun& c) {
  const bool ok = AllPins(c, WritePinComplete);
  c.s.view.HideLabelAction();
  return ok;
}

bool RunPAspReadPin(OperationRun& c) {
  c.Enter(Stage::kAspects);
  const bool ok = ReadPinProgram(c.s, c.current);
  c.KeepWholeParts();
  if (ok || c.Cancelled()) {
    c.s.view.ShowPin();
    c.s.view.ShowAddressCounts();
  }
  c.s.view.HideLabelAction();
  return ok;
}

bool RunPAspWritePin(OperationRun& c) {
  c.Enter(Stage::kAspects);
  const bool ok = WritePinProgram(c.s, c.current);
  c.s.view.HideLabelAction();
  return ok;
}

bool RunECWriteAll(OperationRun& c) {
  c.Enter(Stage::kEvents);
  const bool ok = WriteAllEvents(c.s);
  c.s.view.HideLabelAction();
  return ok;
}

bool RunECReadAll(OperationRun& c) {
  c.Enter(Stage::kEvents);
  const bool ok = ReadAllEvents(c.s);
  c.KeepWholeParts();
  c.s.view.HideLabelAction();
  return ok;
}

struct Operation {
  const char* name;   // as the buttons queue it
  const char* title;  // as the user knows it: progress, cancel message, undo entry
  OperationKind kind;
  std::array<Stage, 4> stages;  // the parts it goes through, in order
  bool (*run)(OperationRun&);
};

using K = OperationKind;
using S = Stage;

// The fifteen operations, in the order OperationNames lists them.
const Operation kOperations[] = {
    {"ReadAll", "Read All", K::kRead, {S::kGeneral, S::kPins, S::kEvents}, RunReadAll},
    {"WriteAll",
     "Write All",
     K::kWrite,
     {S::kGeneral, S::kPins, S::kEvents, S::kAddress},
     RunWriteAll},
    {"VerifyAll",
     "Verify All",
     K::kVerification,
     {S::kGeneral, S::kEvents, S::kPins},
     RunVerifyAll},
    {"ReadPin", "Read Pin", K::kRead, {S::kPin}, RunReadPin},
    {"WritePin", "Write Pin", K::kWrite, {S::kPin}, RunWritePin},
    {"ReadDevice", "Read Device", K::kRead, {S::kDevice}, RunReadDevice},
    {"WriteDevice", "Write Device", K::kWrite, {S::kDevice}, RunWriteDevice},
    {"ReadAllPins", "Read All Devices", K::kRead, {S::kPins}, RunReadAllPins},
    {"WriteAllPins", "Write All Devices", K::kWrite, {S::kPins}, RunWriteAllPins},
    {"PAspReadPin", "Read Aspects", K::kRead, {S::kAspects}, RunPAspReadPin},
    {"PAspWritePin", "Write Aspects", K::kWrite, {S::kAspects}, RunPAspWritePin},
    {"VerifyAllPins", "Verify All Pins", K::kVerification, {S::kPins}, RunVerifyAllPins},
    {"ECWriteAll", "Write All Events", K::kWrite, {S::kEvents}, RunECWriteAll},
    {"ECReadAll", "Read All Events", K::kRead, {S::kEvents}, RunECReadAll},
    {"ECVerify", "Verify Event Control", K::kVerification, {S::kEvents}, RunECVerify},
};

const Operation* FindOperation(const std::string& name) {
  for (const Operation& op : kOperations) {
    if (name == op.name) return &op;
  }
  return nullptr;
}

bool IsKind(const std::string& name, OperationKind kind) {
  const Operation* op = FindOperation(name);
  return op && op->kind == kind;
}

}  // namespace

const std::vector<std::string>& OperationDispatcher::OperationNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> list;
    for (const Operation& op : kOperations) list.emplace_back(op.name);
    return list;
  }();
  return names;
}

bool OperationDispatcher::IsVerification(const std::string& name) {
  return IsKind(name, OperationKind::kVerification);
}

bool OperationDispatcher::ReplacesTables(const std::string& name) {
  return name == "ReadAll" || name == "ReadAllPins" || name == "ECReadAll";
}

bool OperationDispatcher::IsRead(const std::string& name) {
  return IsKind(name, OperationKind::kRead);
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

std::string OperationDispatcher::Title(const std::string& name) {
  const Operation* op = FindOperation(name);
  return op ? op->title : name;
}

bool OperationDispatcher::Run(const std::string& name, Session& s, OperationObserver* observer) {
  const Operation* op = FindOperation(name);
  if (!op) return false;
  last_ok_ = false;
  cancel_text_.clear();
  s.link.ResetTally();
  OperationRun run(s, op->title, op->kind, op->stages, observer);
  if (op->kind == OperationKind::kVerification) {
    VerificationReport report;
    run.report = &report;
    last_ok_ = op->run(run);
    report_ = report.Text();
    report_pending_ = true;
    s.view.HideLabelAction();
  } else {
    last_ok_ = op->run(run) && !run.Cancelled();
  }
  cancel_text_ = run.CancelText();
  last_tally_ = s.link.Tally();
  return true;
}

}  // namespace vela
