#include "ui/pin_config_editor.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <memory>

#include "operations/pin_config_commands.h"
#include "ui/edit_controls.h"
#include "ui/editor_widgets.h"
#include "ui/text_convert.h"

namespace vela::ui {
namespace {

// What a double-click on the initial position or level does, for the keyboard.
constexpr const char* kTakeSliderEntry = "Take Test Slider Position";

const char* const kJumpTip = "Jump to target position immediately, override dynamic parameters";
const char* const kDynamicTip =
    "If checked, use active dynamic parameters, else go directly to position";

QRadioButton* MakeOption(const QString& name, const QString& caption, QButtonGroup* group, int id,
                         QWidget* parent) {
  auto* option = new QRadioButton(caption, parent);
  option->setObjectName(name);
  group->addButton(option, id);
  return option;
}

QCheckBox* MakeCheck(const QString& name, const QString& caption, QWidget* parent) {
  auto* check = new QCheckBox(caption, parent);
  check->setObjectName(name);
  return check;
}

QLabel* MakeWarning(const QString& name, QWidget* parent) {
  auto* label = new QLabel("Warning: Hardware Configuration Mismatch", parent);
  label->setObjectName(name);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, Qt::red);
  label->setPalette(palette);
  label->hide();
  return label;
}

QSlider* MakeSlider(const QString& name, int minimum, int maximum, QWidget* parent) {
  auto* slider = new QSlider(Qt::Horizontal, parent);
  slider->setObjectName(name);
  slider->setRange(minimum, maximum);
  slider->setPageStep(4);
  // One value when the thumb is let go, not one message for every pixel of a drag.
  slider->setTracking(false);
  slider->setFocusPolicy(Qt::StrongFocus);
  slider->setMinimumWidth(160);
  return slider;
}

void SetText(QLineEdit* box, const QString& text) {
  if (box->text() == text) return;
  QSignalBlocker block(box);
  box->setText(text);
}

void SetSlider(QSlider* slider, int value) {
  QSignalBlocker block(slider);
  slider->setValue(value);
}

// Sets a check box or option as filling the page does; true when its state changed, which
// is when its store rule would run.
bool Fill(QAbstractButton* button, bool checked) {
  if (button->isChecked() == checked) return false;
  QSignalBlocker block(button);
  button->setChecked(checked);
  return true;
}

}  // namespace

PinConfigEditor::PinConfigEditor(WindowContext& context, QWidget* parent)
    : QTabWidget(parent), context_(context) {
  setObjectName("SSTabPCFG");
  showing_ = true;
  addTab(BuildClearPage(), kConfigPageTexts[kPageClear]);
  addTab(BuildServoPage(), kConfigPageTexts[kPageServo]);
  addTab(BuildPwmPage(), kConfigPageTexts[kPagePwm]);
  addTab(BuildInputPage(), kConfigPageTexts[kPageInput]);
  buttons_ = BuildButtons();
  PlaceButtons();
  showing_ = false;
  connect(this, &QTabWidget::currentChanged, this, &PinConfigEditor::PlaceButtons);
  ConnectInput(context_, this, &QTabWidget::currentChanged, this, [this](int page) {
    if (showing_) return;
    context_.NameNextChange(kConfigPageTexts[page] + QString(" page"));
    OnPagePicked(page);
  });
  Refresh();
}

QPushButton* PinConfigEditor::MakeButton(const QString& name, const QString& caption,
                                         QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  return button;
}

CommitLineEdit* PinConfigEditor::AddField(QGridLayout* grid, int row, int column, PinConfigBox box,
                                          const QString& label_name, const QString& box_name,
                                          const QString& spin_name, bool spin_stores) {
  QWidget* page = grid->parentWidget();
  const PinConfigField& field = FieldOf(box);
  QLabel* label = nullptr;
  if (!label_name.isEmpty()) {
    label = new QLabel(field.caption, page);
    label->setObjectName(label_name);
    grid->addWidget(label, row, column);
  }
  CommitLineEdit* edit = MakeBox(box_name, "0", page, 4);
  UpDown* spin = MakeUpDown(spin_name, edit, field.spin_min, field.spin_max, page);
  grid->addWidget(BoxWithSpin(edit, spin, page), row, column + 1);
  if (label) LabelFor(label, edit);
  boxes_[box] = edit;
  ConnectInput(context_, edit, &CommitLineEdit::committed, this, [this, box] { CommitField(box); });
  if (spin_stores) {
    ConnectInput(context_, spin, &UpDown::valueChanged, this,
                 [this, box](int value) { StorePinConfigSpin(Pin(), box, value); });
  }
  return edit;
}

