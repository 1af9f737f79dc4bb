#include "files/device_library.h"

#include <gtest/gtest.h>

#include "file_test_support.h"
#include "files/device_file.h"
#include "support/recording_dialogs.h"

namespace vela {
namespace {

// Spelled out: a braced single path would pick the overload that adds the installed folder.
using Folders = std::vector<std::filesystem::path>;

using testing::CrLfLines;
using testing::RecordingDialogs;
using testing::SameConfig;
using testing::ScratchDir;

std::string FileText(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

const std::string kTwoDevices = FileText({
    "\"VelaDeviceDefinitions Test 1.0\"",
    "\"Dev\",\"A\"",
    "  \"Pin\",0,0,0,\"A head\"",
    "    \"Cfg\",0",
    "    \"PAM\",1,2,1",
    "\"Dev\",\"B\"",
    "  \"Pin\",0,3,1,\"B main\"",
    "    \"Cfg\",0",
    "    \"PAM\",1,1,1",
    "    \"Asp\",0,\"Stop\"",
    "      \"Ins\",0,9,0,10,0,0",
    "    \"Asp\",1,\"Go\"",
    "      \"Ins\",0,24,0,10,0,0",
    "  \"Pin\",1,0,0,\"B second\"",
    "    \"Cfg\",2,31,1,5,2,29",
    "    \"PAM\",0,0,2",
    "  \"Pin\",2,0,0,\"B third\"",
    "\"End\"",
});

// A library, a configuration and the dialogs, with definitions files in a scratch folder.
class DeviceLibraryTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& text) {
    std::string path = dir_.File(name);
    testing::WriteBytes(path, text);
    return path;
  }

  // A library listed from one file.
  void ListFrom(const std::string& path) {
    ASSERT_TRUE(library_.ReloadFrom(path, false, dialogs_));
    dialogs_.Clear();
  }

  ScratchDir dir_;
  DeviceLibrary library_;
  BoardConfig config_;
  RecordingDialogs dialogs_;
};

TEST_F(DeviceLibraryTest, StartUp_ListsTheDevicesOfTheStandardFile) {
  std::string path = Write(kStandardDeviceFile, kTwoDevices);
  EXPECT_EQ(library_.VersionLabel(), "None");
  library_.LoadAtStartUp(dir_.path(), dialogs_);
  EXPECT_EQ(library_.Devices(), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(library_.DeviceSources(), (std::vector<std::string>{path, path}));
  EXPECT_EQ(library_.DeviceFilePath(), path);
  EXPECT_EQ(library_.DeviceFileVersion(), "Test 1.0");
  EXPECT_EQ(library_.VersionLabel(), "Test 1.0");
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_TRUE(dialogs_.file_requests.empty());
}

TEST_F(DeviceLibraryTest, StartUp_TakesTheInstalledFolderWhenTheProgramsHasNone) {
  std::filesystem::create_directories(dir_.path() / "bin");
  std::filesystem::create_directories(dir_.path() / "share");
  // The library names the file with the platform's separator.
  std::string path =
      Write((std::filesystem::path("share") / "VelaDevices.def").string(), kTwoDevices);
  library_.LoadAtStartUp(Folders{dir_.path() / "bin", dir_.path() / "share"}, dialogs_);
  EXPECT_EQ(library_.Devices().size(), 2u);
  EXPECT_EQ(library_.DeviceFilePath(), path);
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST(DeviceLibraryFolders, InstalledDataFolder_IsTheOneTheBuildInstallsInto) {
  EXPECT_EQ(InstalledDataDir().filename(), "velaconfig");
  EXPECT_TRUE(InstalledDataDir().is_absolute());
}

TEST_F(DeviceLibraryTest, StartUp_NoStandardFile_OffersTheDialog) {
  std::string chosen = Write("mine.def", kTwoDevices);
  dialogs_.files = {chosen};
  library_.LoadAtStartUp(Folders{dir_.path()}, dialogs_);
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text,
            "Can not find Device Configuration file at standard location");
  EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::kWarning);
  EXPECT_EQ(dialogs_.file_requests,
            std::vector<std::string>{"Vela Device Definitions|*.def|VelaDevices.def"});
  EXPECT_EQ(library_.Devices().size(), 2u);
  EXPECT_EQ(library_.DeviceSources()[0], chosen);
}

TEST_F(DeviceLibraryTest, StartUp_DialogCancelled_LibraryEmpty) {
  library_.LoadAtStartUp(Folders{dir_.path()}, dialogs_);
  EXPECT_EQ(dialogs_.Texts(),
            (std::vector<std::string>{"Can not find Device Configuration file at standard location",
                                      "No Device Configuration available"}));
  EXPECT_EQ(dialogs_.messages[1].icon, MessageIcon::kWarning);
  EXPECT_TRUE(library_.Devices().empty());
  EXPECT_EQ(library_.VersionLabel(), "None");
  EXPECT_EQ(library_.DeviceFileVersion(), "Unknown");
}

TEST_F(DeviceLibraryTest, StartUp_BadHeaderOrBadContent_OneWarningLibraryEmpty) {
  Write(kStandardDeviceFile, "\"VelaDeviceDefinition 1.0\"\r\n\"Dev\",\"A\"\r\n\"End\"\r\n");
  library_.LoadAtStartUp(Folders{dir_.path()}, dialogs_);
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"Invalid definition file"});
  EXPECT_TRUE(library_.Devices().empty());

  dialogs_.Clear();
  std::string path =
      Write(kStandardDeviceFile, "\"VelaDeviceDefinitions\"\r\n\"Dev\",\"A\"\r\n\"Pin\",300\r\n");
  library_.LoadAtStartUp(Folders{dir_.path()}, dialogs_);
  EXPECT_EQ(dialogs_.Texts(),
            std::vector<std::string>{"Cannot load " + path +
                                     ": line 3, item \"Pin\": pin number 300 is out of range "
                                     "(0..255)"});
  EXPECT_TRUE(library_.Devices().empty());
}

