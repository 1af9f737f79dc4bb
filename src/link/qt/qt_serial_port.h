// The SerialPort on QSerialPort: real ports, USB adapters and pseudo-terminals. Created and
// used by the one thread that owns the link; it runs without an event loop, in blocking mode.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "link/serial_port.h"

class QSerialPort;

namespace vela {

class QtSerialPort final : public SerialPort {
 public:
  QtSerialPort();
  ~QtSerialPort() override;

  bool Open(const std::string& name, const std::string& settings, std::string* error) override;
  void Close() override;
  bool IsOpen() const override;
  size_t BytesWaiting() override;
  size_t Read(uint8_t* buffer, size_t max) override;
  bool Write(const uint8_t* data, size_t size) override;
  bool WaitForData(std::chrono::microseconds timeout) override;
  std::string TakeLostReason() override;

  // Whether the driver took the low-latency request of the last opening (Linux serial drivers;
  // ptys and other platforms do not).
  bool LowLatency() const { return low_latency_; }

  // The ports the platform reports, by system name with a description.
  static std::vector<PortInfo> ListPorts();

 private:
  void OnError(int error);
  void RequestLowLatency();

  std::unique_ptr<QSerialPort> port_;
  std::string lost_reason_;
  bool low_latency_ = false;
};

// Settings text "19200,o,8,1" taken apart; false for anything else.
struct LineSettings {
  int baud = 19200;
  char parity = 'o';
  int data_bits = 8;
  int stop_bits = 1;
};
bool ParseLineSettings(const std::string& text, LineSettings* settings);

}  // namespace vela
