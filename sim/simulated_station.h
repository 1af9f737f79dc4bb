// A simulated Corsan command station with the tunnel to a Vela board, the protocol and
// interface queries, and the transparent mode of the HB-X, HB-Y and Zeto interface boxes.
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "sim/simulated_board.h"

namespace vela::sim {

struct StationSettings {
  int protocol_version = 3200;  // 3200 and up tunnels board messages
  int interface_type = 2;       // 2 HB-X, 3 HB-Y, 10 Zeto, anything else unknown
  int interface_version = 1020;
  bool silent = false;          // answers nothing
  bool answer_interface_query = true;
  bool answer_protocol_query = true;
};

// A station frame the station received.
struct StationFrame {
  std::chrono::microseconds time{0};
  std::vector<uint8_t> raw;
  int toggle = 0;
  std::vector<int> payload;
  bool checksum_ok = true;
};

class SimulatedStation {
 public:
  SimulatedStation(SimulatedBoard& board, StationSettings settings = {});

  std::vector<uint8_t> Receive(uint8_t byte, std::chrono::microseconds now = {});

  StationSettings& Settings() { return settings_; }
  const std::vector<StationFrame>& Received() const { return received_; }
  bool transparent() const { return transparent_; }

 private:
  SimulatedBoard& board_;
  StationSettings settings_;
  std::vector<StationFrame> received_;
  bool transparent_ = false;
};

}  // namespace vela::sim
