// The rules of the two device fields of the current pin: "Device Pin" and "Device Name".
#pragma once

#include <string>
#include <string_view>

#include "model/board_config.h"

namespace vela {

// "Device Pin" edited: a number within NumberBase..NumberBase + 31 makes the current pin refer
// to that pin; any other text changes nothing.
void EditDevicePin(BoardConfig& config, std::string_view text);
// "Device Name" edited: taken as the current pin's DeviceName while the box is enabled (the
// pin starts a device or none).
void EditDeviceName(BoardConfig& config, const std::string& text);

}  // namespace vela
