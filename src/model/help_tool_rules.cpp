#include "model/help_tool_rules.h"

#include <algorithm>

#include "model/instruction_set.h"

namespace vela {

HelpToolKind ToolForBox(int help_tool, HelpBox box) {
  if (box == HelpBox::kPar1) {
    if (help_tool >= 2 && help_tool <= 7) return HelpToolKind::kPattern;
    if (help_tool == kHelpEventPattern) return HelpToolKind::kEventMap;
    if (help_tool == kHelpLevel) return HelpToolKind::kLevel;
    return HelpToolKind::kNone;
  }
  return help_tool == kHelpTime ? HelpToolKind::kTime : HelpToolKind::kNone;
}

std::string HelpTimeText(int value, int base) {
  return TicksText(TimeTicks(value, base));
}

std::string HelpMaxTimeText(int base) {
  return HelpTimeText(kTimeSliderMax, base);
}

PatternState PatternFromValue(int value, int bits) {
  value = std::clamp(value, 0, 127);
  bits = std::clamp(bits, 0, 7);
  PatternState state;
  for (int i = 0; i < 7; ++i) {
    state.output_enabled[i] = i < bits;
    state.outputs[i] = i < bits && ((value >> i) & 1) != 0;
  }
  // From six outputs on, bits 5 and 6 are outputs themselves.
  state.dark_enabled = bits <= 5;
  state.all_dark = state.dark_enabled && ((value >> 5) & 1) != 0;
  state.no_dark = state.dark_enabled && ((value >> 6) & 1) != 0;
  return state;
}

int PatternValue(const PatternState& state) {
  int value = 0;
  for (int i = 0; i < 7; ++i) {
    if (state.outputs[i]) value += 1 << i;
  }
  if (state.all_dark) value += 32;
  if (state.no_dark) value += 64;
  return value;
}

void SetAllDark(PatternState& state, bool checked) {
  state.all_dark = checked;
  if (checked) state.no_dark = false;
}

void SetNoDark(PatternState& state, bool checked) {
  state.no_dark = checked;
  if (checked) state.all_dark = false;
}

EventMapState EventMapFromValue(int value) {
  int v = std::clamp(value, 0, 127);
  int k = 0;
  if (v >= 64) {
    k = 4;
    v -= 64;
  }
  // A map without an action opens as "execute" of the input its value names.
  if (v <= 3) {
    v = (1 << v) + 16;
    k = 0;
  } else if (v <= 7) {
    v = (1 << (v - 4)) + 16;
    k = 4;
  } else if (v <= 15) {
    v = 16;
  }
  EventMapState state;
  for (int i = 0; i < 4; ++i) state.inputs[i] = ((v >> i) & 1) != 0;
  state.option = v / 16 + k;
  return state;
}

int EventMapValue(const EventMapState& state) {
  int value = 0;
  for (int i = 0; i < 4; ++i) {
    if (state.inputs[i]) value += 1 << i;
  }
  if (state.option >= 1 && state.option <= 3) value += 16 * state.option;
  if (state.option >= 5 && state.option <= 7) value += 64 + 16 * (state.option - 4);
  return value;
}

LevelState LevelFromValue(int value) {
  LevelState state;
  state.value = std::clamp(value, 0, kLevelValueMax);
  state.level = state.value % 16;
  state.time_index = state.value / 16;
  return state;
}

std::string LevelDelayText(int time_index) {
  static const char* const kDelays[] = {"0", "0.5", "0.7", "1", "1.4", "2", "2.8", "4"};
  return kDelays[std::clamp(time_index, 0, kTimeIndexMax)];
}

}  // namespace vela
