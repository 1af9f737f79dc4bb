// vela_startup_bench: the window's start-up, from exec to the main window shown and painted
// once, and the start-up of `velacli --help` and `velaconfig --help`.
//
// The parent runs itself as a child (--child) that builds the QApplication and the MainWindow
// as velaconfig does, shows it and exits at the window's first paint; the parent times the
// child from fork to exit, so the loading of the Qt libraries counts too. Run it with
// QT_QPA_PLATFORM=offscreen where there is no display.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "ui/main_window.h"

namespace {

// Ends the event loop at the first paint of the watched widget.
class FirstPaint final : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !painted_) {
      painted_ = true;
      QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  bool painted_ = false;
};

int Child(int argc, char** argv) {
  QElapsedTimer timer;
  timer.start();
  QApplication app(argc, argv);
  vela::ui::MainWindowOptions options;
  options.device_folders = {VELA_DATA_FOLDER};
  vela::ui::MainWindow window(options);
  const qint64 built = timer.elapsed();
  FirstPaint paint;
  window.installEventFilter(&paint);
  window.show();
  QApplication::exec();
  std::fprintf(stderr, "in-process: window built %lld ms, painted %lld ms\n",
               static_cast<long long>(built), static_cast<long long>(timer.elapsed()));
  return 0;
}

// Wall seconds of one run of argv, output discarded.
double TimeRun(const std::vector<std::string>& argv) {
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    const int null_fd = open("/dev/null", O_RDWR);
    dup2(null_fd, 1);
    dup2(null_fd, 2);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Report(const char* what, std::vector<double> seconds, double target_s) {
  std::sort(seconds.begin(), seconds.end());
  if (seconds.empty() || seconds.front() < 0) {
    std::printf("| %s | failed | | |\n", what);
    return;
  }
  const double median = seconds[seconds.size() / 2];
  std::printf(
      "| %s | %.1f | %.1f | %s |\n", what, seconds.front() * 1000, median * 1000,
      target_s > 0 ? (median < target_s ? "under 500 ms: met" : "over 500 ms: missed") : "");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--child") return Child(argc, argv);
  const std::string self = argv[0];
  const std::string bin = std::string(VELA_BINARY_FOLDER);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  std::vector<double> window, cli_help, gui_help;
  for (int i = 0; i < runs; ++i) {
    window.push_back(TimeRun({self, "--child"}));
    cli_help.push_back(TimeRun({bin + "/src/cli/velacli", "--help"}));
    gui_help.push_back(TimeRun({bin + "/src/app/velaconfig", "--help"}));
  }
  std::printf("| start-up (%d runs) | best ms | median ms | target |\n|---|---|---|---|\n", runs);
  Report("velaconfig window, exec to first paint", window, 0.5);
  Report("velacli --help", cli_help, 0);
  Report("velaconfig --help", gui_help, 0);
  return 0;
}
