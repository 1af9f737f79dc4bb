#include "ui/address_panel.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <utility>

#include "model/address_display.h"
#include "model/aspect_editor_rules.h"
#include "model/number_text.h"
#include "ui/edit_controls.h"
#include "ui/editor_widgets.h"
#include "ui/text_convert.h"

namespace vela::ui {
// One grid whose columns are sized from the fixed-pitch header; kept whole (a little over 80
// lines) because its parts share the font metrics and the column widths.
AddressPanel::AddressPanel(WindowContext& context, QWidget* parent)
    : QWidget(parent), context_(context) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 4, 0, 4);
  grid->setHorizontalSpacing(0);
  // The header's blanks line its three words up over the columns in a fixed-pitch font.
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  const QFontMetrics metrics(fixed);
  auto* header = new QLabel("Serial          B-DCC        X-DCC", this);
  header->setObjectName("lblSerial");
  header->setFont(fixed);
  count_label_ = new QLabel("Nr Of Addresses", this);
  count_label_->setObjectName("LabelPASPAdrCnt");

  kora_count_ = MakeBox("TextPaspKoran", "1", this, 1);
  kora_count_->setToolTip("Nr of Serial addresses assigned to Pin");
  kora_count_->setAccessibleName("Nr of Serial addresses");
  kora_count_spin_ = MakeUpDown("UpDownPaspKoran", kora_count_, 0, kMaxKoraCount, this);
  dcc_count_ = MakeBox("TextPaspDCCn", "1", this, 1);
  dcc_count_->setToolTip("Nr of DCC addresses assigned to Pin");
  dcc_count_->setAccessibleName("Nr of B-DCC addresses");
  dcc_count_spin_ = MakeUpDown("UpDownPaspDCCn", dcc_count_, 0, kMaxDccCount, this);
  xdcc_count_ = MakeBox("TextPAspXDCCn", "1", this, 1);
  xdcc_count_->setToolTip("Nr of extended DCC addresses assigned to Pin");
  xdcc_count_->setAccessibleName("Nr of X-DCC addresses");
  xdcc_count_spin_ = MakeUpDown("UpDownPaspXDCCn", xdcc_count_, 0, kMaxXDccCount, this);

  auto make_address = [&](const char* name) {
    auto* label = new QLabel("-", this);
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
    auto* row = TightRow();
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
  auto* address_heading = new QLabel("Address", this);
  address_heading->setObjectName("LabelPAspAddress");
  grid->addWidget(address_heading, 2, 0);
  grid->addWidget(serial_address_, 2, 1);
  grid->addWidget(dcc_address_, 2, 2);
  grid->addWidget(xdcc_address_, 2, 3);
  grid->addWidget(pin_address_, 3, 1);
  grid->setColumnStretch(4, 1);

  auto on_input = [this](auto* sender, auto signal, auto handler) {
    ConnectInput(context_, sender, signal, this, handler);
  };
  on_input(dcc_count_, &CommitLineEdit::committed, &AddressPanel::CommitDccCount);
  on_input(xdcc_count_, &CommitLineEdit::committed, &AddressPanel::CommitXDccCount);
  on_input(kora_count_, &CommitLineEdit::committed, &AddressPanel::CommitKoraCount);
  on_input(dcc_count_spin_, &UpDown::valueChanged, &AddressPanel::StoreDccCount);
  on_input(xdcc_count_spin_, &UpDown::valueChanged, &AddressPanel::StoreXDccCount);
  on_input(kora_count_spin_, &UpDown::valueChanged, &AddressPanel::StoreKoraCount);

  ModelEvents& events = context_.Events();
  connect(&events, &ModelEvents::pinChanged, this, &AddressPanel::ShowPin);
  connect(&events, &ModelEvents::addressesChanged, this, &AddressPanel::ShowPinAddresses);
  connect(&events, &ModelEvents::detailsShownChanged, this, &AddressPanel::ShowAddressCounts);
  connect(&events, &ModelEvents::expertModeChanged, this, &AddressPanel::ShowAddressCounts);
  ShowAddressCounts();
}

void AddressPanel::ShowPin() {
  const PinRecord& pin = Config().Current();
  dcc_count_->setText(QString::number(pin.DccCount));
  xdcc_count_->setText(QString::number(pin.XDccCount));
  kora_count_->setText(QString::number(pin.KoraCount));
  ShowAddressCounts();
}

void AddressPanel::ShowAddressCounts() {
  const bool details = context_.DetailsShown();
  bool any = false;
  for (auto [box, spin] : {std::pair<CommitLineEdit*, UpDown*>{dcc_count_, dcc_count_spin_},
                           {xdcc_count_, xdcc_count_spin_},
                           {kora_count_, kora_count_spin_}}) {
    const bool shown = CountBoxShown(S(box->text()), details);
    box->setVisible(shown);
    spin->setVisible(shown);
    any = any || shown;
  }
  count_label_->setVisible(any);
}

void AddressPanel::ShowPinAddresses() {
  const BoardConfig& config = Config();
  const BoardLink& link = context_.Link();
  dcc_address_->setText(Q(PinDccAddressText(config)));
  xdcc_address_->setText(Q(PinXDccAddressText(config)));
  KoraAddressTexts kora =
      PinKoraAddressTexts(config, {link.ModuleAddress, link.ModuleXAddress, link.UseExtendedAddr});
  serial_address_->setText(Q(kora.serial));
  pin_address_->setText(Q(kora.pin));
}

void AddressPanel::CommitDccCount() {
  BoxEntry entry = CommitBox(S(dcc_count_->text()), 0, kMaxDccCount);
  if (entry.clamped) dcc_count_->setText(Q(entry.text));
  StoreDccCount(entry.value);
}

void AddressPanel::CommitXDccCount() {
  BoxEntry entry = CommitBox(S(xdcc_count_->text()), 0, kMaxXDccCount);
  if (entry.clamped) xdcc_count_->setText(Q(entry.text));
  StoreXDccCount(entry.value);
}

void AddressPanel::CommitKoraCount() {
  BoxEntry entry = CommitBox(S(kora_count_->text()), 0, kMaxKoraCount);
  if (entry.clamped) kora_count_->setText(Q(entry.text));
  StoreKoraCount(entry.value);
}

void AddressPanel::StoreDccCount(int value) {
  Config().Current().DccCount = static_cast<uint8_t>(value);
  Config().ComputeDccStarts();
  context_.AddressesChanged();
}

void AddressPanel::StoreXDccCount(int value) {
  Config().Current().XDccCount = static_cast<uint8_t>(value);
  Config().ComputeXDccStarts();
  context_.AddressesChanged();
}

void AddressPanel::StoreKoraCount(int value) {
  Config().Current().KoraCount = static_cast<uint8_t>(value);
  Config().ComputeKoraStarts();
  context_.AddressesChanged();
}

}  // namespace vela::ui
