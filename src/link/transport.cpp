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

}  // namespace vela
