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

namespace vela {

class BoardLink;
struct BoardMessage;

class StationTunnel {
 public:
  explicit StationTunnel(BoardLink& link) : link_(link) {}

  // The tunnel path of SendVLMessage.
  bool SendVLMessage(bool expect_reply, const BoardMessage& message);
  // The tunnel path of SendLegacyMessage.
  void SendLegacyMessage(int address_byte, int d1, int d2, int d3);

  // Sends one station frame (payload 0..19 bytes) and reads the answer into ReplyBuffer
  // ([0] = payload length, [1..] = payload). Shows "No answer from Corsan" when none came.
  bool SendCorsanFrame(const std::vector<uint8_t>& payload);
  // Reads one station frame; returns its log text, empty when no good frame came.
  std::string ReceiveCorsanFrame();

  // The header byte of a frame of n payload bytes with the given toggle.
  static uint8_t HeaderFor(int length, int toggle);
  // The payload length a received header announces.
  static int LengthOf(uint8_t header);

  int CorsanToggle = 0;

 private:
  BoardLink& link_;
};

}  // namespace vela
