// vela-sim: the simulated Vela board (optionally behind the Corsan command station) served on a
// pseudo-terminal, for the end-to-end tests, the benchmarks and trying the tool without a board.
//
// The slave's path goes out as the first line of stdout. Bytes from the master are fed to the
// device at once; its answers are written when the emulated line has carried them (11 bits a
// byte at --baud, after --turnaround-us), so the loop sleeps in ppoll until the next byte is
// due or input comes, never spinning. We keep a slave descriptor of our own open: a pty master
// whose slave nobody holds reports POLLHUP without end, which would turn the wait into a spin
// between clients. Stale answers for a client that went away are dropped when the next client
// resynchronises. SIGINT and SIGTERM arrive through a signalfd in the same ppoll.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/signalfd.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "dialogs/user_dialogs.h"
#include "files/data_file.h"
#include "files/file_io.h"
#include "link/clock.h"
#include "model/board_config.h"
#include "sim/demo_layout.h"
#include "sim/memory_dump.h"
#include "sim/memory_from_config.h"
#include "sim/sim_options.h"
#include "sim/simulated_board.h"
#include "sim/simulated_port.h"
#include "sim/simulated_station.h"
#include "sim/wire_line.h"
#include "vela_version.h"

namespace vela::sim {
namespace {

using std::chrono::microseconds;

// Messages of the data-file loader, on stderr; questions are answered in the way that goes on.
class StderrDialogs final : public UserDialogs {
 public:
  void Message(const std::string& text, MessageIcon) override { std::cerr << Lines(text) << "\n"; }
  Answer Question(const std::string& text, QuestionButtons buttons, MessageIcon) override {
    std::cerr << Lines(text) << "\n";
    return buttons == QuestionButtons::kYesNo ? Answer::kYes : Answer::kOk;
  }
  std::string OpenFileName(const std::string&, const std::string&) override { return {}; }
  std::string SaveFileName(const std::string&, const std::string&) override { return {}; }

 private:
  static std::string Lines(std::string text) {
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
      text.replace(at, 2, "\n");
    }
    return text;
  }
};

std::string Hex(const uint8_t* bytes, size_t size) {
  std::string text;
  char buffer[4];
  for (size_t i = 0; i < size; ++i) {
    std::snprintf(buffer, sizeof buffer, " %02X", bytes[i]);
    text += buffer;
  }
  return text;
}

// The pseudo-terminal: master for us, the slave's path for the client.
struct Pty {
  int master = -1;
  int held_slave = -1;
  std::string slave_path;

  bool Open(std::string& error) {
    master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
      error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
      return false;
    }
    const char* name = ptsname(master);
    if (!name) {
      error = "cannot name the pseudo-terminal";
      return false;
    }
    slave_path = name;
    held_slave = open(name, O_RDWR | O_NOCTTY);
    if (held_slave < 0) {
      error = "cannot open " + slave_path + ": " + std::strerror(errno);
      return false;
    }
    // Raw both ways: no echo of our answers, no line editing, no CR/LF translation.
    termios t{};
    tcgetattr(held_slave, &t);
    cfmakeraw(&t);
    tcsetattr(held_slave, TCSANOW, &t);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    return true;
  }
  ~Pty() {
    if (held_slave >= 0) close(held_slave);
    if (master >= 0) close(master);
  }
};

bool Preload(const SimOptions& options, SimulatedBoard& board) {
  for (const auto& report : options.reports) board.QueueReport(report);
  if (options.demo) LoadDemoLayout(board);
  if (options.load_file.empty()) return true;
  BoardConfig config;
  StderrDialogs dialogs;
  if (!LoadDataFile(config, options.load_file, dialogs)) {
    std::cerr << "vela-sim: " << options.load_file << " was not loaded\n";
    return false;
  }
  StoreConfig(config, board.Memory());
  board.Restart();
  return true;
}

void Dump(const SimOptions& options, const SimulatedBoard& board) {
  if (options.dump_file.empty()) return;
  const std::string text = DumpMemory(board.Memory());
  if (options.dump_file == "-") {
    std::cerr << text;
    return;
  }
  std::string reason;
  if (!SaveFileSafely(options.dump_file, text, reason)) {
    std::cerr << "vela-sim: cannot write " << options.dump_file << ": " << reason << "\n";
  }
}

// Reports what came in since the last call, for --verbose.
class Tracer {
 public:
  Tracer(const SimulatedBoard& board, const SimulatedStation* station)
      : board_(board), station_(station) {}
  void Report() {
    if (station_) {
      const auto& frames = station_->Received();
      for (; station_seen_ < frames.size(); ++station_seen_) {
        const StationFrame& f = frames[station_seen_];
        std::cerr << "station <<" << Hex(f.raw.data(), f.raw.size())
                  << (f.checksum_ok ? "" : "  (bad checksum)") << "\n";
      }
    }
    const auto& frames = board_.Received();
    for (; board_seen_ < frames.size(); ++board_seen_) {
      const ReceivedFrame& f = frames[board_seen_];
      std::cerr << (f.tunnelled ? "tunnel <<" : "board  <<") << Hex(f.raw.data(), f.raw.size());
      if (!f.checksum_ok) std::cerr << "  (bad checksum)";
      if (f.resync) std::cerr << "  (resync)";
      if (f.legacy) std::cerr << "  (Kora format)";
      if (f.checksum_ok && !f.for_this_board) std::cerr << "  (not for this board)";
      if (!f.sequence_ok) std::cerr << "  (sequence bit repeated)";
      std::cerr << "\n";
    }
  }

