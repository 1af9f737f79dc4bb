// How a board message reaches the board: written straight onto the line (DirectFraming) or
// carried inside command-station frames (StationTunnel). BoardLink picks one when tunnelling is
// switched on or off and hands both the parts of the link they work with (LinkParts); a
// transport never sees BoardLink itself.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "dialogs/user_dialogs.h"
#include "link/clock.h"
#include "link/reply_view.h"
#include "link/serial_port.h"
#include "link/traffic_log.h"

namespace vela {

inline constexpr std::chrono::seconds kReplyTimeout{2};

// One board message: a type byte, a command byte and up to 13 data bytes.
struct BoardMessage {
  int size = 0;
  std::array<int, 15> m{};

  BoardMessage() = default;
  BoardMessage(std::initializer_list<int> bytes);
};

// What the exchanges since the last ResetTally came to. A message is confirmed when a valid
// reply (direct) or the station's answer (tunnel) came for it; one sent with "Bidirectional
// Comm." off is not. A failure is an exchange that produced a failure message: the link's own
// (no reply, invalid reply, port closed) or a caller's RejectReply (wrong length, type, command).
struct ExchangeTally {
  int sent = 0;
  int unconfirmed = 0;
  int failures = 0;
  // Exchanges refused because the user cancelled the operation.
  int cancelled = 0;
  // The tally started with "Bidirectional Comm." off on the direct link: nothing is confirmed
  // by design, so unconfirmed messages are no loss.
  bool unidirectional = false;
  // A missing reply switched "Bidirectional Comm." off since the tally started.
  bool lost_bidirectional = false;

  // Messages that expected a confirmation and got none or an invalid one.
  int LostConfirmations() const { return unidirectional ? 0 : unconfirmed; }
};

// The settings the user makes on the link. The transports read them; the direct framing turns
// BidirectionalComm off when the board stops answering.
struct LinkSettings {
  int ModuleAddress = 0;
  int ModuleXAddress = 0;
  bool BidirectionalComm = true;  // "Bidirectional Comm."
  bool UseExtendedAddr = false;   // "Use eXtended Addr"
};

// The last reply as the transports fill it in; everyone else reads it through View().
class ReplyStore {
 public:
  ReplyView View() const { return ReplyView(frame_, valid_); }
  ReplyFrame& Frame() { return frame_; }
  const ReplyFrame& Frame() const { return frame_; }
  void SetValid(bool valid) { valid_ = valid; }

 private:
  ReplyFrame frame_{};
  bool valid_ = false;
};

// The parts of the link a transport works with.
struct LinkParts {
  SerialPort& port;
  Clock& clock;
  UserDialogs& dialogs;
  TrafficLog& log;
  LinkSettings& settings;
  ReplyStore& reply;
  ExchangeTally& tally;

  // A station that did not answer or a board reply that did not come (or was invalid).
  void CountFailedExchange() {
    ++tally.failures;
    ++tally.unconfirmed;
  }
  // When the port closed itself (the far end went away), says so once, with the reason.
  void ReportIfLost();
  // The next byte that arrives before `deadline`, blocking on the port meanwhile; -1 once the
  // deadline has passed or the port is closed.
  int NextByte(std::chrono::microseconds deadline);
};

class Transport {
 public:
  virtual ~Transport() = default;

  // One message that passed BoardLink's checks (size, bytes, open port) and was counted as
  // sent. Returns false when, through the tunnel, no valid reply came.
  virtual bool SendVLMessage(bool expect_reply, const BoardMessage& message) = 0;
  // One Kora-format frame; the values are checked and the port is open.
  virtual void SendLegacyMessage(int address_byte, int d1, int d2, int d3) = 0;
};

}  // namespace vela
