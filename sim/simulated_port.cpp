#include "sim/simulated_port.h"

#include <algorithm>

namespace vela::sim {

using std::chrono::microseconds;

SimulatedPort::SimulatedPort(SimulatedBoard& board, Clock& clock, SimulatedStation* station)
    : board_(board), clock_(clock), station_(station) {}

bool SimulatedPort::Open(const std::string& name, const std::string& settings, std::string* error) {
  if (refuse_open) {
    if (error) *error = "The simulated port refused to open";
    return false;
  }
  opened_name_ = name;
  opened_settings_ = settings;
  open_ = true;
  line_.Clear();
  return true;
}

void SimulatedPort::Close() {
  open_ = false;
  line_.Clear();  // what was on its way is lost with the line
}

bool SimulatedPort::IsOpen() const {
  return open_;
}

size_t SimulatedPort::BytesWaiting() {
  return open_ ? line_.DueCount(clock_.Now()) : 0;
}

size_t SimulatedPort::Read(uint8_t* buffer, size_t max) {
  if (!open_) return 0;
  return line_.TakeDue(clock_.Now(), buffer, max);
}

DeviceOutput FeedDevice(SimulatedBoard& board, SimulatedStation* station, uint8_t byte,
                        microseconds arrival) {
  DeviceOutput out;
  if (station) {
    const bool was_transparent = station->transparent();
    out.bytes = station->Receive(byte, arrival);
    // In transparent mode the board's own timing holds.
    out.delay = was_transparent ? microseconds{0} : station->Settings().answer_time;
  } else {
    out.bytes = board.Receive(byte, arrival);
  }
  out.delay += board.TakeReplyDelay();
  return out;
}

bool SimulatedPort::Write(const uint8_t* data, size_t size) {
  if (!open_) return false;
  written_.insert(written_.end(), data, data + size);
  line_.FromPc(data, size, clock_.Now(), timing_, [this](uint8_t byte, microseconds arrival) {
    return FeedDevice(board_, station_, byte, arrival);
  });
  return true;
}

bool SimulatedPort::WaitForData(microseconds timeout) {
  if (!open_) return false;
  const microseconds deadline = clock_.Now() + timeout;
  while (line_.DueCount(clock_.Now()) == 0) {
    const microseconds now = clock_.Now();
    if (now >= deadline) return false;
    // Nothing else can make the device talk while we wait: it answers only what was written.
    const std::optional<microseconds> next = line_.NextDue();
    const microseconds until = next ? std::min(*next, deadline) : deadline;
    clock_.SleepFor(std::max(until - now, microseconds{1}));
  }
  return true;
}

}  // namespace vela::sim
