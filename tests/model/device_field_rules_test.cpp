#include "model/device_field_rules.h"

#include <gtest/gtest.h>

namespace vela {
namespace {

TEST(DeviceFields, DevicePin_NumberInRangeSetsTheReferral) {
  BoardConfig config;
  config.NumberBase = 0;
  config.CurrentPin = 7;
  EditDevicePin(config, "40");
  EditDevicePin(config, "-1");
  EditDevicePin(config, "abc");
  EditDevicePin(config, "3x");
  EditDevicePin(config, "");
  EXPECT_EQ(config.Pins[7].DeviceRef, 0);
  EditDevicePin(config, "5");
  EXPECT_EQ(config.Pins[7].DeviceRef, -2);
  EditDevicePin(config, " 31 ");
  EXPECT_EQ(config.Pins[7].DeviceRef, 24);
  EditDevicePin(config, "32");
  EXPECT_EQ(config.Pins[7].DeviceRef, 24);

  config.NumberBase = 1;
  EditDevicePin(config, "0");
  EXPECT_EQ(config.Pins[7].DeviceRef, 24);
  EditDevicePin(config, "1");
  EXPECT_EQ(config.Pins[7].DeviceRef, -7);
  EditDevicePin(config, "32");
  EXPECT_EQ(config.Pins[7].DeviceRef, 24);
}

TEST(DeviceFields, DeviceName_TakenOnlyWhileThePinStartsADeviceOrNone) {
  BoardConfig config;
  config.CurrentPin = 3;
  EditDeviceName(config, "Signal A");
  EXPECT_EQ(config.Pins[3].DeviceName, "Signal A");
  config.Pins[3].DeviceRef = -1;
  EditDeviceName(config, "ignored");
  EXPECT_EQ(config.Pins[3].DeviceName, "Signal A");
}

}  // namespace
}  // namespace vela
