// The aspect row of the device tab: the aspect mode options ("Aspects"), the "Aspect" label
// (the aspect clipboard dialog), the aspect box with its spinner and description, and the
// initial aspect. The mode is stored in the current pin and announced; the step table and the
// aspect buttons follow it.
#pragma once

#include <QObject>
#include <array>

#include "ui/window_context.h"

class QButtonGroup;
class QGridLayout;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace vela::ui {

class ClickLabel;
class CommitLineEdit;
class EditAspectDialog;
class UpDown;

class AspectPanel : public QObject {
  Q_OBJECT

 public:
  // Places its controls in row `row` of `grid`.
  AspectPanel(WindowContext& context, QGridLayout* grid, int row, QWidget* area);

  // The commit rule of the aspect box, when it is shown (before the pin changes).
  void CommitPendingEdits();

 signals:
  // The aspect spinner is about to change the current aspect: what is typed for the aspect
  // being left must be stored first.
  void aspectLeaving();

 private:
  BoardConfig& Config() { return context_.Config(); }

  void ShowPin();
  void ShowAspectNumber(bool aspect_taken);
  // The controls of `option` (0 none, 1 four aspects, 2 twelve aspects), and the mode stored.
  void ShowAspectMode(int option);
  void OnModeClicked(int option);
  void CommitAspect();
  void CommitInit();
  void OnAspectSpin(int value);
  void OpenAspectDialog();

  WindowContext& context_;
  QWidget* area_ = nullptr;
  QButtonGroup* mode_options_ = nullptr;
  std::array<QRadioButton*, 3> mode_option_{};
  ClickLabel* aspect_label_ = nullptr;
  CommitLineEdit* aspect_box_ = nullptr;
  UpDown* aspect_spin_ = nullptr;
  QLineEdit* aspect_description_ = nullptr;
  QLabel* init_label_ = nullptr;
  CommitLineEdit* init_box_ = nullptr;
  UpDown* init_spin_ = nullptr;
  EditAspectDialog* dialog_ = nullptr;
};

}  // namespace vela::ui
