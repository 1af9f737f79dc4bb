// The window's menu bar: File, Edit, Board, View and Help, each holding the entries of its
// kind with their shortcuts. The entries say what was chosen; the window carries it out.
#pragma once

#include <QObject>

#include "ui/window_context.h"

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;

namespace vela::ui {

class UndoController;

class WindowMenus : public QObject {
  Q_OBJECT

 public:
  WindowMenus(WindowContext& context, QMenuBar* bar);

  QMenu* File() const { return file_; }
  QMenu* Board() const { return board_; }
  // The menus whose entries change the configuration or use the board: off during a job.
  std::vector<QWidget*> JobMenus() const;
  // Undo and Redo follow `undo`, named after the change they take back or make again.
  void FollowUndo(UndoController& undo);
  // "Recent Files" in the File menu.
  void AddRecentFiles(QMenu* recent);
  // The bit rate checked in Board > Bit Rate (an index into kLineSettings).
  void ShowBitRate(int index);

 signals:
  void loadFileChosen();
  void saveFileChosen();
  void saveAsChosen();
  void saveCompactChosen();
  void quitChosen();
  void compareWithFileChosen();
  void compareWithBoardChosen();
  void refreshPortsChosen();
  void eraseFlashChosen();
  void bitRateChosen(int index);
  void communicationLogChosen();
  void expertModeChosen();
  void showDetailsChosen();
  void shortcutsChosen();
  void aboutChosen();

 private:
  QAction* Add(QMenu* menu, const char* name, const QString& text, const QKeySequence& keys,
               void (WindowMenus::*chosen)());

  WindowContext& context_;
  QMenu* file_ = nullptr;
  QMenu* edit_ = nullptr;
  QMenu* board_ = nullptr;
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
  QAction* recent_anchor_ = nullptr;
  QActionGroup* bit_rates_ = nullptr;
};

}  // namespace vela::ui
