// velacli read-all when the line misbehaves: a faulty exchange at chosen positions (vela-sim
// --fault-at), and a port that vanishes in the middle (vela-sim killed, which closes the pty
// master). velacli must stop with the step's message and exit 1, never hang, and leave the
// output file as it was: not created, or byte for byte the old one.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "link/board_link.h"
#include "link/traffic_log.h"
#include "operations/operation_dispatcher.h"
#include "sim/demo_board.h"
#include "support/programs.h"
#include "support/recording_dialogs.h"

namespace vela {
namespace {

namespace fs = std::filesystem;
using testing::kVelacli;
using testing::kVelaSim;
using testing::ProcessResult;
using testing::ReadFile;
using testing::RunProcess;
using testing::SimProcess;
using Message = std::vector<int>;

constexpr const char* kNoResponse = "No response received, resetting bidirectional communication";
constexpr const char* kPortGone =
    "The serial port was closed: the device went away (unplugged, or closed at the other end)";
constexpr const char* kPrecious = "an older backup, not to be touched\r\n";

// The requests of a clean "ReadAll" of the demo board, in order: exchange N of vela-sim.
std::vector<Message> DemoReadAllRequests() {
  ManualClock clock;
  sim::DemoBoard demo(clock);
  testing::RecordingDialogs dialogs;
  MemoryTrafficLog log;
  BoardLink link(demo.Port(), clock, dialogs, log);
  link.OpenPort(sim::kDemoBoardName, 1, nullptr);
  BoardConfig config;
  ConfigView view;
  Session session{link, config, view};
  OperationDispatcher dispatcher;
  dispatcher.Run("ReadAll", session);
  return demo.Board().Messages();
}

int FirstIndex(const std::vector<Message>& requests, int type, int from_end = 0) {
  if (from_end) {
    for (int i = static_cast<int>(requests.size()) - 1; i >= 0; --i) {
      if (requests[i][0] == type) return i;
    }
    return -1;
  }
  for (int i = 0; i < static_cast<int>(requests.size()); ++i) {
    if (requests[i][0] == type) return i;
  }
  return -1;
}

class ReadAllReliabilityTest : public testing::ProgramTest {
 protected:
  void SetUp() override { MakeFolder("velacli_reliability"); }

  ProcessResult ReadAll(const SimProcess& sim, const std::string& out) {
    return RunProcess({kVelacli, "-p", sim.path(), "read-all", out}, std::chrono::seconds(30));
  }
};

TEST_F(ReadAllReliabilityTest, FaultAtAGatedStep_MessageExitOneFileUntouched) {
  const std::vector<Message> requests = DemoReadAllRequests();
  ASSERT_GT(requests.size(), 300u);
  const int pin_steps = FirstIndex(requests, 115);
  const int address = FirstIndex(requests, 118);
  const int last_event = FirstIndex(requests, 117, 1);
  ASSERT_GT(pin_steps, 0);
  ASSERT_GT(address, pin_steps);
  ASSERT_GT(last_event, address);
  struct Case {
    std::vector<std::string> sim_options;
    std::string message_start;
  };
  const std::vector<Case> cases = {
      {{"--no-reply", "--fault-at", "0"}, kNoResponse},
      {{"--bad-checksum", "--fault-at", std::to_string(address)}, kNoResponse},
      {{"--wrong-echo", "--fault-at", std::to_string(pin_steps + 5)},
       "Invalid response received, "},
      {{"--wrong-echo", "--fault-at", std::to_string(last_event)}, "Invalid response received, "},
      {{"--unsupported", "115", "--fault-at", std::to_string(pin_steps)}, "No valid response"},
      {{"--unsupported", "118", "--fault-at", std::to_string(address)},
       "Read Pin Address Configuration: Invalid Response"},
      {{"--unsupported", "112", "--unsupported-answer", "wrong-type", "--fault-at", "0"},
       "GetVersion: No valid response"},
  };
  bool with_old_file = false;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.sim_options));
    std::vector<std::string> options = {"--demo"};
    options.insert(options.end(), c.sim_options.begin(), c.sim_options.end());
    SimProcess sim(kVelaSim, options);
    ASSERT_FALSE(sim.path().empty());
    // Every other case has a backup from an earlier run in the way.
    with_old_file = !with_old_file;
    const std::string out = Path("backup.dat");
    fs::remove(out);
    if (with_old_file) std::ofstream(out, std::ios::binary) << kPrecious;
    ProcessResult r = ReadAll(sim, out);
    EXPECT_EQ(r.exit_code, 1) << r.err;
    const std::vector<std::string> lines = testing::OutputLines(r.err);
    ASSERT_EQ(lines.size(), c.message_start == "Invalid response received, " ? 3u : 1u) << r.err;
    EXPECT_EQ(lines[0].rfind(c.message_start, 0), 0u) << r.err;
    EXPECT_LT(r.seconds, 10.0);
    if (with_old_file) {
      EXPECT_EQ(ReadFile(out), kPrecious);
    } else {
      EXPECT_FALSE(fs::exists(out));
    }
    // Nothing left beside it either (no temporary file of a save).
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()),
              with_old_file ? 1 : 0);
  }
}

