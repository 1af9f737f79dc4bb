// velaconfig: the configuration tool of the Vela board.
#include <QApplication>

#include "ui/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("VelaConfig");
  vela::ui::MainWindow window;
  window.show();
  return QApplication::exec();
}
