// Monotonic time for the link's waits and pauses. Programs use the steady clock; tests use a
// manual clock so that a 2-second timeout costs no real time.
#pragma once

#include <chrono>
#include <mutex>
#include <thread>

namespace vela {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::chrono::microseconds Now() const = 0;
  virtual void SleepFor(std::chrono::microseconds duration) = 0;
};

class SteadyClock final : public Clock {
 public:
  std::chrono::microseconds Now() const override {
    return std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
  }
  void SleepFor(std::chrono::microseconds duration) override {
    if (duration.count() > 0) std::this_thread::sleep_for(duration);
  }
};

// Time moves only when someone sleeps (or a simulated port waits).
class ManualClock final : public Clock {
 public:
  std::chrono::microseconds Now() const override {
    std::lock_guard lock(mutex_);
    return now_;
  }
  void SleepFor(std::chrono::microseconds duration) override { Advance(duration); }
  void Advance(std::chrono::microseconds duration) {
    std::lock_guard lock(mutex_);
    if (duration.count() > 0) now_ += duration;
  }

 private:
  mutable std::mutex mutex_;
  std::chrono::microseconds now_{0};
};

}  // namespace vela
