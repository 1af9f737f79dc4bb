// Driving outputs live from the test panel, the aspect editor's "Test" button and the test
// controls of the pin configuration editor. Board output commands are message type 0 (command,
// target, value; no reply awaited); the Kora-format commands are the three-byte frames of the
// older modules, addressed to module x 4 + 3. Nothing here changes the stored configuration
// except a pin's live CurrentValue.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "model/number_text.h"
#include "operations/session.h"

namespace vela {

// Output commands of message type 0.
inline constexpr int kOutputCommand = 0;
inline constexpr int kSetPinAspect = 0;
inline constexpr int kSetAddressAspect = 1;
inline constexpr int kPwmLevel = 38;
inline constexpr int kServoPosition = 39;
inline constexpr int kWithDynamics = 16;  // added to 38 / 39: move with the pin's dynamics

// Kora-format commands.
inline constexpr int kKoraSetPinAspect = 0;
inline constexpr int kKoraSetAddressAspect = 1;
inline constexpr int kKoraReset = 2;
inline constexpr int kKoraClear = 8;
inline constexpr int kKoraLampTest = 10;

inline constexpr int kPwmLevelMin = 0;
inline constexpr int kPwmLevelMax = 31;
inline constexpr int kServoPositionMin = -64;
inline constexpr int kServoPositionMax = 63;

// What the test controls remember between presses; owned by the window, not saved.
struct TestPanelState {
  int PwmTestLevel = 0;       // 0..31
  int ServoTestPosition = 0;  // -64..63
  int AspectToggleState = 0;  // the aspect "Vela Toggle" sends next
};

// Command 0: the aspect of a pin; command 1: through the board's address map.
bool SetPinAspect(Session& session, int pin, int aspect);
bool SetAddressAspect(Session& session, int address, int aspect);
// Commands 38 / 54 and 39 / 55; the servo position is sent + 64.
bool SendPwmLevel(Session& session, int pin, int level, bool dynamic);
bool SendServoPosition(Session& session, int pin, int position, bool dynamic);

// The "<" boxes: out-of-range text is replaced by the nearest limit.
BoxEntry ClampPwmLevelText(std::string_view text);
BoxEntry ClampServoPositionText(std::string_view text);

// "<" of the PWM test: clamps the text (returned for the box), sets PwmTestLevel and the
// current pin's CurrentValue, and sends 38 (54 when slow) only while the port is open.
BoxEntry PwmLevelButton(Session& session, TestPanelState& state, std::string_view text, bool slow);
// "Jump": 38 with PwmTestLevel.
bool PwmJump(Session& session, const TestPanelState& state);
// A slider change; only the user's own move (the slider has the focus) sends.
void PwmSliderChanged(Session& session, TestPanelState& state, int level, bool slider_focused,
                      bool slow);

// The same for the servo test: CurrentValue = position + 64, commands 39 / 55.
BoxEntry ServoPositionButton(Session& session, TestPanelState& state, std::string_view text,
                             bool dynamic);
bool ServoJump(Session& session, const TestPanelState& state);
void ServoSliderChanged(Session& session, TestPanelState& state, int position, bool slider_focused,
                        bool dynamic);

// "Reset" (index 0, this module) / "Reset 15" (index 1).
void KoraReset(Session& session, int index);
// "Clear All" (index 0, this module) / "Clear All 0" (index 1): 32 frames, none with the port
// closed (said once).
void KoraClearAll(Session& session, int index);
// "Lamp Test" (0, this module) / "Lamp Test 0" (1) / "Lamp Test 15" (2).
void KoraLampTest(Session& session, int index);
// "KoraSend" with the Command, Output and Parameter boxes; a value outside 0..127 is refused
// with a message naming the box, and nothing is sent.
bool KoraSend(Session& session, std::string_view command, std::string_view output,
              std::string_view parameter);

// "Vela SA0".."Vela SA3" (index 0..3), "Vela Toggle" (4), "Vela 8xSA0" / "Vela 8xSA1" (5, 6),
// for the output address typed in the box.
void VelaSetAspect(Session& session, TestPanelState& state, int index,
                   std::string_view output_text);

// "MB-k": aspect k on every checked sign 0..9, in ascending order.
void MatrixSetAspect(Session& session, int aspect, const std::array<bool, 10>& signs);

// The modifier keys held while "Test" of the aspect editor is pressed (left button).
struct TestModifiers {
  bool shift = false;
  bool control = false;
  bool alt = false;
};
// Sends the current aspect of the current pin the way the keys choose (Alt shows the help).
void TestAspect(Session& session, TestModifiers keys);
std::string TestHelpText();

}  // namespace vela
