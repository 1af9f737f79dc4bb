#include <cstdint>
#include <string>
#include <string_view>

#include "files/device_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  vela::DeviceFileRead read = vela::ParseDeviceFile(bytes);
  if (read.outcome != vela::DeviceFileRead::Outcome::kRead) return 0;
  vela::BoardConfig config;
  for (const vela::DeviceSection& device : read.devices) {
    config.CurrentPin = static_cast<int>(device.name.size() % 32);
    vela::ApplyDevice(config, device);
    std::string out, refusal;
    vela::FormatDevice(config, config.DeviceHead(config.CurrentPin), out, refusal);
  }
  return 0;
}
