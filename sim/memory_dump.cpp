#include "sim/memory_dump.h"

#include <sstream>

namespace vela::sim {
namespace {

template <typename Bytes>
std::string Numbers(const Bytes& bytes) {
  std::string text;
  for (auto b : bytes) text += " " + std::to_string(static_cast<int>(b));
  return text;
}

}  // namespace

std::string DumpMemory(const BoardMemory& m) {
  std::ostringstream out;
  out << "version" << Numbers(m.version) << "\n";
  out << "hardware" << Numbers(m.hardware) << "\n";
  out << "xaddress " << static_cast<int>(m.xaddress) << "\n";
  out << "group_mask" << Numbers(m.group_mask) << "\n";
  out << "dcc_address" << Numbers(m.dcc_address) << "\n";
  out << "dcc_options " << static_cast<int>(m.dcc_options) << "\n";
  out << "led_green " << static_cast<int>(m.led_green) << "\n";
  out << "led_orange " << static_cast<int>(m.led_orange) << "\n";
  out << "serial_addressing" << Numbers(m.serial_addressing) << "\n";
  out << "id \"" << m.id_string << "\"\n";
  out << "event_disable" << Numbers(m.event_disable) << "\n";
  out << "xdcc_address" << Numbers(m.xdcc_address) << "\n";
  out << "serial_port" << Numbers(m.serial_port) << "\n";
  out << "erase_count " << m.erase_count << "\n";
  for (int p = 0; p < 32; ++p) {
    const BoardPin& pin = m.pins[p];
    out << "pin " << p << " mode " << static_cast<int>(pin.aspect_mode) << " init "
        << static_cast<int>(pin.init_nibble) << " address " << static_cast<int>(pin.dcc_nibble)
        << " " << 0x10 + pin.kora_count << " " << 0x40 + pin.device_distance << " flash"
        << Numbers(pin.flash_config) << " active" << Numbers(pin.active_config) << " on"
        << Numbers(pin.event_on) << " off" << Numbers(pin.event_off) << "\n";
    for (int a = 0; a < 12; ++a) {
      for (int s = 0; s < 9; ++s) {
        const WireStep& step = pin.steps[a][s];
        if (step == WireStep{}) continue;
        out << "step " << p << " " << a << " " << s << ":" << Numbers(step) << "\n";
      }
    }
  }
  return out.str();
}

}  // namespace vela::sim
