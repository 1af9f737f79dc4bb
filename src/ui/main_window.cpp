#include "ui/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include "files/data_file.h"
#include "link/qt/qt_serial_port.h"
#include "model/config_compare.h"
#include "ui/board_buttons.h"
#include "ui/communication_window.h"
#include "ui/compare_window.h"
#include "ui/connection_strip.h"
#include "ui/device_config_tab.h"
#include "ui/event_control_tab.h"
#include "ui/general_tab.h"
#include "ui/job_controller.h"
#include "ui/qt_dialogs.h"
#include "ui/test_tab.h"
#include "ui/undo_controller.h"
#include "ui/window_menus.h"
#include "ui/window_settings.h"

namespace vela::ui {
namespace {

// Ctrl+Tab, Ctrl+Shift+Tab and Ctrl+Page Down/Up step from page to page, over those `skip`
// names, instead of landing on a page that refuses to open.
class PageTabs final : public QTabWidget {
 public:
  using QTabWidget::QTabWidget;
  std::function<bool(int)> skip;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    int step = 0;
    if (ctrl && (event->key() == Qt::Key_Backtab || event->key() == Qt::Key_PageUp ||
                 (event->key() == Qt::Key_Tab && shift))) {
      step = -1;
    } else if (ctrl && (event->key() == Qt::Key_Tab || event->key() == Qt::Key_PageDown)) {
      step = 1;
    }
    if (step == 0 || count() == 0) {
      QTabWidget::keyPressEvent(event);
      return;
    }
    int index = currentIndex();
    do {
      index = (index + step + count()) % count();
    } while (skip && skip(index) && index != currentIndex());
    setCurrentIndex(index);
    event->accept();
  }
};

// A tab page that can be taller or wider than a laptop screen leaves: it scrolls inside its tab
// when the window is smaller than the page, so the window itself can shrink to fit, and its
// size stays put when "Show Details" makes the page grow.
QScrollArea* Scrolled(QWidget* page, const QString& name) {
  auto* scroll = new QScrollArea;
  scroll->setObjectName(name);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  // The page's controls take the focus; the area moves to the one focused.
  scroll->setFocusPolicy(Qt::NoFocus);
  scroll->setWidget(page);
  // The tab's own background shows through, as it did without the scroll area.
  scroll->viewport()->setAutoFillBackground(false);
  page->setAutoFillBackground(false);
  return scroll;
}

}  // namespace

