// The device rows of the device tab: "Device Pin" and "Device Name" of the current pin, the
// device list of the library with "Load Device", "Reload DD" and "Save Device", and the
// version of the definitions loaded.
#pragma once

#include <QObject>

#include "ui/window_context.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;

namespace vela {
class DeviceLibrary;
}

namespace vela::ui {

class CommitLineEdit;

class DevicePanel : public QObject {
  Q_OBJECT

 public:
  // Places its controls in rows `row` to `row` + 2 of `grid`.
  DevicePanel(WindowContext& context, DeviceLibrary& library, QGridLayout* grid, int row,
              QWidget* area);

 private:
  BoardConfig& Config() { return context_.Config(); }

  void ShowPin();
  void ShowDeviceFields();
  void ShowDeviceLibrary();
  void OnLoadDevice();
  void OnReloadDevices(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
  void OnSaveDevice();

  WindowContext& context_;
  DeviceLibrary& library_;
  CommitLineEdit* device_pin_ = nullptr;
  QLineEdit* device_name_ = nullptr;
  QComboBox* device_list_ = nullptr;
  QLabel* device_version_ = nullptr;
};

}  // namespace vela::ui
