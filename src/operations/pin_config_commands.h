// A pin's hardware configuration (kind, position byte, parameters) between the model and one
// of the board's two stores: the active values (0x51 read, 0x41 write), in effect now, or the
// flash memory (0x71 read, 0x61 write), used at power-up. The position byte travels third: the
// live CurrentValue for the active store, the initial PinConfig[1] for the flash store.
#pragma once

#include "model/pin_table.h"
#include "operations/session.h"

namespace vela {

inline constexpr int kActiveStore = 0;
inline constexpr int kFlashStore = 1;

inline constexpr int kReadPinConfigActive = 0x51;
inline constexpr int kReadPinConfigFlash = 0x71;
inline constexpr int kWritePinConfigActive = 0x41;
inline constexpr int kWritePinConfigFlash = 0x61;

// Servo flags bits 6 and 7 ("Servo Initialised" and a spare) are the board's state and are
// never sent.
inline constexpr int kServoFlagsSendMask = 0x3F;

// Reads one pin's configuration from the store into its record; true when a valid reply was
// stored. A kind that differs from the model's clears the parameters first (a new servo starts
// at position 0); a PWM reply without levels gives off level 0, on level 31.
bool ReadPinConfigParams(Session& session, int store, int pin);

// The message that writes one pin's configuration to the store (no reply awaited).
BoardMessage PinConfigMessage(const PinRecord& record, int store, int pin);

// Sends the pin's configuration to the store; for a servo the flags are first masked in the
// record itself. Returns the ok of the exchange (nothing is acknowledged by the board).
bool WritePinConfigParams(Session& session, int store, int pin);

}  // namespace vela
