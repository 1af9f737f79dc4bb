#include "ui/window_menus.h"

#include <QMenu>
#include <QMenuBar>

namespace vela::ui {

WindowMenus::WindowMenus(WindowContext& context, QMenuBar* bar) : QObject(bar) {
  bar->setObjectName("MenuBar");
  file_ = bar->addMenu("&File");
  file_->setObjectName("MenuFile");
  board_ = bar->addMenu("&Board");
  board_->setObjectName("MenuBoard");
  QAction* with_file = file_->addAction(QString::fromUtf8("Compare with File\u2026"));
  with_file->setObjectName("ActionCompareWithFile");
  with_file->setToolTip("Every difference between the open configuration and a data file");
  QAction* with_board = board_->addAction(QString::fromUtf8("Compare with Board\u2026"));
  with_board->setObjectName("ActionCompareWithBoard");
  with_board->setToolTip("Read the board and show every difference from the open configuration");
  ConnectInput(context, with_file, &QAction::triggered, this,
               [this] { emit compareWithFileChosen(); });
  ConnectInput(context, with_board, &QAction::triggered, this,
               [this] { emit compareWithBoardChosen(); });
}

}  // namespace vela::ui
