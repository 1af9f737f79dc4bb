// Every difference between two configurations, in the words of the window: the general
// settings, the initial event enables, then pin by pin its description, device, aspect mode,
// initial aspect, address counts, configuration, event actions and its aspects and steps.
// Values are shown as the tabs show them (instruction names, Par 1 with its offset, times as
// "mm:ss.hh", option captions), pins with the numbering in use, aspects and steps from 0.
//
// Only what a configuration is made of counts: steps and aspects outside a pin's aspect
// rectangle, the parameters an instruction does not use, the bytes a configuration type does
// not use, the board's own servo state bits and the live test value are not part of it. So
// a configuration and the same one saved compact, or read back from a board it was written
// to, compare equal.
#pragma once

#include <string>
#include <vector>

#include "model/board_config.h"
#include "model/instruction_set.h"

namespace vela {

// One difference: where it is, what the field is called, and the value on each side.
struct ConfigDifference {
  int pin = -1;       // 0..31; -1 for the general settings and the initial event enables
  int aspect = -1;    // 0..11 for an aspect's description or step
  int step = -1;      // 0..8 for a step
  std::string field;  // "Pin 3, Aspect 1, Step 2, Level", "DCC, Packet Retention"
  std::string a;      // the value in the first configuration
  std::string b;      // the value in the second

  // "field: a | b"
  std::string Line() const;
  bool operator==(const ConfigDifference&) const = default;
};

// The differences of b from a, in a fixed order. Pins (and the numbers shown with them) are
// numbered by a's NumberBase, the numbering in use.
std::vector<ConfigDifference> CompareConfigs(const BoardConfig& a, const BoardConfig& b,
                                             const InstructionSet& instructions);

// The lines of the differences, one each.
std::vector<std::string> DifferenceLines(const std::vector<ConfigDifference>& differences);

// "1 difference", "3 differences", "no difference".
std::string DifferenceCount(size_t count);

}  // namespace vela
