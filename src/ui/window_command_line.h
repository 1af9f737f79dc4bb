// The command line of velaconfig: its options, what they ask for, and the window's set-up that
// follows from them. Parsing needs no application object, so that --help, --version and a
// mistake are answered without a display.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>

#include "ui/main_window.h"

namespace vela::ui {

struct WindowCommandLine {
  bool help = false;
  bool version = false;
  // A usage mistake: printed, and the program ends.
  std::string mistake;
  bool demo = false;
  bool no_settings = false;
  std::string port;
  std::optional<int> bit_rate_index;
  std::optional<int> module_address;
  std::string file;
};

// `args` as the program received them, its own name first.
WindowCommandLine ParseWindowCommandLine(const QStringList& args);

// The text of --help (needs an application object for the program's name).
QString WindowHelpText();

// The user's remembered settings, or none (null) with --no-settings.
std::unique_ptr<WindowSettings> SettingsFor(const WindowCommandLine& command_line);

// The window's set-up for `command_line`; `settings` is what it remembers (null: nothing).
MainWindowOptions WindowOptionsFor(const WindowCommandLine& command_line, WindowSettings* settings);

}  // namespace vela::ui
