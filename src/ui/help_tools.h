// The four parameter help tools: small modal dialogs that build a step parameter from check
// boxes, options and a slider. Each is opened with the texts of the step row's boxes, keeps
// what it was opened with, and on "Cancel" puts that back before it hides, so the editor can
// always copy the dialog's result back into the row.
#pragma once

#include <QDialog>
#include <array>

#include "model/help_tool_rules.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

namespace vela::ui {

class CommitLineEdit;
class UpDown;

// dlgCT, "VelaConfig CalcTime": a time value 0..63 and a base 0..3 (value x 8^base ticks).
class TimeToolDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TimeToolDialog(QWidget* parent = nullptr);

  // Shows the dialog modally for a row whose Par 3 box holds base_text and Par 2 time_value.
  // Returns true for OK; after Cancel the dialog holds what it was opened with.
  bool Open(const QString& base_text, int time_value);
  QString BaseText() const;
  int TimeValue() const;

  void reject() override;

 private:
  void CommitBase();
  void ShowTimes();
  int Base() const;

  CommitLineEdit* base_ = nullptr;
  UpDown* base_spin_ = nullptr;
  QSlider* slider_ = nullptr;
  QLabel* time_value_ = nullptr;
  QLabel* max_time_value_ = nullptr;
  QString opened_base_;
  int opened_time_ = 0;
};

// dlgVelaCalcPattern, "KoraConfig Calculate Pattern": the outputs of a multibit instruction
// and the two dark-phase flags.
class PatternToolDialog : public QDialog {
  Q_OBJECT

 public:
  explicit PatternToolDialog(QWidget* parent = nullptr);

  // Opens for a Par 1 text and an instruction with `bits` outputs (its HelpTool, 2..7).
  bool Open(const QString& par1_text, int bits);
  QString ParameterText() const;

  void reject() override;

 private:
  void ShowResult();

  std::array<QCheckBox*, 7> outputs_{};
  QCheckBox* all_dark_ = nullptr;
  QCheckBox* no_dark_ = nullptr;
  QLineEdit* parameter_ = nullptr;
  QLineEdit* original_ = nullptr;
};

// dlgVelaCalcEventPattern, "VelaConfig CalcETImap": event inputs 0..3 and what the on- or
// off-event does with them.
class EventMapToolDialog : public QDialog {
  Q_OBJECT

 public:
  explicit EventMapToolDialog(QWidget* parent = nullptr);

  bool Open(const QString& par1_text);
  QString ParameterText() const;

  void reject() override;

 private:
  void ShowResult();

  std::array<QCheckBox*, 4> inputs_{};
  QButtonGroup* options_ = nullptr;  // ids 1, 2, 3, 5, 6, 7
  QLineEdit* parameter_ = nullptr;
  QLineEdit* original_ = nullptr;
};

// dlgVelaCalcLevel, "KoraConfig Calculate Level": a level 0..15 and a time index 0..7.
class LevelToolDialog : public QDialog {
  Q_OBJECT

 public:
  explicit LevelToolDialog(QWidget* parent = nullptr);

  bool Open(const QString& par1_text);
  QString ParameterText() const;

  void reject() override;

 private:
  // The level or time index box committed: clamped when `clamp`, else taken only in range.
  void CommitLevel(bool clamp);
  void CommitTimeIndex(bool clamp);
  void ShowResult();

  CommitLineEdit* level_ = nullptr;
  UpDown* level_spin_ = nullptr;
  CommitLineEdit* time_index_ = nullptr;
  UpDown* time_index_spin_ = nullptr;
  QLineEdit* delay_ = nullptr;
  QLineEdit* parameter_ = nullptr;
  int opened_value_ = 0;
  int level_value_ = 0;
  int time_index_value_ = 0;
};

}  // namespace vela::ui
