// The event actions of the pins and the initial event enable masks. An action travels as a
// nibble (15 = none) tagged with its input in the high nibble: 16 x input + nibble. Event-on
// actions go with 100 and come back after the init byte of 116; event-off actions go with 101
// and come back with 117. The masks (setting 11) carry a 1-bit for an input whose initial
// event is disabled. Writes sent while "Bidirectional Comm." is off are paced by 100 ms.
#pragma once

#include "operations/session.h"

namespace vela {

inline constexpr int kWriteEventOn = 100;
inline constexpr int kWriteEventOff = 101;
inline constexpr int kReadEventOn = 116;
inline constexpr int kReadEventOff = 117;

// 16 x input + (action -1 ? 15 : action).
int EventByte(int input, int action);
// The action in a byte expected for input: -1 for another input's tag or nibble 15.
int DecodeEventByte(int byte, int input);

// All 32 pins, event-on then event-off; an unsupported reply is said once per pin and the pin
// is passed over, a missing reply ends the read.
bool ReadAllEvents(Session& session);
bool WriteAllEvents(Session& session);

// The initial enable masks from and to GeneralSettings::InitEE.
bool ReadEnableMap(Session& session);
bool WriteEnableMap(Session& session);

// The "Read" and "Write" buttons of the Event Control tab, for ECSelectedPin; true when both
// events went through.
bool ReadSinglePinEvents(Session& session);
bool WriteSinglePinEvents(Session& session);

}  // namespace vela
