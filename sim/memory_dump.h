// The board memory as text, one item a line, for `vela-sim --dump` and for test failure output.
#pragma once

#include <string>

#include "sim/simulated_board.h"

namespace vela::sim {

// General settings first ("version 3 2 2 0", "id \"Demo Layout\"", ...), then one "pin N" line
// per pin with its mode, initial nibble, address bytes, both configuration stores and event
// nibbles, then one "step" line per step that is not all zero.
std::string DumpMemory(const BoardMemory& memory);

}  // namespace vela::sim
