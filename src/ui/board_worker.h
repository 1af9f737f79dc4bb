// The one thread that owns the serial port and the link. The window hands it board jobs
// (queued operations, group buttons, test panel, monitor polls) one at a time; the window
// takes no input while a job runs but keeps painting, and redisplays when it ends.
#pragma once

#include <QObject>
#include <QThread>
#include <atomic>
#include <functional>
#include <memory>

#include "link/board_link.h"
#include "link/clock.h"
#include "link/traffic_log.h"
#include "operations/session.h"

namespace vela::ui {

// Forwards to the port the worker thread created, so that BoardLink can exist before it.
class PortProxy final : public SerialPort {
 public:
  void Reset(std::unique_ptr<SerialPort> port) { port_ = std::move(port); }
  SerialPort* Get() { return port_.get(); }

  bool Open(const std::string& name, const std::string& settings, std::string* error) override {
    return port_ && port_->Open(name, settings, error);
  }
  void Close() override {
    if (port_) port_->Close();
  }
  bool IsOpen() const override { return port_ && port_->IsOpen(); }
  size_t BytesWaiting() override { return port_ ? port_->BytesWaiting() : 0; }
  size_t Read(uint8_t* buffer, size_t max) override { return port_ ? port_->Read(buffer, max) : 0; }
  bool Write(const uint8_t* data, size_t size) override {
    return port_ && port_->Write(data, size);
  }
  bool WaitForData(std::chrono::microseconds timeout) override {
    return port_ && port_->WaitForData(timeout);
  }
  std::string TakeLostReason() override { return port_ ? port_->TakeLostReason() : std::string(); }

 private:
  std::unique_ptr<SerialPort> port_;
};

// Progress of a running job, as the busy panel shows it.
struct Progress {
  QString operation;
  QString step;
  int done = 0;   // e.g. pins done
  int total = 0;  // 0 = unknown
};

class BoardWorker : public QObject {
  Q_OBJECT

 public:
  // The factory runs on the worker thread and makes the port the link will use (QtSerialPort,
  // or the simulated board in demo mode).
  using PortFactory = std::function<std::unique_ptr<SerialPort>()>;

  BoardWorker(BoardConfig& config, ConfigView& view, UserDialogs& dialogs, PortFactory factory);
  ~BoardWorker() override;

  // Runs job on the worker thread; done runs on the UI thread afterwards. One job at a time:
  // a job posted while one runs waits its turn.
  void Post(std::function<void(Session&)> job, std::function<void()> done = {});
  bool Busy() const { return busy_; }
  // Blocks the calling (UI) thread until the worker is idle; for tests and shut-down.
  void WaitIdle();

  // Stops the running job between two exchanges, as a failed step would.
  void Cancel() { link_.RequestCancel(); }

  // Shared with the UI thread only while no job runs.
  BoardLink& Link() { return link_; }
  MemoryTrafficLog& Log() { return log_; }
  SerialPort* RawPort() { return proxy_.Get(); }

  // Called from jobs (worker thread); forwarded to the UI as progressChanged.
  void ReportProgress(const Progress& progress);

 signals:
  void progressChanged(const vela::ui::Progress& progress);
  void jobStarted();
  void jobFinished();

 private:
  BoardConfig& config_;
  ConfigView& view_;
  SteadyClock clock_;
  MemoryTrafficLog log_;
  PortProxy proxy_;
  BoardLink link_;
  QThread thread_;
  QObject* context_ = nullptr;  // lives on the worker thread; jobs are queued to it
  std::atomic<bool> busy_{false};
  std::atomic<int> pending_{0};
};

}  // namespace vela::ui

Q_DECLARE_METATYPE(vela::ui::Progress)
