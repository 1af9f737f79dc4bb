#include "ui/general_tab.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpacerItem>
#include <QStyle>
#include <QVBoxLayout>

#include "model/address_display.h"
#include "model/general_rules.h"
#include "operations/general_commands.h"
#include "ui/edit_controls.h"
#include "ui/text_convert.h"

namespace vela::ui {
namespace {

QLabel* MakeLabel(const QString& name, const QString& caption, QWidget* parent) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(name);
  return label;
}

QCheckBox* MakeCheck(const QString& name, const QString& caption, QWidget* parent) {
  auto* check = new QCheckBox(caption, parent);
  check->setObjectName(name);
  return check;
}

QRadioButton* MakeOption(const QString& name, const QString& caption, QButtonGroup* group, int id,
                         QWidget* parent) {
  auto* option = new QRadioButton(caption, parent);
  option->setObjectName(name);
  group->addButton(option, id);
  return option;
}

QWidget* ButtonRow(QPushButton* read, QPushButton* write, QWidget* parent) {
  auto* row = new QWidget(parent);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addStretch();
  layout->addWidget(read);
  layout->addWidget(write);
  return row;
}

void SetChecked(QAbstractButton* button, bool checked) {
  QSignalBlocker block(button);
  button->setChecked(checked);
}

void SetText(QLineEdit* box, const QString& text) {
  if (box->text() == text) return;
  QSignalBlocker block(box);
  box->setText(text);
}

Qt::CheckState QtState(CheckState state) {
  switch (state) {
    case CheckState::kChecked:
      return Qt::Checked;
    case CheckState::kGrayed:
      return Qt::PartiallyChecked;
    default:
      return Qt::Unchecked;
  }
}

CheckState ModelState(Qt::CheckState state) {
  switch (state) {
    case Qt::Checked:
      return CheckState::kChecked;
    case Qt::PartiallyChecked:
      return CheckState::kGrayed;
    default:
      return CheckState::kUnchecked;
  }
}

void ShowRange(QLabel* label, const RangeLabel& range) {
  label->setText(Q(range.caption));
  if (range.colour == LabelColour::kUnchanged) return;
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, range.colour == LabelColour::kRed
                                             ? QColor(Qt::red)
                                             : label->palette().color(QPalette::ButtonText));
  label->setPalette(palette);
}

}  // namespace

GeneralTab::GeneralTab(WindowContext& context, QWidget* parent)
    : QWidget(parent), context_(context) {
  auto* layout = new QGridLayout(this);
  layout->addWidget(BuildIdFrame(), 0, 0);
  layout->addWidget(BuildDccFrame(), 1, 0);
  layout->addWidget(BuildAddressingFrame(), 2, 0);
  layout->addWidget(BuildLedFrame(), 0, 1, 2, 1);
  layout->addWidget(BuildHardwareFrame(), 2, 1);
  layout->addWidget(BuildSerialFrame(), 3, 0, 1, 2);

  auto* footer = new QHBoxLayout;
  QPushButton* erase = MakeButton("CommandGenEraseFlash", "Erase Flash");
  QPushButton* version = MakeButton("CommandGenVersion", "Request Version");
  connect(erase, &QPushButton::clicked, this, &GeneralTab::EraseFlash);
  ConnectBoardButton(version, GetVersion);
  footer->addWidget(erase);
  footer->addWidget(version);
  footer->addSpacing(16);
  footer->addWidget(MakeLabel("LabelGenVersion", "Firmware Version:", this));
  version_ = MakeLabel("LabelGenVersionString", "Unknown", this);
  footer->addWidget(version_);
  footer->addStretch();
  layout->addLayout(footer, 4, 0, 1, 2);
  layout->setRowStretch(5, 1);
  layout->setColumnStretch(0, 3);
  layout->setColumnStretch(1, 2);

  ModelEvents& events = context_.Events();
  connect(&events, &ModelEvents::generalChanged, this, &GeneralTab::Refresh);
  connect(&events, &ModelEvents::numberingChanged, this, &GeneralTab::Refresh);
  connect(&events, &ModelEvents::addressesChanged, this, &GeneralTab::ShowRangeLabels);
  Refresh();
}

QPushButton* GeneralTab::MakeButton(const QString& name, const QString& caption) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(name);
  return button;
}

