// velacli: back up, restore and verify Vela boards from scripts.
#include <QCoreApplication>
#include <QStringList>
#include <filesystem>
#include <iostream>

#include "cli/cli_commands.h"
#include "cli/cli_options.h"
#include "vela_version.h"

#ifdef _WIN32
#include <windows.h>
#endif

int main(int argc, char** argv) {
  // QSerialPort wants an application object, though velacli runs no event loop. Its argument
  // list is Unicode on every platform, where argv on Windows is in the ANSI code page.
  QCoreApplication app(argc, argv);
#ifdef _WIN32
  // Our text is UTF-8 (file names in messages); the console shows it as such.
  SetConsoleOutputCP(CP_UTF8);
#endif
  const QStringList arguments = QCoreApplication::arguments();
  std::vector<std::string> args;
  for (qsizetype i = 1; i < arguments.size(); ++i) args.push_back(arguments[i].toStdString());
  vela::cli::Options options;
  try {
    options = vela::cli::ParseOptions(args);
  } catch (const vela::cli::UsageError& e) {
    std::cerr << "velacli: " << e.what() << "\n(velacli --help lists the options and commands)\n";
    return vela::cli::kExitUsage;
  }
  if (options.help) {
    std::cout << vela::cli::HelpText(options.command);
    return vela::cli::kExitOk;
  }
  if (options.version) {
    std::cout << vela::VersionText("velacli");
    return vela::cli::kExitOk;
  }
  try {
    return vela::cli::RunCommand(options, std::cout, std::cerr);
  } catch (const std::filesystem::filesystem_error& e) {
    // A file name the system refused: a file error with a message, never an abort.
    std::cerr << "velacli: " << e.what() << '\n';
    return vela::cli::kExitUsage;
  }
}
