// velacli: back up, restore and verify Vela boards from scripts.
#include <QCoreApplication>
#include <iostream>

#include "cli/cli_commands.h"
#include "cli/cli_options.h"

int main(int argc, char** argv) {
  // QSerialPort wants an application object, though velacli runs no event loop.
  QCoreApplication app(argc, argv);
  std::vector<std::string> args(argv + 1, argv + argc);
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
  return vela::cli::RunCommand(options, std::cout, std::cerr);
}