void GeneralTab::EraseFlash() {
  context_.RunOnBoard("Erase Flash", [](Session& session) { EraseConfiguration(session); });
}

void GeneralTab::ConnectBoardButton(QPushButton* button, std::function<bool(Session&)> routine) {
  connect(button, &QPushButton::clicked, this, [this, button, routine] {
    context_.RunOnBoard(button->text(), [routine](Session& session) { routine(session); });
  });
}

QGroupBox* GeneralTab::BuildIdFrame() {
  auto* frame = new QGroupBox("ID String", this);
  frame->setObjectName("FrameGen_0");
  auto* layout = new QGridLayout(frame);
  QLabel* id_label = MakeLabel("LabelGenIDString", "ID String", frame);
  layout->addWidget(id_label, 0, 0);
  id_string_ = new QLineEdit(frame);
  id_string_->setObjectName("TextGenIDString");
  id_label->setBuddy(id_string_);
  layout->addWidget(id_string_, 0, 1);
  QPushButton* read = MakeButton("CommandGenIDRead", "Read String");
  QPushButton* write = MakeButton("CommandGenIDWrite", "Write String");
  layout->addWidget(ButtonRow(read, write, frame), 1, 0, 1, 2);
  ConnectBoardButton(read, ReadIdString);
  ConnectBoardButton(write, WriteIdString);
  ConnectInput(context_, id_string_, &QLineEdit::textEdited, this,
               [this](const QString& text) { context_.Config().General.IdString = S(text); });
  return frame;
}

QGroupBox* GeneralTab::BuildDccFrame() {
  auto* frame = new QGroupBox("DCC", this);
  frame->setObjectName("FrameGen_1");
  auto* layout = new QGridLayout(frame);

  QLabel* dcc_label = MakeLabel("LabelGenDCC_0", "Basic Decoder Addr", frame);
  layout->addWidget(dcc_label, 0, 0);
  dcc_address_ = MakeBox("TextGenDCCAddress", "1", frame);
  dcc_address_spin_ = MakeUpDown("UpDownGenDCCAddress", dcc_address_, 0, 510, frame);
  layout->addWidget(BoxWithSpin(dcc_address_, dcc_address_spin_, frame), 0, 1);
  LabelFor(dcc_label, dcc_address_);
  dcc_range_ = MakeLabel("LabelGenDCCOutput", "Output 1 .. 32", frame);
  layout->addWidget(dcc_range_, 0, 2);

  QLabel* xdcc_label = MakeLabel("LabelGenDCC_1", "Extended Dec. Addr", frame);
  layout->addWidget(xdcc_label, 1, 0);
  xdcc_address_ = MakeBox("TextGenXDCCAddress", "1", frame);
  xdcc_address_spin_ = MakeUpDown("UpDownGenXDCCAddress", xdcc_address_, 0, 2046, frame);
  layout->addWidget(BoxWithSpin(xdcc_address_, xdcc_address_spin_, frame), 1, 1);
  LabelFor(xdcc_label, xdcc_address_);
  xdcc_range_ = MakeLabel("LabelGenXDCCOutput", "Output 1 .. 32", frame);
  layout->addWidget(xdcc_range_, 1, 2);

  layout->addWidget(MakeLabel("LabelGenDCC_2", "Packet Retention", frame), 2, 0);
  auto* retention_row = new QHBoxLayout;
  auto* retention_group = new QButtonGroup(frame);
  for (int i = 0; i < 4; ++i) {
    retention_[i] = MakeOption(QString("OptGenDCC_PRP_%1").arg(i), kPacketRetentionTexts[i],
                               retention_group, i, frame);
    retention_row->addWidget(retention_[i]);
  }
  retention_row->addStretch();
  layout->addLayout(retention_row, 2, 1, 1, 2);

  packet_invert_ = MakeCheck("ChkGenDCC_BPSI", "Basic Packet State Invert", frame);
  allow_address0_ = MakeCheck("ChkGenDCCAllow0", "Allow Address 0", frame);
  layout->addWidget(packet_invert_, 3, 0, 1, 2);
  layout->addWidget(allow_address0_, 3, 2);

  QPushButton* read = MakeButton("CommandGenDCCRead", "Read Settings");
  QPushButton* write = MakeButton("CommandGenDCCWrite", "Write Settings");
  layout->addWidget(ButtonRow(read, write, frame), 4, 0, 1, 3);
  layout->setColumnStretch(2, 1);
  ConnectBoardButton(read, ReadDccSettings);
  ConnectBoardButton(write, WriteDccSettings);

  ConnectInput(context_, dcc_address_, &CommitLineEdit::committed, this,
               &GeneralTab::CommitDccAddress);
  ConnectInput(context_, dcc_address_spin_, &UpDown::valueChanged, this,
               &GeneralTab::CommitDccAddress);
  ConnectInput(context_, xdcc_address_, &CommitLineEdit::committed, this,
               &GeneralTab::CommitXDccAddress);
  ConnectInput(context_, xdcc_address_spin_, &UpDown::valueChanged, this,
               &GeneralTab::CommitXDccAddress);
  ConnectInput(context_, allow_address0_, &QCheckBox::clicked, this,
               &GeneralTab::OnAllowAddress0Clicked);
  ConnectInput(context_, retention_group, &QButtonGroup::idClicked, this,
               [this](int id) { context_.Config().General.PacketRetention = id; });
  ConnectInput(context_, packet_invert_, &QCheckBox::clicked, this, [this](bool checked) {
    context_.Config().General.BasicPacketStateInvert = checked;
  });
  return frame;
}

