#include "ui/clipboard_dialogs.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace vela::ui {
namespace {

QPushButton* AddButton(QDialog* dialog, QHBoxLayout* row, const QString& name,
                       const QString& caption) {
  auto* button = new QPushButton(caption, dialog);
  button->setObjectName(name);
  button->setAutoDefault(false);
  button->setMinimumWidth(button->sizeHint().width() + 16);
  row->addWidget(button);
  return button;
}

void Prepare(QDialog* dialog, const QString& name, const QString& caption) {
  dialog->setObjectName(name);
  dialog->setWindowTitle(caption);
  dialog->setModal(true);
}

}  // namespace

EditPinDialog::EditPinDialog(BoardConfig& config, UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), config_(config), dialogs_(dialogs) {
  Prepare(this, "dlgEditPin", "Edit Pin");
  auto* row = new QHBoxLayout(this);
  connect(AddButton(this, row, "CommandCopyPin", "Copy Pin"), &QPushButton::clicked, this, [this] {
    CopyPin(config_, config_.CurrentPin, clipboard_);
    hide();
  });
  connect(AddButton(this, row, "CommandPastePin", "Paste Pin"), &QPushButton::clicked, this,
          [this] {
            if (!PastePin(config_, config_.CurrentPin, clipboard_)) {
              dialogs_.Message(kNothingToPaste);
              return;
            }
            hide();
          });
  connect(AddButton(this, row, "CommandClearPin", "Clear Pin"), &QPushButton::clicked, this,
          [this] {
            ClearPin(config_, config_.CurrentPin);
            hide();
          });
  connect(AddButton(this, row, "CommandCancel", "Cancel"), &QPushButton::clicked, this,
          &QDialog::hide);
}

void EditPinDialog::Open() {
  exec();
}

EditAspectDialog::EditAspectDialog(BoardConfig& config, UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), config_(config), dialogs_(dialogs) {
  Prepare(this, "dlgEditAspect", "Edit Aspect");
  auto* row = new QHBoxLayout(this);
  connect(AddButton(this, row, "CommandCopy", "Copy Aspect"), &QPushButton::clicked, this, [this] {
    CopyAspect(Current(), clipboard_);
    hide();
  });
  connect(AddButton(this, row, "CommandPaste", "Paste Aspect"), &QPushButton::clicked, this,
          [this] {
            if (!PasteAspect(Current(), clipboard_)) {
              dialogs_.Message(kNothingToPaste);
              return;
            }
            hide();
          });
  connect(AddButton(this, row, "CommandClear", "Clear Aspect"), &QPushButton::clicked, this,
          [this] {
            ClearAspect(Current());
            hide();
          });
  connect(AddButton(this, row, "CommandClean", "Cleanup Aspect"), &QPushButton::clicked, this,
          [this] {
            CleanupAspect(Current());
            hide();
          });
  connect(AddButton(this, row, "CommandCancel", "Cancel"), &QPushButton::clicked, this,
          &QDialog::hide);
}

AspectRecord& EditAspectDialog::Current() {
  return config_.Current().Aspects[config_.CurrentAspect];
}

void EditAspectDialog::Open() {
  exec();
}

EditStepDialog::EditStepDialog(BoardConfig& config, QWidget* parent)
    : QDialog(parent), config_(config) {
  Prepare(this, "dlgEditStep", "Edit Step");
  auto* row = new QHBoxLayout(this);
  auto aspect = [this]() -> AspectRecord& {
    return config_.Current().Aspects[config_.CurrentAspect];
  };
  connect(AddButton(this, row, "commandInsert", "Insert Step"), &QPushButton::clicked, this,
          [this, aspect] {
            InsertStep(aspect(), config_.SelectedStepRow,
                       LastStepRow(config_.Current().AspectMode));
            hide();
          });
  connect(AddButton(this, row, "commandDelete", "Delete Step"), &QPushButton::clicked, this,
          [this, aspect] {
            DeleteStep(aspect(), config_.SelectedStepRow,
                       LastStepRow(config_.Current().AspectMode));
            hide();
          });
  connect(AddButton(this, row, "commandCancel", "Cancel"), &QPushButton::clicked, this,
          &QDialog::hide);
}

void EditStepDialog::Open() {
  exec();
}

}  // namespace vela::ui
