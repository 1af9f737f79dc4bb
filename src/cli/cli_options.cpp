#include "cli/cli_options.h"

#include <QCommandLineParser>
#include <QStringList>
#include <filesystem>

#include "files/file_io.h"
#include "link/connection_options.h"
#include "model/number_text.h"

namespace vela::cli {
namespace {

// A value checked by the link's rule for it; its mistake is a usage mistake.
int Checked(const OptionValue& parsed) {
  if (!parsed.value) throw UsageError(parsed.mistake);
  return *parsed.value;
}

int ParseInt(const std::string& option, const std::string& text, int min, int max) {
  return Checked(ParseWholeNumber(option, text, min, max));
}

// Our own words for what the parser refused: the option as typed and what was wrong with it.
std::string ParseErrorText(const QCommandLineParser& parser, const QStringList& args,
                           const QList<QCommandLineOption>& options) {
  if (!parser.unknownOptionNames().isEmpty()) {
    const QString unknown = parser.unknownOptionNames().constFirst();
    return "unknown option " + std::string(unknown.size() == 1 ? "-" : "--") +
           unknown.toStdString();
  }
  auto find = [&](const QString& typed) -> const QCommandLineOption* {
    QString bare = typed;
    while (bare.startsWith('-')) bare.remove(0, 1);
    for (const QCommandLineOption& option : options) {
      if (option.names().contains(bare)) return &option;
    }
    return nullptr;
  };
  for (qsizetype i = 1; i < args.size() && args[i] != "--"; ++i) {
    const QString& a = args[i];
    if (!a.startsWith("--") || !a.contains('=')) continue;
    const QString typed = a.left(a.indexOf('='));
    if (const QCommandLineOption* option = find(typed); option && option->valueName().isEmpty()) {
      return typed.toStdString() + " takes no value";
    }
  }
  const QString& last = args.constLast();
  if (const QCommandLineOption* option = find(last);
      option && !option->valueName().isEmpty() && last.startsWith('-') && !last.contains('=')) {
    return last.toStdString() + " needs a value";
  }
  return parser.errorText().toStdString();
}

// Whether two paths name one file: the same file when both exist (links and hard links
// included), else the same path once made absolute and resolved as far as it exists.
bool SameFile(const std::string& a, const std::string& b) {
  namespace fs = std::filesystem;
  const fs::path pa = PathFromUtf8(a);
  const fs::path pb = PathFromUtf8(b);
  std::error_code ec;
  if (fs::exists(pa, ec) && fs::exists(pb, ec)) return fs::equivalent(pa, pb, ec) && !ec;
  const fs::path ca = fs::weakly_canonical(fs::absolute(pa, ec), ec);
  const fs::path cb = fs::weakly_canonical(fs::absolute(pb, ec), ec);
  return ca == cb;
}

// The files a command names: --config, and the arguments whose placeholder is a file name
// ("IN.dat", "LIB.def"), as the command's usage line spells them.
std::vector<std::string> FilesOf(const Options& o, const CommandSpec& spec) {
  std::vector<std::string> files;
  if (!o.config_file.empty()) files.push_back(o.config_file);
  std::string placeholders = spec.args;
  size_t index = 0;
  size_t pos = 0;
  while (pos < placeholders.size()) {
    size_t end = placeholders.find(' ', pos);
    if (end == std::string::npos) end = placeholders.size();
    const std::string word = placeholders.substr(pos, end - pos);
    pos = end + 1;
    if (word.empty() || word[0] == '[' || word[0] == '|') continue;
    if (word.find('.') != std::string::npos && index < o.args.size()) {
      files.push_back(o.args[index]);
    }
    ++index;
  }
  return files;
}

}  // namespace

const std::vector<CommandSpec>& Commands() {
  static const std::vector<CommandSpec> commands = {
      {"ports", "", "list serial ports, one a line", 0, 0, false},
      {"version", "", "request the firmware version; print it", 0, 0, true},
      {"read-all", "OUT.dat [--compact]", "\"Read All\"; save OUT.dat only if every step succeeded",
       1, 1, true, "ReadAll"},
      {"write-all", "IN.dat", "load IN.dat, \"Write All\"", 1, 1, true, "WriteAll"},
      {"verify", "IN.dat", "load IN.dat, \"Verify All\"; the report goes to stdout", 1, 1, true,
       "VerifyAll"},
      {"read-pins", "OUT.dat [--compact]", "read all pins; save OUT.dat", 1, 1, true,
       "ReadAllPins"},
      {"write-pins", "IN.dat", "load IN.dat, write all pins", 1, 1, true, "WriteAllPins"},
      {"verify-pins", "IN.dat", "load IN.dat, verify all pins", 1, 1, true, "VerifyAllPins"},
      {"read-events", "OUT.dat [--compact]", "read all event actions; save OUT.dat", 1, 1, true,
       "ECReadAll"},
      {"write-events", "IN.dat", "load IN.dat, write all event actions", 1, 1, true, "ECWriteAll"},
      {"verify-events", "IN.dat", "load IN.dat, verify the event control", 1, 1, true, "ECVerify"},
      {"erase", "", "erase the configuration memory (needs --yes)", 0, 0, true},
      {"monitor", "[--seconds S]", "poll board reports; print the monitor lines (default 10 s)", 0,
       0, true},
      {"transparent", "", "\"Activate Transparent Mode\" on the interface box", 0, 0, true},
      {"convert", "IN.dat OUT.dat [--compact]", "load and save, no board", 2, 2, false},
      {"diff", "A.dat B.dat [--brief]", "every difference between two files, with both values", 2,
       2, false},
      {"compare", "IN.dat [--brief]", "read the board as read-all does, then diff against IN.dat",
       1, 1, true},
      {"device-list", "LIB.def", "list the devices of a definitions file", 1, 1, false},
      {"device-load", "IN.dat LIB.def NAME PIN OUT.dat", "apply device NAME at PIN, save OUT.dat",
       5, 5, false},
      {"device-save", "IN.dat PIN OUT.def", "save the device that contains PIN", 3, 3, false},
  };
  return commands;
}

const CommandSpec* FindCommand(const std::string& name) {
  for (const CommandSpec& c : Commands()) {
    if (name == c.name) return &c;
  }
  return nullptr;
}

namespace {

// Every option and whether it takes a value; a new option needs a line here and one in
// ValuesOf.
struct OptionSet {
  const QCommandLineOption port{QStringList{"p", "port"}, {}, "PATH"};
  const QCommandLineOption baud{QStringList{"b", "baud"}, {}, "RATE"};
  const QCommandLineOption module{QStringList{"m", "module"}, {}, "N"};
  const QCommandLineOption xaddr{QStringList{"x", "xaddr"}, {}, "N"};
  const QCommandLineOption tunnel{"tunnel"};
  const QCommandLineOption unidirectional{"unidirectional"};
  const QCommandLineOption numbering{"numbering", {}, "BASE"};
  const QCommandLineOption config{"config", {}, "FILE"};
  const QCommandLineOption log{"log", {}, "FILE"};
  const QCommandLineOption yes{"yes"};
  const QCommandLineOption demo{"demo"};
  const QCommandLineOption help{QStringList{"h", "help"}};
  const QCommandLineOption version{"version"};
  const QCommandLineOption compact{"compact"};
  const QCommandLineOption seconds{"seconds", {}, "S"};
  const QCommandLineOption brief{"brief"};

