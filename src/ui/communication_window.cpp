#include "ui/communication_window.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>
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

// Redisplays while the log grows come at most this often: the text is read, not watched frame
// by frame, and each redisplay paints the view.
constexpr int kMinIntervalMs = 100;
// What one turn of the event loop does to the document at most: dropping and appending large
// parts of a QTextDocument costs some 30 microseconds a line.
constexpr uint64_t kDropChunkLines = 256;
constexpr size_t kAppendChunkBytes = 32 * 1024;

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

  next_turn_.setSingleShot(true);
  connect(&next_turn_, &QTimer::timeout, this, &CommunicationWindow::ShowLog);

  relay_->window = this;
  std::weak_ptr<detail::LogRelay> weak = relay_;
  log_.SetListener([weak] {
    std::shared_ptr<detail::LogRelay> relay = weak.lock();
    if (!relay) return;
    std::lock_guard lock(relay->mutex);
    if (relay->window == nullptr || relay->pending.exchange(true)) return;
    QMetaObject::invokeMethod(
        relay->window, [window = relay->window] { window->LogGrew(); }, Qt::QueuedConnection);
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

void CommunicationWindow::LogGrew() {
  relay_->pending = false;
  if (next_turn_.isActive()) return;  // a redisplay is on its way and will see this too
  const qint64 since = last_show_.isValid() ? last_show_.elapsed() : kMinIntervalMs;
  if (since >= kMinIntervalMs) {
    ShowLog();
  } else {
    next_turn_.start(static_cast<int>(kMinIntervalMs - since));
  }
}

void CommunicationWindow::ShowLog() {
  relay_->pending = false;
  next_turn_.stop();
  last_show_.start();
  // Only what is new crosses over; the text shown is never rebuilt while the log just grows.
  MemoryTrafficLog::Update update = log_.TextSince(generation_, shown_end_);
  if (update.restart) {
    // Cleared, or so much came at once that what was shown is gone from the log.
    text_->clear();
    pending_text_ = std::move(update.text);
    pending_drops_ = 0;
  } else {
    pending_text_ += update.text;
    pending_drops_ += update.dropped_lines - shown_dropped_lines_;
  }
  generation_ = update.generation;
  shown_end_ = update.end;
  shown_dropped_lines_ = update.dropped_lines;
  WorkOnDocument();
}

void CommunicationWindow::WorkOnDocument() {
  QScrollBar* bar = text_->verticalScrollBar();
  const bool at_end = bar->value() == bar->maximum();
  QTextDocument* document = text_->document();
  if (pending_drops_ > 0) {
    // The log dropped its oldest lines: the same whole lines leave the front of the document,
    // or of the text still waiting when the document holds fewer.
    const uint64_t drop = std::min(pending_drops_, kDropChunkLines);
    const uint64_t in_document =
        std::min<uint64_t>(drop, static_cast<uint64_t>(document->blockCount() - 1));
    if (in_document > 0) {
      QTextCursor front(document);
      front.movePosition(QTextCursor::Start);
      front.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor,
                         static_cast<int>(in_document));
      front.removeSelectedText();
    }
    for (uint64_t i = in_document; i < drop; ++i) {
      const size_t line_end = pending_text_.find('\n');
      pending_text_.erase(0, line_end == std::string::npos ? pending_text_.size() : line_end + 1);
    }
    pending_drops_ -= drop;
  }
  if (!pending_text_.empty()) {
    size_t take = pending_text_.size();
    if (take > kAppendChunkBytes) {
      const size_t line_end = pending_text_.rfind('\n', kAppendChunkBytes);
      take = line_end == std::string::npos ? kAppendChunkBytes : line_end + 1;
    }
    QTextCursor end(document);
    end.movePosition(QTextCursor::End);
    end.insertText(ForDisplay(std::string_view(pending_text_).substr(0, take)));
    pending_text_.erase(0, take);
  }
  if (pending_drops_ > 0 || !pending_text_.empty()) next_turn_.start(0);
  // Follow the newest traffic unless the user scrolled back to read.
  if (at_end) bar->setValue(bar->maximum());
}

}  // namespace vela::ui