MainWindow::MainWindow(const MainWindowOptions& options, QWidget* parent)
    : QMainWindow(parent), options_(options) {
  setObjectName("VelaConfig");
  setWindowTitle("Vela Config");
  if (options_.dialogs) {
    dialogs_ = options_.dialogs;
  } else {
    qt_dialogs_ = std::make_unique<QtDialogs>(this);
    dialogs_ = qt_dialogs_.get();
  }
  settings_ = options_.settings;
  if (!settings_) {
    own_settings_ = std::make_unique<WindowSettings>();
    settings_ = own_settings_.get();
  }
  BoardWorker::PortFactory factory = options_.port_factory;
  if (!factory) factory = [] { return std::make_unique<QtSerialPort>(); };
  worker_ = std::make_unique<BoardWorker>(config_, view_, *dialogs_, factory);

  // The pieces are made in the order of the focus chain: menus, strip, buttons, busy panel,
  // tabs. Each subscribes to the announcements it shows, in that order too.
  menus_ = new WindowMenus(*this, menuBar());
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  // The menu bar already parts the strip from the title, and the window must fit 768 lines.
  QMargins margins = layout->contentsMargins();
  margins.setTop(margins.top() / 2);
  layout->setContentsMargins(margins);
  strip_ = new ConnectionStrip(*this, options_.extra_ports, options_.list_ports, this);
  connect(strip_, &ConnectionStrip::communicationLogRequested, this,
          &MainWindow::ShowCommunicationWindow);
  layout->addWidget(strip_);
  auto* third_row = new QHBoxLayout;
  board_buttons_ = new BoardButtons(*this, *settings_, this);
  connect(board_buttons_, &BoardButtons::saved, this, &MainWindow::MarkClean);
  connect(board_buttons_, &BoardButtons::loaded, this, [this] {
    MarkClean();
    loaded_unsaved_ = true;  // in a file, but not on the board: closing still asks
  });
  third_row->addWidget(board_buttons_);
  jobs_ = std::make_unique<JobController>(*this, *worker_, dispatcher_, view_, *dialogs_, this);
  connect(jobs_.get(), &JobController::boardMatched, this, &MainWindow::MarkClean);
  connect(jobs_.get(), &JobController::jobEnded, this, [this] {
    if (!close_when_idle_) return;
    close_when_idle_ = false;
    close();
  });
  third_row->addWidget(jobs_->Panel(), 1);
  third_row->addStretch();
  layout->addLayout(third_row);
  BuildTabs();
  layout->addWidget(tabs_, 1);
  setCentralWidget(central);
  std::vector<QWidget*> off_during_jobs = menus_->JobMenus();
  off_during_jobs.insert(off_during_jobs.end(), {strip_, board_buttons_, tabs_});
  jobs_->DisableDuringJobs(std::move(off_during_jobs));
  FollowMenus();

  // Start-up: the model starts with its defaults; apply the numbering switch (which shows
  // every number), then load the device library and show everything.
  strip_->ApplyNumbering();
  LoadDeviceLibrary();
  ConfigReplaced();
  MarkClean();
  undo_->Reset();
  jobs_->Start();
  StartFromSettings();
}

MainWindow::~MainWindow() {
  // From here on the handlers of the widgets being torn down (a box losing the focus) find
  // the window busy and leave the model alone.
  tearing_down_ = true;
  jobs_->Stop();
  // The widgets go while the worker and its log (which the log window listens to) are still
  // there; the worker stops last, after any job it is in.
  delete communication_window_;
  delete compare_window_;
  delete takeCentralWidget();
  jobs_.reset();
  worker_.reset();
}

void MainWindow::BuildTabs() {
  auto* tabs = new PageTabs(this);
  // Outside expert mode the Test page refuses to open, so the keys step over it.
  tabs->skip = [this](int index) { return index == 3 && !config_.ExpertMode; };
  tabs_ = tabs;
  tabs_->setObjectName("SSTab_Main");
  tabs_->setAccessibleName("Configuration pages");
  // Made in tab order, which is also the order they redisplay in.
  general_tab_ = new GeneralTab(*this, tabs_);
  auto* event_tab = new EventControlTab(*this, tabs_);
  device_tab_ = new DeviceConfigTab(*this, library_, tabs_);
  auto* test_tab = new TestTab(*this, tabs_);
  // The event page is small enough for any screen the window fits; the others scroll.
  tabs_->addTab(Scrolled(general_tab_, "ScrollGeneral"), "General");
  tabs_->addTab(event_tab, "Vela Event Control");
  tabs_->addTab(Scrolled(device_tab_, "ScrollDeviceConfiguration"), "Vela Device Configuration");
  tabs_->addTab(Scrolled(test_tab, "ScrollTest"), "Test");
  tabs_->setTabToolTip(3, QString::fromStdString(strip_->ExpertModeHowTo()));
  connect(tabs_, &QTabWidget::currentChanged, this, &MainWindow::OnTabChanged);
}

void MainWindow::LoadDeviceLibrary() {
  std::vector<std::filesystem::path> folders = options_.device_folders;
  if (folders.empty()) {
    // Beside the program, in the data folder of a prefix it was installed to (bin/..), then
    // in the folder it was configured for.
    const std::filesystem::path program_dir(QCoreApplication::applicationDirPath().toStdString());
    folders = {program_dir, program_dir.parent_path() / "share" / "velaconfig", InstalledDataDir()};
  }
  library_.LoadAtStartUp(folders, *dialogs_);
  LibraryChanged();
}

