#include "link/message_monitor.h"

namespace vela {

bool MessageMonitor::Start(BoardLink& link) {
  if (!link.IsLinkOpen()) {
    link.Dialogs().Message("Select Comm-port");
    return false;
  }
  std::lock_guard lock(mutex_);
  if (!running_) {
    running_ = true;
    text_ += std::string("Start Monitoring") + kCrLf;
  }
  return true;
}

void MessageMonitor::Stop() {
  std::lock_guard lock(mutex_);
  // Only a running monitor reports its stop: focus passing over an idle button says nothing.
  if (!running_) return;
  running_ = false;
  text_ += std::string("Monitoring Stopped") + kCrLf;
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
  link.SendVLMessage(false, BoardMessage{});
  // A port that went away ends the monitor after one message, not one every tick.
  if (!link.IsLinkOpen()) Stop();
  if (!link.ReplyValid || link.ReplyLength() != 4) return std::nullopt;
  std::string line = ReportLine(&link.ReplyBuffer[2]);
  Append(line + kCrLf);
  return line;
}

void MessageMonitor::Append(const std::string& line) {
  std::lock_guard lock(mutex_);
  text_ += line;
  if (text_.size() > kTextLimit) {
    size_t cut = text_.find('\n', text_.size() - kTextLimit / 2);
    text_.erase(0, cut == std::string::npos ? text_.size() - kTextLimit / 2 : cut + 1);
  }
}

std::string MessageMonitor::Text() const {
  std::lock_guard lock(mutex_);
  return text_;
}

void MessageMonitor::Clear() {
  std::lock_guard lock(mutex_);
  text_.clear();
}

}  // namespace vela
