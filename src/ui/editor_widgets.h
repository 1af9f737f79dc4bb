// Controls of the main window beside the shared boxes of edit_controls.h: labels that react
// to clicks, and a button that acts on the mouse press itself, with the keys held then.
#pragma once

#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

class QAction;

namespace vela::ui {

// The tooltip of the pin and aspect labels, which open the clipboard dialogs.
inline constexpr const char* kCopyPasteToolTip = "Click for copy/paste tools";

// Adds an entry to a widget's context menu. A label shows only these entries; a text box
// shows them under its own editing entries. A shortcut, if any, works while the widget has
// the focus.
QAction* AddMenuEntry(QWidget* widget, const QString& text, const QKeySequence& shortcut = {});

// A push button with its object name and caption.
QPushButton* MakeButton(const QString& name, const QString& caption, QWidget* parent);
// A row without margins or spacing, for a box and its spin buttons.
QHBoxLayout* TightRow();

// A label that reports clicks, double-clicks and presses of any mouse button.
class ClickLabel : public QLabel {
  Q_OBJECT

 public:
  ClickLabel(const QString& name, const QString& caption, QWidget* parent = nullptr);

 signals:
  void clicked();
  void doubleClicked();
  void pressed(Qt::MouseButton button);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// A button that acts when the mouse button goes down, so the handler sees the keys held
// ("Save File" with Shift, "Reload DD" with Shift, "Test" with Shift/Control/Alt). Space,
// Return and Enter act as the press, with the keys held with them.
class PressButton : public QPushButton {
  Q_OBJECT

 public:
  PressButton(const QString& name, const QString& caption, QWidget* parent = nullptr);

 signals:
  void pressedWith(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace vela::ui
