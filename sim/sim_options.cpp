#include "sim/sim_options.h"

#include <cctype>
#include <charconv>
#include <cstdlib>

namespace vela::sim {
namespace {

bool ToInt(const std::string& text, int low, int high, int& value) {
  int v = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, v);
  if (ec != std::errc() || ptr != end || v < low || v > high) return false;
  value = v;
  return true;
}

// "FF85", "FF 85" or "FF,85,AA".
bool ToHexBytes(const std::string& text, std::vector<uint8_t>& bytes) {
  std::string digits;
  for (char c : text) {
    if (c == ' ' || c == ',' || c == ':') continue;
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    digits += c;
  }
  if (digits.empty() || digits.size() % 2 != 0) return false;
  bytes.clear();
  for (size_t i = 0; i < digits.size(); i += 2) {
    bytes.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
  }
  return true;
}

// "116", "112:11", "116,117,112:11".
bool ToUnsupported(const std::string& text, Faults& faults) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    const std::string item = text.substr(start, comma - start);
    const size_t colon = item.find(':');
    int type = 0;
    if (colon == std::string::npos) {
      if (!ToInt(item, 0, 127, type)) return false;
      faults.unsupported_types.insert(type);
    } else {
      int command = 0;
      if (!ToInt(item.substr(0, colon), 0, 127, type) ||
          !ToInt(item.substr(colon + 1), 0, 127, command)) {
        return false;
      }
      faults.unsupported_commands.insert({type, command});
    }
    start = comma + 1;
  }
  return true;
}

bool ToInterfaceType(const std::string& text, int& type) {
  if (text == "hbx") {
    type = kInterfaceHbx;
  } else if (text == "hby") {
    type = kInterfaceHby;
  } else if (text == "zeto") {
    type = kInterfaceZeto;
  } else {
    return ToInt(text, 0, 127, type);
  }
  return true;
}

bool ToStationVersion(const std::string& text, int& version) {
  int v = 0;
  if (!ToInt(text, 0, 15977, v) || !EncodeStationVersion(v)) return false;
  version = v;
  return true;
}

}  // namespace

std::string SimUsage() {
  return R"(usage: vela-sim --pty [options]
Serves a simulated Vela board (optionally behind a Corsan command station) on a
pseudo-terminal. The first line of stdout is the slave's device path; open it with
VelaConfig or velacli. Stops cleanly on SIGINT or SIGTERM.

  --pty                    serve on a new pseudo-terminal (required)
  --module N               module address of the board, 0..31 (default 0)
  --xaddr N                extended address of the board, 0..127 (default 0)
  --demo                   preload the built-in demo layout
  --load FILE              preload a configuration data file (.dat)
  --dump FILE              write the board memory as text on exit ("-": stderr)
  --report A,B,C,D         queue a four-byte report for the monitor's polls (repeatable)
  --verbose                every frame received and every reply, in hex, on stderr
line
  --baud RATE              emulate the wire time of 11 bits a byte at RATE bit/s
  --turnaround-us N        delay from the end of a frame to the reply (default 0)
station
  --station                put a command station in front of the board
  --protocol V             station protocol version (default 3200; 3200 and up tunnel)
  --interface TYPE         interface box: hbx, hby, zeto or a number (default hbx)
  --interface-version V    interface box version (default 1020)
  --polls-before-reply N   polls answered empty before a board reply is handed over
  --silent-station         the station answers nothing
faults (each exchange, or only exchange N with --fault-at N, counting from 0)
  --no-reply               the board does not answer
  --bad-checksum           replies carry a wrong checksum
  --good-copy              with --bad-checksum: a correct copy follows
  --garbage HEX            bytes sent before each reply, e.g. FF85
  --wrong-echo             the reply echoes the other sequence bit
  --xaddr-fault KIND       missing | wrong | unexpected extended-address byte
  --unsupported LIST       message types (or TYPE:COMMAND) the board does not know,
                           e.g. 116,112:11; answered with an empty reply
  --unsupported-answer A   empty (default) | wrong-type (right size, type bit 0 flipped)
  --reply-delay-ms N       extra delay before a faulty exchange's reply
  --fault-at N             apply the faults to exchange N only
  --help                   this text
  --version                the version and the licence
)";
}

