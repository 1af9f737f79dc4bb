#include "ui/aspect_panel.h"

#include <QAction>
#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "model/aspect_editor_rules.h"
#include "ui/clipboard_dialogs.h"
#include "ui/edit_controls.h"
#include "ui/editor_widgets.h"
#include "ui/text_convert.h"

namespace vela::ui {
AspectPanel::AspectPanel(WindowContext& context, QGridLayout* grid, int row, QWidget* area)
    : QObject(area), context_(context), area_(area) {
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
  grid->addLayout(modes_row, row, 0, 1, 2);

  aspect_label_ = new ClickLabel("LabelPAspAspect", "Aspect", area);
  aspect_label_->setToolTip(kCopyPasteToolTip);
  aspect_label_->setCursor(Qt::PointingHandCursor);
  aspect_box_ = MakeBox("TextPAspAspect", "0", area, 2);
  aspect_spin_ = MakeUpDown("UpDownPAspAspect", aspect_box_, 0, 11, area);
  aspect_label_->setBuddy(aspect_box_);
  auto* aspect_row = TightRow();
  aspect_row->addWidget(aspect_box_);
  aspect_row->addWidget(aspect_spin_);
  aspect_description_ = new QLineEdit(area);
  aspect_description_->setObjectName("TextPAspAspDesc");
  aspect_description_->setToolTip("Aspect description");
  aspect_description_->setAccessibleName("Aspect description");
  init_label_ = new QLabel("Init", area);
  init_label_->setObjectName("LabelPAspInit");
  init_box_ = MakeBox("TextPAspInit", "-1", area, 2);
  init_spin_ = MakeUpDown("UpDownPAspInit", init_box_, kNoInitialAspect, 11, area);
  init_box_->setToolTip("Initial aspect, -1 = none");
  init_label_->setBuddy(init_box_);
  auto* init_row = TightRow();
  init_row->addWidget(init_box_);
  init_row->addWidget(init_spin_);
  grid->addWidget(aspect_label_, row, 2, Qt::AlignRight);
  grid->addLayout(aspect_row, row, 3);
  grid->addWidget(aspect_description_, row, 4);
  grid->addWidget(init_label_, row, 5, Qt::AlignRight);
  grid->addLayout(init_row, row, 6);

  ConnectInput(context_, mode_options_, &QButtonGroup::idClicked, this,
               &AspectPanel::OnModeClicked);
  ConnectInput(context_, aspect_label_, &ClickLabel::clicked, this, &AspectPanel::OpenAspectDialog);
  // The label takes no focus; the box beside it carries the same entry for the keyboard.
  for (QWidget* holder : std::initializer_list<QWidget*>{aspect_box_, aspect_label_}) {
    ConnectInput(context_, AddMenuEntry(holder, "Edit Aspect (Copy/Paste/Clear)..."),
                 &QAction::triggered, this, &AspectPanel::OpenAspectDialog);
  }
  ConnectInput(context_, aspect_box_, &CommitLineEdit::committed, this, &AspectPanel::CommitAspect);
  ConnectInput(context_, aspect_spin_, &UpDown::valueChanged, this, &AspectPanel::OnAspectSpin);
  ConnectInput(context_, aspect_description_, &QLineEdit::textEdited, this,
               [this](const QString& text) {
                 Config().Current().Aspects[Config().CurrentAspect].Description = S(text);
               });
  ConnectInput(context_, init_box_, &CommitLineEdit::committed, this, &AspectPanel::CommitInit);
  ConnectInput(context_, init_spin_, &UpDown::valueChanged, this, [this](int value) {
    Config().Current().InitialAspect = static_cast<uint8_t>(value + 1);
  });

  ModelEvents& events = context_.Events();
  connect(&events, &ModelEvents::pinChanged, this, &AspectPanel::ShowPin);
  connect(&events, &ModelEvents::pinSelected, this, &AspectPanel::ShowAspectNumber);
  ShowAspectMode(0);
}

void AspectPanel::ShowPin() {
  const BoardConfig& config = Config();
  const PinRecord& pin = config.Current();
  aspect_description_->setText(Q(pin.Aspects[config.CurrentAspect].Description));
  init_box_->setText(QString::number(pin.InitialAspect - 1));
  const int option = OptionOfAspectMode(pin.AspectMode);
  mode_option_[option]->setChecked(true);
  ShowAspectMode(option);
}

void AspectPanel::ShowAspectNumber(bool aspect_taken) {
  if (aspect_taken) aspect_box_->setText(QString::number(Config().CurrentAspect));
}

void AspectPanel::ShowAspectMode(int option) {
  const AspectModeView view = ViewOfOption(option);
  for (QWidget* w :
       std::initializer_list<QWidget*>{aspect_label_, aspect_box_, aspect_spin_, init_label_,
                                       init_box_, init_spin_, aspect_description_}) {
    w->setVisible(view.aspect_controls);
  }
  if (view.upper_limit >= 0) {
    aspect_spin_->setRange(0, view.upper_limit);
    init_spin_->setRange(kNoInitialAspect, view.upper_limit);
  }
  if (option == 1) {
    aspect_box_->setText(Q(AspectTextForFourAspects(S(aspect_box_->text()))));
    init_box_->setText(Q(InitTextForFourAspects(S(init_box_->text()))));
  }
  // Showing a pin stores its mode as the options read it (an unknown mode reads as none).
  Config().Current().AspectMode = static_cast<uint8_t>(AspectModeOfOption(option));
}

void AspectPanel::OnModeClicked(int option) {
  ShowAspectMode(option);
  context_.AspectModeChanged();
}

void AspectPanel::CommitPendingEdits() {
  if (!aspect_box_->isHidden()) CommitAspect();
}

void AspectPanel::CommitAspect() {
  BoxEntry entry = CommitAspectBox(S(aspect_box_->text()), aspect_spin_->maximum());
  if (entry.clamped) aspect_box_->setText(Q(entry.text));
  Config().CurrentAspect = entry.value;
  context_.PinChanged();
}

void AspectPanel::CommitInit() {
  BoxEntry entry = CommitInitBox(S(init_box_->text()), init_spin_->maximum());
  if (entry.clamped) init_box_->setText(Q(entry.text));
  Config().Current().InitialAspect = static_cast<uint8_t>(entry.value + 1);
}

void AspectPanel::OnAspectSpin(int value) {
  emit aspectLeaving();
  Config().CurrentAspect = value;
  context_.PinChanged();
}

void AspectPanel::OpenAspectDialog() {
  if (!dialog_) dialog_ = new EditAspectDialog(Config(), context_.Dialogs(), area_);
  dialog_->Open();
  context_.PinChanged();
}

}  // namespace vela::ui
