// velaconfig: the configuration tool of the Vela board.
//
//   velaconfig               the window; choose a port in the list
//   velaconfig --port PATH   opens PATH at start (a serial device or a pty)
//   velaconfig --demo        lists "Simulated board", a board in this process with a sample
//                            layout, and opens it at start
#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <memory>

#include "ui/demo_port.h"
#include "ui/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("VelaConfig");
  QApplication::setApplicationVersion("3.22");
  QApplication::setWindowIcon(QIcon(":/velaconfig.png"));

  QCommandLineParser parser;
  parser.setApplicationDescription("Configuration tool of the Vela board");
  parser.addHelpOption();
  parser.addVersionOption();
  QCommandLineOption demo("demo", "Use the built-in simulated board with a sample layout.");
  QCommandLineOption port(QStringList{"p", "port"}, "Open the serial port PATH at start.", "PATH");
  parser.addOption(demo);
  parser.addOption(port);
  parser.process(app);

  vela::ui::MainWindowOptions options;
  if (parser.isSet(demo)) {
    options.port_factory = [] { return std::make_unique<vela::ui::DemoPort>(); };
    options.extra_ports = {vela::ui::kSimulatedBoardPort};
    options.open_port = vela::ui::kSimulatedBoardPort;
  }
  if (parser.isSet(port)) options.open_port = parser.value(port).toStdString();

  vela::ui::MainWindow window(options);
  window.show();
  return QApplication::exec();
}
