#include "ui/editor_widgets.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

namespace vela::ui {

QAction* AddMenuEntry(QWidget* widget, const QString& text, const QKeySequence& shortcut) {
  auto* action = new QAction(text, widget);
  if (!shortcut.isEmpty()) {
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WidgetShortcut);
  }
  // Text boxes build their menu themselves, with the editing entries first.
  if (qobject_cast<QLabel*>(widget)) widget->setContextMenuPolicy(Qt::ActionsContextMenu);
  widget->addAction(action);
  return action;
}

QPushButton* MakeButton(const QString& name, const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  return button;
}

QHBoxLayout* TightRow() {
  auto* row = new QHBoxLayout;
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  return row;
}

ClickLabel::ClickLabel(const QString& name, const QString& caption, QWidget* parent)
    : QLabel(caption, parent) {
  setObjectName(name);
}

void ClickLabel::mousePressEvent(QMouseEvent* event) {
  QLabel::mousePressEvent(event);
  emit pressed(event->button());
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    emit clicked();
  }
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent* event) {
  QLabel::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton) emit doubleClicked();
}

PressButton::PressButton(const QString& name, const QString& caption, QWidget* parent)
    : QPushButton(caption, parent) {
  setObjectName(name);
}

void PressButton::mousePressEvent(QMouseEvent* event) {
  // The handler may open a modal dialog; a button left "down" behind it would stay so.
  setFocus(Qt::MouseFocusReason);
  emit pressedWith(event->button(), event->modifiers());
  event->accept();
}

void PressButton::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter) {
    QPushButton::keyPressEvent(event);
    return;
  }
  event->accept();
  // Holding the key down is one press, as holding the mouse button is.
  if (event->isAutoRepeat()) return;
  emit pressedWith(Qt::LeftButton, event->modifiers() & ~Qt::KeypadModifier);
}

}  // namespace vela::ui
