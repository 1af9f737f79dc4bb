// vela_comm_window_bench: the Communication window following the log of a whole "Read All"
// while the log is at its cap, as the window does it: a worker thread appends the traffic, the
// window redisplays on the UI thread. Measures how long the UI thread is held at a time (the
// largest gap between the ticks of a 1 ms timer, less the tick) and the UI thread's CPU time
// for the whole run, and the one-off cost of opening the window on a full log.
//
//   QT_QPA_PLATFORM=offscreen vela_comm_window_bench [exchanges] [microseconds between]
//
// The defaults are those of a fully programmed board at 19200 bit/s: 1357 exchanges, one
// every 11.4 ms (bench/README.md, the ReadAll row).
#include <time.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "link/traffic_log.h"
#include "ui/communication_window.h"

namespace {

double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// A request and its reply as the direct link logs them (a step read: 4 and 11 bytes).
std::string RequestLine(int i) {
  char text[64];
  std::snprintf(text, sizeof text, "> [43] [E4] [73] [%02X] [%02X] [%02X]\r\n", i % 32,
                (i / 32) % 12, i % 9);
  return text;
}
std::string ReplyLine(int i) {
  char text[96];
  std::snprintf(text, sizeof text,
                "< [43] [E9] [73] [%02X] [%02X] [%02X] [14] [00] [48] [01] [07]\r\n", i % 32,
                (i / 32) % 12, i % 9);
  return text;
}

}  // namespace

// Long on purpose: one measured run from filling the log to the figures, kept in one piece so
// that what is timed, and in which order, reads from top to bottom.
int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int exchanges = argc > 1 ? std::atoi(argv[1]) : 1357;
  const int pause_us = argc > 2 ? std::atoi(argv[2]) : 11400;

  vela::MemoryTrafficLog log;
  int filled = 0;
  while (log.Text().size() + 200 < vela::MemoryTrafficLog::kDefaultLimit) {
    log.AppendToLog(RequestLine(filled) + ReplyLine(filled));
    ++filled;
  }

  QElapsedTimer open_timer;
  open_timer.start();
  vela::ui::CommunicationWindow window(log);
  window.ShowFor(nullptr);
  QCoreApplication::processEvents();
  const double open_ms = static_cast<double>(open_timer.nsecsElapsed()) / 1e6;

  // The UI thread's longest hold: gaps between the ticks of a 1 ms timer.
  QElapsedTimer since_tick;
  std::vector<double> gaps;
  std::vector<double> cpu_gaps;  // the UI thread's own work in each gap (a loaded machine may
                                 // also take the thread off the CPU, which the wall gap shows)
  double cpu_at_tick = 0;
  QTimer tick;
  tick.setTimerType(Qt::PreciseTimer);
  tick.setInterval(1);
  QObject::connect(&tick, &QTimer::timeout, [&] {
    gaps.push_back(static_cast<double>(since_tick.nsecsElapsed()) / 1e6 - 1.0);
    since_tick.restart();
    const double cpu_now = ThreadCpuMs();
    cpu_gaps.push_back(cpu_now - cpu_at_tick);
    cpu_at_tick = cpu_now;
  });

  const double cpu_start = ThreadCpuMs();
  QElapsedTimer wall;
  wall.start();
  since_tick.start();
  cpu_at_tick = ThreadCpuMs();
  tick.start();
  QEventLoop loop;
  std::thread worker([&] {
    for (int i = 0; i < exchanges; ++i) {
      log.AppendToLog(RequestLine(i));
      log.AppendToLog(ReplyLine(i));
      std::this_thread::sleep_for(std::chrono::microseconds(pause_us));
    }
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  // A loop of its own: quitting the application would close the window, which clears the log.
  loop.exec();
  worker.join();
  // The redisplay of the last traffic, and what it left for the next turns.
  QElapsedTimer settle;
  settle.start();
  while (settle.elapsed() < 300) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  tick.stop();
  // A picture of the window as the run left it, for looking at it.
  if (const char* shot = std::getenv("VELA_COMM_WINDOW_SHOT")) window.grab().save(shot);
  auto* shown = window.findChild<QPlainTextEdit*>("txtCorsanCommunication");
  // What the window shows must be the log: a fast window that shows less is no result.
  const QString expected = QString::fromStdString(log.Text()).remove(QChar('\r'));
  if (shown->toPlainText() != expected) {
    std::fprintf(stderr, "the window does not show the log (%lld of %lld characters)\n",
                 static_cast<long long>(shown->toPlainText().size()),
                 static_cast<long long>(expected.size()));
    return 1;
  }
  const double cpu_ms = ThreadCpuMs() - cpu_start;
  const double wall_s = static_cast<double>(wall.elapsed()) / 1e3;

  std::sort(gaps.begin(), gaps.end());
  std::sort(cpu_gaps.begin(), cpu_gaps.end());
  const double worst = gaps.empty() ? 0 : gaps.back();
  const double p99 = gaps.empty() ? 0 : gaps[gaps.size() * 99 / 100];
  const double worst_cpu = cpu_gaps.empty() ? 0 : cpu_gaps.back();
  std::printf(
      "| log at cap | exchanges | wall s | UI thread CPU ms | longest hold ms (wall) | "
      "longest hold ms (UI thread CPU) | 99th percentile hold ms | "
      "open on a full log ms |\n");
  std::printf("|---|---|---|---|---|---|---|---|\n");
  std::printf("| %zu KiB | %d | %.1f | %.0f | %.1f | %.1f | %.1f | %.0f |\n",
              vela::MemoryTrafficLog::kDefaultLimit / 1024, exchanges, wall_s, cpu_ms, worst,
              worst_cpu, p99, open_ms);
  return 0;
}
