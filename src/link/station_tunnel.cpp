#include "link/station_tunnel.h"

#include "link/framing.h"

namespace vela {

using std::to_string;

namespace {
// 38400 bit/s at 11 bits a byte for the 2 seconds of the reply timeout.
constexpr size_t kDrainLimit = 38400 / 11 * 2;
}  // namespace

uint8_t StationTunnel::HeaderFor(int length, int toggle) {
  int code = length <= 7 ? 0x28 + length : (length <= 15 ? length - 8 : length);
  return static_cast<uint8_t>(code + (toggle ? 0x40 : 0));
}

int StationTunnel::LengthOf(uint8_t header) {
  if (header & 0x08) return header & 0x07;
  return 8 + (header & 0x07) + 8 * ((header >> 4) & 1);
}

bool StationTunnel::SendCorsanFrame(const std::vector<uint8_t>& payload) {
  SerialPort& port = link_.port;
  // Whatever is waiting belongs to no question of ours. A peer that keeps the buffer full
  // must not hold the tool: the drain ends at the reply timeout, or after as many bytes as the
  // fastest line carries in that time, whichever comes first.
  uint8_t discard[64];
  const auto drain_end = link_.clock.Now() + kReplyTimeout;
  size_t drained = 0;
  while (port.BytesWaiting() > 0 && drained < kDrainLimit && link_.clock.Now() < drain_end) {
    size_t n = port.Read(discard, sizeof discard);
    if (n == 0) break;
    drained += n;
  }
  const uint8_t header = HeaderFor(static_cast<int>(payload.size()), toggle_);
  std::vector<uint8_t> frame = {header};
  std::string line = ">> " + FormatLogByte(header);
  for (uint8_t b : payload) {
    frame.push_back(static_cast<uint8_t>(0x80 + (b & 0x7F)));
    line += FormatLogByte(b);
  }
  AppendChecksum(frame);
  port.Write(frame);
  if (!payload.empty()) link_.log.AppendToLog(line + kCrLf);
  toggle_ = 1 - toggle_;
  if (!ReceiveCorsanFrame().empty()) return true;
  // A port that went away says so first, as on the direct link.
  link_.ReportIfLost();
  link_.dialogs.Message("No answer from Corsan", MessageIcon::kWarning);
  return false;
}

std::string StationTunnel::ReceiveCorsanFrame() {
  ReplyFrame& buffer = link_.reply.Frame();
  for (int i = 0; i <= 19; ++i) buffer[i] = 0;
  const auto deadline = link_.clock.Now() + kReplyTimeout;
  std::string text;
  bool header_seen = false;
  bool complete = false;
  int length = 0;
  int position = 0;  // next index of the frame
  int due = 0;       // payload bytes plus checksum still to come
  int sum = 0;
  while (!complete) {
    const int b = link_.NextByte(deadline);
    if (b < 0) break;
    if (b < 0x80) {
      header_seen = true;
      text = "<< " + FormatLogByte(b);
      for (int i = 1; i <= 19; ++i) buffer[i] = 0;
      buffer[0] = static_cast<uint8_t>(b);
      length = LengthOf(static_cast<uint8_t>(b));
      position = 1;
      due = length + 1;
      sum = b;
      continue;
    }
    if (!header_seen) continue;
    sum += b & 0x7F;
    if (position < static_cast<int>(buffer.size()))
      buffer[position] = static_cast<uint8_t>(b & 0x7F);
    if (due > 1) text += FormatLogByte(b & 0x7F);
    ++position;
    if (--due == 0) complete = true;
  }
  std::string result;
  if (complete) {
    if (length > 19) {
      // Longer than any answer we ask for, and longer than the reply buffer: drop it.
      buffer[0] = 0;
    } else if ((sum & 0x7F) != 0) {
      link_.dialogs.Message(std::string("Checksum Error") + kCrLf + "Size = " + to_string(length) +
                            text);
      buffer[0] = 0;
    } else {
      buffer[0] = static_cast<uint8_t>(length);
      result = text;
    }
  }
  if (buffer[0] != 0) link_.log.AppendToLog(text + kCrLf);
  return result;
}

bool StationTunnel::SendVLMessage(bool expect_reply, const BoardMessage& message) {
  const LinkSettings& settings = link_.settings;
  const ReplyFrame& buffer = link_.reply.Frame();
  const int module_tag = settings.ModuleAddress + 96;
  std::vector<uint8_t> payload = {0, static_cast<uint8_t>(module_tag)};
  if (settings.UseExtendedAddr) {
    payload.push_back(0x70);
    payload.push_back(static_cast<uint8_t>(settings.ModuleXAddress));
  } else {
    payload.push_back(0x60);
  }
  for (int i = 0; i < message.size; ++i) payload.push_back(static_cast<uint8_t>(message.m[i]));

  const bool answered = SendCorsanFrame(payload);
  link_.reply.SetValid(answered);
  if (!answered) {
    link_.CountFailedExchange();
    link_.dialogs.Message("No valid response received");
    return false;
  }
  if (!expect_reply) {
    SendCorsanFrame({});
    return true;
  }
  link_.reply.SetValid(false);
  const auto deadline = link_.clock.Now() + kReplyTimeout;
  bool polled_ok = true;
  while (polled_ok && link_.clock.Now() <= deadline) {
    if (buffer[1] == 0 && buffer[0] > 3 && buffer[2] == module_tag) {
      if (!TakeBoardReply()) return false;
      link_.reply.SetValid(true);
      return true;
    }
    polled_ok = SendCorsanFrame({});
  }
  link_.CountFailedExchange();
  link_.dialogs.Message("No valid response received");
  return false;
}

bool StationTunnel::TakeBoardReply() {
  const LinkSettings& settings = link_.settings;
  ReplyFrame& buffer = link_.reply.Frame();
  buffer[0] = static_cast<uint8_t>((buffer[2] & 0x1F) * 4 + 3);
  buffer[1] = 0;
  const int tunnelled_header = buffer[3];
  const int n = buffer[4] & 0x7F;
  if ((tunnelled_header & 0x10) == 0) {
    buffer[1] = static_cast<uint8_t>(tunnelled_header);
    for (int i = 2; i <= 16; ++i) buffer[i] = buffer[i + 2];
  } else if (settings.UseExtendedAddr && n == settings.ModuleXAddress) {
    buffer[1] = static_cast<uint8_t>(tunnelled_header);
    for (int i = 2; i <= 16; ++i) buffer[i] = buffer[i + 3];
  } else if (settings.UseExtendedAddr) {
    link_.CountFailedExchange();
    link_.dialogs.Message(std::string("Incorrect eXtended Address byte ") + kCrLf + "Received " +
                          to_string(n) + " Expected " + to_string(settings.ModuleXAddress));
    return false;
  } else {
    link_.CountFailedExchange();
    link_.dialogs.Message("Unexpected eXtended Address Byte " + to_string(n));
    return false;
  }
  return true;
}

void StationTunnel::SendLegacyMessage(int address_byte, int d1, int d2, int d3) {
  SendCorsanFrame({0, static_cast<uint8_t>(address_byte / 4 + 96), static_cast<uint8_t>(d1),
                   static_cast<uint8_t>(d2), static_cast<uint8_t>(d3)});
}

}  // namespace vela
