#include "ui/board_worker.h"

#include <QEventLoop>

namespace vela::ui {

BoardWorker::BoardWorker(BoardConfig& config, ConfigView& view, UserDialogs& dialogs,
                         PortFactory factory)
    : config_(config), view_(view), link_(proxy_, clock_, dialogs, log_) {
  qRegisterMetaType<vela::ui::Progress>();
  thread_.setObjectName("BoardWorker");
  thread_.start();
  context_ = new QObject;
  context_->moveToThread(&thread_);
  // The port is made by, and only ever touched from, the worker thread.
  QMetaObject::invokeMethod(
      context_, [this, factory] { proxy_.Reset(factory()); }, Qt::BlockingQueuedConnection);
}

BoardWorker::~BoardWorker() {
  link_.RequestCancel();
  QMetaObject::invokeMethod(
      context_,
      [this] {
        proxy_.Close();
        proxy_.Reset(nullptr);
      },
      Qt::BlockingQueuedConnection);
  context_->deleteLater();
  thread_.quit();
  thread_.wait();
}

void BoardWorker::Post(std::function<void(Session&)> job, std::function<void()> done) {
  ++pending_;
  busy_ = true;
  emit jobStarted();
  QMetaObject::invokeMethod(context_, [this, job = std::move(job), done = std::move(done)] {
    link_.ClearCancel();
    Session session{link_, config_, view_};
    job(session);
    link_.ClearCancel();
    QMetaObject::invokeMethod(this, [this, done] {
      if (--pending_ == 0) busy_ = false;
      if (done) done();
      emit jobFinished();
    });
  });
}

void BoardWorker::WaitIdle() {
  if (!busy_) return;
  // The finish notice is queued to this thread, so it cannot slip past before exec().
  QEventLoop loop;
  connect(this, &BoardWorker::jobFinished, &loop, [this, &loop] {
    if (!busy_) loop.quit();
  });
  loop.exec();
}

void BoardWorker::ReportProgress(const Progress& progress) {
  emit progressChanged(progress);
}

}  // namespace vela::ui
