// The built-in sample board of `vela-sim --demo`, the programs' demo mode and the tests.
#pragma once

#include "sim/simulated_board.h"

namespace vela::sim {

// Loads a small layout into the board's memory: a three-light signal on pins 0..2 (aspect mode
// 3, one device), a two-light signal on pins 3..4 (aspect mode 2), a servo turnout on pin 8, a
// PWM lamp on pin 9, an input with event actions on pin 12, two serial senders on pins 13 and
// 14, non-default general settings, the ID string "Demo Layout" and version 3.2.2.0. Everything
// is in range for the tool, so a "Read All" of it shows no message.
void LoadDemoLayout(SimulatedBoard& board);

}  // namespace vela::sim
