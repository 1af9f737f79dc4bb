// The command-station side of the link: board messages carried inside Corsan station frames.
//
// Station frame: header (bit 7 clear; bit 6 toggle; length code in bits 0..5: 0x28 + n for 0..7
// payload bytes, n - 8 for 8..15, n for 16..19), the payload bytes with bit 7 set, the checksum
// of the direct frames. The toggle flips after every frame sent. Every frame the station sends
// answers one of ours; a board's reply to a tunnelled read arrives on a later empty frame (poll).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/transport.h"

namespace vela {

// The station's last answer, read-only: its payload length and payload bytes. It shares the
// reply frame with the board replies, so it is current only until the next exchange.
class StationAnswer {
 public:
  explicit StationAnswer(const ReplyFrame& frame) : frame_(&frame) {}

  // 0 when no good answer came.
  int Length() const { return (*frame_)[0]; }
  // Payload byte i, 0 <= i < Length().
  int Payload(int i) const { return (*frame_)[1 + i]; }

 private:
  const ReplyFrame* frame_;
};

class StationTunnel final : public Transport {
 public:
  explicit StationTunnel(LinkParts link) : link_(link) {}

  // A board message through the station; with expect_reply the station is polled for the
  // board's reply, which then reads like a direct one.
  bool SendVLMessage(bool expect_reply, const BoardMessage& message) override;
  void SendLegacyMessage(int address_byte, int d1, int d2, int d3) override;

  // Sends one station frame (payload 0..19 bytes) and reads the answer (see Answer()). Shows
  // "No answer from Corsan" when none came.
  bool SendCorsanFrame(const std::vector<uint8_t>& payload);
  // Reads one station frame; returns its log text, empty when no good frame came.
  std::string ReceiveCorsanFrame();
  StationAnswer Answer() const { return StationAnswer(link_.reply.Frame()); }

  // The toggle bit of the next frame sent: 0 or 1.
  int Toggle() const { return toggle_; }
  void SetToggle(int toggle) { toggle_ = toggle; }

  // The header byte of a frame of n payload bytes with the given toggle.
  static uint8_t HeaderFor(int length, int toggle);
  // The payload length a received header announces.
  static int LengthOf(uint8_t header);

 private:
  // Turns the station's answer that carries the board's reply into a direct reply frame.
  // Returns false, with the message shown, for a reply to the wrong extended address.
  bool TakeBoardReply();

  LinkParts link_;
  int toggle_ = 0;
};

}  // namespace vela
