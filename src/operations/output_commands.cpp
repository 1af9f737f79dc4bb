#include "operations/output_commands.h"

#include <string>

#include "link/framing.h"

namespace vela {
namespace {

using std::to_string;

bool SendOutput(Session& session, int command, int target, int value) {
  return session.link.SendVLMessage(false, {kOutputCommand, command, target, value});
}

int ModuleByte(int module) {
  return AddressByte(module);
}

// The numeric value of a box, rounded as every box rounds.
int BoxValue(std::string_view text) {
  return RoundHalfEven(NumericValue(text));
}

// Refuses a value that cannot travel as a frame byte, naming where it came from.
bool Fits7Bits(Session& session, const std::string& what, int value) {
  if (value >= 0 && value <= 127) return true;
  session.dialogs().Message(
      what + " = " + to_string(value) + " is outside 0..127 and cannot be sent; nothing was sent",
      MessageIcon::kError);
  return false;
}

void SendKoraToAllOutputs(Session& session, int module, int command, int parameter) {
  if (!session.link.IsLinkOpen()) {
    session.dialogs().Message(kSelectCommunicationsPort);
    return;
  }
  for (int output = 0; output < kPinCount; ++output) {
    session.link.SendLegacyMessage(ModuleByte(module), command, output, parameter);
  }
}

// The current pin needs a Kora address for the address-map forms of "Test".
bool HasKoraAddress(Session& session) {
  const BoardConfig& config = session.config;
  if (config.Current().KoraCount != 0) return true;
  session.dialogs().Message("You have no Kora-address(es) assigned to Pin " +
                                to_string(config.CurrentPin + config.NumberBase),
                            MessageIcon::kError);
  return false;
}

}  // namespace

bool SetPinAspect(Session& session, int pin, int aspect) {
  return SendOutput(session, kSetPinAspect, pin, aspect);
}

bool SetAddressAspect(Session& session, int address, int aspect) {
  return SendOutput(session, kSetAddressAspect, address, aspect);
}

bool SendPwmLevel(Session& session, int pin, int level, bool dynamic) {
  return SendOutput(session, kPwmLevel + (dynamic ? kWithDynamics : 0), pin, level);
}

bool SendServoPosition(Session& session, int pin, int position, bool dynamic) {
  return SendOutput(session, kServoPosition + (dynamic ? kWithDynamics : 0), pin, position + 64);
}

BoxEntry ClampPwmLevelText(std::string_view text) {
  return CommitBox(text, kPwmLevelMin, kPwmLevelMax);
}

BoxEntry ClampServoPositionText(std::string_view text) {
  return CommitBox(text, kServoPositionMin, kServoPositionMax);
}

BoxEntry PwmLevelButton(Session& session, TestPanelState& state, std::string_view text, bool slow) {
  BoxEntry entry = ClampPwmLevelText(text);
  state.PwmTestLevel = entry.value;
  session.config.Current().CurrentValue = static_cast<uint8_t>(entry.value);
  if (session.link.IsLinkOpen()) {
    SendPwmLevel(session, session.config.CurrentPin, state.PwmTestLevel, slow);
  }
  return entry;
}

bool PwmJump(Session& session, const TestPanelState& state) {
  return SendPwmLevel(session, session.config.CurrentPin, state.PwmTestLevel, false);
}

void PwmSliderChanged(Session& session, TestPanelState& state, int level, bool slider_focused,
                      bool slow) {
  state.PwmTestLevel = level;
  session.config.Current().CurrentValue = static_cast<uint8_t>(level);
  if (session.link.IsLinkOpen() && slider_focused) {
    SendPwmLevel(session, session.config.CurrentPin, level, slow);
  }
}

BoxEntry ServoPositionButton(Session& session, TestPanelState& state, std::string_view text,
                             bool dynamic) {
  BoxEntry entry = ClampServoPositionText(text);
  state.ServoTestPosition = entry.value;
  session.config.Current().CurrentValue = static_cast<uint8_t>(entry.value + 64);
  if (session.link.IsLinkOpen()) {
    SendServoPosition(session, session.config.CurrentPin, state.ServoTestPosition, dynamic);
  }
  return entry;
}

bool ServoJump(Session& session, const TestPanelState& state) {
  return SendServoPosition(session, session.config.CurrentPin, state.ServoTestPosition, false);
}

void ServoSliderChanged(Session& session, TestPanelState& state, int position, bool slider_focused,
                        bool dynamic) {
  state.ServoTestPosition = position;
  session.config.Current().CurrentValue = static_cast<uint8_t>(position + 64);
  if (session.link.IsLinkOpen() && slider_focused) {
    SendServoPosition(session, session.config.CurrentPin, position, dynamic);
  }
}

void KoraReset(Session& session, int index) {
  const int module = index == 1 ? 15 : session.link.ModuleAddress;
  session.link.SendLegacyMessage(ModuleByte(module), kKoraReset, 0, 0);
}

void KoraClearAll(Session& session, int index) {
  const int module = index == 1 ? 0 : session.link.ModuleAddress;
  SendKoraToAllOutputs(session, module, kKoraClear, 0);
}

void KoraLampTest(Session& session, int index) {
  const int module = index == 1 ? 0 : index == 2 ? 15 : session.link.ModuleAddress;
  SendKoraToAllOutputs(session, module, kKoraLampTest, 30);
}

bool KoraSend(Session& session, std::string_view command, std::string_view output,
              std::string_view parameter) {
  const int c = BoxValue(command);
  const int o = BoxValue(output);
  const int p = BoxValue(parameter);
  if (!Fits7Bits(session, "KoraSend: Command", c) || !Fits7Bits(session, "KoraSend: Output", o) ||
      !Fits7Bits(session, "KoraSend: Parameter", p)) {
    return false;
  }
  session.link.SendLegacyMessage(ModuleByte(session.link.ModuleAddress), c, o, p);
  return true;
}

void VelaSetAspect(Session& session, TestPanelState& state, int index,
                   std::string_view output_text) {
  if (index == 5 || index == 6) {
    for (int output = 0; output < 8; ++output) SetAddressAspect(session, output, index - 5);
    return;
  }
  const int output = BoxValue(output_text);
  if (!Fits7Bits(session, "Vela Set Aspect: Output", output)) return;
  if (index == 4) {
    SetAddressAspect(session, output, state.AspectToggleState);
    state.AspectToggleState = 1 - state.AspectToggleState;
  } else if (index >= 0 && index <= 3) {
    SetAddressAspect(session, output, index);
  }
}

void MatrixSetAspect(Session& session, int aspect, const std::array<bool, 10>& signs) {
  for (int i = 0; i < 10; ++i) {
    if (signs[i]) SetAddressAspect(session, i, aspect);
  }
}

std::string TestHelpText() {
  return std::string("Test = Send Vela Set Aspect") + kCrLf +
         "Shift + Test = Send Legacy Kora Set Aspect" + kCrLf +
         "Control + Test = Send Vela Set Aspect, use Address Map" + kCrLf +
         "Shift + Control + Test = Send Legacy Kora Set Aspect, use Address Map" + kCrLf +
         "Alt + Test = Show this message";
}

void TestAspect(Session& session, TestModifiers keys) {
  BoardConfig& config = session.config;
  BoardLink& link = session.link;
  const int pin = config.CurrentPin;
  const int aspect = config.CurrentAspect;
  const int kora_start = config.Starts.KoraStart[pin];
  if (keys.alt) {
    session.dialogs().Message(TestHelpText());
  } else if (!keys.shift && !keys.control) {
    SetPinAspect(session, pin, aspect);
  } else if (!keys.shift) {
    if (HasKoraAddress(session)) SetAddressAspect(session, kora_start, aspect);
  } else if (config.General.KRaddr) {
    // Flexible addressing: the base and the pin's start make one address over all modules,
    // 32 outputs each.
    if (!HasKoraAddress(session)) return;
    const int m = config.General.KoraFlexAddress * 4 + kora_start;
    link.SendLegacyMessage(ModuleByte(m / 32), kKoraSetAddressAspect, m & 31, aspect);
  } else if (!keys.control) {
    link.SendLegacyMessage(ModuleByte(link.ModuleAddress), kKoraSetPinAspect, pin, aspect);
  } else if (HasKoraAddress(session)) {
    link.SendLegacyMessage(ModuleByte(link.ModuleAddress), kKoraSetAddressAspect, kora_start,
                           aspect);
  }
}

}  // namespace vela
