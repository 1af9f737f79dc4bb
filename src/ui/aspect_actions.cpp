#include "ui/aspect_actions.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>

#include "model/aspect_editor_rules.h"
#include "operations/output_commands.h"
#include "operations/pin_program_commands.h"
#include "ui/editor_widgets.h"

namespace vela::ui {

AspectActions::AspectActions(WindowContext& context, QWidget* parent)
    : QWidget(parent), context_(context) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 4, 0, 0);
  show_details_ = new QCheckBox("Show Details", this);
  show_details_->setObjectName("CheckPAspShowDetails");
  write_single_ = MakeButton("CommandPAspWriteAspect", "Write Single", this);
  read_aspects_ = MakeButton("CommandPAspReadPin", "Read Asp's", this);
  write_aspects_ = MakeButton("CommandPAspWritePin", "Write Asp's", this);
  test_ = new PressButton("CommandPAspTestAspect", "Test", this);
  test_->setToolTip("Alt + Click for Options");
  row->addWidget(show_details_);
  row->addWidget(write_single_);
  row->addWidget(read_aspects_);
  row->addWidget(write_aspects_);
  row->addWidget(test_);
  row->addStretch();

  // Showing details changes no model, so it is taken also while a job runs.
  connect(show_details_, &QCheckBox::clicked, this,
          [this](bool checked) { context_.SetDetailsShown(checked); });
  ConnectInput(context_, write_single_, &QPushButton::clicked, this, [this] {
    context_.RunOnBoard("Write Single", [](Session& session) { WriteSingle(session); });
  });
  ConnectInput(context_, read_aspects_, &QPushButton::clicked, this,
               [this] { context_.QueueOperation("PAspReadPin"); });
  ConnectInput(context_, write_aspects_, &QPushButton::clicked, this,
               [this] { context_.QueueOperation("PAspWritePin"); });
  ConnectInput(context_, test_, &PressButton::pressedWith, this, &AspectActions::OnTest);

  ModelEvents& events = context_.Events();
  for (auto signal : {&ModelEvents::pinChanged, &ModelEvents::aspectModeChanged,
                      &ModelEvents::detailsShownChanged, &ModelEvents::expertModeChanged}) {
    connect(&events, signal, this, &AspectActions::ShowButtons);
  }
  ShowButtons();
}

void AspectActions::ShowButtons() {
  const bool details = context_.DetailsShown();
  const bool expert = context_.Config().ExpertMode;
  const bool aspects =
      ViewOfOption(OptionOfAspectMode(context_.Config().Current().AspectMode)).aspect_controls;
  show_details_->setChecked(details);
  test_->setVisible(aspects);
  write_single_->setVisible(details && aspects);
  read_aspects_->setVisible(details && expert);
  write_aspects_->setVisible(details && expert);
}

void AspectActions::OnTest(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
  if (button != Qt::LeftButton) return;
  TestModifiers keys;
  keys.shift = modifiers.testFlag(Qt::ShiftModifier);
  keys.control = modifiers.testFlag(Qt::ControlModifier);
  keys.alt = modifiers.testFlag(Qt::AltModifier);
  context_.RunOnBoard("Test", [keys](Session& session) { TestAspect(session, keys); });
}

}  // namespace vela::ui
