#include "model/config_history.h"

#include <utility>

namespace vela {
namespace {

std::size_t TextBytes(const std::string& text) {
  // Short texts live inside the string object, which sizeof already counts.
  return text.capacity() > 15 ? text.capacity() + 1 : 0;
}

}  // namespace

std::size_t ConfigHistory::SnapshotBytes(const BoardConfig& config) {
  std::size_t bytes = sizeof(BoardConfig) + TextBytes(config.General.IdString) +
                      TextBytes(config.General.VersionText) + TextBytes(config.DataFileVersion);
  for (const PinRecord& pin : config.Pins) {
    bytes += TextBytes(pin.Description) + TextBytes(pin.DeviceName);
    for (const AspectRecord& aspect : pin.Aspects) bytes += TextBytes(aspect.Description);
  }
  return bytes;
}

bool ConfigHistory::SameContent(const BoardConfig& a, const BoardConfig& b) {
  GeneralSettings general = b.General;
  general.VersionText = a.General.VersionText;
  return a.Pins == b.Pins && a.Events == b.Events && a.General == general && a.Starts == b.Starts &&
         a.DataFileVersion == b.DataFileVersion;
}

BoardConfig ConfigHistory::Restored(const BoardConfig& snapshot, const BoardConfig& current) {
  BoardConfig shown = snapshot;
  shown.NumberBase = current.NumberBase;
  shown.ExpertMode = current.ExpertMode;
  shown.General.VersionText = current.General.VersionText;
  return shown;
}

void ConfigHistory::Push(std::deque<Step>& stack, const BoardConfig& config, std::string label,
                         std::uint64_t state) {
  const std::size_t bytes = SnapshotBytes(config) + label.capacity();
  stack.push_back(Step{config, std::move(label), state, bytes});
  bytes_ += bytes;
}

void ConfigHistory::Record(const BoardConfig& before, std::string label) {
  for (const Step& step : redo_) bytes_ -= step.bytes;
  redo_.clear();
  Push(undo_, before, std::move(label), current_);
  current_ = next_state_++;
  Trim();
}

bool ConfigHistory::Commit(const BoardConfig& before, const BoardConfig& after, std::string label) {
  if (SameContent(before, after)) return false;
  Record(before, std::move(label));
  return true;
}

void ConfigHistory::Withdraw() {
  if (undo_.empty()) return;
  bytes_ -= undo_.back().bytes;
  current_ = undo_.back().state;
  undo_.pop_back();
}

void ConfigHistory::Trim() {
  // Only Record grows the history, and it has emptied redo, so the oldest undo steps go.
  while (undo_.size() > 1 && (undo_.size() > kMaxSteps || bytes_ > kMaxBytes)) {
    bytes_ -= undo_.front().bytes;
    undo_.pop_front();
  }
}

std::string ConfigHistory::UndoText() const {
  return undo_.empty() ? "Undo" : "Undo " + undo_.back().label;
}

std::string ConfigHistory::RedoText() const {
  return redo_.empty() ? "Redo" : "Redo " + redo_.back().label;
}

std::optional<BoardConfig> ConfigHistory::Undo(const BoardConfig& current) {
  if (undo_.empty()) return std::nullopt;
  Step step = std::move(undo_.back());
  undo_.pop_back();
  bytes_ -= step.bytes;
  Push(redo_, current, step.label, current_);
  current_ = step.state;
  return Restored(step.config, current);
}

std::optional<BoardConfig> ConfigHistory::Redo(const BoardConfig& current) {
  if (redo_.empty()) return std::nullopt;
  Step step = std::move(redo_.back());
  redo_.pop_back();
  bytes_ -= step.bytes;
  Push(undo_, current, step.label, current_);
  current_ = step.state;
  return Restored(step.config, current);
}

void ConfigHistory::Clear() {
  undo_.clear();
  redo_.clear();
  bytes_ = 0;
}

}  // namespace vela
