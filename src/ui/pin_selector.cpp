#include "ui/pin_selector.h"

#include <QAction>
#include <QGridLayout>
#include <QLineEdit>

#include "model/aspect_editor_rules.h"
#include "ui/clipboard_dialogs.h"
#include "ui/edit_controls.h"
#include "ui/editor_widgets.h"

namespace vela::ui {

PinSelector::PinSelector(WindowContext& context, QGridLayout* grid, int row, QWidget* area)
    : QObject(area), context_(context), area_(area) {
  label_ = new ClickLabel("LabelPAspOutput", "Pin", area);
  label_->setToolTip(kCopyPasteToolTip);
  label_->setCursor(Qt::PointingHandCursor);
  box_ = MakeBox("TextPAspOutput", "1", area, 2);
  spin_ = MakeUpDown("UpDownPAspOutput", box_, 0, 31, area);
  label_->setBuddy(box_);
  auto* pin_row = TightRow();
  pin_row->addWidget(box_);
  pin_row->addWidget(spin_);
  description_ = new QLineEdit(area);
  description_->setObjectName("TextPAspDesc");
  description_->setToolTip("Pin description");
  description_->setAccessibleName("Pin description");
  grid->addWidget(label_, row, 0);
  grid->addLayout(pin_row, row, 1);
  grid->addWidget(description_, row, 2, 1, 5);

  ConnectInput(context_, label_, &ClickLabel::clicked, this, &PinSelector::OpenPinDialog);
  // The label takes no focus; the box beside it carries the same entry for the keyboard.
  for (QWidget* holder : std::initializer_list<QWidget*>{box_, label_}) {
    ConnectInput(context_, AddMenuEntry(holder, "Edit Pin (Copy/Paste/Clear)..."),
                 &QAction::triggered, this, &PinSelector::OpenPinDialog);
  }
  ConnectInput(context_, box_, &CommitLineEdit::committed, this, &PinSelector::CommitPin);
  ConnectInput(context_, spin_, &UpDown::valueChanged, this, &PinSelector::OnPinSpin);
  ConnectInput(context_, description_, &QLineEdit::textEdited, this, [this](const QString& text) {
    Config().Current().Description = text.toStdString();
  });

  ModelEvents& events = context_.Events();
  connect(&events, &ModelEvents::pinChanged, this, &PinSelector::ShowPin);
  connect(&events, &ModelEvents::numberingChanged, this, &PinSelector::ApplyNumbering);
  connect(&events, &ModelEvents::pinSelected, this, &PinSelector::ShowPinNumber);
  ApplyNumbering();
}

void PinSelector::ShowPin() {
  description_->setText(QString::fromStdString(Config().Current().Description));
}

void PinSelector::ShowPinNumber() {
  box_->setText(QString::number(Config().CurrentPin + Config().NumberBase));
}

void PinSelector::ApplyNumbering() {
  const BoardConfig& config = Config();
  spin_->setRange(config.NumberBase, config.NumberBase + kPinCount - 1);
  ShowPinNumber();
}

void PinSelector::CommitPin() {
  BoxEntry entry = CommitPinBox(box_->text().toStdString(), Config().NumberBase);
  if (entry.clamped) box_->setText(QString::fromStdString(entry.text));
  Config().CurrentPin = entry.value;
  context_.AddressesChanged();
  context_.PinChanged();
  context_.PinConfigChanged();
}

void PinSelector::OnPinSpin() {
  // The edits still belong to the pin being left; CurrentPin changes only in CommitPin.
  context_.CommitPendingEdits();
  CommitPin();
}

void PinSelector::OpenPinDialog() {
  if (!dialog_) dialog_ = new EditPinDialog(Config(), context_.Dialogs(), area_);
  dialog_->Open();
  // A pasted or cleared pin may bring other address counts; the displays follow them.
  Config().ComputeAllStarts();
  context_.AddressesChanged();
  context_.PinChanged();
  context_.PinConfigChanged();
}

}  // namespace vela::ui
