// The "Communication" window: the traffic log as it grows, including what was sent before it
// was first opened. Not modal; the board keeps talking while it is open.
#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>

#include "link/traffic_log.h"

class QPlainTextEdit;

namespace vela::ui {

namespace detail {
struct LogRelay;
}

class CommunicationWindow : public QWidget {
  Q_OBJECT

 public:
  explicit CommunicationWindow(MemoryTrafficLog& log, QWidget* parent = nullptr);
  ~CommunicationWindow() override;

  // Shows the window in front of its owner (the main window), which stays usable.
  void ShowFor(QWidget* owner);

 protected:
  // Closing discards the log text; the next frame starts a fresh log.
  void closeEvent(QCloseEvent* event) override;

 private:
  // Takes what the log gained and works on it for a bounded time; the rest follows on the next
  // turns of the event loop, so that the window never holds up for long.
  void ShowLog();
  // The log grew (queued from the worker): shows it at most every kMinInterval.
  void LogGrew();
  void WorkOnDocument();

  MemoryTrafficLog& log_;
  std::shared_ptr<detail::LogRelay> relay_;
  QPlainTextEdit* text_ = nullptr;
  // How far the text shown has followed the log.
  uint64_t generation_ = 0;
  uint64_t shown_end_ = 0;
  uint64_t shown_dropped_lines_ = 0;
  // Taken from the log but not yet in the document: text to append, lines to drop at the front.
  std::string pending_text_;
  uint64_t pending_drops_ = 0;
  QTimer next_turn_;
  QElapsedTimer last_show_;
};

}  // namespace vela::ui
