// The one serial API that every protocol piece calls. Implementations: the QSerialPort adapter
// (real ports and ptys) and the in-process simulated board.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vela {

// The three line settings the board understands, all odd parity, 8 data bits, 1 stop bit.
inline constexpr const char* kLineSettings[3] = {"9600,o,8,1", "19200,o,8,1", "38400,o,8,1"};
inline constexpr int kDefaultBitRateIndex = 1;

// A port the platform reports.
struct PortInfo {
  std::string system_name;    // what Open takes: "/dev/ttyUSB0", "COM3"
  std::string description;    // "FT232R USB UART"; may be empty
  std::string manufacturer;   // "FTDI"; may be empty
  std::string serial_number;  // "A50285BI"; may be empty
};

class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Opens the named port with one of kLineSettings. On failure returns false and puts a
  // readable reason into *error.
  virtual bool Open(const std::string& name, const std::string& settings, std::string* error) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;

  // Received bytes not yet read.
  virtual size_t BytesWaiting() = 0;
  // Reads up to max bytes that are waiting; never blocks.
  virtual size_t Read(uint8_t* buffer, size_t max) = 0;
  // Sends bytes in order; false when the port is closed or the write failed.
  virtual bool Write(const uint8_t* data, size_t size) = 0;
  // Blocks until at least one byte is waiting or the timeout passes; true when a byte is there.
  virtual bool WaitForData(std::chrono::microseconds timeout) = 0;

  // Why the port closed itself (the far end went away), reported once; empty otherwise.
  virtual std::string TakeLostReason() { return {}; }

  bool Write(const std::vector<uint8_t>& bytes) { return Write(bytes.data(), bytes.size()); }
  int ReadByte() {
    uint8_t b = 0;
    return Read(&b, 1) == 1 ? b : -1;
  }
};

}  // namespace vela
