#include "link/message_monitor.h"

#include <algorithm>

namespace vela {

bool MessageMonitor::Start(BoardLink& link) {
  if (!link.IsLinkOpen()) {
    link.Dialogs().Message("Select Comm-port");
    return false;
  }
  std::lock_guard lock(mutex_);
  if (!running_) {
    running_ = true;
    text_.Append(std::string("Start Monitoring") + kCrLf);
  }
  return true;
}

void MessageMonitor::Stop() {
  std::lock_guard lock(mutex_);
  // Only a running monitor reports its stop: focus passing over an idle button says nothing.
  if (!running_) return;
  running_ = false;
  text_.Append(std::string("Monitoring Stopped") + kCrLf);
}

bool MessageMonitor::Running() const {
  std::lock_guard lock(mutex_);
  return running_;
}

std::string MessageMonitor::ReportLine(const uint8_t* report) {
  std::string line;
  for (int i = 0; i < 4; ++i) line += "<" + std::to_string(report[i]) + "> ";
  return line;
}

std::optional<std::string> MessageMonitor::Tick(BoardLink& link) {
  // A tick that was already on its way when the monitor stopped polls nothing.
  if (!Running()) return std::nullopt;
  const int failures_before = link.Tally().failures;
  link.SendVLMessage(false, BoardMessage{});
  // A failed poll (no reply, an invalid one, a port that went away) ends the monitor after its
  // one message; polling on would show the same message ten times a second.
  if (!link.IsLinkOpen() || link.Tally().failures != failures_before) Stop();
  const ReplyView reply = link.Reply();
  if (!reply.Valid() || reply.Length() != 4) return std::nullopt;
  const uint8_t report[4] = {
      static_cast<uint8_t>(reply.Type()), static_cast<uint8_t>(reply.Command()),
      static_cast<uint8_t>(reply.Data(0)), static_cast<uint8_t>(reply.Data(1))};
  std::string line = ReportLine(report);
  Append(line + kCrLf);
  return line;
}

void MessageMonitor::RunFor(BoardLink& link, Clock& clock, std::chrono::microseconds duration,
                            const std::function<void(const std::string&)>& on_line) {
  const auto end = clock.Now() + duration;
  while (Running() && clock.Now() < end) {
    if (auto line = Tick(link)) on_line(*line);
    // The pause runs from the end of the poll: a poll that waited long is not made up for by
    // polls back to back.
    const auto left = end - clock.Now();
    if (left.count() <= 0) break;
    clock.SleepFor(std::min<std::chrono::microseconds>(kPollInterval, left));
  }
}

void MessageMonitor::Append(const std::string& line) {
  std::lock_guard lock(mutex_);
  text_.Append(line);
}

std::string MessageMonitor::Text() const {
  std::lock_guard lock(mutex_);
  return text_.Text();
}

void MessageMonitor::Clear() {
  std::lock_guard lock(mutex_);
  text_.Clear();
}

}  // namespace vela
