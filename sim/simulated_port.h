// A SerialPort wired in-process to a simulated board (optionally behind the station), on any
// Clock: with the manual clock of the tests a 2-second timeout costs no real time; with the
// steady clock (demo mode) the emulated wire time is really waited for.
#pragma once

#include <chrono>
#include <string>

#include "link/clock.h"
#include "link/serial_port.h"
#include "sim/simulated_board.h"
#include "sim/simulated_station.h"
#include "sim/wire_line.h"

namespace vela::sim {

// One byte for the device on the line: the station when there is one (which passes it on in
// transparent mode), otherwise the board; with the delay the answer waits for (the station's
// answer time, a faulty reply's extra delay).
DeviceOutput FeedDevice(SimulatedBoard& board, SimulatedStation* station, uint8_t byte,
                        std::chrono::microseconds arrival);

// The in-process port: bytes written go to the station (when there is one) or the board, their
// answers become readable when the line has carried them.
class SimulatedPort final : public SerialPort {
 public:
  SimulatedPort(SimulatedBoard& board, Clock& clock, SimulatedStation* station = nullptr);

  bool Open(const std::string& name, const std::string& settings, std::string* error) override;
  void Close() override;
  bool IsOpen() const override;
  size_t BytesWaiting() override;
  size_t Read(uint8_t* buffer, size_t max) override;
  bool Write(const uint8_t* data, size_t size) override;
  // Sleeps the clock until the next byte is due or the timeout passed; never spins.
  bool WaitForData(std::chrono::microseconds timeout) override;

  LineTiming& Timing() { return timing_; }
  // Any name opens the port unless `refuse_open`.
  bool refuse_open = false;
  // What the last Open was given.
  const std::string& opened_name() const { return opened_name_; }
  const std::string& opened_settings() const { return opened_settings_; }
  // Every byte the PC wrote since construction, in order.
  const std::vector<uint8_t>& Written() const { return written_; }
  void ClearWritten() { written_.clear(); }

 private:
  SimulatedBoard& board_;
  Clock& clock_;
  SimulatedStation* station_;
  LineTiming timing_;
  bool open_ = false;
  std::string opened_name_;
  std::string opened_settings_;
  std::vector<uint8_t> written_;
  WireLine line_;
};

}  // namespace vela::sim