QWidget* PinConfigEditor::BuildClearPage() {
  auto* page = new QWidget(this);
  page->setObjectName("PagePCFGClear");
  auto* layout = new QVBoxLayout(page);
  auto* label = new QLabel("Pin is not configured", page);
  label->setObjectName("LabelPCFGClear");
  layout->addWidget(label);
  layout->addStretch();
  return page;
}

QWidget* PinConfigEditor::BuildServoPage() {
  auto* page = new QWidget(this);
  page->setObjectName("PagePCFGServo");
  auto* outer = new QVBoxLayout(page);
  auto* top = new QHBoxLayout;
  top->addWidget(BuildServoFields(page));
  top->addLayout(BuildServoFlags(page));
  top->addStretch();
  outer->addLayout(top);
  servo_warning_ = MakeWarning("LabelSrvHWCWarn", page);
  outer->addWidget(servo_warning_);
  outer->addLayout(BuildServoTest(page));
  outer->addStretch();
  return page;
}

// The ten number boxes of the servo page, in two columns.
QWidget* PinConfigEditor::BuildServoFields(QWidget* page) {
  auto* grid = new QGridLayout;
  auto* fields = new QWidget(page);
  fields->setLayout(grid);
  grid->setContentsMargins(0, 0, 0, 0);
  AddField(grid, 0, 0, PinConfigBox::kSrvMaxSpd, "LabelSrvMaxSpd", "TextSrvMaxSpd",
           "UpDownMaxSpeed");
  AddField(grid, 1, 0, PinConfigBox::kSrvMaxAccel, "LabelSrvMaxAccel", "TextSrvMaxAccel",
           "UpDownMaxAccel");
  AddField(grid, 2, 0, PinConfigBox::kSrvAntiMass, "LabelSrvAntiMass", "TextSrvAntiMass",
           "UpDownAM");
  AddField(grid, 3, 0, PinConfigBox::kSrvFriction, "LabelSrvFriction", "TextSrvFriction",
           "UpDownFriction");
  AddField(grid, 4, 0, PinConfigBox::kMidpoint, "LabelMidpoint", "TextMidpoint", "UpDownMidpoint");
  AddField(grid, 0, 2, PinConfigBox::kBounceDown, "LabelBounceDown", "TextBounceDown", "UpDownBD");
  AddField(grid, 1, 2, PinConfigBox::kBounceDownFactor, "LabelBounceDownFactor",
           "TextBounceDownFactor", "UpDownBDF");
  AddField(grid, 2, 2, PinConfigBox::kBounceUp, "LabelBounceUp", "TextBounceUp", "UpDownBU");
  AddField(grid, 3, 2, PinConfigBox::kBounceUpFactor, "LabelBounceUpFactor", "TextBounceUpFactor",
           "UpDownBUF");
  CommitLineEdit* init_pos = AddField(grid, 4, 2, PinConfigBox::kSrvInitPos, "LabelSrvInitPos",
                                      "TextSrvInitPos", "UpDownIP");
  grid->setColumnMinimumWidth(2, 20);

  connect(init_pos, &QLineEdit::textChanged, this, [this](const QString& text) {
    StoreWhileTyping(Pin(), PinConfigBox::kSrvInitPos, S(text));
  });
  // A double-click takes the test slider's position as the initial position.
  auto take_position = [this, init_pos] {
    const int position = servo_slider_->value();
    SetText(init_pos, QString::number(position));
    StorePinConfigSpin(Pin(), PinConfigBox::kSrvInitPos, position);
  };
  ConnectInput(context_, init_pos, &CommitLineEdit::doubleClicked, this, take_position);
  ConnectInput(context_, AddMenuEntry(init_pos, kTakeSliderEntry), &QAction::triggered, this,
               take_position);
  return fields;
}

