#include "ui/device_config_tab.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "files/device_library.h"
#include "model/address_display.h"
#include "model/aspect_editor_rules.h"
#include "model/device_field_rules.h"
#include "model/help_tool_rules.h"
#include "model/number_text.h"
#include "operations/output_commands.h"
#include "operations/pin_program_commands.h"
#include "ui/clipboard_dialogs.h"
#include "ui/edit_controls.h"
#include "ui/editor_widgets.h"
#include "ui/help_tools.h"
#include "ui/pin_config_editor.h"

namespace vela::ui {
namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}
std::string S(const QString& text) {
  return text.toStdString();
}

constexpr const char* kHelpToolTip = "Double-click for help-tool";
constexpr const char* kCopyPasteToolTip = "Click for copy/paste tools";

// Observes the file loaders and asks the window to show everything again.
class RefreshingObserver final : public LoadObserver {
 public:
  explicit RefreshingObserver(WindowContext& context) : context_(context) {}
  void DataFileLoaded() override { context_.RefreshAll(); }
  void DeviceLoaded() override {
    context_.RefreshAddressDisplays();
    context_.RefreshPin();
    context_.RefreshPinConfig();
  }

 private:
  WindowContext& context_;
};

QHBoxLayout* Tight() {
  auto* row = new QHBoxLayout;
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  return row;
}

}  // namespace

DeviceConfigTab::DeviceConfigTab(WindowContext& context, DeviceLibrary& library, QWidget* parent)
    : QWidget(parent), context_(context), library_(library) {
  setObjectName("TabDeviceConfiguration");
  auto* left_area = new QWidget(this);
  auto* left = new QVBoxLayout(left_area);
  left->setContentsMargins(0, 0, 0, 0);
  left->addWidget(BuildPinArea());
  left->addWidget(BuildAddressArea());
  QWidget* steps = BuildStepTable();
  left->addWidget(steps);
  left->addWidget(BuildButtons());
  left->addStretch();
  // As wide as the step table even while its rows are hidden, so the page does not jump
  // when the aspect mode changes.
  left_area->setMinimumWidth(steps->sizeHint().width() + 24);

  auto* right = new QVBoxLayout;
  right->addWidget(BuildPinOperations());
  details_frame_ = new QGroupBox("AspDetails", this);
  details_frame_->setObjectName("FrameAspdetails");
  auto* details_layout = new QVBoxLayout(details_frame_);
  pin_config_editor_ = new PinConfigEditor(context_, details_frame_);
  pin_config_ = pin_config_editor_;
  details_layout->addWidget(pin_config_);
  right->addWidget(details_frame_);
  right->addStretch();

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(left_area, 0);
  layout->addLayout(right, 1);

  ApplyNumbering();
  SwitchAspectMode(0);
  ApplyExpertMode();
  ShowDeviceLibrary();
}

QPushButton* DeviceConfigTab::MakeButton(const QString& name, const QString& caption,
                                         QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  return button;
}

void DeviceConfigTab::QueueOn(QPushButton* button, const char* operation) {
  OnInput(button, &QPushButton::clicked, [this, operation] { context_.QueueOperation(operation); });
}

// ---- building ----

QWidget* DeviceConfigTab::BuildPinArea() {
  auto* area = new QWidget(this);
  auto* grid = new QGridLayout(area);
  grid->setContentsMargins(0, 0, 0, 0);
  BuildPinRow(grid, area);
  BuildDeviceRows(grid, area);
  BuildAspectRow(grid, area);
  grid->setColumnStretch(4, 1);
  return area;
}

// Row 0: the pin selector and its description.
void DeviceConfigTab::BuildPinRow(QGridLayout* grid, QWidget* area) {
  pin_label_ = new ClickLabel("LabelPAspOutput", "Pin", area);
  pin_label_->setToolTip(kCopyPasteToolTip);
  pin_label_->setCursor(Qt::PointingHandCursor);
  pin_box_ = MakeBox("TextPAspOutput", "1", area, 2);
  pin_spin_ = MakeUpDown("UpDownPAspOutput", pin_box_, 0, 31, area);
  auto* pin_row = Tight();
  pin_row->addWidget(pin_box_);
  pin_row->addWidget(pin_spin_);
  pin_description_ = new QLineEdit(area);
  pin_description_->setObjectName("TextPAspDesc");
  pin_description_->setToolTip("Pin description");
  grid->addWidget(pin_label_, 0, 0);
  grid->addLayout(pin_row, 0, 1);
  grid->addWidget(pin_description_, 0, 2, 1, 5);

  OnInput(pin_label_, &ClickLabel::clicked, &DeviceConfigTab::OpenPinDialog);
  OnInput(pin_box_, &CommitLineEdit::committed, &DeviceConfigTab::CommitPin);
  OnInput(pin_spin_, &UpDown::valueChanged, &DeviceConfigTab::OnPinSpin);
  OnInput(pin_description_, &QLineEdit::textEdited,
          [this](const QString& text) { Config().Current().Description = S(text); });
}

