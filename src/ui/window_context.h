// What the tabs and dialogs of the main window ask of it: the configuration, the link (read and
// set only while no job runs), board jobs on the worker thread, queued operations, redisplay.
#pragma once

#include <QString>
#include <functional>

#include "link/board_link.h"
#include "link/user_dialogs.h"
#include "model/board_config.h"
#include "model/instruction_set.h"
#include "operations/session.h"

namespace vela::ui {

class WindowContext {
 public:
  virtual ~WindowContext() = default;

  virtual BoardConfig& Config() = 0;
  virtual const InstructionSet& Instructions() const = 0;
  virtual BoardLink& Link() = 0;
  virtual UserDialogs& Dialogs() = 0;

  // Runs a direct board exchange (a group's Read/Write, a test-panel button) on the worker
  // thread; the window takes no input meanwhile, and `done` runs on the UI thread afterwards
  // (then the window redisplays everything).
  virtual void RunOnBoard(const QString& what, std::function<void(Session&)> job,
                          std::function<void()> done = {}) = 0;
  // A short background exchange (a monitor poll): input is held off while it runs, but the
  // window is neither greyed nor redisplayed and the focus stays where it is.
  virtual void PollOnBoard(std::function<void(Session&)> job, std::function<void()> done) = 0;
  // Queues a long operation by name ("ReadAll", ...); it runs on the next operation tick.
  virtual void QueueOperation(const QString& name) = 0;
  virtual bool Busy() const = 0;

  // Redisplay from the model.
  virtual void RefreshAll() = 0;
  virtual void RefreshPin() = 0;              // ShowPin and ShowAddressCounts
  virtual void RefreshPinConfig() = 0;        // ShowPinConfig
  virtual void RefreshEventControl() = 0;     // RefreshEventControl
  virtual void RefreshAddressDisplays() = 0;  // range labels and the current pin's addresses
  virtual void RefreshGeneral() = 0;          // the General tab and the connection strip
};

}  // namespace vela::ui
