// The vela-sim command line: every option lands in the board's, station's or line's settings;
// usage errors say what is wrong.
#include "sim/sim_options.h"

#include <gtest/gtest.h>

namespace vela::sim {
namespace {

SimOptions Parse(std::vector<std::string> args) {
  SimOptions options;
  std::string error;
  EXPECT_TRUE(ParseSimOptions(args, options, error)) << error;
  return options;
}

std::string ErrorOf(std::vector<std::string> args) {
  SimOptions options;
  std::string error;
  EXPECT_FALSE(ParseSimOptions(args, options, error));
  return error;
}

TEST(SimOptions, BoardLineAndFileOptions_SetTheirFields) {
  SimOptions o = Parse({"--pty", "--module", "7", "--xaddr", "45", "--baud", "19200",
                        "--turnaround-us", "1500", "--demo", "--dump", "-", "--verbose"});
  EXPECT_TRUE(o.pty);
  EXPECT_EQ(o.module, 7);
  EXPECT_EQ(o.xaddress, 45);
  EXPECT_EQ(o.timing.bit_rate, 19200);
  EXPECT_EQ(o.timing.turnaround, std::chrono::microseconds(1500));
  EXPECT_TRUE(o.demo);
  EXPECT_EQ(o.dump_file, "-");
  EXPECT_TRUE(o.verbose);
  EXPECT_EQ(Parse({"--pty", "--load", "layout.dat"}).load_file, "layout.dat");
}

TEST(SimOptions, StationOptions_SetTheStationSettings) {
  SimOptions o = Parse({"--pty", "--station", "--protocol", "3100", "--interface", "zeto",
                        "--interface-version", "1030", "--polls-before-reply", "2",
                        "--silent-station", "--module", "20"});
  EXPECT_TRUE(o.station);
  EXPECT_EQ(o.station_settings.protocol_version, 3100);
  EXPECT_EQ(o.station_settings.interface_type, kInterfaceZeto);
  EXPECT_EQ(o.station_settings.interface_version, 1030);
  EXPECT_EQ(o.station_settings.polls_before_reply, 2);
  EXPECT_TRUE(o.station_settings.silent);
  EXPECT_EQ(Parse({"--pty", "--interface", "hby"}).station_settings.interface_type, kInterfaceHby);
  EXPECT_EQ(Parse({"--pty", "--interface", "hbx"}).station_settings.interface_type, kInterfaceHbx);
  EXPECT_EQ(Parse({"--pty", "--interface", "7"}).station_settings.interface_type, 7);
}

TEST(SimOptions, EveryFaultOption_SetsItsFault) {
  SimOptions o =
      Parse({"--pty", "--no-reply", "--bad-checksum", "--good-copy", "--garbage", "FF,85",
             "--wrong-echo", "--xaddr-fault", "wrong", "--unsupported", "116,112:11",
             "--unsupported-answer", "wrong-type", "--reply-delay-ms", "2500", "--fault-at", "3"});
  const Faults& f = o.faults;
  EXPECT_TRUE(f.no_reply);
  EXPECT_TRUE(f.wrong_checksum);
  EXPECT_TRUE(f.good_copy_after_bad);
  EXPECT_EQ(f.garbage_before, (std::vector<uint8_t>{0xFF, 0x85}));
  EXPECT_TRUE(f.wrong_address_echo);
  EXPECT_EQ(f.xaddress, Faults::XAddress::kWrong);
  EXPECT_EQ(f.unsupported_types, std::set<int>{116});
  EXPECT_EQ(f.unsupported_commands, (std::set<std::pair<int, int>>{{112, 11}}));
  EXPECT_EQ(f.unsupported_answer, Faults::Unsupported::kWrongType);
  EXPECT_EQ(f.reply_delay, std::chrono::milliseconds(2500));
  EXPECT_EQ(f.only_at_frame, 3);
  EXPECT_EQ(Parse({"--pty", "--xaddr-fault", "missing"}).faults.xaddress,
            Faults::XAddress::kMissing);
  EXPECT_EQ(Parse({"--pty", "--xaddr-fault", "unexpected"}).faults.xaddress,
            Faults::XAddress::kUnexpected);
  EXPECT_EQ(Parse({"--pty", "--garbage", "AA55"}).faults.garbage_before,
            (std::vector<uint8_t>{0xAA, 0x55}));
}

TEST(SimOptions, UsageErrorsSayWhatIsWrong) {
  EXPECT_EQ(ErrorOf({}), "nothing to serve on: give --pty");
  EXPECT_EQ(ErrorOf({"--pty", "--module", "40"}), "--module takes a number 0..31, not \"40\"");
  EXPECT_EQ(ErrorOf({"--pty", "--module", "20"}),
            "--module above 15 is reachable only through the station (--station)");
  EXPECT_EQ(ErrorOf({"--pty", "--protocol", "3800"}),
            "--protocol takes a version whose hundreds and ones are 0..7 (3200, 1030), not "
            "\"3800\"");
  EXPECT_EQ(ErrorOf({"--pty", "--interface", "hbz"}),
            "--interface takes hbx, hby, zeto or a number, not \"hbz\"");
  EXPECT_EQ(ErrorOf({"--pty", "--garbage", "F"}),
            "--garbage takes hexadecimal bytes such as FF85, not \"F\"");
  EXPECT_EQ(ErrorOf({"--pty", "--xaddr-fault", "late"}),
            "--xaddr-fault takes missing, wrong or unexpected, not \"late\"");
  EXPECT_EQ(ErrorOf({"--pty", "--unsupported", "116,x"}),
            "--unsupported takes types 0..127 or TYPE:COMMAND, comma-separated, not \"116,x\"");
  EXPECT_EQ(ErrorOf({"--pty", "--baud"}), "--baud needs a value");
  EXPECT_EQ(ErrorOf({"--pty", "--fast"}), "unknown option \"--fast\"");
  EXPECT_EQ(ErrorOf({"--pty", "--demo", "--load", "a.dat"}),
            "--demo and --load exclude each other");
}

TEST(SimOptions, BadReportVersionOrAnswerKind_SaysWhatIsWrong) {
  EXPECT_EQ(ErrorOf({"--pty", "--report", "1,2,3"}),
            "--report takes four numbers 0..127 such as 12,0,127,3, not \"1,2,3\"");
  EXPECT_EQ(ErrorOf({"--pty", "--report", "1,2,3,128"}),
            "--report takes four numbers 0..127 such as 12,0,127,3, not \"1,2,3,128\"");
  EXPECT_EQ(ErrorOf({"--pty", "--interface-version", "1830"}),
            "--interface-version takes a version whose hundreds and ones are 0..7 (3200, 1030), "
            "not \"1830\"");
  EXPECT_EQ(ErrorOf({"--pty", "--unsupported-answer", "late"}),
            "--unsupported-answer takes empty or wrong-type, not \"late\"");
  EXPECT_EQ(ErrorOf({"--pty", "--turnaround-us", "-1"}),
            "--turnaround-us takes a number 0..60000000, not \"-1\"");
  EXPECT_EQ(ErrorOf({"--pty", "--load"}), "--load needs a value");
  EXPECT_EQ(Parse({"--pty", "--report", "12,0,127,3"}).reports,
            (std::vector<std::array<uint8_t, 4>>{{12, 0, 127, 3}}));
}

TEST(SimOptions, HelpNeedsNothingElse_AndNamesEveryOption) {
  EXPECT_TRUE(Parse({"--help"}).help);
  const std::string usage = SimUsage();
  for (const char* option : {"--pty",
                             "--module",
                             "--xaddr",
                             "--demo",
                             "--load",
                             "--dump",
                             "--verbose",
                             "--baud",
                             "--turnaround-us",
                             "--station",
                             "--protocol",
                             "--interface",
                             "--interface-version",
                             "--polls-before-reply",
                             "--silent-station",
                             "--no-reply",
                             "--bad-checksum",
                             "--good-copy",
                             "--garbage",
                             "--wrong-echo",
                             "--xaddr-fault",
                             "--unsupported",
                             "--unsupported-answer",
                             "--reply-delay-ms",
                             "--fault-at",
                             "--help"}) {
    EXPECT_NE(usage.find(std::string("  ") + option + " "), std::string::npos) << option;
  }
}

}  // namespace
}  // namespace vela::sim
