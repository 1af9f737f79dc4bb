// The command-station frame reader and the tunnel's reply conversion on arbitrary answers.
#include <cstdint>

#include "fuzz_port.h"
#include "link/board_link.h"
#include "link/station_procedures.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  vela::ManualClock clock;
  vela::fuzz::InputPort port(clock, data + 1, size - 1);
  vela::fuzz::SilentDialogs dialogs;
  vela::MemoryTrafficLog log;
  vela::BoardLink link(port, clock, dialogs, log);
  link.OpenPort("fuzz", 1, nullptr);
  link.UseExtendedAddr = (data[0] & 1) != 0;
  link.ModuleXAddress = (data[0] >> 1) & 0x1F;
  if (data[0] & 0x80) {
    vela::ActivateTransparentMode(link);
  } else {
    link.SetTunnelling(true);
    link.Tunnel().ReceiveCorsanFrame();
    link.SendVLMessage(true, {112, 0});
    link.SendVLMessage(false, {96, 5, 2});
  }
  return 0;
}
