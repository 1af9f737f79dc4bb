// The pin row of the device tab: the "Pin" label (the pin clipboard dialog), the pin number
// box with its spinner, and the pin's description. Choosing a pin commits what is still being
// edited for the pin being left, then announces the new pin.
#pragma once

#include <QObject>

#include "ui/window_context.h"

class QGridLayout;
class QLineEdit;

namespace vela::ui {

class ClickLabel;
class CommitLineEdit;
class EditPinDialog;
class UpDown;

class PinSelector : public QObject {
  Q_OBJECT

 public:
  // Places its controls in row `row` of `grid` (columns 0 to 6, shared with the device and
  // aspect rows so the columns line up).
  PinSelector(WindowContext& context, QGridLayout* grid, int row, QWidget* area);

 private:
  BoardConfig& Config() { return context_.Config(); }

  void ShowPin();
  void ShowPinNumber();
  void ApplyNumbering();
  void CommitPin();
  void OnPinSpin();
  void OpenPinDialog();

  WindowContext& context_;
  QWidget* area_ = nullptr;
  ClickLabel* label_ = nullptr;
  CommitLineEdit* box_ = nullptr;
  UpDown* spin_ = nullptr;
  QLineEdit* description_ = nullptr;
  EditPinDialog* dialog_ = nullptr;
};

}  // namespace vela::ui