// Rows 1 to 3: the device fields, the device list with its library buttons, the loaded version.
void DeviceConfigTab::BuildDeviceRows(QGridLayout* grid, QWidget* area) {
  auto* device_pin_label = new QLabel("Device Pin", area);
  device_pin_label->setObjectName("LabelDevicePin");
  device_pin_ = MakeBox("TextDevicePin", "1", area, 2);
  auto* device_name_label = new QLabel("Device Name", area);
  device_name_label->setObjectName("LabelDeviceName");
  device_name_ = new QLineEdit(area);
  device_name_->setObjectName("TextDeviceDescription");
  grid->addWidget(device_pin_label, 1, 0);
  grid->addWidget(device_pin_, 1, 1);
  grid->addWidget(device_name_label, 1, 2);
  grid->addWidget(device_name_, 1, 3, 1, 4);

  device_list_ = new QComboBox(area);
  device_list_->setObjectName("cboDevice");
  device_list_->setEditable(true);
  device_list_->setInsertPolicy(QComboBox::NoInsert);
  device_list_->setMinimumContentsLength(16);
  device_list_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  auto* load_device = MakeButton("CommandPAspPreLoad", "Load Device", area);
  auto* reload = new PressButton("CommandReloadDD", "Reload DD", area);
  reload->setToolTip("Reload DD to load new file, Shift + Reload DD to append");
  auto* save_device = MakeButton("CommandSaveDevice", "Save Device", area);
  auto* devices_row = new QHBoxLayout;
  devices_row->addWidget(device_list_, 1);
  devices_row->addWidget(load_device);
  devices_row->addWidget(reload);
  devices_row->addWidget(save_device);
  grid->addLayout(devices_row, 2, 0, 1, 7);
  auto* loaded_label = new QLabel("Definitions Loaded:", area);
  loaded_label->setObjectName("LabelDDLoaded");
  device_version_ = new QLabel("None", area);
  device_version_->setObjectName("lblDDVersion");
  auto* loaded_row = new QHBoxLayout;
  loaded_row->addWidget(loaded_label);
  loaded_row->addWidget(device_version_, 1);
  grid->addLayout(loaded_row, 3, 0, 1, 7);

  OnInput(device_pin_, &QLineEdit::textEdited,
          [this](const QString& text) { EditDevicePin(Config(), S(text)); });
  OnInput(device_pin_, &CommitLineEdit::committed, [this] { ShowDeviceFields(); });
  OnInput(device_name_, &QLineEdit::textEdited, [this](const QString& text) {
    if (device_name_->isEnabled()) EditDeviceName(Config(), S(text));
  });
  OnInput(load_device, &QPushButton::clicked, &DeviceConfigTab::OnLoadDevice);
  OnInput(reload, &PressButton::pressedWith, &DeviceConfigTab::OnReloadDevices);
  OnInput(save_device, &QPushButton::clicked, &DeviceConfigTab::OnSaveDevice);
}

// Row 4: the aspect mode options, the aspect selector with its description, the initial aspect.
void DeviceConfigTab::BuildAspectRow(QGridLayout* grid, QWidget* area) {
  auto* modes_label = new QLabel("Aspects", area);
  modes_label->setObjectName("LabelPAspNrOfAspects");
  mode_options_ = new QButtonGroup(area);
  auto* modes_row = new QHBoxLayout;
  modes_row->addWidget(modes_label);
  for (int i = 0; i < 3; ++i) {
    mode_option_[i] = new QRadioButton(kAspectModeOptionTexts[i], area);
    mode_option_[i]->setObjectName(QString("OptionPAspConf_%1").arg(i));
    mode_options_->addButton(mode_option_[i], i);
    modes_row->addWidget(mode_option_[i]);
  }
  mode_option_[0]->setChecked(true);
  modes_row->addStretch();
  grid->addLayout(modes_row, 4, 0, 1, 2);

  aspect_label_ = new ClickLabel("LabelPAspAspect", "Aspect", area);
  aspect_label_->setToolTip(kCopyPasteToolTip);
  aspect_label_->setCursor(Qt::PointingHandCursor);
  aspect_box_ = MakeBox("TextPAspAspect", "0", area, 2);
  aspect_spin_ = MakeUpDown("UpDownPAspAspect", aspect_box_, 0, 11, area);
  auto* aspect_row = Tight();
  aspect_row->addWidget(aspect_box_);
  aspect_row->addWidget(aspect_spin_);
  aspect_description_ = new QLineEdit(area);
  aspect_description_->setObjectName("TextPAspAspDesc");
  aspect_description_->setToolTip("Aspect description");
  init_label_ = new QLabel("Init", area);
  init_label_->setObjectName("LabelPAspInit");
  init_box_ = MakeBox("TextPAspInit", "-1", area, 2);
  init_spin_ = MakeUpDown("UpDownPAspInit", init_box_, kNoInitialAspect, 11, area);
  init_box_->setToolTip("Initial aspect, -1 = none");
  auto* init_row = Tight();
  init_row->addWidget(init_box_);
  init_row->addWidget(init_spin_);
  grid->addWidget(aspect_label_, 4, 2, Qt::AlignRight);
  grid->addLayout(aspect_row, 4, 3);
  grid->addWidget(aspect_description_, 4, 4);
  grid->addWidget(init_label_, 4, 5, Qt::AlignRight);
  grid->addLayout(init_row, 4, 6);

  OnInput(mode_options_, &QButtonGroup::idClicked,
          [this](int option) { SwitchAspectMode(option); });
  OnInput(aspect_label_, &ClickLabel::clicked, &DeviceConfigTab::OpenAspectDialog);
  OnInput(aspect_box_, &CommitLineEdit::committed, &DeviceConfigTab::CommitAspect);
  OnInput(aspect_spin_, &UpDown::valueChanged, &DeviceConfigTab::OnAspectSpin);
  OnInput(aspect_description_, &QLineEdit::textEdited, [this](const QString& text) {
    Config().Current().Aspects[Config().CurrentAspect].Description = S(text);
  });
  OnInput(init_box_, &CommitLineEdit::committed, &DeviceConfigTab::CommitInit);
  OnInput(init_spin_, &UpDown::valueChanged, [this](int value) {
    Config().Current().InitialAspect = static_cast<uint8_t>(value + 1);
  });
}

