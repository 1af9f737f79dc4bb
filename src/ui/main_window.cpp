#include "ui/main_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "files/data_file.h"
#include "link/qt/qt_serial_port.h"
#include "link/station_procedures.h"
#include "model/address_display.h"
#include "model/config_compare.h"
#include "model/general_rules.h"
#include "ui/communication_window.h"
#include "ui/compare_window.h"
#include "ui/device_config_tab.h"
#include "ui/edit_controls.h"
#include "ui/editor_widgets.h"
#include "ui/event_control_tab.h"
#include "ui/general_tab.h"
#include "ui/qt_dialogs.h"
#include "ui/report_window.h"
#include "ui/test_tab.h"
#include "vela_version.h"

namespace vela::ui {
namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}
std::string S(const QString& text) {
  return text.toStdString();
}

constexpr const char* kXAddressWarning =
    "eXtended Addressing is intended for\r\nexperienced users only!";

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
  BoardWorker::PortFactory factory = options_.port_factory;
  if (!factory) factory = [] { return std::make_unique<QtSerialPort>(); };
  worker_ = std::make_unique<BoardWorker>(config_, view_, *dialogs_, factory);
  observer_ = std::make_unique<ProgressForwarder>(*worker_);

  BuildMenus();
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  // The menu bar already parts the strip from the title, and the window must fit 768 lines.
  QMargins margins = layout->contentsMargins();
  margins.setTop(margins.top() / 2);
  layout->setContentsMargins(margins);
  strip_ = BuildConnectionStrip();
  layout->addWidget(strip_);
  auto* third_row = new QHBoxLayout;
  board_buttons_ = BuildBoardButtons();
  third_row->addWidget(board_buttons_);
  third_row->addWidget(BuildBusyPanel(), 1);
  third_row->addStretch();
  layout->addLayout(third_row);
  BuildTabs();
  layout->addWidget(tabs_, 1);
  setCentralWidget(central);

  connect(worker_.get(), &BoardWorker::progressChanged, this, &MainWindow::ShowProgress);
  timer1_.setObjectName("Timer1");
  timer1_.setInterval(200);
  connect(&timer1_, &QTimer::timeout, this, &MainWindow::OnTimer1);
  busy_delay_.setSingleShot(true);
  busy_delay_.setInterval(300);
  connect(&busy_delay_, &QTimer::timeout, this, [this] {
    if (Busy()) busy_panel_->setVisible(true);
  });

  // Start-up: the model starts with its defaults; list the ports, apply the numbering switch
  // (which shows every number), then load the device library.
  qApp->installEventFilter(this);
  ListPorts();
  ApplyNumbering();
  std::vector<std::filesystem::path> folders = options_.device_folders;
  if (folders.empty()) {
    // Beside the program, in the data folder of a prefix it was installed to (bin/..), then
    // in the folder it was configured for.
    const std::filesystem::path program_dir(S(QCoreApplication::applicationDirPath()));
    folders = {program_dir, program_dir.parent_path() / "share" / "velaconfig", InstalledDataDir()};
  }
  library_.LoadAtStartUp(folders, *dialogs_);
  LibraryChanged();
  ConfigReplaced();
  MarkClean();
  timer1_.start();

  if (!options_.open_port.empty()) {
    const int index = port_list_->findData(Q(options_.open_port));
    if (index >= 0) {
      port_list_->setCurrentIndex(index);
    } else {
      port_list_->setEditText(Q(options_.open_port));
    }
    ChoosePort(options_.open_port);
  }
}

MainWindow::~MainWindow() {
  // From here on the handlers of the widgets being torn down (a box losing the focus) find
  // the window busy and leave the model alone.
  tearing_down_ = true;
  timer1_.stop();
  // The widgets go while the worker and its log (which the log window listens to) are still
  // there; the worker stops last, after any job it is in.
  delete communication_window_;
  delete compare_window_;
  delete takeCentralWidget();
  worker_.reset();
}

// ---- building ----

