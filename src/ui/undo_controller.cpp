#include "ui/undo_controller.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QWidget>

#include "ui/window_context.h"

namespace vela::ui {

UndoController::UndoController(WindowContext& context, QObject* parent)
    : QObject(parent), context_(context), shown_(context.Config()) {
  ModelEvents& events = context.Events();
  connect(&events, &ModelEvents::configEdited, this, &UndoController::Commit);
  connect(&events, &ModelEvents::configReplaced, this, &UndoController::Commit);
}

void UndoController::Reset() {
  history_.Clear();
  shown_ = context_.Config();
  next_label_.clear();
  run_label_.clear();
  emit changed();
}

void UndoController::Commit() {
  if (restoring_) return;
  const bool named = !next_label_.isEmpty();
  const QString label = named ? next_label_ : EditLabel();
  next_label_.clear();
  const BoardConfig& now = context_.Config();
  const QWidget* control = QApplication::focusWidget();
  const bool same_run = !named && label == run_label_ && control == run_control_;
  if (!same_run && history_.Commit(shown_, now, label.toStdString())) {
    run_label_ = named ? QString() : label;
    run_control_ = control;
    emit changed();
  }
  shown_ = now;
}

void UndoController::Undo() {
  if (!context_.Idle()) return;
  // A value still being typed, or a change nobody announced, is a step of its own, taken back
  // first.
  context_.CommitPendingEdits();
  Commit();
  Restore(history_.Undo(context_.Config()));
}

void UndoController::Redo() {
  if (!context_.Idle()) return;
  context_.CommitPendingEdits();
  Commit();
  Restore(history_.Redo(context_.Config()));
}

void UndoController::Restore(std::optional<BoardConfig> config) {
  if (!config) return;
  context_.Config() = std::move(*config);
  shown_ = context_.Config();
  run_label_.clear();
  restoring_ = true;
  context_.ConfigReplaced();
  restoring_ = false;
  emit changed();
}

// Named after the control the change came from, by the name a screen reader gives it: a
// button's own caption ("Copy to All"), or "Edit Description" for a box.
QString UndoController::EditLabel() const {
  QWidget* focus = QApplication::focusWidget();
  QAccessibleInterface* a = focus ? QAccessible::queryAccessibleInterface(focus) : nullptr;
  const QString name = a ? a->text(QAccessible::Name).remove('&').trimmed() : QString();
  if (name.isEmpty()) return "Edit";
  return qobject_cast<QAbstractButton*>(focus) && !qobject_cast<QCheckBox*>(focus) ? name
                                                                                   : "Edit " + name;
}

}  // namespace vela::ui