QWidget* DeviceConfigTab::BuildAddressArea() {
  auto* area = new QWidget(this);
  auto* grid = new QGridLayout(area);
  grid->setContentsMargins(0, 4, 0, 4);
  grid->setHorizontalSpacing(0);
  // The header's blanks line its three words up over the columns in a fixed-pitch font.
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  const QFontMetrics metrics(fixed);
  auto* header = new QLabel("Serial          B-DCC        X-DCC", area);
  header->setObjectName("lblSerial");
  header->setFont(fixed);
  count_label_ = new QLabel("Nr Of Addresses", area);
  count_label_->setObjectName("LabelPASPAdrCnt");

  kora_count_ = MakeBox("TextPaspKoran", "1", area, 1);
  kora_count_->setToolTip("Nr of Serial addresses assigned to Pin");
  kora_count_spin_ = MakeUpDown("UpDownPaspKoran", kora_count_, 0, kMaxKoraCount, area);
  dcc_count_ = MakeBox("TextPaspDCCn", "1", area, 1);
  dcc_count_->setToolTip("Nr of DCC addresses assigned to Pin");
  dcc_count_spin_ = MakeUpDown("UpDownPaspDCCn", dcc_count_, 0, kMaxDccCount, area);
  xdcc_count_ = MakeBox("TextPAspXDCCn", "1", area, 1);
  xdcc_count_->setToolTip("Nr of extended DCC addresses assigned to Pin");
  xdcc_count_spin_ = MakeUpDown("UpDownPaspXDCCn", xdcc_count_, 0, kMaxXDccCount, area);

  auto make_address = [&](const char* name) {
    auto* label = new QLabel("-", area);
    label->setObjectName(name);
    label->setFont(fixed);
    return label;
  };
  serial_address_ = make_address("lblSerialAddress");
  dcc_address_ = make_address("lblDCCAddress");
  xdcc_address_ = make_address("lblXDCCAddress");
  pin_address_ = make_address("lblPinAddress");
  serial_address_->setToolTip("Serial (Kora) address of the pin");
  dcc_address_->setToolTip("Basic DCC address of the pin");
  xdcc_address_->setToolTip("Extended DCC address of the pin");
  pin_address_->setToolTip("Module.pin address");

  auto cell = [&](QWidget* box, QWidget* spin) {
    auto* row = Tight();
    row->addWidget(box);
    row->addWidget(spin);
    row->addStretch();
    return row;
  };
  const int heading_width = count_label_->sizeHint().width() + 12;
  grid->setColumnMinimumWidth(0, heading_width);
  grid->setColumnMinimumWidth(1, metrics.horizontalAdvance(QString(16, 'x')));
  grid->setColumnMinimumWidth(2, metrics.horizontalAdvance(QString(13, 'x')));
  grid->setColumnMinimumWidth(3, metrics.horizontalAdvance(QString(8, 'x')));
  grid->addWidget(header, 0, 1, 1, 3);
  grid->addWidget(count_label_, 1, 0);
  grid->addLayout(cell(kora_count_, kora_count_spin_), 1, 1);
  grid->addLayout(cell(dcc_count_, dcc_count_spin_), 1, 2);
  grid->addLayout(cell(xdcc_count_, xdcc_count_spin_), 1, 3);
  auto* address_heading = new QLabel("Address", area);
  address_heading->setObjectName("LabelPAspAddress");
  grid->addWidget(address_heading, 2, 0);
  grid->addWidget(serial_address_, 2, 1);
  grid->addWidget(dcc_address_, 2, 2);
  grid->addWidget(xdcc_address_, 2, 3);
  grid->addWidget(pin_address_, 3, 1);
  grid->setColumnStretch(4, 1);

  OnInput(dcc_count_, &CommitLineEdit::committed, &DeviceConfigTab::CommitDccCount);
  OnInput(xdcc_count_, &CommitLineEdit::committed, &DeviceConfigTab::CommitXDccCount);
  OnInput(kora_count_, &CommitLineEdit::committed, &DeviceConfigTab::CommitKoraCount);
  OnInput(dcc_count_spin_, &UpDown::valueChanged, &DeviceConfigTab::StoreDccCount);
  OnInput(xdcc_count_spin_, &UpDown::valueChanged, &DeviceConfigTab::StoreXDccCount);
  OnInput(kora_count_spin_, &UpDown::valueChanged, &DeviceConfigTab::StoreKoraCount);
  return area;
}

