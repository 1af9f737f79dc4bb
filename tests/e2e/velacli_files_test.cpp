// velacli against hostile files: planted links, odd targets and sources, endless or huge input.
// Every case ends with exit 2, one clear message, and every existing file as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <clocale>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "files/german_locale.h"
#include "support/programs.h"

namespace vela {
namespace {

namespace fs = std::filesystem;
using testing::kVelacli;
using testing::ProcessResult;
using testing::ReadFile;
using testing::RunProcess;
using testing::WriteFile;

class VelacliFilesTest : public testing::ProgramTest {
 protected:
  void SetUp() override {
    MakeFolder("velacli_files");
    ProcessResult r = Cli({"--demo", "read-all", Path("base.dat")});
    ASSERT_EQ(r.exit_code, 0) << r.err;
  }

  static ProcessResult Cli(std::vector<std::string> args) {
    return ProgramTest::Cli(std::move(args), std::chrono::seconds(20));
  }
};

TEST_F(VelacliFilesTest, Convert_PlantedLinkAtOldTemporaryName_VictimUntouched) {
  WriteFile(Path("victim"), "victim");
  fs::create_symlink(Path("victim"), Path("t.dat.saving"));
  ProcessResult r = Cli({"convert", Path("base.dat"), Path("t.dat")});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(ReadFile(Path("victim")), "victim");
  EXPECT_EQ(ReadFile(Path("t.dat")), ReadFile(Path("base.dat")));
}

TEST_F(VelacliFilesTest, Convert_ReadOnlyOrFifoTarget_ExitTwoAndUnchanged) {
  WriteFile(Path("ro.dat"), "precious");
  fs::permissions(Path("ro.dat"), fs::perms::owner_read);
  ProcessResult ro = Cli({"convert", Path("base.dat"), Path("ro.dat")});
  EXPECT_EQ(ro.exit_code, 2);
  EXPECT_EQ(ro.err, "Cannot save " + Path("ro.dat") + ": it is read-only\n");
  EXPECT_EQ(ReadFile(Path("ro.dat")), "precious");

  ASSERT_EQ(mkfifo(Path("fifo.dat").c_str(), 0600), 0);
  ProcessResult fifo = Cli({"convert", Path("base.dat"), Path("fifo.dat")});
  EXPECT_EQ(fifo.exit_code, 2);
  EXPECT_EQ(fifo.err, "Cannot save " + Path("fifo.dat") + ": it is a FIFO, not a regular file\n");
  EXPECT_TRUE(fs::is_fifo(Path("fifo.dat")));
}

TEST_F(VelacliFilesTest, Convert_EndlessSources_ExitTwoPromptly) {
  ASSERT_EQ(mkfifo(Path("fifo.dat").c_str(), 0600), 0);
  ProcessResult fifo = Cli({"convert", Path("fifo.dat"), Path("out.dat")});
  EXPECT_EQ(fifo.exit_code, 2);
  EXPECT_EQ(fifo.err, "Cannot load " + Path("fifo.dat") + ": it is a FIFO, not a regular file\n");
  // /dev/zero under a memory limit: reading it whole would end in an out-of-memory crash.
  // AddressSanitizer reserves terabytes of address space, so under it no limit can be set.
#if defined(__SANITIZE_ADDRESS__)
  const char* const kLimit = "";
#else
  const char* const kLimit = "ulimit -v 1000000; ";
#endif
  ProcessResult zero =
      RunProcess({"/bin/sh", "-c", std::string(kLimit) + "exec \"$0\" convert /dev/zero \"$1\"",
                  kVelacli, Path("out.dat")},
                 std::chrono::seconds(20));
  EXPECT_EQ(zero.exit_code, 2);
  EXPECT_EQ(zero.err, "Cannot load /dev/zero: it is a device, not a regular file\n");
  EXPECT_FALSE(fs::exists(Path("out.dat")));
}

TEST_F(VelacliFilesTest, Convert_HugeBadItem_MessageQuotesAShortPrefix) {
  std::string text = ReadFile(Path("base.dat"));
  // The DCC address replaced by ten million characters.
  size_t at = text.find("\"DCC\",") + 6;
  text.replace(at, text.find(',', at) - at, std::string(10'000'000, '7'));
  WriteFile(Path("huge.dat"), text);
  ProcessResult r = Cli({"convert", Path("huge.dat"), Path("out.dat")});
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_EQ(r.err, "Cannot load " + Path("huge.dat") + ": line 3, item \"DCC\": DCC address " +
                       std::string(40, '7') + "\u2026 is out of range (0..510)\n");
  EXPECT_LT(r.seconds, 5.0);
  WriteFile(Path("over.dat"), std::string(17 * 1024 * 1024, ' '));
  ProcessResult over = Cli({"convert", Path("over.dat"), Path("out.dat")});
  EXPECT_EQ(over.exit_code, 2);
  EXPECT_EQ(over.err, "Cannot load " + Path("over.dat") +
                          ": it is larger than 16 MiB, far more than such a file holds\n");
  EXPECT_FALSE(fs::exists(Path("out.dat")));
}

TEST_F(VelacliFilesTest, LogNamingAFileOfTheCommand_UsageMistakeBeforeAnythingRuns) {
  WriteFile(Path("backup.dat"), "precious");
  fs::create_symlink(Path("backup.dat"), Path("link.txt"));
  for (const std::string& log : {Path("backup.dat"), Path("link.txt")}) {
    ProcessResult r = Cli({"--log", log, "--demo", "read-all", Path("backup.dat")});
    EXPECT_EQ(r.exit_code, 2) << log;
    EXPECT_NE(r.err.find("the log would replace it"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
  EXPECT_EQ(ReadFile(Path("backup.dat")), "precious");
}

TEST_F(VelacliFilesTest, LogThatCannotBeWritten_ExitTwoNothingHalfWritten) {
  WriteFile(Path("log.txt"), "old log");
  fs::permissions(Path("log.txt"), fs::perms::owner_read);
  ProcessResult r = Cli({"--log", Path("log.txt"), "--demo", "version"});
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_EQ(r.out, "3.2.2.0\n");
  EXPECT_EQ(r.err, "cannot write the log to " + Path("log.txt") + ": it is read-only\n");
  EXPECT_EQ(ReadFile(Path("log.txt")), "old log");
  // Written last, also after the differences that compare prints.
  ProcessResult compare = Cli({"--log", Path("log.txt"), "--demo", "compare", Path("base.dat")});
  EXPECT_EQ(compare.exit_code, 2);
  // The backup round-trips (enable masks included), so compare finds no difference.
  EXPECT_NE(compare.err.find("no difference\ncannot write the log to " + Path("log.txt") +
                             ": it is read-only\n"),
            std::string::npos)
      << compare.err;
  // A log that can be written is whole and replaces the old one.
  ProcessResult ok = Cli({"--log", Path("new.txt"), "--demo", "version"});
  EXPECT_EQ(ok.exit_code, 0) << ok.err;
  EXPECT_EQ(ReadFile(Path("new.txt")).rfind(">  [43] [62] [70] [00]\r\n", 0), 0u);
}

TEST_F(VelacliFilesTest, GermanLocale_NumbersAsEverywhere) {
  std::string reason;
  const bool german = testing::UseGermanLocale(dir_, reason);
  std::setlocale(LC_ALL, "C");
  if (!german) GTEST_SKIP() << reason;
  // The child takes its locale from the environment, as Qt programs do.
  setenv("LC_ALL", "de_DE.UTF-8", 1);
  std::string text = ReadFile(Path("base.dat"));
  size_t at = text.find("\"DCC\",") + 6;
  text.replace(at, text.find(',', at) - at, "100.7");
  WriteFile(Path("point.dat"), text);
  ProcessResult convert = Cli({"convert", Path("point.dat"), Path("out.dat")});
  ProcessResult half = Cli({"--demo", "monitor", "--seconds", "0.5"});
  ProcessResult comma = Cli({"--demo", "monitor", "--seconds", "0,5"});
  ProcessResult nan = Cli({"--demo", "monitor", "--seconds", "nan"});
  unsetenv("LC_ALL");
  unsetenv("LOCPATH");
  EXPECT_EQ(convert.exit_code, 0) << convert.err;
  EXPECT_NE(ReadFile(Path("out.dat")).find("\"DCC\",101,"), std::string::npos);
  EXPECT_EQ(half.exit_code, 0) << half.err;
  EXPECT_GE(half.seconds, 0.5);
  EXPECT_EQ(comma.exit_code, 2);
  EXPECT_EQ(nan.exit_code, 2);
}

}  // namespace
}  // namespace vela
