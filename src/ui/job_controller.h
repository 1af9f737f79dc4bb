// The board jobs of the window and what shows while one runs: queued operations on their
// 200 ms tick, direct jobs and polls on the worker thread, the busy panel ("  Working ...
// Please WAIT", the progress bar, "Cancel"), and the report afterwards. While a job runs the
// controls it was given are disabled; when it ends the context announces what the job may
// have replaced.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "operations/operation_dispatcher.h"
#include "ui/board_worker.h"
#include "ui/window_context.h"
#include "ui/window_view.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace vela::ui {

class JobController : public QObject {
  Q_OBJECT

 public:
  // `window` is the window whose input a poll holds off.
  JobController(WindowContext& context, BoardWorker& worker, OperationDispatcher& dispatcher,
                WindowView& view, UserDialogs& dialogs, QWidget* window);
  ~JobController() override;

  // The busy panel, to be placed by the window.
  QWidget* Panel() const { return panel_; }
  // Controls disabled while a job runs (disabling moves the focus out of a box, which commits
  // it while the model is still the window's).
  void DisableDuringJobs(std::vector<QWidget*> widgets) { disabled_ = std::move(widgets); }
  // Starts and stops the operation tick.
  void Start() { timer1_.start(); }
  void Stop() { timer1_.stop(); }

  bool Busy() const { return worker_.Busy(); }
  void RunOnBoard(const QString& what, std::function<void(Session&)> job,
                  std::function<void()> done);
  void PollOnBoard(std::function<void(Session&)> job, std::function<void()> done);
  void QueueOperation(const QString& name);
  // Runs `job` with the busy panel shown at once; `done` runs after the window is live again.
  // The window is redisplayed only as far as the job's view asked.
  void RunShown(const QString& what, std::function<void(Session&)> job, std::function<void()> done);
  // Forwards the dispatcher's progress to the busy panel, for operations run inside a job.
  OperationObserver* ProgressObserver() const { return observer_.get(); }

 signals:
  // A Read All read, or a Write All wrote, the whole configuration: the board now holds
  // what the window holds.
  void boardMatched();
  // A job ended and the window is live again.
  void jobEnded();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildPanel(QWidget* window);
  void OnTimer1();
  void StartJob(const QString& what, bool show_at_once);
  void FinishJob(unsigned requests, bool refresh_all);
  void ShowProgress(const Progress& progress);
  // After a Write All: one warning when messages went unconfirmed.
  void ReportLostConfirmations();
  // After a cancelled operation other than a verification: what it did and what the
  // configuration now holds.
  void ReportCancel(const std::string& name);
  void ShowReport();

  WindowContext& context_;
  BoardWorker& worker_;
  OperationDispatcher& dispatcher_;
  WindowView& view_;
  UserDialogs& dialogs_;
  QWidget* window_ = nullptr;
  std::unique_ptr<OperationObserver> observer_;
  std::vector<QWidget*> disabled_;
  QTimer timer1_;
  QTimer busy_delay_;
  bool input_held_ = false;  // a poll runs: the window's input is swallowed

  QWidget* panel_ = nullptr;
  QLabel* label_action_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace vela::ui