QWidget* DeviceConfigTab::BuildStepTable() {
  auto* area = new QWidget(this);
  auto* grid = new QGridLayout(area);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setVerticalSpacing(2);
  auto header = [&](const char* name, const char* caption, int column) {
    auto* label = new QLabel(caption, area);
    label->setObjectName(name);
    grid->addWidget(label, 0, column);
    return label;
  };
  head_step_ = header("LabelPAspHStep", "#", 0);
  head_instruction_ = header("LabelPAspHInst", "Instruction", 1);
  head_fade_ = header("LabelPAspHFade", "Fade", 2);
  head_par_[0] = header("LabelPAspOffset", "Par 0", 3);
  head_par_[1] = header("LabelPAspHParam1", "Par 1", 4);
  head_par_[2] = header("LabelPASpHParam2", "Par 2", 5);
  head_par_[3] = header("LabelPAspHParam3", "Base", 6);
  // The captions change with the instruction; keep the columns from jumping.
  for (QLabel* label : head_par_)
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance("Chance") + 6);
  head_fade_->setMinimumWidth(head_fade_->fontMetrics().horizontalAdvance("Fade") + 4);

  const InstructionSet& set = context_.Instructions();
  for (int r = 0; r < 9; ++r) {
    StepRow& row = rows_[r];
    row.number = new ClickLabel(QString("LabelPAspStep_%1").arg(r), QString::number(r), area);
    row.number->setToolTip("Click to Insert/Delete step");
    row.number->setCursor(Qt::PointingHandCursor);
    row.number->setAlignment(Qt::AlignCenter);
    row.instruction = new QComboBox(area);
    row.instruction->setObjectName(QString("ComboPAspInst_%1").arg(r));
    for (int code : set.ListOrder()) row.instruction->addItem(Q(set[code].Name), code);
    row.instruction->setMaxVisibleItems(20);
    row.fade = new QCheckBox(area);
    row.fade->setObjectName(QString("CheckPAspFade_%1").arg(r));
    row.par0 = MakeBox(QString("TextPAspOffset_%1").arg(r), "00", area, 3);
    row.par1 = MakeBox(QString("TextPAspPar1_%1").arg(r), "000", area, 3);
    row.par2 = MakeBox(QString("TextPAspPar2_%1").arg(r), "00", area, 3);
    row.par3 = MakeBox(QString("TextPAspPar3_%1").arg(r), "0", area, 3);
    for (CommitLineEdit* box : {row.par1, row.par2, row.par3}) box->setToolTip(kHelpToolTip);
    row.time = new ClickLabel(QString("LabelPAspTime_%1").arg(r), "00:00.00", area);
    row.time->setToolTip(kHelpToolTip);
    grid->addWidget(row.number, r + 1, 0);
    grid->addWidget(row.instruction, r + 1, 1);
    grid->addWidget(row.fade, r + 1, 2, Qt::AlignCenter);
    grid->addWidget(row.par0, r + 1, 3);
    grid->addWidget(row.par1, r + 1, 4);
    grid->addWidget(row.par2, r + 1, 5);
    grid->addWidget(row.par3, r + 1, 6);
    grid->addWidget(row.time, r + 1, 7);

    OnInput(row.number, &ClickLabel::clicked, [this, r] { OpenStepDialog(r); });
    OnInput(row.instruction, &QComboBox::activated,
            [this, r](int index) { OnInstructionChosen(r, index); });
    OnInput(row.fade, &QCheckBox::clicked, [this, r](bool checked) {
      StepAt(r).Fade = checked ? 1 : 0;
      ShowStepRow(r);
    });
    OnInput(row.par0, &CommitLineEdit::committed, [this, r] { CommitPar0(r); });
    OnInput(row.par1, &CommitLineEdit::committed, [this, r] { CommitPar1(r); });
    OnInput(row.par2, &CommitLineEdit::committed, [this, r] { CommitPar2(r); });
    OnInput(row.par3, &CommitLineEdit::committed, [this, r] { CommitPar3(r); });
    OnInput(row.par1, &CommitLineEdit::doubleClicked,
            [this, r] { OnParameterDoubleClicked(r, 1); });
    OnInput(row.par2, &CommitLineEdit::doubleClicked,
            [this, r] { OnParameterDoubleClicked(r, 2); });
    OnInput(row.par3, &CommitLineEdit::doubleClicked,
            [this, r] { OnParameterDoubleClicked(r, 3); });
    OnInput(row.time, &ClickLabel::doubleClicked, [this, r] { OnParameterDoubleClicked(r, 4); });
  }
  grid->setColumnStretch(8, 1);
  return area;
}

QWidget* DeviceConfigTab::BuildButtons() {
  auto* area = new QWidget(this);
  auto* row = new QHBoxLayout(area);
  row->setContentsMargins(0, 4, 0, 0);
  show_details_ = new QCheckBox("Show Details", area);
  show_details_->setObjectName("CheckPAspShowDetails");
  write_single_ = MakeButton("CommandPAspWriteAspect", "Write Single", area);
  read_aspects_ = MakeButton("CommandPAspReadPin", "Read Asp's", area);
  write_aspects_ = MakeButton("CommandPAspWritePin", "Write Asp's", area);
  test_ = new PressButton("CommandPAspTestAspect", "Test", area);
  test_->setToolTip("Alt + Click for Options");
  row->addWidget(show_details_);
  row->addWidget(write_single_);
  row->addWidget(read_aspects_);
  row->addWidget(write_aspects_);
  row->addWidget(test_);
  row->addStretch();

  connect(show_details_, &QCheckBox::clicked, this, [this] { ApplyDetails(); });
  OnInput(write_single_, &QPushButton::clicked, [this] {
    context_.RunOnBoard("Write Single", [](Session& session) { WriteSingle(session); });
  });
  QueueOn(read_aspects_, "PAspReadPin");
  QueueOn(write_aspects_, "PAspWritePin");
  OnInput(test_, &PressButton::pressedWith, &DeviceConfigTab::OnTest);
  return area;
}

