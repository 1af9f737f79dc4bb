// What the tabs and dialogs of the main window ask of it: the configuration, the link (read and
// set only while no job runs), board jobs on the worker thread, queued operations, redisplay.
#pragma once

#include <QObject>
#include <QString>
#include <concepts>
#include <functional>
#include <type_traits>
#include <utility>

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

  // The one "no job running" rule of every editor: while a board job owns the model, input
  // that still arrives (a commit on focus loss, a late click, a spinner step) is dropped.
  bool Idle() const { return !Busy(); }
  // `handler` wrapped in that rule, for connecting to a control's signal.
  template <typename Handler>
  auto WhenIdle(Handler handler) {
    return [ this, handler = std::move(handler) ](
        auto&&... args) requires std::invocable<Handler&, decltype(args)...> {
      if (Idle()) std::invoke(handler, std::forward<decltype(args)>(args)...);
    };
  }

  // Redisplay from the model.
  virtual void RefreshAll() = 0;
  virtual void RefreshPin() = 0;              // ShowPin and ShowAddressCounts
  virtual void RefreshPinConfig() = 0;        // ShowPinConfig
  virtual void RefreshEventControl() = 0;     // RefreshEventControl
  virtual void RefreshAddressDisplays() = 0;  // range labels and the current pin's addresses
  virtual void RefreshGeneral() = 0;          // the General tab and the connection strip
};

// Connects a control's signal to `handler` (a lambda, or a member function of `receiver`) under
// the context's "no job running" rule; every editor of the window takes its input this way.
template <typename Sender, typename Signal, typename Receiver, typename Handler>
QMetaObject::Connection ConnectInput(WindowContext& context, Sender* sender, Signal signal,
                                     Receiver* receiver, Handler handler) {
  if constexpr (std::is_member_function_pointer_v<Handler>) {
    return QObject::connect(sender, signal, receiver,
                            context.WhenIdle(std::bind_front(handler, receiver)));
  } else {
    return QObject::connect(sender, signal, receiver, context.WhenIdle(std::move(handler)));
  }
}

}  // namespace vela::ui
