#include "ui/device_panel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "files/device_library.h"
#include "model/aspect_editor_rules.h"
#include "model/device_field_rules.h"
#include "ui/edit_controls.h"
#include "ui/editor_widgets.h"
#include "ui/text_convert.h"

namespace vela::ui {
namespace {

// Hears the loaders' success and announces what they replaced.
class AnnouncingObserver final : public LoadObserver {
 public:
  explicit AnnouncingObserver(WindowContext& context) : context_(context) {}
  void DataFileLoaded() override { context_.ConfigReplaced(); }
  void DeviceLoaded() override {
    context_.AddressesChanged();
    context_.PinChanged();
    context_.PinConfigChanged();
  }

 private:
  WindowContext& context_;
};

}  // namespace

DevicePanel::DevicePanel(WindowContext& context, DeviceLibrary& library, QGridLayout* grid, int row,
                         QWidget* area)
    : QObject(area), context_(context), library_(library) {
  auto* device_pin_label = new QLabel("Device Pin", area);
  device_pin_label->setObjectName("LabelDevicePin");
  device_pin_ = MakeBox("TextDevicePin", "1", area, 2);
  auto* device_name_label = new QLabel("Device Name", area);
  device_name_label->setObjectName("LabelDeviceName");
  device_name_ = new QLineEdit(area);
  device_name_->setObjectName("TextDeviceDescription");
  device_pin_label->setBuddy(device_pin_);
  device_name_label->setBuddy(device_name_);
  grid->addWidget(device_pin_label, row, 0);
  grid->addWidget(device_pin_, row, 1);
  grid->addWidget(device_name_label, row, 2);
  grid->addWidget(device_name_, row, 3, 1, 4);

  device_list_ = new QComboBox(area);
  device_list_->setObjectName("cboDevice");
  device_list_->setEditable(true);
  device_list_->setInsertPolicy(QComboBox::NoInsert);
  device_list_->setMinimumContentsLength(16);
  device_list_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  device_list_->setAccessibleName("Device definition");
  device_list_->setToolTip("A device definition of the library, for Load Device");
  auto* load_device = MakeButton("CommandPAspPreLoad", "Load Device", area);
  auto* reload = new PressButton("CommandReloadDD", "Reload DD", area);
  reload->setToolTip("Reload DD to load new file, Shift + Reload DD to append");
  auto* save_device = MakeButton("CommandSaveDevice", "Save Device", area);
  auto* devices_row = new QHBoxLayout;
  devices_row->addWidget(device_list_, 1);
  devices_row->addWidget(load_device);
  devices_row->addWidget(reload);
  devices_row->addWidget(save_device);
  grid->addLayout(devices_row, row + 1, 0, 1, 7);
  auto* loaded_label = new QLabel("Definitions Loaded:", area);
  loaded_label->setObjectName("LabelDDLoaded");
  device_version_ = new QLabel("None", area);
  device_version_->setObjectName("lblDDVersion");
  auto* loaded_row = new QHBoxLayout;
  loaded_row->addWidget(loaded_label);
  loaded_row->addWidget(device_version_, 1);
  grid->addLayout(loaded_row, row + 2, 0, 1, 7);

  ConnectInput(context_, device_pin_, &QLineEdit::textEdited, this,
               [this](const QString& text) { EditDevicePin(Config(), S(text)); });
  ConnectInput(context_, device_pin_, &CommitLineEdit::committed, this,
               &DevicePanel::ShowDeviceFields);
  ConnectInput(context_, device_name_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (device_name_->isEnabled()) EditDeviceName(Config(), S(text));
  });
  ConnectInput(context_, load_device, &QPushButton::clicked, this, &DevicePanel::OnLoadDevice);
  ConnectInput(context_, reload, &PressButton::pressedWith, this, &DevicePanel::OnReloadDevices);
  ConnectInput(context_, save_device, &QPushButton::clicked, this, &DevicePanel::OnSaveDevice);

  ModelEvents& events = context_.Events();
  connect(&events, &ModelEvents::pinChanged, this, &DevicePanel::ShowPin);
  connect(&events, &ModelEvents::libraryChanged, this, &DevicePanel::ShowDeviceLibrary);
  ShowDeviceLibrary();
}

void DevicePanel::ShowPin() {
  device_name_->setEnabled(false);
  ShowDeviceFields();
}

void DevicePanel::ShowDeviceFields() {
  DeviceReferral referral = vela::ShowDeviceFields(Config());
  device_pin_->setText(QString::number(referral.shown_pin));
  device_name_->setText(Q(referral.name));
  device_name_->setEnabled(referral.name_editable);
}

void DevicePanel::ShowDeviceLibrary() {
  const QString text = device_list_->currentText();
  device_list_->clear();
  for (const std::string& name : library_.Devices()) device_list_->addItem(Q(name));
  const int index = device_list_->findText(text);
  device_list_->setCurrentIndex(index);
  if (index < 0) device_list_->setEditText(text);
  device_version_->setText(Q(library_.VersionLabel()));
}

void DevicePanel::OnLoadDevice() {
  AnnouncingObserver observer(context_);
  library_.LoadDevice(Config(), S(device_list_->currentText()), device_list_->currentIndex(),
                      context_.Dialogs(), &observer);
}

void DevicePanel::OnReloadDevices(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
  if (button != Qt::LeftButton) return;
  const bool append = modifiers == Qt::ShiftModifier;
  library_.Reload(append, context_.Dialogs());
  context_.LibraryChanged();
}

void DevicePanel::OnSaveDevice() {
  SaveDeviceCommand(Config(), context_.Dialogs());
}

}  // namespace vela::ui
