// velaconfig: the configuration tool of the Vela board.
//
//   velaconfig [FILE.dat]    the window, with FILE.dat loaded; choose a port in the list
//   velaconfig --port PATH   opens PATH at start (a serial device or a pty)
//   velaconfig --demo        lists "Simulated board", a board in this process with a sample
//                            layout, and opens it at start
// The options are in ui/window_command_line.cpp; velaconfig --help lists them.
#include <QApplication>
#include <QIcon>
#include <iostream>
#include <memory>

#include "ui/main_window.h"
#include "ui/window_command_line.h"
#include "ui/window_settings.h"
#include "vela_version.h"

namespace {

void Describe() {
  QCoreApplication::setApplicationName("VelaConfig");
  QCoreApplication::setApplicationVersion(vela::kVersion);
}

}  // namespace

int main(int argc, char** argv) {
  QStringList args;
  for (int i = 0; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  vela::ui::WindowCommandLine command_line = vela::ui::ParseWindowCommandLine(args);
  // --help, --version and mistakes only print, and must work without a display, so they are
  // answered before the window's application object (which needs one) exists.
  if (command_line.help || command_line.version || !command_line.mistake.empty()) {
    QCoreApplication app(argc, argv);
    Describe();
    if (!command_line.mistake.empty()) {
      std::cerr << "velaconfig: " << command_line.mistake
                << "\n(velaconfig --help lists the options)\n";
      return 2;
    }
    if (command_line.help) {
      std::cout << vela::ui::WindowHelpText().toStdString();
    } else {
      std::cout << vela::VersionText("velaconfig");
    }
    return 0;
  }

  QApplication app(argc, argv);
  Describe();
  QApplication::setWindowIcon(QIcon(":/velaconfig.png"));
  // The platform's own reading of the arguments (file names in any encoding on Windows).
  command_line = vela::ui::ParseWindowCommandLine(QCoreApplication::arguments());
  std::unique_ptr<vela::ui::WindowSettings> settings = vela::ui::SettingsFor(command_line);
  vela::ui::MainWindow window(vela::ui::WindowOptionsFor(command_line, settings.get()));
  window.show();
  return QApplication::exec();
}