// The range options and the three flag boxes beside the fields.
QVBoxLayout* PinConfigEditor::BuildServoFlags(QWidget* page) {
  auto* side = new QVBoxLayout;
  auto* range_frame = new QGroupBox("Range", page);
  range_frame->setObjectName("FrameServoRange");
  auto* range_layout = new QHBoxLayout(range_frame);
  servo_range_ = new QButtonGroup(range_frame);
  for (int i = 0; i < kServoRangeCount; ++i) {
    range_layout->addWidget(MakeOption(QString("OptionServoRange_%1").arg(i), kServoRangeTexts[i],
                                       servo_range_, i, range_frame));
  }
  servo_range_->button(0)->setChecked(true);
  side->addWidget(range_frame);
  servo_suspended_ = MakeCheck("ChkSrvSuspended", "Suspended", page);
  servo_suspended_->setToolTip(
      "If checked, the servo is not activated until the first position is sent");
  servo_auto_suspend_ = MakeCheck("ChkSrvAutoSuspend", "Auto Suspend", page);
  servo_initialised_ = MakeCheck("ChkSrvInitialized", "Servo Initialised", page);
  side->addWidget(servo_suspended_);
  side->addWidget(servo_auto_suspend_);
  side->addWidget(servo_initialised_);
  side->addStretch();

  ConnectInput(context_, servo_range_, &QButtonGroup::idClicked, this,
               &PinConfigEditor::StoreServoFlags);
  ConnectInput(context_, servo_suspended_, &QCheckBox::clicked, this,
               &PinConfigEditor::StoreServoFlags);
  ConnectInput(context_, servo_auto_suspend_, &QCheckBox::clicked, this,
               &PinConfigEditor::StoreServoFlags);
  // The board reports it; a click stores nothing and the box keeps showing the flags.
  ConnectInput(context_, servo_initialised_, &QCheckBox::clicked, this, [this] {
    Fill(servo_initialised_, (Pin().PinConfig[kCfgServoFlags] & kServoInitialised) != 0);
  });
  return side;
}

// The live test row: target position, "<", the slider, "Jump" and "Dynamic".
QHBoxLayout* PinConfigEditor::BuildServoTest(QWidget* page) {
  auto* test = new QHBoxLayout;
  servo_position_ = MakeBox("TextPosition", "0", page, 4);
  servo_position_->setToolTip("Servo Target Position");
  servo_position_->setAccessibleName("Servo Target Position");
  QPushButton* level = MakeButton("CommandSrvLevel", "<", page);
  level->setMaximumWidth(32);
  QPushButton* jump = MakeButton("CommandStopSrv", "Jump", page);
  jump->setToolTip(kJumpTip);
  servo_dynamic_ = MakeCheck("CheckSrvDynamic", "      Dynamic", page);
  servo_dynamic_->setToolTip(kDynamicTip);
  // The caption's leading blanks keep it clear of the "Jump" button before it.
  servo_dynamic_->setLayoutDirection(Qt::RightToLeft);
  servo_slider_ = MakeSlider("SliderServo", kServoPositionMin, kServoPositionMax, page);
  servo_slider_->setToolTip("Move slider for target position");
  servo_slider_->setAccessibleName("Servo test position");
  servo_slider_->installEventFilter(this);
  test->addWidget(servo_position_);
  test->addWidget(level);
  test->addWidget(servo_slider_, 1);
  test->addWidget(jump);
  test->addWidget(servo_dynamic_);

  connect(level, &QPushButton::clicked, this, &PinConfigEditor::OnServoLevelButton);
  ConnectInput(context_, jump, &QPushButton::clicked, this, [this] {
    context_.RunOnBoard("Jump", [this](Session& session) { ServoJump(session, test_state_); });
  });
  connect(servo_slider_, &QSlider::valueChanged, this, &PinConfigEditor::OnServoSlider);
  return test;
}

QWidget* PinConfigEditor::BuildPwmPage() {
  auto* page = new QWidget(this);
  page->setObjectName("PagePCFGPWM");
  auto* outer = new QVBoxLayout(page);
  auto* top = new QHBoxLayout;
  top->addLayout(BuildPwmFields(page));
  top->addSpacing(12);
  top->addLayout(BuildPwmModes(page));
  top->addStretch();
  outer->addLayout(top);
  outer->addLayout(BuildPwmTest(page));
  outer->addStretch();
  return page;
}

