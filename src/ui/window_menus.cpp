#include "ui/window_menus.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include "link/connection_options.h"
#include "link/serial_port.h"
#include "ui/undo_controller.h"

namespace vela::ui {

namespace {

QString Ellipsis(const char* text) {
  return QString::fromUtf8(text) + QChar(0x2026);
}

}  // namespace

WindowMenus::WindowMenus(WindowContext& context, QMenuBar* bar) : QObject(bar), context_(context) {
  bar->setObjectName("MenuBar");
  file_ = bar->addMenu("&File");
  file_->setObjectName("MenuFile");
  Add(file_, "ActionLoadFile", Ellipsis("&Load File"), QKeySequence::Open,
      &WindowMenus::loadFileChosen);
  Add(file_, "ActionSaveFile", "&Save File", QKeySequence::Save, &WindowMenus::saveFileChosen);
  Add(file_, "ActionSaveAs", Ellipsis("Save &As"), QKeySequence("Ctrl+Shift+S"),
      &WindowMenus::saveAsChosen);
  Add(file_, "ActionSaveCompact", Ellipsis("Save &Compact"), {}, &WindowMenus::saveCompactChosen);
  recent_anchor_ = file_->addSeparator();
  QAction* with_file = Add(file_, "ActionCompareWithFile", Ellipsis("Compare with File"), {},
                           &WindowMenus::compareWithFileChosen);
  with_file->setToolTip("Every difference between the open configuration and a data file");
  file_->addSeparator();
  Add(file_, "ActionQuit", "&Quit", QKeySequence("Ctrl+Q"), &WindowMenus::quitChosen);

  edit_ = bar->addMenu("&Edit");
  edit_->setObjectName("MenuEdit");
  undo_ = edit_->addAction("Undo");
  undo_->setObjectName("ActionUndo");
  undo_->setShortcut(QKeySequence::Undo);
  redo_ = edit_->addAction("Redo");
  redo_->setObjectName("ActionRedo");
  redo_->setShortcuts({QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")});

  board_ = bar->addMenu("&Board");
  board_->setObjectName("MenuBoard");
  const std::pair<const char*, const char*> operations[] = {
      {"ReadAll", "&Read All"}, {"WriteAll", "&Write All"}, {"VerifyAll", "&Verify All"}};
  for (auto [operation, text] : operations) {
    QAction* action = board_->addAction(text);
    action->setObjectName(QString("Action") + operation);
    ConnectInput(context_, action, &QAction::triggered, this,
                 [this, operation] { context_.QueueOperation(operation); });
  }
  QAction* with_board = Add(board_, "ActionCompareWithBoard", Ellipsis("Compare with Board"), {},
                            &WindowMenus::compareWithBoardChosen);
  with_board->setToolTip("Read the board and show every difference from the open configuration");
  board_->addSeparator();
  Add(board_, "ActionEraseFlash", Ellipsis("&Erase Flash"), {}, &WindowMenus::eraseFlashChosen)
      ->setToolTip("Erase the configuration memory of the board (asks twice first)");
  Add(board_, "ActionRefreshPorts", "Refresh &Ports", QKeySequence::Refresh,
      &WindowMenus::refreshPortsChosen);
  // The strip shows the bit rate only on request; here it is at hand, and follows the strip.
  QMenu* rates = board_->addMenu("&Bit Rate");
  rates->setObjectName("MenuBitRate");
  bit_rates_ = new QActionGroup(rates);
  for (int i = 0; i < static_cast<int>(std::size(kLineSettings)); ++i) {
    QAction* rate = rates->addAction(QString::fromStdString(BitRateText(i)) + " bit/s");
    rate->setObjectName(QString("ActionBitRate_%1").arg(i));
    rate->setCheckable(true);
    bit_rates_->addAction(rate);
    ConnectInput(context_, rate, &QAction::triggered, this, [this, i] { emit bitRateChosen(i); });
  }

  // The view menu changes nothing the board or a file receives, so it stays on during jobs.
  QMenu* view = bar->addMenu("&View");
  view->setObjectName("MenuView");
  connect(Add(view, "ActionCommunicationLog", "Communication &Log", QKeySequence("Ctrl+L"), {}),
          &QAction::triggered, this, &WindowMenus::communicationLogChosen);
  Add(view, "ActionExpertMode", Ellipsis("&Expert Mode"), {}, &WindowMenus::expertModeChosen);
  connect(Add(view, "ActionShowDetails", "Show &Details", QKeySequence("Ctrl+D"), {}),
          &QAction::triggered, this, &WindowMenus::showDetailsChosen);

  QMenu* help = bar->addMenu("&Help");
  help->setObjectName("MenuHelp");
  connect(Add(help, "ActionShortcuts", "&Keyboard Shortcuts", QKeySequence::HelpContents, {}),
          &QAction::triggered, this, &WindowMenus::shortcutsChosen);
  connect(Add(help, "ActionAbout", "&About Vela Config", {}, {}), &QAction::triggered, this,
          &WindowMenus::aboutChosen);
}

QAction* WindowMenus::Add(QMenu* menu, const char* name, const QString& text,
                          const QKeySequence& keys, void (WindowMenus::*chosen)()) {
  QAction* action = menu->addAction(text);
  action->setObjectName(name);
  if (!keys.isEmpty()) action->setShortcut(keys);
  // Entries that touch the configuration or the board take the editors' "no job" rule.
  if (chosen)
    ConnectInput(context_, action, &QAction::triggered, this,
                 [this, chosen] { emit(this->*chosen)(); });
  return action;
}

std::vector<QWidget*> WindowMenus::JobMenus() const {
  return {file_, edit_, board_};
}

void WindowMenus::FollowUndo(UndoController& undo) {
  ConnectInput(context_, undo_, &QAction::triggered, &undo, [&undo] { undo.Undo(); });
  ConnectInput(context_, redo_, &QAction::triggered, &undo, [&undo] { undo.Redo(); });
  auto show = [this, &undo] {
    undo_->setText(undo.UndoText());
    undo_->setEnabled(undo.CanUndo());
    redo_->setText(undo.RedoText());
    redo_->setEnabled(undo.CanRedo());
  };
  connect(&undo, &UndoController::changed, this, show);
  show();
}

void WindowMenus::ShowBitRate(int index) {
  const QList<QAction*> rates = bit_rates_->actions();
  if (index >= 0 && index < rates.size()) rates[index]->setChecked(true);
}

void WindowMenus::AddRecentFiles(QMenu* recent) {
  recent->setTitle("&Recent Files");
  file_->insertMenu(recent_anchor_, recent);
}

}  // namespace vela::ui
