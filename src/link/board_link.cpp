#include "link/board_link.h"

#include "link/framing.h"

namespace vela {

using std::to_string;

BoardLink::BoardLink(SerialPort& port, Clock& clock, UserDialogs& dialogs, TrafficLog& log)
    : port_(port),
      clock_(clock),
      dialogs_(dialogs),
      log_(log),
      parts_{port, clock, dialogs, log, *this, reply_, tally_},
      direct_(parts_),
      tunnel_(parts_) {}

bool BoardLink::OpenPort(const std::string& name, int bit_rate_index, std::string* error) {
  if (port_.IsOpen()) port_.Close();
  port_name_ = name;
  bit_rate_index_ = bit_rate_index;
  if (name.empty()) return false;
  if (!port_.Open(name, kLineSettings[bit_rate_index], error)) return false;
  direct_.Resync();
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
  direct_.Resync();
}

void BoardLink::ResetTally() {
  tally_ = ExchangeTally{};
  tally_.unidirectional = !Tunnelling() && !BidirectionalComm;
}

void BoardLink::RejectReply(const std::string& text, MessageIcon icon) {
  ++tally_.failures;
  dialogs_.Message(text, icon);
}

void BoardLink::PaceUnidirectionalWrite() {
  if (!BidirectionalComm) clock_.SleepFor(std::chrono::milliseconds(100));
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
  reply_.SetValid(false);
  if (cancel_requested_) {
    ++tally_.cancelled;
    return false;
  }
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
  return transport_->SendVLMessage(expect_reply, message);
}

void BoardLink::SendResyncPreamble() {
  if (port_.IsOpen()) port_.Write(kResyncPreamble);
}

void BoardLink::SendLegacyMessage(int address_byte, int d1, int d2, int d3) {
  if (cancel_requested_) {
    ++tally_.cancelled;
    return;
  }
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
  if (!port_.IsOpen()) {
    ReportIfLost();
    dialogs_.Message(kSelectCommunicationsPort);
    return;
  }
  transport_->SendLegacyMessage(address_byte, d1, d2, d3);
}

}  // namespace vela
