// Undo and redo for the window: every committed change of the configuration, whichever piece
// made it, is recorded from the model's announcements, with a label for the Edit menu.
#pragma once

#include <QObject>
#include <QString>

class QWidget;

#include "model/board_config.h"
#include "model/config_history.h"

namespace vela::ui {

class WindowContext;

class UndoController : public QObject {
  Q_OBJECT

 public:
  explicit UndoController(WindowContext& context, QObject* parent = nullptr);

  // Names the next recorded change ("Load Device Signal 3", "Read All"); without a name, an
  // edit is named after the control that has the focus.
  void NameNextChange(const QString& label) { next_label_ = label; }
  // The configuration as it is now is where history starts (a new window).
  void Reset();

  void Undo();
  void Redo();
  bool CanUndo() const { return history_.CanUndo(); }
  bool CanRedo() const { return history_.CanRedo(); }
  QString UndoText() const { return QString::fromStdString(history_.UndoText()); }
  QString RedoText() const { return QString::fromStdString(history_.RedoText()); }

 signals:
  // Undo or redo became possible or not, or their labels changed.
  void changed();

 private:
  void Commit();
  void Restore(std::optional<BoardConfig> config);
  QString EditLabel() const;

  WindowContext& context_;
  ConfigHistory history_;
  BoardConfig shown_;  // the configuration as last recorded or restored
  QString next_label_;
  bool restoring_ = false;
  // A run of edits in one control (the keys typed into a box) is one step.
  QString run_label_;
  const QWidget* run_control_ = nullptr;
};

}  // namespace vela::ui
