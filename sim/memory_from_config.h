// Board memory from a tool configuration: what a board holds after "Write All" of it, so that
// vela-sim can start from a data file and tests can compare a board against a configuration.
#pragma once

#include "model/board_config.h"
#include "sim/simulated_board.h"

namespace vela::sim {

// Fills memory's general settings, pins and event actions from config, byte for byte as the
// write commands send them. The version is taken from the configuration's version text when
// it holds four numbers; otherwise memory's stays. The erase count is kept.
void StoreConfig(const BoardConfig& config, BoardMemory& memory);

}  // namespace vela::sim
