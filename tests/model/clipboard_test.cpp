#include "model/clipboard.h"

#include <gtest/gtest.h>

namespace vela {
namespace {

StepRecord Step(int code) {
  return StepRecord{static_cast<uint8_t>(code), 1, static_cast<uint8_t>(code + 1), 2, 3, 1};
}

AspectRecord Lettered(int count) {
  AspectRecord a;
  a.Description = "lettered";
  for (int s = 0; s < count; ++s) a.Steps[s] = Step(10 + s);
  return a;
}

std::vector<int> Codes(const AspectRecord& a, int count) {
  std::vector<int> codes;
  for (int s = 0; s < count; ++s) codes.push_back(a.Steps[s].Instruction);
  return codes;
}

TEST(ClipboardPinTest, PasteDeviceMember_StillPointsAtItsHead) {
  BoardConfig config;
  config.Pins[1].DeviceName = "Signal";
  config.Pins[3].DeviceRef = -2;
  config.Pins[3].Description = "member";
  PinClipboard clipboard;
  CopyPin(config, 3, clipboard);
  ASSERT_TRUE(PastePin(config, 10, clipboard));
  EXPECT_EQ(config.Pins[10].DeviceRef, -9);
  EXPECT_EQ(config.DeviceHead(10), 1);
  EXPECT_EQ(config.Pins[10].Description, "member");
}

TEST(ClipboardPinTest, PasteHead_ReleasesTheTargetsOwnDeviceFirst) {
  BoardConfig config;
  config.Pins[0].DeviceName = "Lamps";
  config.Pins[0].AspectMode = 3;
  config.Pins[5].DeviceName = "Old";
  config.Pins[6].DeviceRef = -1;
  config.Pins[6].DeviceName = "stale";
  PinClipboard clipboard;
  CopyPin(config, 0, clipboard);
  ASSERT_TRUE(PastePin(config, 5, clipboard));
  EXPECT_EQ(config.Pins[5].DeviceName, "Lamps");
  EXPECT_EQ(config.Pins[5].DeviceRef, 0);
  EXPECT_EQ(config.Pins[5].AspectMode, 3);
  EXPECT_EQ(config.Pins[6].DeviceRef, 0);
  EXPECT_EQ(config.Pins[6].DeviceName, "");
}

TEST(ClipboardPinTest, ClipboardSurvivesPastes_NothingBeforeCopy) {
  BoardConfig config;
  PinClipboard clipboard;
  EXPECT_FALSE(PastePin(config, 4, clipboard));
  config.Pins[2].Description = "two";
  config.Pins[2].Aspects[1].Steps[4] = Step(9);
  CopyPin(config, 2, clipboard);
  config.Pins[2].Description = "changed after copy";
  ASSERT_TRUE(PastePin(config, 7, clipboard));
  ASSERT_TRUE(PastePin(config, 8, clipboard));
  EXPECT_EQ(config.Pins[7].Description, "two");
  EXPECT_EQ(config.Pins[8].Description, "two");
  EXPECT_EQ(config.Pins[8].Aspects[1].Steps[4], Step(9));
}

TEST(ClipboardPinTest, ClearPin_KeepsCountsAndSpareEntries) {
  BoardConfig config;
  PinRecord& p = config.Pins[4];
  p.Description = "x";
  p.DccCount = 3;
  p.XDccCount = 0;
  p.KoraCount = 2;
  p.CurrentValue = 77;
  p.AspectMode = 2;
  p.InitialAspect = 4;
  p.PinConfig[0] = kServo;
  p.PinConfig[12] = 9;
  p.Aspects[0].Description = "a";
  p.Aspects[0].Steps[3] = Step(8);
  p.Aspects[0].Steps[9] = Step(8);
  p.Aspects[12].Description = "spare";
  ClearPin(config, 4);
  EXPECT_EQ(p.Description, "");
  EXPECT_EQ(p.AspectMode, 0);
  EXPECT_EQ(p.InitialAspect, 0);
  EXPECT_EQ(p.PinConfig[0], 0);
  EXPECT_EQ(p.PinConfig[12], 9);
  EXPECT_EQ(p.Aspects[0].Description, "");
  EXPECT_EQ(p.Aspects[0].Steps[3], StepRecord{});
  EXPECT_EQ(p.Aspects[0].Steps[9], Step(8));
  EXPECT_EQ(p.Aspects[12].Description, "spare");
  EXPECT_EQ(p.DccCount, 3);
  EXPECT_EQ(p.XDccCount, 0);
  EXPECT_EQ(p.KoraCount, 2);
  EXPECT_EQ(p.CurrentValue, 77);
}

TEST(ClipboardPinTest, ClearDeviceHead_ReleasesMembers) {
  BoardConfig config;
  config.Pins[2].DeviceName = "Head";
  config.Pins[3].DeviceRef = -1;
  config.Pins[3].DeviceName = "x";
  ClearPin(config, 2);
  EXPECT_EQ(config.Pins[3].DeviceRef, 0);
  EXPECT_EQ(config.Pins[3].DeviceName, "");
}

TEST(ClipboardAspectTest, PasteAfterCopy_CopiesStepsAndClearEmpties) {
  AspectClipboard clipboard;
  AspectRecord target = Lettered(2);
  EXPECT_FALSE(PasteAspect(target, clipboard));
  EXPECT_EQ(target, Lettered(2));
  AspectRecord source = Lettered(9);
  source.Steps[9] = Step(50);
  CopyAspect(source, clipboard);
  ASSERT_TRUE(PasteAspect(target, clipboard));
  EXPECT_EQ(target, source);
  ClearAspect(target);
  EXPECT_EQ(target.Description, "");
  for (int s = 0; s <= 8; ++s) EXPECT_EQ(target.Steps[s], StepRecord{}) << s;
  EXPECT_EQ(target.Steps[9], Step(50));
}

TEST(ClipboardAspectTest, Cleanup_EverythingFromFirstEmptyStepIsZero) {
  AspectRecord a = Lettered(5);
  a.Steps[2] = StepRecord{0, 1, 4, 5, 6, 2};  // empty instruction, stray parameters
  AspectRecord kept = a;
  CleanupAspect(a);
  EXPECT_EQ(a.Description, "");
  EXPECT_EQ(a.Steps[0], kept.Steps[0]);
  EXPECT_EQ(a.Steps[1], kept.Steps[1]);
  EXPECT_EQ(a.Steps[2], StepRecord{});
  EXPECT_EQ(a.Steps[3], StepRecord{});
  EXPECT_EQ(a.Steps[4], StepRecord{});
}

TEST(ClipboardStepTest, FourAspects_InsertAndDeleteOnRow2) {
  AspectRecord a = Lettered(9);
  ASSERT_EQ(LastStepRow(3), 8);
  InsertStep(a, 2, 8);
  EXPECT_EQ(Codes(a, 9), (std::vector<int>{10, 11, 0, 12, 13, 14, 15, 16, 17}));
  EXPECT_EQ(a.Steps[2], StepRecord{});
  a = Lettered(9);
  DeleteStep(a, 2, 8);
  EXPECT_EQ(Codes(a, 9), (std::vector<int>{10, 11, 13, 14, 15, 16, 17, 18, 0}));
  EXPECT_EQ(a.Steps[8], StepRecord{});
  EXPECT_EQ(a.Steps[2], Step(13));
}

TEST(ClipboardStepTest, TwelveAspects_ThreeStepsOnly) {
  ASSERT_EQ(LastStepRow(2), 2);
  ASSERT_EQ(LastStepRow(0), 2);
  AspectRecord a = Lettered(3);
  a.Steps[3] = Step(40);  // outside the rectangle: untouched
  DeleteStep(a, 0, 2);
  EXPECT_EQ(Codes(a, 4), (std::vector<int>{11, 12, 0, 40}));
  a = Lettered(3);
  a.Steps[3] = Step(40);
  InsertStep(a, 1, 2);
  EXPECT_EQ(Codes(a, 4), (std::vector<int>{10, 0, 11, 40}));
}

TEST(ClipboardStepTest, RowAtOrPastLast_OnlyThatRowCleared) {
  AspectRecord a = Lettered(9);
  InsertStep(a, 8, 8);
  EXPECT_EQ(Codes(a, 9), (std::vector<int>{10, 11, 12, 13, 14, 15, 16, 17, 0}));
  a = Lettered(9);
  DeleteStep(a, 5, 2);
  EXPECT_EQ(Codes(a, 9), (std::vector<int>{10, 11, 12, 13, 14, 0, 16, 17, 18}));
}

}  // namespace
}  // namespace vela
