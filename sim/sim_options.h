// The command line of vela-sim, parsed into the board's, the station's and the line's settings.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/simulated_board.h"
#include "sim/simulated_station.h"
#include "sim/wire_line.h"

namespace vela::sim {

struct SimOptions {
  bool help = false;
  bool version = false;
  bool pty = false;
  int module = 0;    // 0..31 (above 15 only reachable through the station)
  int xaddress = 0;  // 0..127
  bool station = false;
  StationSettings station_settings;
  Faults faults;
  LineTiming timing;
  bool demo = false;
  std::string load_file;  // a configuration data file to preload
  std::string dump_file;  // "-" = stderr
  bool verbose = false;   // every frame received and every reply, in hex, on stderr
  std::vector<std::array<uint8_t, 4>> reports;  // queued for the first polls
};

// Parses the arguments after the program name. False with a one-line reason for a usage error.
bool ParseSimOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error);

// The --help text.
std::string SimUsage();

}  // namespace vela::sim
