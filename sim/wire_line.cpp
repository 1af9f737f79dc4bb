#include "sim/wire_line.h"

#include <algorithm>

namespace vela::sim {

using std::chrono::microseconds;
using std::chrono::nanoseconds;

nanoseconds WireLine::WireTime(size_t bytes, int bit_rate) {
  if (bit_rate <= 0) return nanoseconds{0};
  return nanoseconds{static_cast<int64_t>(bytes) * 11 * 1'000'000'000LL / bit_rate};
}

void WireLine::FromPc(const uint8_t* data, size_t size, microseconds now, const LineTiming& timing,
                      const Device& device) {
  const nanoseconds byte_time = WireTime(1, timing.bit_rate);
  for (size_t i = 0; i < size; ++i) {
    const nanoseconds arrival = std::max(Ns(now), to_device_free_) + byte_time;
    to_device_free_ = arrival;
    DeviceOutput out = device(data[i], std::chrono::duration_cast<microseconds>(arrival));
    if (out.bytes.empty()) continue;
    nanoseconds t = std::max(arrival + Ns(timing.turnaround) + Ns(out.delay), to_pc_free_);
    for (uint8_t b : out.bytes) {
      t += byte_time;
      to_pc_.emplace_back(t, b);
    }
    to_pc_free_ = t;
  }
}

size_t WireLine::DueCount(microseconds now) const {
  size_t n = 0;
  for (const auto& [due, byte] : to_pc_) {
    if (due > Ns(now)) break;
    ++n;
  }
  return n;
}

size_t WireLine::TakeDue(microseconds now, uint8_t* buffer, size_t max) {
  size_t n = 0;
  while (n < max && !to_pc_.empty() && to_pc_.front().first <= Ns(now)) {
    buffer[n++] = to_pc_.front().second;
    to_pc_.pop_front();
  }
  return n;
}

std::optional<microseconds> WireLine::NextDue() const {
  if (to_pc_.empty()) return std::nullopt;
  return std::chrono::ceil<microseconds>(to_pc_.front().first);
}

void WireLine::Clear() {
  to_pc_.clear();
  to_device_free_ = nanoseconds{0};
  to_pc_free_ = nanoseconds{0};
}

}  // namespace vela::sim
