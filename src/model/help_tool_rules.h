// The arithmetic of the four parameter help tools: a time value with its base, an output bit
// pattern with the dark-phase flags, an event-input map with its action, and a level with a
// time index. The dialogs only show these states and hand the results back to the step row.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace vela {

inline constexpr const char* kHelpToolNotAvailable =
    "Help tool not available for this box with the selected command";

// The boxes of a step row that can open a tool, and the tools.
enum class HelpBox { kPar1, kPar2, kPar3, kTime };
enum class HelpToolKind { kNone, kTime, kPattern, kEventMap, kLevel };
// Which tool a double-click on the box opens for an instruction's HelpTool value.
HelpToolKind ToolForBox(int help_tool, HelpBox box);

// Time tool: "minutes:seconds.hundredths" of value x 8^base ticks of 20 ms.
std::string HelpTimeText(int value, int base);
// The longest time at a base: the slider's top value 63.
inline constexpr int kTimeSliderMax = 63;
std::string HelpMaxTimeText(int base);
// The base box accepts 0..3.
inline constexpr int kTimeBaseMax = 3;

// Pattern tool, opened for an instruction with `bits` outputs (2..7).
struct PatternState {
  std::array<bool, 7> outputs{};  // chkUitgang(0..6)
  std::array<bool, 7> output_enabled{};
  bool all_dark = false;     // chkAllDark, bit 5
  bool no_dark = false;      // chkNoDark, bit 6
  bool dark_enabled = true;  // both dark boxes exist only below six outputs
};
PatternState PatternFromValue(int value, int bits);
int PatternValue(const PatternState& state);
// "All Dark" and "No Dark-phase" exclude each other: checking one clears the other.
void SetAllDark(PatternState& state, bool checked);
void SetNoDark(PatternState& state, bool checked);

// Event-map tool. Options 1..3 act on the on-event, 5..7 on the off-event (1/5 execute,
// 2/6 disable, 3/7 enable); there are no options 0 and 4.
struct EventMapState {
  std::array<bool, 4> inputs{};  // chkEvent(0..3)
  int option = 1;                // optEvent index
};
EventMapState EventMapFromValue(int value);
int EventMapValue(const EventMapState& state);

// Level tool: value = 16 x time index + level, within 0..127.
struct LevelState {
  int value = 0;
  int level = 0;       // 0..15
  int time_index = 0;  // 0..7
};
inline constexpr int kLevelMax = 15;
inline constexpr int kTimeIndexMax = 7;
inline constexpr int kLevelValueMax = 127;
LevelState LevelFromValue(int value);
inline int LevelValue(int level, int time_index) {
  return 16 * time_index + level;
}
// The delay of a time index in seconds, as the "Delay (s)" box shows it ("0.7").
std::string LevelDelayText(int time_index);

}  // namespace vela
