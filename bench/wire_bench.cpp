// vela_wire_bench: "Read All", "Write All" and "Verify All" of a programmed board, run by
// velacli against vela-sim over a pty with wire-time emulation, against the lower bound.
//
// The bound is what an infinitely fast tool would take on the emulated line: every byte both
// ways at 11 bits a byte, plus the turnaround (and, behind the station, its answer time) once
// per answer. It comes from the same operation run in-process on the simulated board with the
// same line timing on the manual clock, where the tool costs no time at all; the byte and
// answer counts of that run give the same figure by the formula, and vela-sim's frame count
// must match the in-process one, so the two runs did the same work.
//
// Wall time is velacli's, from fork to exit (its start-up and the data file included); CPU
// time is velacli's user + system time from wait4.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "bench/bench_dialogs.h"
#include "files/data_file.h"
#include "link/board_link.h"
#include "link/station_procedures.h"
#include "link/traffic_log.h"
#include "operations/operation_dispatcher.h"
#include "sim/demo_board.h"
#include "sim/full_layout.h"
#include "sim/memory_from_config.h"
#include "sim/simulated_board.h"
#include "sim/simulated_port.h"
#include "sim/simulated_station.h"

namespace vela::bench {
namespace {

namespace fs = std::filesystem;
using std::chrono::microseconds;

struct Options {
  std::string velacli;
  std::string vela_sim;
  std::string dir = "/tmp/vela-bench";
  std::vector<std::string> ops = {"read-all", "write-all", "verify"};
  int baud = 19200;
  int turnaround_us = 1000;
  int pins = 32;
  bool station = false;
  int repeat = 3;
  bool header = true;
};

const std::map<std::string, std::string>& OperationOf() {
  static const std::map<std::string, std::string> ops = {
      {"read-all", "ReadAll"},
      {"write-all", "WriteAll"},
      {"verify", "VerifyAll"},
      // Reads the board as "Read All" does, then compares with the file it was loaded from.
      {"compare", "ReadAll"}};
  return ops;
}

// The row's name: the operation, or the velacli command where it runs another's exchanges.
std::string RowName(const std::string& command) {
  return command == "compare" ? "compare" : OperationOf().at(command);
}

// What velacli says on stderr after a clean run: nothing, or compare's count.
std::string CleanStderr(const std::string& command) {
  return command == "compare" ? "no difference\n" : "";
}

// Counts what the tool reads from the line.
class CountingPort final : public SerialPort {
 public:
  explicit CountingPort(SerialPort& inner) : inner_(inner) {}
  bool Open(const std::string& n, const std::string& s, std::string* e) override {
    return inner_.Open(n, s, e);
  }
  void Close() override { inner_.Close(); }
  bool IsOpen() const override { return inner_.IsOpen(); }
  size_t BytesWaiting() override { return inner_.BytesWaiting(); }
  size_t Read(uint8_t* buffer, size_t max) override {
    const size_t n = inner_.Read(buffer, max);
    read_ += n;
    return n;
  }
  bool Write(const uint8_t* data, size_t size) override {
    written_ += size;
    return inner_.Write(data, size);
  }
  bool WaitForData(microseconds timeout) override { return inner_.WaitForData(timeout); }
  size_t read() const { return read_; }
  size_t written() const { return written_; }

