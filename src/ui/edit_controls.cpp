#include "ui/edit_controls.h"

#include <QHBoxLayout>

#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "model/number_text.h"

namespace vela::ui {

CommitLineEdit::CommitLineEdit(QWidget* parent) : QLineEdit(parent) {}

void CommitLineEdit::mouseReleaseEvent(QMouseEvent* event) {
  QLineEdit::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton) emit committed();
}

void CommitLineEdit::mouseDoubleClickEvent(QMouseEvent* event) {
  QLineEdit::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton) emit doubleClicked();
}

void CommitLineEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // Another window coming to the front (a message box, the log window) is not the user
  // leaving the box.
  if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason) {
    emit committed();
  }
}

void CommitLineEdit::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
    QContextMenuEvent menu(QContextMenuEvent::Keyboard, cursorRect().center(),
                           mapToGlobal(cursorRect().center()));
    contextMenuEvent(&menu);
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) emit committed();
}

void CommitLineEdit::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = createStandardContextMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  if (!actions().isEmpty()) {
    menu->addSeparator();
    menu->addActions(actions());
  }
  menu->popup(event->globalPos());
  event->accept();
}

namespace {

QToolButton* MakeArrow(Qt::ArrowType arrow, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setArrowType(arrow);
  button->setAutoRepeat(true);
  // The buddy keeps the focus, as the arrows of a spin box leave it.
  button->setFocusPolicy(Qt::NoFocus);
  button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
  button->setMinimumHeight(8);
  button->setMaximumHeight(13);
  return button;
}

}  // namespace

UpDown::UpDown(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  up_ = MakeArrow(Qt::UpArrow, this);
  down_ = MakeArrow(Qt::DownArrow, this);
  up_->setObjectName("up");
  down_->setObjectName("down");
  layout->addWidget(up_);
  layout->addWidget(down_);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  connect(up_, &QToolButton::clicked, this, [this] { StepBy(1); });
  connect(down_, &QToolButton::clicked, this, [this] { StepBy(-1); });
}

void UpDown::setRange(int minimum, int maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
}

void UpDown::StepBy(int delta) {
  emit stepped(delta);
  if (buddy_ == nullptr) return;
  int value = RoundHalfEven(NumericValue(buddy_->text().toStdString()));
  value = std::clamp(value, minimum_, maximum_);
  int next = std::clamp(value + delta, minimum_, maximum_);
  if (next == value && buddy_->text() == QString::number(value)) return;
  buddy_->setText(QString::number(next));
  emit valueChanged(next);
}

LedCheckBox::LedCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {
  setTristate(true);
}

void LedCheckBox::nextCheckState() {
  setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

QWidget* BoxWithSpin(QLineEdit* box, UpDown* spin, QWidget* parent) {
  auto* pair = new QWidget(parent);
  auto* layout = new QHBoxLayout(pair);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(1);
  box->setParent(pair);
  spin->setParent(pair);
  layout->addWidget(box);
  layout->addWidget(spin);
  layout->addStretch();
  return pair;
}

CommitLineEdit* MakeBox(const QString& name, const QString& text, QWidget* parent,
                        int width_chars) {
  auto* box = new CommitLineEdit(parent);
  box->setObjectName(name);
  box->setText(text);
  QFontMetrics metrics(box->font());
  box->setMinimumWidth(metrics.horizontalAdvance(QString(width_chars, QChar('0'))) + 12);
  box->setMaximumWidth(metrics.horizontalAdvance(QString(width_chars + 3, QChar('0'))) + 12);
  return box;
}

void LabelFor(QLabel* label, QWidget* control) {
  label->setBuddy(control);
  control->setAccessibleName(label->text().trimmed());
}

UpDown* MakeUpDown(const QString& name, QLineEdit* buddy, int minimum, int maximum,
                   QWidget* parent) {
  auto* spin = new UpDown(parent);
  spin->setObjectName(name);
  spin->setRange(minimum, maximum);
  spin->setBuddy(buddy);
  return spin;
}

}  // namespace vela::ui