TEST_F(ReadAllReliabilityTest, FaultsTheReadGetsOver_SameFileAsACleanRead) {
  SimProcess clean_sim(kVelaSim, {"--demo"});
  ASSERT_EQ(ReadAll(clean_sim, Path("clean.dat")).exit_code, 0);
  const std::string clean = ReadFile(Path("clean.dat"));
  ASSERT_FALSE(clean.empty());

  // Garbage before a reply, and a bad copy followed by a good one, are read past.
  SimProcess garbage(kVelaSim, {"--demo", "--garbage", "FF851783AA", "--fault-at", "40"});
  ProcessResult g = ReadAll(garbage, Path("garbage.dat"));
  EXPECT_EQ(g.exit_code, 0) << g.err;
  EXPECT_EQ(g.err, "");
  EXPECT_EQ(ReadFile(Path("garbage.dat")), clean);
  SimProcess copy(kVelaSim, {"--demo", "--bad-checksum", "--good-copy"});
  ProcessResult c = ReadAll(copy, Path("copy.dat"));
  EXPECT_EQ(c.exit_code, 0) << c.err;
  EXPECT_EQ(ReadFile(Path("copy.dat")), clean);
}

TEST_F(ReadAllReliabilityTest, FailuresTheChainGoesOnPast_ExitOneAndNoFile) {
  // A pin's flash parameters, an event read and the closing enable map do not stop the chain,
  // but a backup with defaults where the board had values is no backup.
  const std::vector<Message> requests = DemoReadAllRequests();
  const int parameters = FirstIndex(requests, 113);
  const int event_on = FirstIndex(requests, 116, 1) - 3;
  const int enable_map = static_cast<int>(requests.size()) - 1;
  ASSERT_GT(parameters, 0);
  ASSERT_EQ(requests[enable_map], (Message{112, 11}));
  struct Case {
    std::vector<std::string> sim_options;
    std::string message_start;
  };
  const std::vector<Case> cases = {
      {{"--wrong-echo", "--fault-at", std::to_string(parameters)}, "Invalid response received, "},
      {{"--unsupported", "116", "--fault-at", std::to_string(event_on)},
       "Read Event-On: Function not supported by Device"},
      {{"--unsupported", "112", "--unsupported-answer", "wrong-type", "--fault-at",
        std::to_string(enable_map)},
       "No valid response type"},
      {{"--no-reply", "--fault-at", std::to_string(enable_map)}, kNoResponse},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.sim_options));
    std::vector<std::string> options = {"--demo"};
    options.insert(options.end(), c.sim_options.begin(), c.sim_options.end());
    SimProcess sim(kVelaSim, options);
    const std::string out = Path("out.dat");
    ProcessResult r = ReadAll(sim, out);
    EXPECT_EQ(r.exit_code, 1) << r.err;
    EXPECT_EQ(r.err.rfind(c.message_start, 0), 0u) << r.err;
    EXPECT_EQ(testing::OutputLines(r.err).back(),
              "velacli: 1 exchange(s) failed; " + out + " was not saved");
    EXPECT_FALSE(fs::exists(out));
  }
}

// Kills vela-sim (SIGKILL: no goodbye, the pty master just closes) after `delay`.
class Killer {
 public:
  Killer(pid_t pid, std::chrono::milliseconds delay)
      : thread_([pid, delay] {
          std::this_thread::sleep_for(delay);
          kill(pid, SIGKILL);
        }) {}
  ~Killer() { thread_.join(); }

 private:
  std::thread thread_;
};

TEST_F(ReadAllReliabilityTest, PortVanishesMidRead_OneMessageExitOneNoFile) {
  // At 9600 bit/s the demo read takes about five seconds; the kill lands in the general
  // settings, in the pins and late in the pins.
  for (int delay_ms : {300, 900, 2500}) {
    SCOPED_TRACE("killed after " + std::to_string(delay_ms) + " ms");
    SimProcess sim(kVelaSim, {"--demo", "--baud", "9600"});
    ASSERT_FALSE(sim.path().empty());
    const std::string out = Path("vanished.dat");
    fs::remove(out);
    if (delay_ms == 900) std::ofstream(out, std::ios::binary) << kPrecious;
    ProcessResult r;
    {
      Killer killer(sim.pid(), std::chrono::milliseconds(delay_ms));
      r = ReadAll(sim, out);
    }
    EXPECT_EQ(r.exit_code, 1) << r.err;
    EXPECT_GT(r.seconds, delay_ms / 1000.0) << "the read was still going when the port went";
    EXPECT_LT(r.seconds, delay_ms / 1000.0 + 3.0) << "no hang after the port went";
    // The loss is said once; then at most the message of the exchange it cut short and of the
    // next one that found the port closed, each once.
    const std::vector<std::string> lines = testing::OutputLines(r.err);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], kPortGone) << r.err;
    const std::set<std::string> allowed = {kPortGone, kNoResponse, kSelectCommunicationsPort};
    std::set<std::string> seen;
    for (const std::string& line : lines) {
      EXPECT_TRUE(allowed.count(line)) << line;
      EXPECT_TRUE(seen.insert(line).second) << "said twice: " << line;
    }
    if (delay_ms == 900) {
      EXPECT_EQ(ReadFile(out), kPrecious);
    } else {
      EXPECT_FALSE(fs::exists(out));
    }
  }
}

}  // namespace
}  // namespace vela
