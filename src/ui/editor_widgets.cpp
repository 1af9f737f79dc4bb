#include "ui/editor_widgets.h"

#include <QMouseEvent>

namespace vela::ui {

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

}  // namespace vela::ui