// The four level boxes; the initial level's label and a double-click into its box take the
// test slider's level.
QGridLayout* PinConfigEditor::BuildPwmFields(QWidget* page) {
  auto* grid = new QGridLayout;
  auto* initial_label =
      new ClickLabel("LabelPWMInitialLevel", FieldOf(PinConfigBox::kPwmInitLevel).caption, page);
  grid->addWidget(initial_label, 0, 0);
  CommitLineEdit* initial = AddField(grid, 0, 0, PinConfigBox::kPwmInitLevel, QString(),
                                     "TextPWMInitLevel", "UpDownIL", false);
  LabelFor(initial_label, initial);
  AddField(grid, 1, 0, PinConfigBox::kPwmOnLevel, "LabelPWMOnLevel", "TextPWMOnLevel",
           "UpDownPWMOnLevel");
  AddField(grid, 2, 0, PinConfigBox::kPwmOffLevel, "LabelPWMOffLevel", "TextPWMOffLevel",
           "UpDownPWMOffLevel");
  AddField(grid, 3, 0, PinConfigBox::kPwmAccel, "LabelPWMAccel", "TextPWMAccel", "UpDownPWMAccel");

  connect(initial, &QLineEdit::textChanged, this, [this](const QString& text) {
    StoreWhileTyping(Pin(), PinConfigBox::kPwmInitLevel, S(text));
  });
  auto take_slider = [this, initial] {
    const int level_now = pwm_slider_->value();
    SetText(initial, QString::number(level_now));
    StorePinConfigSpin(Pin(), PinConfigBox::kPwmInitLevel, level_now);
  };
  ConnectInput(context_, initial, &CommitLineEdit::doubleClicked, this, take_slider);
  ConnectInput(context_, initial_label, &ClickLabel::clicked, this, take_slider);
  for (QWidget* holder : std::initializer_list<QWidget*>{initial, initial_label}) {
    ConnectInput(context_, AddMenuEntry(holder, kTakeSliderEntry), &QAction::triggered, this,
                 take_slider);
  }
  return grid;
}

// "Inverted" and the drive and acceleration modes beside the levels.
QVBoxLayout* PinConfigEditor::BuildPwmModes(QWidget* page) {
  auto* side = new QVBoxLayout;
  pwm_inverted_ = MakeCheck("CheckPWMInverted", "Inverted", page);
  side->addWidget(pwm_inverted_);
  auto* drive_frame = new QGroupBox("Drive Mode", page);
  drive_frame->setObjectName("FramePWMDriveMode");
  auto* drive_layout = new QHBoxLayout(drive_frame);
  pwm_drive_ = new QButtonGroup(drive_frame);
  drive_layout->addWidget(
      MakeOption("OptionPWMDriveMode_0", kPwmModeTexts[0], pwm_drive_, 0, drive_frame));
  drive_layout->addWidget(
      MakeOption("OptionPWMDriveMode_1", kPwmModeTexts[1], pwm_drive_, 1, drive_frame));
  pwm_drive_->button(0)->setChecked(true);
  side->addWidget(drive_frame);
  auto* accel_frame = new QGroupBox("Acceleration Mode", page);
  accel_frame->setObjectName("FramePWMAccelMode");
  auto* accel_layout = new QHBoxLayout(accel_frame);
  pwm_accel_ = new QButtonGroup(accel_frame);
  accel_layout->addWidget(
      MakeOption("OptionPWMAccelMode_0", kPwmModeTexts[0], pwm_accel_, 0, accel_frame));
  accel_layout->addWidget(
      MakeOption("OptionPWMAccelMode_1", kPwmModeTexts[1], pwm_accel_, 1, accel_frame));
  pwm_accel_->button(0)->setChecked(true);
  side->addWidget(accel_frame);
  side->addStretch();

  ConnectInput(context_, pwm_drive_, &QButtonGroup::idClicked, this,
               &PinConfigEditor::StorePwmModes);
  ConnectInput(context_, pwm_accel_, &QButtonGroup::idClicked, this,
               &PinConfigEditor::StorePwmModes);
  ConnectInput(context_, pwm_inverted_, &QCheckBox::clicked, this, [this](bool checked) {
    Pin().PinConfig[kCfgKind] = static_cast<uint8_t>(kPwm + (checked ? 1 : 0));
  });
  return side;
}

