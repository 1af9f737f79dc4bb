// The exchange of board messages over the serial line.
//
// Direct frame (PC to board): address byte A + sequence bit (A = module x 4 + 3, the only byte
// with bit 7 clear), header 0xC0 + 0x20 x bidirectional + 0x10 x extended + size, the extended
// address byte when used, the message bytes with bit 7 set, the checksum. The first frame after
// opening the port (or changing the module) is preceded by the resynchronisation preamble and an
// empty frame. With "Bidirectional Comm." on, every frame is followed by a reply read within
// 2 seconds and checked: the reply must echo the address byte with its sequence bit.
//
// The sequence bit alternates 0x40, 0x00, 0x40 ... after every direct frame, answered or not.
// Frames with a bad checksum are dropped while the wait goes on. With "Use Corsan Tunneling" on,
// messages travel through the command station instead (StationTunnel).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "dialogs/user_dialogs.h"
#include "link/clock.h"
#include "link/reply_view.h"
#include "link/serial_port.h"
#include "link/station_tunnel.h"
#include "link/traffic_log.h"

namespace vela {

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
  // The tally started with "Bidirectional Comm." off on the direct link: nothing is confirmed
  // by design, so unconfirmed messages are no loss.
  bool unidirectional = false;
  // A missing reply switched "Bidirectional Comm." off since the tally started.
  bool lost_bidirectional = false;

  // Messages that expected a confirmation and got none or an invalid one.
  int LostConfirmations() const { return unidirectional ? 0 : unconfirmed; }
};

inline constexpr uint8_t kResyncPending = 0x80;
inline constexpr std::chrono::seconds kReplyTimeout{2};

class BoardLink {
 public:
  BoardLink(SerialPort& port, Clock& clock, UserDialogs& dialogs, TrafficLog& log);
  BoardLink(const BoardLink&) = delete;
  BoardLink& operator=(const BoardLink&) = delete;

  // Sends one message; see the block above. Returns false when nothing was sent (size overrun,
  // a byte outside 0..127, port closed) or, through the tunnel, when no valid reply came.
  bool SendVLMessage(bool expect_reply, const BoardMessage& message);
  bool SendVLMessage(bool expect_reply, std::initializer_list<int> bytes) {
    return SendVLMessage(expect_reply, BoardMessage(bytes));
  }

  // One Kora-format frame: address byte, three data bytes, checksum; no reply is read.
  void SendLegacyMessage(int address_byte, int d1, int d2, int d3);

  // Reads one reply frame into ReplyBuffer within the 2-second deadline.
  bool ReceiveReply();
  void SendResyncPreamble();

  // " [0A]": the log text of one byte.
  static std::string FormatLogByte(int b);

  // Opening and closing the port. Every opening sets ResyncPending.
  bool OpenPort(const std::string& name, int bit_rate_index, std::string* error);
  void ClosePort();
  // Closes the port and forgets which one was chosen ("Refresh"): a later bit-rate change then
  // opens nothing until a port is picked again.
  void ForgetPort();
  bool IsLinkOpen() const { return port_.IsOpen(); }
  const std::string& PortName() const { return port_name_; }
  int BitRateIndex() const { return bit_rate_index_; }
  // A bit-rate change: closes the port, and reopens it when one had been chosen.
  bool SetBitRate(int bit_rate_index, std::string* error);

  // Module address changes force a resynchronisation of the board's framing.
  void SetModuleAddress(int address);

  // The last reply, read-only; see ReplyView.
  ReplyView Reply() const { return ReplyView(ReplyBuffer, ReplyValid); }
  // The length of the last reply: low 4 bits of ReplyBuffer[1].
  int ReplyLength() const { return Reply().Length(); }

  // Starts counting afresh; called when an operation starts.
  void ResetTally();
  const ExchangeTally& Tally() const { return tally_; }
  // A caller found the reply unusable: shows the message and counts the failed exchange.
  void RejectReply(const std::string& text, MessageIcon icon = MessageIcon::kNone);
  // The tunnel's count of a station that did not answer or a board reply that did not come.
  void CountFailedExchange() {
    ++tally_.failures;
    ++tally_.unconfirmed;
  }

  // When the port closed itself (the far end went away), says so once, with the reason.
  void ReportIfLost();

  // The pause after a write while "Bidirectional Comm." is off.
  void PaceUnidirectionalWrite();

  // Asks the running operation to stop before its next exchange: every later SendVLMessage
  // fails silently, as a failed step would, until ClearCancel. Safe from another thread.
  void RequestCancel() { cancel_requested_ = true; }
  void ClearCancel() { cancel_requested_ = false; }
  bool CancelRequested() const { return cancel_requested_; }

  SerialPort& Port() { return port_; }
  Clock& GetClock() { return clock_; }
  UserDialogs& Dialogs() { return dialogs_; }
  TrafficLog& Log() { return log_; }
  StationTunnel& Tunnel() { return tunnel_; }

  // Link state shared with the operations and the tunnel.
  int ModuleAddress = 0;
  int ModuleXAddress = 0;
  bool BidirectionalComm = true;    // "Bidirectional Comm."
  bool UseExtendedAddr = false;     // "Use eXtended Addr"
  bool UseCorsanTunneling = false;  // "Use Corsan Tunneling"
  uint8_t SequenceState = 0;
  ReplyFrame ReplyBuffer{};
  bool ReplyValid = false;

 private:
  bool SendDirect(const BoardMessage& message);
  // Checks every byte of the message; shows the message box and returns false for a bad one.
  bool BytesSendable(const BoardMessage& message);

  SerialPort& port_;
  Clock& clock_;
  UserDialogs& dialogs_;
  TrafficLog& log_;
  StationTunnel tunnel_;
  std::atomic<bool> cancel_requested_{false};
  std::string port_name_;
  ExchangeTally tally_;
  int bit_rate_index_ = kDefaultBitRateIndex;
};

inline constexpr const char* kSelectCommunicationsPort = "Select communications port";

}  // namespace vela