TEST_F(DeviceLibraryTest, StrayEndOrDev_AreProblemsNotSilentCuts) {
  ListFrom(Write("lib.def", kTwoDevices));
  const std::string head = "\"VelaDeviceDefinitions x\"\r\n";
  const std::string pin = "  \"Pin\",0,0,0,\"p\"\r\n";
  struct Case {
    std::string text;
    std::string problem;
  };
  for (const Case& c : std::vector<Case>{
           {head + "\"End\"\r\n\"Dev\",\"A\"\r\n" + pin + "\"End\"\r\n",
            "line 3, item \"End\": the file goes on after \"End\""},
           {head + "\"Dev\",\"A\"\r\n" + pin + "\"Dev\"\r\n" + pin + "\"End\"\r\n",
            "line 4, item \"Dev\": expected the device name, found the end of the line"},
           {head + "\"Dev\",\"A\"\r\n" + pin + "  \"Dev\",0,\"A\"\r\n\"End\"\r\n",
            "line 4, item \"Dev\": expected the device name, found the number 0"},
           {head + pin + "\"Dev\",\"A\"\r\n" + pin + "\"End\"\r\n",
            "line 2, item \"Pin\": a member line before the first \"Dev\""},
       }) {
    dialogs_.Clear();
    std::string path = Write("bad.def", c.text);
    EXPECT_FALSE(library_.ReloadFrom(path, false, dialogs_)) << c.text;
    EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"Cannot load " + path + ": " + c.problem});
    EXPECT_EQ(library_.Devices(), (std::vector<std::string>{"A", "B"}));
  }
  // Empty lines and an old end-of-file mark after "End" are no content.
  dialogs_.Clear();
  EXPECT_TRUE(library_.ReloadFrom(
      Write("ok.def", head + "\"Dev\",\"C\"\r\n" + pin + "\"End\"\r\n\r\n  \r\n\x1a"), false,
      dialogs_));
  EXPECT_EQ(library_.Devices(), std::vector<std::string>{"C"});
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(DeviceLibraryTest, StartUp_HeaderWithoutVersion_ShowsUnknown) {
  Write(kStandardDeviceFile, "\"VelaDeviceDefinitions \"\r\n\"Dev\",\"A\"\r\n\"End\"\r\n");
  library_.LoadAtStartUp(Folders{dir_.path()}, dialogs_);
  EXPECT_EQ(library_.DeviceFileVersion(), "Unknown");
  EXPECT_EQ(library_.VersionLabel(), "Unknown");
  EXPECT_EQ(library_.Devices(), std::vector<std::string>{"A"});
}

