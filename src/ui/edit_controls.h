// Small controls the editor tabs share: a text box that commits when it is clicked or loses
// the focus, the spin buttons beside such a box, and the LED row check box.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

class QToolButton;

namespace vela::ui {

// A text box whose value is validated and stored when it is clicked and when it loses the
// focus, not on every key. Return commits as well, which is what users expect of a box.
// Entries added to the box (AddMenuEntry) follow the editing entries of its context menu,
// which Shift+F10 opens as the Menu key does.
class CommitLineEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit CommitLineEdit(QWidget* parent = nullptr);

 signals:
  void committed();
  void doubleClicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
};

// Up and down buttons beside a text box. With a buddy, a step reads the buddy's number, moves
// it by one within the spin's own limits (not the box's) and writes it back; without one it
// only reports the step, for boxes whose spinner moves something else.
class UpDown : public QWidget {
  Q_OBJECT

 public:
  explicit UpDown(QWidget* parent = nullptr);

  void setRange(int minimum, int maximum);
  int minimum() const { return minimum_; }
  int maximum() const { return maximum_; }
  void setBuddy(QLineEdit* buddy) { buddy_ = buddy; }
  QLineEdit* buddy() const { return buddy_; }

  // One click on the up (+1) or down (-1) button.
  void StepBy(int delta);

 signals:
  // Buddy mode: the value written into the buddy.
  void valueChanged(int value);
  // Every click, with or without a buddy.
  void stepped(int delta);

 private:
  int minimum_ = 0;
  int maximum_ = 100;
  QLineEdit* buddy_ = nullptr;
  QToolButton* up_ = nullptr;
  QToolButton* down_ = nullptr;
};

// A box of an LED row: the grayed state is set only by the row's rule, so a click goes from
// checked to unchecked and from anything else to checked.
class LedCheckBox : public QCheckBox {
  Q_OBJECT

 public:
  explicit LedCheckBox(const QString& text, QWidget* parent = nullptr);

 protected:
  void nextCheckState() override;
};

// Builds a text box, named, with its initial text.
CommitLineEdit* MakeBox(const QString& name, const QString& text, QWidget* parent,
                        int width_chars = 5);
// A text box with its spin buttons, side by side, left-aligned in the space given.
QWidget* BoxWithSpin(QLineEdit* box, UpDown* spin, QWidget* parent);
// Makes `label`, whose caption stays as it is, the caption of `control` for keyboard and
// screen-reader users. Qt finds a buddy only among the control's siblings, and a control wrapped
// with its spin buttons is not one, so the control is named with the caption as well.
void LabelFor(QLabel* label, QWidget* control);
// Builds spin buttons for a buddy box, named, with their limits.
UpDown* MakeUpDown(const QString& name, QLineEdit* buddy, int minimum, int maximum,
                   QWidget* parent);

}  // namespace vela::ui