// The live test row: level, "<", the slider, "Jump" and "Slow".
QHBoxLayout* PinConfigEditor::BuildPwmTest(QWidget* page) {
  auto* test = new QHBoxLayout;
  pwm_level_ = MakeBox("TextPWMLevel", "0", page, 3);
  pwm_level_->setAccessibleName("PWM test level");
  pwm_level_->setToolTip("PWM test level");
  QPushButton* level = MakeButton("CommandPWMLevel", "<", page);
  level->setMaximumWidth(32);
  QPushButton* jump = MakeButton("CommandPWMJump", "Jump", page);
  jump->setToolTip(kJumpTip);
  pwm_slow_ = MakeCheck("CheckPWMSlow", "       Slow", page);
  pwm_slow_->setToolTip(kDynamicTip);
  pwm_slow_->setLayoutDirection(Qt::RightToLeft);
  pwm_slider_ = MakeSlider("SliderPWM", kPwmLevelMin, kPwmLevelMax, page);
  pwm_slider_->installEventFilter(this);
  pwm_slider_->setAccessibleName("PWM test level slider");
  pwm_slider_->setToolTip("Move slider for the test level");
  test->addWidget(pwm_level_);
  test->addWidget(level);
  test->addWidget(pwm_slider_, 1);
  test->addWidget(jump);
  test->addWidget(pwm_slow_);

  connect(level, &QPushButton::clicked, this, &PinConfigEditor::OnPwmLevelButton);
  ConnectInput(context_, jump, &QPushButton::clicked, this, [this] {
    context_.RunOnBoard("Jump", [this](Session& session) { PwmJump(session, test_state_); });
  });
  connect(pwm_slider_, &QSlider::valueChanged, this, &PinConfigEditor::OnPwmSlider);
  return test;
}

QWidget* PinConfigEditor::BuildInputPage() {
  auto* page = new QWidget(this);
  page->setObjectName("PagePCFGInput");
  auto* outer = new QVBoxLayout(page);
  auto* grid = new QGridLayout;
  AddField(grid, 0, 0, PinConfigBox::kInputDelay0, "LabelInputDelay_0", "TextInputDelay_0",
           "UpDownInputDelay_0");
  AddField(grid, 1, 0, PinConfigBox::kInputDelay1, "LabelInputDelay_1", "TextInputDelay_1",
           "UpDownInputDelay_1");
  input_invert_ = MakeCheck("CheckInputInvert", "Low Active", page);
  grid->addWidget(input_invert_, 2, 0, 1, 2);
  grid->setColumnStretch(2, 1);
  outer->addLayout(grid);
  input_warning_ = MakeWarning("LabelInpHWCWarn", page);
  outer->addWidget(input_warning_);
  outer->addStretch();
  ConnectInput(context_, input_invert_, &QCheckBox::clicked, this, [this](bool checked) {
    Pin().PinConfig[kCfgKind] = static_cast<uint8_t>(kInput + (checked ? 1 : 0));
  });
  return page;
}

QWidget* PinConfigEditor::BuildButtons() {
  auto* corner = new QWidget(this);
  auto* layout = new QHBoxLayout(corner);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addStretch();
  get_[0] = MakeButton("CommandPCFGGetParam_0", "Get Pin Config", corner);
  set_[0] = MakeButton("CommandPCFGSetParam_0", "Set Pin Config", corner);
  get_[1] = MakeButton("CommandPCFGGetParam_1", "Read Pin Config", corner);
  set_[1] = MakeButton("CommandPCFGSetParam_1", "Write Pin Config", corner);
  set_[0]->setToolTip("Sets Active Servo parameters (not permanent)");
  set_[1]->setToolTip("Writes Servo Parameters to Flash memory");
  for (int store = 0; store < 2; ++store) {
    layout->addWidget(get_[store]);
    layout->addWidget(set_[store]);
    connect(get_[store], &QPushButton::clicked, this, [this, store] {
      const int pin = context_.Config().CurrentPin;
      auto read = std::make_shared<bool>(false);
      context_.RunOnBoard(
          get_[store]->text(),
          [read, store, pin](Session& session) {
            *read = ReadPinConfigParams(session, store, pin);
          },
          [this, read] {
            if (*read) Refresh();
          });
    });
    connect(set_[store], &QPushButton::clicked, this, [this, store] {
      CommitPendingEdits();
      const int pin = context_.Config().CurrentPin;
      context_.RunOnBoard(set_[store]->text(), [store, pin](Session& session) {
        WritePinConfigParams(session, store, pin);
      });
    });
  }
  get_[1]->hide();
  set_[1]->hide();
  return corner;
}

