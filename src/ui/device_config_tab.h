// The "Vela Device Configuration" tab, put together from its pieces: the pin row (PinSelector),
// the device rows (DevicePanel) and the aspect row (AspectPanel) in one grid, the address rows
// (AddressPanel), the step table (StepTable), the button row under it (AspectActions), the
// "Pins and Devices" buttons and the pin configuration editor shown with "Show Details". Each
// piece follows the model through the window's context; the tab only places them and sets the
// order in which pending edits commit.
#pragma once

#include <QWidget>

#include "ui/window_context.h"

class QGroupBox;
class QPushButton;

namespace vela {
class DeviceLibrary;
}

namespace vela::ui {

class AspectPanel;
class PinConfigEditor;
class StepTable;

class DeviceConfigTab : public QWidget {
  Q_OBJECT

 public:
  DeviceConfigTab(WindowContext& context, DeviceLibrary& library, QWidget* parent = nullptr);

  StepTable& Steps() { return *step_table_; }

 private:
  QWidget* BuildPinArea(DeviceLibrary& library);
  QWidget* BuildPinOperations();
  // The commit routines of the open configuration page, the visible step rows and the aspect
  // box, in that order: committing the aspect shows the pin again, which would overwrite the
  // step texts not yet stored.
  void CommitPendingEdits();
  void ShowDetails();

  WindowContext& context_;
  AspectPanel* aspect_panel_ = nullptr;
  StepTable* step_table_ = nullptr;
  QPushButton* read_pin_ = nullptr;
  QPushButton* write_pin_ = nullptr;
  QPushButton* verify_all_pins_ = nullptr;
  QGroupBox* details_frame_ = nullptr;
  PinConfigEditor* pin_config_editor_ = nullptr;
};

}  // namespace vela::ui
