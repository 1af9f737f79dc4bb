// What every board operation works on: the link to the board, the configuration, and the
// view that redisplays the configuration after an operation changed it.
#pragma once

#include "link/board_link.h"
#include "model/board_config.h"

namespace vela {

// Redisplay requests of the operations. The GUI implements them; the CLI and the tests use
// the no-op defaults or record the calls.
class ConfigView {
 public:
  virtual ~ConfigView() = default;
  virtual void ShowPin() {}
  virtual void ShowAddressCounts() {}
  virtual void ShowPinConfig() {}
  virtual void RefreshEventControl() {}
  // The DCC range labels and the current pin's DCC, extended DCC and Kora addresses.
  virtual void ShowAddressDisplays() {}
  // The general settings the board commands read (version text, ID string, boxes).
  virtual void ShowGeneralSettings() {}
  virtual void HideLabelAction() {}
};

// The link, the configuration and the view of one window (or one velacli run).
struct Session {
  BoardLink& link;
  BoardConfig& config;
  ConfigView& view;

  UserDialogs& dialogs() { return link.Dialogs(); }
};

}  // namespace vela