void PinConfigEditor::PlaceButtons() {
  // One row of buttons for all pages: it moves to the foot of the page shown, which leaves the
  // tab bar its width.
  QWidget* page = currentWidget();
  if (page == nullptr || buttons_->parentWidget() == page) return;
  buttons_->setParent(page);
  static_cast<QBoxLayout*>(page->layout())->addWidget(buttons_);
  buttons_->show();
}

void PinConfigEditor::SetButtonsVisible(bool details, bool expert) {
  get_[0]->setVisible(details);
  set_[0]->setVisible(details);
  get_[1]->setVisible(details && expert);
  set_[1]->setVisible(details && expert);
}

PinRecord& PinConfigEditor::Pin() {
  return context_.Config().Current();
}

void PinConfigEditor::Refresh() {
  const int pin = context_.Config().CurrentPin;
  const int type = Pin().PinConfig[kCfgKind];
  const int page = PageOfConfigType(type);
  if (page < 0) {
    if (unknown_reported_ != std::make_pair(pin, type)) {
      unknown_reported_ = std::make_pair(pin, type);
      context_.Dialogs().Message("Unknown configuration: " + std::to_string(type));
    }
    return;
  }
  unknown_reported_.reset();
  showing_ = true;
  setCurrentIndex(page);
  if (page == kPageServo) ShowServoPage();
  if (page == kPagePwm) ShowPwmPage();
  if (page == kPageInput) ShowInputPage();
  showing_ = false;
}

void PinConfigEditor::ShowServoPage() {
  PinRecord& pin = Pin();
  const int flags = pin.PinConfig[kCfgServoFlags];
  const int position = pin.CurrentValue - 64;
  SetSlider(servo_slider_, position);
  test_state_.ServoTestPosition = servo_slider_->value();
  SetText(servo_position_, QString::number(servo_slider_->value()));
  for (PinConfigBox box :
       {PinConfigBox::kSrvInitPos, PinConfigBox::kMidpoint, PinConfigBox::kSrvMaxSpd,
        PinConfigBox::kSrvMaxAccel, PinConfigBox::kSrvAntiMass, PinConfigBox::kSrvFriction,
        PinConfigBox::kBounceUp, PinConfigBox::kBounceDown, PinConfigBox::kBounceUpFactor,
        PinConfigBox::kBounceDownFactor}) {
    SetText(boxes_[box], QString::number(ShownValue(pin, box)));
  }
  // A control that changes while the page fills runs its store rule, so the flags take the
  // composed form then; when nothing changes they stay as the board or the file gave them.
  bool changed = Fill(servo_suspended_, (flags & kServoSuspended) != 0);
  changed |= Fill(servo_auto_suspend_, (flags & kServoAutoSuspend) != 0);
  Fill(servo_initialised_, (flags & kServoInitialised) != 0);
  changed |= Fill(servo_range_->button(ServoRangeOf(flags)), true);
  if (changed) StoreServoFlags();
  servo_warning_->setVisible(
      HardwareMismatch(context_.Config().General, context_.Config().CurrentPin));
}

void PinConfigEditor::ShowPwmPage() {
  PinRecord& pin = Pin();
  const int modes = pin.PinConfig[kCfgPwmModes];
  Fill(pwm_inverted_, pin.PinConfig[kCfgKind] == kPwmInverted);
  SetSlider(pwm_slider_, pin.CurrentValue);
  test_state_.PwmTestLevel = pwm_slider_->value();
  SetText(pwm_level_, QString::number(pwm_slider_->value()));
  bool changed = Fill(pwm_drive_->button(modes & 1), true);
  changed |= Fill(pwm_accel_->button((modes >> 1) & 1), true);
  if (changed) StorePwmModes();
  for (PinConfigBox box : {PinConfigBox::kPwmInitLevel, PinConfigBox::kPwmAccel,
                           PinConfigBox::kPwmOffLevel, PinConfigBox::kPwmOnLevel}) {
    SetText(boxes_[box], QString::number(ShownValue(pin, box)));
  }
}

void PinConfigEditor::ShowInputPage() {
  PinRecord& pin = Pin();
  Fill(input_invert_, pin.PinConfig[kCfgKind] == kInputLowActive);
  SetText(boxes_[PinConfigBox::kInputDelay0],
          QString::number(ShownValue(pin, PinConfigBox::kInputDelay0)));
  SetText(boxes_[PinConfigBox::kInputDelay1],
          QString::number(ShownValue(pin, PinConfigBox::kInputDelay1)));
  input_warning_->setVisible(
      HardwareMismatch(context_.Config().General, context_.Config().CurrentPin));
}

