#include "ui/device_config_tab.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/address_panel.h"
#include "ui/aspect_actions.h"
#include "ui/aspect_panel.h"
#include "ui/device_panel.h"
#include "ui/editor_widgets.h"
#include "ui/pin_config_editor.h"
#include "ui/pin_selector.h"
#include "ui/step_table.h"

namespace vela::ui {

DeviceConfigTab::DeviceConfigTab(WindowContext& context, DeviceLibrary& library, QWidget* parent)
    : QWidget(parent), context_(context) {
  setObjectName("TabDeviceConfiguration");
  auto* left_area = new QWidget(this);
  auto* left = new QVBoxLayout(left_area);
  left->setContentsMargins(0, 0, 0, 0);
  left->addWidget(BuildPinArea(library));
  left->addWidget(new AddressPanel(context_, this));
  step_table_ = new StepTable(context_, this);
  left->addWidget(step_table_);
  left->addWidget(new AspectActions(context_, this));
  left->addStretch();
  // As wide as the step table even while its rows are hidden, so the page does not jump
  // when the aspect mode changes.
  left_area->setMinimumWidth(step_table_->FullWidth() + 24);

  auto* right = new QVBoxLayout;
  right->addWidget(BuildPinOperations());
  details_frame_ = new QGroupBox("AspDetails", this);
  details_frame_->setObjectName("FrameAspdetails");
  details_frame_->setToolTip("Aspect details: the pin's output configuration");
  auto* details_layout = new QVBoxLayout(details_frame_);
  pin_config_editor_ = new PinConfigEditor(context_, details_frame_);
  details_layout->addWidget(pin_config_editor_);
  right->addWidget(details_frame_);
  right->addStretch();

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(left_area, 0);
  layout->addLayout(right, 1);

  ModelEvents& events = context_.Events();
  connect(&events, &ModelEvents::commitPendingEdits, this, &DeviceConfigTab::CommitPendingEdits);
  connect(aspect_panel_, &AspectPanel::aspectLeaving, step_table_, &StepTable::CommitShownRows);
  connect(&events, &ModelEvents::pinConfigChanged, pin_config_editor_, &PinConfigEditor::Refresh);
  connect(&events, &ModelEvents::detailsShownChanged, this, &DeviceConfigTab::ShowDetails);
  connect(&events, &ModelEvents::expertModeChanged, this, &DeviceConfigTab::ShowDetails);
  ShowDetails();
}

// The pin, device and aspect rows share one grid, so their columns line up.
QWidget* DeviceConfigTab::BuildPinArea(DeviceLibrary& library) {
  auto* area = new QWidget(this);
  auto* grid = new QGridLayout(area);
  grid->setContentsMargins(0, 0, 0, 0);
  new PinSelector(context_, grid, 0, area);
  new DevicePanel(context_, library, grid, 1, area);
  aspect_panel_ = new AspectPanel(context_, grid, 4, area);
  grid->setColumnStretch(4, 1);
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
  const std::pair<QPushButton*, const char*> queued[] = {{read_pin_, "ReadPin"},
                                                         {write_pin_, "WritePin"},
                                                         {read_device, "ReadDevice"},
                                                         {write_device, "WriteDevice"},
                                                         {read_all, "ReadAllPins"},
                                                         {write_all, "WriteAllPins"},
                                                         {verify_all_pins_, "VerifyAllPins"}};
  for (auto [button, operation] : queued) {
    ConnectInput(context_, button, &QPushButton::clicked, this,
                 [this, operation] { context_.QueueOperation(operation); });
  }
  return frame;
}

void DeviceConfigTab::CommitPendingEdits() {
  if (!context_.Idle()) return;
  pin_config_editor_->CommitPendingEdits();
  step_table_->CommitShownRows();
  aspect_panel_->CommitPendingEdits();
}

void DeviceConfigTab::ShowDetails() {
  const bool details = context_.DetailsShown();
  const bool expert = context_.Config().ExpertMode;
  read_pin_->setVisible(expert);
  write_pin_->setVisible(expert);
  verify_all_pins_->setVisible(expert);
  details_frame_->setVisible(details);
  pin_config_editor_->setVisible(details);
  pin_config_editor_->SetButtonsVisible(details, expert);
}

}  // namespace vela::ui
