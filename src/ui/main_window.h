// The one window of the tool, put together from its pieces: the menus (WindowMenus), the
// connection strip (ConnectionStrip), the whole-board buttons (BoardButtons), the busy panel
// with the board jobs (JobController) and the four tabs. It owns the configuration, the worker
// thread that owns the port, the operation queue and the device library, and is the pieces'
// shared context; it keeps the record of unsaved changes and the compare windows.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "files/device_library.h"
#include "link/qt/qt_serial_port.h"
#include "model/board_config.h"
#include "model/instruction_set.h"
#include "operations/operation_dispatcher.h"
#include "ui/board_worker.h"
#include "ui/window_context.h"
#include "ui/window_view.h"

class QTabWidget;

namespace vela::ui {

class BoardButtons;
class CommunicationWindow;
class CompareWindow;
class ConnectionStrip;
class DeviceConfigTab;
class GeneralTab;
class JobController;
class QtDialogs;
class UndoController;
class WindowMenus;
class WindowSettings;

// How the window is set up; the defaults are the program's. Tests put their own dialogs and
// port here, which is the only way they reach inside.
struct MainWindowOptions {
  // Message boxes and file dialogs; the window's Qt dialogs when null.
  UserDialogs* dialogs = nullptr;
  // Makes the port on the worker thread; the QSerialPort adapter when empty.
  BoardWorker::PortFactory port_factory;
  // Entries listed before the platform's ports (the simulated board in demo mode).
  std::vector<std::string> extra_ports;
  // Lists the ports after those: the platform's by default; none when empty (tests).
  std::function<std::vector<PortInfo>()> list_ports = &QtSerialPort::ListPorts;
  // A port opened at start, as if chosen in the list.
  std::string open_port;
  // Folders searched for VelaDevices.def at start; the program's folder and the installed
  // data folder when empty.
  std::vector<std::filesystem::path> device_folders;
  // What the window remembers between runs; when null, it remembers for this run only and
  // reads and writes no file (tests, --no-settings).
  WindowSettings* settings = nullptr;
  // The bit rate (an index into kLineSettings) and the module address (on the wire) at start,
  // over the remembered ones.
  std::optional<int> bit_rate_index;
  std::optional<int> module_address;
  // A data file loaded at start, as "Load File" loads it.
  std::string open_file;
};

class MainWindow : public QMainWindow, public WindowContext {
  Q_OBJECT

 public:
  explicit MainWindow(const MainWindowOptions& options = {}, QWidget* parent = nullptr);
  ~MainWindow() override;

  // WindowContext
  BoardConfig& Config() override { return config_; }
  const InstructionSet& Instructions() const override { return instructions_; }
  BoardLink& Link() override { return worker_->Link(); }
  UserDialogs& Dialogs() override { return *dialogs_; }
  void PollOnBoard(std::function<void(Session&)> job, std::function<void()> done) override;
  void RunOnBoard(const QString& what, std::function<void(Session&)> job,
                  std::function<void()> done = {}) override;
  void QueueOperation(const QString& name) override;
  bool Busy() const override;
  bool ConfirmReplace(const std::string& before_what) override;
  void NameNextChange(const QString& label) override;

  BoardWorker& Worker() { return *worker_; }
  OperationDispatcher& Dispatcher() { return dispatcher_; }
  DeviceLibrary& Library() { return library_; }
  // Changes that were neither saved nor written to the board.
  bool HasUnsavedChanges() const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  struct Snapshot {
    PinTable pins;
    EventControlTable events;
    GeneralSettings general;
  };

  void BuildTabs();
  void LoadDeviceLibrary();
  void OnTabChanged(int index);
  void ShowCommunicationWindow();
  // Remembered settings (main_window_work.cpp): the link and the file at start, the link's
  // choices as they change, the geometry.
  void StartFromSettings();
  void RememberLink();
  void RestoreGeometry();
  void FitOnScreen();

  // Compare: the board read into a second configuration, or a data file, against the open one.
  void OnCompareWithBoard();
  void OnCompareWithFile();
  void ShowDifferences(const BoardConfig& other, const QString& other_heading,
                       const QString& other_name);
  // A difference chosen in the compare window: its pin and aspect on the device tab.
  void ShowChosenDifference(int pin, int aspect);

  // Keeping the user's work (main_window_work.cpp): the menus' entries, undo, the question
  // before unsaved edits are replaced or the window closes, the title.
  void FollowMenus();
  void ShowShortcuts();
  void ShowAbout();
  void ShowTitle();
  void MarkClean();
  // Edits since the configuration was last saved, loaded, read or written.
  bool HasEditsNotKept() const;

  BoardConfig config_;
  InstructionSet instructions_;
  WindowView view_;
  std::unique_ptr<QtDialogs> qt_dialogs_;
  UserDialogs* dialogs_ = nullptr;
  std::unique_ptr<BoardWorker> worker_;
  OperationDispatcher dispatcher_;
  DeviceLibrary library_;
  std::unique_ptr<JobController> jobs_;
  MainWindowOptions options_;
  std::unique_ptr<WindowSettings> own_settings_;
  WindowSettings* settings_ = nullptr;
  Snapshot saved_;
  bool loaded_unsaved_ = false;
  bool close_when_idle_ = false;
  bool fit_on_show_ = false;
  bool tearing_down_ = false;
  int previous_tab_ = 0;

  UndoController* undo_ = nullptr;
  WindowMenus* menus_ = nullptr;
  ConnectionStrip* strip_ = nullptr;
  BoardButtons* board_buttons_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  DeviceConfigTab* device_tab_ = nullptr;
  GeneralTab* general_tab_ = nullptr;
  QPointer<CommunicationWindow> communication_window_;
  QPointer<CompareWindow> compare_window_;
};

}  // namespace vela::ui
