// The pin configuration tab set SSTabPCFG: one page per kind of pin ("Clear", "Servo", "PWM",
// "Input") showing the current pin's PinConfig bytes and CurrentValue, the buttons that fetch
// and send them, and the live servo and PWM test controls.
#pragma once

#include <QTabWidget>
#include <array>
#include <map>
#include <optional>

#include "model/pin_config_rules.h"
#include "operations/output_commands.h"
#include "ui/window_context.h"

class QButtonGroup;
class QCheckBox;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QVBoxLayout;

namespace vela::ui {

class CommitLineEdit;
class UpDown;

class PinConfigEditor : public QTabWidget {
  Q_OBJECT

 public:
  PinConfigEditor(WindowContext& context, QWidget* parent = nullptr);

  // ShowPinConfig: the page of the current pin's kind, filled from its record.
  void Refresh();
  // The store rules of the open page's boxes, before the pin changes or is sent.
  void CommitPendingEdits();
  // "Get Pin Config" / "Set Pin Config" follow "Show Details"; the flash-store buttons also
  // need expert mode.
  void SetButtonsVisible(bool details, bool expert);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildClearPage();
  QWidget* BuildServoPage();
  QWidget* BuildServoFields(QWidget* page);
  QVBoxLayout* BuildServoFlags(QWidget* page);
  QHBoxLayout* BuildServoTest(QWidget* page);
  QWidget* BuildPwmPage();
  QGridLayout* BuildPwmFields(QWidget* page);
  QVBoxLayout* BuildPwmModes(QWidget* page);
  QHBoxLayout* BuildPwmTest(QWidget* page);
  QWidget* BuildInputPage();
  QWidget* BuildButtons();
  void PlaceButtons();
  // A labelled number box with its spin control, placed in a grid row.
  CommitLineEdit* AddField(QGridLayout* grid, int row, int column, PinConfigBox box,
                           const QString& label_name, const QString& box_name,
                           const QString& spin_name, bool spin_stores = true);
  QPushButton* MakeButton(const QString& name, const QString& caption, QWidget* parent);

  PinRecord& Pin();
  void ShowServoPage();
  void ShowPwmPage();
  void ShowInputPage();
  void OnPagePicked(int page);
  void CommitField(PinConfigBox box);
  void StoreServoFlags();
  void StorePwmModes();

  void OnServoLevelButton();
  void OnServoSlider(int position);
  void OnPwmLevelButton();
  void OnPwmSlider(int level);

  WindowContext& context_;
  TestPanelState test_state_;
  bool showing_ = false;
  // The unknown kind last reported, so that redisplays of the same pin do not repeat it.
  std::optional<std::pair<int, int>> unknown_reported_;

  std::map<PinConfigBox, CommitLineEdit*> boxes_;

  QButtonGroup* servo_range_ = nullptr;
  QCheckBox* servo_suspended_ = nullptr;
  QCheckBox* servo_auto_suspend_ = nullptr;
  QCheckBox* servo_initialised_ = nullptr;
  QLabel* servo_warning_ = nullptr;
  QLineEdit* servo_position_ = nullptr;
  QSlider* servo_slider_ = nullptr;
  QCheckBox* servo_dynamic_ = nullptr;
  bool servo_slider_focused_ = false;

  QCheckBox* pwm_inverted_ = nullptr;
  QButtonGroup* pwm_drive_ = nullptr;
  QButtonGroup* pwm_accel_ = nullptr;
  QLineEdit* pwm_level_ = nullptr;
  QSlider* pwm_slider_ = nullptr;
  QCheckBox* pwm_slow_ = nullptr;
  bool pwm_slider_focused_ = false;

  QCheckBox* input_invert_ = nullptr;
  QLabel* input_warning_ = nullptr;

  QWidget* buttons_ = nullptr;
  std::array<QPushButton*, 2> get_{};
  std::array<QPushButton*, 2> set_{};
};

}  // namespace vela::ui
