#include "operations/operation_dispatcher.h"

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

// What one run of an operation works with.
struct RunContext {
  Session& s;
  const std::string& name;
  OperationObserver* observer;
  int current;                 // the pin shown when the run started
  VerificationReport* report;  // a verification's report, null otherwise

  void Progress(const std::string& step) const {
    if (observer) observer->OnProgress(name, step, 0, 0);
  }
  void PinProgress() const { Progress("Pin " + std::to_string(current + s.config.NumberBase)); }
};

bool RunReadAll(RunContext& c) {
  Session& s = c.s;
  c.Progress("General settings");
  bool ok = GetVersion(s) && ReadIdString(s) && ReadDccSettings(s) && ReadAddressSettings(s) &&
            ReadLedConfig(s) && ReadHardwareConfig(s) && ReadSerialPortConfig(s) &&
            AllPins(s, c.name, c.observer, ReadPinComplete);
  if (ok) {
    c.Progress("Event control");
    ok = ReadAllEvents(s);
    if (ok) ReadEnableMap(s);
  }
  FullRefresh(s);
  return ok;
}

bool RunWriteAll(RunContext& c) {
  Session& s = c.s;
  c.Progress("General settings");
  bool ok = WriteIdString(s) && WriteDccSettings(s) && WriteLedConfig(s) &&
            WriteHardwareConfig(s) && WriteSerialPortConfig(s) &&
            AllPins(s, c.name, c.observer, WritePinComplete);
  if (ok) c.Progress("Event control");
  ok = ok && WriteAllEvents(s) && WriteEnableMap(s);
  if (ok) {
    c.Progress("Address settings");
    ok = WriteAddressSettings(s);
  }
  s.view.HideLabelAction();
  return ok;
}

bool RunVerifyAll(RunContext& c) {
  c.Progress("General settings");
  bool ok = VerifyGeneralSettings(c.s, *c.report);
  if (ok) c.Progress("Event control");
  ok = ok && ECInit(c.s, *c.report);
  ok = ok && VerifyPins(c.s, *c.report, [&c](int pin) { ReportPin(c.s, c.name, c.observer, pin); });
  c.report->AppendText(ok ? kVerifyOk : kVerificationStopped);
  return ok;
}

bool RunVerifyAllPins(RunContext& c) {
  const bool ok =
      VerifyPins(c.s, *c.report, [&c](int pin) { ReportPin(c.s, c.name, c.observer, pin); });
  if (ok) c.report->AppendText(kVerifyOk);
  return ok;
}

bool RunECVerify(RunContext& c) {
  c.Progress("Event control");
  const bool ok = ECInit(c.s, *c.report);
  if (ok) c.report->AppendReportLine(kVerifyOk);
  return ok;
}

bool RunReadPin(RunContext& c) {
  c.PinProgress();
  const bool ok = ReadPinComplete(c.s, c.current);
  FullRefresh(c.s);
  return ok;
}

bool RunWritePin(RunContext& c) {
  c.PinProgress();
  const bool ok = WritePinComplete(c.s, c.current);
  c.s.view.HideLabelAction();
  return ok;
}

bool RunReadDevice(RunContext& c) {
  c.Progress("Device");
  const bool ok = ReadDeviceFromBoard(c.s, c.current);
  FullRefresh(c.s);
  return ok;
}

// Every pin of the device the current pin belongs to, in pin order.
bool RunWriteDevice(RunContext& c) {
  Session& s = c.s;
  const int head = c.current + s.config.Pins[c.current].DeviceRef;
  bool ok = true;
  for (int p = 0; p < kPinCount; ++p) {
    if (p + s.config.Pins[p].DeviceRef != head) continue;
    ReportPin(s, c.name, c.observer, p);
    if (!WritePinComplete(s, p)) {
      ok = false;
      break;
    }
  }
  s.view.HideLabelAction();
  return ok;
}

bool RunReadAllPins(RunContext& c) {
  const bool ok = AllPins(c.s, c.name, c.observer, ReadPinComplete);
  FullRefresh(c.s);
  return ok;
}

bool RunWriteAllPins(RunContext& c) {
  const bool ok = AllPins(c.s, c.name, c.observer, WritePinComplete);
  c.s.view.HideLabelAction();
  return ok;
}

bool RunPAspReadPin(RunContext& c) {
  const bool ok = ReadPinProgram(c.s, c.current);
  if (ok) {
    c.s.view.ShowPin();
    c.s.view.ShowAddressCounts();
  }
  c.s.view.HideLabelAction();
  return ok;
}

bool RunPAspWritePin(RunContext& c) {
  const bool ok = WritePinProgram(c.s, c.current);
  c.s.view.HideLabelAction();
  return ok;
}

bool RunECWriteAll(RunContext& c) {
  c.Progress("Event control");
  const bool ok = WriteAllEvents(c.s);
  c.s.view.HideLabelAction();
  return ok;
}

bool RunECReadAll(RunContext& c) {
  c.Progress("Event control");
  const bool ok = ReadAllEvents(c.s);
  c.s.view.HideLabelAction();
  return ok;
}

enum class Kind { kRead, kWrite, kVerification };

struct Operation {
  const char* name;  // as the buttons queue it
  Kind kind;
  bool (*run)(RunContext&);
};

// The fifteen operations, in the order OperationNames lists them.
constexpr Operation kOperations[] = {
    {"ReadAll", Kind::kRead, RunReadAll},
    {"WriteAll", Kind::kWrite, RunWriteAll},
    {"VerifyAll", Kind::kVerification, RunVerifyAll},
    {"ReadPin", Kind::kRead, RunReadPin},
    {"WritePin", Kind::kWrite, RunWritePin},
    {"ReadDevice", Kind::kRead, RunReadDevice},
    {"WriteDevice", Kind::kWrite, RunWriteDevice},
    {"ReadAllPins", Kind::kRead, RunReadAllPins},
    {"WriteAllPins", Kind::kWrite, RunWriteAllPins},
    {"PAspReadPin", Kind::kRead, RunPAspReadPin},
    {"PAspWritePin", Kind::kWrite, RunPAspWritePin},
    {"VerifyAllPins", Kind::kVerification, RunVerifyAllPins},
    {"ECWriteAll", Kind::kWrite, RunECWriteAll},
    {"ECReadAll", Kind::kRead, RunECReadAll},
    {"ECVerify", Kind::kVerification, RunECVerify},
};

const Operation* FindOperation(const std::string& name) {
  for (const Operation& op : kOperations) {
    if (name == op.name) return &op;
  }
  return nullptr;
}

bool IsKind(const std::string& name, Kind kind) {
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
  return IsKind(name, Kind::kVerification);
}

bool OperationDispatcher::ReplacesTables(const std::string& name) {
  return name == "ReadAll" || name == "ReadAllPins" || name == "ECReadAll";
}

bool OperationDispatcher::IsRead(const std::string& name) {
  return IsKind(name, Kind::kRead);
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
  const Operation* op = FindOperation(name);
  if (!op) return false;
  last_ok_ = false;
  s.link.ResetTally();
  RunContext context{s, name, observer, s.config.CurrentPin, nullptr};
  if (op->kind == Kind::kVerification) {
    VerificationReport report;
    context.report = &report;
    last_ok_ = op->run(context);
    report_ = report.Text();
    report_pending_ = true;
    s.view.HideLabelAction();
  } else {
    last_ok_ = op->run(context);
  }
  last_tally_ = s.link.Tally();
  return true;
}

}  // namespace vela
