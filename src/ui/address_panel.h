// The address rows of the device tab: the current pin's numbers of serial (Kora), basic DCC
// and extended DCC addresses, and the addresses they give it. The count boxes show with "Show
// Details" or when they hold more than one address.
#pragma once

#include <QWidget>

#include "ui/window_context.h"

class QLabel;

namespace vela::ui {

class CommitLineEdit;
class UpDown;

class AddressPanel : public QWidget {
  Q_OBJECT

 public:
  AddressPanel(WindowContext& context, QWidget* parent = nullptr);

 private:
  BoardConfig& Config() { return context_.Config(); }

  void ShowPin();
  void ShowAddressCounts();
  void ShowPinAddresses();

  void CommitDccCount();
  void CommitXDccCount();
  void CommitKoraCount();
  void StoreDccCount(int value);
  void StoreXDccCount(int value);
  void StoreKoraCount(int value);

  WindowContext& context_;
  QLabel* count_label_ = nullptr;
  CommitLineEdit* dcc_count_ = nullptr;
  UpDown* dcc_count_spin_ = nullptr;
  CommitLineEdit* xdcc_count_ = nullptr;
  UpDown* xdcc_count_spin_ = nullptr;
  CommitLineEdit* kora_count_ = nullptr;
  UpDown* kora_count_spin_ = nullptr;
  QLabel* serial_address_ = nullptr;
  QLabel* dcc_address_ = nullptr;
  QLabel* xdcc_address_ = nullptr;
  QLabel* pin_address_ = nullptr;
};

}  // namespace vela::ui
