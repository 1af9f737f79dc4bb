// Properties over many generated configurations, and a corpus of broken files.
#include <gtest/gtest.h>

#include "file_test_support.h"
#include "files/data_file.h"
#include "support/recording_dialogs.h"

namespace vela {
namespace {

using testing::ConfigGenerator;
using testing::CrLfLines;
using testing::RecordingDialogs;
using testing::SameConfig;
using testing::ScratchDir;

constexpr uint32_t kSeed = 20261208;
constexpr int kRounds = 300;

std::string Format(BoardConfig& config, bool compact) {
  std::string bytes;
  std::string refusal;
  EXPECT_TRUE(FormatDataFile(config, compact, bytes, refusal)) << refusal;
  return bytes;
}

std::string Join(const std::vector<std::string>& lines, size_t count) {
  std::string text;
  for (size_t i = 0; i < count && i < lines.size(); ++i) text += lines[i] + "\r\n";
  return text;
}

TEST(DataFileProperty, SaveLoadSave_IsByteIdentical) {
  ConfigGenerator generate(kSeed);
  for (int round = 0; round < kRounds; ++round) {
    BoardConfig original = generate.Config();
    bool compact = round % 2 == 1;
    std::string first = Format(original, compact);
    // A full file overwrites every pin, so it may land on any configuration; a compact one
    // leaves the pins it omits, so it lands on the start-up configuration.
    BoardConfig loaded = compact ? BoardConfig() : generate.Config();
    DataFileRead read = ParseDataFile(first, loaded);
    ASSERT_EQ(read.outcome, DataFileRead::Outcome::kLoaded)
        << "round " << round << ": " << read.problem.Text();
    ASSERT_EQ(Format(loaded, compact), first) << "round " << round;
  }
}

TEST(DataFileProperty, FullSaveLoadedOnTheStartUpConfiguration_GivesTheConfigurationBack) {
  ConfigGenerator generate(kSeed + 1);
  for (int round = 0; round < kRounds; ++round) {
    BoardConfig original = generate.Config();
    BoardConfig loaded;
    DataFileRead read = ParseDataFile(Format(original, false), loaded);
    ASSERT_EQ(read.outcome, DataFileRead::Outcome::kLoaded) << read.problem.Text();
    ASSERT_TRUE(SameConfig(loaded, original)) << "round " << round;
  }
}

// Loads broken files over a configuration that differs from the file everywhere, and expects
// one warning and no change at all.
class BrokenDataFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ConfigGenerator generate(kSeed + 2);
    BoardConfig source = generate.Config();
    source.Pins[0].Description = "first";
    source.Pins[0].AspectMode = 3;
    for (int pin = 4; pin < kPinCount; ++pin) source.Pins[pin].AspectMode = 0;  // keeps it short
    good_ = CrLfLines(Format(source, false));
    current_ = generate.Config();
  }

  // Loads text; returns the one message shown, failing the test on anything else.
  std::string LoadBroken(const std::string& text) {
    testing::WriteBytes(path_, text);
    BoardConfig config = current_;
    RecordingDialogs dialogs;
    EXPECT_FALSE(LoadDataFile(config, path_, dialogs));
    EXPECT_TRUE(SameConfig(config, current_)) << text.substr(0, 200);
    if (dialogs.messages.size() != 1) {
      ADD_FAILURE() << dialogs.messages.size() << " messages for " << text.substr(0, 200);
      return {};
    }
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::kWarning);
    return dialogs.messages[0].text;
  }

  size_t FindLine(const std::string& start) const {
    for (size_t i = 0; i < good_.size(); ++i) {
      size_t first = good_[i].find_first_not_of(' ');
      if (first != std::string::npos && good_[i].compare(first, start.size(), start) == 0) {
        return i;
      }
    }
    ADD_FAILURE() << "no line starts with " << start;
    return 0;
  }

  std::string WithLine(size_t index, const std::string& replacement) const {
    std::vector<std::string> lines = good_;
    lines[index] = replacement;
    return Join(lines, lines.size());
  }

  std::string Prefix() const { return "Cannot load " + path_ + ": "; }

  ScratchDir dir_;
  std::string path_ = dir_.File("broken.dat");
  std::vector<std::string> good_;
  BoardConfig current_;
};

