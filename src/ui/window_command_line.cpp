#include "ui/window_command_line.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include "link/connection_options.h"
#include "sim/demo_board.h"
#include "ui/demo_port.h"
#include "ui/window_settings.h"

namespace vela::ui {
namespace {

struct Parser {
  QCommandLineParser parser;
  QCommandLineOption demo{"demo", "Use the built-in simulated board with a sample layout."};
  QCommandLineOption port{QStringList{"p", "port"}, "Open the serial port PATH at start.", "PATH"};
  QCommandLineOption baud{QStringList{"b", "baud"},
                          "Bit rate: 9600, 19200 or 38400 (default: the last one used, else "
                          "19200).",
                          "RATE"};
  QCommandLineOption module{QStringList{"m", "module"},
                            "Module address as on the wire, 0..15 (default: the last one used, "
                            "else 0).",
                            "N"};
  QCommandLineOption no_settings{"no-settings",
                                 "Neither read nor write the remembered settings (recent files, "
                                 "port, bit rate, module address, window size)."};
  QCommandLineOption version{QStringList{"v", "version"}, "Show the version and the licence."};

  Parser() {
    parser.setApplicationDescription("Configuration tool of the Vela board");
    parser.addHelpOption();
    parser.addOptions({version, demo, port, baud, module, no_settings});
    parser.addPositionalArgument("FILE", "A data file (.dat) to open at start.", "[FILE]");
  }
};

}  // namespace

WindowCommandLine ParseWindowCommandLine(const QStringList& args) {
  Parser p;
  WindowCommandLine result;
  if (!p.parser.parse(args)) {
    result.mistake = p.parser.errorText().toStdString();
    return result;
  }
  result.help = p.parser.isSet("help") || p.parser.isSet("help-all");
  result.version = p.parser.isSet(p.version);
  if (result.help || result.version) return result;
  result.demo = p.parser.isSet(p.demo);
  result.no_settings = p.parser.isSet(p.no_settings);
  result.port = p.parser.value(p.port).toStdString();
  // The rules and words of velacli's options of the same names.
  auto take = [&](const QCommandLineOption& option, const OptionValue& parsed,
                  std::optional<int>& into) {
    if (!p.parser.isSet(option) || !result.mistake.empty()) return;
    if (parsed.value) {
      into = parsed.value;
    } else {
      result.mistake = parsed.mistake;
    }
  };
  take(p.baud, ParseBitRate(p.parser.value(p.baud).toStdString()), result.bit_rate_index);
  take(p.module, ParseModuleAddress(p.parser.value(p.module).toStdString(), false, nullptr),
       result.module_address);
  if (!result.mistake.empty()) return result;
  const QStringList files = p.parser.positionalArguments();
  if (files.size() > 1) {
    result.mistake = "one file at a time, not " + std::to_string(files.size());
    return result;
  }
  if (!files.isEmpty()) result.file = files.constFirst().toStdString();
  return result;
}

QString WindowHelpText() {
  return Parser().parser.helpText();
}

std::unique_ptr<WindowSettings> SettingsFor(const WindowCommandLine& command_line) {
  if (command_line.no_settings) return nullptr;
  return WindowSettings::User();
}

MainWindowOptions WindowOptionsFor(const WindowCommandLine& command_line,
                                   WindowSettings* settings) {
  MainWindowOptions options;
  options.settings = settings;
  if (command_line.demo) {
    options.port_factory = [] { return std::make_unique<DemoPort>(); };
    options.extra_ports = {sim::kDemoBoardName};
    options.open_port = sim::kDemoBoardName;
  }
  if (!command_line.port.empty()) options.open_port = command_line.port;
  options.bit_rate_index = command_line.bit_rate_index;
  options.module_address = command_line.module_address;
  // Absolute, so that the recent files list finds it again from any folder.
  if (!command_line.file.empty()) {
    options.open_file =
        QFileInfo(QString::fromStdString(command_line.file)).absoluteFilePath().toStdString();
  }
  return options;
}

}  // namespace vela::ui
