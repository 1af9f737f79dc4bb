// How the Event Control tab reads its fields: the action boxes (-1 = no action, 0..11), the
// pin selector, the grey of a "no action" cell and "Copy to All".
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "model/board_config.h"
#include "model/number_text.h"

namespace vela {

inline constexpr int kNoAction = -1;
inline constexpr int kMaxEditedAction = 11;
// Captions of the action rows and of the initial enable rows (the window's, blank included).
inline constexpr const char* kEventRowCaptions[2] = {"ON:", "OFF:"};
inline constexpr const char* kInitialEnableCaptions[2] = {"InitialEvent_ON Enable ",
                                                          "Initial Event_OFF Enable "};
// Background of an action cell that holds -1.
inline constexpr unsigned kNoActionColour = 0xE0E0E0;

// Commits an action field: below -1 shows "-1", above 11 shows "11", otherwise the text stays
// as typed; the value stored is the rounded number (text that is no number stores 0).
BoxEntry CommitActionText(std::string_view text);
// The value a spin change stores: the rounded number of the field, not clamped.
int ActionValueOf(std::string_view text);
// A cell is grey exactly when its number is -1.
bool ActionCellIsGrey(std::string_view text);

// The pin selector: the text snaps into NumberBase .. NumberBase + 31 and the pin is the
// number less NumberBase, rounded.
struct PinFieldEntry {
  std::string text;
  int pin = 0;
};
PinFieldEntry CommitEventPinText(std::string_view text, int number_base);

// Every pin 0..31 takes these event-on and event-off actions of inputs 0..3.
void CopyActionsToAll(EventControlTable& events, const std::array<int, 4>& on,
                      const std::array<int, 4>& off);

}  // namespace vela
