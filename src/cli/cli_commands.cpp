#include "cli/cli_commands.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "cli/cli_dialogs.h"
#include "cli/progress_line.h"
#include "files/data_file.h"
#include "files/device_library.h"
#include "files/file_io.h"
#include "link/board_link.h"
#include "link/message_monitor.h"
#include "link/qt/qt_serial_port.h"
#include "link/station_procedures.h"
#include "model/config_compare.h"
#include "operations/general_commands.h"
#include "operations/operation_dispatcher.h"
#include "sim/demo_board.h"

namespace vela::cli {
namespace {

void PrintLines(std::ostream& out, const std::string& crlf_text) {
  std::string text = CliDialogs::PlainLines(crlf_text);
  out << text;
  if (!text.empty() && text.back() != '\n') out << '\n';
}

// Everything a board command works with.
class BoardSession {
 public:
  BoardSession(const Options& o, CliDialogs& dialogs) : options_(o), dialogs_(dialogs) {
    if (o.demo) {
      demo_ = std::make_unique<sim::DemoBoard>(clock_, o.module, o.xaddress.value_or(0));
      port_ = &demo_->Port();
    } else {
      serial_port_ = std::make_unique<QtSerialPort>();
      port_ = serial_port_.get();
    }
    link_ = std::make_unique<BoardLink>(*port_, clock_, dialogs_, log_);
  }

  // Opens the port and sets the link up as the options say; false with a message otherwise.
  bool Connect(std::ostream& err) {
    const std::string name = options_.demo ? sim::kDemoBoardName : options_.port;
    std::string reason;
    if (!link_->OpenPort(name, options_.bit_rate_index, &reason)) {
      err << "cannot open " << name << ": " << reason << '\n';
      return false;
    }
    link_->BidirectionalComm = !options_.unidirectional;
    if (options_.xaddress) {
      link_->UseExtendedAddr = true;
      link_->ModuleXAddress = *options_.xaddress;
    }
    if (options_.tunnel && !SetCorsanTunneling(*link_, true)) {
      err << "tunnelling through the command station is not available\n";
      return false;
    }
    link_->SetModuleAddress(options_.module);
    return true;
  }

  BoardLink& link() { return *link_; }
  const MemoryTrafficLog& log() const { return log_; }