QWidget* DeviceConfigTab::BuildPinOperations() {
  auto* frame = new QGroupBox("Pins and Devices", this);
  frame->setObjectName("FramePinOperations");
  auto* grid = new QGridLayout(frame);
  read_pin_ = MakeButton("CommandReadPin", "Read Pin", frame);
  write_pin_ = MakeButton("CommandWritePin", "Write Pin", frame);
  auto* read_device = MakeButton("CommandReadDevice", "Read Device", frame);
  auto* write_device = MakeButton("CommandWriteDevice", "Write Device", frame);
  auto* read_all = MakeButton("CommandReadAllPins", "Read All Devices", frame);
  auto* write_all = MakeButton("CommandWriteAllPins", "Write All Devices", frame);
  verify_all_pins_ = MakeButton("CommandVerifyAllPins", "Verify All Pins", frame);
  grid->addWidget(read_pin_, 0, 0);
  grid->addWidget(write_pin_, 0, 1);
  grid->addWidget(read_device, 1, 0);
  grid->addWidget(write_device, 1, 1);
  grid->addWidget(read_all, 2, 0);
  grid->addWidget(write_all, 2, 1);
  grid->addWidget(verify_all_pins_, 3, 0);
  QueueOn(read_pin_, "ReadPin");
  QueueOn(write_pin_, "WritePin");
  QueueOn(read_device, "ReadDevice");
  QueueOn(write_device, "WriteDevice");
  QueueOn(read_all, "ReadAllPins");
  QueueOn(write_all, "WriteAllPins");
  QueueOn(verify_all_pins_, "VerifyAllPins");
  return frame;
}

// ---- showing ----

StepRecord& DeviceConfigTab::StepAt(int row) {
  return Config().Current().Aspects[Config().CurrentAspect].Steps[row];
}

void DeviceConfigTab::ShowDeviceFields() {
  DeviceReferral referral = vela::ShowDeviceFields(Config());
  device_pin_->setText(QString::number(referral.shown_pin));
  device_name_->setText(Q(referral.name));
  device_name_->setEnabled(referral.name_editable);
}

void DeviceConfigTab::ShowPin() {
  BoardConfig& config = Config();
  PinRecord& pin = config.Current();
  device_name_->setEnabled(false);
  pin_description_->setText(Q(pin.Description));
  ShowDeviceFields();
  aspect_description_->setText(Q(pin.Aspects[config.CurrentAspect].Description));
  init_box_->setText(QString::number(pin.InitialAspect - 1));
  dcc_count_->setText(QString::number(pin.DccCount));
  xdcc_count_->setText(QString::number(pin.XDccCount));
  kora_count_->setText(QString::number(pin.KoraCount));
  for (int r = 0; r < 9; ++r) ShowParameterTexts(r);
  const int option = OptionOfAspectMode(pin.AspectMode);
  mode_option_[option]->setChecked(true);
  SwitchAspectMode(option);
}

void DeviceConfigTab::ShowParameterTexts(int r) {
  const BoardConfig& config = Config();
  const InstructionSet& set = context_.Instructions();
  const StepRecord& step = StepAt(r);
  rows_[r].par0->setText(
      QString::number(set.ShownPar0(step, config.CurrentPin, config.NumberBase)));
  rows_[r].par1->setText(QString::number(set.ShownPar1(step, config.NumberBase)));
  rows_[r].par2->setText(QString::number(step.Par2));
  rows_[r].par3->setText(QString::number(step.Par3));
}

void DeviceConfigTab::SetParameterBox(CommitLineEdit* box, bool used) {
  QPalette palette = box->palette();
  const QPalette& standard = QApplication::palette(box);
  palette.setColor(QPalette::Base,
                   used ? standard.color(QPalette::Base) : standard.color(QPalette::Button));
  box->setPalette(palette);
  // A box the instruction does not use holds 0; a used box keeps its text, so that a commit
  // of one box of the row leaves what is typed in the others.
  if (!used) box->setText("0");
}

void DeviceConfigTab::ShowStepRow(int r) {
  const InstructionSet& set = context_.Instructions();
  StepRecord& step = StepAt(r);
  StepRow& row = rows_[r];
  int index = row.instruction->findData(static_cast<int>(step.Instruction));
  if (index < 0) {
    // An instruction the list does not offer becomes "-".
    index = 0;
    step.Instruction = static_cast<uint8_t>(row.instruction->itemData(0).toInt());
  }
  row.instruction->setCurrentIndex(index);
  set.NormaliseStep(step);
  const InstructionRecord& record = set[step.Instruction];
  SetParameterBox(row.par0, record.Par0Used);
  SetParameterBox(row.par1, record.Par1Used);
  SetParameterBox(row.par2, record.Par2Used);
  SetParameterBox(row.par3, record.Par3Used);
  if (record.FadeUsed) {
    row.fade->setVisible(!row.instruction->isHidden());
    head_fade_->setText("Fade");
  } else {
    row.fade->setVisible(false);
    head_fade_->setText("");
  }
  row.fade->setChecked(step.Fade != 0);
  head_par_[0]->setText(Q(record.Par0Caption));
  head_par_[1]->setText(Q(record.Par1Caption));
  head_par_[2]->setText(Q(record.Par2Caption));
  head_par_[3]->setText(Q(record.Par3Caption));
  row.time->setText(Q(InstructionSet::StepTimeText(step.Instruction, step.Par2, step.Par3)));
}

