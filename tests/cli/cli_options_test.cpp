// velacli's command line: the forms a script may type, and the mistakes it is told about.
#include <gtest/gtest.h>

#include "cli/cli_options.h"

#include <clocale>

#include "files/file_test_support.h"
#include "files/german_locale.h"

namespace vela::cli {
namespace {

std::string MistakeIn(const std::vector<std::string>& args) {
  try {
    ParseOptions(args);
  } catch (const UsageError& e) {
    return e.what();
  }
  return "(accepted)";
}

TEST(CliOptionsTest, ValuesJoinedOrSeparate_SameOptions) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--port=/dev/x", "--baud=9600", "--module=3", "--xaddr=7",
                                 "--numbering=0", "--config=a=b.dat", "--log=l.txt", "read-all",
                                 "out.dat", "--compact"},
        {"-p", "/dev/x", "-b", "9600", "-m", "3", "-x", "7", "--numbering", "0", "--config",
         "a=b.dat", "--log", "l.txt", "read-all", "--compact", "out.dat"},
        {"-p/dev/x", "-b9600", "-m3", "-x7", "read-all", "--numbering", "0", "out.dat", "--config",
         "a=b.dat", "--compact", "--log", "l.txt"}}) {
    Options o = ParseOptions(args);
    EXPECT_EQ(o.port, "/dev/x");
    EXPECT_EQ(o.bit_rate_index, 0);
    EXPECT_EQ(o.module, 3);
    EXPECT_EQ(o.xaddress, 7);
    EXPECT_EQ(o.numbering, 0);
    EXPECT_EQ(o.config_file, "a=b.dat");
    EXPECT_EQ(o.log_file, "l.txt");
    EXPECT_TRUE(o.compact);
    EXPECT_EQ(o.command, "read-all");
    EXPECT_EQ(o.args, std::vector<std::string>{"out.dat"});
  }
}

TEST(CliOptionsTest, DoubleDash_EndsOptionsSoFileNamesMayStartWithADash) {
  Options o = ParseOptions({"--demo", "convert", "--", "-in.dat", "--compact"});
  EXPECT_EQ(o.command, "convert");
  EXPECT_EQ(o.args, (std::vector<std::string>{"-in.dat", "--compact"}));
  EXPECT_FALSE(o.compact);
  EXPECT_EQ(ParseOptions({"convert", "Bahnhof Süd.dat", "-"}).args,
            (std::vector<std::string>{"Bahnhof Süd.dat", "-"}));
}

TEST(CliOptionsTest, HelpAndVersion_NeedNoCommand) {
  EXPECT_TRUE(ParseOptions({"--version"}).version);
  EXPECT_TRUE(ParseOptions({"-h"}).help);
  Options help = ParseOptions({"monitor", "--help"});
  EXPECT_TRUE(help.help);
  EXPECT_EQ(help.command, "monitor");
  EXPECT_NE(HelpText("").find("--version"), std::string::npos);
}

TEST(CliOptionsTest, Mistakes_NameTheOptionAsTyped) {
  EXPECT_EQ(MistakeIn({"--frobnicate", "ports"}), "unknown option --frobnicate");
  EXPECT_EQ(MistakeIn({"-q", "ports"}), "unknown option -q");
  EXPECT_EQ(MistakeIn({"ports", "--port"}), "--port needs a value");
  EXPECT_EQ(MistakeIn({"ports", "-p"}), "-p needs a value");
  EXPECT_EQ(MistakeIn({"--yes=1", "ports"}), "--yes takes no value");
  EXPECT_EQ(MistakeIn({"--baud=1200", "ports"}), "--baud takes 9600, 19200 or 38400, not \"1200\"");
  EXPECT_EQ(MistakeIn({"--module=x", "--demo", "version"}),
            "--module takes a number from 0 to 31, not \"x\"");
  EXPECT_EQ(MistakeIn({"-m", "16", "--demo", "version"}),
            "--module takes 0..15 on the direct link (0..31 with --tunnel)");
  EXPECT_EQ(MistakeIn({"--seconds=-1", "--demo", "monitor"}),
            "--seconds takes a number of seconds from 0 to 86400 (such as 0.5), not \"-1\"");
  EXPECT_EQ(MistakeIn({}), "no command given");
  EXPECT_EQ(MistakeIn({"frobnicate"}), "unknown command \"frobnicate\"");
  EXPECT_EQ(MistakeIn({"convert", "a.dat"}),
            "usage: velacli [options] convert IN.dat OUT.dat [--compact]");
  EXPECT_EQ(MistakeIn({"version"}), "the version command needs --port PATH (or --demo)");
  EXPECT_EQ(ParseOptions({"-m", "20", "--tunnel", "-p", "x", "version"}).module, 20);
}

TEST(CliOptionsTest, Seconds_PlainDecimalInEveryLocale) {
  testing::ScratchDir dir;
  std::string reason;
  const bool german = testing::UseGermanLocale(dir.path(), reason);
  EXPECT_EQ(ParseOptions({"--demo", "monitor", "--seconds", "0.5"}).seconds, 0.5);
  EXPECT_EQ(ParseOptions({"--demo", "monitor", "--seconds=12"}).seconds, 12);
  for (const std::string& bad :
       std::vector<std::string>{"nan", "inf", "-inf", "1e3", "0,5", "", " 1", "0x10", "1.5s",
                                "86400.5", std::string(400, '9')}) {
    EXPECT_EQ(
        MistakeIn({"--demo", "monitor", "--seconds", bad}),
        "--seconds takes a number of seconds from 0 to 86400 (such as 0.5), not \"" + bad + "\"")
        << bad;
  }
  std::setlocale(LC_ALL, "C");
  unsetenv("LOCPATH");
  if (!german) GTEST_SKIP() << "checked in the C locale only: " << reason;
}

TEST(CliOptionsTest, LogNamingAFileOfTheCommand_IsAUsageMistake) {
  const std::string mistake = "; the log would replace it";
  EXPECT_EQ(MistakeIn({"--log", "x.dat", "--demo", "read-all", "x.dat"}),
            "--log x.dat names a file the command reads or writes (x.dat)" + mistake);
  EXPECT_EQ(MistakeIn({"--log", "./sub/../x.dat", "--demo", "write-all", "x.dat"}),
            "--log ./sub/../x.dat names a file the command reads or writes (x.dat)" + mistake);
  EXPECT_EQ(MistakeIn({"--log=in.dat", "convert", "in.dat", "out.dat"}),
            "--log in.dat names a file the command reads or writes (in.dat)" + mistake);
  EXPECT_EQ(MistakeIn({"--log=c.dat", "--config", "c.dat", "--demo", "version"}),
            "--log c.dat names a file the command reads or writes (c.dat)" + mistake);
  EXPECT_EQ(MistakeIn({"--log=o.dat", "device-load", "i.dat", "l.def", "Sig", "1", "o.dat"}),
            "--log o.dat names a file the command reads or writes (o.dat)" + mistake);
  // A device name or a pin is no file.
  EXPECT_EQ(MistakeIn({"--log=Sig", "device-load", "i.dat", "l.def", "Sig", "1", "o.dat"}),
            "(accepted)");
  EXPECT_EQ(MistakeIn({"--log", "log.txt", "--demo", "read-all", "x.dat"}), "(accepted)");
}

}  // namespace
}  // namespace vela::cli
