// A port whose received bytes are the fuzzer's input, on a manual clock, so that every wait
// ends at once when the input is used up.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "dialogs/user_dialogs.h"
#include "link/clock.h"
#include "link/serial_port.h"

namespace vela::fuzz {

class InputPort final : public SerialPort {
 public:
  InputPort(ManualClock& clock, const uint8_t* data, size_t size)
      : clock_(clock), data_(data), size_(size) {}
  bool Open(const std::string&, const std::string&, std::string*) override { return open_ = true; }
  void Close() override { open_ = false; }
  bool IsOpen() const override { return open_; }
  size_t BytesWaiting() override { return size_ - pos_; }
  size_t Read(uint8_t* buffer, size_t max) override {
    size_t n = std::min(max, size_ - pos_);
    std::memcpy(buffer, data_ + pos_, n);
    pos_ += n;
    return n;
  }
  bool Write(const uint8_t*, size_t) override { return open_; }
  bool WaitForData(std::chrono::microseconds timeout) override {
    if (pos_ < size_) return true;
    clock_.Advance(timeout);
    return false;
  }

 private:
  ManualClock& clock_;
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  bool open_ = false;
};

class SilentDialogs final : public UserDialogs {
 public:
  void Message(const std::string&, MessageIcon) override {}
  Answer Question(const std::string&, QuestionButtons, MessageIcon) override {
    return Answer::kCancel;
  }
  std::string OpenFileName(const std::string&, const std::string&) override { return {}; }
  std::string SaveFileName(const std::string&, const std::string&) override { return {}; }
};

}  // namespace vela::fuzz
