// What the GUI suites share: the real main window on an in-process simulated board, with
// message boxes and file dialogs answered from a script, and helpers that drive controls by
// their object names the way a user does.
#pragma once

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "link/clock.h"
#include "sim/demo_board.h"
#include "sim/demo_layout.h"
#include "sim/simulated_board.h"
#include "sim/simulated_port.h"
#include "sim/simulated_station.h"
#include "ui/main_window.h"

namespace vela::testing {

// Message boxes and file dialogs from the script; safe to call from the worker thread.
class ScriptedDialogs final : public UserDialogs {
 public:
  void Message(const std::string& text, MessageIcon) override {
    std::lock_guard lock(mutex_);
    messages_.push_back(text);
  }
  vela::Answer Question(const std::string& text, QuestionButtons buttons, MessageIcon) override {
    std::lock_guard lock(mutex_);
    questions_.push_back(text);
    if (!answers_.empty()) {
      vela::Answer a = answers_.front();
      answers_.pop_front();
      return a;
    }
    return buttons == QuestionButtons::kYesNo ? Answer::kNo : Answer::kCancel;
  }
  std::string OpenFileName(const std::string&, const std::string&) override { return PopFile(); }
  std::string SaveFileName(const std::string&, const std::string&) override { return PopFile(); }

  void Reply(vela::Answer a) {
    std::lock_guard lock(mutex_);
    answers_.push_back(a);
  }
  void GiveFile(const std::string& path) {
    std::lock_guard lock(mutex_);
    files_.push_back(path);
  }
  std::vector<std::string> Messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
  }
  std::vector<std::string> Questions() const {
    std::lock_guard lock(mutex_);
    return questions_;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    messages_.clear();
    questions_.clear();
  }

 private:
  std::string PopFile() {
    std::lock_guard lock(mutex_);
    if (files_.empty()) return {};
    std::string f = files_.front();
    files_.pop_front();
    return f;
  }

  mutable std::mutex mutex_;
  std::vector<std::string> messages_;
  std::vector<std::string> questions_;
  std::deque<vela::Answer> answers_;
  std::deque<std::string> files_;
};

// The simulated port, with a way to pull it out from under the link, as an unplugged adapter:
// from then on it is closed and says why, once.
class LosablePort final : public SerialPort {
 public:
  explicit LosablePort(std::unique_ptr<sim::SimulatedPort> port) : port_(std::move(port)) {}
  sim::SimulatedPort& Inner() { return *port_; }
  void Lose() { lose_ = true; }

  bool Open(const std::string& name, const std::string& settings, std::string* error) override {
    lose_ = false;
    return port_->Open(name, settings, error);
  }
  void Close() override { port_->Close(); }
  bool IsOpen() const override {
    const_cast<LosablePort*>(this)->CheckLost();
    return port_->IsOpen();
  }
  size_t BytesWaiting() override { return port_->BytesWaiting(); }
  size_t Read(uint8_t* buffer, size_t max) override { return port_->Read(buffer, max); }
  bool Write(const uint8_t* data, size_t size) override {
    CheckLost();
    return port_->Write(data, size);
  }
  bool WaitForData(std::chrono::microseconds timeout) override {
    return port_->WaitForData(timeout);
  }
  std::string TakeLostReason() override { return std::exchange(reason_, std::string()); }

 private:
  void CheckLost() {
    if (lose_.exchange(false) && port_->IsOpen()) {
      port_->Close();
      reason_ = "the device went away";
    }
  }

  std::unique_ptr<sim::SimulatedPort> port_;
  std::atomic<bool> lose_{false};
  std::string reason_;
};

// The window on a simulated board (the demo layout unless told otherwise). It remembers
// nothing between runs: its settings are in memory.
class WindowUnderTest {
 public:
  struct Setup {
    bool demo_layout = true;
    bool open_port = true;
    int bit_rate = 0;  // emulated wire time; 0 = none
    bool refuse_open = false;
    bool station = false;     // a command station between the PC and the board
    bool real_ports = false;  // the QSerialPort adapter instead of the simulated board
    // Anything else of the window's set-up, as the command line would give it.
    std::function<void(ui::MainWindowOptions&)> options;
  };