void MainWindow::BuildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName("MenuBar");
  file_menu_ = bar->addMenu("&File");
  file_menu_->setObjectName("MenuFile");
  board_menu_ = bar->addMenu("&Board");
  board_menu_->setObjectName("MenuBoard");
  QAction* with_file = file_menu_->addAction(QString::fromUtf8("Compare with File\u2026"));
  with_file->setObjectName("ActionCompareWithFile");
  with_file->setToolTip("Every difference between the open configuration and a data file");
  QAction* with_board = board_menu_->addAction(QString::fromUtf8("Compare with Board\u2026"));
  with_board->setObjectName("ActionCompareWithBoard");
  with_board->setToolTip("Read the board and show every difference from the open configuration");
  OnInput(with_file, &QAction::triggered, &MainWindow::OnCompareWithFile);
  OnInput(with_board, &QAction::triggered, &MainWindow::OnCompareWithBoard);
}

QWidget* MainWindow::BuildConnectionStrip() {
  auto* strip = new QWidget(this);
  auto* rows = new QVBoxLayout(strip);
  rows->setContentsMargins(0, 0, 0, 0);
  auto* row = new QHBoxLayout;
  auto* second = new QHBoxLayout;
  rows->addLayout(row);
  rows->addLayout(second);
  BuildPortFields(row, strip);
  BuildAddressFields(row, strip);
  BuildLinkOptions(row, second, strip);
  // The strip shows the link, whose settings the general reads and every job may change.
  for (auto signal :
       {&ModelEvents::linkChanged, &ModelEvents::generalChanged, &ModelEvents::numberingChanged}) {
    connect(&Events(), signal, this, &MainWindow::ShowConnection);
  }
  return strip;
}

// The port list with its state and Refresh, and the bit rate frame shown on demand.
void MainWindow::BuildPortFields(QHBoxLayout* row, QWidget* strip) {
  port_label_ = new ClickLabel("LabelPort", "Port:", strip);
  port_label_->setToolTip("Double-click to show or hide the bit rate");
  port_list_ = new QComboBox(strip);
  port_list_->setObjectName("ComboPort");
  port_list_->setEditable(true);
  port_list_->setInsertPolicy(QComboBox::NoInsert);
  port_list_->setMinimumContentsLength(24);
  port_list_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  port_list_->lineEdit()->setPlaceholderText("choose or type a port");
  port_list_->setToolTip("Choose a port to open it, or type a device path and press Return");
  port_state_ = new QLabel("closed", strip);
  port_state_->setObjectName("LabelPortState");
  auto* refresh = MakeButton("cmdRefreshComm", "Refresh", strip);
  row->addWidget(port_label_);
  row->addWidget(port_list_);
  row->addWidget(port_state_);
  row->addWidget(refresh);

  bitrate_frame_ = new QGroupBox("Bitrate", strip);
  bitrate_frame_->setObjectName("FrameBitrate");
  auto* rates = new QHBoxLayout(bitrate_frame_);
  rates->setContentsMargins(6, 0, 6, 0);
  auto* rate_group = new QButtonGroup(bitrate_frame_);
  const char* const kRates[] = {"  9k6", "19k2", "38k4"};
  for (int i = 0; i < 3; ++i) {
    bitrate_[i] = new QRadioButton(kRates[i], bitrate_frame_);
    bitrate_[i]->setObjectName(QString("OptionBitRate_%1").arg(i));
    rate_group->addButton(bitrate_[i], i);
    rates->addWidget(bitrate_[i]);
  }
  bitrate_[kDefaultBitRateIndex]->setChecked(true);
  bitrate_frame_->setVisible(false);
  row->addWidget(bitrate_frame_);

  connect(port_label_, &ClickLabel::doubleClicked, this,
          [this] { bitrate_frame_->setVisible(bitrate_frame_->isHidden()); });
  connect(port_list_, &QComboBox::activated, this,
          [this](int index) { ChoosePort(PortNameOf(index)); });
  connect(port_list_->lineEdit(), &QLineEdit::returnPressed, this, [this] {
    const QString text = port_list_->currentText().trimmed();
    const int index = port_list_->findText(text);
    ChoosePort(index >= 0 ? PortNameOf(index) : S(text));
  });
  connect(refresh, &QPushButton::clicked, this, &MainWindow::OnRefreshPorts);
  connect(rate_group, &QButtonGroup::idClicked, this, &MainWindow::OnBitRate);
}

