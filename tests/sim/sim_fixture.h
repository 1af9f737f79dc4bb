// A BoardLink on a simulated board (optionally behind the station) on the manual clock, with
// recording dialogs, for the simulator's own tests.
#pragma once

#include <string>
#include <vector>

#include "link/board_link.h"
#include "link/clock.h"
#include "link/framing.h"
#include "link/traffic_log.h"
#include "sim/simulated_board.h"
#include "sim/simulated_port.h"
#include "sim/simulated_station.h"
#include "support/recording_dialogs.h"

namespace vela::sim {

using Bytes = std::vector<uint8_t>;

class SimLinkTest : public ::testing::Test {
 protected:
  explicit SimLinkTest(int module = 0, int xaddress = 0, bool with_station = false)
      : board_(module, xaddress),
        station_(board_),
        port_(board_, clock_, with_station ? &station_ : nullptr),
        link_(port_, clock_, dialogs_, log_) {
    link_.ModuleAddress = module;
  }

  // Opens the link; the first message then carries the preamble and the resync frame.
  void Open() { ASSERT_TRUE(link_.OpenPort("sim", 1, nullptr)); }
  // Opens and sends one poll so that the resynchronisation is behind us; clears the records.
  void OpenAndSync() {
    Open();
    link_.SendVLMessage(false, BoardMessage{});
    board_.ClearReceived();
    port_.ClearWritten();
    log_.Clear();
    dialogs_.Clear();
  }
  // The reply message bytes the link holds: type, command and data, `length` bytes.
  Bytes ReplyMessage() const {
    const ReplyView reply = link_.Reply();
    Bytes bytes;
    for (int i = 0; i < reply.Length(); ++i)
      bytes.push_back(static_cast<uint8_t>(reply.MessageByte(i)));
    return bytes;
  }
  std::vector<std::string> Texts() const { return dialogs_.Texts(); }

  ManualClock clock_;
  SimulatedBoard board_;
  SimulatedStation station_;
  SimulatedPort port_;
  testing::RecordingDialogs dialogs_;
  MemoryTrafficLog log_;
  BoardLink link_;
};

}  // namespace vela::sim
