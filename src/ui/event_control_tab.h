// The "Vela Event Control" tab: one pin's event-on and event-off actions of the four event
// inputs, "Copy to All", the initial event enables and the event-control buttons.
#pragma once

#include <QWidget>
#include <array>

#include "ui/window_context.h"

class QCheckBox;
class QGridLayout;
class QGroupBox;
class QPushButton;

namespace vela::ui {

class CommitLineEdit;
class UpDown;

class EventControlTab : public QWidget {
  Q_OBJECT

 public:
  EventControlTab(WindowContext& context, QWidget* parent = nullptr);

  // RefreshEventControl: the selected pin's actions with their colours, and the enables.
  void Refresh();

 private:
  QGroupBox* BuildPinFrame();
  void BuildActionGrid(QGridLayout* grid, QWidget* pin_frame);
  void BuildEnableRows(QGridLayout* grid, QWidget* pin_frame);
  QGroupBox* BuildAllPinsFrame();
  QPushButton* MakeButton(const QString& name, const QString& caption);
  void ConnectBoardButton(QPushButton* button, bool (*routine)(Session&));

  void CommitPin();
  void OnPinSpin();
  void CommitAction(int event, int input);
  void OnActionSpin(int event, int input);
  void ColourActionCell(int event, int input);
  void CopyToAll();

  CommitLineEdit* Action(int event, int input) const { return actions_[event][input]; }

  WindowContext& context_;
  CommitLineEdit* pin_ = nullptr;
  UpDown* pin_spin_ = nullptr;
  std::array<std::array<CommitLineEdit*, 4>, 2> actions_{};  // [event][input]
  std::array<std::array<UpDown*, 4>, 2> action_spins_{};
  std::array<QCheckBox*, 8> init_enable_{};
  QPushButton* verify_ = nullptr;
};

}  // namespace vela::ui