TEST_F(DeviceLibraryTest, Listing_DescriptionsThatLookLikeTagsAreNotDevices) {
  ListFrom(Write("tricky.def",
                 FileText({"\"VelaDeviceDefinitions x\"", "\"Dev\",\"Real\"",
                           "  \"Pin\",0,0,0,\"Dev\"", "    \"Asp\",0,\"End\"", "\"End\""})));
  EXPECT_EQ(library_.Devices(), std::vector<std::string>{"Real"});
}

TEST_F(DeviceLibraryTest, ReloadReplace_ListsTheNewFileAndKeepsTheSourcesArray) {
  std::string first = Write("first.def", kTwoDevices);
  std::string second =
      Write("second.def", FileText({"\"VelaDeviceDefinitions V2\"", "\"Dev\",\"C\"", "\"End\""}));
  ListFrom(first);
  dialogs_.files = {second};
  ASSERT_TRUE(library_.Reload(false, dialogs_));
  EXPECT_EQ(dialogs_.file_requests, std::vector<std::string>{"Vela Device Definitions|*.def|"});
  EXPECT_EQ(library_.Devices(), std::vector<std::string>{"C"});
  EXPECT_EQ(library_.DeviceSources(), (std::vector<std::string>{second, first}));
  EXPECT_EQ(library_.VersionLabel(), "V2");
  EXPECT_EQ(library_.DeviceFilePath(), second);
  EXPECT_EQ(library_.DeviceFileVersion(), "V2");
}

TEST_F(DeviceLibraryTest, ReloadAppend_AddsEntriesAfterTheOldOnesWithTheLabelJoined) {
  std::string three =
      Write("three.def", FileText({"\"VelaDeviceDefinitions Base\"", "\"Dev\",\"A\"",
                                   "\"Dev\",\"B\"", "\"Dev\",\"C\"", "\"End\""}));
  std::string more = Write("more.def", FileText({"\"VelaDeviceDefinitions Extra\"", "\"Dev\",\"D\"",
                                                 "\"Dev\",\"E\"", "\"End\""}));
  ListFrom(three);
  ASSERT_TRUE(library_.ReloadFrom(more, true, dialogs_));
  EXPECT_EQ(library_.Devices(), (std::vector<std::string>{"A", "B", "C", "D", "E"}));
  EXPECT_EQ(library_.DeviceSources()[2], three);
  EXPECT_EQ(library_.DeviceSources()[3], more);
  EXPECT_EQ(library_.DeviceSources()[4], more);
  EXPECT_EQ(library_.VersionLabel(), "Base + Extra");
}

TEST_F(DeviceLibraryTest, ReloadAppend_LabelOver50CharactersKeepsItsLast48) {
  std::string version(20, 'v');
  version += "0123456789";  // 30 characters
  std::string path =
      Write("long.def",
            FileText({"\"VelaDeviceDefinitions " + version + "\"", "\"Dev\",\"X\"", "\"End\""}));
  ListFrom(path);
  ASSERT_TRUE(library_.ReloadFrom(path, true, dialogs_));
  // 30 + 3 + 30 = 63 characters: cut to ".." and the last 48.
  std::string joined = version + " + " + version;
  EXPECT_EQ(library_.VersionLabel(), ".." + joined.substr(joined.size() - 48));
  EXPECT_EQ(library_.VersionLabel().size(), 50u);
  // Exactly 50 stays whole.
  DeviceLibrary other;
  std::string v23(23, 'a');
  std::string p23 =
      Write("v23.def", FileText({"\"VelaDeviceDefinitions " + v23 + "\"", "\"End\""}));
  ASSERT_TRUE(other.ReloadFrom(p23, false, dialogs_));
  ASSERT_TRUE(other.ReloadFrom(
      Write("v24.def",
            FileText({"\"VelaDeviceDefinitions " + std::string(24, 'b') + "\"", "\"End\""})),
      true, dialogs_));
  EXPECT_EQ(other.VersionLabel(), v23 + " + " + std::string(24, 'b'));
}

