// The one window of the tool: the connection strip, the whole-board buttons, the busy panel
// and the four tabs. It owns the configuration, the worker thread that owns the port, the
// operation queue with its 200 ms tick, and the device library.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "files/device_library.h"
#include "model/board_config.h"
#include "model/instruction_set.h"
#include "operations/operation_dispatcher.h"
#include "ui/board_worker.h"
#include "ui/window_context.h"
#include "ui/window_view.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;

namespace vela::ui {

class ClickLabel;
class CommitLineEdit;
class CommunicationWindow;
class CompareWindow;
class DeviceConfigTab;
class EventControlTab;
class GeneralTab;
class PressButton;
class QtDialogs;
class TestTab;
class UpDown;

// How the window is set up; the defaults are the program's. Tests put their own dialogs and
// port here, which is the only way they reach inside.
struct MainWindowOptions {
  // Message boxes and file dialogs; the window's Qt dialogs when null.
  UserDialogs* dialogs = nullptr;
  // Makes the port on the worker thread; the QSerialPort adapter when empty.
  BoardWorker::PortFactory port_factory;
  // Entries listed before the platform's ports (the simulated board in demo mode).
  std::vector<std::string> extra_ports;
  // Whether the platform's ports are listed.
  bool list_platform_ports = true;
  // A port opened at start, as if chosen in the list.
  std::string open_port;
  // Folders searched for VelaDevices.def at start; the program's folder and the installed
  // data folder when empty.
  std::vector<std::filesystem::path> device_folders;
};

// The name under which the in-process simulated board is listed and opened.
inline constexpr const char* kSimulatedBoardPort = "Simulated board";

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

  BoardWorker& Worker() { return *worker_; }
  OperationDispatcher& Dispatcher() { return dispatcher_; }
  DeviceLibrary& Library() { return library_; }
  // Changes that were neither saved nor written to the board.
  bool HasUnsavedChanges() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  struct Snapshot {
    PinTable pins;
    EventControlTable events;
    GeneralSettings general;
  };

  // A control's signal to a handler that runs only while no board job runs.
  template <typename Sender, typename Signal, typename Handler>
  void OnInput(Sender* sender, Signal signal, Handler handler) {
    ConnectInput(*this, sender, signal, this, std::move(handler));
  }

  // The menu bar: File and Board, each holding the entries of its kind.
  void BuildMenus();
  QWidget* BuildConnectionStrip();
  void BuildPortFields(QHBoxLayout* row, QWidget* strip);
  void BuildAddressFields(QHBoxLayout* row, QWidget* strip);
  void BuildLinkOptions(QHBoxLayout* row, QHBoxLayout* second, QWidget* strip);
  QWidget* BuildBoardButtons();
  QWidget* BuildBusyPanel();
  void BuildTabs();

  // Connection strip.
  void ListPorts();
  void OnRefreshPorts();
  void ChoosePort(const std::string& name);
  std::string PortNameOf(int index) const;
  void OnBitRate(int index);
  void CommitModuleAddress();
  void CommitXAddress();
  void OnXAddressChecked(bool checked);
  void OnCorsanChecked(bool checked);
  void ShowConnection();
  void ShowPortState();

  // Whole-board buttons and modes.
  void OnSaveFile(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
  void OnLoadFile();
  void LoadFile(const std::string& path);
  void RememberFile(const std::string& path);
  void ApplyNumbering();
  void OnTabChanged(int index);
  void OnReleasePressed(Qt::MouseButton button);
  void ShowCommunicationWindow();

  // Compare: the board read into a second configuration, or a data file, against the open one.
  void OnCompareWithBoard();
  void OnCompareWithFile();
  void ShowDifferences(const BoardConfig& other, const QString& other_heading,
                       const QString& other_name);
  // A difference chosen in the compare window: its pin and aspect on the device tab.
  void ShowChosenDifference(int pin, int aspect);

  // The operation tick and the busy state.
  void OnTimer1();
  void StartJob(const QString& what, bool show_at_once);
  void FinishJob(unsigned requests, bool refresh_all);
  void ShowProgress(const Progress& progress);
  // After a Write All: one warning when messages went unconfirmed.
  void ReportLostConfirmations();
  void ShowReport();
  void MarkClean();

  BoardConfig config_;
  InstructionSet instructions_;
  WindowView view_;
  std::unique_ptr<QtDialogs> qt_dialogs_;
  UserDialogs* dialogs_ = nullptr;
  std::unique_ptr<BoardWorker> worker_;
  OperationDispatcher dispatcher_;
  DeviceLibrary library_;
  std::unique_ptr<OperationObserver> observer_;
  QTimer timer1_;
  QTimer busy_delay_;
  MainWindowOptions options_;
  Snapshot saved_;
  bool loaded_unsaved_ = false;
  bool close_when_idle_ = false;
  bool tearing_down_ = false;
  bool input_held_ = false;  // a poll runs: the window's input is swallowed
  int previous_tab_ = 0;
  std::vector<std::string> recent_files_;

  QMenu* file_menu_ = nullptr;
  QMenu* board_menu_ = nullptr;
  QWidget* strip_ = nullptr;
  QWidget* board_buttons_ = nullptr;
  ClickLabel* port_label_ = nullptr;
  QComboBox* port_list_ = nullptr;
  QLabel* port_state_ = nullptr;
  QGroupBox* bitrate_frame_ = nullptr;
  std::array<QRadioButton*, 3> bitrate_{};
  QLabel* address_label_ = nullptr;
  CommitLineEdit* address_box_ = nullptr;
  UpDown* address_spin_ = nullptr;
  QCheckBox* xaddress_check_ = nullptr;
  QLabel* xaddress_label_ = nullptr;
  CommitLineEdit* xaddress_box_ = nullptr;
  UpDown* xaddress_spin_ = nullptr;
  QCheckBox* bidirectional_ = nullptr;
  QCheckBox* corsan_ = nullptr;
  QPushButton* transparent_ = nullptr;
  QCheckBox* numbering_ = nullptr;
  ClickLabel* release_ = nullptr;
  QToolButton* recent_button_ = nullptr;
  QMenu* recent_menu_ = nullptr;

  QWidget* busy_panel_ = nullptr;
  QLabel* label_action_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* cancel_ = nullptr;

  QTabWidget* tabs_ = nullptr;
  GeneralTab* general_tab_ = nullptr;
  EventControlTab* event_tab_ = nullptr;
  DeviceConfigTab* device_tab_ = nullptr;
  TestTab* test_tab_ = nullptr;
  QPointer<CommunicationWindow> communication_window_;
  QPointer<CompareWindow> compare_window_;
};

}  // namespace vela::ui
