#include "model/event_control_rules.h"

namespace vela {

BoxEntry CommitActionText(std::string_view text) {
  return CommitBox(text, kNoAction, kMaxEditedAction);
}

int ActionValueOf(std::string_view text) {
  return RoundHalfEven(NumericValue(text));
}

bool ActionCellIsGrey(std::string_view text) {
  return NumericValue(text) == kNoAction;
}

PinFieldEntry CommitEventPinText(std::string_view text, int number_base) {
  double value = NumericValue(text);
  const int last = number_base + kPinCount - 1;
  if (value < number_base) return {std::to_string(number_base), 0};
  if (value > last) return {std::to_string(last), kPinCount - 1};
  // The pin is rounded after NumberBase is taken off: 1.5 with NumberBase 1 is pin 0.
  return {std::string(text), RoundHalfEven(value - number_base)};
}

void CopyActionsToAll(EventControlTable& events, const std::array<int, 4>& on,
                      const std::array<int, 4>& off) {
  for (int pin = 0; pin < kPinCount; ++pin) {
    for (int input = 0; input < 4; ++input) {
      events.At(pin, kEventOn, input) = static_cast<int16_t>(on[input]);
      events.At(pin, kEventOff, input) = static_cast<int16_t>(off[input]);
    }
  }
}

}  // namespace vela
