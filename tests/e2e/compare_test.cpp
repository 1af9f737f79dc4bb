// velacli diff and compare: two files, and a file against vela-sim over a real pty.
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

class CompareTest : public testing::ProgramTest {
 protected:
  void SetUp() override {
    MakeFolder("velacli_compare");
    ProcessResult r = Cli({"--demo", "read-all", Path("demo.dat")});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    // Two changes: the packet retention, and the time of a "Wait" step of pin 4.
    std::string text = ReadFile(Path("demo.dat"));
    Replace(text, "\"DCC\",100,300,6", "\"DCC\",100,300,7");
    Replace(text, "\"Ins\",1,102,0,0,20,1", "\"Ins\",1,102,0,0,40,1");
    std::ofstream(Path("changed.dat"), std::ios::binary) << text;
  }

  static void Replace(std::string& text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
  }
};

const char* const kChangedLines =
    "DCC, Packet Retention: 500ms | 250ms\n"
    "Pin 4, Aspect 2, Step 1 (Wait), Time: 00:06.40 (Time 40, Base 1) | "
    "00:03.20 (Time 20, Base 1)\n";

TEST_F(CompareTest, Diff_LinesOnStdoutCountOnStderr) {
  ProcessResult same = Cli({"diff", Path("demo.dat"), Path("demo.dat")});
  EXPECT_EQ(same.exit_code, 0);
  EXPECT_EQ(same.out, "");
  EXPECT_EQ(same.err, "no difference\n");

  ProcessResult d = Cli({"diff", Path("changed.dat"), Path("demo.dat")});
  EXPECT_EQ(d.exit_code, 1) << d.err;
  EXPECT_EQ(d.out, kChangedLines);
  EXPECT_EQ(d.err, "2 differences\n");

  ProcessResult brief = Cli({"diff", "--brief", Path("changed.dat"), Path("demo.dat")});
  EXPECT_EQ(brief.exit_code, 1);
  EXPECT_EQ(brief.out, "");
  EXPECT_EQ(brief.err, "2 differences\n");

  // Numbered from 0, pin 4 is pin 3.
  ProcessResult zero = Cli({"--numbering", "0", "diff", Path("changed.dat"), Path("demo.dat")});
  EXPECT_NE(zero.out.find("\nPin 3, Aspect 2, Step 1 (Wait)"), std::string::npos) << zero.out;
}

TEST_F(CompareTest, Diff_FileOrUsageErrorsExitTwo) {
  ProcessResult missing = Cli({"diff", Path("demo.dat"), Path("none.dat")});
  EXPECT_EQ(missing.exit_code, 2);
  EXPECT_EQ(missing.out, "");
  EXPECT_NE(missing.err.find("the file cannot be opened"), std::string::npos) << missing.err;
  EXPECT_EQ(Cli({"diff", Path("demo.dat")}).exit_code, 2);
  EXPECT_EQ(Cli({"compare", Path("demo.dat")}).exit_code, 2);  // no port
}

TEST_F(CompareTest, Compare_BoardAgainstFileThroughThePty) {
  SimProcess sim(kVelaSim);
  ASSERT_FALSE(sim.path().empty());
  ASSERT_EQ(CliOn(sim, {"write-all", Path("demo.dat")}).exit_code, 0);

  ProcessResult same = CliOn(sim, {"compare", Path("demo.dat")});
  EXPECT_EQ(same.exit_code, 0) << same.err;
  EXPECT_EQ(same.out, "");
  EXPECT_EQ(same.err, "no difference\n");

  ProcessResult d = CliOn(sim, {"compare", Path("changed.dat")});
  EXPECT_EQ(d.exit_code, 1) << d.err;
  EXPECT_EQ(d.out, kChangedLines);
  EXPECT_EQ(d.err, "2 differences\n");

  ProcessResult brief = CliOn(sim, {"compare", "--brief", Path("changed.dat")});
  EXPECT_EQ(brief.out, "");
  EXPECT_EQ(brief.err, "2 differences\n");
  EXPECT_EQ(sim.Stop(), 0);
}

TEST_F(CompareTest, Compare_CostsTheExchangesOfReadAllAndNoMore) {
  SimProcess sim(kVelaSim);
  ASSERT_EQ(CliOn(sim, {"write-all", Path("demo.dat")}).exit_code, 0);
  ASSERT_EQ(CliOn(sim, {"--log", Path("read.log"), "read-all", Path("back.dat")}).exit_code, 0);
  ASSERT_EQ(CliOn(sim, {"--log", Path("compare.log"), "compare", Path("demo.dat")}).exit_code, 0);
  EXPECT_FALSE(ReadFile(Path("read.log")).empty());
  EXPECT_EQ(ReadFile(Path("compare.log")), ReadFile(Path("read.log")));
}

TEST_F(CompareTest, Compare_SilentBoard_ExitOneAndNoComparison) {
  SimProcess sim(kVelaSim, {"--no-reply"});
  ProcessResult r = CliOn(sim, {"compare", Path("demo.dat")});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err.find("difference"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("No response received"), std::string::npos) << r.err;
}

TEST_F(CompareTest, Compare_FailureTheReadGoesOnPast_ExitOneAndNoComparison) {
  // The closing enable-map read gets no reply: the read goes on, but that value is unread.
  SimProcess sim(kVelaSim);
  ASSERT_EQ(CliOn(sim, {"write-all", Path("demo.dat")}).exit_code, 0);
  ProcessResult clean = CliOn(sim, {"--log", Path("read.log"), "read-all", Path("back.dat")});
  ASSERT_EQ(clean.exit_code, 0) << clean.err;
  const std::string log = ReadFile(Path("read.log"));
  const int exchanges = static_cast<int>(std::count(log.begin(), log.end(), '>'));
  SimProcess faulty(kVelaSim, {"--load", Path("demo.dat"), "--no-reply", "--fault-at",
                               std::to_string(exchanges - 1)});
  ProcessResult r = CliOn(faulty, {"compare", Path("demo.dat")});
  EXPECT_EQ(r.exit_code, 1) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("No response received"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("velacli: 1 exchange(s) failed; nothing was compared"), std::string::npos)
      << r.err;
}

}  // namespace
}  // namespace vela
