// The direct link's reply reader and checks, on whatever bytes a board might send.
#include <cstdint>

#include "fuzz_port.h"
#include "link/board_link.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  vela::ManualClock clock;
  vela::fuzz::InputPort port(clock, data + 1, size - 1);
  vela::fuzz::SilentDialogs dialogs;
  vela::MemoryTrafficLog log;
  vela::BoardLink link(port, clock, dialogs, log);
  link.OpenPort("fuzz", 1, nullptr);
  link.UseExtendedAddr = (data[0] & 1) != 0;
  link.ModuleXAddress = data[0] >> 1;
  link.SetSequenceStateForTesting(0x40);
  for (int i = 0; i < 4; ++i) link.SendVLMessage(true, {112, i});
  return 0;
}
