// Undo and redo over the whole configuration: a snapshot of BoardConfig per committed change,
// with the change's label for the Edit menu, and a marker of the state last saved or loaded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "model/board_config.h"

namespace vela {

// Keeps the configurations from before each change. A snapshot is about 38 KB (sizeof
// BoardConfig plus its texts), so the count bound alone holds the history near 5 MB; the byte
// bound only binds for configurations carrying very long texts.
class ConfigHistory {
 public:
  // At most this many snapshots, undo and redo together (undo moves one to redo and back).
  static constexpr std::size_t kMaxSteps = 128;
  // ...and at most this many bytes of them; the newest step is kept whatever its size.
  static constexpr std::size_t kMaxBytes = std::size_t{32} << 20;

  // Call before a change with the configuration as it is and the change's label ("Load File",
  // "Read All", a field's name). Forgets what could be redone.
  void Record(const BoardConfig& before, std::string label);
  // Records only when `after` differs from `before` in what undo brings back; true if it did.
  bool Commit(const BoardConfig& before, const BoardConfig& after, std::string label);
  // Takes back the last Record: the change it announced did not happen.
  void Withdraw();

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  // The Edit menu's entries: "Undo Load Device Signal 3", or "Undo" with nothing to undo.
  std::string UndoText() const;
  std::string RedoText() const;

  // The configuration to show after undoing the last change (current goes onto redo), or
  // nothing when there is none. The numbering and expert mode, which are settings of the
  // window, and the version text read from the board stay as in `current`.
  std::optional<BoardConfig> Undo(const BoardConfig& current);
  std::optional<BoardConfig> Redo(const BoardConfig& current);

  // The configuration now is the one last saved, loaded, read or written.
  void MarkClean() { clean_ = current_; }
  // Whether undo and redo have come back to that configuration (and nothing changed since).
  bool IsClean() const { return clean_ == current_; }

  void Clear();
  std::size_t UndoCount() const { return undo_.size(); }
  std::size_t RedoCount() const { return redo_.size(); }
  std::size_t Bytes() const { return bytes_; }

  // What one snapshot of config costs: the object and the texts it owns.
  static std::size_t SnapshotBytes(const BoardConfig& config);
  // Whether two configurations hold the same content. Moving to another pin or aspect is no
  // change of its own; a snapshot still keeps the selection, so undo shows where it was.
  static bool SameContent(const BoardConfig& a, const BoardConfig& b);

 private:
  struct Step {
    BoardConfig config;
    std::string label;
    std::uint64_t state = 0;  // the state `config` is
    std::size_t bytes = 0;
  };

  void Push(std::deque<Step>& stack, const BoardConfig& config, std::string label,
            std::uint64_t state);
  void Trim();
  static BoardConfig Restored(const BoardConfig& snapshot, const BoardConfig& current);

  std::deque<Step> undo_;  // oldest first
  std::deque<Step> redo_;  // next to redo last
  std::size_t bytes_ = 0;
  std::uint64_t current_ = 0;  // the state shown now
  std::uint64_t clean_ = 0;
  std::uint64_t next_state_ = 1;
};

}  // namespace vela
