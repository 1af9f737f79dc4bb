#include "link/direct_framing.h"

#include <string>
#include <vector>

#include "link/framing.h"

namespace vela {

using std::to_string;

bool DirectFraming::SendVLMessage(bool /*expect_reply*/, const BoardMessage& message) {
  const LinkSettings& settings = link_.settings;
  const uint8_t a = AddressByte(settings.ModuleAddress);
  std::vector<uint8_t> frame;
  if (sequence_ == kResyncPending) {
    frame = kResyncPreamble;
    frame.insert(frame.end(), {a, 0xC0, static_cast<uint8_t>(0xC0 - a)});
    sequence_ = 0x40;
  }
  const size_t frame_start = frame.size();
  const uint8_t sent_address = static_cast<uint8_t>(a + sequence_);
  const uint8_t header = static_cast<uint8_t>(0xC0 + (settings.BidirectionalComm ? 0x20 : 0) +
                                              (settings.UseExtendedAddr ? 0x10 : 0) + message.size);
  frame.push_back(sent_address);
  frame.push_back(header);
  std::string line = "> " + FormatLogByte(sent_address) + FormatLogByte(header & 0x7F);
  if (settings.UseExtendedAddr) {
    frame.push_back(static_cast<uint8_t>(0x80 + settings.ModuleXAddress));
    line += FormatLogByte(settings.ModuleXAddress);
  }
  for (int i = 0; i < message.size; ++i) {
    frame.push_back(static_cast<uint8_t>(0x80 + message.m[i]));
    line += FormatLogByte(message.m[i]);
  }
  frame.push_back(FrameChecksum(frame.data() + frame_start, frame.size() - frame_start));
  link_.port.Write(frame);
  link_.log.AppendToLog(line + kCrLf);

  if (settings.BidirectionalComm) {
    if (!ReceiveReply()) {
      link_.CountFailedExchange();
      link_.ReportIfLost();
      link_.dialogs.Message("No response received, resetting bidirectional communication");
      link_.settings.BidirectionalComm = false;
      link_.tally.lost_bidirectional = true;
    } else {
      CheckReply(a, sent_address);
    }
  } else if (link_.tally.lost_bidirectional) {
    ++link_.tally.unconfirmed;  // sent blind because the board stopped answering
  }
  sequence_ = static_cast<uint8_t>((sequence_ + 0x40) & 0x7F);
  return true;
}

void DirectFraming::CheckReply(uint8_t address, uint8_t sent_address) {
  const LinkSettings& settings = link_.settings;
  ReplyFrame& reply = link_.reply.Frame();
  const int header_in = reply[1];
  const bool has_xaddress = (header_in & 0x10) != 0;
  const int logged = 2 + (header_in & 0x0F) + (has_xaddress ? 1 : 0);
  std::string reply_line = "< ";
  for (int i = 0; i < logged && i < static_cast<int>(reply.size()); ++i) {
    reply_line += FormatLogByte(reply[i]);
  }
  link_.log.AppendToLog(reply_line + kCrLf);

  bool valid = true;
  const int xaddress = reply[2] & 0x7F;
  if (!(header_in > 95 && reply[0] == sent_address)) {
    valid = false;
    link_.dialogs.Message(std::string("Invalid response received, ") + kCrLf + "Received: Addr = " +
                          to_string(reply[0]) + " Header = " + to_string(header_in) + kCrLf +
                          "Expected: Addr = " + to_string(address) + " Header > 95 ");
  } else if (has_xaddress && !settings.UseExtendedAddr) {
    valid = false;
    link_.dialogs.Message("Unexpected eXtended Address Byte " + to_string(xaddress));
  } else if (!has_xaddress && settings.UseExtendedAddr) {
    valid = false;
    link_.dialogs.Message("eXtended Address Byte expected");
  } else if (has_xaddress && xaddress != settings.ModuleXAddress) {
    valid = false;
    link_.dialogs.Message(std::string("Incorrect eXtended Address byte ") + kCrLf + "Received " +
                          to_string(xaddress) + " Expected " + to_string(settings.ModuleXAddress));
  }
  link_.reply.SetValid(valid);
  if (!valid) link_.CountFailedExchange();
  if (has_xaddress && valid) {
    // The extended address byte is checked; the message moves up to where the others have it.
    const int n = header_in & 0x0F;
    for (int i = 2; i <= n + 1; ++i) reply[i] = reply[i + 1];
  }
}

bool DirectFraming::ReceiveReply() {
  ReplyFrame& reply = link_.reply.Frame();
  const auto deadline = link_.clock.Now() + kReplyTimeout;
  int p = 0;
  int remaining = 0;
  int sum = 0;
  for (int b = link_.NextByte(deadline); b >= 0; b = link_.NextByte(deadline)) {
    if (b < 0x80) {
      reply[0] = static_cast<uint8_t>(b);
      sum = b;
      p = 1;
      remaining = 0;
    } else if (p == 0) {
      // noise before an address byte
    } else if (p == 1) {
      sum += b & 0x7F;
      reply[1] = static_cast<uint8_t>(b & 0x7F);
      p = 2;
      remaining = (b & 0x0F) + ((b & 0x10) ? 1 : 0);
    } else if (remaining > 0) {
      sum += b & 0x7F;
      if (p < static_cast<int>(reply.size())) reply[p] = static_cast<uint8_t>(b & 0x7F);
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

void DirectFraming::SendLegacyMessage(int address_byte, int d1, int d2, int d3) {
  const uint8_t a = static_cast<uint8_t>(address_byte);
  std::vector<uint8_t> frame;
  if (sequence_ == kResyncPending) {
    frame = kResyncPreamble;
    frame.insert(frame.end(), {a, 0x80, 0x80, 0x80, static_cast<uint8_t>(256 - a)});
    sequence_ = 0x40;
  }
  std::vector<uint8_t> legacy = {a, static_cast<uint8_t>(0x80 + d1),
                                 static_cast<uint8_t>(0x80 + d2), static_cast<uint8_t>(0x80 + d3)};
  AppendChecksum(legacy);
  frame.insert(frame.end(), legacy.begin(), legacy.end());
  link_.port.Write(frame);
}

}  // namespace vela