// The module address and the extended address with its check.
void MainWindow::BuildAddressFields(QHBoxLayout* row, QWidget* strip) {
  row->addSpacing(12);
  address_label_ = new QLabel("Module Address", strip);
  address_label_->setObjectName("LabelAddress");
  address_box_ = MakeBox("TextAddress", "1", strip, 2);
  address_spin_ = MakeUpDown("UpDownAddress", address_box_, 1, 16, strip);
  auto* address = new QHBoxLayout;
  address->setSpacing(0);
  address->addWidget(address_box_);
  address->addWidget(address_spin_);
  row->addWidget(address_label_);
  row->addLayout(address);
  xaddress_check_ = new QCheckBox("Use eXtended Addr", strip);
  xaddress_check_->setObjectName("CheckXaddress");
  row->addWidget(xaddress_check_);
  xaddress_label_ = new QLabel("eXtended address", strip);
  xaddress_label_->setObjectName("LabelXaddress");
  xaddress_box_ = MakeBox("txtXaddr", "1", strip, 2);
  xaddress_spin_ = MakeUpDown("UpDownXaddr", xaddress_box_, 1, 96, strip);
  auto* xaddress = new QHBoxLayout;
  xaddress->setSpacing(0);
  xaddress->addWidget(xaddress_box_);
  xaddress->addWidget(xaddress_spin_);
  row->addWidget(xaddress_label_);
  row->addLayout(xaddress);
  for (QWidget* w :
       std::initializer_list<QWidget*>{xaddress_label_, xaddress_box_, xaddress_spin_}) {
    w->setVisible(false);
  }

  OnInput(address_box_, &CommitLineEdit::committed, &MainWindow::CommitModuleAddress);
  OnInput(address_spin_, &UpDown::valueChanged, [this](int value) {
    Link().SetModuleAddress(value - config_.NumberBase);
    AddressesChanged();
  });
  OnInput(xaddress_check_, &QCheckBox::clicked, &MainWindow::OnXAddressChecked);
  OnInput(xaddress_box_, &CommitLineEdit::committed, &MainWindow::CommitXAddress);
  OnInput(xaddress_spin_, &UpDown::valueChanged, [this](int value) {
    Link().ModuleXAddress = value - config_.NumberBase;
    AddressesChanged();
  });
}

// Bidirectional, Corsan, transparent mode, the release label and the numbering check.
void MainWindow::BuildLinkOptions(QHBoxLayout* row, QHBoxLayout* second, QWidget* strip) {
  row->addSpacing(12);
  bidirectional_ = new QCheckBox("Bidirectional Comm.", strip);
  bidirectional_->setObjectName("CheckVelaBD");
  bidirectional_->setChecked(true);
  corsan_ = new QCheckBox("Use Corsan Tunneling", strip);
  corsan_->setObjectName("CheckCorsan");
  transparent_ = MakeButton("cmdSetTM", "Activate Transparent Mode", strip);
  transparent_->setToolTip("Switch HB-X or Zeto in Transparant Mode for Vela Configuration");
  row->addStretch();
  release_ = new ClickLabel("Release", QString("Release ") + vela::kVersion, strip);
  release_->setToolTip("Double-click for the communication log");
  row->addWidget(release_);
  second->addWidget(bidirectional_);
  second->addWidget(corsan_);
  second->addWidget(transparent_);
  second->addStretch();
  numbering_ = new QCheckBox("Start numbering at 1", strip);
  numbering_->setObjectName("CheckKLnumber");
  numbering_->setChecked(true);
  second->addWidget(numbering_);

  OnInput(bidirectional_, &QCheckBox::clicked,
          [this](bool checked) { Link().BidirectionalComm = checked; });
  connect(corsan_, &QCheckBox::clicked, this, &MainWindow::OnCorsanChecked);
  connect(transparent_, &QPushButton::clicked, this, [this] {
    RunOnBoard("Activate Transparent Mode",
               [](Session& session) { ActivateTransparentMode(session.link); });
  });
}

