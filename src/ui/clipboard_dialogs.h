// The copy, paste and clear tools of the pin area: "Edit Pin" (from the "Pin" label), "Edit
// Aspect" (from the "Aspect" label) and "Edit Step" (from a step number). Each button does its
// work on the model and hides the dialog; the dialogs are kept, so the clipboards last.
#pragma once

#include <QDialog>

#include "dialogs/user_dialogs.h"
#include "model/board_config.h"
#include "model/clipboard.h"

class QPushButton;

namespace vela::ui {

// dlgEditPin: works on the current pin.
class EditPinDialog : public QDialog {
  Q_OBJECT

 public:
  EditPinDialog(BoardConfig& config, UserDialogs& dialogs, QWidget* parent = nullptr);
  // Shows the dialog modally until a button hides it.
  void Open();
  const PinClipboard& Clipboard() const { return clipboard_; }

 private:
  BoardConfig& config_;
  UserDialogs& dialogs_;
  PinClipboard clipboard_;
};

// dlgEditAspect: works on the current aspect of the current pin.
class EditAspectDialog : public QDialog {
  Q_OBJECT

 public:
  EditAspectDialog(BoardConfig& config, UserDialogs& dialogs, QWidget* parent = nullptr);
  void Open();

 private:
  AspectRecord& Current();

  BoardConfig& config_;
  UserDialogs& dialogs_;
  AspectClipboard clipboard_;
};

// dlgEditStep: works on the row whose step number was clicked (SelectedStepRow).
class EditStepDialog : public QDialog {
  Q_OBJECT

 public:
  explicit EditStepDialog(BoardConfig& config, QWidget* parent = nullptr);
  void Open();

 private:
  BoardConfig& config_;
};

}  // namespace vela::ui
