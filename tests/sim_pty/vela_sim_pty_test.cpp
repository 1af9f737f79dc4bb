// vela-sim on a real pseudo-terminal, driven through the QSerialPort adapter: the printed path,
// direct and tunnelled exchanges, a fault knob, the emulated bit rate, two clients in turn, and
// a clean stop on SIGTERM with the memory dump.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QCoreApplication>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "files/data_file.h"
#include "link/board_link.h"
#include "link/qt/qt_serial_port.h"
#include "link/station_procedures.h"
#include "link/traffic_log.h"
#include "model/board_config.h"
#include "operations/operation_dispatcher.h"
#include "operations/session.h"
#include "sim/demo_board.h"
#include "sim/simulated_port.h"
#include "support/recording_dialogs.h"
#include "vela_test_paths.h"

extern char** environ;

namespace vela {
namespace {

using std::chrono::milliseconds;

// One vela-sim process: started with arguments, its slave path read from the first line of its
// stdout, stopped with a signal.
class VelaSim {
 public:
  explicit VelaSim(std::vector<std::string> args) {
    args.insert(args.begin(), VELA_BINARY_DIR "/sim/vela-sim");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int out[2];
    if (pipe(out) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    stdout_ = out[0];
    path_ = ReadLine(milliseconds(5000));
  }
  ~VelaSim() {
    if (pid_ > 0) Stop(SIGKILL);
    if (stdout_ >= 0) close(stdout_);
  }

  const std::string& path() const { return path_; }

  // Sends the signal and returns the exit status (-1 when it did not exit within 5 seconds or
  // died of a signal).
  int Stop(int signal_number = SIGTERM) {
    if (pid_ <= 0) return -1;
    kill(pid_, signal_number);
    int status = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (waitpid(pid_, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > end) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return -1;
      }
      usleep(10000);
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  std::string ReadLine(milliseconds timeout) {
    std::string line;
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
      pollfd p{stdout_, POLLIN, 0};
      if (poll(&p, 1, 100) <= 0) continue;
      char c = 0;
      if (read(stdout_, &c, 1) != 1) break;
      if (c == '\n') return line;
      line += c;
    }
    return {};
  }

  pid_t pid_ = -1;
  int stdout_ = -1;
  std::string path_;
};

// The tool's link on the QSerialPort adapter and the steady clock.
struct RealLink {
  QtSerialPort port;
  SteadyClock clock;
  testing::RecordingDialogs dialogs;
  MemoryTrafficLog log;
  BoardLink link{port, clock, dialogs, log};
};

TEST(VelaSimPty, DemoBoard_ReadAllOverThePty_NoMessage_StopsCleanlyWithDump) {
  const std::string dump = ::testing::TempDir() + "vela_sim_dump.txt";
  std::remove(dump.c_str());
  VelaSim sim({"--pty", "--demo", "--dump", dump});
  ASSERT_EQ(sim.path().rfind("/dev/", 0), 0u) << sim.path();
  {
    RealLink r;
    std::string error;
    ASSERT_TRUE(r.link.OpenPort(sim.path(), 1, &error)) << error;
    ASSERT_TRUE(r.link.SendVLMessage(true, {112, 0}));
    EXPECT_TRUE(r.link.Reply().Is(6, 112, 0));
    EXPECT_EQ(r.log.Text(),
              ">  [43] [62] [70] [00]\r\n<  [43] [66] [70] [00] [03] [02] [02] [00]\r\n");
    BoardConfig config;
    ConfigView view;
    Session session{r.link, config, view};
    OperationDispatcher dispatcher;
    ASSERT_TRUE(dispatcher.Run("ReadAll", session));
    EXPECT_TRUE(dispatcher.LastSucceeded());
    EXPECT_TRUE(r.dialogs.messages.empty()) << r.dialogs.messages[0].text;
    EXPECT_EQ(config.General.IdString, "Demo Layout");
    EXPECT_EQ(config.Pins[8].PinConfig[0], kServo);
    // A write that the dump must show.
    ASSERT_TRUE(r.link.SendVLMessage(false, {96, 10, 'P', 't', 'y'}));
    EXPECT_TRUE(r.link.Reply().Valid());
  }
  EXPECT_EQ(sim.Stop(SIGTERM), 0);
  std::ifstream in(dump);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str().rfind("version 3 2 2 0\n", 0), 0u);
  EXPECT_NE(text.str().find("id \"Pty\"\n"), std::string::npos);
}

TEST(VelaSimPty, TwoClientsInTurn_BothServed_SigintStops) {
  VelaSim sim({"--pty"});
  ASSERT_FALSE(sim.path().empty());
  for (int client = 0; client < 2; ++client) {
    RealLink r;
    std::string error;
    ASSERT_TRUE(r.link.OpenPort(sim.path(), 2, &error)) << client << ": " << error;
    ASSERT_TRUE(r.link.SendVLMessage(true, {112, 4}));
    EXPECT_TRUE(r.link.Reply().Is(4, 112, 4)) << client;
    EXPECT_TRUE(r.dialogs.messages.empty()) << client;
  }
  EXPECT_EQ(sim.Stop(SIGINT), 0);
}

TEST(VelaSimPty, StationModuleTwentyWithExtendedAddress_TunnelledRead) {
  VelaSim sim({"--pty", "--station", "--module", "20", "--xaddr", "5", "--demo"});
  RealLink r;
  ASSERT_TRUE(r.link.OpenPort(sim.path(), 1, nullptr));
  ASSERT_TRUE(SetCorsanTunneling(r.link, true));
  r.link.ModuleAddress = 20;
  r.link.UseExtendedAddr = true;
  r.link.ModuleXAddress = 5;
  ASSERT_TRUE(r.link.SendVLMessage(true, {112, 10}));
  EXPECT_TRUE(r.link.Reply().Is(13, 112, 10));
  EXPECT_EQ(r.link.Reply().AddressEcho(), 83);
  EXPECT_TRUE(r.dialogs.messages.empty()) << r.dialogs.messages[0].text;
  EXPECT_EQ(sim.Stop(), 0);
}

TEST(VelaSimPty, NoReplyAtTheSecondExchange_ToolReportsIt) {
  VelaSim sim({"--pty", "--no-reply", "--fault-at", "1"});
  RealLink r;
  ASSERT_TRUE(r.link.OpenPort(sim.path(), 1, nullptr));
  EXPECT_TRUE(r.link.SendVLMessage(true, {112, 0}));
  EXPECT_TRUE(r.link.Reply().Valid());
  const auto start = std::chrono::steady_clock::now();
  r.link.SendVLMessage(true, {112, 0});
  EXPECT_GE(std::chrono::steady_clock::now() - start, milliseconds(2000));
  EXPECT_EQ(r.dialogs.Texts(), std::vector<std::string>{
                                   "No response received, resetting bidirectional communication"});
  EXPECT_EQ(sim.Stop(), 0);
}

TEST(VelaSimPty, WireTimeAt9600_IsWaitedFor) {
  VelaSim sim({"--pty", "--baud", "9600", "--turnaround-us", "5000"});
  RealLink r;
  ASSERT_TRUE(r.link.OpenPort(sim.path(), 0, nullptr));
  ASSERT_TRUE(r.link.SendVLMessage(true, {112, 0}));  // with the preamble
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(r.link.SendVLMessage(true, {112, 0}));
  // Each: 14 bytes at 9600 bit/s (16 ms) and 5 ms turnaround.
  const auto wall = std::chrono::steady_clock::now() - start;
  EXPECT_GE(wall, milliseconds(5 * 21));
  EXPECT_LT(wall, milliseconds(5 * 21 + 400));
  EXPECT_EQ(sim.Stop(), 0);
}

TEST(VelaSimPty, LoadedDataFile_ReadsBackAsSaved) {
  // The demo layout read in-process and saved gives the file to load.
  BoardConfig saved;
  {
    ManualClock clock;
    sim::DemoBoard demo(clock);
    testing::RecordingDialogs dialogs;
    MemoryTrafficLog log;
    BoardLink link(demo.Port(), clock, dialogs, log);
    ASSERT_TRUE(link.OpenPort(sim::kDemoBoardName, 1, nullptr));
    ConfigView view;
    Session session{link, saved, view};
    OperationDispatcher dispatcher;
    ASSERT_TRUE(dispatcher.Run("ReadAll", session));
    saved.General.IdString = "From a file";
  }
  const std::string path = ::testing::TempDir() + "vela_sim_load.dat";
  testing::RecordingDialogs file_dialogs;
  ASSERT_TRUE(SaveDataFile(saved, path, false, file_dialogs));

  VelaSim sim({"--pty", "--load", path});
  ASSERT_FALSE(sim.path().empty());
  RealLink r;
  ASSERT_TRUE(r.link.OpenPort(sim.path(), 1, nullptr));
  BoardConfig read;
  ConfigView view;
  Session session{r.link, read, view};
  OperationDispatcher dispatcher;
  ASSERT_TRUE(dispatcher.Run("ReadAll", session));
  EXPECT_TRUE(r.dialogs.messages.empty()) << r.dialogs.messages[0].text;
  EXPECT_EQ(read.General.IdString, "From a file");
  EXPECT_EQ(read.General.DccAddress, saved.General.DccAddress);
  for (int p = 0; p < kPinCount; ++p) {
    EXPECT_EQ(read.Pins[p].PinConfig, saved.Pins[p].PinConfig) << p;
    EXPECT_EQ(read.Pins[p].DeviceRef, saved.Pins[p].DeviceRef) << p;
    EXPECT_EQ(read.Pins[p].AspectMode, saved.Pins[p].AspectMode) << p;
    for (int a = 0; a < 12; ++a) {
      EXPECT_EQ(read.Pins[p].Aspects[a].Steps, saved.Pins[p].Aspects[a].Steps) << p << "/" << a;
    }
  }
  EXPECT_EQ(read.Events, saved.Events);
  EXPECT_EQ(sim.Stop(), 0);
}

TEST(VelaSimPty, MissingDataFile_ExitTwo) {
  VelaSim sim({"--pty", "--load", "/nonexistent/vela.dat"});
  EXPECT_TRUE(sim.path().empty());
  EXPECT_EQ(sim.Stop(), 2);
}

TEST(VelaSimPty, UsageErrors_ExitTwo) {
  VelaSim sim({"--pty", "--interface", "hbz"});
  EXPECT_TRUE(sim.path().empty());
  EXPECT_EQ(sim.Stop(), 2);
}

}  // namespace
}  // namespace vela

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
