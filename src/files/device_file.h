// The device definitions file (".def"): devices, each a named group of pins stored relative to
// its first pin.
//
//   "VelaDeviceDefinitions 1.2"           header; the characters after the first 22 are the
//                                         version text
//   "Dev","Signal"                        a device section, up to the next "Dev" or "End"
//     "Pin",0,3,1,"Main"                  relative pin ("Pab": absolute), mode, initial, text
//       "Cfg",... "PAM",... "Asp",...     as in the data file
//         "Ins",...
//   "End"
//
// A PWM "Cfg" line of an old file has three parameters: the levels are optional. The writer
// produces one section, always compact.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "files/item_reader.h"
#include "model/board_config.h"

namespace vela {

inline constexpr const char* kDeviceFileHeader = "VelaDeviceDefinitions";

// One member-pin line of a device section with the values that followed its tag.
struct DeviceLine {
  enum class Kind { kPin, kPab, kCfg, kPam, kAsp, kIns };
  Kind kind = Kind::kPin;
  // kPin/kPab: pin, AspectMode, InitialAspect; kCfg: type and the parameters read; kPam:
  // XDccCount, DccCount, KoraCount; kAsp: aspect; kIns: step, instruction byte, Par0..Par3.
  std::vector<int> numbers;
  std::string text;  // the description of kPin, kPab and kAsp

  bool operator==(const DeviceLine&) const = default;
};

// A device as the file holds it.
struct DeviceSection {
  std::string name;
  std::vector<DeviceLine> lines;

  bool operator==(const DeviceSection&) const = default;
};

// What reading definitions-file bytes came to.
struct DeviceFileRead {
  enum class Outcome { kRead, kInvalidHeader, kMalformed };
  Outcome outcome = Outcome::kRead;
  std::string header;
  std::vector<DeviceSection> devices;
  FileProblem problem;  // when malformed
};

// Reads a whole definitions file; values out of range and a missing "End" are problems.
DeviceFileRead ParseDeviceFile(std::string_view bytes);

// The version text of a header: the characters after the first 22 (empty when there are none).
std::string DeviceFileVersionOf(const std::string& header);

// Copies a device onto the pins starting at CurrentPin and recomputes the address start tables.
// Returns the pins that had a description before, in the order their lines came (at most 32).
std::vector<int> ApplyDevice(BoardConfig& config, const DeviceSection& device);

// Builds the definitions file of the device that starts at `head`: its head pin first, then
// the other members in ascending order. Reduces servo flags modulo 64 in the members written.
// Returns false with the reason, naming the field, when a text cannot be stored.
bool FormatDevice(BoardConfig& config, int head, std::string& bytes, std::string& refusal);

}  // namespace vela