void DeviceConfigTab::SwitchAspectMode(int option) {
  const AspectModeView view = ViewOfOption(option);
  const bool v = view.aspect_controls;
  for (QWidget* w :
       std::initializer_list<QWidget*>{aspect_label_, aspect_box_, aspect_spin_, init_label_,
                                       init_box_, init_spin_, aspect_description_, test_}) {
    w->setVisible(v);
  }
  const bool details = DetailsShown();
  for (QWidget* w : {static_cast<QWidget*>(write_single_), static_cast<QWidget*>(head_step_),
                     static_cast<QWidget*>(head_instruction_)}) {
    w->setVisible(details && v);
  }
  if (view.upper_limit >= 0) {
    aspect_spin_->setRange(0, view.upper_limit);
    init_spin_->setRange(kNoInitialAspect, view.upper_limit);
  }
  if (option == 1) {
    aspect_box_->setText(Q(AspectTextForFourAspects(S(aspect_box_->text()))));
    init_box_->setText(Q(InitTextForFourAspects(S(init_box_->text()))));
  }
  for (int r = 0; r < 9; ++r) {
    const bool shown = r < view.rows;
    StepRow& row = rows_[r];
    for (QWidget* w :
         std::initializer_list<QWidget*>{row.number, row.instruction, row.fade, row.par0, row.par1,
                                         row.par2, row.par3, row.time}) {
      w->setVisible(shown);
    }
    ShowStepRow(r);
  }
  Config().Current().AspectMode = static_cast<uint8_t>(AspectModeOfOption(option));
}

bool DeviceConfigTab::DetailsShown() const {
  return show_details_->isChecked();
}

void DeviceConfigTab::ApplyDetails() {
  const bool d = DetailsShown();
  const bool expert = Config().ExpertMode;
  details_frame_->setVisible(d);
  pin_config_->setVisible(d);
  pin_config_editor_->SetButtonsVisible(d, expert);
  read_aspects_->setVisible(d && expert);
  write_aspects_->setVisible(d && expert);
  const bool aspects = !mode_option_[0]->isChecked();
  write_single_->setVisible(d && aspects);
  head_step_->setVisible(d && aspects);
  head_instruction_->setVisible(d && aspects);
  ShowAddressCounts();
}

void DeviceConfigTab::ShowAddressCounts() {
  const bool d = DetailsShown();
  bool any = false;
  for (auto [box, spin] : {std::pair<CommitLineEdit*, UpDown*>{dcc_count_, dcc_count_spin_},
                           {xdcc_count_, xdcc_count_spin_},
                           {kora_count_, kora_count_spin_}}) {
    const bool shown = CountBoxShown(S(box->text()), d);
    box->setVisible(shown);
    spin->setVisible(shown);
    any = any || shown;
  }
  count_label_->setVisible(any);
}

void DeviceConfigTab::ShowPinConfig() {
  pin_config_editor_->Refresh();
}

void DeviceConfigTab::ShowPinAddresses() {
  const BoardConfig& config = Config();
  const BoardLink& link = context_.Link();
  dcc_address_->setText(Q(PinDccAddressText(config)));
  xdcc_address_->setText(Q(PinXDccAddressText(config)));
  KoraAddressTexts kora =
      PinKoraAddressTexts(config, {link.ModuleAddress, link.ModuleXAddress, link.UseExtendedAddr});
  serial_address_->setText(Q(kora.serial));
  pin_address_->setText(Q(kora.pin));
}

void DeviceConfigTab::ShowDeviceLibrary() {
  const QString text = device_list_->currentText();
  device_list_->clear();
  for (const std::string& name : library_.Devices()) device_list_->addItem(Q(name));
  const int index = device_list_->findText(text);
  device_list_->setCurrentIndex(index);
  if (index < 0) device_list_->setEditText(text);
  device_version_->setText(Q(library_.VersionLabel()));
}

void DeviceConfigTab::ApplyNumbering() {
  const BoardConfig& config = Config();
  pin_spin_->setRange(config.NumberBase, config.NumberBase + kPinCount - 1);
  pin_box_->setText(QString::number(config.CurrentPin + config.NumberBase));
}

void DeviceConfigTab::ApplyExpertMode() {
  const bool expert = Config().ExpertMode;
  read_pin_->setVisible(expert);
  write_pin_->setVisible(expert);
  verify_all_pins_->setVisible(expert);
  ApplyDetails();
}

// ---- commits ----

void DeviceConfigTab::CommitPin() {
  BoxEntry entry = CommitPinBox(S(pin_box_->text()), Config().NumberBase);
  if (entry.clamped) pin_box_->setText(Q(entry.text));
  Config().CurrentPin = entry.value;
  context_.RefreshAddressDisplays();
  ShowPin();
  ShowAddressCounts();
  ShowPinConfig();
}

