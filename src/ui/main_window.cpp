#include "ui/main_window.h"

#include <QTabWidget>
#include <QWidget>

namespace vela::ui {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle("Vela Config");
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("SSTab_Main");
  for (const char* caption :
       {"General", "Vela Event Control", "Vela Device Configuration", "Test"}) {
    tabs_->addTab(new QWidget(tabs_), caption);
  }
  setCentralWidget(tabs_);
  resize(900, 640);
}

}  // namespace vela::ui
