// Helpers of the file tests: a scratch folder, reading and writing files whole, comparing two
// configurations member by member, and random configurations for the round-trip properties.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "model/board_config.h"
#include "model/instruction_set.h"

namespace vela::testing {

// A folder of its own for each test, removed afterwards.
class ScratchDir {
 public:
  ScratchDir() {
    static std::atomic<int> counter{0};
    static const unsigned run = std::random_device{}();
    path_ = std::filesystem::temp_directory_path() /
            ("vela-files-" + std::to_string(run) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// The lines of file text without their CR LF; fails the test on a bare LF or CR.
inline std::vector<std::string> CrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "text does not end with CR LF: " << text.substr(start);
      lines.push_back(text.substr(start));
      break;
    }
    std::string line = text.substr(start, end - start);
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "stray line end in " << line;
    lines.push_back(line);
    start = end + 2;
  }
  return lines;
}

// The lines that start with a tag (after their indentation).
inline std::vector<std::string> LinesWithTag(const std::vector<std::string>& lines,
                                             const std::string& tag) {
  std::vector<std::string> found;
  std::string quoted = "\"" + tag + "\"";
  for (const std::string& line : lines) {
    size_t first = line.find_first_not_of(' ');
    if (first != std::string::npos && line.compare(first, quoted.size(), quoted) == 0) {
      found.push_back(line);
    }
  }
  return found;
}

// BoardConfig has no operator==; its members do.
inline void ExpectSameConfig(const BoardConfig& a, const BoardConfig& b) {
  for (int i = 0; i < kPinEntries; ++i) EXPECT_TRUE(a.Pins[i] == b.Pins[i]) << "pin " << i;
  EXPECT_TRUE(a.Events == b.Events);
  EXPECT_TRUE(a.General == b.General);
  EXPECT_TRUE(a.Starts == b.Starts);
  EXPECT_EQ(a.CurrentPin, b.CurrentPin);
  EXPECT_EQ(a.CurrentAspect, b.CurrentAspect);
  EXPECT_EQ(a.ECSelectedPin, b.ECSelectedPin);
  EXPECT_EQ(a.SelectedStepRow, b.SelectedStepRow);
  EXPECT_EQ(a.NumberBase, b.NumberBase);
  EXPECT_EQ(a.DataFileVersion, b.DataFileVersion);
  EXPECT_EQ(a.ExpertMode, b.ExpertMode);
}

inline bool SameConfig(const BoardConfig& a, const BoardConfig& b) {
  for (int i = 0; i < kPinEntries; ++i) {
    if (!(a.Pins[i] == b.Pins[i])) return false;
  }
  return a.Events == b.Events && a.General == b.General && a.Starts == b.Starts &&
         a.CurrentPin == b.CurrentPin && a.CurrentAspect == b.CurrentAspect &&
         a.ECSelectedPin == b.ECSelectedPin && a.SelectedStepRow == b.SelectedStepRow &&
         a.NumberBase == b.NumberBase && a.DataFileVersion == b.DataFileVersion &&
         a.ExpertMode == b.ExpertMode;
}

// Random configurations that hold only what the editors can produce, and in the form a load
// gives back: fields a file does not carry are left at their start-up values or derived as the
// loader derives them, so that load(save(c)) == c can be asserted whole.
class ConfigGenerator {
 public:
  explicit ConfigGenerator(uint32_t seed) : random_(seed) {}

  int Int(int min, int max) { return std::uniform_int_distribution<int>(min, max)(random_); }
  bool Bool() { return Int(0, 1) == 1; }

  // A text the file can store: ASCII, Latin-1 and Windows-1252 characters, no double quote.
  std::string Text(int max_length) {
    static const std::vector<std::string> kPieces = {"a", "Z", "7", " ", ",",        "-",
                                                     ">", "'", "é", "ü", "ß",        "€",
                                                     "„", "™", "Œ", "ÿ", "\xC2\xA0", "\t"};
    std::string text;
    int length = Int(0, max_length);
    for (int i = 0; i < length; ++i) text += kPieces[Int(0, static_cast<int>(kPieces.size()) - 1)];
    return text;
  }