void MainWindow::OnTabChanged(int index) {
  if (index == 0) AddressesChanged();
  if (index == 3 && !config_.ExpertMode) {
    {
      QSignalBlocker block(tabs_);
      tabs_->setCurrentIndex(previous_tab_);
    }
    dialogs_->Message("Sorry, This tab is disabled" + std::string(kCrLf) +
                      strip_->ExpertModeHowTo());
    return;
  }
  previous_tab_ = index;
}

void MainWindow::ShowCommunicationWindow() {
  if (!communication_window_) communication_window_ = new CommunicationWindow(worker_->Log(), this);
  communication_window_->ShowFor(this);
}

// ---- board jobs: the controller's ----

bool MainWindow::Busy() const {
  return tearing_down_ || !worker_ || !jobs_ || jobs_->Busy();
}

void MainWindow::RunOnBoard(const QString& what, std::function<void(Session&)> job,
                            std::function<void()> done) {
  jobs_->RunOnBoard(what, std::move(job), std::move(done));
}

void MainWindow::PollOnBoard(std::function<void(Session&)> job, std::function<void()> done) {
  jobs_->PollOnBoard(std::move(job), std::move(done));
}

void MainWindow::QueueOperation(const QString& name) {
  jobs_->QueueOperation(name);
}

// ---- compare ----

void MainWindow::OnCompareWithBoard() {
  if (!Link().IsLinkOpen()) {
    dialogs_->Message(kSelectCommunicationsPort);
    return;
  }
  // Read over a copy, as "Read All" reads over the open configuration: what the board does
  // not hold (descriptions, names) is then the same on both sides.
  auto board = std::make_shared<BoardConfig>(config_);
  auto read = std::make_shared<bool>(false);
  OperationObserver* progress = jobs_->ProgressObserver();
  jobs_->RunShown(
      "Compare with Board",
      [board, read, progress](Session& session) {
        ConfigView unseen;
        Session reading{session.link, *board, unseen};
        OperationDispatcher dispatcher;
        dispatcher.Run("ReadAll", reading, progress);
        // Any exchange that produced a failure message leaves values unread.
        *read = dispatcher.LastReadComplete();
      },
      [this, board, read] {
        if (!*read) {
          dialogs_->Message("The board was not read completely, so nothing was compared.",
                            MessageIcon::kWarning);
          return;
        }
        ShowDifferences(*board, "Board", "the board");
      });
}

void MainWindow::OnCompareWithFile() {
  const std::string path = dialogs_->OpenFileName(kDataFileFilter, "");
  if (path.empty()) return;
  // The file over the start-up configuration, as velacli diff reads it.
  BoardConfig file;
  file.NumberBase = config_.NumberBase;
  if (!LoadDataFile(file, path, *dialogs_)) return;
  const QString name = QFileInfo(QString::fromStdString(path)).fileName();
  ShowDifferences(file, name, name);
}

void MainWindow::ShowDifferences(const BoardConfig& other, const QString& other_heading,
                                 const QString& other_name) {
  if (!compare_window_) {
    compare_window_ = new CompareWindow(*dialogs_, this);
    ConnectInput(*this, compare_window_.data(), &CompareWindow::pinChosen, this,
                 &MainWindow::ShowChosenDifference);
  }
  compare_window_->ShowDifferences(CompareConfigs(config_, other, instructions_), other_heading,
                                   other_name);
  compare_window_->show();
  compare_window_->raise();
  compare_window_->activateWindow();
}

void MainWindow::ShowChosenDifference(int pin, int aspect) {
  // The device page sits in its scroll area, the third tab.
  tabs_->setCurrentIndex(2);
  SelectPinAndAspect(pin, aspect);
}

}  // namespace vela::ui
