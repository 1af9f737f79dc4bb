// A SerialPort wired in-process to a simulated board (optionally behind the station), on any
// Clock: with the manual clock of the tests a 2-second timeout costs no real time; with the
// steady clock (demo mode) the emulated wire time is really waited for.
#pragma once

#include <chrono>
#include <deque>
#include <string>

#include "link/clock.h"
#include "link/serial_port.h"
#include "sim/simulated_board.h"
#include "sim/simulated_station.h"

namespace vela::sim {

struct LineTiming {
  // Emulate 11 bits a byte at this bit rate (0 = no wire time); a pty or the in-process port
  // otherwise delivers at once.
  int bit_rate = 0;
  std::chrono::microseconds turnaround{0};  // from the last byte of a frame to the reply
};

class SimulatedPort final : public SerialPort {
 public:
  SimulatedPort(SimulatedBoard& board, Clock& clock, SimulatedStation* station = nullptr);

  bool Open(const std::string& name, const std::string& settings, std::string* error) override;
  void Close() override;
  bool IsOpen() const override;
  size_t BytesWaiting() override;
  size_t Read(uint8_t* buffer, size_t max) override;
  bool Write(const uint8_t* data, size_t size) override;
  bool WaitForData(std::chrono::microseconds timeout) override;

  LineTiming& Timing() { return timing_; }
  // The port name it accepts ("Simulated board"); any name opens it unless `refuse_open`.
  bool refuse_open = false;

 private:
  SimulatedBoard& board_;
  Clock& clock_;
  SimulatedStation* station_;
  LineTiming timing_;
  bool open_ = false;
  // Bytes on their way to the PC with the time each becomes readable.
  std::deque<std::pair<std::chrono::microseconds, uint8_t>> incoming_;
};

}  // namespace vela::sim