QWidget* MainWindow::BuildBoardButtons() {
  auto* area = new QWidget(this);
  auto* row = new QHBoxLayout(area);
  row->setContentsMargins(0, 0, 0, 0);
  auto* read_all = MakeButton("CommandReadAll", "Read All", area);
  auto* write_all = MakeButton("CommandWriteAll", "Write All", area);
  auto* verify_all = MakeButton("CommandVerifyAll", "Verify All", area);
  auto* save = new PressButton("CommandSave", "Save File", area);
  save->setToolTip("Shift+Save File to save compact");
  auto* load = MakeButton("CommandLoad", "Load File", area);
  load->setToolTip("Read from file");
  recent_button_ = new QToolButton(area);
  recent_button_->setObjectName("CommandRecentFiles");
  recent_button_->setText("Recent");
  recent_button_->setToolTip("Files saved or loaded in this session");
  recent_button_->setPopupMode(QToolButton::InstantPopup);
  recent_menu_ = new QMenu(recent_button_);
  recent_button_->setMenu(recent_menu_);
  recent_button_->setVisible(false);
  row->addWidget(read_all);
  row->addWidget(write_all);
  row->addWidget(verify_all);
  row->addSpacing(12);
  row->addWidget(save);
  row->addWidget(load);
  row->addWidget(recent_button_);

  connect(read_all, &QPushButton::clicked, this, [this] { QueueOperation("ReadAll"); });
  connect(write_all, &QPushButton::clicked, this, [this] { QueueOperation("WriteAll"); });
  connect(verify_all, &QPushButton::clicked, this, [this] { QueueOperation("VerifyAll"); });
  OnInput(save, &PressButton::pressedWith, &MainWindow::OnSaveFile);
  OnInput(load, &QPushButton::clicked, &MainWindow::OnLoadFile);
  OnInput(numbering_, &QCheckBox::clicked, [this] { ApplyNumbering(); });
  OnInput(release_, &ClickLabel::pressed, &MainWindow::OnReleasePressed);
  connect(release_, &ClickLabel::doubleClicked, this, &MainWindow::ShowCommunicationWindow);
  return area;
}

QWidget* MainWindow::BuildBusyPanel() {
  busy_panel_ = new QWidget(this);
  busy_panel_->setObjectName("BusyPanel");
  auto* row = new QHBoxLayout(busy_panel_);
  row->setContentsMargins(0, 0, 0, 0);
  label_action_ = new QLabel("  Working ... Please WAIT", busy_panel_);
  label_action_->setObjectName("LabelAction");
  QFont bold = label_action_->font();
  bold.setBold(true);
  label_action_->setFont(bold);
  progress_ = new QProgressBar(busy_panel_);
  progress_->setObjectName("ProgressAction");
  progress_->setTextVisible(true);
  progress_->setMinimumWidth(
      progress_->fontMetrics().horizontalAdvance("ReadAllPins: Pin 32 of 32") + 40);
  cancel_ = MakeButton("CommandCancelOperation", "Cancel", busy_panel_);
  cancel_->setToolTip("Stop the operation before its next exchange with the board");
  row->addWidget(label_action_);
  row->addWidget(progress_, 1);
  row->addWidget(cancel_);
  busy_panel_->setVisible(false);
  connect(cancel_, &QPushButton::clicked, this, [this] { worker_->Cancel(); });
  return busy_panel_;
}

void MainWindow::BuildTabs() {
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("SSTab_Main");
  general_tab_ = new GeneralTab(*this, tabs_);
  event_tab_ = new EventControlTab(*this, tabs_);
  device_tab_ = new DeviceConfigTab(*this, library_, tabs_);
  test_tab_ = new TestTab(*this, tabs_);
  tabs_->addTab(general_tab_, "General");
  tabs_->addTab(event_tab_, "Vela Event Control");
  tabs_->addTab(device_tab_, "Vela Device Configuration");
  tabs_->addTab(test_tab_, "Test");
  connect(tabs_, &QTabWidget::currentChanged, this, &MainWindow::OnTabChanged);
}

// ---- connection strip ----

void MainWindow::ListPorts() {
  port_list_->clear();
  for (const std::string& name : options_.extra_ports) port_list_->addItem(Q(name), Q(name));
  if (options_.list_platform_ports) {
    for (const PortInfo& port : QtSerialPort::ListPorts()) {
      const QString base = QFileInfo(Q(port.system_name)).fileName();
      const QString text = port.description.empty()
                               ? base
                               : base + QString::fromUtf8(" \u2014 ") + Q(port.description);
      port_list_->addItem(text, Q(port.system_name));
    }
  }
  port_list_->setCurrentIndex(-1);
}

std::string MainWindow::PortNameOf(int index) const {
  if (index < 0) return {};
  const QVariant data = port_list_->itemData(index);
  return S(data.isValid() ? data.toString() : port_list_->itemText(index));
}

