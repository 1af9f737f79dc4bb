#include "ui/communication_window.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>
#include <atomic>
#include <mutex>

namespace vela::ui {
namespace detail {

// Carries "the log grew" from the worker thread to the window, at most one call in flight,
// and never to a window that is gone.
struct LogRelay {
  std::mutex mutex;
  CommunicationWindow* window = nullptr;
  std::atomic<bool> pending{false};
};

}  // namespace detail

namespace {

QString ForDisplay(std::string_view text) {
  QString shown = QString::fromStdString(std::string(text));
  shown.remove(QChar('\r'));
  return shown;
}

}  // namespace

CommunicationWindow::CommunicationWindow(MemoryTrafficLog& log, QWidget* parent)
    : QWidget(parent, Qt::Window), log_(log), relay_(std::make_shared<detail::LogRelay>()) {
  setObjectName("frmCorsanComm");
  setWindowTitle("Communication");
  auto* layout = new QVBoxLayout(this);
  text_ = new QPlainTextEdit(this);
  text_->setObjectName("txtCorsanCommunication");
  text_->setReadOnly(true);
  // Appends and trims through cursors would otherwise keep an undo history of the whole log.
  text_->setUndoRedoEnabled(false);
  text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  layout->addWidget(text_, 1);
  auto* buttons = new QHBoxLayout;
  auto* clear = new QPushButton("Clear", this);
  clear->setObjectName("cmdClear");
  buttons->addStretch();
  buttons->addWidget(clear);
  layout->addLayout(buttons);
  resize(560, 420);

  connect(clear, &QPushButton::clicked, this, [this] {
    log_.Clear();
    ShowLog();
  });

  relay_->window = this;
  std::weak_ptr<detail::LogRelay> weak = relay_;
  log_.SetListener([weak] {
    std::shared_ptr<detail::LogRelay> relay = weak.lock();
    if (!relay) return;
    std::lock_guard lock(relay->mutex);
    if (relay->window == nullptr || relay->pending.exchange(true)) return;
    QMetaObject::invokeMethod(
        relay->window, [window = relay->window] { window->ShowLog(); }, Qt::QueuedConnection);
  });
  ShowLog();
}

CommunicationWindow::~CommunicationWindow() {
  log_.SetListener({});
  std::lock_guard lock(relay_->mutex);
  relay_->window = nullptr;
}

void CommunicationWindow::ShowFor(QWidget* owner) {
  if (owner != nullptr && parentWidget() != owner) setParent(owner, Qt::Window);
  ShowLog();
  show();
  raise();
  activateWindow();
}

void CommunicationWindow::closeEvent(QCloseEvent* event) {
  log_.Clear();
  ShowLog();
  QWidget::closeEvent(event);
}

void CommunicationWindow::ShowLog() {
  relay_->pending = false;
  // Only what is new crosses over; the text shown is never rebuilt while the log just grows.
  MemoryTrafficLog::Update update = log_.TextSince(generation_, shown_end_);
  QScrollBar* bar = text_->verticalScrollBar();
  const bool at_end = bar->value() == bar->maximum();
  if (update.restart) {
    // Cleared, or so much came at once that what was shown is gone from the log.
    text_->setPlainText(ForDisplay(update.text));
  } else {
    if (update.dropped_lines > shown_dropped_lines_) {
      // The log dropped its oldest lines: drop the same whole lines from the front.
      QTextCursor front(text_->document());
      front.movePosition(QTextCursor::Start);
      front.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor,
                         static_cast<int>(update.dropped_lines - shown_dropped_lines_));
      front.removeSelectedText();
    }
    if (!update.text.empty()) {
      QTextCursor end(text_->document());
      end.movePosition(QTextCursor::End);
      end.insertText(ForDisplay(update.text));
    }
  }
  generation_ = update.generation;
  shown_end_ = update.end;
  shown_dropped_lines_ = update.dropped_lines;
  // Follow the newest traffic unless the user scrolled back to read.
  if (at_end) bar->setValue(bar->maximum());
}

}  // namespace vela::ui
