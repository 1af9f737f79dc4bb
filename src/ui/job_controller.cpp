#include "ui/job_controller.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "ui/editor_widgets.h"
#include "ui/report_window.h"
#include "ui/text_convert.h"

namespace vela::ui {
namespace {

// Hands the dispatcher's progress to the worker, which carries it to the window.
class ProgressForwarder final : public OperationObserver {
 public:
  explicit ProgressForwarder(BoardWorker& worker) : worker_(worker) {}
  void OnProgress(const std::string& operation, const std::string& step, int done,
                  int total) override {
    worker_.ReportProgress({Q(operation), Q(step), done, total});
  }

 private:
  BoardWorker& worker_;
};

}  // namespace

JobController::JobController(WindowContext& context, BoardWorker& worker,
                             OperationDispatcher& dispatcher, WindowView& view,
                             UserDialogs& dialogs, QWidget* window)
    : context_(context),
      worker_(worker),
      dispatcher_(dispatcher),
      view_(view),
      dialogs_(dialogs),
      window_(window),
      observer_(std::make_unique<ProgressForwarder>(worker)) {
  panel_ = BuildPanel(window);
  connect(&worker_, &BoardWorker::progressChanged, this, &JobController::ShowProgress);
  timer1_.setObjectName("Timer1");
  timer1_.setInterval(200);
  connect(&timer1_, &QTimer::timeout, this, &JobController::OnTimer1);
  busy_delay_.setSingleShot(true);
  busy_delay_.setInterval(300);
  connect(&busy_delay_, &QTimer::timeout, this, [this] {
    if (context_.Busy()) panel_->setVisible(true);
  });
  qApp->installEventFilter(this);
}

JobController::~JobController() = default;

QWidget* JobController::BuildPanel(QWidget* window) {
  auto* panel = new QWidget(window);
  panel->setObjectName("BusyPanel");
  auto* row = new QHBoxLayout(panel);
  row->setContentsMargins(0, 0, 0, 0);
  label_action_ = new QLabel("  Working ... Please WAIT", panel);
  label_action_->setObjectName("LabelAction");
  QFont bold = label_action_->font();
  bold.setBold(true);
  label_action_->setFont(bold);
  progress_ = new QProgressBar(panel);
  progress_->setObjectName("ProgressAction");
  progress_->setTextVisible(true);
  progress_->setMinimumWidth(
      progress_->fontMetrics().horizontalAdvance("Verifying pin 32 (32 of 32)") + 40);
  cancel_ = MakeButton("CommandCancelOperation", "Cancel", panel);
  cancel_->setToolTip("Stop the operation before its next exchange with the board");
  row->addWidget(label_action_);
  row->addWidget(progress_, 1);
  row->addWidget(cancel_);
  panel->setVisible(false);
  connect(cancel_, &QPushButton::clicked, this, [this] { worker_.Cancel(); });
  return panel;
}

// ---- starting and finishing ----

void JobController::StartJob(const QString& what, bool show_at_once) {
  // What the job replaces in the configuration is undone under its name.
  context_.NameNextChange(what);
  for (QWidget* widget : disabled_) widget->setEnabled(false);
  progress_->setRange(0, 0);
  progress_->setFormat(what);
  label_action_->setVisible(true);
  progress_->setVisible(true);
  cancel_->setVisible(true);
  if (show_at_once) {
    panel_->setVisible(true);
  } else {
    busy_delay_.start();
  }
}

void JobController::FinishJob(unsigned requests, bool refresh_all) {
  busy_delay_.stop();
  panel_->setVisible(false);
  for (QWidget* widget : disabled_) widget->setEnabled(true);
  if (refresh_all || (requests & ~unsigned{WindowView::kHideLabelAction}) != 0) {
    context_.ConfigReplaced();
  } else {
    context_.LinkChanged();
  }
  emit jobEnded();
}

void JobController::RunOnBoard(const QString& what, std::function<void(Session&)> job,
                               std::function<void()> done) {
  if (context_.Busy()) return;
  StartJob(what, false);
  worker_.Post(std::move(job), [this, done = std::move(done)] {
    if (done) done();
    FinishJob(view_.Take(), true);
  });
}

void JobController::RunShown(const QString& what, std::function<void(Session&)> job,
                             std::function<void()> done) {
  StartJob(what, true);
  worker_.Post(std::move(job), [this, done = std::move(done)] {
    FinishJob(view_.Take(), false);
    if (done) done();
  });
}

void JobController::PollOnBoard(std::function<void(Session&)> job, std::function<void()> done) {
  if (context_.Busy()) return;
  // A poll takes milliseconds and comes ten times a second: greying the window for it would
  // flicker and move the focus (which ends the monitor), so input is only swallowed meanwhile.
  input_held_ = true;
  worker_.Post(std::move(job), [this, done = std::move(done)] {
    input_held_ = false;
    view_.Take();
    if (done) done();
    context_.LinkChanged();
  });
}

bool JobController::eventFilter(QObject* watched, QEvent* event) {
  if (input_held_) {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::Wheel:
      case QEvent::ShortcutOverride: {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == window_) return true;
        break;
      }
      default:
        break;
    }
  }
  return QObject::eventFilter(watched, event);
}

