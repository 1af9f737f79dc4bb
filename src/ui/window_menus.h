// The window's menu bar: File and Board, each holding the entries of its kind. The entries
// say what was chosen; the window carries it out.
#pragma once

#include <QObject>

#include "ui/window_context.h"

class QMenu;
class QMenuBar;

namespace vela::ui {

class WindowMenus : public QObject {
  Q_OBJECT

 public:
  WindowMenus(WindowContext& context, QMenuBar* bar);

  QMenu* File() const { return file_; }
  QMenu* Board() const { return board_; }

 signals:
  void compareWithFileChosen();
  void compareWithBoardChosen();

 private:
  QMenu* file_ = nullptr;
  QMenu* board_ = nullptr;
};

}  // namespace vela::ui