QGroupBox* GeneralTab::BuildAddressingFrame() {
  auto* frame = new QGroupBox("Serial Addressing Options", this);
  frame->setObjectName("FrameGen_2");
  auto* layout = new QGridLayout(frame);

  force_xa_ = MakeCheck("CheckGenForceXA", "Enforced eXtended Address", frame);
  vl_native_ = MakeCheck("CheckGenVLNative", "Native Vela Mode", frame);
  kr_addr_ = MakeCheck("CheckGenKRaddr", "Kora Flex-Addresss", frame);
  layout->addWidget(force_xa_, 0, 0);
  layout->addWidget(vl_native_, 0, 1);
  layout->addWidget(kr_addr_, 0, 2);

  xaddress_label_ = MakeLabel("LabelGenXA_1", "Module eXtended Address", frame);
  gen_xaddress_ = MakeBox("TextGenXaddr", "1", frame);
  gen_xaddress_spin_ = MakeUpDown("UpDownGenXaddr", gen_xaddress_, 1, 96, frame);
  layout->addWidget(xaddress_label_, 1, 0);
  layout->addWidget(BoxWithSpin(gen_xaddress_, gen_xaddress_spin_, frame), 1, 1);
  LabelFor(xaddress_label_, gen_xaddress_);

  auto* kora_row = new QHBoxLayout;
  kora_base_label_ = MakeLabel("LabelGenXA_4", "Start", frame);
  kora_base_ = MakeBox("TextGenKRaddr", "1", frame);
  kora_base_spin_ = MakeUpDown("UpDownGenKRaddr", nullptr, 0, 127, frame);
  kora_base_label_->setBuddy(kora_base_);
  kora_row->addWidget(kora_base_label_);
  kora_row->addSpacing(4);
  kora_row->addWidget(kora_base_);
  kora_row->addWidget(kora_base_spin_);
  kora_row->setSpacing(1);
  kora_row->addStretch();
  layout->addLayout(kora_row, 1, 2);

  group_mask_label_ = MakeLabel("LabelGenXA_2", "eXt Group Mask", frame);
  layout->addWidget(group_mask_label_, 2, 0);
  // The numbers above the sixteen mask boxes share their columns, so they line up.
  group_mask_numbers_ = new QWidget(frame);
  group_mask_numbers_->setObjectName("LabelGenXGMlbl");
  auto* mask = new QGridLayout(group_mask_numbers_);
  mask->setContentsMargins(0, 0, 0, 0);
  mask->setHorizontalSpacing(2);
  mask->setVerticalSpacing(0);
  for (int i = 0; i < 16; ++i) {
    auto* number = new QLabel(QString::number(i), group_mask_numbers_);
    number->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    mask->addWidget(number, 0, i, Qt::AlignHCenter);
    group_mask_[i] = MakeCheck(QString("CheckGenXGM_%1").arg(i), QString(), group_mask_numbers_);
    // The number above is the only caption; a screen reader needs the mask's name as well.
    group_mask_[i]->setAccessibleName(QString("eXt Group Mask %1").arg(i));
    group_mask_[i]->setToolTip(QString("eXtended group %1 in the mask").arg(i));
    mask->addWidget(group_mask_[i], 1, i, Qt::AlignHCenter);
    ConnectInput(context_, group_mask_[i], &QCheckBox::clicked, this,
                 [this, i](bool checked) { context_.Config().General.XGM[i] = checked; });
  }
  layout->addWidget(group_mask_numbers_, 3, 0, 1, 3, Qt::AlignLeft);

  QPushButton* read = MakeButton("CommandGenAddrRead", "Read Settings");
  QPushButton* write = MakeButton("CommandGenAddrWrite", "Write Settings");
  layout->addWidget(ButtonRow(read, write, frame), 4, 0, 1, 3);
  layout->setColumnStretch(2, 1);
  ConnectBoardButton(read, ReadAddressSettings);
  ConnectBoardButton(write, WriteAddressSettings);

  ConnectInput(context_, force_xa_, &QCheckBox::clicked, this, &GeneralTab::OnForceXAClicked);
  ConnectInput(context_, vl_native_, &QCheckBox::clicked, this, &GeneralTab::OnNativeClicked);
  ConnectInput(context_, kr_addr_, &QCheckBox::clicked, this, &GeneralTab::OnKoraFlexClicked);
  ConnectInput(context_, gen_xaddress_, &CommitLineEdit::committed, this,
               &GeneralTab::CommitGenXAddress);
  ConnectInput(context_, gen_xaddress_spin_, &UpDown::valueChanged, this,
               &GeneralTab::OnGenXAddressSpin);
  ConnectInput(context_, kora_base_, &CommitLineEdit::committed, this, &GeneralTab::CommitKoraBase);
  ConnectInput(context_, kora_base_spin_, &UpDown::stepped, this, &GeneralTab::OnKoraBaseStep);
  return frame;
}

