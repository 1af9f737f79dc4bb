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

bool ParseSimOptions(const std::vector<std::string>& args, SimOptions& options,
                     std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) {
        error = arg + " needs a value";
        return false;
      }
      out = args[++i];
      return true;
    };
    auto number = [&](int low, int high, int& out) {
      std::string text;
      if (!value(text)) return false;
      if (!ToInt(text, low, high, out)) {
        error = arg + " takes a number " + std::to_string(low) + ".." + std::to_string(high) +
                ", not \"" + text + "\"";
        return false;
      }
      return true;
    };
    std::string text;
    int n = 0;
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--pty") {
      options.pty = true;
    } else if (arg == "--module") {
      if (!number(0, 31, options.module)) return false;
    } else if (arg == "--xaddr") {
      if (!number(0, 127, options.xaddress)) return false;
    } else if (arg == "--demo") {
      options.demo = true;
    } else if (arg == "--load") {
      if (!value(options.load_file)) return false;
    } else if (arg == "--dump") {
      if (!value(options.dump_file)) return false;
    } else if (arg == "--verbose") {
      options.verbose = true;
    } else if (arg == "--report") {
      if (!value(text)) return false;
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
      options.reports.push_back(report);
    } else if (arg == "--baud") {
      if (!number(1, 4000000, options.timing.bit_rate)) return false;
    } else if (arg == "--turnaround-us") {
      if (!number(0, 60000000, n)) return false;
      options.timing.turnaround = std::chrono::microseconds(n);
    } else if (arg == "--station") {
      options.station = true;
    } else if (arg == "--protocol" || arg == "--interface-version") {
      if (!value(text)) return false;
      int& target = arg == "--protocol" ? options.station_settings.protocol_version
                                        : options.station_settings.interface_version;
      if (!ToStationVersion(text, target)) {
        error = arg + " takes a version whose hundreds and ones are 0..7 (3200, 1030), not \"" +
                text + "\"";
        return false;
      }
    } else if (arg == "--interface") {
      if (!value(text)) return false;
      if (!ToInterfaceType(text, options.station_settings.interface_type)) {
        error = "--interface takes hbx, hby, zeto or a number, not \"" + text + "\"";
        return false;
      }
    } else if (arg == "--polls-before-reply") {
      if (!number(0, 1000, options.station_settings.polls_before_reply)) return false;
    } else if (arg == "--silent-station") {
      options.station_settings.silent = true;
    } else if (arg == "--no-reply") {
      options.faults.no_reply = true;
    } else if (arg == "--bad-checksum") {
      options.faults.wrong_checksum = true;
    } else if (arg == "--good-copy") {
      options.faults.good_copy_after_bad = true;
    } else if (arg == "--garbage") {
      if (!value(text)) return false;
      if (!ToHexBytes(text, options.faults.garbage_before)) {
        error = "--garbage takes hexadecimal bytes such as FF85, not \"" + text + "\"";
        return false;
      }
    } else if (arg == "--wrong-echo") {
      options.faults.wrong_address_echo = true;
    } else if (arg == "--xaddr-fault") {
      if (!value(text)) return false;
      if (text == "missing") {
        options.faults.xaddress = Faults::XAddress::kMissing;
      } else if (text == "wrong") {
        options.faults.xaddress = Faults::XAddress::kWrong;
      } else if (text == "unexpected") {
        options.faults.xaddress = Faults::XAddress::kUnexpected;
      } else {
        error = "--xaddr-fault takes missing, wrong or unexpected, not \"" + text + "\"";
        return false;
      }
    } else if (arg == "--unsupported") {
      if (!value(text)) return false;
      if (!ToUnsupported(text, options.faults)) {
        error = "--unsupported takes types 0..127 or TYPE:COMMAND, comma-separated, not \"" + text +
                "\"";
        return false;
      }
    } else if (arg == "--unsupported-answer") {
      if (!value(text)) return false;
      if (text == "empty") {
        options.faults.unsupported_answer = Faults::Unsupported::kEmpty;
      } else if (text == "wrong-type") {
        options.faults.unsupported_answer = Faults::Unsupported::kWrongType;
      } else {
        error = "--unsupported-answer takes empty or wrong-type, not \"" + text + "\"";
        return false;
      }
    } else if (arg == "--reply-delay-ms") {
      if (!number(0, 600000, n)) return false;
      options.faults.reply_delay = std::chrono::milliseconds(n);
    } else if (arg == "--fault-at") {
      if (!number(0, 1 << 30, options.faults.only_at_frame)) return false;
    } else {
      error = "unknown option \"" + arg + "\"";
      return false;
    }
  }
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

}  // namespace vela::sim
