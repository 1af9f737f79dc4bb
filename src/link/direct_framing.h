// The direct link: board messages written straight onto the line.
//
// Direct frame (PC to board): address byte A + sequence bit (A = module x 4 + 3, the only byte
// with bit 7 clear), header 0xC0 + 0x20 x bidirectional + 0x10 x extended + size, the extended
// address byte when used, the message bytes with bit 7 set, the checksum. The first frame after
// opening the port (or changing the module) is preceded by the resynchronisation preamble and an
// empty frame. With "Bidirectional Comm." on, every frame is followed by a reply read within
// 2 seconds and checked: the reply must echo the address byte with its sequence bit.
//
// The sequence bit alternates 0x40, 0x00, 0x40 ... after every direct frame, answered or not.
// Frames with a bad checksum are dropped while the wait goes on.
#pragma once

#include <cstdint>
#include <vector>

#include "link/transport.h"

namespace vela {

inline constexpr uint8_t kResyncPending = 0x80;

class DirectFraming final : public Transport {
 public:
  explicit DirectFraming(LinkParts link) : link_(link) {}

  bool SendVLMessage(bool expect_reply, const BoardMessage& message) override;
  void SendLegacyMessage(int address_byte, int d1, int d2, int d3) override;

  // The next frame starts with the resynchronisation preamble and an empty frame.
  void Resync() { sequence_ = kResyncPending; }
  // kResyncPending, or the sequence bit of the next frame (0x40 or 0x00).
  uint8_t Sequence() const { return sequence_; }
  void SetSequence(uint8_t sequence) { sequence_ = sequence; }

 private:
  // Reads one reply frame into the reply within the 2-second deadline.
  bool ReceiveReply();
  // Logs and checks the reply to a frame sent to module address byte `address` with
  // `sent_address` (address and sequence bit); marks it valid or not.
  void CheckReply(uint8_t address, uint8_t sent_address);

  LinkParts link_;
  uint8_t sequence_ = 0;
};

}  // namespace vela