TEST_F(BrokenDataFile, TheGoodFile_Loads) {
  testing::WriteBytes(path_, Join(good_, good_.size()));
  BoardConfig config = current_;
  RecordingDialogs dialogs;
  EXPECT_TRUE(LoadDataFile(config, path_, dialogs));
  EXPECT_FALSE(SameConfig(config, current_));
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(BrokenDataFile, CutAtEveryLine_OneMessageNothingChanged) {
  EXPECT_EQ(LoadBroken(""), "Invalid configuration file");
  for (size_t keep = 1; keep < good_.size(); ++keep) {
    std::string message = LoadBroken(Join(good_, keep));
    EXPECT_NE(message.find(": the file ends before \"End\""), std::string::npos) << message;
    EXPECT_EQ(message.rfind(Prefix() + "line " + std::to_string(keep), 0), 0u) << message;
  }
}

TEST_F(BrokenDataFile, CutInsideLines_OneMessageNothingChanged) {
  std::string text = Join(good_, good_.size());
  size_t end_tag = text.rfind("\"End\"");
  for (size_t cut = 1; cut < end_tag + 4; cut += 11) {
    std::string message = LoadBroken(text.substr(0, cut));
    EXPECT_FALSE(message.empty()) << cut;
  }
}

TEST_F(BrokenDataFile, BadNumbersAndIndices_NameTheLineAndTheItem) {
  size_t pin = FindLine("\"Pin\",0,");
  size_t asp = FindLine("\"Asp\",1,");
  size_t ins = FindLine("\"Ins\",4,");
  size_t cfg = FindLine("\"Cfg\"");
  size_t pam = FindLine("\"PAM\"");
  size_t dev = FindLine("\"Dev\"");
  struct Case {
    size_t line;
    std::string replacement;
    std::string item;
    std::string what;
  };
  const Case cases[] = {
      {pin, "\"Pin\",40,3,0,\"first\"", "Pin", "pin number 40 is out of range (0..31)"},
      {pin, "\"Pin\",\"0\",3,0,\"first\"", "Pin", "expected the pin number, found the text \"0\""},
      {pin, "\"Pin\",0,256,0,\"first\"", "Pin", "aspect mode 256 is out of range (0..255)"},
      {asp, "  \"Asp\",13,\"\"", "Asp", "aspect number 13 is out of range (0..12)"},
      {ins, "    \"Ins\",10,0,0,0,0,0", "Ins", "step number 10 is out of range (0..9)"},
      {ins, "    \"Ins\",4,-1,0,0,0,0", "Ins", "instruction -1 is out of range (0..255)"},
      {ins, "    \"Ins\",4,9,0,0,0,1e3", "Ins", "parameter 3 \"1e3\" is not a whole number"},
      {cfg, "  \"Cfg\",2,x,0,0,0,0", "Cfg",
       "configuration parameter 1 \"x\" is not a whole number"},
      {pam, "  \"PAM\",1,300,1", "PAM", "DCC count 300 is out of range (0..255)"},
      {dev, "  \"Dev\",40000,\"\"", "Dev", "device referral 40000 is out of range (-32768..32767)"},
      {dev, "  \"Dev\",,\"\"", "Dev", "device referral \"\" is not a whole number"},
      {2, "\"DCC\",511,1,2", "DCC", "DCC address 511 is out of range (0..510)"},
      {2, "\"DCC\",1,2047,2", "DCC", "extended DCC address 2047 is out of range (0..2046)"},
      {3, "\"XAD\",256,0,0,0,0,0,0", "XAD", "addressing value 256 is out of range (0..255)"},
      {5, "\"LED\",1.5,0", "LED", "green LED mask \"1.5\" is not a whole number"},
      {7, "\"Eon\",32,0,0,0,0", "Eon", "pin number 32 is out of range (0..31)"},
      {40, "\"Eof\",1,0,13,0,0", "Eof", "event action 13 is out of range (0..12)"},
  };
  for (const Case& c : cases) {
    std::string expected =
        Prefix() + "line " + std::to_string(c.line + 1) + ", item \"" + c.item + "\": " + c.what;
    EXPECT_EQ(LoadBroken(WithLine(c.line, c.replacement)), expected) << c.replacement;
  }
}

TEST_F(BrokenDataFile, LineThatLostAnItem_IsFoundOnItsOwnLine) {
  size_t ins = FindLine("\"Ins\",4,");
  std::string message = LoadBroken(WithLine(ins, "    \"Ins\",4,9,0,0,0"));
  EXPECT_EQ(message, Prefix() + "line " + std::to_string(ins + 1) +
                         ", item \"Ins\": expected the parameter 3, found the end of the line");
}

TEST_F(BrokenDataFile, NotAConfigurationFile_InvalidHeader) {
  EXPECT_EQ(LoadBroken("garbage\r\n"), "Invalid configuration file");
  EXPECT_EQ(LoadBroken("\"VelaDeviceDefinitions 1.0\"\r\n\"End\"\r\n"),
            "Invalid configuration file");
  EXPECT_EQ(LoadBroken(std::string("\0\0\0\0", 4)), "Invalid configuration file");
}

}  // namespace
}  // namespace vela