void DeviceConfigTab::SelectPinAndAspect(int pin, int aspect) {
  if (!context_.Idle() || pin < 0 || pin >= kPinCount) return;
  CommitPendingEdits();
  BoardConfig& config = Config();
  config.CurrentPin = pin;
  pin_box_->setText(QString::number(pin + config.NumberBase));
  const AspectRectangle rect = RectangleOf(config.Current().AspectMode);
  if (aspect >= 0 && aspect < rect.aspects) {
    config.CurrentAspect = aspect;
    aspect_box_->setText(QString::number(aspect));
  }
  context_.RefreshAddressDisplays();
  ShowPin();
  ShowAddressCounts();
  ShowPinConfig();
}

void DeviceConfigTab::CommitAspect() {
  BoxEntry entry = CommitAspectBox(S(aspect_box_->text()), aspect_spin_->maximum());
  if (entry.clamped) aspect_box_->setText(Q(entry.text));
  Config().CurrentAspect = entry.value;
  ShowPin();
  ShowAddressCounts();
}

void DeviceConfigTab::CommitInit() {
  BoxEntry entry = CommitInitBox(S(init_box_->text()), init_spin_->maximum());
  if (entry.clamped) init_box_->setText(Q(entry.text));
  Config().Current().InitialAspect = static_cast<uint8_t>(entry.value + 1);
}

void DeviceConfigTab::CommitDccCount() {
  BoxEntry entry = CommitBox(S(dcc_count_->text()), 0, kMaxDccCount);
  if (entry.clamped) dcc_count_->setText(Q(entry.text));
  StoreDccCount(entry.value);
}

void DeviceConfigTab::CommitXDccCount() {
  BoxEntry entry = CommitBox(S(xdcc_count_->text()), 0, kMaxXDccCount);
  if (entry.clamped) xdcc_count_->setText(Q(entry.text));
  StoreXDccCount(entry.value);
}

void DeviceConfigTab::CommitKoraCount() {
  BoxEntry entry = CommitBox(S(kora_count_->text()), 0, kMaxKoraCount);
  if (entry.clamped) kora_count_->setText(Q(entry.text));
  StoreKoraCount(entry.value);
}

void DeviceConfigTab::StoreDccCount(int value) {
  Config().Current().DccCount = static_cast<uint8_t>(value);
  Config().ComputeDccStarts();
  context_.RefreshAddressDisplays();
}

void DeviceConfigTab::StoreXDccCount(int value) {
  Config().Current().XDccCount = static_cast<uint8_t>(value);
  Config().ComputeXDccStarts();
  context_.RefreshAddressDisplays();
}

void DeviceConfigTab::StoreKoraCount(int value) {
  Config().Current().KoraCount = static_cast<uint8_t>(value);
  Config().ComputeKoraStarts();
  context_.RefreshAddressDisplays();
}

void DeviceConfigTab::CommitPar0(int r) {
  StepRecord& step = StepAt(r);
  ParameterEntry entry = context_.Instructions().CommitPar0(
      step.Instruction, S(rows_[r].par0->text()), Config().CurrentPin, Config().NumberBase);
  rows_[r].par0->setText(Q(entry.text));
  step.Par0 = static_cast<uint8_t>(entry.stored);
  ShowStepRow(r);
}

void DeviceConfigTab::CommitPar1(int r) {
  StepRecord& step = StepAt(r);
  ParameterEntry entry = context_.Instructions().CommitPar1(
      step.Instruction, S(rows_[r].par1->text()), Config().NumberBase);
  rows_[r].par1->setText(Q(entry.text));
  step.Par1 = static_cast<uint8_t>(entry.stored);
  ShowStepRow(r);
}

void DeviceConfigTab::CommitPar2(int r) {
  StepRecord& step = StepAt(r);
  ParameterEntry entry = InstructionSet::CommitPar2(step.Instruction, S(rows_[r].par2->text()));
  rows_[r].par2->setText(Q(entry.text));
  step.Par2 = static_cast<uint8_t>(entry.stored);
  ShowStepRow(r);
}

void DeviceConfigTab::CommitPar3(int r) {
  StepRecord& step = StepAt(r);
  ParameterEntry entry = InstructionSet::CommitPar3(S(rows_[r].par3->text()));
  rows_[r].par3->setText(Q(entry.text));
  step.Par3 = static_cast<uint8_t>(entry.stored);
  ShowStepRow(r);
}

void DeviceConfigTab::CommitPendingEdits() {
  if (!context_.Idle()) return;
  pin_config_editor_->CommitPendingEdits();
  for (int r = 0; r < 9; ++r) {
    if (rows_[r].par0->isHidden()) continue;
    CommitPar0(r);
    CommitPar1(r);
    CommitPar2(r);
    CommitPar3(r);
  }
  if (!aspect_box_->isHidden()) CommitAspect();
}

// ---- spinners ----

void DeviceConfigTab::OnPinSpin() {
  // The edits still belong to the pin being left; CurrentPin changes only in CommitPin.
  CommitPendingEdits();
  CommitPin();
}

void DeviceConfigTab::OnAspectSpin(int value) {
  for (int r = 0; r < 9; ++r) {
    if (rows_[r].par0->isHidden()) continue;
    CommitPar0(r);
    CommitPar1(r);
    CommitPar2(r);
    CommitPar3(r);
  }
  Config().CurrentAspect = value;
  ShowPin();
  ShowAddressCounts();
}

// ---- rows ----