QGroupBox* GeneralTab::BuildLedFrame() {
  auto* frame = new QGroupBox("LED Control", this);
  frame->setObjectName("FrameGen_3");
  auto* layout = new QGridLayout(frame);
  layout->addWidget(MakeLabel("LabelLC", "Green LED function          Orange LED function", frame),
                    0, 0, 1, 2);
  for (int k = 0; k < 8; ++k) {
    led_green_[k] = new LedCheckBox(kGreenLedCaptions[k], frame);
    led_green_[k]->setObjectName(QString("CheckLCGreen_%1").arg(k));
    led_orange_[k] = new LedCheckBox(kOrangeLedCaptions[k], frame);
    led_orange_[k]->setObjectName(QString("CheckLCOrange_%1").arg(k));
    layout->addWidget(led_green_[k], k + 1, 0);
    layout->addWidget(led_orange_[k], k + 1, 1);
    ConnectInput(context_, led_green_[k], &QCheckBox::clicked, this,
                 [this, k] { OnLedClicked(true, k); });
    ConnectInput(context_, led_orange_[k], &QCheckBox::clicked, this,
                 [this, k] { OnLedClicked(false, k); });
  }
  QPushButton* read = MakeButton("CommandLCRead", "Read Settings");
  QPushButton* write = MakeButton("CommandLCWrite", "Write Settings");
  layout->addWidget(ButtonRow(read, write, frame), 9, 0, 1, 3);
  layout->setRowStretch(10, 1);
  // The two rows stay side by side under their caption however wide the frame gets.
  layout->setColumnStretch(2, 1);
  ConnectBoardButton(read, ReadLedConfig);
  ConnectBoardButton(write, WriteLedConfig);
  return frame;
}

