// A WindowContext for the widget tests: board jobs run at once on the calling thread, against
// the simulated board on a manual clock, so a test sees what each button sent as soon as the
// click returns. Redisplay requests are counted and forwarded to the widgets under test.
#pragma once

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QStringList>
#include <QTest>
#include <functional>
#include <vector>

#include "link/board_link.h"
#include "link/clock.h"
#include "link/traffic_log.h"
#include "model/board_config.h"
#include "model/instruction_set.h"
#include "operations/session.h"
#include "sim/demo_board.h"
#include "sim/simulated_board.h"
#include "sim/simulated_port.h"
#include "support/recording_dialogs.h"
#include "ui/window_context.h"

namespace vela::testing {

class FakeWindowContext final : public ui::WindowContext, public ConfigView {
 public:
  FakeWindowContext() : port(board, clock), link(port, clock, dialogs, log) {
    link.OpenPort(sim::kDemoBoardName, 1, nullptr);
  }

  int polls = 0;  // PollOnBoard calls
  BoardConfig& Config() override { return config; }
  const InstructionSet& Instructions() const override { return instructions; }
  BoardLink& Link() override { return link; }
  UserDialogs& Dialogs() override { return dialogs; }

  void PollOnBoard(std::function<void(Session&)> job, std::function<void()> done) override {
    ++polls;
    Session session{link, config, *this};
    busy = true;
    job(session);
    busy = false;
    if (done) done();
  }

  void RunOnBoard(const QString& what, std::function<void(Session&)> job,
                  std::function<void()> done) override {
    jobs << what;
    // The window takes no input while a job runs.
    if (block_input_during_jobs) block_input_during_jobs->setEnabled(false);
    Session session{link, config, *this};
    busy = true;
    job(session);
    busy = false;
    if (done) done();
    if (block_input_during_jobs) block_input_during_jobs->setEnabled(true);
    ConfigReplaced();
  }
  void QueueOperation(const QString& name) override { queued << name; }
  bool Busy() const override { return busy; }

  // The announcements are counted and handed to the hooks instead of the context's signals,
  // so a test decides what redisplays.
  void ConfigReplaced() override {
    ++refresh_all;
    if (on_refresh) on_refresh();
  }
  void PinChanged() override { ++refresh_pin; }
  void PinConfigChanged() override {
    ++refresh_pin_config;
    if (on_refresh_pin_config) on_refresh_pin_config();
  }
  void EventControlChanged() override {
    ++refresh_event_control;
    if (on_refresh) on_refresh();
  }
  void AddressesChanged() override { ++refresh_address_displays; }
  void GeneralChanged() override {
    if (on_refresh) on_refresh();
  }

  // The direct messages the board received since the last call.
  std::vector<std::vector<int>> TakeMessages() {
    std::vector<std::vector<int>> messages = board.Messages();
    board.ClearReceived();
    return messages;
  }
  // The output commands and Kora-format frames the board carried out since the last call.
  std::vector<std::vector<int>> TakeOutputs() {
    std::vector<std::vector<int>> outputs(board.OutputLog().begin() + outputs_seen_,
                                          board.OutputLog().end());
    outputs_seen_ = board.OutputLog().size();
    return outputs;
  }

  // Every Kora-format frame on the line, whichever module it addresses: address byte and the
  // three data bytes.
  std::vector<std::vector<int>> LegacyFrames() const {
    std::vector<std::vector<int>> frames;
    for (const sim::ReceivedFrame& frame : board.Received()) {
      if (!frame.legacy || frame.resync) continue;
      std::vector<int> bytes{frame.address_byte};
      bytes.insert(bytes.end(), frame.message.begin(), frame.message.end());
      frames.push_back(bytes);
    }
    return frames;
  }

  sim::SimulatedBoard board;
  ManualClock clock;
  sim::SimulatedPort port;
  RecordingDialogs dialogs;
  MemoryTrafficLog log;
  BoardLink link;
  BoardConfig config;
  InstructionSet instructions;

  QWidget* block_input_during_jobs = nullptr;
  QStringList jobs;
  QStringList queued;
  bool busy = false;
  int refresh_all = 0;
  int refresh_pin = 0;
  int refresh_pin_config = 0;
  int refresh_event_control = 0;
  int refresh_address_displays = 0;
  std::function<void()> on_refresh;
  std::function<void()> on_refresh_pin_config;

 private:
  size_t outputs_seen_ = 0;
};

// Finds a control by its object name; fails the test when it is missing.
template <typename T>
T* Find(QWidget* root, const QString& name) {
  T* widget = root->findChild<T*>(name);
  if (widget == nullptr) qWarning("control %s not found", qPrintable(name));
  return widget;
}

// Types text into a box as the user would: a click into it (which takes the focus from the
// box before), the new text over the old, and a click that commits it.
inline void TypeAndClick(QLineEdit* box, const QString& text) {
  QTest::mouseClick(box, Qt::LeftButton);
  box->selectAll();
  QTest::keyClick(box, Qt::Key_Delete);
  QTest::keyClicks(box, text);
  QTest::mouseClick(box, Qt::LeftButton);
}

// Shows a widget under test as the active window, so that focus moves as it does for a user.
inline bool ShowActive(QWidget* widget) {
  widget->show();
  QApplication::setActiveWindow(widget);
  return QTest::qWaitForWindowActive(widget);
}

// Clicks a check box on its indicator, at the left edge.
inline void ClickCheck(QCheckBox* check) {
  QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
}

using Messages = std::vector<std::vector<int>>;

}  // namespace vela::testing
