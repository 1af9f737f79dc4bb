// The message monitor: while it runs, an empty message every 100 ms asks the board for news,
// and each four-byte report is listed as "<12> <0> <127> <3> ".
#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "link/board_link.h"
#include "link/bounded_text.h"

namespace vela {

class MessageMonitor {
 public:
  static constexpr size_t kTextLimit = 1 << 20;
  static constexpr std::chrono::milliseconds kPollInterval{100};

  // "Monitor": says "Select Comm-port" when the port is closed; "Start Monitoring" is added only
  // when the monitor was not already running. Returns whether it runs.
  bool Start(BoardLink& link);
  // Monitoring ends (the "Monitor" button lost the focus): "Monitoring Stopped", once.
  void Stop();
  bool Running() const;

  // One poll; returns the report line it added, if the board answered with a report. A poll
  // that failed stops the monitor.
  std::optional<std::string> Tick(BoardLink& link);
  // Polls for `duration`, kPollInterval after the end of each poll, until the monitor stops;
  // each report line goes to on_line. For hosts without a timer (velacli).
  void RunFor(BoardLink& link, Clock& clock, std::chrono::microseconds duration,
              const std::function<void(const std::string&)>& on_line);

  // textFBM, lines ended by CR LF.
  std::string Text() const;
  void Clear();

  // "<a> <b> <c> <d> " of a report.
  static std::string ReportLine(const uint8_t* report);

 private:
  void Append(const std::string& line);

  mutable std::mutex mutex_;
  // Beyond the limit, the oldest lines go down to half of it.
  BoundedText text_{kTextLimit, kTextLimit / 2};
  bool running_ = false;
};

}  // namespace vela