void MainWindow::ChoosePort(const std::string& name) {
  RunOnBoard("Opening the port", [name](Session& session) {
    session.link.ClosePort();
    if (name.empty()) return;
    std::string error;
    if (!session.link.OpenPort(name, session.link.BitRateIndex(), &error)) {
      session.dialogs().Message("Cannot open " + name + ":" + kCrLf + error, MessageIcon::kError);
    }
  });
}

void MainWindow::OnRefreshPorts() {
  RunOnBoard(
      "Refresh", [](Session& session) { session.link.ForgetPort(); }, [this] { ListPorts(); });
}

void MainWindow::OnBitRate(int index) {
  RunOnBoard("Bitrate", [index](Session& session) {
    std::string error;
    if (!session.link.SetBitRate(index, &error)) {
      session.dialogs().Message("Cannot open " + session.link.PortName() + ":" + kCrLf + error,
                                MessageIcon::kError);
    }
  });
}

void MainWindow::CommitModuleAddress() {
  const ShownRange range = ModuleAddressRange(config_.NumberBase, Link().Tunnelling());
  AddressEntry entry = CommitAddressBox(S(address_box_->text()), range, config_.NumberBase);
  if (address_box_->text() != Q(entry.text)) address_box_->setText(Q(entry.text));
  Link().SetModuleAddress(entry.address);
  AddressesChanged();
}

void MainWindow::CommitXAddress() {
  AddressEntry entry = CommitAddressBox(S(xaddress_box_->text()), XAddressRange(config_.NumberBase),
                                        config_.NumberBase);
  if (xaddress_box_->text() != Q(entry.text)) xaddress_box_->setText(Q(entry.text));
  Link().ModuleXAddress = entry.address;
  AddressesChanged();
}

void MainWindow::OnXAddressChecked(bool checked) {
  if (checked && dialogs_->Question(kXAddressWarning, QuestionButtons::kOkCancel,
                                    MessageIcon::kWarning) != Answer::kOk) {
    // Any answer but OK takes the check back, which is the unchecked case below.
    xaddress_check_->setChecked(false);
    checked = false;
  }
  Link().UseExtendedAddr = checked;
  ShowConnection();
  AddressesChanged();
}

void MainWindow::OnCorsanChecked(bool checked) {
  RunOnBoard("Use Corsan Tunneling",
             [checked](Session& session) { SetCorsanTunneling(session.link, checked); });
}

void MainWindow::ShowConnection() {
  BoardLink& link = Link();
  const int nb = config_.NumberBase;
  bidirectional_->setChecked(link.BidirectionalComm);
  corsan_->setChecked(link.Tunnelling());
  transparent_->setVisible(TransparentModeOffered(link));
  const ShownRange range = ModuleAddressRange(nb, link.Tunnelling());
  address_spin_->setRange(range.min, range.max);
  address_box_->setText(QString::number(link.ModuleAddress + nb));
  const ShownRange xrange = XAddressRange(nb);
  xaddress_spin_->setRange(xrange.min, xrange.max);
  xaddress_box_->setText(QString::number(link.ModuleXAddress + nb));
  const bool x = link.UseExtendedAddr;
  xaddress_check_->setChecked(x);
  address_label_->setText(x ? "Channel Number" : "Module Address");
  for (QWidget* w :
       std::initializer_list<QWidget*>{xaddress_label_, xaddress_box_, xaddress_spin_}) {
    w->setVisible(x);
  }
  QSignalBlocker block(bitrate_[0]->group());
  bitrate_[std::clamp(link.BitRateIndex(), 0, 2)]->setChecked(true);
  ShowPortState();
}

void MainWindow::ShowPortState() {
  const bool open = Link().IsLinkOpen();
  port_state_->setText(open ? "open" : "closed");
  port_state_->setToolTip(open ? Q("Port " + Link().PortName() + " is open")
                               : QString("No port is open"));
}

// ---- whole-board buttons, numbering, tabs, expert mode ----

void MainWindow::OnSaveFile(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
  if (button != Qt::LeftButton) return;
  bool compact = false;
  if (modifiers == Qt::ShiftModifier) {
    compact = true;
  } else if (modifiers != Qt::NoModifier) {
    return;
  }
  const std::string path = dialogs_->SaveFileName(kDataFileFilter, "");
  if (path.empty()) return;
  if (SaveDataFile(config_, path, compact, *dialogs_)) {
    MarkClean();
    RememberFile(path);
  }
}

void MainWindow::OnLoadFile() {
  LoadFile(dialogs_->OpenFileName(kDataFileFilter, ""));
}

