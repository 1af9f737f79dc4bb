// The exchange of board messages over the serial line: the checks every message passes, the
// tally of an operation's exchanges, and the transport that carries them (transport.h): the
// direct framing, or with "Use Corsan Tunneling" on the command station (StationTunnel). The
// transport is chosen when tunnelling is switched; the last reply and the framing's sequence
// state are the link's own, read through Reply() and SequenceState().
#pragma once

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "link/direct_framing.h"
#include "link/station_tunnel.h"
#include "link/transport.h"

namespace vela {

// The link's settings (ModuleAddress, ModuleXAddress, BidirectionalComm, UseExtendedAddr) are
// its public LinkSettings: the window, velacli and the operations set them directly.
class BoardLink : public LinkSettings {
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

  void SendResyncPreamble();

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
  // The next direct frame starts with the resynchronisation preamble (an interface box just
  // switched to passing the direct protocol).
  void ResyncFraming() { direct_.Resync(); }

  // "Use Corsan Tunneling": picks the transport of every later message.
  void SetTunnelling(bool on) { transport_ = on ? static_cast<Transport*>(&tunnel_) : &direct_; }
  bool Tunnelling() const { return transport_ == &tunnel_; }

  // The last reply, read-only; see ReplyView.
  ReplyView Reply() const { return reply_.View(); }
  // The length of the last reply: its header's low 4 bits.
  int ReplyLength() const { return Reply().Length(); }

  // The direct framing's sequence state: kResyncPending, or the next frame's sequence bit.
  uint8_t SequenceState() const { return direct_.Sequence(); }
  // For tests that start a conversation from a known sequence bit.
  void SetSequenceStateForTesting(uint8_t state) { direct_.SetSequence(state); }

  // Starts counting afresh; called when an operation starts.
  void ResetTally();
  const ExchangeTally& Tally() const { return tally_; }
  // A caller found the reply unusable: shows the message and counts the failed exchange.
  void RejectReply(const std::string& text, MessageIcon icon = MessageIcon::kNone);
  // When the port closed itself (the far end went away), says so once, with the reason.
  void ReportIfLost() { parts_.ReportIfLost(); }

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
  const StationTunnel& Tunnel() const { return tunnel_; }

 private:
  // Checks every byte of the message; shows the message box and returns false for a bad one.
  bool BytesSendable(const BoardMessage& message);

  SerialPort& port_;
  Clock& clock_;
  UserDialogs& dialogs_;
  TrafficLog& log_;
  ReplyStore reply_;
  ExchangeTally tally_;
  LinkParts parts_;
  DirectFraming direct_;
  StationTunnel tunnel_;
  Transport* transport_ = &direct_;
  std::atomic<bool> cancel_requested_{false};
  std::string port_name_;
  int bit_rate_index_ = kDefaultBitRateIndex;
};

inline constexpr const char* kSelectCommunicationsPort = "Select communications port";

}  // namespace vela