  BoardConfig Config() {
    BoardConfig c;
    GeneralSettings& g = c.General;
    g.IdString = Text(12);
    g.AllowAddress0 = Bool();
    g.BasicPacketStateInvert = Bool();
    g.PacketRetention = Int(0, 3);
    g.DccAddress = Int(0, 510);
    g.XDccAddress = Int(0, 2046);
    g.KRaddr = Bool();
    g.VLNative = !g.KRaddr && Bool();
    g.KoraFlexAddress = g.KRaddr ? Int(0, 255) : 0;
    g.GenXAddress = Int(0, 255);
    for (bool& b : g.XGM) b = Bool();
    for (int group = 0; group < 4; ++group) {
      g.HwcSink[group] = Bool();
      g.HwcSource[group] = Bool();
    }
    ApplyLedByte(g.LedGreen, Int(0, 127));
    ApplyLedByte(g.LedOrange, Int(0, 127));
    g.SerialEnable = Bool();
    g.BaudIndex = Int(0, 7);
    g.DataBitsIndex = Int(0, 1);
    static const int kParities[] = {0, 2, 3};
    g.ParityIndex = kParities[Int(0, 2)];
    g.StopIndex = Int(0, 1);
    for (int pin = 0; pin < kPinCount; ++pin) {
      for (int event = 0; event < 2; ++event) {
        for (int input = 0; input < 4; ++input) {
          c.Events.At(pin, event, input) = static_cast<int16_t>(Int(-1, 11));
        }
      }
      Pin(c.Pins[pin]);
    }
    c.ComputeAllStarts();
    return c;
  }

  // Only what an unset field of a fresh configuration holds: a loaded file leaves the rest.
  void Pin(PinRecord& p) {
    static const int kModes[] = {0, 2, 3, 3, 2, 7};
    p.Description = Bool() ? Text(10) : "";
    p.DeviceName = Bool() ? Text(8) : "";
    p.DeviceRef = static_cast<int16_t>(Int(-40, 40));
    p.AspectMode = static_cast<uint8_t>(kModes[Int(0, 5)]);
    p.InitialAspect = static_cast<uint8_t>(Int(0, 255));
    p.DccCount = static_cast<uint8_t>(Int(0, 255));
    p.XDccCount = static_cast<uint8_t>(Int(0, 255));
    p.KoraCount = static_cast<uint8_t>(Int(0, 255));
    p.PinConfig = {};
    int type = Int(0, 5);
    p.PinConfig[0] = static_cast<uint8_t>(type);
    int last = type == kServo                           ? 11
               : (type == kPwm || type == kPwmInverted) ? 5
                                                        : (type >= kInput ? 4 : 0);
    for (int i = 1; i <= last; ++i) p.PinConfig[i] = static_cast<uint8_t>(Int(0, 255));
    if (type == kServo) {
      // The editor always sets bit 3; bits 6 and 7 are the board's and are not saved.
      p.PinConfig[2] = static_cast<uint8_t>((p.PinConfig[2] | 8) % 64);
    }
    p.CurrentValue = p.PinConfig[1];
    AspectRectangle rect = RectangleOf(p.AspectMode);
    for (int a = 0; a < rect.aspects; ++a) {
      p.Aspects[a].Description = Bool() ? Text(10) : "";
      for (int s = 0; s < rect.steps; ++s) Step(p.Aspects[a].Steps[s]);
    }
  }

  void Step(StepRecord& step) {
    const std::vector<int>& codes = instructions_.ListOrder();
    int code = Int(0, 3) == 0 ? 0 : codes[Int(0, static_cast<int>(codes.size()) - 1)];
    step.Instruction = static_cast<uint8_t>(code);
    step.Fade = instructions_[code].FadeUsed && Bool() ? 1 : 0;
    step.Par0 = static_cast<uint8_t>(Int(0, 255));
    step.Par1 = static_cast<uint8_t>(Int(0, 255));
    step.Par2 = static_cast<uint8_t>(Int(0, 255));
    step.Par3 = static_cast<uint8_t>(Int(0, 255));
  }

 private:
  std::mt19937 random_;
  InstructionSet instructions_;
};

}  // namespace vela::testing
