// The port of demo mode: the demo board's name opens the in-process demo board, any other name
// a real port, so a demo session can still reach an adapter.
#pragma once

#include <memory>
#include <string>

#include "link/clock.h"
#include "link/serial_port.h"

namespace vela::sim {
class DemoBoard;
class SimulatedBoard;
}  // namespace vela::sim

namespace vela::ui {

class DemoPort final : public SerialPort {
 public:
  DemoPort();
  ~DemoPort() override;

  bool Open(const std::string& name, const std::string& settings, std::string* error) override;
  void Close() override;
  bool IsOpen() const override;
  size_t BytesWaiting() override;
  size_t Read(uint8_t* buffer, size_t max) override;
  bool Write(const uint8_t* data, size_t size) override;
  bool WaitForData(std::chrono::microseconds timeout) override;
  std::string TakeLostReason() override;

  sim::SimulatedBoard& Board();

 private:
  SteadyClock clock_;
  std::unique_ptr<sim::DemoBoard> demo_;
  std::unique_ptr<SerialPort> real_;
  SerialPort* active_ = nullptr;
};

}  // namespace vela::ui
