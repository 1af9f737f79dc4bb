// What keeps the user's work: the menus' entries, undo and redo, the question before unsaved
// edits are replaced or the window closes, and the title that names the file and shows a
// change.
#include <QAbstractButton>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <algorithm>
#include <utility>

#include "ui/board_buttons.h"
#include "ui/connection_strip.h"
#include "ui/general_tab.h"
#include "ui/main_window.h"
#include "ui/undo_controller.h"
#include "ui/window_menus.h"
#include "ui/window_settings.h"
#include "vela_version.h"

namespace vela::ui {

void MainWindow::FollowMenus() {
  undo_ = new UndoController(*this, this);
  menus_->FollowUndo(*undo_);
  menus_->AddRecentFiles(board_buttons_->RecentMenu());
  using Kind = BoardButtons::SaveKind;
  connect(menus_, &WindowMenus::loadFileChosen, board_buttons_, &BoardButtons::ChooseAndLoadFile);
  connect(menus_, &WindowMenus::saveFileChosen, this,
          [this] { board_buttons_->SaveFile(Kind::kCurrent); });
  connect(menus_, &WindowMenus::saveAsChosen, this,
          [this] { board_buttons_->SaveFile(Kind::kAs); });
  connect(menus_, &WindowMenus::saveCompactChosen, this,
          [this] { board_buttons_->SaveFile(Kind::kCompact); });
  connect(menus_, &WindowMenus::quitChosen, this, &QWidget::close);
  connect(menus_, &WindowMenus::compareWithFileChosen, this, &MainWindow::OnCompareWithFile);
  connect(menus_, &WindowMenus::compareWithBoardChosen, this, &MainWindow::OnCompareWithBoard);
  connect(menus_, &WindowMenus::refreshPortsChosen, strip_, &ConnectionStrip::OnRefreshPorts);
  connect(menus_, &WindowMenus::eraseFlashChosen, general_tab_, &GeneralTab::EraseFlash);
  connect(menus_, &WindowMenus::bitRateChosen, strip_, &ConnectionStrip::ChooseBitRate);
  // As the strip: after every job (whole-board jobs announce the general settings instead).
  for (auto signal : {&ModelEvents::linkChanged, &ModelEvents::generalChanged}) {
    connect(&Events(), signal, this, [this] { menus_->ShowBitRate(Link().BitRateIndex()); });
  }
  connect(menus_, &WindowMenus::communicationLogChosen, this, &MainWindow::ShowCommunicationWindow);
  connect(menus_, &WindowMenus::expertModeChosen, strip_, &ConnectionStrip::AskExpertMode);
  connect(menus_, &WindowMenus::showDetailsChosen, this, [this] {
    if (auto* details = findChild<QAbstractButton*>("CheckPAspShowDetails")) details->click();
  });
  connect(menus_, &WindowMenus::shortcutsChosen, this, &MainWindow::ShowShortcuts);
  connect(menus_, &WindowMenus::aboutChosen, this, &MainWindow::ShowAbout);
  for (auto signal : {&BoardButtons::saved, &BoardButtons::loaded}) {
    connect(board_buttons_, signal, this, &MainWindow::ShowTitle);
  }
  connect(&Events(), &ModelEvents::configEdited, this, &MainWindow::ShowTitle);
  connect(&Events(), &ModelEvents::configReplaced, this, &MainWindow::ShowTitle);
}

void MainWindow::ShowShortcuts() {
  dialogs_->Message(
      "Ctrl+O\tLoad File\r\nCtrl+S\tSave File (to the file in use)\r\n"
      "Ctrl+Shift+S\tSave As\r\nCtrl+Z\tUndo\r\nCtrl+Shift+Z, Ctrl+Y\tRedo\r\n"
      "F5\tRefresh the port list\r\nCtrl+L\tCommunication log\r\nCtrl+D\tShow Details\r\n"
      "Ctrl+Tab\tNext tab\r\nCtrl+Q\tQuit",
      MessageIcon::kInformation);
}

void MainWindow::ShowAbout() {
  std::string text = VersionText("Vela Config");
  dialogs_->Message(text.substr(0, text.find('\n')) + kCrLf +
                        "Licensed under the GNU General Public License, version 3 or later.",
                    MessageIcon::kInformation);
}

void MainWindow::NameNextChange(const QString& label) {
  if (undo_) undo_->NameNextChange(label);
}

bool MainWindow::ConfirmReplace(const std::string& before_what) {
  CommitPendingEdits();
  if (!HasEditsNotKept()) return true;
  const Answer answer =
      dialogs_->Question("The configuration has changes that were not saved." + std::string(kCrLf) +
                             "Save them before " + before_what + "?",
                         QuestionButtons::kSaveDiscardCancel, MessageIcon::kWarning);
  if (answer == Answer::kSave) return board_buttons_->SaveFile(BoardButtons::SaveKind::kCurrent);
  return answer == Answer::kDiscard;
}

void MainWindow::ShowTitle() {
  const std::string& file = board_buttons_->CurrentFile();
  if (file.empty()) {
    setWindowTitle("Vela Config");
  } else {
    setWindowTitle(QFileInfo(QString::fromStdString(file)).fileName() + "[*] - Vela Config");
  }
  // Without a file the title is the program's name alone, with no place for the mark.
  setWindowModified(!file.empty() && HasEditsNotKept());
}

void MainWindow::MarkClean() {
  saved_ = {config_.Pins, config_.Events, config_.General};
  loaded_unsaved_ = false;
  ShowTitle();
}

bool MainWindow::HasEditsNotKept() const {
  GeneralSettings general = config_.General;
  general.VersionText = saved_.general.VersionText;  // read from the board, not a setting
  return !(config_.Pins == saved_.pins && config_.Events == saved_.events &&
           general == saved_.general);
}

bool MainWindow::HasUnsavedChanges() const {
  return loaded_unsaved_ || HasEditsNotKept();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (Busy()) {
    // Stop the job between two exchanges and close once it has ended.
    close_when_idle_ = true;
    worker_->Cancel();
    event->ignore();
    return;
  }
  CommitPendingEdits();
  if (HasUnsavedChanges()) {
    const Answer answer = dialogs_->Question(
        "The configuration has changes that were neither saved nor written to the board." +
            std::string(kCrLf) + "Save them before closing?",
        QuestionButtons::kSaveDiscardCancel, MessageIcon::kWarning);
    if (answer == Answer::kCancel ||
        (answer == Answer::kSave && !board_buttons_->SaveFile(BoardButtons::SaveKind::kCurrent))) {
      event->ignore();
      return;
    }
  }
  settings_->SetGeometry(saveGeometry());
  event->accept();
}

// ---- remembered settings ----

void MainWindow::StartFromSettings() {
  RestoreGeometry();
  // The command line's values over the remembered ones.
  if (auto address =
          options_.module_address ? options_.module_address : settings_->ModuleAddress()) {
    Link().SetModuleAddress(*address);
    LinkChanged();
    AddressesChanged();
  }
  const int bit_rate =
      options_.bit_rate_index.value_or(settings_->BitRateIndex().value_or(Link().BitRateIndex()));
  // The port last opened, when it is there again; a port that is not is never opened unasked.
  std::string port = options_.open_port;
  if (port.empty() && strip_->Lists(settings_->Port())) port = settings_->Port();
  strip_->Start(port, bit_rate);
  // Not there now (unplugged, or a path the system does not list): shown, for Return to open.
  if (port.empty()) strip_->Suggest(settings_->Port());
  for (auto signal : {&ModelEvents::linkChanged, &ModelEvents::addressesChanged}) {
    connect(&Events(), signal, this, &MainWindow::RememberLink);
  }
  if (!options_.open_file.empty()) {
    board_buttons_->LoadFile(options_.open_file);
    undo_->Reset();  // nothing before it to go back to
  }
}

void MainWindow::RememberLink() {
  BoardLink& link = Link();
  settings_->SetBitRateIndex(link.BitRateIndex());
  settings_->SetModuleAddress(link.ModuleAddress);
  // The simulated board of a demo run is no port to look for in a later run.
  if (link.IsLinkOpen() &&
      std::ranges::find(options_.extra_ports, link.PortName()) == options_.extra_ports.end()) {
    settings_->SetPort(link.PortName());
  }
}

void MainWindow::RestoreGeometry() {
  fit_on_show_ = !settings_->Geometry().isEmpty() && restoreGeometry(settings_->Geometry());
  if (fit_on_show_) {
    FitOnScreen();
  } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
    // A first run opens at the size where no page scrolls, as far as the screen leaves room
    // for a title bar (Qt would open at two thirds of the screen, scrolling on a laptop).
    resize(QSize(1200, 860).boundedTo(screen->availableSize() - QSize(16, 48)));
  }
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // Once shown, the frame around the window is known: fit again, frame and all.
  if (std::exchange(fit_on_show_, false)) FitOnScreen();
}

// A geometry saved on a screen that is gone, or on a larger one, is moved and shrunk onto the
// screen the window is on now (no smaller than the window can be).
void MainWindow::FitOnScreen() {
  if (isMaximized() || isFullScreen()) return;
  QScreen* on = QGuiApplication::screenAt(frameGeometry().center());
  if (!on) on = QGuiApplication::primaryScreen();
  if (!on) return;
  const QRect outer = frameGeometry();
  const QRect inner = geometry();
  const QRect room = on->availableGeometry().marginsRemoved(
      {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
       outer.bottom() - inner.bottom()});
  QRect fit(inner.topLeft(), inner.size().boundedTo(room.size()));
  fit.moveLeft(std::clamp(fit.left(), room.left(), room.right() - fit.width() + 1));
  fit.moveTop(std::clamp(fit.top(), room.top(), room.bottom() - fit.height() + 1));
  if (fit != inner) setGeometry(fit);
}
}  // namespace vela::ui
