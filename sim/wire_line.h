// The two directions of a serial line between the PC and a simulated device: every byte takes
// its wire time (11 bits at the bit rate: start, 8 data, parity, stop), the device answers a
// turnaround after the byte that completed a frame, and the bytes for the PC become readable
// only when they are due. Times are kept in nanoseconds so that the per-byte time of odd bit
// rates does not drift; the clocks outside speak microseconds.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace vela::sim {

struct LineTiming {
  // Emulate 11 bits a byte at this bit rate (0 = no wire time); a pty or the in-process port
  // otherwise delivers at once.
  int bit_rate = 0;
  std::chrono::microseconds turnaround{0};  // from the last byte of a frame to the reply
};

// What a device sends back for one byte it received: the bytes, and an extra delay before them.
struct DeviceOutput {
  std::vector<uint8_t> bytes;
  std::chrono::microseconds delay{0};
};

// Schedules the bytes of both directions on one line.
class WireLine {
 public:
  using Device = std::function<DeviceOutput(uint8_t byte, std::chrono::microseconds arrival)>;

  // The wire time of n bytes at the bit rate (0 when the rate is 0).
  static std::chrono::nanoseconds WireTime(size_t bytes, int bit_rate);

  // Bytes the PC wrote at `now`: each reaches the device when the line has carried it; the
  // device's answers are queued for the PC.
  void FromPc(const uint8_t* data, size_t size, std::chrono::microseconds now,
              const LineTiming& timing, const Device& device);

  size_t DueCount(std::chrono::microseconds now) const;
  size_t TakeDue(std::chrono::microseconds now, uint8_t* buffer, size_t max);
  // When the next byte for the PC is due (rounded up to the microsecond), if one is on its way.
  std::optional<std::chrono::microseconds> NextDue() const;
  void Clear();

 private:
  static std::chrono::nanoseconds Ns(std::chrono::microseconds t) { return t; }

  std::chrono::nanoseconds to_device_free_{0};
  std::chrono::nanoseconds to_pc_free_{0};
  std::deque<std::pair<std::chrono::nanoseconds, uint8_t>> to_pc_;
};

}  // namespace vela::sim