void PinConfigEditor::OnPagePicked(int page) {
  PickConfigPage(Pin(), page);
  Refresh();
}

void PinConfigEditor::CommitField(PinConfigBox box) {
  CommitLineEdit* edit = boxes_[box];
  BoxEntry entry = CommitPinConfigBox(Pin(), box, S(edit->text()));
  SetText(edit, QString::fromStdString(entry.text));
}

void PinConfigEditor::CommitPendingEdits() {
  switch (currentIndex()) {
    case kPageServo:
      for (PinConfigBox box :
           {PinConfigBox::kMidpoint, PinConfigBox::kSrvMaxSpd, PinConfigBox::kSrvMaxAccel,
            PinConfigBox::kSrvAntiMass, PinConfigBox::kSrvFriction, PinConfigBox::kBounceUp,
            PinConfigBox::kBounceDown, PinConfigBox::kBounceUpFactor,
            PinConfigBox::kBounceDownFactor}) {
        CommitField(box);
      }
      break;
    case kPagePwm:
      CommitField(PinConfigBox::kPwmAccel);
      break;
    case kPageInput:
      CommitField(PinConfigBox::kInputDelay0);
      CommitField(PinConfigBox::kInputDelay1);
      break;
    default:
      break;
  }
}

void PinConfigEditor::StoreServoFlags() {
  Pin().PinConfig[kCfgServoFlags] = static_cast<uint8_t>(
      ComposeServoFlags(servo_range_->checkedId() < 0 ? 0 : servo_range_->checkedId(),
                        servo_auto_suspend_->isChecked(), servo_suspended_->isChecked()));
}

void PinConfigEditor::StorePwmModes() {
  Pin().PinConfig[kCfgPwmModes] = static_cast<uint8_t>(
      ComposePwmModes(std::max(pwm_drive_->checkedId(), 0), std::max(pwm_accel_->checkedId(), 0)));
}

void PinConfigEditor::OnServoLevelButton() {
  const std::string text = S(servo_position_->text());
  const bool dynamic = servo_dynamic_->isChecked();
  auto entry = std::make_shared<BoxEntry>();
  context_.RunOnBoard(
      "<",
      [this, entry, text, dynamic](Session& session) {
        *entry = ServoPositionButton(session, test_state_, text, dynamic);
      },
      [this, entry] {
        SetText(servo_position_, QString::fromStdString(entry->text));
        SetSlider(servo_slider_, entry->value);
      });
}

void PinConfigEditor::OnServoSlider(int position) {
  const bool focused = servo_slider_focused_;
  const bool dynamic = servo_dynamic_->isChecked();
  SetText(servo_position_, QString::number(position));
  context_.RunOnBoard("SliderServo", [this, position, focused, dynamic](Session& session) {
    ServoSliderChanged(session, test_state_, position, focused, dynamic);
  });
}

void PinConfigEditor::OnPwmLevelButton() {
  const std::string text = S(pwm_level_->text());
  const bool slow = pwm_slow_->isChecked();
  auto entry = std::make_shared<BoxEntry>();
  context_.RunOnBoard(
      "<",
      [this, entry, text, slow](Session& session) {
        *entry = PwmLevelButton(session, test_state_, text, slow);
      },
      [this, entry] {
        SetText(pwm_level_, QString::fromStdString(entry->text));
        SetSlider(pwm_slider_, entry->value);
      });
}

void PinConfigEditor::OnPwmSlider(int level) {
  const bool focused = pwm_slider_focused_;
  const bool slow = pwm_slow_->isChecked();
  SetText(pwm_level_, QString::number(level));
  context_.RunOnBoard("SliderPWM", [this, level, focused, slow](Session& session) {
    PwmSliderChanged(session, test_state_, level, focused, slow);
  });
}

bool PinConfigEditor::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
    const bool focused = event->type() == QEvent::FocusIn;
    if (watched == servo_slider_) servo_slider_focused_ = focused;
    if (watched == pwm_slider_) pwm_slider_focused_ = focused;
  }
  return QTabWidget::eventFilter(watched, event);
}

}  // namespace vela::ui
