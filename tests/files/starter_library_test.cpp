// The shipped VelaDevices.def: it lists, every device loads without complaint, and it is
// written exactly as Save Device writes, so each device saves back to its own text.
#include <gtest/gtest.h>

#include "file_test_support.h"
#include "files/device_file.h"
#include "files/device_library.h"
#include "model/instruction_set.h"
#include "support/recording_dialogs.h"
#include "vela_test_paths.h"

namespace vela {
namespace {

// Spelled out: a braced single path would pick the overload that adds the installed folder.
using Folders = std::vector<std::filesystem::path>;

using testing::RecordingDialogs;
using testing::ScratchDir;

const std::string kLibraryPath = std::string(VELA_SOURCE_DIR) + "/data/VelaDevices.def";

std::string LibraryBytes() {
  return testing::ReadBytes(kLibraryPath);
}

// The text of one device section as the device writer would produce it alone.
std::string SectionAsSaved(const std::string& library, const std::string& name) {
  std::string dev_line = "\"Dev\",\"" + name + "\"\r\n";
  size_t start = library.find(dev_line);
  if (start == std::string::npos) return {};
  size_t end = library.find("\"Dev\",", start + dev_line.size());
  if (end == std::string::npos) end = library.rfind("\"End\"");
  return "\"VelaDeviceDefinitions " + name + "\"\r\n" + library.substr(start, end - start) +
         "\"End\"\r\n";
}

TEST(StarterLibrary, LoadedAtStartUp_ListsItsDevices) {
  DeviceLibrary library;
  RecordingDialogs dialogs;
  library.LoadAtStartUp(Folders{std::filesystem::path(VELA_SOURCE_DIR) / "data"}, dialogs);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(library.VersionLabel(), "VelaConfig starter library 1.0");
  EXPECT_EQ(library.Devices(),
            (std::vector<std::string>{
                "Signal 2 aspects (red, green)", "Signal 3 aspects (red, yellow, green)",
                "Signal 4 aspects (red, green, yellow, white)", "Main signal with distant signal",
                "Servo turnout", "Servo turnout with frog relay", "Level crossing flasher",
                "House lights, random", "House light, random dimming (PWM)", "Push button input"}));
}

TEST(StarterLibrary, EveryDevice_LoadsAtPin0AndWrappedAtPin30_AndSavesBackToItsText) {
  DeviceLibrary library;
  RecordingDialogs dialogs;
  ASSERT_TRUE(library.ReloadFrom(kLibraryPath, false, dialogs));
  const std::string bytes = LibraryBytes();
  ScratchDir dir;
  for (size_t i = 0; i < library.Devices().size(); ++i) {
    const std::string& name = library.Devices()[i];
    for (int at : {0, 30}) {
      BoardConfig config;
      config.CurrentPin = at;
      ASSERT_TRUE(library.LoadDevice(config, name, static_cast<int>(i), dialogs)) << name;
      EXPECT_EQ(config.Pins[at].DeviceName, name);
      std::string path = dir.File("device.def");
      ASSERT_TRUE(SaveDevice(config, path, dialogs)) << name;
      if (at == 0) {
        EXPECT_EQ(testing::ReadBytes(path), SectionAsSaved(bytes, name)) << name;
      }
      // Wrapped, the members come in another order, but the device is the same.
      DeviceFileRead saved = ParseDeviceFile(testing::ReadBytes(path));
      ASSERT_EQ(saved.devices.size(), 1u);
      BoardConfig again;
      again.CurrentPin = at;
      ApplyDevice(again, saved.devices[0]);
      EXPECT_TRUE(testing::SameConfig(again, config)) << name << " at " << at;
    }
  }
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST(StarterLibrary, ProgramsUseNamedInstructionsWithinTheEditorsLimits) {
  DeviceFileRead read = ParseDeviceFile(LibraryBytes());
  ASSERT_EQ(read.outcome, DeviceFileRead::Outcome::kRead);
  InstructionSet instructions;
  for (const DeviceSection& device : read.devices) {
    int members = 0;
    for (const DeviceLine& line : device.lines) {
      if (line.kind == DeviceLine::Kind::kPin) ++members;
    }
    for (const DeviceLine& line : device.lines) {
      if (line.kind != DeviceLine::Kind::kIns) continue;
      StepRecord step;
      SplitFileInstruction(line.numbers[1], step);
      const InstructionRecord& r = instructions[step.Instruction];
      SCOPED_TRACE(device.name + ", " + r.Name);
      EXPECT_FALSE(r.Name.empty());
      EXPECT_TRUE(step.Fade == 0 || r.FadeUsed);
      if (r.Par0Caption == "P.O.") {
        EXPECT_LT(line.numbers[2], members);  // the target stays in the device
      }
      if (r.Par1Used) {
        EXPECT_LE(line.numbers[3], r.Par1Max);
      }
      if (r.Par2Used) {
        EXPECT_LE(line.numbers[4], InstructionSet::Par2Max(step.Instruction));
      }
      if (r.Par3Used) {
        EXPECT_LE(line.numbers[5], InstructionSet::Par3Max());
      }
    }
  }
}

TEST(StarterLibrary, AfterTheBuild_LiesBesideEachProgram) {
  for (const char* program : {"app", "cli"}) {
    std::string copy = std::string(VELA_BINARY_DIR) + "/src/" + program + "/VelaDevices.def";
    EXPECT_EQ(testing::ReadBytes(copy), LibraryBytes()) << copy;
  }
}

}  // namespace
}  // namespace vela