void MainWindow::LoadFile(const std::string& path) {
  if (path.empty()) return;
  if (LoadDataFile(config_, path, *dialogs_)) {
    loaded_unsaved_ = true;
    RememberFile(path);
  }
  ConfigReplaced();
}

void MainWindow::RememberFile(const std::string& path) {
  recent_files_.erase(std::remove(recent_files_.begin(), recent_files_.end(), path),
                      recent_files_.end());
  recent_files_.insert(recent_files_.begin(), path);
  if (recent_files_.size() > 8) recent_files_.resize(8);
  recent_menu_->clear();
  for (const std::string& file : recent_files_) {
    QAction* action = recent_menu_->addAction(Q(file));
    OnInput(action, &QAction::triggered, [this, file] { LoadFile(file); });
  }
  recent_button_->setVisible(true);
}

void MainWindow::ApplyNumbering() {
  config_.NumberBase = numbering_->isChecked() ? 1 : 0;
  NumberingChanged();
}

void MainWindow::OnTabChanged(int index) {
  if (index == 0) AddressesChanged();
  if (index == 3 && !config_.ExpertMode) {
    {
      QSignalBlocker block(tabs_);
      tabs_->setCurrentIndex(previous_tab_);
    }
    dialogs_->Message("Sorry, This tab is disabled");
    return;
  }
  previous_tab_ = index;
}

void MainWindow::OnReleasePressed(Qt::MouseButton button) {
  if (button != Qt::RightButton) return;
  config_.ExpertMode = dialogs_->Question("Expert Mode?", QuestionButtons::kYesNo,
                                          MessageIcon::kQuestion) == Answer::kYes;
  ExpertModeChanged();
}

