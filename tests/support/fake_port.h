// A byte-level scripted port on a manual clock: records every write and answers from a
// responder; a wait with nothing to read moves the clock to the end of the timeout.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "link/clock.h"
#include "link/serial_port.h"

namespace vela::testing {

class FakePort final : public SerialPort {
 public:
  explicit FakePort(ManualClock& clock) : clock_(clock) {}

  bool Open(const std::string& name, const std::string& settings, std::string* error) override {
    if (fail_open) {
      if (error) *error = "refused";
      return false;
    }
    open_ = true;
    opened_name = name;
    opened_settings = settings;
    return true;
  }
  void Close() override { open_ = false; }
  bool IsOpen() const override { return open_; }
  size_t BytesWaiting() override { return rx_.size(); }
  size_t Read(uint8_t* buffer, size_t max) override {
    size_t n = 0;
    while (n < max && !rx_.empty()) {
      buffer[n++] = rx_.front();
      rx_.pop_front();
    }
    return n;
  }
  bool Write(const uint8_t* data, size_t size) override {
    if (!open_) return false;
    std::vector<uint8_t> bytes(data, data + size);
    written.insert(written.end(), bytes.begin(), bytes.end());
    writes.push_back(bytes);
    if (responder) responder(bytes);
    return true;
  }
  bool WaitForData(std::chrono::microseconds timeout) override {
    if (!rx_.empty()) return true;
    clock_.Advance(timeout);
    ++timed_out_waits;
    return false;
  }

  std::string TakeLostReason() override {
    std::string reason;
    reason.swap(lost_reason_);
    return reason;
  }
  // The far end goes away: the port closes itself and says why, once.
  void Lose(const std::string& reason) {
    open_ = false;
    lost_reason_ = reason;
  }

  void Feed(const std::vector<uint8_t>& bytes) {
    rx_.insert(rx_.end(), bytes.begin(), bytes.end());
  }

  std::vector<uint8_t> written;
  std::vector<std::vector<uint8_t>> writes;
  std::function<void(const std::vector<uint8_t>&)> responder;
  std::string opened_name;
  std::string opened_settings;
  bool fail_open = false;
  int timed_out_waits = 0;

 private:
  ManualClock& clock_;
  bool open_ = false;
  std::string lost_reason_;
  std::deque<uint8_t> rx_;
};

}  // namespace vela::testing
