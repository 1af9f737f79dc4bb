// velaconfig: the configuration tool of the Vela board.
//
//   velaconfig               the window; choose a port in the list
//   velaconfig --port PATH   opens PATH at start (a serial device or a pty)
//   velaconfig --demo        lists "Simulated board", a board in this process with a sample
//                            layout, and opens it at start
#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <cstring>
#include <iostream>
#include <memory>

#include "sim/demo_board.h"
#include "ui/demo_port.h"
#include "ui/main_window.h"
#include "vela_version.h"

namespace {

// The options of the window, the same whichever application object parses them.
struct CommandLine {
  QCommandLineParser parser;
  QCommandLineOption demo{"demo", "Use the built-in simulated board with a sample layout."};
  QCommandLineOption port{QStringList{"p", "port"}, "Open the serial port PATH at start.", "PATH"};
  QCommandLineOption version{QStringList{"v", "version"}, "Show the version and the licence."};

  CommandLine() {
    parser.setApplicationDescription("Configuration tool of the Vela board");
    parser.addHelpOption();
    parser.addOption(version);
    parser.addOption(demo);
    parser.addOption(port);
  }
};

// --help and --version only print, and must work without a display, so they are answered
// before the window's application object (which needs one) exists.
bool OnlyPrints(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    if (std::strcmp(a, "--") == 0) return false;
    if (std::strcmp(a, "-p") == 0 || std::strcmp(a, "--port") == 0) {
      ++i;  // a port's name is not an option
    } else if (std::strcmp(a, "-h") == 0 || std::strcmp(a, "--help") == 0 ||
               std::strcmp(a, "--help-all") == 0 || std::strcmp(a, "-?") == 0 ||
               std::strcmp(a, "-v") == 0 || std::strcmp(a, "--version") == 0) {
      return true;
    }
  }
  return false;
}

void Describe() {
  QCoreApplication::setApplicationName("VelaConfig");
  QCoreApplication::setApplicationVersion(vela::kVersion);
}

}  // namespace

int main(int argc, char** argv) {
  if (OnlyPrints(argc, argv)) {
    QCoreApplication app(argc, argv);
    Describe();
    CommandLine command_line;
    command_line.parser.process(app);  // prints the help, or a mistake, and ends
    std::cout << vela::VersionText("velaconfig");
    return 0;
  }

  QApplication app(argc, argv);
  Describe();
  QApplication::setWindowIcon(QIcon(":/velaconfig.png"));
  CommandLine command_line;
  command_line.parser.process(app);
  if (command_line.parser.isSet(command_line.version)) {
    std::cout << vela::VersionText("velaconfig");
    return 0;
  }

  vela::ui::MainWindowOptions options;
  if (command_line.parser.isSet(command_line.demo)) {
    options.port_factory = [] { return std::make_unique<vela::ui::DemoPort>(); };
    options.extra_ports = {vela::sim::kDemoBoardName};
    options.open_port = vela::sim::kDemoBoardName;
  }
  if (command_line.parser.isSet(command_line.port)) {
    options.open_port = command_line.parser.value(command_line.port).toStdString();
  }

  vela::ui::MainWindow window(options);
  window.show();
  return QApplication::exec();
}
