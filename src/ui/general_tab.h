// The "General" tab: the board-wide settings in six frames, each with its Read and Write
// buttons, plus "Erase Flash" and "Request Version". It shows GeneralSettings and stores every
// edit there at once; the boards commands read and write the same struct.
#pragma once

#include <QWidget>
#include <array>
#include <functional>

#include "ui/window_context.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpacerItem;

namespace vela::ui {

class CommitLineEdit;
class LedCheckBox;
class UpDown;

class GeneralTab : public QWidget {
  Q_OBJECT

 public:
  GeneralTab(WindowContext& context, QWidget* parent = nullptr);

  // Shows the settings of the model; changes nothing in it.
  void Refresh();
  // "Erase Flash": asks twice, then erases the board's configuration memory.
  void EraseFlash();

 private:
  QGroupBox* BuildIdFrame();
  QGroupBox* BuildDccFrame();
  QGroupBox* BuildAddressingFrame();
  QGroupBox* BuildLedFrame();
  QGroupBox* BuildHardwareFrame();
  QGroupBox* BuildSerialFrame();
  QPushButton* MakeButton(const QString& name, const QString& caption);
  // A group button: its routine runs on the worker; the window redisplays afterwards.
  void ConnectBoardButton(QPushButton* button, std::function<bool(Session&)> routine);

  void ShowRangeLabels();
  void ShowAddressingVisibility();
  void ShowLedRows();
  void AlignHardwareRows();

  void CommitDccAddress();
  void CommitXDccAddress();
  void OnAllowAddress0Clicked(bool checked);
  void CommitGenXAddress();
  void OnGenXAddressSpin();
  void CommitKoraBase();
  void OnKoraBaseStep(int delta);
  void OnKoraFlexClicked(bool checked);
  void OnNativeClicked(bool checked);
  void OnForceXAClicked(bool checked);
  void OnLedClicked(bool green, int box);
  void OnHardwareClicked();

  WindowContext& context_;

  QLineEdit* id_string_ = nullptr;

  CommitLineEdit* dcc_address_ = nullptr;
  UpDown* dcc_address_spin_ = nullptr;
  CommitLineEdit* xdcc_address_ = nullptr;
  UpDown* xdcc_address_spin_ = nullptr;
  QLabel* dcc_range_ = nullptr;
  QLabel* xdcc_range_ = nullptr;
  std::array<QRadioButton*, 4> retention_{};
  QCheckBox* packet_invert_ = nullptr;
  QCheckBox* allow_address0_ = nullptr;

  QCheckBox* force_xa_ = nullptr;
  QCheckBox* vl_native_ = nullptr;
  QCheckBox* kr_addr_ = nullptr;
  QLabel* xaddress_label_ = nullptr;
  CommitLineEdit* gen_xaddress_ = nullptr;
  UpDown* gen_xaddress_spin_ = nullptr;
  QLabel* group_mask_label_ = nullptr;
  QWidget* group_mask_numbers_ = nullptr;
  std::array<QCheckBox*, 16> group_mask_{};
  QLabel* kora_base_label_ = nullptr;
  CommitLineEdit* kora_base_ = nullptr;
  UpDown* kora_base_spin_ = nullptr;

  std::array<LedCheckBox*, 8> led_green_{};
  std::array<LedCheckBox*, 8> led_orange_{};

  QLabel* hardware_pins_ = nullptr;
  std::array<QCheckBox*, 4> sink_{};
  std::array<QCheckBox*, 4> source_{};
  std::array<std::array<QSpacerItem*, 4>, 2> hardware_gaps_{};

  QCheckBox* serial_enable_ = nullptr;
  QComboBox* baud_ = nullptr;
  QButtonGroup* parity_ = nullptr;
  QButtonGroup* data_bits_ = nullptr;
  QButtonGroup* stop_bits_ = nullptr;

  QLabel* version_ = nullptr;
};

}  // namespace vela::ui