TEST_F(DeviceLibraryTest, ReloadFailures_LeaveTheLibraryAsItWas) {
  std::string first = Write("first.def", kTwoDevices);
  ListFrom(first);
  EXPECT_FALSE(library_.Reload(false, dialogs_));  // dialog cancelled
  EXPECT_FALSE(library_.ReloadFrom(dir_.File("gone.def"), true, dialogs_));
  EXPECT_FALSE(library_.ReloadFrom(Write("bad.def", "\"Vela\"\r\n"), false, dialogs_));
  std::string cut = Write("cut.def", "\"VelaDeviceDefinitions Cut\"\r\n\"Dev\",\"Z\"\r\n");
  EXPECT_FALSE(library_.ReloadFrom(cut, false, dialogs_));
  EXPECT_EQ(dialogs_.Texts(),
            (std::vector<std::string>{
                "No Device Configuration file selected", "No Device Configuration file selected",
                "Invalid definition file",
                "Cannot load " + cut + ": line 2, item \"Dev\": the file ends before \"End\""}));
  for (const auto& m : dialogs_.messages) EXPECT_EQ(m.icon, MessageIcon::kWarning);
  EXPECT_EQ(library_.Devices(), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(library_.VersionLabel(), "Test 1.0");
  EXPECT_EQ(library_.DeviceFilePath(), first);
}

TEST_F(DeviceLibraryTest, LoadDevice_CopiesOnlyItsOwnSection) {
  ListFrom(Write("lib.def", kTwoDevices));
  config_.CurrentPin = 10;
  config_.Pins[13].Description = "after the device";
  ASSERT_TRUE(library_.LoadDevice(config_, "B", 1, dialogs_));
  EXPECT_TRUE(dialogs_.messages.empty());
  const PinRecord& main = config_.Pins[10];
  EXPECT_EQ(main.DeviceName, "B");
  EXPECT_EQ(main.DeviceRef, 0);
  EXPECT_EQ(main.Description, "B main");
  EXPECT_EQ(main.AspectMode, 3);
  EXPECT_EQ(main.InitialAspect, 1);
  EXPECT_EQ(main.Aspects[0].Description, "Stop");
  EXPECT_TRUE((main.Aspects[0].Steps[0] == StepRecord{9, 0, 0, 10, 0, 0}));
  EXPECT_TRUE((main.Aspects[1].Steps[0] == StepRecord{8, 1, 0, 10, 0, 0}));
  const PinRecord& second = config_.Pins[11];
  EXPECT_EQ(second.DeviceRef, -1);
  const std::array<uint8_t, 13> pwm = {2, 31, 1, 5, 2, 29, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(second.PinConfig, pwm);
  EXPECT_EQ(second.CurrentValue, 0);  // the device loader leaves the live value
  EXPECT_EQ(second.XDccCount, 0);
  EXPECT_EQ(second.DccCount, 0);
  EXPECT_EQ(second.KoraCount, 2);
  EXPECT_EQ(config_.Pins[12].DeviceRef, -2);
  EXPECT_EQ(config_.Pins[12].DccCount, 1);
  EXPECT_EQ(config_.Pins[13].Description, "after the device");
  EXPECT_EQ(config_.Pins[13].DeviceRef, 0);
  // The start tables follow the new counts.
  EXPECT_EQ(config_.Starts.DccStart[12], 11);
  EXPECT_EQ(config_.Starts.KoraStart[12], 13);
  EXPECT_EQ(config_.Starts.XDccTotal, 31);
}

TEST_F(DeviceLibraryTest, LoadDevice_AtPin30_WrapsPastPin31ToPin0) {
  ListFrom(Write("lib.def", kTwoDevices));
  config_.CurrentPin = 30;
  ASSERT_TRUE(library_.LoadDevice(config_, "B", 1, dialogs_));
  EXPECT_EQ(config_.Pins[30].DeviceRef, 0);
  EXPECT_EQ(config_.Pins[31].DeviceRef, -1);
  EXPECT_EQ(config_.Pins[0].DeviceRef, 30);
  EXPECT_EQ(config_.Pins[0].Description, "B third");
  EXPECT_EQ(config_.DeviceHead(0), 30);
}

TEST_F(DeviceLibraryTest, LoadDevice_OverDescribedPins_ListsThemInLineOrder) {
  ListFrom(Write("lib.def",
                 FileText({"\"VelaDeviceDefinitions\"", "\"Dev\",\"Row\"", "\"Pin\",2,0,0,\"c\"",
                           "\"Pin\",0,0,0,\"a\"", "\"Pin\",1,0,0,\"b\"", "\"End\""})));
  config_.NumberBase = 1;
  config_.CurrentPin = 2;
  config_.Pins[4].Description = "old four";
  config_.Pins[3].Description = "old three";
  struct Counting : LoadObserver {
    void DeviceLoaded() override { ++calls; }
    int calls = 0;
  } observer;
  ASSERT_TRUE(library_.LoadDevice(config_, "Row", 0, dialogs_, &observer));
  EXPECT_EQ(observer.calls, 1);
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text,
            "Information: The following Pin numbers were\n\ralready used and have been "
            "overwritten:\n\r 5, 4");
  EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::kWarning);
  EXPECT_EQ(OverwrittenPinsMessage({3, 4}, 1),
            "Information: The following Pin numbers were\n\ralready used and have been "
            "overwritten:\n\r 4, 5");
}