// ---- queued operations ----

void JobController::QueueOperation(const QString& name) {
  if (context_.Busy()) return;
  Session session{context_.Link(), context_.Config(), view_};
  if (!OperationDispatcher::CheckBeforeQueue(name.toStdString(), session)) return;
  if (OperationDispatcher::ReplacesTables(name.toStdString()) &&
      !context_.ConfirmReplace("reading the board")) {
    return;
  }
  // The label shows from the click; the operation runs at the next tick.
  progress_->setVisible(false);
  cancel_->setVisible(false);
  label_action_->setVisible(true);
  panel_->setVisible(true);
  dispatcher_.Queue(name.toStdString());
}

void JobController::OnTimer1() {
  if (context_.Busy()) return;
  const std::string name = dispatcher_.TakePending();
  if (name.empty()) return;
  StartJob(Q(OperationDispatcher::Title(name)), true);
  worker_.Post([this, name](Session& session) { dispatcher_.Run(name, session, observer_.get()); },
               [this, name] {
                 FinishJob(view_.Take(), false);
                 // What the board now holds is what the window holds, when the board said so.
                 if ((name == "WriteAll" && dispatcher_.LastWriteConfirmed()) ||
                     (name == "ReadAll" && dispatcher_.LastReadComplete())) {
                   emit boardMatched();
                 }
                 if (name == "WriteAll") ReportLostConfirmations();
                 ShowReport();
                 ReportCancel(name);
               });
}

void JobController::ReportLostConfirmations() {
  const ExchangeTally& tally = dispatcher_.LastTally();
  const int lost = tally.LostConfirmations();
  if (lost == 0) return;
  dialogs_.Message("Write All: " + std::to_string(lost) + " of " + std::to_string(tally.sent) +
                       " messages were not confirmed by the board, so it may not hold this "
                       "configuration." +
                       kCrLf + "Run Verify All to check the board.",
                   MessageIcon::kWarning);
}

void JobController::ReportCancel(const std::string& name) {
  const std::string& text = dispatcher_.LastCancelText();
  // A verification's report carries the same line.
  if (text.empty() || OperationDispatcher::IsVerification(name)) return;
  std::string message = text;
  if (OperationDispatcher::IsRead(name)) {
    message += kCrLf + std::string("Edit > Undo brings back the configuration from before ") +
               OperationDispatcher::Title(name) + ".";
  }
  dialogs_.Message(message);
}

void JobController::ShowProgress(const Progress& progress) {
  if (!context_.Busy()) return;
  progress_->setRange(0, progress.total);
  progress_->setValue(progress.total > 0 ? progress.done : 0);
  progress_->setFormat(progress.step.isEmpty() ? progress.operation : progress.step);
  panel_->setVisible(true);
}

void JobController::ShowReport() {
  if (!dispatcher_.ReportPending()) return;
  dispatcher_.ClearReportPending();
  ReportWindow report(dialogs_, window_);
  report.ShowReport(Q(dispatcher_.ReportText()), window_);
}

}  // namespace vela::ui
