#include "link/board_link.h"

#include <cstdio>
#include <vector>

#include "link/framing.h"

namespace vela {

using std::to_string;

BoardMessage::BoardMessage(std::initializer_list<int> bytes) {
  size = static_cast<int>(bytes.size());
  int i = 0;
  for (int b : bytes) {
    if (i < 15) m[i] = b;
    ++i;
  }
}

BoardLink::BoardLink(SerialPort& port, Clock& clock, UserDialogs& dialogs, TrafficLog& log)
    : port_(port), clock_(clock), dialogs_(dialogs), log_(log), tunnel_(*this) {}

std::string BoardLink::FormatLogByte(int b) {
  char text[8];
  std::snprintf(text, sizeof text, " [%02X]", b & 0xFF);
  return text;
}

bool BoardLink::OpenPort(const std::string& name, int bit_rate_index, std::string* error) {
  if (port_.IsOpen()) port_.Close();
  port_name_ = name;
  bit_rate_index_ = bit_rate_index;
  if (name.empty()) return false;
  if (!port_.Open(name, kLineSettings[bit_rate_index], error)) return false;
  SequenceState = kResyncPending;
  return true;
}

void BoardLink::ClosePort() {
  if (port_.IsOpen()) port_.Close();
}

void BoardLink::ForgetPort() {
  ClosePort();
  port_name_.clear();
}

bool BoardLink::SetBitRate(int bit_rate_index, std::string* error) {
  ClosePort();
  bit_rate_index_ = bit_rate_index;
  if (port_name_.empty()) return true;
  return OpenPort(port_name_, bit_rate_index, error);
}

void BoardLink::SetModuleAddress(int address) {
  ModuleAddress = address;
  SequenceState = kResyncPending;
}

void BoardLink::ResetTally() {
  tally_ = ExchangeTally{};
  tally_.unidirectional = !UseCorsanTunneling && !BidirectionalComm;
}

void BoardLink::RejectReply(const std::string& text, MessageIcon icon) {
  ++tally_.failures;
  dialogs_.Message(text, icon);
}

void BoardLink::PaceUnidirectionalWrite() {
  if (!BidirectionalComm) clock_.SleepFor(std::chrono::milliseconds(100));
}

void BoardLink::ReportIfLost() {
  std::string reason = port_.TakeLostReason();
  if (!reason.empty())
    dialogs_.Message("The serial port was closed: " + reason, MessageIcon::kError);
}

bool BoardLink::BytesSendable(const BoardMessage& message) {
  for (int i = 0; i < message.size; ++i) {
    int b = message.m[i];
    if (b < 0 || b > 127) {
      dialogs_.Message("SendVLMessage: byte " + to_string(i) + " of the message is " +
                           to_string(b) + ", outside 0..127; nothing was sent",
                       MessageIcon::kError);
      return false;
    }
  }
  return true;
}

bool BoardLink::SendVLMessage(bool expect_reply, const BoardMessage& message) {
  ReplyValid = false;
  if (cancel_requested_) return false;
  if (message.size > 15 || message.size < 0) {
    ++tally_.failures;
    dialogs_.Message("SendVLMessage: Message Size Overrun, size = " + to_string(message.size));
    return false;
  }
  if (!BytesSendable(message)) {
    ++tally_.failures;
    return false;
  }
  if (!port_.IsOpen()) {
    ++tally_.failures;
    ReportIfLost();
    dialogs_.Message(kSelectCommunicationsPort);
    return false;
  }
  ++tally_.sent;
  if (UseCorsanTunneling) return tunnel_.SendVLMessage(expect_reply, message);
  return SendDirect(message);
}

void BoardLink::SendResyncPreamble() {
  if (port_.IsOpen()) port_.Write(kResyncPreamble);
}

bool BoardLink::SendDirect(const BoardMessage& message) {
  const uint8_t a = AddressByte(ModuleAddress);
  std::vector<uint8_t> frame;
  if (SequenceState == kResyncPending) {
    frame = kResyncPreamble;
    frame.insert(frame.end(), {a, 0xC0, static_cast<uint8_t>(0xC0 - a)});
    SequenceState = 0x40;
  }
  const size_t frame_start = frame.size();
  const uint8_t sent_address = static_cast<uint8_t>(a + SequenceState);
  const uint8_t header = static_cast<uint8_t>(0xC0 + (BidirectionalComm ? 0x20 : 0) +
                                              (UseExtendedAddr ? 0x10 : 0) + message.size);
  frame.push_back(sent_address);
  frame.push_back(header);
  std::string line = "> " + FormatLogByte(sent_address) + FormatLogByte(header & 0x7F);
  if (UseExtendedAddr) {
    frame.push_back(static_cast<uint8_t>(0x80 + ModuleXAddress));
    line += FormatLogByte(ModuleXAddress);
  }
  for (int i = 0; i < message.size; ++i) {
    frame.push_back(static_cast<uint8_t>(0x80 + message.m[i]));
    line += FormatLogByte(message.m[i]);
  }
  frame.push_back(FrameChecksum(frame.data() + frame_start, frame.size() - frame_start));
  port_.Write(frame);
  log_.AppendToLog(line + kCrLf);

  if (BidirectionalComm) {
    if (!ReceiveReply()) {
      CountFailedExchange();
      ReportIfLost();
      dialogs_.Message("No response received, resetting bidirectional communication");
      BidirectionalComm = false;
      tally_.lost_bidirectional = true;
    } else {
      const int header_in = ReplyBuffer[1];
      const bool has_xaddress = (header_in & 0x10) != 0;
      const int logged = 2 + (header_in & 0x0F) + (has_xaddress ? 1 : 0);
      std::string reply_line = "< ";
      for (int i = 0; i < logged && i < static_cast<int>(ReplyBuffer.size()); ++i) {
        reply_line += FormatLogByte(ReplyBuffer[i]);
      }
      log_.AppendToLog(reply_line + kCrLf);

      ReplyValid = true;
      const int xaddress = ReplyBuffer[2] & 0x7F;
      if (!(header_in > 95 && ReplyBuffer[0] == sent_address)) {
        ReplyValid = false;
        dialogs_.Message(std::string("Invalid response received, ") + kCrLf + "Received: Addr = " +
                         to_string(ReplyBuffer[0]) + " Header = " + to_string(header_in) + kCrLf +
                         "Expected: Addr = " + to_string(a) + " Header > 95 ");
      } else if (has_xaddress && !UseExtendedAddr) {
        ReplyValid = false;
        dialogs_.Message("Unexpected eXtended Address Byte " + to_string(xaddress));
      } else if (!has_xaddress && UseExtendedAddr) {
        ReplyValid = false;
        dialogs_.Message("eXtended Address Byte expected");
      } else if (has_xaddress && xaddress != ModuleXAddress) {
        ReplyValid = false;
        dialogs_.Message(std::string("Incorrect eXtended Address byte ") + kCrLf + "Received " +
                         to_string(xaddress) + " Expected " + to_string(ModuleXAddress));
      }
      if (!ReplyValid) CountFailedExchange();
      if (has_xaddress && ReplyValid) {
        const int n = header_in & 0x0F;
        for (int i = 2; i <= n + 1; ++i) ReplyBuffer[i] = ReplyBuffer[i + 1];
      }
    }
  } else if (tally_.lost_bidirectional) {
    ++tally_.unconfirmed;  // sent blind because the board stopped answering
  }
  SequenceState = static_cast<uint8_t>((SequenceState + 0x40) & 0x7F);
  return true;
}

bool BoardLink::ReceiveReply() {
  const auto deadline = clock_.Now() + kReplyTimeout;
  int p = 0;
  int remaining = 0;
  int sum = 0;
  while (clock_.Now() <= deadline) {
    if (!port_.IsOpen()) return false;
    if (port_.BytesWaiting() == 0) {
      auto now = clock_.Now();
      if (now > deadline) break;
      // Block on the port; wake a little after the deadline so the loop sees it passed.
      port_.WaitForData(deadline - now + std::chrono::microseconds(1));
      continue;
    }
    const int b = port_.ReadByte();
    if (b < 0) continue;
    if (b < 0x80) {
      ReplyBuffer[0] = static_cast<uint8_t>(b);
      sum = b;
      p = 1;
      remaining = 0;
    } else if (p == 0) {
      // noise before an address byte
    } else if (p == 1) {
      sum += b & 0x7F;
      ReplyBuffer[1] = static_cast<uint8_t>(b & 0x7F);
      p = 2;
      remaining = (b & 0x0F) + ((b & 0x10) ? 1 : 0);
    } else if (remaining > 0) {
      sum += b & 0x7F;
      if (p < static_cast<int>(ReplyBuffer.size())) ReplyBuffer[p] = static_cast<uint8_t>(b & 0x7F);
      ++p;
      --remaining;
    } else {
      sum += b & 0x7F;
      if ((sum & 0x7F) == 0) return true;
      p = 0;  // bad checksum: drop the frame, keep waiting
    }
  }
  return false;
}

void BoardLink::SendLegacyMessage(int address_byte, int d1, int d2, int d3) {
  if (cancel_requested_) return;
  for (int v : {d1, d2, d3}) {
    if (v < 0 || v > 127) {
      dialogs_.Message("A Kora-format frame carries values 0..127 only; " + to_string(v) +
                           " cannot be sent, nothing was sent",
                       MessageIcon::kError);
      return;
    }
  }
  if (address_byte < 0 || address_byte > 127) {
    dialogs_.Message("Kora-format address byte " + to_string(address_byte) +
                         " is outside 0..127; nothing was sent",
                     MessageIcon::kError);
    return;
  }
  if (UseCorsanTunneling && port_.IsOpen()) {
    tunnel_.SendLegacyMessage(address_byte, d1, d2, d3);
    return;
  }
  if (!port_.IsOpen()) {
    ReportIfLost();
    dialogs_.Message(kSelectCommunicationsPort);
    return;
  }
  const uint8_t a = static_cast<uint8_t>(address_byte);
  std::vector<uint8_t> frame;
  if (SequenceState == kResyncPending) {
    frame = kResyncPreamble;
    frame.insert(frame.end(), {a, 0x80, 0x80, 0x80, static_cast<uint8_t>(256 - a)});
    SequenceState = 0x40;
  }
  std::vector<uint8_t> legacy = {a, static_cast<uint8_t>(0x80 + d1),
                                 static_cast<uint8_t>(0x80 + d2), static_cast<uint8_t>(0x80 + d3)};
  AppendChecksum(legacy);
  frame.insert(frame.end(), legacy.begin(), legacy.end());
  port_.Write(frame);
}

}  // namespace vela
