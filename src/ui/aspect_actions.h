// The button row under the step table: "Show Details", "Write Single", "Read Asp's",
// "Write Asp's" and "Test" (the current aspect on the board). What shows follows the aspect
// mode of the current pin, "Show Details" and expert mode.
#pragma once

#include <QWidget>

#include "ui/window_context.h"

class QCheckBox;
class QPushButton;

namespace vela::ui {

class PressButton;

class AspectActions : public QWidget {
  Q_OBJECT

 public:
  AspectActions(WindowContext& context, QWidget* parent = nullptr);

 private:
  void ShowButtons();
  void OnTest(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

  WindowContext& context_;
  QCheckBox* show_details_ = nullptr;
  QPushButton* write_single_ = nullptr;
  QPushButton* read_aspects_ = nullptr;
  QPushButton* write_aspects_ = nullptr;
  PressButton* test_ = nullptr;
};

}  // namespace vela::ui