 private:
  SerialPort& inner_;
  size_t read_ = 0;
  size_t written_ = 0;
};

struct Bound {
  size_t bytes = 0;         // both ways
  size_t answers = 0;       // device answers, each after a turnaround
  size_t exchanges = 0;     // board exchanges
  size_t board_frames = 0;  // what vela-sim reports as "stopped after N frames"
  double formula_s = 0;
  double clock_s = 0;
  bool ok = false;
};

Bound InProcess(const Options& o, const std::string& command, const std::string& data_file) {
  BenchDialogs dialogs;
  BoardConfig file_config;
  LoadDataFile(file_config, data_file, dialogs);
  const bool board_holds_it = command != "write-all";

  ManualClock clock;
  sim::SimulatedBoard board;
  if (board_holds_it) {
    sim::StoreConfig(file_config, board.Memory());
    board.Restart();
  }
  sim::SimulatedStation station(board);
  sim::SimulatedPort sim_port(board, clock, o.station ? &station : nullptr);
  sim_port.Timing().bit_rate = o.baud;
  sim_port.Timing().turnaround = microseconds(o.turnaround_us);
  CountingPort port(sim_port);
  MemoryTrafficLog log;
  BoardLink link(port, clock, dialogs, log);
  link.OpenPort(sim::kDemoBoardName, 1, nullptr);
  Bound b;
  if (o.station && !SetCorsanTunneling(link, true)) return b;
  link.SetModuleAddress(0);
  BoardConfig config = board_holds_it && command == "read-all" ? BoardConfig() : file_config;
  ConfigView view;
  Session session{link, config, view};
  OperationDispatcher dispatcher;
  dispatcher.Run(OperationOf().at(command), session);
  b.ok = dispatcher.LastSucceeded() && dialogs.messages.empty();
  b.bytes = port.read() + port.written();
  b.exchanges = static_cast<size_t>(board.exchange_count());
  b.board_frames = board.Received().size();
  if (o.station) {
    for (const sim::StationFrame& f : station.Received()) b.answers += f.answered ? 1 : 0;
  } else {
    b.answers = b.exchanges;
  }
  const double per_answer =
      o.turnaround_us * 1e-6 +
      (o.station ? std::chrono::duration<double>(station.Settings().answer_time).count() : 0);
  b.formula_s = static_cast<double>(b.bytes) * 11.0 / o.baud + b.answers * per_answer;
  b.clock_s = std::chrono::duration<double>(clock.Now()).count();
  return b;
}

// A child process with its stdout and stderr on pipes.
struct Child {
  pid_t pid = -1;
  int out = -1;
  int err = -1;
};

Child Spawn(const std::vector<std::string>& argv, bool keep_stdout) {
  int out[2], err[2];
  Child c;
  if (pipe(out) != 0 || pipe(err) != 0) return c;
  c.pid = fork();
  if (c.pid == 0) {
    const int null_fd = open("/dev/null", O_RDWR);
    dup2(null_fd, 0);
    dup2(keep_stdout ? out[1] : null_fd, 1);
    dup2(err[1], 2);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  c.out = out[0];
  c.err = err[0];
  return c;
}

std::string ReadAll(int fd) {
  std::string text;
  char buffer[4096];
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, n);
  close(fd);
  return text;
}

std::string ReadLine(int fd) {
  std::string line;
  char c;
  while (read(fd, &c, 1) == 1 && c != '\n') line += c;
  return line;
}

struct Measured {
  double wall_s = 0;
  double cpu_s = 0;
  double sim_cpu_s = 0;
  long frames = -1;  // vela-sim's count
  int exit_code = -1;
  std::string err;
};

double Seconds(const timeval& t) {
  return t.tv_sec + t.tv_usec * 1e-6;
}

Measured RunOnce(const Options& o, const std::string& command, const std::string& data_file) {
  std::vector<std::string> sim_args = {o.vela_sim,        "--pty",
                                       "--baud",          std::to_string(o.baud),
                                       "--turnaround-us", std::to_string(o.turnaround_us)};
  if (command != "write-all") sim_args.insert(sim_args.end(), {"--load", data_file});
  if (o.station) sim_args.push_back("--station");
  Child sim = Spawn(sim_args, true);
  const std::string pty = ReadLine(sim.out);

  const std::string out_file = o.dir + "/read-back.dat";
  fs::remove(out_file);
  std::vector<std::string> cli = {o.velacli, "-p", pty};
  if (o.station) cli.push_back("--tunnel");
  cli.insert(cli.end(), {command, command == "read-all" ? out_file : data_file});

  Measured m;
  const auto start = std::chrono::steady_clock::now();
  Child tool = Spawn(cli, false);
  m.err = ReadAll(tool.err);
  int status = 0;
  rusage usage{};
  wait4(tool.pid, &status, 0, &usage);
  m.wall_s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  m.cpu_s = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
  m.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  close(tool.out);

  kill(sim.pid, SIGTERM);
  const std::string sim_err = ReadAll(sim.err);
  close(sim.out);
  rusage sim_usage{};
  wait4(sim.pid, &status, 0, &sim_usage);
  m.sim_cpu_s = Seconds(sim_usage.ru_utime) + Seconds(sim_usage.ru_stime);
  const size_t at = sim_err.find("stopped after ");
  if (at != std::string::npos) m.frames = std::stol(sim_err.substr(at + 14));
  return m;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty()      ? 0
         : v.size() % 2 ? v[v.size() / 2]
                        : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

int Main(const Options& o) {
  fs::create_directories(o.dir);
  const std::string data_file = o.dir + "/full-" + std::to_string(o.pins) + ".dat";
  {
    BoardConfig layout = sim::FullLayout(o.pins);
    BenchDialogs dialogs;
    if (!SaveDataFile(layout, data_file, false, dialogs)) {
      std::cerr << "cannot write " << data_file << "\n";
      return 2;
    }
  }
  if (o.header) {
    std::printf(
        "| operation | path | bit/s | pins | exchanges | bytes | bound s | wall best s | wall "
        "median s | best/bound | CPU ms (median) | CPU %% of wall | vela-sim CPU ms |\n"
        "|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
  }
  int status = 0;
  for (const std::string& command : o.ops) {
    const Bound b = InProcess(o, command, data_file);
    if (!b.ok) {
      std::cerr << command << ": the in-process run did not succeed\n";
      status = 1;
    }
    if (std::abs(b.formula_s - b.clock_s) > 1e-3 * b.formula_s + 1e-4) {
      std::cerr << command << ": formula " << b.formula_s << " s differs from the line model "
                << b.clock_s << " s\n";
    }
    std::vector<double> walls, cpus, sim_cpus, cpu_share;
    for (int r = 0; r < o.repeat; ++r) {
      const Measured m = RunOnce(o, command, data_file);
      if (m.exit_code != 0 || m.err != CleanStderr(command)) {
        std::cerr << command << ": velacli exit " << m.exit_code << ": " << m.err << "\n";
        status = 1;
      }
      if (m.frames != static_cast<long>(b.board_frames)) {
        std::cerr << command << ": vela-sim saw " << m.frames << " frames, in-process "
                  << b.board_frames << "\n";
        status = 1;
      }
      walls.push_back(m.wall_s);
      cpus.push_back(m.cpu_s);
      sim_cpus.push_back(m.sim_cpu_s);
      cpu_share.push_back(m.cpu_s / m.wall_s);
    }
    const double best = *std::min_element(walls.begin(), walls.end());
    std::printf(
        "| %s | %s | %d | %d | %zu | %zu | %.3f | %.3f | %.3f | %.3f | %.0f | %.1f | %.0f |\n",
        RowName(command).c_str(), o.station ? "station" : "direct", o.baud, o.pins, b.exchanges,
        b.bytes, b.clock_s, best, Median(walls), best / b.clock_s, Median(cpus) * 1000,
        Median(cpu_share) * 100, Median(sim_cpus) * 1000);
    std::fflush(stdout);
  }
  return status;
}

}  // namespace
}  // namespace vela::bench

int main(int argc, char** argv) {
  vela::bench::Options o;
  const std::string self = std::filesystem::path(argv[0]).parent_path().string();
  o.velacli = self + "/../src/cli/velacli";
  o.vela_sim = self + "/../sim/vela-sim";
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
    if (a == "--velacli") {
      o.velacli = next();
    } else if (a == "--vela-sim") {
      o.vela_sim = next();
    } else if (a == "--dir") {
      o.dir = next();
    } else if (a == "--ops") {
      o.ops.clear();
      std::string list = next();
      for (size_t s = 0, e; s <= list.size(); s = e + 1) {
        e = std::min(list.find(',', s), list.size());
        o.ops.push_back(list.substr(s, e - s));
      }
    } else if (a == "--baud") {
      o.baud = std::stoi(next());
    } else if (a == "--turnaround-us") {
      o.turnaround_us = std::stoi(next());
    } else if (a == "--pins") {
      o.pins = std::stoi(next());
    } else if (a == "--station") {
      o.station = true;
    } else if (a == "--repeat") {
      o.repeat = std::stoi(next());
    } else if (a == "--no-header") {
      o.header = false;
    } else {
      std::cerr
          << "usage: vela_wire_bench [--velacli P] [--vela-sim P] [--dir D] "
             "[--ops read-all,write-all,verify,compare] [--baud N] [--turnaround-us N] [--pins N] "
             "[--station] [--repeat N] [--no-header]\n";
      return 2;
    }
  }
  for (const std::string& op : o.ops) {
    if (!vela::bench::OperationOf().count(op)) {
      std::cerr << "unknown operation " << op << "\n";
      return 2;
    }
  }
  return vela::bench::Main(o);
}