QGroupBox* GeneralTab::BuildHardwareFrame() {
  auto* frame = new QGroupBox("Hardware Config", this);
  frame->setObjectName("FrameGen_4");
  auto* layout = new QVBoxLayout(frame);
  hardware_pins_ = MakeLabel("LabelGenHWCPin", Q(HardwareGroupsLabel(1)), frame);
  hardware_pins_->setIndent(0);
  layout->addWidget(hardware_pins_);
  // The boxes stand under the pin ranges of the header, so each row is spaced by the header's
  // own text; the row captions follow the boxes.
  for (int row = 0; row < 2; ++row) {
    auto* line = new QHBoxLayout;
    line->setSpacing(0);
    for (int i = 0; i < 4; ++i) {
      hardware_gaps_[row][i] = new QSpacerItem(0, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
      line->addSpacerItem(hardware_gaps_[row][i]);
      QCheckBox* check = MakeCheck(
          QString(row == 0 ? "ChkGenHWCSink_%1" : "ChkGenHWCSource_%1").arg(i), QString(), frame);
      (row == 0 ? sink_ : source_)[i] = check;
      line->addWidget(check);
      ConnectInput(context_, check, &QCheckBox::clicked, this, &GeneralTab::OnHardwareClicked);
    }
    line->addSpacing(16);
    line->addWidget(MakeLabel(QString("LabelGenHWC_%1").arg(row),
                              row == 0 ? "Sink Driver" : "Source Driver", frame));
    line->addStretch();
    layout->addLayout(line);
  }
  QPushButton* read = MakeButton("CommandGenHWCRead", "Read Config");
  QPushButton* write = MakeButton("CommandGenHWCWrite", "Write Config");
  layout->addWidget(ButtonRow(read, write, frame));
  layout->addStretch();
  ConnectBoardButton(read, ReadHardwareConfig);
  ConnectBoardButton(write, WriteHardwareConfig);
  return frame;
}

void GeneralTab::AlignHardwareRows() {
  const QString header = hardware_pins_->text();
  const QFontMetrics metrics(hardware_pins_->font());
  const int box = sink_[0]->sizeHint().width();
  const int indicator =
      sink_[0]->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, sink_[0]);
  // Each range is the run of characters after "Pin" that is not blank.
  int from = header.indexOf(' ');
  int used = 0;
  for (int i = 0; i < 4; ++i) {
    while (from < header.size() && header[from] == ' ') ++from;
    int to = header.indexOf(' ', from);
    if (to < 0) to = header.size();
    const int centre = metrics.horizontalAdvance(header.left(from)) +
                       metrics.horizontalAdvance(header.mid(from, to - from)) / 2;
    const int gap = std::max(0, centre - indicator / 2 - used);
    for (int row = 0; row < 2; ++row) {
      hardware_gaps_[row][i]->changeSize(gap, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
    }
    used += gap + box;
    from = to;
  }
  if (QLayout* layout = hardware_pins_->parentWidget()->layout()) layout->invalidate();
}

QGroupBox* GeneralTab::BuildSerialFrame() {
  auto* frame = new QGroupBox("Serial Port", this);
  frame->setObjectName("FrameGen_5");
  auto* layout = new QHBoxLayout(frame);

  serial_enable_ = MakeCheck("CheckGenSerialEnable", "Enable", frame);
  layout->addWidget(serial_enable_);
  layout->addSpacing(12);
  layout->addWidget(MakeLabel("LabelGenBaud", "Baudrate", frame));
  baud_ = new QComboBox(frame);
  baud_->setObjectName("ComboGenBaud");
  for (const char* text : kBaudTexts) baud_->addItem(text);
  layout->addWidget(baud_);
  layout->addSpacing(12);

  layout->addWidget(MakeLabel("LabelGenSerial_0", "Parity", frame));
  parity_ = new QButtonGroup(frame);
  layout->addWidget(MakeOption("OptionGenSerialParity_0", ParityText(0), parity_, 0, frame));
  layout->addWidget(MakeOption("OptionGenSerialParity_2", ParityText(2), parity_, 2, frame));
  layout->addWidget(MakeOption("OptionGenSerialParity_3", ParityText(3), parity_, 3, frame));
  layout->addSpacing(12);

  layout->addWidget(MakeLabel("LabelGenSerial_1", "Bits", frame));
  data_bits_ = new QButtonGroup(frame);
  layout->addWidget(
      MakeOption("OptionGenSerialDatabits_0", kDataBitsTexts[0], data_bits_, 0, frame));
  layout->addWidget(
      MakeOption("OptionGenSerialDatabits_1", kDataBitsTexts[1], data_bits_, 1, frame));
  layout->addSpacing(12);

  layout->addWidget(MakeLabel("LabelGenSerial_2", "Stop", frame));
  stop_bits_ = new QButtonGroup(frame);
  layout->addWidget(MakeOption("OptionGenSerialStop_0", kStopBitsTexts[0], stop_bits_, 0, frame));
  layout->addWidget(MakeOption("OptionGenSerialStop_1", kStopBitsTexts[1], stop_bits_, 1, frame));
  layout->addStretch();

  QPushButton* read = MakeButton("CommandGenSerialRead", "Read Settings");
  QPushButton* write = MakeButton("CommandGenSerialWrite", "Write Settings");
  layout->addWidget(read);
  layout->addWidget(write);
  ConnectBoardButton(read, ReadSerialPortConfig);
  ConnectBoardButton(write, WriteSerialPortConfig);

  ConnectInput(context_, serial_enable_, &QCheckBox::clicked, this,
               [this](bool checked) { context_.Config().General.SerialEnable = checked; });
  ConnectInput(context_, baud_, &QComboBox::activated, this,
               [this](int index) { context_.Config().General.BaudIndex = index; });
  ConnectInput(context_, parity_, &QButtonGroup::idClicked, this,
               [this](int id) { context_.Config().General.ParityIndex = id; });
  ConnectInput(context_, data_bits_, &QButtonGroup::idClicked, this,
               [this](int id) { context_.Config().General.DataBitsIndex = id; });
  ConnectInput(context_, stop_bits_, &QButtonGroup::idClicked, this,
               [this](int id) { context_.Config().General.StopIndex = id; });
  return frame;
}

void GeneralTab::Refresh() {
  const BoardConfig& config = context_.Config();
  const GeneralSettings& g = config.General;
  const int nb = config.NumberBase;

  SetText(id_string_, Q(g.IdString));

  SetText(dcc_address_, QString::number(g.DccAddress));
  SetText(xdcc_address_, QString::number(g.XDccAddress));
  for (int i = 0; i < 4; ++i) SetChecked(retention_[i], g.PacketRetention == i);
  SetChecked(packet_invert_, g.BasicPacketStateInvert);
  SetChecked(allow_address0_, g.AllowAddress0);
  ShowRangeLabels();

  SetChecked(force_xa_, g.ForceXA);
  SetChecked(vl_native_, g.VLNative);
  SetChecked(kr_addr_, g.KRaddr);
  ShownRange xrange = XAddressRange(nb);
  gen_xaddress_spin_->setRange(xrange.min, xrange.max);
  SetText(gen_xaddress_, QString::number(g.GenXAddress + nb));
  SetText(kora_base_, Q(KoraBaseText(g.KoraFlexAddress, nb)));
  for (int i = 0; i < 16; ++i) SetChecked(group_mask_[i], g.XGM[i]);
  ShowAddressingVisibility();

  ShowLedRows();

  hardware_pins_->setText(Q(HardwareGroupsLabel(nb)));
  AlignHardwareRows();
  for (int i = 0; i < 4; ++i) {
    SetChecked(sink_[i], g.HwcSink[i]);
    SetChecked(source_[i], g.HwcSource[i]);
  }

  SetChecked(serial_enable_, g.SerialEnable);
  {
    QSignalBlocker block(baud_);
    baud_->setCurrentIndex(std::clamp(g.BaudIndex, 0, 7));
  }
  // A parity field the options cannot show leaves them as they are.
  if (QAbstractButton* parity = parity_->button(g.ParityIndex)) SetChecked(parity, true);
  if (QAbstractButton* bits = data_bits_->button(g.DataBitsIndex)) SetChecked(bits, true);
  if (QAbstractButton* stop = stop_bits_->button(g.StopIndex)) SetChecked(stop, true);

  version_->setText(Q(g.VersionText));
}

void GeneralTab::ShowRangeLabels() {
  const BoardConfig& config = context_.Config();
  ShowRange(dcc_range_, DccRangeLabel(config));
  ShowRange(xdcc_range_, XDccRangeLabel(config));
}

void GeneralTab::ShowAddressingVisibility() {
  SerialAddressingVisibility v = VisibilityOf(context_.Config().General);
  vl_native_->setVisible(v.vl_native);
  kr_addr_->setVisible(v.kr_addr);
  kora_base_label_->setVisible(v.kora_base);
  kora_base_->setVisible(v.kora_base);
  kora_base_spin_->setVisible(v.kora_base);
  xaddress_label_->setVisible(v.xaddress);
  gen_xaddress_->setVisible(v.xaddress);
  gen_xaddress_spin_->setVisible(v.xaddress);
  group_mask_label_->setVisible(v.group_mask);
  group_mask_numbers_->setVisible(v.group_mask);
}

void GeneralTab::ShowLedRows() {
  const GeneralSettings& g = context_.Config().General;
  for (int k = 0; k < 8; ++k) {
    QSignalBlocker green(led_green_[k]);
    QSignalBlocker orange(led_orange_[k]);
    led_green_[k]->setCheckState(QtState(g.LedGreen[k]));
    led_orange_[k]->setCheckState(QtState(g.LedOrange[k]));
  }
}

void GeneralTab::CommitDccAddress() {
  BoxEntry entry = vela::CommitDccAddress(context_.Config().General, S(dcc_address_->text()));
  SetText(dcc_address_, Q(entry.text));
  ShowRangeLabels();
  context_.AddressesChanged();
}

void GeneralTab::CommitXDccAddress() {
  BoxEntry entry = vela::CommitXDccAddress(context_.Config().General, S(xdcc_address_->text()));
  SetText(xdcc_address_, Q(entry.text));
  ShowRangeLabels();
  context_.AddressesChanged();
}

void GeneralTab::OnAllowAddress0Clicked(bool checked) {
  context_.Config().General.AllowAddress0 = checked;
  CommitDccAddress();
  CommitXDccAddress();
}

void GeneralTab::CommitGenXAddress() {
  const int nb = context_.Config().NumberBase;
  AddressEntry entry = CommitAddressBox(S(gen_xaddress_->text()), XAddressRange(nb), nb);
  context_.Config().General.GenXAddress = entry.address;
  SetText(gen_xaddress_, Q(entry.text));
}

void GeneralTab::OnGenXAddressSpin() {
  // The spinner's own range keeps the text within the box's limits.
  const int nb = context_.Config().NumberBase;
  context_.Config().General.GenXAddress =
      RoundHalfEven(NumericValue(S(gen_xaddress_->text()))) - nb;
}

void GeneralTab::CommitKoraBase() {
  BoardConfig& config = context_.Config();
  AddressEntry entry = vela::CommitKoraBase(S(kora_base_->text()), config.NumberBase);
  config.General.KoraFlexAddress = entry.address;
  SetText(kora_base_, Q(entry.text));
  context_.AddressesChanged();
}

void GeneralTab::OnKoraBaseStep(int delta) {
  BoardConfig& config = context_.Config();
  config.General.KoraFlexAddress = StepKoraFlexAddress(config.General.KoraFlexAddress, delta);
  SetText(kora_base_, Q(KoraBaseText(config.General.KoraFlexAddress, config.NumberBase)));
  context_.AddressesChanged();
}

void GeneralTab::OnKoraFlexClicked(bool checked) {
  GeneralSettings& g = context_.Config().General;
  g.KRaddr = checked;
  if (checked) {
    std::string text = std::string("Kora Flexible Addressing is a complex concept !!") + kCrLf +
                       "It should only be activated by experienced users" + kCrLf +
                       "that understand the details very well !";
    if (context_.Dialogs().Question(text, QuestionButtons::kOkCancel, MessageIcon::kWarning) !=
        Answer::kOk) {
      g.KRaddr = false;
    }
  }
  SetChecked(kr_addr_, g.KRaddr);
  ShowAddressingVisibility();
  context_.PinChanged();
  context_.AddressesChanged();
}

void GeneralTab::OnNativeClicked(bool checked) {
  context_.Config().General.VLNative = checked;
  ShowAddressingVisibility();
  context_.PinChanged();
  context_.AddressesChanged();
}

void GeneralTab::OnForceXAClicked(bool checked) {
  context_.Config().General.ForceXA = checked;
  ShowAddressingVisibility();
}

void GeneralTab::OnLedClicked(bool green, int box) {
  GeneralSettings& g = context_.Config().General;
  auto& row = green ? g.LedGreen : g.LedOrange;
  auto& boxes = green ? led_green_ : led_orange_;
  row[box] = ModelState(boxes[box]->checkState());
  ClickLedBox(row, box);
  ShowLedRows();
}

void GeneralTab::OnHardwareClicked() {
  GeneralSettings& g = context_.Config().General;
  for (int i = 0; i < 4; ++i) {
    g.HwcSink[i] = sink_[i]->isChecked();
    g.HwcSource[i] = source_[i]->isChecked();
  }
  context_.PinConfigChanged();
}

}  // namespace vela::ui
