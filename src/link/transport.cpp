#include "link/transport.h"

namespace vela {

BoardMessage::BoardMessage(std::initializer_list<int> bytes) {
  size = static_cast<int>(bytes.size());
  int i = 0;
  for (int b : bytes) {
    if (i < 15) m[i] = b;
    ++i;
  }
}

void LinkParts::ReportIfLost() {
  std::string reason = port.TakeLostReason();
  if (!reason.empty())
    dialogs.Message("The serial port was closed: " + reason, MessageIcon::kError);
}

int LinkParts::NextByte(std::chrono::microseconds deadline) {
  while (clock.Now() <= deadline && port.IsOpen()) {
    if (port.BytesWaiting() == 0) {
      const auto now = clock.Now();
      if (now > deadline) break;
      // Wake a little after the deadline so the loop sees it passed.
      port.WaitForData(deadline - now + std::chrono::microseconds(1));
      continue;
    }
    const int b = port.ReadByte();
    if (b >= 0) return b;
  }
  return -1;
}

}  // namespace vela