TEST_F(DeviceLibraryTest, LoadDevice_OldPwmLineWithThreeParameters_KeepsTheLevels) {
  ListFrom(Write("old.def",
                 FileText({"\"VelaDeviceDefinitions old\"", "\"Dev\",\"Lamp\"",
                           "  \"Pin\",0,0,0,\"Lamp\"", "    \"Cfg\",2,20,1,4", "    \"PAM\",1,3,2",
                           "  \"Pin\",1,0,0,\"Dim\"", "    \"Cfg\",3,10,0,2,",
                           "  \"Pin\",2,0,0,\"Last\"", "    \"Cfg\",2,1,1,1", "\"End\""})));
  config_.CurrentPin = 4;
  config_.Pins[4].PinConfig = {0, 0, 0, 0, 6, 27, 0, 0, 0, 0, 0, 0, 0};
  config_.Pins[5].PinConfig = {0, 0, 0, 0, 7, 28, 0, 0, 0, 0, 0, 0, 0};
  ASSERT_TRUE(library_.LoadDevice(config_, "Lamp", 0, dialogs_));
  const std::array<uint8_t, 13> lamp = {2, 20, 1, 4, 6, 27, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(config_.Pins[4].PinConfig, lamp);
  EXPECT_EQ(config_.Pins[4].XDccCount, 1);
  EXPECT_EQ(config_.Pins[4].DccCount, 3);
  EXPECT_EQ(config_.Pins[4].KoraCount, 2);
  // A trailing empty item is no level either.
  const std::array<uint8_t, 13> dim = {3, 10, 0, 2, 7, 28, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(config_.Pins[5].PinConfig, dim);
  EXPECT_EQ(config_.Pins[5].Description, "Dim");
  EXPECT_EQ(config_.Pins[6].PinConfig[0], 2);  // its line ends right before "End"
}

TEST_F(DeviceLibraryTest, LoadDevice_AbsolutePinsAndReleasedOldDevices) {
  ListFrom(
      Write("abs.def", FileText({"\"VelaDeviceDefinitions\"", "\"Dev\",\"Pair\"",
                                 "  \"Pin\",0,0,0,\"\"", "  \"Pab\",40,0,0,\"\"", "\"End\""})));
  // An old device with its head at 8 and a member at 9.
  config_.Pins[8].DeviceName = "Old";
  config_.Pins[9].DeviceRef = -1;
  config_.Pins[9].Aspects[0].Description = "old aspect";
  config_.CurrentPin = 3;
  ASSERT_TRUE(library_.LoadDevice(config_, "Pair", 0, dialogs_));
  EXPECT_EQ(config_.Pins[8].DeviceRef, 3 - 8);  // 40 mod 32
  EXPECT_EQ(config_.Pins[8].DeviceName, "");
  EXPECT_EQ(config_.Pins[9].DeviceRef, 0);  // dissolved with its old head
  EXPECT_EQ(config_.Pins[9].Aspects[0].Description, "old aspect");
}

TEST_F(DeviceLibraryTest, LoadDevice_NothingToLoad_MessagesAndNoChange) {
  std::string path = Write("lib.def", kTwoDevices);
  ListFrom(path);
  BoardConfig before = config_;
  EXPECT_FALSE(library_.LoadDevice(config_, "", -1, dialogs_));
  EXPECT_FALSE(library_.LoadDevice(config_, "typed name", -1, dialogs_));
  testing::WriteBytes(path, FileText({"\"VelaDeviceDefinitions\"", "\"Dev\",\"A\"", "\"End\""}));
  EXPECT_FALSE(library_.LoadDevice(config_, "B", 1, dialogs_));  // gone from its file
  testing::WriteBytes(path, FileText({"\"VelaDeviceDefinitions\"", "\"Dev\",\"B\"",
                                      "\"Pin\",0,0,0,\"x\"", "\"Ins\",12,0,0,0,0,0", "\"End\""}));
  EXPECT_FALSE(library_.LoadDevice(config_, "B", 1, dialogs_));
  std::filesystem::remove(path);
  EXPECT_FALSE(library_.LoadDevice(config_, "B", 1, dialogs_));
  EXPECT_EQ(
      dialogs_.Texts(),
      (std::vector<std::string>{
          "Select Devicename to load", "No match found", "No match found",
          "Cannot load " + path + ": line 4, item \"Ins\": step number 12 is out of range (0..9)",
          "Cannot load device \"B\": the file " + path + " cannot be opened"}));
  EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::kNone);
  EXPECT_EQ(dialogs_.messages[1].icon, MessageIcon::kNone);
  EXPECT_EQ(dialogs_.messages[3].icon, MessageIcon::kWarning);
  EXPECT_TRUE(SameConfig(config_, before));
}

TEST_F(DeviceLibraryTest, LoadDevice_TypedNameOfAnotherEntry_UsesThatEntry) {
  ListFrom(Write("lib.def", kTwoDevices));
  config_.CurrentPin = 0;
  ASSERT_TRUE(library_.LoadDevice(config_, "A", 1, dialogs_));  // entry 1 is "B"
  EXPECT_EQ(config_.Pins[0].Description, "A head");
}

// Saving devices, most of them the one at pin 30 with members 31 and 0.
class SaveDeviceTest : public DeviceLibraryTest {
 protected:
  void MakeWrappedDevice() {
    config_.Pins[30].DeviceName = "Wrap";
    config_.Pins[30].Description = "head";
    config_.Pins[31].DeviceRef = -1;
    config_.Pins[31].Description = "second";
    config_.Pins[0].DeviceRef = 30;
    config_.Pins[0].Description = "third";
  }
};

TEST_F(SaveDeviceTest, WrappedDevice_FromAnyMember_HeadFirstThenAscending) {
  MakeWrappedDevice();
  config_.Pins[30].AspectMode = 3;
  config_.Pins[30].Aspects[1].Description = "Go";
  config_.Pins[30].Aspects[1].Steps[2] = {3, 1, 0, 1, 0, 0};
  config_.Pins[30].Aspects[3].Steps[0] = {9, 0, 0, 0, 0, 0};  // aspect without description
  config_.Pins[31].PinConfig = {1, 64, 0x5A, 64, 1, 2, 3, 4, 64, 5, 64, 6, 0};
  config_.Pins[0].PinConfig = {5, 0, 0, 3, 4, 0, 0, 0, 0, 0, 0, 0, 0};
  config_.Pins[0].DccCount = 2;
  const std::string expected = FileText({
      "\"VelaDeviceDefinitions Wrap\"",
      "\"Dev\",\"Wrap\"",
      "  \"Pin\",0,3,0,\"head\"",
      "    \"Cfg\",0",
      "    \"PAM\",1,1,1",
      "    \"Asp\",1,\"Go\"",
      "      \"Ins\",2,19,0,1,0,0",
      "  \"Pin\",2,0,0,\"third\"",
      "    \"Cfg\",5,0,0,3,4",
      "    \"PAM\",1,2,1",
      "  \"Pin\",1,0,0,\"second\"",
      "    \"Cfg\",1,64,26,64,1,2,3,4,64,5,64,6",
      "    \"PAM\",1,1,1",
      "\"End\"",
  });
  for (int from : {30, 0, 31}) {
    config_.CurrentPin = from;
    std::string path = dir_.File("wrap" + std::to_string(from) + ".def");
    ASSERT_TRUE(SaveDevice(config_, path, dialogs_));
    EXPECT_EQ(testing::ReadBytes(path), expected) << "from pin " << from;
  }
  EXPECT_EQ(config_.Pins[31].PinConfig[2], 26);  // reduced modulo 64 in memory too
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(SaveDeviceTest, SavedDevice_LoadsBackWholeOnAnotherPin) {
  MakeWrappedDevice();
  config_.Pins[30].PinConfig = {3, 9, 1, 7, 2, 30, 0, 0, 0, 0, 0, 0, 0};
  config_.Pins[31].PinConfig = {4, 0, 0, 12, 31, 0, 0, 0, 0, 0, 0, 0, 0};
  config_.Pins[0].PinConfig = {1, 70, 0x1B, 60, 1, 2, 3, 4, 80, 5, 50, 6, 0};
  config_.Pins[0].AspectMode = 2;
  config_.Pins[0].Aspects[11].Description = "last";
  config_.Pins[0].Aspects[11].Steps[2] = {100, 0, 0, 70, 10, 2};
  config_.Pins[31].KoraCount = 0;
  config_.CurrentPin = 31;
  std::string path = dir_.File("whole.def");
  ASSERT_TRUE(SaveDevice(config_, path, dialogs_));

  ListFrom(path);
  BoardConfig other;
  other.CurrentPin = 5;
  for (int p : {5, 6, 7}) other.Pins[p].PinConfig = {0, 99, 99, 99, 99, 99, 99, 0, 0, 0, 0, 0, 0};
  ASSERT_TRUE(library_.LoadDevice(other, "Wrap", 0, dialogs_));
  for (int offset = 0; offset < 3; ++offset) {
    const PinRecord& saved = config_.Pins[(30 + offset) % 32];
    const PinRecord& loaded = other.Pins[5 + offset];
    EXPECT_EQ(loaded.Description, saved.Description);
    EXPECT_EQ(loaded.AspectMode, saved.AspectMode);
    EXPECT_EQ(loaded.DccCount, saved.DccCount);
    EXPECT_EQ(loaded.KoraCount, saved.KoraCount);
    EXPECT_EQ(loaded.DeviceRef, -offset);
    int carried = saved.PinConfig[0] == kInput ? 4 : 5;  // the parameters its line holds
    for (int i = 1; i <= carried; ++i) {
      EXPECT_EQ(loaded.PinConfig[i], saved.PinConfig[i]) << offset << " " << i;
    }
    EXPECT_EQ(loaded.PinConfig[0], saved.PinConfig[0]);
    EXPECT_TRUE(loaded.Aspects == saved.Aspects) << offset;
  }
  EXPECT_EQ(other.Pins[7].PinConfig, config_.Pins[0].PinConfig);
  EXPECT_EQ(other.Pins[5].DeviceName, "Wrap");
}

TEST_F(SaveDeviceTest, PlainOutputOfADevice_LoadsAsThePlainOutputTheDataFileGives) {
  ListFrom(Write("plain.def",
                 FileText({"\"VelaDeviceDefinitions\"", "\"Dev\",\"P\"", "\"Pin\",0,0,0,\"\"",
                           "\"Cfg\",0", "\"Pin\",1,0,0,\"\"", "\"Cfg\",7", "\"End\""})));
  config_.Pins[0].PinConfig = {2, 5, 5, 5, 5, 5, 0, 0, 0, 0, 0, 0, 0};
  config_.Pins[1].PinConfig = {2, 5, 5, 5, 5, 5, 0, 0, 0, 0, 0, 0, 0};
  ASSERT_TRUE(library_.LoadDevice(config_, "P", 0, dialogs_));
  EXPECT_EQ(config_.Pins[0].PinConfig, (std::array<uint8_t, 13>{}));
  EXPECT_EQ(config_.Pins[1].PinConfig, (std::array<uint8_t, 13>{}));
}

TEST_F(SaveDeviceTest, PinReferringToANonHead_IsNotADevice) {
  config_.Pins[5].DeviceRef = -1;
  config_.Pins[4].DeviceRef = 2;
  config_.CurrentPin = 5;
  EXPECT_FALSE(SaveDeviceCommand(config_, dialogs_));
  config_.Pins[7].DeviceRef = 40;  // outside the table
  config_.CurrentPin = 7;
  EXPECT_FALSE(SaveDevice(config_, dir_.File("x.def"), dialogs_));
  EXPECT_EQ(dialogs_.Texts(),
            (std::vector<std::string>{"Referral is not a device", "Referral is not a device"}));
  EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::kWarning);
  EXPECT_TRUE(dialogs_.file_requests.empty());
  EXPECT_FALSE(std::filesystem::exists(dir_.File("x.def")));
}

TEST_F(SaveDeviceTest, Command_AsksForTheFile_CancelWritesNothing) {
  MakeWrappedDevice();
  config_.CurrentPin = 30;
  EXPECT_FALSE(SaveDeviceCommand(config_, dialogs_));
  EXPECT_EQ(dialogs_.file_requests, std::vector<std::string>{"Vela Device Definitions|*.def|"});
  std::string path = dir_.File("chosen.def");
  dialogs_.files = {path};
  EXPECT_TRUE(SaveDeviceCommand(config_, dialogs_));
  EXPECT_EQ(CrLfLines(testing::ReadBytes(path)).size(), 3u + 3 * 3);
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(SaveDeviceTest, UnstorableDescription_RefusedAndThePreviousFileKept) {
  MakeWrappedDevice();
  config_.Pins[31].Description = "Weiche \"links\"";
  config_.CurrentPin = 30;
  std::string path = Write("kept.def", "previous");
  EXPECT_FALSE(SaveDevice(config_, path, dialogs_));
  EXPECT_EQ(dialogs_.Texts(),
            std::vector<std::string>{"Cannot save " + path +
                                     ": the description of pin 32 contains a double quote (\"), "
                                     "which a text item cannot hold"});
  EXPECT_EQ(testing::ReadBytes(path), "previous");
}

TEST(DeviceFile, VersionText_IsWhatFollowsTheFirst22Characters) {
  EXPECT_EQ(DeviceFileVersionOf("VelaDeviceDefinitions"), "");
  EXPECT_EQ(DeviceFileVersionOf("VelaDeviceDefinitions "), "");
  EXPECT_EQ(DeviceFileVersionOf("VelaDeviceDefinitions 2"), "2");
  EXPECT_EQ(DeviceFileVersionOf("VelaDeviceDefinitions_Süd"), "Süd");
}

}  // namespace
}  // namespace vela
