// The "Vela Device Configuration" tab: the pin area with its pin and aspect selectors, the
// device fields and library buttons, the address counts and addresses of the current pin, the
// nine step rows of the current aspect, and the pin configuration editor shown with "Show
// Details". Every edit goes into the PinTable at once; what the tab shows comes from it.
#pragma once

#include <QWidget>
#include <array>
#include <utility>

#include "ui/window_context.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vela {
class DeviceLibrary;
}

namespace vela::ui {

class ClickLabel;
class CommitLineEdit;
class EditAspectDialog;
class EditPinDialog;
class EditStepDialog;
class EventMapToolDialog;
class LevelToolDialog;
class PatternToolDialog;
class PinConfigEditor;
class PressButton;
class TimeToolDialog;
class UpDown;

class DeviceConfigTab : public QWidget {
  Q_OBJECT

 public:
  DeviceConfigTab(WindowContext& context, DeviceLibrary& library, QWidget* parent = nullptr);

  // ShowPin: the current pin and aspect in full (and its step rows through the aspect mode).
  void ShowPin();
  // ShowAddressCounts with the state of "Show Details".
  void ShowAddressCounts();
  // ShowPinConfig of the pin configuration editor.
  void ShowPinConfig();
  // lblDCCAddress, lblXDCCAddress, lblSerialAddress and lblPinAddress of the current pin.
  void ShowPinAddresses();
  // The device list and "Definitions Loaded:" from the library.
  void ShowDeviceLibrary();
  // After a change of NumberBase: the pin selector's range and text.
  void ApplyNumbering();
  // After a change of expert mode: the "Show Details" handler runs again.
  void ApplyExpertMode();
  // The commit routines of the open configuration page, the visible step rows and the
  // aspect box, as before a pin change.
  void CommitPendingEdits();
  // Shows pin 0..31 and, when the pin has it, aspect 0..11 (-1 keeps the aspect), after the
  // edits of the pin being left are committed.
  void SelectPinAndAspect(int pin, int aspect);

  bool DetailsShown() const;

  // The help tools, created on first use (exposed so tests can drive them).
  TimeToolDialog& TimeTool();
  PatternToolDialog& PatternTool();
  EventMapToolDialog& EventMapTool();
  LevelToolDialog& LevelTool();

 private:
  // The controls of one step row.
  struct StepRow {
    ClickLabel* number = nullptr;
    QComboBox* instruction = nullptr;
    QCheckBox* fade = nullptr;
    CommitLineEdit* par0 = nullptr;
    CommitLineEdit* par1 = nullptr;
    CommitLineEdit* par2 = nullptr;
    CommitLineEdit* par3 = nullptr;
    ClickLabel* time = nullptr;
  };

  QWidget* BuildPinArea();
  void BuildPinRow(QGridLayout* grid, QWidget* area);
  void BuildDeviceRows(QGridLayout* grid, QWidget* area);
  void BuildAspectRow(QGridLayout* grid, QWidget* area);
  QWidget* BuildAddressArea();
  QWidget* BuildStepTable();
  QWidget* BuildButtons();
  QWidget* BuildPinOperations();
  QPushButton* MakeButton(const QString& name, const QString& caption, QWidget* parent);
  void QueueOn(QPushButton* button, const char* operation);

  BoardConfig& Config() { return context_.Config(); }
  StepRecord& StepAt(int row);

  void ShowStepRow(int row);
  void ShowDeviceFields();
  void SwitchAspectMode(int option);
  void ApplyDetails();
  void ShowParameterTexts(int row);
  void SetParameterBox(CommitLineEdit* box, bool used);

  // Commit routines of the boxes.
  void CommitPin();
  void CommitAspect();
  void CommitInit();
  void CommitDccCount();
  void CommitXDccCount();
  void CommitKoraCount();
  void CommitPar0(int row);
  void CommitPar1(int row);
  void CommitPar2(int row);
  void CommitPar3(int row);

  // Spinner changes.
  void OnPinSpin();
  void OnAspectSpin(int value);
  void StoreDccCount(int value);
  void StoreXDccCount(int value);
  void StoreKoraCount(int value);

  void OnInstructionChosen(int row, int index);
  void OnParameterDoubleClicked(int row, int box);
  void OpenTimeTool(int row);
  void OpenPatternTool(int row, int bits);
  void OpenEventMapTool(int row);
  void OpenLevelTool(int row);

  void OpenPinDialog();
  void OpenAspectDialog();
  void OpenStepDialog(int row);

  void OnLoadDevice();
  void OnReloadDevices(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
  void OnSaveDevice();
  void OnTest(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
  // A control's signal to a handler that runs only while no board job owns the model.
  template <typename Sender, typename Signal, typename Handler>
  void OnInput(Sender* sender, Signal signal, Handler handler) {
    ConnectInput(context_, sender, signal, this, std::move(handler));
  }

  WindowContext& context_;
  DeviceLibrary& library_;

  ClickLabel* pin_label_ = nullptr;
  CommitLineEdit* pin_box_ = nullptr;
  UpDown* pin_spin_ = nullptr;
  QLineEdit* pin_description_ = nullptr;
  CommitLineEdit* device_pin_ = nullptr;
  QLineEdit* device_name_ = nullptr;
  QComboBox* device_list_ = nullptr;
  QLabel* device_version_ = nullptr;

  QButtonGroup* mode_options_ = nullptr;
  std::array<QRadioButton*, 3> mode_option_{};
  ClickLabel* aspect_label_ = nullptr;
  CommitLineEdit* aspect_box_ = nullptr;
  UpDown* aspect_spin_ = nullptr;
  QLineEdit* aspect_description_ = nullptr;
  QLabel* init_label_ = nullptr;
  CommitLineEdit* init_box_ = nullptr;
  UpDown* init_spin_ = nullptr;

  QLabel* count_label_ = nullptr;
  CommitLineEdit* dcc_count_ = nullptr;
  UpDown* dcc_count_spin_ = nullptr;
  CommitLineEdit* xdcc_count_ = nullptr;
  UpDown* xdcc_count_spin_ = nullptr;
  CommitLineEdit* kora_count_ = nullptr;
  UpDown* kora_count_spin_ = nullptr;
  QLabel* serial_address_ = nullptr;
  QLabel* dcc_address_ = nullptr;
  QLabel* xdcc_address_ = nullptr;
  QLabel* pin_address_ = nullptr;

  QLabel* head_step_ = nullptr;
  QLabel* head_instruction_ = nullptr;
  QLabel* head_fade_ = nullptr;
  std::array<QLabel*, 4> head_par_{};
  std::array<StepRow, 9> rows_{};

  QCheckBox* show_details_ = nullptr;
  QPushButton* write_single_ = nullptr;
  QPushButton* read_aspects_ = nullptr;
  QPushButton* write_aspects_ = nullptr;
  PressButton* test_ = nullptr;
  QPushButton* read_pin_ = nullptr;
  QPushButton* write_pin_ = nullptr;
  QPushButton* verify_all_pins_ = nullptr;

  QGroupBox* details_frame_ = nullptr;
  QWidget* pin_config_ = nullptr;
  PinConfigEditor* pin_config_editor_ = nullptr;

  TimeToolDialog* time_tool_ = nullptr;
  PatternToolDialog* pattern_tool_ = nullptr;
  EventMapToolDialog* event_map_tool_ = nullptr;
  LevelToolDialog* level_tool_ = nullptr;
  EditPinDialog* pin_dialog_ = nullptr;
  EditAspectDialog* aspect_dialog_ = nullptr;
  EditStepDialog* step_dialog_ = nullptr;
};

}  // namespace vela::ui
