// The demo board: the simulated board holding the demo layout, the in-process port to it, and
// the name it is listed and opened under. The window's and velacli's demo mode, vela-sim --demo,
// the tests and the benchmarks take it from here.
#pragma once

#include "link/clock.h"
#include "sim/demo_layout.h"
#include "sim/simulated_board.h"
#include "sim/simulated_port.h"

namespace vela::sim {

// The port name of the demo board, as the port list shows it.
inline constexpr const char* kDemoBoardName = "Simulated board";

class DemoBoard {
 public:
  // The board answers to module address `module_address` and extended address `xaddress`.
  explicit DemoBoard(Clock& clock, int module_address = 0, int xaddress = 0)
      : board_(module_address, xaddress), port_(board_, clock) {
    LoadDemoLayout(board_);
  }
  DemoBoard(const DemoBoard&) = delete;
  DemoBoard& operator=(const DemoBoard&) = delete;

  SimulatedBoard& Board() { return board_; }
  SimulatedPort& Port() { return port_; }

 private:
  SimulatedBoard board_;
  SimulatedPort port_;
};

}  // namespace vela::sim