namespace {

// The options without a value.
struct FlagOption {
  const char* name;
  void (*set)(SimOptions&);
};

constexpr FlagOption kFlagOptions[] = {
    {"--help", [](SimOptions& o) { o.help = true; }},
    {"-h", [](SimOptions& o) { o.help = true; }},
    {"--version", [](SimOptions& o) { o.version = true; }},
    {"--pty", [](SimOptions& o) { o.pty = true; }},
    {"--demo", [](SimOptions& o) { o.demo = true; }},
    {"--verbose", [](SimOptions& o) { o.verbose = true; }},
    {"--station", [](SimOptions& o) { o.station = true; }},
    {"--silent-station", [](SimOptions& o) { o.station_settings.silent = true; }},
    {"--no-reply", [](SimOptions& o) { o.faults.no_reply = true; }},
    {"--bad-checksum", [](SimOptions& o) { o.faults.wrong_checksum = true; }},
    {"--good-copy", [](SimOptions& o) { o.faults.good_copy_after_bad = true; }},
    {"--wrong-echo", [](SimOptions& o) { o.faults.wrong_address_echo = true; }},
};

// The options that take a whole number from `low` to `high`.
struct NumberOption {
  const char* name;
  int low;
  int high;
  void (*set)(SimOptions&, int);
};

constexpr NumberOption kNumberOptions[] = {
    {"--module", 0, 31, [](SimOptions& o, int n) { o.module = n; }},
    {"--xaddr", 0, 127, [](SimOptions& o, int n) { o.xaddress = n; }},
    {"--baud", 1, 4000000, [](SimOptions& o, int n) { o.timing.bit_rate = n; }},
    {"--turnaround-us", 0, 60000000,
     [](SimOptions& o, int n) { o.timing.turnaround = std::chrono::microseconds(n); }},
    {"--polls-before-reply", 0, 1000,
     [](SimOptions& o, int n) { o.station_settings.polls_before_reply = n; }},
    {"--reply-delay-ms", 0, 600000,
     [](SimOptions& o, int n) { o.faults.reply_delay = std::chrono::milliseconds(n); }},
    {"--fault-at", 0, 1 << 30, [](SimOptions& o, int n) { o.faults.only_at_frame = n; }},
};

// "12,0,127,3": four numbers 0..127.
bool SetReport(const std::string&, const std::string& text, SimOptions& o, std::string& error) {
  std::array<uint8_t, 4> report{};
  size_t count = 0;
  size_t start = 0;
  bool ok = true;
  while (ok && start <= text.size()) {
    size_t comma = text.find(',', start);
    std::string part =
        text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    char* end = nullptr;
    long v = std::strtol(part.c_str(), &end, 10);
    ok = !part.empty() && *end == '\0' && v >= 0 && v <= 127 && count < 4;
    if (ok) report[count++] = static_cast<uint8_t>(v);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (!ok || count != 4) {
    error = "--report takes four numbers 0..127 such as 12,0,127,3, not \"" + text + "\"";
    return false;
  }
  o.reports.push_back(report);
  return true;
}

// --protocol and --interface-version.
bool SetStationVersion(const std::string& arg, const std::string& text, SimOptions& o,
                       std::string& error) {
  int& target = arg == "--protocol" ? o.station_settings.protocol_version
                                    : o.station_settings.interface_version;
  if (!ToStationVersion(text, target)) {
    error = arg + " takes a version whose hundreds and ones are 0..7 (3200, 1030), not \"" + text +
            "\"";
    return false;
  }
  return true;
}

bool SetInterface(const std::string&, const std::string& text, SimOptions& o, std::string& error) {
  if (ToInterfaceType(text, o.station_settings.interface_type)) return true;
  error = "--interface takes hbx, hby, zeto or a number, not \"" + text + "\"";
  return false;
}

bool SetGarbage(const std::string&, const std::string& text, SimOptions& o, std::string& error) {
  if (ToHexBytes(text, o.faults.garbage_before)) return true;
  error = "--garbage takes hexadecimal bytes such as FF85, not \"" + text + "\"";
  return false;
}

bool SetXAddressFault(const std::string&, const std::string& text, SimOptions& o,
                      std::string& error) {
  if (text == "missing") {
    o.faults.xaddress = Faults::XAddress::kMissing;
  } else if (text == "wrong") {
    o.faults.xaddress = Faults::XAddress::kWrong;
  } else if (text == "unexpected") {
    o.faults.xaddress = Faults::XAddress::kUnexpected;
  } else {
    error = "--xaddr-fault takes missing, wrong or unexpected, not \"" + text + "\"";
    return false;
  }
  return true;
}

bool SetUnsupported(const std::string&, const std::string& text, SimOptions& o,
                    std::string& error) {
  if (ToUnsupported(text, o.faults)) return true;
  error = "--unsupported takes types 0..127 or TYPE:COMMAND, comma-separated, not \"" + text + "\"";
  return false;
}

bool SetUnsupportedAnswer(const std::string&, const std::string& text, SimOptions& o,
                          std::string& error) {
  if (text == "empty") {
    o.faults.unsupported_answer = Faults::Unsupported::kEmpty;
  } else if (text == "wrong-type") {
    o.faults.unsupported_answer = Faults::Unsupported::kWrongType;
  } else {
    error = "--unsupported-answer takes empty or wrong-type, not \"" + text + "\"";
    return false;
  }
  return true;
}

// The options that take a text; `set` words its own refusal.
struct TextOption {
  const char* name;
  bool (*set)(const std::string& arg, const std::string& text, SimOptions&, std::string& error);
};

constexpr TextOption kTextOptions[] = {
    {"--load",
     [](const std::string&, const std::string& text, SimOptions& o, std::string&) {
       o.load_file = text;
       return true;
     }},
    {"--dump",
     [](const std::string&, const std::string& text, SimOptions& o, std::string&) {
       o.dump_file = text;
       return true;
     }},
    {"--report", SetReport},
    {"--protocol", SetStationVersion},
    {"--interface-version", SetStationVersion},
    {"--interface", SetInterface},
    {"--garbage", SetGarbage},
    {"--xaddr-fault", SetXAddressFault},
    {"--unsupported", SetUnsupported},
    {"--unsupported-answer", SetUnsupportedAnswer},
};

template <typename Option, size_t N>
const Option* Find(const Option (&options)[N], const std::string& arg) {
  for (const Option& option : options) {
    if (arg == option.name) return &option;
  }
  return nullptr;
}

// The rules between options, once all are read.
bool CheckCombination(const SimOptions& options, std::string& error) {
  if (!options.help && !options.version && !options.pty) {
    error = "nothing to serve on: give --pty";
    return false;
  }
  if (options.module > 15 && !options.station) {
    error = "--module above 15 is reachable only through the station (--station)";
    return false;
  }
  if (options.demo && !options.load_file.empty()) {
    error = "--demo and --load exclude each other";
    return false;
  }
  return true;
}

}  // namespace

bool ParseSimOptions(const std::vector<std::string>& args, SimOptions& options,
                     std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (const FlagOption* flag = Find(kFlagOptions, arg)) {
      flag->set(options);
      continue;
    }
    const NumberOption* number = Find(kNumberOptions, arg);
    const TextOption* text_option = number ? nullptr : Find(kTextOptions, arg);
    if (!number && !text_option) {
      error = "unknown option \"" + arg + "\"";
      return false;
    }
    if (i + 1 >= args.size()) {
      error = arg + " needs a value";
      return false;
    }
    const std::string& text = args[++i];
    if (text_option) {
      if (!text_option->set(arg, text, options, error)) return false;
      continue;
    }
    int n = 0;
    if (!ToInt(text, number->low, number->high, n)) {
      error = arg + " takes a number " + std::to_string(number->low) + ".." +
              std::to_string(number->high) + ", not \"" + text + "\"";
      return false;
    }
    number->set(options, n);
  }
  return CheckCombination(options, error);
}

}  // namespace vela::sim