void DeviceConfigTab::OnInstructionChosen(int r, int index) {
  StepAt(r).Instruction = static_cast<uint8_t>(rows_[r].instruction->itemData(index).toInt());
  // The parameters mean something else now; show what the step holds.
  ShowParameterTexts(r);
  ShowStepRow(r);
}

void DeviceConfigTab::OnParameterDoubleClicked(int r, int box) {
  const InstructionRecord& record = context_.Instructions()[StepAt(r).Instruction];
  const HelpBox which = box == 1   ? HelpBox::kPar1
                        : box == 2 ? HelpBox::kPar2
                        : box == 3 ? HelpBox::kPar3
                                   : HelpBox::kTime;
  switch (ToolForBox(record.HelpTool, which)) {
    case HelpToolKind::kTime:
      OpenTimeTool(r);
      return;
    case HelpToolKind::kPattern:
      OpenPatternTool(r, record.HelpTool);
      return;
    case HelpToolKind::kEventMap:
      OpenEventMapTool(r);
      return;
    case HelpToolKind::kLevel:
      OpenLevelTool(r);
      return;
    case HelpToolKind::kNone:
      break;
  }
  context_.Dialogs().Message(kHelpToolNotAvailable);
}

TimeToolDialog& DeviceConfigTab::TimeTool() {
  if (!time_tool_) time_tool_ = new TimeToolDialog(this);
  return *time_tool_;
}

PatternToolDialog& DeviceConfigTab::PatternTool() {
  if (!pattern_tool_) pattern_tool_ = new PatternToolDialog(this);
  return *pattern_tool_;
}

EventMapToolDialog& DeviceConfigTab::EventMapTool() {
  if (!event_map_tool_) event_map_tool_ = new EventMapToolDialog(this);
  return *event_map_tool_;
}

LevelToolDialog& DeviceConfigTab::LevelTool() {
  if (!level_tool_) level_tool_ = new LevelToolDialog(this);
  return *level_tool_;
}

void DeviceConfigTab::OpenTimeTool(int r) {
  TimeToolDialog& tool = TimeTool();
  // Cancel has put back what the dialog opened with, so the row stays as it is.
  if (!tool.Open(rows_[r].par3->text(), RoundHalfEven(NumericValue(S(rows_[r].par2->text())))))
    return;
  // The result goes back through the boxes' own rules, which store it and show the row.
  rows_[r].par3->setText(tool.BaseText());
  rows_[r].par2->setText(QString::number(tool.TimeValue()));
  CommitPar2(r);
  CommitPar3(r);
}

void DeviceConfigTab::OpenPatternTool(int r, int bits) {
  PatternToolDialog& tool = PatternTool();
  if (!tool.Open(rows_[r].par1->text(), bits)) return;
  rows_[r].par1->setText(tool.ParameterText());
  CommitPar1(r);
}

void DeviceConfigTab::OpenEventMapTool(int r) {
  EventMapToolDialog& tool = EventMapTool();
  if (!tool.Open(rows_[r].par1->text())) return;
  rows_[r].par1->setText(tool.ParameterText());
  CommitPar1(r);
}

void DeviceConfigTab::OpenLevelTool(int r) {
  LevelToolDialog& tool = LevelTool();
  if (!tool.Open(rows_[r].par1->text())) return;
  rows_[r].par1->setText(tool.ParameterText());
  CommitPar1(r);
}

// ---- clipboard dialogs ----

void DeviceConfigTab::OpenPinDialog() {
  if (!pin_dialog_) pin_dialog_ = new EditPinDialog(Config(), context_.Dialogs(), this);
  pin_dialog_->Open();
  // A pasted or cleared pin may bring other address counts; the displays follow them.
  Config().ComputeAllStarts();
  context_.RefreshAddressDisplays();
  ShowPin();
  ShowAddressCounts();
  ShowPinConfig();
}

void DeviceConfigTab::OpenAspectDialog() {
  if (!aspect_dialog_) aspect_dialog_ = new EditAspectDialog(Config(), context_.Dialogs(), this);
  aspect_dialog_->Open();
  ShowPin();
  ShowAddressCounts();
}

void DeviceConfigTab::OpenStepDialog(int r) {
  Config().SelectedStepRow = r;
  if (!step_dialog_) step_dialog_ = new EditStepDialog(Config(), this);
  step_dialog_->Open();
  ShowPin();
  ShowAddressCounts();
}

// ---- devices and test ----

void DeviceConfigTab::OnLoadDevice() {
  RefreshingObserver observer(context_);
  library_.LoadDevice(Config(), S(device_list_->currentText()), device_list_->currentIndex(),
                      context_.Dialogs(), &observer);
}

void DeviceConfigTab::OnReloadDevices(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
  if (button != Qt::LeftButton) return;
  const bool append = modifiers == Qt::ShiftModifier;
  library_.Reload(append, context_.Dialogs());
  ShowDeviceLibrary();
}

void DeviceConfigTab::OnSaveDevice() {
  SaveDeviceCommand(Config(), context_.Dialogs());
}

void DeviceConfigTab::OnTest(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
  if (button != Qt::LeftButton) return;
  TestModifiers keys;
  keys.shift = modifiers.testFlag(Qt::ShiftModifier);
  keys.control = modifiers.testFlag(Qt::ControlModifier);
  keys.alt = modifiers.testFlag(Qt::AltModifier);
  context_.RunOnBoard("Test", [keys](Session& session) { TestAspect(session, keys); });
}

}  // namespace vela::ui