 private:
  const Options& options_;
  CliDialogs& dialogs_;
  SteadyClock clock_;
  MemoryTrafficLog log_;
  std::unique_ptr<sim::DemoBoard> demo_;
  std::unique_ptr<SerialPort> serial_port_;
  SerialPort* port_ = nullptr;
  std::unique_ptr<BoardLink> link_;
};

// The closing word of a write on what the board confirmed; the last line on stderr.
void ReportConfirmations(const ExchangeTally& tally, std::ostream& err) {
  if (tally.unidirectional) {
    err << "velacli: Bidirectional Comm. is off: the board confirmed none of the " << tally.sent
        << " message(s) sent\n";
  } else if (tally.unconfirmed > 0) {
    err << "velacli: " << tally.unconfirmed << " of " << tally.sent
        << " message(s) went unconfirmed; verify the board against the file\n";
  }
}

bool WriteLog(const std::string& path, const std::string& text, std::ostream& err) {
  std::string reason;
  if (!SaveFileSafely(path, text, reason)) {
    err << "cannot write the log to " << path << ": " << reason << '\n';
    return false;
  }
  return true;
}

// Runs one of the dispatcher's operations: a verification prints its report, a complete read
// saves OUT.dat, a write says what the board left unconfirmed.
int RunOperation(const char* operation, const Options& o, Session& session, CliDialogs& dialogs,
                 std::ostream& out, std::ostream& err) {
  OperationDispatcher dispatcher;
  ProgressLine progress(err, StderrIsTerminal());
  if (!OperationDispatcher::CheckBeforeQueue(operation, session)) return kExitFailed;
  dispatcher.Run(operation, session, &progress);
  progress.Finish();
  const ExchangeTally& tally = dispatcher.LastTally();
  if (OperationDispatcher::IsVerification(operation)) {
    PrintLines(out, dispatcher.ReportText());
    return dispatcher.LastSucceeded() ? kExitOk : kExitFailed;
  }
  if (!OperationDispatcher::IsRead(operation)) {
    ReportConfirmations(tally, err);
    return dispatcher.LastWriteConfirmed() ? kExitOk : kExitFailed;
  }
  if (!dispatcher.LastReadComplete()) {
    if (dispatcher.LastSucceeded()) {
      err << "velacli: " << tally.failures << " exchange(s) failed; " << o.args[0]
          << " was not saved\n";
    }
    return kExitFailed;
  }
  return SaveDataFile(session.config, o.args[0], o.compact, dialogs) ? kExitOk : kExitUsage;
}

// Runs a board command and writes --log after it. A caller with output of its own to come
// passes `log` and writes the log itself, last.
int RunBoardCommand(const Options& o, BoardConfig& config, CliDialogs& dialogs, std::ostream& out,
                    std::ostream& err, std::string* log = nullptr) {
  BoardSession board(o, dialogs);
  ConfigView view;
  Session session{board.link(), config, view};
  int status = kExitFailed;
  if (board.Connect(err)) {
    // Only what the command itself sends counts, not the set-up of the tunnel.
    board.link().ResetTally();
    const CommandSpec* spec = FindCommand(o.command);
    if (const char* operation = spec ? spec->operation : nullptr) {
      status = RunOperation(operation, o, session, dialogs, out, err);
    } else if (o.command == "compare") {
      // "Read All" into the copy of IN.dat the caller compares with; saves nothing.
      OperationDispatcher dispatcher;
      ProgressLine progress(err, StderrIsTerminal());
      dispatcher.Run("ReadAll", session, &progress);
      progress.Finish();
      // The read rule of read-all: a failed exchange leaves values unread, so nothing compares.
      status = dispatcher.LastReadComplete() ? kExitOk : kExitFailed;
      if (dispatcher.LastSucceeded() && status != kExitOk) {
        err << "velacli: " << dispatcher.LastTally().failures
            << " exchange(s) failed; nothing was compared\n";
      }
    } else if (o.command == "version") {
      status = GetVersion(session) ? kExitOk : kExitFailed;
      out << config.General.VersionText << '\n';
    } else if (o.command == "erase") {
      status = EraseConfiguration(session) ? kExitOk : kExitFailed;
      const ExchangeTally& tally = board.link().Tally();
      if (tally.sent > 0) {
        if (tally.LostConfirmations() > 0) status = kExitFailed;
        ReportConfirmations(tally, err);
      }
    } else if (o.command == "transparent") {
      status = ActivateTransparentMode(board.link()) ? kExitOk : kExitFailed;
    } else if (o.command == "monitor") {
      MessageMonitor monitor;
      if (monitor.Start(board.link())) {
        out << "Start Monitoring\n" << std::flush;
        SteadyClock clock;
        monitor.RunFor(board.link(), clock,
                       std::chrono::microseconds(static_cast<int64_t>(o.seconds * 1e6)),
                       [&out](const std::string& line) { out << line << std::endl; });
        // A failed poll stopped it early: that is a failure of the command.
        const bool failed = !monitor.Running();
        monitor.Stop();
        out << "Monitoring Stopped\n";
        status = !failed && board.link().IsLinkOpen() ? kExitOk : kExitFailed;
      }
    }
  }
  if (log != nullptr) {
    *log = board.log().Text();
  } else if (!o.log_file.empty() && !WriteLog(o.log_file, board.log().Text(), err)) {
    status = kExitUsage;
  }
  return status;
}

// PIN as the user types it: NumberBase .. NumberBase + 31.
bool ParsePin(const std::string& text, int number_base, int& pin, std::ostream& err) {
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < number_base || value > number_base + 31) {
    err << "velacli: PIN takes " << number_base << ".." << number_base + 31 << ", not \"" << text
        << "\"\n";
    return false;
  }
  pin = static_cast<int>(value) - number_base;
  return true;
}

int RunDeviceCommand(const Options& o, BoardConfig& config, CliDialogs& dialogs, std::ostream& out,
                     std::ostream& err) {
  if (o.command == "device-list") {
    DeviceLibrary library;
    if (!library.ReloadFrom(o.args[0], false, dialogs)) return kExitUsage;
    for (const std::string& name : library.Devices()) out << name << '\n';
    return kExitOk;
  }
  if (!LoadDataFile(config, o.args[0], dialogs)) return kExitUsage;
  if (o.command == "device-load") {
    DeviceLibrary library;
    if (!library.ReloadFrom(o.args[1], false, dialogs)) return kExitUsage;
    if (!ParsePin(o.args[3], config.NumberBase, config.CurrentPin, err)) return kExitUsage;
    const auto& names = library.Devices();
    auto found = std::find(names.begin(), names.end(), o.args[2]);
    const int index = found == names.end() ? -1 : static_cast<int>(found - names.begin());
    if (!library.LoadDevice(config, o.args[2], index, dialogs)) return kExitUsage;
    return SaveDataFile(config, o.args[4], o.compact, dialogs) ? kExitOk : kExitUsage;
  }
  // device-save
  if (!ParsePin(o.args[1], config.NumberBase, config.CurrentPin, err)) return kExitUsage;
  return SaveDevice(config, o.args[2], dialogs) ? kExitOk : kExitUsage;
}

// One line per difference on stdout (none with --brief), the count on stderr; exit 0 when
// the two are the same, 1 when they differ.
int PrintDifferences(const BoardConfig& a, const BoardConfig& b, const Options& o,
                     std::ostream& out, std::ostream& err) {
  const InstructionSet instructions;
  const std::vector<ConfigDifference> differences = CompareConfigs(a, b, instructions);
  if (!o.brief) {
    for (const ConfigDifference& d : differences) out << d.Line() << '\n';
  }
  out << std::flush;
  err << DifferenceCount(differences.size()) << '\n';
  return differences.empty() ? kExitOk : kExitFailed;
}

}  // namespace

