#include "ui/help_tools.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>

#include "model/number_text.h"
#include "ui/edit_controls.h"

namespace vela::ui {
namespace {

int NumberIn(const QString& text) {
  return RoundHalfEven(NumericValue(text.toStdString()));
}

QLabel* MakeLabel(const QString& name, const QString& caption, QWidget* parent) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(name);
  return label;
}

QLineEdit* MakeReadOnlyBox(const QString& name, QWidget* parent) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(name);
  box->setReadOnly(true);
  box->setMaximumWidth(box->fontMetrics().horizontalAdvance("000000") + 16);
  return box;
}

// OK and Cancel at the bottom right, as every tool has them.
QHBoxLayout* MakeButtons(QDialog* dialog) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  auto* ok = new QPushButton("OK", dialog);
  ok->setObjectName("OKButton");
  ok->setDefault(true);
  auto* cancel = new QPushButton("Cancel", dialog);
  cancel->setObjectName("CancelButton");
  row->addWidget(ok);
  row->addWidget(cancel);
  QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  return row;
}

void Prepare(QDialog* dialog, const QString& name, const QString& caption) {
  dialog->setObjectName(name);
  dialog->setWindowTitle(caption);
  dialog->setModal(true);
}

}  // namespace

// ---- time tool ----

TimeToolDialog::TimeToolDialog(QWidget* parent) : QDialog(parent) {
  Prepare(this, "dlgCT", "VelaConfig CalcTime");
  auto* grid = new QGridLayout;
  QLabel* base_label = MakeLabel("LabelCTBase", "Base", this);
  grid->addWidget(base_label, 0, 0);
  base_ = MakeBox("TextCTBase", "0", this, 2);
  base_label->setBuddy(base_);
  base_spin_ = MakeUpDown("UpDownCTBase", base_, 0, kTimeBaseMax, this);
  auto* base_row = new QHBoxLayout;
  base_row->setSpacing(0);
  base_row->addWidget(base_);
  base_row->addWidget(base_spin_);
  base_row->addStretch();
  grid->addLayout(base_row, 0, 1);
  slider_ = new QSlider(Qt::Horizontal, this);
  slider_->setObjectName("SliderCTTime");
  slider_->setAccessibleName("Time");
  slider_->setToolTip("Move slider for the time");
  slider_->setRange(0, kTimeSliderMax);
  slider_->setTickPosition(QSlider::TicksBelow);
  slider_->setTickInterval(8);
  slider_->setMinimumWidth(slider_->fontMetrics().horizontalAdvance('0') * 36);
  grid->addWidget(slider_, 1, 0, 1, 2);
  grid->addWidget(MakeLabel("LabelCTTime", "Time =", this), 2, 0);
  time_value_ = MakeLabel("LabelCTTimeValue", "00:00.00", this);
  grid->addWidget(time_value_, 2, 1);
  grid->addWidget(MakeLabel("LabelCTMaxTime", "Max Time =", this), 3, 0);
  max_time_value_ = MakeLabel("LabelCTMaxTimeValue", "00:00.00", this);
  grid->addWidget(max_time_value_, 3, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(MakeButtons(this));

  connect(slider_, &QSlider::valueChanged, this, [this] { ShowTimes(); });
  connect(base_, &CommitLineEdit::committed, this, &TimeToolDialog::CommitBase);
  connect(base_spin_, &UpDown::valueChanged, this, [this] { ShowTimes(); });
}

bool TimeToolDialog::Open(const QString& base_text, int time_value) {
  base_->setText(base_text);
  slider_->setValue(time_value);
  opened_base_ = base_->text();
  opened_time_ = slider_->value();
  ShowTimes();
  return exec() == QDialog::Accepted;
}

int TimeToolDialog::Base() const {
  return std::clamp(NumberIn(base_->text()), 0, kTimeBaseMax);
}

QString TimeToolDialog::BaseText() const {
  return base_->text();
}
int TimeToolDialog::TimeValue() const {
  return slider_->value();
}

void TimeToolDialog::CommitBase() {
  BoxEntry entry = CommitBox(base_->text().toStdString(), 0, kTimeBaseMax);
  if (entry.clamped) base_->setText(QString::fromStdString(entry.text));
  ShowTimes();
}

void TimeToolDialog::ShowTimes() {
  max_time_value_->setText(QString::fromStdString(HelpMaxTimeText(Base())));
  time_value_->setText(QString::fromStdString(HelpTimeText(slider_->value(), Base())));
}

void TimeToolDialog::reject() {
  base_->setText(opened_base_);
  slider_->setValue(opened_time_);
  QDialog::reject();
}

// ---- pattern tool ----

PatternToolDialog::PatternToolDialog(QWidget* parent) : QDialog(parent) {
  Prepare(this, "dlgVelaCalcPattern", "KoraConfig Calculate Pattern");
  auto* grid = new QGridLayout;
  for (int i = 0; i < 7; ++i) {
    outputs_[i] = new QCheckBox(QString("Output +%1").arg(i), this);
    outputs_[i]->setObjectName(QString("chkUitgang_%1").arg(i));
    grid->addWidget(outputs_[i], i, 0);
    connect(outputs_[i], &QCheckBox::clicked, this, &PatternToolDialog::ShowResult);
  }
  all_dark_ = new QCheckBox("All Dark", this);
  all_dark_->setObjectName("chkAllDark");
  no_dark_ = new QCheckBox("No Dark-phase", this);
  no_dark_->setObjectName("chkNoDark");
  grid->addWidget(all_dark_, 0, 1);
  grid->addWidget(no_dark_, 1, 1);
  connect(all_dark_, &QCheckBox::clicked, this, [this](bool checked) {
    if (checked) no_dark_->setChecked(false);
    ShowResult();
  });
  connect(no_dark_, &QCheckBox::clicked, this, [this](bool checked) {
    if (checked) all_dark_->setChecked(false);
    ShowResult();
  });
  QLabel* parameter_label = MakeLabel("lblParam", "Parameter", this);
  grid->addWidget(parameter_label, 3, 1);
  parameter_ = new QLineEdit(this);
  parameter_->setObjectName("txtParameter");
  parameter_->setMaximumWidth(parameter_->fontMetrics().horizontalAdvance("000000") + 16);
  parameter_label->setBuddy(parameter_);
  grid->addWidget(parameter_, 4, 1);
  original_ = MakeReadOnlyBox("txtOriginal", this);
  original_->setToolTip("Value when the tool was opened");
  QLabel* original_label = MakeLabel("lblOriginal", "Opened with", this);
  original_label->setBuddy(original_);
  grid->addWidget(original_label, 5, 1);
  grid->addWidget(original_, 6, 1);
  grid->setColumnMinimumWidth(1, all_dark_->sizeHint().width());
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(MakeButtons(this));
}

bool PatternToolDialog::Open(const QString& par1_text, int bits) {
  original_->setText(par1_text);
  PatternState state = PatternFromValue(NumberIn(par1_text), bits);
  for (int i = 0; i < 7; ++i) {
    outputs_[i]->setChecked(state.outputs[i]);
    outputs_[i]->setEnabled(state.output_enabled[i]);
  }
  all_dark_->setChecked(state.all_dark);
  no_dark_->setChecked(state.no_dark);
  all_dark_->setEnabled(state.dark_enabled);
  no_dark_->setEnabled(state.dark_enabled);
  ShowResult();
  return exec() == QDialog::Accepted;
}

void PatternToolDialog::ShowResult() {
  PatternState state;
  for (int i = 0; i < 7; ++i) state.outputs[i] = outputs_[i]->isChecked();
  state.all_dark = all_dark_->isChecked();
  state.no_dark = no_dark_->isChecked();
  parameter_->setText(QString::number(PatternValue(state)));
}

QString PatternToolDialog::ParameterText() const {
  return parameter_->text();
}

void PatternToolDialog::reject() {
  parameter_->setText(original_->text());
  QDialog::reject();
}

// ---- event-map tool ----

EventMapToolDialog::EventMapToolDialog(QWidget* parent) : QDialog(parent) {
  Prepare(this, "dlgVelaCalcEventPattern", "VelaConfig CalcETImap");
  auto* inputs = new QGroupBox("Inputs", this);
  auto* inputs_layout = new QVBoxLayout(inputs);
  for (int i = 0; i < 4; ++i) {
    inputs_[i] = new QCheckBox(QString("Event Input %1").arg(i), inputs);
    inputs_[i]->setObjectName(QString("chkEvent_%1").arg(i));
    inputs_layout->addWidget(inputs_[i]);
    connect(inputs_[i], &QCheckBox::clicked, this, &EventMapToolDialog::ShowResult);
  }
  options_ = new QButtonGroup(this);
  auto* actions = new QGroupBox("Action", this);
  auto* actions_layout = new QGridLayout(actions);
  const char* const kCaptions[] = {"Execute On-Event",  "Disable On-Event",  "Enable On-Event",
                                   "Execute Off-Event", "Disable Off-Event", "Enable Off-Event"};
  const int kIds[] = {1, 2, 3, 5, 6, 7};
  for (int k = 0; k < 6; ++k) {
    auto* option = new QRadioButton(kCaptions[k], actions);
    option->setObjectName(QString("optEvent_%1").arg(kIds[k]));
    options_->addButton(option, kIds[k]);
    actions_layout->addWidget(option, k % 3, k / 3);
  }
  connect(options_, &QButtonGroup::idClicked, this, &EventMapToolDialog::ShowResult);
  auto* result = new QHBoxLayout;
  QLabel* parameter_label = MakeLabel("lblParameter", "Parameter", this);
  result->addWidget(parameter_label);
  parameter_ = new QLineEdit(this);
  parameter_->setObjectName("txtParameter");
  parameter_label->setBuddy(parameter_);
  parameter_->setMaximumWidth(parameter_->fontMetrics().horizontalAdvance("000000") + 16);
  result->addWidget(parameter_);
  original_ = MakeReadOnlyBox("txtOriginal", this);
  original_->setToolTip("Value when the tool was opened");
  result->addSpacing(12);
  QLabel* original_label = MakeLabel("lblOriginal", "Opened with", this);
  original_label->setBuddy(original_);
  result->addWidget(original_label);
  result->addWidget(original_);
  result->addStretch();
  auto* top = new QHBoxLayout;
  top->addWidget(inputs);
  top->addWidget(actions);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(result);
  layout->addLayout(MakeButtons(this));
}

bool EventMapToolDialog::Open(const QString& par1_text) {
  original_->setText(par1_text);
  EventMapState state = EventMapFromValue(NumberIn(par1_text));
  for (int i = 0; i < 4; ++i) inputs_[i]->setChecked(state.inputs[i]);
  if (QAbstractButton* option = options_->button(state.option)) option->setChecked(true);
  ShowResult();
  return exec() == QDialog::Accepted;
}

void EventMapToolDialog::ShowResult() {
  EventMapState state;
  for (int i = 0; i < 4; ++i) state.inputs[i] = inputs_[i]->isChecked();
  state.option = options_->checkedId();
  parameter_->setText(QString::number(EventMapValue(state)));
}

QString EventMapToolDialog::ParameterText() const {
  return parameter_->text();
}

void EventMapToolDialog::reject() {
  parameter_->setText(original_->text());
  QDialog::reject();
}

// ---- level tool ----

LevelToolDialog::LevelToolDialog(QWidget* parent) : QDialog(parent) {
  Prepare(this, "dlgVelaCalcLevel", "KoraConfig Calculate Level");
  auto* grid = new QGridLayout;
  auto add_spin_row = [&](int row, const char* label_name, const char* caption,
                          CommitLineEdit*& box, const char* box_name, UpDown*& spin,
                          const char* spin_name, int max) {
    QLabel* label = MakeLabel(label_name, caption, this);
    grid->addWidget(label, row, 0);
    box = MakeBox(box_name, "0", this, 3);
    label->setBuddy(box);
    spin = MakeUpDown(spin_name, box, 0, max, this);
    auto* cell = new QHBoxLayout;
    cell->setSpacing(0);
    cell->addWidget(box);
    cell->addWidget(spin);
    cell->addStretch();
    grid->addLayout(cell, row, 1);
  };
  add_spin_row(0, "lblNiveau", "Level", level_, "txtLevel", level_spin_, "UpDown1", kLevelMax);
  add_spin_row(1, "lblIndex", "Time-Index", time_index_, "txtTimeIndex", time_index_spin_,
               "UpDown2", kTimeIndexMax);
  QLabel* delay_label = MakeLabel("lblDelay", "Delay (s)", this);
  grid->addWidget(delay_label, 2, 0);
  delay_ = MakeReadOnlyBox("txtDelay", this);
  delay_label->setBuddy(delay_);
  grid->addWidget(delay_, 2, 1);
  QLabel* parameter_label = MakeLabel("lblParam", "Parameter", this);
  grid->addWidget(parameter_label, 3, 0);
  parameter_ = new QLineEdit(this);
  parameter_->setObjectName("txtParameter");
  parameter_label->setBuddy(parameter_);
  parameter_->setMaximumWidth(parameter_->fontMetrics().horizontalAdvance("000000") + 16);
  grid->addWidget(parameter_, 3, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(MakeButtons(this));

  connect(level_, &CommitLineEdit::committed, this, [this] { CommitLevel(true); });
  connect(level_, &QLineEdit::textEdited, this, [this] { CommitLevel(false); });
  connect(level_spin_, &UpDown::valueChanged, this, [this] { CommitLevel(false); });
  connect(time_index_, &CommitLineEdit::committed, this, [this] { CommitTimeIndex(true); });
  connect(time_index_, &QLineEdit::textEdited, this, [this] { CommitTimeIndex(false); });
  connect(time_index_spin_, &UpDown::valueChanged, this, [this] { CommitTimeIndex(false); });
}

bool LevelToolDialog::Open(const QString& par1_text) {
  LevelState state = LevelFromValue(NumberIn(par1_text));
  if (NumberIn(par1_text) != state.value) {
    parameter_->setText(QString::number(state.value));
  } else {
    parameter_->setText(par1_text);
  }
  opened_value_ = state.value;
  level_value_ = state.level;
  time_index_value_ = state.time_index;
  level_->setText(QString::number(state.level));
  time_index_->setText(QString::number(state.time_index));
  delay_->setText(QString::fromStdString(LevelDelayText(state.time_index)));
  return exec() == QDialog::Accepted;
}

void LevelToolDialog::CommitLevel(bool clamp) {
  BoxEntry entry = CommitBox(level_->text().toStdString(), 0, kLevelMax);
  if (entry.clamped && !clamp) return;
  if (entry.clamped) level_->setText(QString::fromStdString(entry.text));
  level_value_ = entry.value;
  ShowResult();
}

void LevelToolDialog::CommitTimeIndex(bool clamp) {
  BoxEntry entry = CommitBox(time_index_->text().toStdString(), 0, kTimeIndexMax);
  if (entry.clamped && !clamp) return;
  if (entry.clamped) time_index_->setText(QString::fromStdString(entry.text));
  time_index_value_ = entry.value;
  ShowResult();
}

void LevelToolDialog::ShowResult() {
  parameter_->setText(QString::number(LevelValue(level_value_, time_index_value_)));
  delay_->setText(QString::fromStdString(LevelDelayText(time_index_value_)));
}

QString LevelToolDialog::ParameterText() const {
  return parameter_->text();
}

void LevelToolDialog::reject() {
  parameter_->setText(QString::number(opened_value_));
  QDialog::reject();
}

}  // namespace vela::ui
