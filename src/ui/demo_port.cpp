#include "ui/demo_port.h"

#include "link/qt/qt_serial_port.h"
#include "sim/demo_layout.h"
#include "sim/simulated_port.h"

namespace vela::ui {

DemoPort::DemoPort()
    : board_(std::make_unique<sim::SimulatedBoard>()),
      simulated_(std::make_unique<sim::SimulatedPort>(*board_, clock_)),
      real_(std::make_unique<QtSerialPort>()) {
  sim::LoadDemoLayout(*board_);
}

DemoPort::~DemoPort() = default;

bool DemoPort::Open(const std::string& name, const std::string& settings, std::string* error) {
  Close();
  if (name == sim::kSimulatedPortName) {
    // The wire time of the chosen bit rate, so the demo feels like a board on a cable.
    LineSettings line;
    simulated_->Timing().bit_rate = ParseLineSettings(settings, &line) ? line.baud : 0;
    active_ = simulated_.get();
  } else {
    active_ = real_.get();
  }
  if (active_->Open(name, settings, error)) return true;
  active_ = nullptr;
  return false;
}

void DemoPort::Close() {
  if (active_) active_->Close();
}

bool DemoPort::IsOpen() const {
  return active_ && active_->IsOpen();
}
size_t DemoPort::BytesWaiting() {
  return active_ ? active_->BytesWaiting() : 0;
}
size_t DemoPort::Read(uint8_t* buffer, size_t max) {
  return active_ ? active_->Read(buffer, max) : 0;
}
bool DemoPort::Write(const uint8_t* data, size_t size) {
  return active_ && active_->Write(data, size);
}
bool DemoPort::WaitForData(std::chrono::microseconds timeout) {
  return active_ && active_->WaitForData(timeout);
}
std::string DemoPort::TakeLostReason() {
  return active_ ? active_->TakeLostReason() : std::string();
}

}  // namespace vela::ui