int RunCommand(const Options& o, std::ostream& out, std::ostream& err) {
  CliDialogs dialogs(err, o.yes);
  BoardConfig config;
  config.NumberBase = o.numbering;
  if (o.command == "ports") {
    for (const PortInfo& p : QtSerialPort::ListPorts()) {
      out << p.system_name;
      if (!p.description.empty()) out << '\t' << p.description;
      out << '\n';
    }
    return kExitOk;
  }
  if (!o.config_file.empty() && !LoadDataFile(config, o.config_file, dialogs)) return kExitUsage;
  // A board operation that writes or verifies starts from its IN.dat.
  const CommandSpec* spec = FindCommand(o.command);
  if (spec && spec->operation && !OperationDispatcher::IsRead(spec->operation) &&
      !LoadDataFile(config, o.args[0], dialogs)) {
    return kExitUsage;
  }
  if (o.command == "convert") {
    if (!LoadDataFile(config, o.args[0], dialogs)) return kExitUsage;
    return SaveDataFile(config, o.args[1], o.compact, dialogs) ? kExitOk : kExitUsage;
  }
  if (o.command == "diff") {
    // Each file stands on its own over the start-up configuration.
    BoardConfig a = config;
    BoardConfig b = config;
    if (!LoadDataFile(a, o.args[0], dialogs) || !LoadDataFile(b, o.args[1], dialogs)) {
      return kExitUsage;
    }
    return PrintDifferences(a, b, o, out, err);
  }
  if (o.command == "compare") {
    if (!LoadDataFile(config, o.args[0], dialogs)) return kExitUsage;
    // What the board does not hold (descriptions, names) stays as the file has it, as after
    // "Read All" in the window.
    BoardConfig from_board = config;
    std::string log;
    int status = RunBoardCommand(o, from_board, dialogs, out, err, &log);
    if (status == kExitOk) status = PrintDifferences(config, from_board, o, out, err);
    out.flush();
    if (!o.log_file.empty() && !WriteLog(o.log_file, log, err)) status = kExitUsage;
    return status;
  }
  if (o.command.rfind("device-", 0) == 0) return RunDeviceCommand(o, config, dialogs, out, err);
  return RunBoardCommand(o, config, dialogs, out, err);
}

}  // namespace vela::cli
