// What the pieces of the main window share: the configuration, the link (read and set only
// while no job runs), board jobs on the worker thread, queued operations, and the model's
// announcements. A piece that changes the model says what changed through the context; every
// piece that shows it follows through `Events()`, so no piece calls its neighbours.
#pragma once

#include <QObject>
#include <QString>
#include <concepts>
#include <functional>
#include <type_traits>
#include <utility>

#include "dialogs/user_dialogs.h"
#include "link/board_link.h"
#include "model/board_config.h"
#include "model/instruction_set.h"
#include "operations/session.h"

namespace vela::ui {

// The signals the pieces of the window subscribe to. They are emitted by the context's
// announcement calls below, never by a piece directly.
class ModelEvents : public QObject {
  Q_OBJECT

 signals:
  // The link's settings or state (after every board job and poll): the connection strip.
  void linkChanged();
  // The general settings: the General tab and the connection strip.
  void generalChanged();
  // The event-control table: the Event Control tab.
  void eventControlChanged();
  // Address counts, start tables or the module address: the range labels of the General tab
  // and the current pin's addresses.
  void addressesChanged();
  // The current pin or aspect, or its record: the device tab's pin, device, aspect, address
  // and step pieces.
  void pinChanged();
  // The current pin's aspect mode (the rows and controls it shows).
  void aspectModeChanged();
  // A pin (and perhaps an aspect) was chosen from outside the pin and aspect boxes: they show
  // the new numbers. `aspect_taken` tells whether the aspect changed too.
  void pinSelected(bool aspect_taken);
  // The current pin's configuration bytes: the pin configuration editor.
  void pinConfigChanged();
  // The whole configuration was replaced (load, read, any board job); emitted after the
  // signals above, for what shows neither of them.
  void configReplaced();
  // NumberBase, expert mode, the device library, "Show Details".
  void numberingChanged();
  void expertModeChanged();
  void libraryChanged();
  void detailsShownChanged();
  // Every box still being edited commits now, by its own rule (before the pin changes).
  void commitPendingEdits();
  // An input handler ran while the window was idle: whatever it changed in the model is now
  // committed. The one place a change of the configuration passes through.
  void configEdited();
};

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
  // `handler` wrapped in that rule, for connecting to a control's signal; after it ran, the
  // context hears that the model may have changed (`ConfigEdited`), unless a job now owns it.
  template <typename Handler>
  auto WhenIdle(Handler handler) {
    return [ this, handler = std::move(handler) ](
        auto&&... args) requires std::invocable<Handler&, decltype(args)...> {
      if (!Idle()) return;
      std::invoke(handler, std::forward<decltype(args)>(args)...);
      // A handler that started a board job has handed the model to the worker; the job's
      // end announces what it replaced.
      if (Idle()) ConfigEdited();
    };
  }

  // Before `before_what` ("loading a file") replaces the configuration: true to go on. The
  // window asks Save / Discard / Cancel when it holds edits that were kept nowhere.
  virtual bool ConfirmReplace(const std::string& before_what) {
    (void)before_what;
    return true;
  }
  // Names the next change of the configuration for the Edit menu ("Load Device ..."); without
  // a name it is named after the control that has the focus.
  virtual void NameNextChange(const QString& label) { (void)label; }

  // What the pieces subscribe to.
  ModelEvents& Events() { return events_; }

  // Announcements: the model changed in this way; every piece that shows it redisplays.
  // Virtual so that a test context can count them instead.
  virtual void ConfigReplaced();       // everything, in the order of the signals above
  virtual void PinChanged();           // the pin pieces, then the address counts
  virtual void PinConfigChanged();     // the pin configuration editor
  virtual void EventControlChanged();  // the Event Control tab
  virtual void AddressesChanged();     // range labels and the current pin's addresses
  virtual void GeneralChanged();       // the General tab and the connection strip
  void LinkChanged() { emit events_.linkChanged(); }
  void AspectModeChanged() { emit events_.aspectModeChanged(); }
  // After NumberBase changed: every number shown, then the addresses and the pin.
  void NumberingChanged();
  void ExpertModeChanged() { emit events_.expertModeChanged(); }
  void LibraryChanged() { emit events_.libraryChanged(); }
  void CommitPendingEdits() { emit events_.commitPendingEdits(); }
  void ConfigEdited() { emit events_.configEdited(); }

  // Shows pin 0..31 and, when the pin has it, aspect 0..11 (-1 keeps the aspect), after the
  // edits of the pin being left are committed. Nothing while a job runs.
  void SelectPinAndAspect(int pin, int aspect);

  // "Show Details": view state shared by the device tab's pieces (not part of the model).
  bool DetailsShown() const { return details_shown_; }
  void SetDetailsShown(bool shown);

 private:
  ModelEvents events_;
  bool details_shown_ = false;
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