 private:
  const SimulatedBoard& board_;
  const SimulatedStation* station_;
  size_t board_seen_ = 0;
  size_t station_seen_ = 0;
};

// SIGINT and SIGTERM blocked and readable from the returned descriptor, so the serving loop
// stops between two of its steps; -1 (said on stderr) when that fails.
int StopSignals() {
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  if (sigprocmask(SIG_BLOCK, &stop_signals, nullptr) != 0) return -1;
  const int signal_fd = signalfd(-1, &stop_signals, SFD_CLOEXEC);
  if (signal_fd < 0) std::cerr << "vela-sim: signalfd: " << std::strerror(errno) << "\n";
  return signal_fd;
}

// The wait until the line's next byte is due, in `wait`; null (wait for input alone) when no
// byte is on its way.
timespec* UntilNextDue(const WireLine& line, SteadyClock& clock, timespec& wait) {
  const auto next = line.NextDue();
  if (!next) return nullptr;
  const microseconds left = std::max(*next - clock.Now(), microseconds{0});
  wait.tv_sec = static_cast<time_t>(left.count() / 1000000);
  wait.tv_nsec = static_cast<long>(left.count() % 1000000 * 1000);
  return &wait;
}

int Serve(const SimOptions& options) {
  SimulatedBoard board(options.module, options.xaddress);
  board.GetFaults() = options.faults;
  if (!Preload(options, board)) return 2;
  SimulatedStation station(board, options.station_settings);
  SimulatedStation* front = options.station ? &station : nullptr;

  const int signal_fd = StopSignals();
  if (signal_fd < 0) return 1;

  Pty pty;
  std::string error;
  if (!pty.Open(error)) {
    std::cerr << "vela-sim: " << error << "\n";
    close(signal_fd);
    return 1;
  }
  std::cout << pty.slave_path << std::endl;  // the first line, flushed for whoever waits on it
  std::cerr << "vela-sim: module " << options.module << ", extended address " << options.xaddress
            << (options.station ? ", behind a command station" : "") << " on " << pty.slave_path
            << "\n";

  SteadyClock clock;
  WireLine line;
  Tracer tracer(board, front);
  const auto device = [&](uint8_t byte, microseconds arrival) {
    return FeedDevice(board, front, byte, arrival);
  };
  int resyncs_seen = 0;
  bool stop = false;
  while (!stop) {
    uint8_t buffer[512];
    const size_t due = line.TakeDue(clock.Now(), buffer, sizeof buffer);
    if (due > 0) {
      if (options.verbose) std::cerr << "reply  >>" << Hex(buffer, due) << "\n";
      // A full line (nobody reading) loses the bytes, as an overrun would.
      if (write(pty.master, buffer, due) < 0 && errno != EAGAIN) {
        std::cerr << "vela-sim: write: " << std::strerror(errno) << "\n";
      }
      continue;
    }
    timespec wait{};
    pollfd fds[2] = {{pty.master, POLLIN, 0}, {signal_fd, POLLIN, 0}};
    const int ready = ppoll(fds, 2, UntilNextDue(line, clock, wait), nullptr);
    if (ready < 0) {
      if (errno == EINTR) continue;
      std::cerr << "vela-sim: ppoll: " << std::strerror(errno) << "\n";
      break;
    }
    if (fds[1].revents & POLLIN) {
      signalfd_siginfo info{};
      if (read(signal_fd, &info, sizeof info) > 0) stop = true;
      continue;
    }
    if (fds[0].revents & POLLIN) {
      const ssize_t n = read(pty.master, buffer, sizeof buffer);
      if (n > 0) {
        line.FromPc(buffer, static_cast<size_t>(n), clock.Now(), options.timing, device);
        if (board.resync_count() != resyncs_seen) {
          // A client that just opened the port: whatever an earlier one left unread is stale.
          resyncs_seen = board.resync_count();
          tcflush(pty.held_slave, TCIFLUSH);
        }
        if (options.verbose) tracer.Report();
        continue;
      }
    }
    if (fds[0].revents & (POLLHUP | POLLERR)) {
      // Should not happen while we hold the slave; never spin on it all the same.
      const timespec pause{0, 50 * 1000 * 1000};
      nanosleep(&pause, nullptr);
    }
  }
  close(signal_fd);
  std::cerr << "vela-sim: stopped after " << board.Received().size() << " frames\n";
  Dump(options, board);
  return 0;
}

}  // namespace
}  // namespace vela::sim

int main(int argc, char** argv) {
  using vela::sim::SimOptions;
  SimOptions options;
  std::string error;
  if (!vela::sim::ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc), options,
                                  error)) {
    std::cerr << "vela-sim: " << error << "\nTry vela-sim --help.\n";
    return 2;
  }
  if (options.help) {
    std::cout << vela::sim::SimUsage();
    return 0;
  }
  if (options.version) {
    std::cout << vela::VersionText("vela-sim");
    return 0;
  }
  return vela::sim::Serve(options);
}
