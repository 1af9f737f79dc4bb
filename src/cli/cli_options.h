// The command line of velacli: options, the command and its arguments.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vela::cli {

// A usage mistake; its text is printed and velacli exits with 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Options {
  std::string port;
  int bit_rate_index = 1;  // 19200
  int module = 0;
  std::optional<int> xaddress;
  bool tunnel = false;
  bool unidirectional = false;
  int numbering = 1;
  std::string config_file;
  std::string log_file;
  bool yes = false;
  bool demo = false;
  bool help = false;
  bool version = false;
  bool compact = false;
  bool brief = false;  // diff and compare: the count only
  double seconds = 10.0;
  std::string command;
  std::vector<std::string> args;
};

// Parses the arguments after the program name (UTF-8): options anywhere, `--opt=value`, `--`
// ending the options. Throws UsageError with a message for any mistake.
Options ParseOptions(const std::vector<std::string>& argv);

// The text of `velacli --help`, and of `velacli COMMAND --help` (empty command: the whole).
std::string HelpText(const std::string& command);

// Every command of velacli, once: what it expects after its name (for checking and for the help
// text) and, for a board command that runs one of the dispatcher's operations, that operation.
// Such a command that reads saves its OUT.dat afterwards; one that writes or verifies loads its
// IN.dat first, and a verification prints the report.
struct CommandSpec {
  const char* name;
  const char* args;
  const char* summary;
  int min_args;
  int max_args;
  bool needs_board;
  const char* operation = nullptr;
};
const std::vector<CommandSpec>& Commands();
const CommandSpec* FindCommand(const std::string& name);

}  // namespace vela::cli
