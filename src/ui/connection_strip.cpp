#include "ui/connection_strip.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "link/qt/qt_serial_port.h"
#include "link/station_procedures.h"
#include "model/general_rules.h"
#include "ui/edit_controls.h"
#include "ui/editor_widgets.h"
#include "ui/text_convert.h"
#include "vela_version.h"

namespace vela::ui {
namespace {

constexpr const char* kXAddressWarning =
    "eXtended Addressing is intended for\r\nexperienced users only!";

// "ttyUSB0 — FTDI FT232R USB UART (A50285BI)": the name, then whatever the platform tells
// of the adapter.
QString PortText(const PortInfo& port) {
  QString detail = Q(port.description);
  if (!port.manufacturer.empty() && !detail.contains(Q(port.manufacturer))) {
    detail = (Q(port.manufacturer) + " " + detail).trimmed();
  }
  if (!port.serial_number.empty()) detail = (detail + " (" + Q(port.serial_number) + ")").trimmed();
  const QString base = QFileInfo(Q(port.system_name)).fileName();
  return detail.isEmpty() ? base : base + QString::fromUtf8(" \u2014 ") + detail;
}

}  // namespace

void PortList::showPopup() {
  emit aboutToDropDown();
  QComboBox::showPopup();
}

ConnectionStrip::ConnectionStrip(WindowContext& context, std::vector<std::string> extra_ports,
                                 std::function<std::vector<PortInfo>()> list_ports, QWidget* parent)
    : QWidget(parent),
      context_(context),
      extra_ports_(std::move(extra_ports)),
      list_ports_(std::move(list_ports)) {
  auto* rows = new QVBoxLayout(this);
  rows->setContentsMargins(0, 0, 0, 0);
  auto* row = new QHBoxLayout;
  auto* second = new QHBoxLayout;
  rows->addLayout(row);
  rows->addLayout(second);
  BuildPortFields(row);
  BuildAddressFields(row);
  BuildLinkOptions(row, second);
  // The strip shows the link, whose settings the general reads and every job may change.
  for (auto signal :
       {&ModelEvents::linkChanged, &ModelEvents::generalChanged, &ModelEvents::numberingChanged}) {
    connect(&context_.Events(), signal, this, &ConnectionStrip::ShowConnection);
  }
  ListPorts();
}

// The port list with its state and Refresh, and the bit rate frame shown on demand.
void ConnectionStrip::BuildPortFields(QHBoxLayout* row) {
  port_label_ = new ClickLabel("LabelPort", "Port:", this);
  port_label_->setToolTip("Double-click to show or hide the bit rate");
  port_list_ = new PortList(this);
  port_list_->setObjectName("ComboPort");
  port_list_->setEditable(true);
  port_list_->setInsertPolicy(QComboBox::NoInsert);
  port_list_->setMinimumContentsLength(24);
  port_list_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  port_list_->lineEdit()->setPlaceholderText("choose or type a port");
  port_list_->setToolTip("Choose a port to open it, or type a device path and press Return");
  port_label_->setBuddy(port_list_);
  port_state_ = new QLabel("closed", this);
  port_state_->setObjectName("LabelPortState");
  auto* refresh = MakeButton("cmdRefreshComm", "Refresh", this);
  row->addWidget(port_label_);
  row->addWidget(port_list_);
  row->addWidget(port_state_);
  row->addWidget(refresh);

  bitrate_frame_ = new QGroupBox("Bitrate", this);
  bitrate_frame_->setObjectName("FrameBitrate");
  auto* rates = new QHBoxLayout(bitrate_frame_);
  rates->setContentsMargins(6, 0, 6, 0);
  auto* rate_group = new QButtonGroup(bitrate_frame_);
  const char* const kRates[] = {"  9k6", "19k2", "38k4"};
  for (int i = 0; i < 3; ++i) {
    bitrate_[i] = new QRadioButton(kRates[i], bitrate_frame_);
    bitrate_[i]->setObjectName(QString("OptionBitRate_%1").arg(i));
    rate_group->addButton(bitrate_[i], i);
    rates->addWidget(bitrate_[i]);
  }
  bitrate_[kDefaultBitRateIndex]->setChecked(true);
  bitrate_frame_->setVisible(false);
  row->addWidget(bitrate_frame_);

  // Port, refresh and bit rate run as board jobs, which wait for the worker themselves.
  connect(port_label_, &ClickLabel::doubleClicked, this,
          [this] { bitrate_frame_->setVisible(bitrate_frame_->isHidden()); });
  connect(port_list_, &QComboBox::activated, this,
          [this](int index) { ChoosePort(PortNameOf(index)); });
  connect(port_list_->lineEdit(), &QLineEdit::returnPressed, this, [this] {
    const QString text = port_list_->currentText().trimmed();
    const int index = port_list_->findText(text);
    ChoosePort(index >= 0 ? PortNameOf(index) : S(text));
  });
  // A port plugged in since shows when the list drops down; the port chosen stays so.
  connect(port_list_, &PortList::aboutToDropDown, this, &ConnectionStrip::ListPorts);
  connect(refresh, &QPushButton::clicked, this, &ConnectionStrip::OnRefreshPorts);
  connect(rate_group, &QButtonGroup::idClicked, this, &ConnectionStrip::ChooseBitRate);
}

// The module address and the extended address with its check.
void ConnectionStrip::BuildAddressFields(QHBoxLayout* row) {
  row->addSpacing(12);
  address_label_ = new QLabel("Module Address", this);
  address_label_->setObjectName("LabelAddress");
  address_box_ = MakeBox("TextAddress", "1", this, 2);
  address_spin_ = MakeUpDown("UpDownAddress", address_box_, 1, 16, this);
  address_label_->setBuddy(address_box_);
  auto* address = new QHBoxLayout;
  address->setSpacing(0);
  address->addWidget(address_box_);
  address->addWidget(address_spin_);
  row->addWidget(address_label_);
  row->addLayout(address);
  xaddress_check_ = new QCheckBox("Use eXtended Addr", this);
  xaddress_check_->setObjectName("CheckXaddress");
  row->addWidget(xaddress_check_);
  xaddress_label_ = new QLabel("eXtended address", this);
  xaddress_label_->setObjectName("LabelXaddress");
  xaddress_box_ = MakeBox("txtXaddr", "1", this, 2);
  xaddress_spin_ = MakeUpDown("UpDownXaddr", xaddress_box_, 1, 96, this);
  xaddress_label_->setBuddy(xaddress_box_);
  auto* xaddress = new QHBoxLayout;
  xaddress->setSpacing(0);
  xaddress->addWidget(xaddress_box_);
  xaddress->addWidget(xaddress_spin_);
  row->addWidget(xaddress_label_);
  row->addLayout(xaddress);
  for (QWidget* w :
       std::initializer_list<QWidget*>{xaddress_label_, xaddress_box_, xaddress_spin_}) {
    w->setVisible(false);
  }

  ConnectInput(context_, address_box_, &CommitLineEdit::committed, this,
               &ConnectionStrip::CommitModuleAddress);
  ConnectInput(context_, address_spin_, &UpDown::valueChanged, this, [this](int value) {
    Link().SetModuleAddress(value - NumberBase());
    context_.AddressesChanged();
  });
  ConnectInput(context_, xaddress_check_, &QCheckBox::clicked, this,
               &ConnectionStrip::OnXAddressChecked);
  ConnectInput(context_, xaddress_box_, &CommitLineEdit::committed, this,
               &ConnectionStrip::CommitXAddress);
  ConnectInput(context_, xaddress_spin_, &UpDown::valueChanged, this, [this](int value) {
    Link().ModuleXAddress = value - NumberBase();
    context_.AddressesChanged();
  });
}

// Bidirectional, Corsan, transparent mode, the release label and the numbering check.
void ConnectionStrip::BuildLinkOptions(QHBoxLayout* row, QHBoxLayout* second) {
  row->addSpacing(12);
  bidirectional_ = new QCheckBox("Bidirectional Comm.", this);
  bidirectional_->setObjectName("CheckVelaBD");
  bidirectional_->setChecked(true);
  corsan_ = new QCheckBox("Use Corsan Tunneling", this);
  corsan_->setObjectName("CheckCorsan");
  transparent_ = MakeButton("cmdSetTM", "Activate Transparent Mode", this);
  transparent_->setToolTip("Switch HB-X or Zeto in Transparant Mode for Vela Configuration");
  row->addStretch();
  release_ = new ClickLabel("Release", QString("Release ") + vela::kVersion, this);
  release_->setToolTip("Double-click for the communication log");
  row->addWidget(release_);
  second->addWidget(bidirectional_);
  second->addWidget(corsan_);
  second->addWidget(transparent_);
  second->addStretch();
  numbering_ = new QCheckBox("Start numbering at 1", this);
  numbering_->setObjectName("CheckKLnumber");
  numbering_->setChecked(true);
  second->addWidget(numbering_);

  ConnectInput(context_, bidirectional_, &QCheckBox::clicked, this,
               [this](bool checked) { Link().BidirectionalComm = checked; });
  connect(corsan_, &QCheckBox::clicked, this, &ConnectionStrip::OnCorsanChecked);
  connect(transparent_, &QPushButton::clicked, this, [this] {
    context_.RunOnBoard("Activate Transparent Mode",
                        [](Session& session) { ActivateTransparentMode(session.link); });
  });
  ConnectInput(context_, numbering_, &QCheckBox::clicked, this, &ConnectionStrip::ApplyNumbering);
  ConnectInput(context_, release_, &ClickLabel::pressed, this, &ConnectionStrip::OnReleasePressed);
  connect(release_, &ClickLabel::doubleClicked, this, &ConnectionStrip::communicationLogRequested);
}

// ---- ports ----

void ConnectionStrip::ListPorts() {
  const int chosen = port_list_->currentIndex();
  const QString chosen_port = chosen >= 0 ? Q(PortNameOf(chosen)) : QString();
  const QString typed = port_list_->currentText();
  QSignalBlocker block(port_list_);
  port_list_->clear();
  for (const std::string& name : extra_ports_) port_list_->addItem(Q(name), Q(name));
  if (list_ports_) {
    for (const PortInfo& port : list_ports_())
      port_list_->addItem(PortText(port), Q(port.system_name));
  }
  // The drop-down as wide as its longest entry: the maker and serial number are its point.
  port_list_->view()->setMinimumWidth(port_list_->view()->sizeHintForColumn(0) +
                                      port_list_->view()->frameWidth() * 2);
  const int again = chosen_port.isEmpty() ? -1 : port_list_->findData(chosen_port);
  port_list_->setCurrentIndex(again);
  if (again < 0) port_list_->setEditText(typed);
}

bool ConnectionStrip::Lists(const std::string& name) const {
  return !name.empty() && port_list_->findData(Q(name)) >= 0;
}

void ConnectionStrip::Suggest(const std::string& name) {
  if (port_list_->currentIndex() < 0) port_list_->setEditText(Q(name));
}

std::string ConnectionStrip::PortNameOf(int index) const {
  if (index < 0) return {};
  const QVariant data = port_list_->itemData(index);
  return S(data.isValid() ? data.toString() : port_list_->itemText(index));
}

void ConnectionStrip::Start(const std::string& name, int bit_rate_index) {
  if (!name.empty()) {
    const int index = port_list_->findData(Q(name));
    if (index >= 0) {
      port_list_->setCurrentIndex(index);
    } else {
      port_list_->setEditText(Q(name));
    }
  }
  ChoosePort(name, bit_rate_index);
}

void ConnectionStrip::ChoosePort(const std::string& name, std::optional<int> bit_rate) {
  context_.RunOnBoard("Opening the port", [name, bit_rate](Session& session) {
    session.link.ClosePort();
    std::string error;
    // No port chosen yet: the rate is kept for the one chosen next.
    if (bit_rate && name.empty()) session.link.SetBitRate(*bit_rate, &error);
    if (name.empty()) return;
    if (!session.link.OpenPort(name, bit_rate.value_or(session.link.BitRateIndex()), &error)) {
      session.dialogs().Message("Cannot open " + name + ":" + kCrLf + error, MessageIcon::kError);
    }
  });
}

void ConnectionStrip::OnRefreshPorts() {
  context_.RunOnBoard(
      "Refresh", [](Session& session) { session.link.ForgetPort(); },
      [this] {
        port_list_->setCurrentIndex(-1);
        ListPorts();
      });
}

void ConnectionStrip::ChooseBitRate(int index) {
  context_.RunOnBoard("Bitrate", [index](Session& session) {
    std::string error;
    if (!session.link.SetBitRate(index, &error)) {
      session.dialogs().Message("Cannot open " + session.link.PortName() + ":" + kCrLf + error,
                                MessageIcon::kError);
    }
  });
}

// ---- addresses and options ----

void ConnectionStrip::CommitModuleAddress() {
  const ShownRange range = ModuleAddressRange(NumberBase(), Link().Tunnelling());
  AddressEntry entry = CommitAddressBox(S(address_box_->text()), range, NumberBase());
  if (address_box_->text() != Q(entry.text)) address_box_->setText(Q(entry.text));
  Link().SetModuleAddress(entry.address);
  context_.AddressesChanged();
}

void ConnectionStrip::CommitXAddress() {
  AddressEntry entry =
      CommitAddressBox(S(xaddress_box_->text()), XAddressRange(NumberBase()), NumberBase());
  if (xaddress_box_->text() != Q(entry.text)) xaddress_box_->setText(Q(entry.text));
  Link().ModuleXAddress = entry.address;
  context_.AddressesChanged();
}

void ConnectionStrip::OnXAddressChecked(bool checked) {
  if (checked && context_.Dialogs().Question(kXAddressWarning, QuestionButtons::kOkCancel,
                                             MessageIcon::kWarning) != Answer::kOk) {
    // Any answer but OK takes the check back, which is the unchecked case below.
    xaddress_check_->setChecked(false);
    checked = false;
  }
  Link().UseExtendedAddr = checked;
  ShowConnection();
  context_.AddressesChanged();
}

void ConnectionStrip::OnCorsanChecked(bool checked) {
  context_.RunOnBoard("Use Corsan Tunneling",
                      [checked](Session& session) { SetCorsanTunneling(session.link, checked); });
}

void ConnectionStrip::ApplyNumbering() {
  context_.Config().NumberBase = numbering_->isChecked() ? 1 : 0;
  context_.NumberingChanged();
}

std::string ConnectionStrip::ExpertModeHowTo() const {
  return "To enable it, choose View > Expert Mode\xE2\x80\xA6 or right-click \"" +
         release_->text().toStdString() + "\", and answer Yes to \"Expert Mode?\"";
}

void ConnectionStrip::OnReleasePressed(Qt::MouseButton button) {
  if (button == Qt::RightButton) AskExpertMode();
}

void ConnectionStrip::AskExpertMode() {
  context_.Config().ExpertMode =
      context_.Dialogs().Question("Expert Mode?", QuestionButtons::kYesNo,
                                  MessageIcon::kQuestion) == Answer::kYes;
  context_.ExpertModeChanged();
}

// ---- showing ----

void ConnectionStrip::ShowConnection() {
  BoardLink& link = Link();
  const int nb = NumberBase();
  bidirectional_->setChecked(link.BidirectionalComm);
  corsan_->setChecked(link.Tunnelling());
  transparent_->setVisible(TransparentModeOffered(link));
  const ShownRange range = ModuleAddressRange(nb, link.Tunnelling());
  address_spin_->setRange(range.min, range.max);
  address_box_->setText(QString::number(link.ModuleAddress + nb));
  const ShownRange xrange = XAddressRange(nb);
  xaddress_spin_->setRange(xrange.min, xrange.max);
  xaddress_box_->setText(QString::number(link.ModuleXAddress + nb));
  const bool x = link.UseExtendedAddr;
  xaddress_check_->setChecked(x);
  address_label_->setText(x ? "Channel Number" : "Module Address");
  for (QWidget* w :
       std::initializer_list<QWidget*>{xaddress_label_, xaddress_box_, xaddress_spin_}) {
    w->setVisible(x);
  }
  QSignalBlocker block(bitrate_[0]->group());
  bitrate_[std::clamp(link.BitRateIndex(), 0, 2)]->setChecked(true);
  ShowPortState();
}

void ConnectionStrip::ShowPortState() {
  const bool open = Link().IsLinkOpen();
  port_state_->setText(open ? "open" : "closed");
  port_state_->setToolTip(open ? Q("Port " + Link().PortName() + " is open")
                               : QString("No port is open"));
}

}  // namespace vela::ui