void MainWindow::ShowCommunicationWindow() {
  if (!communication_window_) communication_window_ = new CommunicationWindow(worker_->Log(), this);
  communication_window_->ShowFor(this);
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
  StartJob("Compare with Board", true);
  worker_->Post(
      [this, board, read](Session& session) {
        ConfigView unseen;
        Session reading{session.link, *board, unseen};
        OperationDispatcher dispatcher;
        dispatcher.Run("ReadAll", reading, observer_.get());
        // Any exchange that produced a failure message leaves values unread.
        *read = dispatcher.LastReadComplete();
      },
      [this, board, read] {
        FinishJob(view_.Take(), false);
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
  const QString name = QFileInfo(Q(path)).fileName();
  ShowDifferences(file, name, name);
}

void MainWindow::ShowDifferences(const BoardConfig& other, const QString& other_heading,
                                 const QString& other_name) {
  if (!compare_window_) {
    compare_window_ = new CompareWindow(*dialogs_, this);
    OnInput(compare_window_.data(), &CompareWindow::pinChosen, &MainWindow::ShowChosenDifference);
  }
  compare_window_->ShowDifferences(CompareConfigs(config_, other, instructions_), other_heading,
                                   other_name);
  compare_window_->show();
  compare_window_->raise();
  compare_window_->activateWindow();
}

void MainWindow::ShowChosenDifference(int pin, int aspect) {
  tabs_->setCurrentWidget(device_tab_);
  SelectPinAndAspect(pin, aspect);
}

// ---- board jobs ----

bool MainWindow::Busy() const {
  return tearing_down_ || !worker_ || worker_->Busy();
}

void MainWindow::StartJob(const QString& what, bool show_at_once) {
  // Disabling moves the focus out of a box, which commits it while the model is still ours.
  strip_->setEnabled(false);
  board_buttons_->setEnabled(false);
  tabs_->setEnabled(false);
  menuBar()->setEnabled(false);
  progress_->setRange(0, 0);
  progress_->setFormat(what);
  label_action_->setVisible(true);
  progress_->setVisible(true);
  cancel_->setVisible(true);
  if (show_at_once) {
    busy_panel_->setVisible(true);
  } else {
    busy_delay_.start();
  }
}

void MainWindow::FinishJob(unsigned requests, bool refresh_all) {
  busy_delay_.stop();
  busy_panel_->setVisible(false);
  strip_->setEnabled(true);
  board_buttons_->setEnabled(true);
  tabs_->setEnabled(true);
  menuBar()->setEnabled(true);
  if (refresh_all || (requests & ~unsigned{WindowView::kHideLabelAction}) != 0) {
    ConfigReplaced();
  } else {
    LinkChanged();
  }
  if (close_when_idle_) {
    close_when_idle_ = false;
    close();
  }
}

void MainWindow::PollOnBoard(std::function<void(Session&)> job, std::function<void()> done) {
  if (Busy()) return;
  // A poll takes milliseconds and comes ten times a second: greying the window for it would
  // flicker and move the focus (which ends the monitor), so input is only swallowed meanwhile.
  input_held_ = true;
  worker_->Post(std::move(job), [this, done = std::move(done)] {
    input_held_ = false;
    view_.Take();
    if (done) done();
    LinkChanged();
  });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
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
        if (widget && widget->window() == this) return true;
        break;
      }
      default:
        break;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::RunOnBoard(const QString& what, std::function<void(Session&)> job,
                            std::function<void()> done) {
  if (Busy()) return;
  StartJob(what, false);
  worker_->Post(std::move(job), [this, done = std::move(done)] {
    if (done) done();
    FinishJob(view_.Take(), true);
  });
}

void MainWindow::QueueOperation(const QString& name) {
  if (Busy()) return;
  Session session{Link(), config_, view_};
  if (!OperationDispatcher::CheckBeforeQueue(S(name), session)) return;
  // The label shows from the click; the operation runs at the next tick.
  progress_->setVisible(false);
  cancel_->setVisible(false);
  label_action_->setVisible(true);
  busy_panel_->setVisible(true);
  dispatcher_.Queue(S(name));
}

void MainWindow::OnTimer1() {
  if (Busy()) return;
  const std::string name = dispatcher_.TakePending();
  if (name.empty()) return;
  StartJob(Q(name), true);
  worker_->Post([this, name](Session& session) { dispatcher_.Run(name, session, observer_.get()); },
                [this, name] {
                  FinishJob(view_.Take(), false);
                  // What the board now holds is what the window holds, when the board said so.
                  if ((name == "WriteAll" && dispatcher_.LastWriteConfirmed()) ||
                      (name == "ReadAll" && dispatcher_.LastReadComplete())) {
                    MarkClean();
                  }
                  if (name == "WriteAll") ReportLostConfirmations();
                  ShowReport();
                });
}

void MainWindow::ReportLostConfirmations() {
  const ExchangeTally& tally = dispatcher_.LastTally();
  const int lost = tally.LostConfirmations();
  if (lost == 0) return;
  dialogs_->Message("Write All: " + std::to_string(lost) + " of " + std::to_string(tally.sent) +
                        " messages were not confirmed by the board, so it may not hold this "
                        "configuration." +
                        kCrLf + "Run Verify All to check the board.",
                    MessageIcon::kWarning);
}

void MainWindow::ShowProgress(const Progress& progress) {
  if (!Busy()) return;
  progress_->setRange(0, progress.total);
  progress_->setValue(progress.total > 0 ? progress.done : 0);
  QString text = progress.operation;
  if (!progress.step.isEmpty()) text += ": " + progress.step;
  if (progress.total > 0) text += QString(" of %1").arg(progress.total);
  progress_->setFormat(text);
  busy_panel_->setVisible(true);
}

void MainWindow::ShowReport() {
  if (!dispatcher_.ReportPending()) return;
  dispatcher_.ClearReportPending();
  ReportWindow report(*dialogs_, this);
  report.ShowReport(Q(dispatcher_.ReportText()), this);
}

// ---- unsaved changes ----

void MainWindow::MarkClean() {
  saved_ = {config_.Pins, config_.Events, config_.General};
  loaded_unsaved_ = false;
}

bool MainWindow::HasUnsavedChanges() const {
  if (loaded_unsaved_) return true;
  GeneralSettings general = config_.General;
  general.VersionText = saved_.general.VersionText;  // read from the board, not a setting
  return !(config_.Pins == saved_.pins && config_.Events == saved_.events &&
           general == saved_.general);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (Busy()) {
    // Stop the job between two exchanges and close once it has ended.
    close_when_idle_ = true;
    worker_->Cancel();
    event->ignore();
    return;
  }
  if (HasUnsavedChanges() &&
      dialogs_->Question("The configuration has changes that were neither saved nor written to "
                         "the board." +
                             std::string(kCrLf) + "Close anyway?",
                         QuestionButtons::kYesNo, MessageIcon::kWarning) != Answer::kYes) {
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace vela::ui
