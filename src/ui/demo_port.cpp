#include "ui/demo_port.h"

#include "link/qt/qt_serial_port.h"
#include "sim/demo_board.h"

namespace vela::ui {

DemoPort::DemoPort()
    : demo_(std::make_unique<sim::DemoBoard>(clock_)), real_(std::make_unique<QtSerialPort>()) {}

DemoPort::~DemoPort() = default;

sim::SimulatedBoard& DemoPort::Board() {
  return demo_->Board();
}

bool DemoPort::Open(const std::string& name, const std::string& settings, std::string* error) {
  Close();
  if (name == sim::kDemoBoardName) {
    // The wire time of the chosen bit rate, so the demo feels like a board on a cable.
    LineSettings line;
    demo_->Port().Timing().bit_rate = ParseLineSettings(settings, &line) ? line.baud : 0;
    active_ = &demo_->Port();
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
