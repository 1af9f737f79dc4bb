// velacli against vela-sim over a real pseudo-terminal: the whole path of core, QSerialPort
// adapter and serial line, as a script would use it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/programs.h"

namespace vela {
namespace {

namespace fs = std::filesystem;
using testing::kVelacli;
using testing::kVelaSim;
using testing::ProcessResult;
using testing::ReadFile;
using testing::RunProcess;
using testing::SimProcess;
using testing::WriteFile;

const std::string kLibrary = std::string(VELA_SOURCE_DIR) + "/data/VelaDevices.def";

class VelacliTest : public testing::ProgramTest {
 protected:
  void SetUp() override {
    MakeFolder("velacli_e2e");
    // A rich configuration to start from: the demo board, read in-process.
    ProcessResult r = Cli({"--demo", "read-all", Path("demo.dat")});
    ASSERT_EQ(r.exit_code, 0) << r.err;
  }
};

TEST_F(VelacliTest, WriteReadVerify_RoundTripThroughThePty) {
  SimProcess sim(kVelaSim);
  ASSERT_FALSE(sim.path().empty());
  ProcessResult w = CliOn(sim, {"write-all", Path("demo.dat")});
  ASSERT_EQ(w.exit_code, 0) << w.err;
  EXPECT_EQ(w.err, "");
  ProcessResult r = CliOn(sim, {"read-all", Path("back.dat")});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(ReadFile(Path("back.dat")), ReadFile(Path("demo.dat")));
  ProcessResult v = CliOn(sim, {"verify", Path("demo.dat")});
  EXPECT_EQ(v.exit_code, 0) << v.out << v.err;
  EXPECT_EQ(
      testing::OutputLines(v.out),
      (std::vector<std::string>{"Start General Settings Verification", "Start EC Verification",
                                "Note: Numbering starts at 1", "Start Pin Verification",
                                "Note: Numbering starts at 1", "Verify OK"}));
  EXPECT_EQ(sim.Stop(), 0);
}

TEST_F(VelacliTest, VerifyWithDifferences_ReportLinesAndExitOne) {
  SimProcess sim(kVelaSim);
  ASSERT_EQ(CliOn(sim, {"write-all", Path("demo.dat")}).exit_code, 0);
  std::string text = ReadFile(Path("demo.dat"));
  const std::string id = "\"ID$\",\"Demo Layout\"";
  ASSERT_NE(text.find(id), std::string::npos);
  text.replace(text.find(id), id.size(), "\"ID$\",\"Other\"");
  WriteFile(Path("changed.dat"), text);
  ProcessResult v = CliOn(sim, {"--numbering", "0", "verify", Path("changed.dat")});
  EXPECT_EQ(v.exit_code, 1);
  std::vector<std::string> lines = testing::OutputLines(v.out);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[1], "ID does not compare: VelaConfig = <Other> Vela = <Demo Layout>");
  EXPECT_EQ(lines.back(), "Verification Stopped");
}

TEST_F(VelacliTest, SilentBoard_MessageExitOneAfterTwoSeconds) {
  SimProcess sim(kVelaSim, {"--no-reply"});
  ProcessResult r = CliOn(sim, {"version"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out, "Unknown\n");
  EXPECT_EQ(r.err, "No response received, resetting bidirectional communication\n");
  EXPECT_GE(r.seconds, 2.0);
  EXPECT_LT(r.seconds, 4.0);
}

TEST_F(VelacliTest, ThroughTheStation_SameResultAsDirect) {
  SimProcess sim(kVelaSim, {"--station", "--protocol", "3200", "--module", "20"});
  ProcessResult w = CliOn(sim, {"--tunnel", "-m", "20", "write-all", Path("demo.dat")});
  ASSERT_EQ(w.exit_code, 0) << w.err;
  ProcessResult r = CliOn(sim, {"--tunnel", "-m", "20", "read-all", Path("back.dat")});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(ReadFile(Path("back.dat")), ReadFile(Path("demo.dat")));
}

TEST_F(VelacliTest, OldStation_TunnellingUnavailable) {
  SimProcess sim(kVelaSim, {"--station", "--protocol", "3100"});
  ProcessResult r = CliOn(sim, {"--tunnel", "version"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("Your system does not support this function\nProtocol = 3.100\n"),
            std::string::npos)
      << r.err;
}

TEST_F(VelacliTest, Log_HoldsTheTrafficWithCrLf) {
  SimProcess sim(kVelaSim);
  ProcessResult r = CliOn(sim, {"--log", Path("log.txt"), "version"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "3.2.2.0\n");
  EXPECT_EQ(ReadFile(Path("log.txt")),
            ">  [43] [62] [70] [00]\r\n<  [43] [66] [70] [00] [03] [02] [02] [00]\r\n");
}

TEST_F(VelacliTest, Erase_NeedsYes) {
  SimProcess sim(kVelaSim);
  ProcessResult no = CliOn(sim, {"erase"});
  EXPECT_EQ(no.exit_code, 1);
  EXPECT_NE(no.err.find("answer: Cancel"), std::string::npos);
  ProcessResult yes = CliOn(sim, {"--yes", "erase"});
  EXPECT_EQ(yes.exit_code, 0) << yes.err;
  EXPECT_NE(yes.err.find("Do you want to cancel this operation?\nanswer: Cancel"),
            std::string::npos);
}

TEST_F(VelacliTest, Monitor_ListsQueuedReports) {
  SimProcess sim(kVelaSim, {"--report", "12,0,127,3", "--report", "1,2,3,4"});
  ProcessResult r = CliOn(sim, {"monitor", "--seconds", "0.6"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "Start Monitoring\n<12> <0> <127> <3> \n<1> <2> <3> <4> \nMonitoring Stopped\n");
  EXPECT_GE(r.seconds, 0.6);
  EXPECT_EQ(r.err, "");
}

TEST_F(VelacliTest, ConvertWithCompact_WritesTheSameConfigurationSmaller) {
  ASSERT_EQ(Cli({"convert", Path("demo.dat"), Path("same.dat")}).exit_code, 0);
  EXPECT_EQ(ReadFile(Path("same.dat")), ReadFile(Path("demo.dat")));
  ASSERT_EQ(Cli({"convert", Path("demo.dat"), Path("compact.dat"), "--compact"}).exit_code, 0);
  EXPECT_LT(ReadFile(Path("compact.dat")).size(), ReadFile(Path("demo.dat")).size());
  // A compact file loads back to the same configuration.
  ASSERT_EQ(Cli({"convert", Path("compact.dat"), Path("again.dat")}).exit_code, 0);
}

TEST_F(VelacliTest, DeviceCommands_ListLoadAndSaveDevices) {
  ProcessResult list = Cli({"device-list", kLibrary});
  ASSERT_EQ(list.exit_code, 0) << list.err;
  std::vector<std::string> names = testing::OutputLines(list.out);
  ASSERT_FALSE(names.empty());
  ProcessResult load =
      Cli({"device-load", Path("demo.dat"), kLibrary, names[0], "31", Path("d.dat")});
  ASSERT_EQ(load.exit_code, 0) << load.err;
  ProcessResult save = Cli({"device-save", Path("d.dat"), "31", Path("mine.def")});
  ASSERT_EQ(save.exit_code, 0) << save.err;
  std::string def = ReadFile(Path("mine.def"));
  EXPECT_EQ(def.rfind("\"VelaDeviceDefinitions " + names[0] + "\"\r\n\"Dev\",\"" + names[0], 0), 0u)
      << def;
  EXPECT_EQ(Cli({"device-load", Path("demo.dat"), kLibrary, "No such device", "1", Path("e.dat")})
                .exit_code,
            2);
  EXPECT_FALSE(fs::exists(Path("e.dat")));
}

TEST_F(VelacliTest, BadInputFiles_ExitTwoAndNothingWritten) {
  std::string good = ReadFile(Path("demo.dat"));
  WriteFile(Path("cut.dat"), good.substr(0, good.size() / 2));
  WriteFile(Path("keep.dat"), "precious");
  ProcessResult cut = Cli({"convert", Path("cut.dat"), Path("keep.dat")});
  EXPECT_EQ(cut.exit_code, 2);
  EXPECT_FALSE(cut.err.empty());
  EXPECT_EQ(ReadFile(Path("keep.dat")), "precious");
  WriteFile(Path("bad.dat"), "\"NotAConfiguration 3100\"\r\n");
  ProcessResult bad = Cli({"--demo", "write-all", Path("bad.dat")});
  EXPECT_EQ(bad.exit_code, 2);
  EXPECT_EQ(bad.err, "Invalid configuration file\n");
  ProcessResult missing = Cli({"convert", Path("none.dat"), Path("out.dat")});
  EXPECT_EQ(missing.exit_code, 2);
  EXPECT_FALSE(fs::exists(Path("out.dat")));
}

TEST_F(VelacliTest, FailedRead_SavesNothing) {
  SimProcess sim(kVelaSim, {"--no-reply"});
  WriteFile(Path("keep.dat"), "precious");
  ProcessResult r = CliOn(sim, {"read-all", Path("keep.dat")});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(ReadFile(Path("keep.dat")), "precious");
}

TEST_F(VelacliTest, BackupExample_ReadVerifyRestoreOnABlankBoard_ExitZeroEach) {
  SimProcess demo(kVelaSim, {"--demo"});
  ProcessResult r = CliOn(demo, {"read-all", Path("b.dat")});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  // The demo board disables initial events 2, 3 (on) and 0, 1 (off): boxes 0, 1 and 2, 3 checked.
  const std::vector<std::string> lines = testing::OutputLines(ReadFile(Path("b.dat")));
  ASSERT_GT(lines.size(), 8u);
  EXPECT_EQ(lines[6].rfind("\"SPC\",", 0), 0u);
  EXPECT_EQ(lines[7].rfind("\"EIE\",3,12", 0), 0u) << lines[7];
  ProcessResult v = CliOn(demo, {"verify", Path("b.dat")});
  EXPECT_EQ(v.exit_code, 0) << v.out << v.err;
  EXPECT_EQ(testing::OutputLines(v.out).back(), "Verify OK");

  SimProcess blank(kVelaSim);
  ProcessResult w = CliOn(blank, {"write-all", Path("b.dat")});
  EXPECT_EQ(w.exit_code, 0) << w.err;
  EXPECT_EQ(w.err, "");
  ProcessResult again = CliOn(blank, {"verify", Path("b.dat")});
  EXPECT_EQ(again.exit_code, 0) << again.out << again.err;
  EXPECT_EQ(testing::OutputLines(again.out).back(), "Verify OK");
}

TEST_F(VelacliTest, WriteAll_BoardFallsSilent_ExitOneAndSaysHowManyWentUnconfirmed) {
  SimProcess sim(kVelaSim, {"--no-reply", "--fault-at", "20"});
  ProcessResult w = CliOn(sim, {"write-all", Path("demo.dat")});
  EXPECT_EQ(w.exit_code, 1) << w.err;
  const std::vector<std::string> lines = testing::OutputLines(w.err);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "No response received, resetting bidirectional communication");
  // The lost reply and every message after it, sent without asking for a reply.
  EXPECT_NE(lines.back().find(" message(s) went unconfirmed; verify the board against the file"),
            std::string::npos)
      << w.err;
  EXPECT_EQ(lines.back().rfind("velacli: ", 0), 0u) << w.err;
}

TEST_F(VelacliTest, WriteAll_Unidirectional_ExitZeroSaysOnceNothingWasConfirmed) {
  SimProcess sim(kVelaSim);
  ProcessResult w = CliOn(sim, {"--unidirectional", "write-all", Path("demo.dat")});
  EXPECT_EQ(w.exit_code, 0) << w.err;
  const std::vector<std::string> lines = testing::OutputLines(w.err);
  ASSERT_EQ(lines.size(), 1u) << w.err;
  EXPECT_EQ(
      lines[0].rfind("velacli: Bidirectional Comm. is off: the board confirmed none of the ", 0),
      0u);
  EXPECT_NE(lines[0].find(" message(s) sent"), std::string::npos);
}

TEST_F(VelacliTest, VerifyEvents_EnableMapUnanswered_NotComparedExitOne) {
  // 32 event-on and 32 event-off reads, then the enable masks (exchange 64).
  SimProcess sim(kVelaSim, {"--demo", "--no-reply", "--fault-at", "64"});
  ProcessResult v = CliOn(sim, {"verify-events", Path("demo.dat")});
  EXPECT_EQ(v.exit_code, 1) << v.out << v.err;
  const std::vector<std::string> lines = testing::OutputLines(v.out);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "Initial event enable masks not compared: no reply");
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "Verify OK"), 0);
}

TEST_F(VelacliTest, UsageMistakes_ExitTwo) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                               {"frobnicate"},
                                               {"read-all"},
                                               {"--baud", "1200", "ports"},
                                               {"-m", "16", "--demo", "version"},
                                               {"version"},
                                               {"--numbering", "2", "ports"}}) {
    ProcessResult r = Cli(args);
    EXPECT_EQ(r.exit_code, 2) << (args.empty() ? "" : args[0]);
    EXPECT_NE(r.err.find("velacli: "), std::string::npos);
  }
  ProcessResult help = Cli({"read-all", "--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_EQ(help.out.rfind("usage: velacli [options] read-all OUT.dat", 0), 0u);
  ProcessResult port = Cli({"-p", "/dev/ttyVELA_NONE", "version"});
  EXPECT_EQ(port.exit_code, 1);
  EXPECT_EQ(port.err.rfind("cannot open /dev/ttyVELA_NONE: ", 0), 0u);
}

TEST_F(VelacliTest, NonAsciiNamesJoinedValuesAndDoubleDash_AreAccepted) {
  const std::string name = Path("Bahnhof Süd.dat");
  ProcessResult c = Cli({"convert", "--", Path("demo.dat"), name});
  ASSERT_EQ(c.exit_code, 0) << c.err;
  EXPECT_EQ(ReadFile(name), ReadFile(Path("demo.dat")));
  SimProcess sim(kVelaSim);
  ProcessResult r = Cli({"--port=" + sim.path(), "--log=" + Path("Süd log.txt"), "version"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "3.2.2.0\n");
  EXPECT_NE(ReadFile(Path("Süd log.txt")).find(">  [43] [62] [70] [00]\r\n"), std::string::npos);
}

// --version and --help of all three programs, with no display to open.
TEST(ProgramsTest, VersionAndHelp_WithoutADisplay) {
  const std::string velaconfig = std::string(VELA_BINARY_DIR) + "/src/app/velaconfig";
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  unsetenv("QT_QPA_PLATFORM");
  std::vector<std::pair<std::string, std::string>> programs = {{kVelacli, "velacli"},
                                                               {kVelaSim, "vela-sim"}};
  // A build without the window (-DVELA_BUILD_GUI=OFF) has no velaconfig.
  if (VELA_BUILD_GUI) programs.emplace_back(velaconfig, "velaconfig");
  for (const auto& [program, name] : programs) {
    ProcessResult version = RunProcess({program, "--version"});
    EXPECT_EQ(version.exit_code, 0) << name << version.err;
    EXPECT_EQ(version.out.rfind(name + " " + VELA_VERSION + "\n", 0), 0u) << version.out;
    EXPECT_NE(version.out.find("GPL-3.0-or-later"), std::string::npos) << name;
    ProcessResult help = RunProcess({program, "--help"});
    EXPECT_EQ(help.exit_code, 0) << name << help.err;
    EXPECT_NE(help.out.find("--version"), std::string::npos) << name << help.out;
  }
  if (!VELA_BUILD_GUI) return;
  // The window's options with values: a value is no option, and a mistake needs no display.
  ProcessResult help = RunProcess({velaconfig, "--baud", "9600", "--help"});
  EXPECT_EQ(help.exit_code, 0) << help.err;
  EXPECT_NE(help.out.find("--no-settings"), std::string::npos) << help.out;
  ProcessResult mistake = RunProcess({velaconfig, "--baud", "1200"});
  EXPECT_EQ(mistake.exit_code, 2);
  EXPECT_EQ(mistake.err,
            "velaconfig: --baud takes 9600, 19200 or 38400, not \"1200\"\n"
            "(velaconfig --help lists the options)\n");
}

}  // namespace
}  // namespace vela