  QList<QCommandLineOption> All() const {
    return {port, baud, module, xaddr, tunnel,  unidirectional, numbering, config,
            log,  yes,  demo,   help,  version, compact,        seconds,   brief};
  }
};

// "." is the decimal point whatever the locale; nan, inf and exponents are no durations.
double Seconds(const std::string& value) {
  const std::optional<double> number = ParseDecimal(value);
  if (!number || *number < 0 || *number > 86400) {
    throw UsageError("--seconds takes a number of seconds from 0 to 86400 (such as 0.5), not \"" +
                     value + "\"");
  }
  return *number;
}

// The values of the parsed options, each checked on its own; the first positional argument is
// the command, the rest its arguments.
Options ValuesOf(const QCommandLineParser& parser, const OptionSet& set) {
  auto text = [&](const QCommandLineOption& option) { return parser.value(option).toStdString(); };
  auto name = [](const QCommandLineOption& option) {
    return "--" + option.names().constLast().toStdString();
  };
  Options o;
  o.help = parser.isSet(set.help);
  o.version = parser.isSet(set.version);
  o.port = text(set.port);
  o.tunnel = parser.isSet(set.tunnel);
  if (parser.isSet(set.baud)) o.bit_rate_index = Checked(ParseBitRate(text(set.baud)));
  if (parser.isSet(set.module)) o.module = Checked(ParseModuleAddress(text(set.module), o.tunnel));
  if (parser.isSet(set.xaddr)) o.xaddress = ParseInt(name(set.xaddr), text(set.xaddr), 0, 95);
  o.unidirectional = parser.isSet(set.unidirectional);
  if (parser.isSet(set.numbering)) {
    o.numbering = ParseInt(name(set.numbering), text(set.numbering), 0, 1);
  }
  o.config_file = text(set.config);
  o.log_file = text(set.log);
  o.yes = parser.isSet(set.yes);
  o.demo = parser.isSet(set.demo);
  o.compact = parser.isSet(set.compact);
  o.brief = parser.isSet(set.brief);
  if (parser.isSet(set.seconds)) o.seconds = Seconds(text(set.seconds));
  for (const QString& p : parser.positionalArguments()) {
    if (o.command.empty())
      o.command = p.toStdString();
    else
      o.args.push_back(p.toStdString());
  }
  return o;
}

// The rules between the command and the options.
void CheckCommandLine(const Options& o) {
  if (o.command.empty()) throw UsageError("no command given");
  const CommandSpec* spec = FindCommand(o.command);
  if (!spec) throw UsageError("unknown command \"" + o.command + "\"");
  const int n = static_cast<int>(o.args.size());
  if (n < spec->min_args || n > spec->max_args) {
    throw UsageError(std::string("usage: velacli [options] ") + spec->name +
                     (spec->args[0] ? " " : "") + spec->args);
  }
  if (spec->needs_board && o.port.empty() && !o.demo) {
    throw UsageError("the " + o.command + " command needs --port PATH (or --demo)");
  }
  if (o.log_file.empty()) return;
  for (const std::string& file : FilesOf(o, *spec)) {
    if (SameFile(o.log_file, file)) {
      throw UsageError("--log " + o.log_file + " names a file the command reads or writes (" +
                       file + "); the log would replace it");
    }
  }
}

}  // namespace

Options ParseOptions(const std::vector<std::string>& argv) {
  const OptionSet set;
  const QList<QCommandLineOption> all = set.All();
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
  parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
  parser.addOptions(all);
  QStringList args{"velacli"};
  for (const std::string& a : argv) args << QString::fromStdString(a);
  if (!parser.parse(args)) throw UsageError(ParseErrorText(parser, args, all));

  Options o = ValuesOf(parser, set);
  if (!o.help && !o.version) CheckCommandLine(o);
  return o;
}

std::string HelpText(const std::string& command) {
  if (const CommandSpec* spec = FindCommand(command)) {
    return std::string("usage: velacli [options] ") + spec->name + (spec->args[0] ? " " : "") +
           spec->args + "\n  " + spec->summary + "\n";
  }
  std::string text =
      "usage: velacli [options] COMMAND [args]\n"
      "\n"
      "Reads, writes and verifies Vela boards from the command line.\n"
      "\n"
      "options\n"
      "  -p, --port PATH        serial device (COM3, /dev/ttyUSB0, a pty path)\n"
      "  -b, --baud RATE        9600 | 19200 | 38400 (default 19200)\n"
      "  -m, --module N         module address as on the wire, 0..15 (0..31 with --tunnel), "
      "default 0\n"
      "  -x, --xaddr N          extended addressing on, with extended address N (0..95)\n"
      "      --tunnel           carry messages through the command station\n"
      "      --unidirectional   start with \"Bidirectional Comm.\" off\n"
      "      --numbering 0|1    number pins shown and typed from 0 or 1 (default 1)\n"
      "      --config FILE      load this data file first\n"
      "      --log FILE         write the communication log to FILE when the command ends\n"
      "      --yes              confirm every question so that the operation goes ahead\n"
      "      --demo             use the built-in simulated board instead of --port\n"
      "  -h, --help             this text; COMMAND --help for one command\n"
      "      --version          the version and the licence\n"
      "\n"
      "commands\n";
  for (const CommandSpec& c : Commands()) {
    std::string left = std::string("  ") + c.name + (c.args[0] ? " " : "") + c.args;
    if (left.size() < 38) left.resize(38, ' ');
    text += left + " " + c.summary + "\n";
  }
  text +=
      "\n"
      "exit status: 0 success; 1 the board operation failed or did not go ahead, a verification\n"
      "found a difference or stopped, diff or compare found a difference, or tunnelling is\n"
      "unavailable; 2 a usage error or a file that cannot be read, is invalid or cannot be\n"
      "written.\n";
  return text;
}

}  // namespace vela::cli
