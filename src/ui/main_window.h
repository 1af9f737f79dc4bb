// The one window of the tool: the connection strip, the whole-board buttons and four tabs.
#pragma once

#include <QMainWindow>

class QTabWidget;

namespace vela::ui {

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(QWidget* parent = nullptr);

 private:
  QTabWidget* tabs_ = nullptr;
};

}  // namespace vela::ui