  WindowUnderTest() : WindowUnderTest(Setup{}) {}
  explicit WindowUnderTest(Setup setup) : setup_(setup) {
    if (setup_.demo_layout) sim::LoadDemoLayout(board_);
    ui::MainWindowOptions options;
    options.dialogs = &dialogs_;
    options.list_ports = nullptr;
    options.extra_ports = {sim::kDemoBoardName};
    options.device_folders = {std::filesystem::path(VELA_SOURCE_DIR) / "data"};
    if (!setup_.real_ports) {
      options.port_factory = [this]() -> std::unique_ptr<SerialPort> {
        auto port = std::make_unique<sim::SimulatedPort>(board_, clock_,
                                                         setup_.station ? &station_ : nullptr);
        port->Timing().bit_rate = setup_.bit_rate;
        port->refuse_open = setup_.refuse_open;
        auto losable = std::make_unique<LosablePort>(std::move(port));
        port_ = losable.get();
        return losable;
      };
    }
    if (setup_.open_port) options.open_port = sim::kDemoBoardName;
    if (setup_.options) setup_.options(options);
    window_ = std::make_unique<ui::MainWindow>(options);
    window_->resize(1200, 860);
    window_->show();
    QApplication::setActiveWindow(window_.get());
    WaitIdle();
  }
  ~WindowUnderTest() {
    // Nothing to ask when the test closes the window.
    window_->Worker().WaitIdle();
  }

  ui::MainWindow& window() { return *window_; }
  BoardConfig& config() { return window_->Config(); }
  ScriptedDialogs& dialogs() { return dialogs_; }
  sim::SimulatedBoard& board() { return board_; }
  sim::SimulatedStation& station() { return station_; }
  // Pulls the port out; the next exchange finds it closed.
  void LosePort() { port_->Lose(); }

  template <typename T = QWidget>
  T* Find(const QString& name) {
    T* w = window_->findChild<T*>(name);
    if (!w) qWarning("no control named %s", qPrintable(name));
    return w;
  }

  // Until no job runs, nothing is queued and the busy panel is gone.
  bool WaitIdle(int timeout_ms = 20000) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeout_ms) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
      QWidget* busy = Find<QWidget>("BusyPanel");
      if (!window_->Busy() && window_->Dispatcher().Pending().empty() && busy && busy->isHidden()) {
        return true;
      }
      QTest::qWait(5);
    }
    return false;
  }

  void ShowTab(int index) { Find<QTabWidget>("SSTab_Main")->setCurrentIndex(index); }

  // Types into a box and commits it with Return, as a user finishing an entry.
  void Type(const QString& name, const QString& text) {
    auto* box = Find<QLineEdit>(name);
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
  }
  QString Text(const QString& name) {
    if (auto* box = window_->findChild<QLineEdit*>(name)) return box->text();
    if (auto* label = window_->findChild<QLabel*>(name)) return label->text();
    if (auto* button = window_->findChild<QAbstractButton*>(name)) return button->text();
    return "<none>";
  }
  void Click(const QString& name, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QWidget* w = Find<QWidget>(name);
    // Near the left edge: a check box's box is there, not at the widget's centre.
    QPoint at = qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)
                    ? QPoint(6, w->height() / 2)
                    : w->rect().center();
    QTest::mouseClick(w, Qt::LeftButton, keys, at);
  }
  void Choose(const QString& combo_name, const QString& item) {
    auto* combo = Find<QComboBox>(combo_name);
    const int index = combo->findText(item);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
  }
  // A widget that would be on screen if its tab were shown.
  bool Shown(const QString& name) {
    QWidget* w = Find<QWidget>(name);
    if (!w) return false;
    // Within a tab page: as if that page were the current one.
    auto* tabs = window_->findChild<QTabWidget*>("SSTab_Main");
    for (QWidget* a = w; a; a = a->parentWidget()) {
      for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->widget(i) == a) return w == a || w->isVisibleTo(a);
      }
    }
    return w->isVisibleTo(window_.get());
  }

  // Runs `action` on the next modal dialog as soon as it is up (then the caller's exec-ing
  // call returns when the action closes it).
  static void OnNextModal(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal || !modal->isVisible()) return;
      timer->stop();
      timer->deleteLater();
      action(modal);
    });
    timer->start();
  }
  static void ClickIn(QWidget* dialog, const QString& name) {
    QWidget* w = dialog->findChild<QWidget*>(name);
    if (!w) {
      qWarning("no control %s in %s", qPrintable(name), qPrintable(dialog->objectName()));
      return;
    }
    QPoint at = qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)
                    ? QPoint(6, w->height() / 2)
                    : w->rect().center();
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, at);
  }

  // Saves a picture of a widget when VELA_GUI_SHOTS names a folder (for looking at the
  // layout; the suites pass without it).
  static void Shot(QWidget* w, const QString& name) {
    const QByteArray dir = qgetenv("VELA_GUI_SHOTS");
    if (dir.isEmpty() || !w) return;
    QDir().mkpath(QString::fromLocal8Bit(dir));
    w->grab().save(QString::fromLocal8Bit(dir) + "/" + name + ".png");
  }

 private:
  Setup setup_;
  ScriptedDialogs dialogs_;
  SteadyClock clock_;
  sim::SimulatedBoard board_;
  sim::SimulatedStation station_{board_};
  LosablePort* port_ = nullptr;  // made and used on the worker thread; Lose() is atomic
  std::unique_ptr<ui::MainWindow> window_;
};

}  // namespace vela::testing
