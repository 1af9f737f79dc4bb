// A read-only view of the link's last reply frame, as the operations read it.
//
// Frame bytes: [0] address echo, [1] header (low 4 bits: the length, counting type and command),
// [2] message type, [3] command (the setting or pin the reply is for), [4..] data bytes. The view
// reads the link's reply as it is now, so one view stays current across several exchanges.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vela {

inline constexpr int kReplyFrameSize = 21;
using ReplyFrame = std::array<uint8_t, kReplyFrameSize>;

class ReplyView {
 public:
  ReplyView(const ReplyFrame& frame, const bool& valid) : frame_(&frame), valid_(&valid) {}

  // The last exchange produced a reply that passed the link's checks.
  bool Valid() const { return *valid_; }
  // The echoed address byte (module x 4 + 3 plus the sequence bit on the direct link).
  int AddressEcho() const { return (*frame_)[0]; }
  // The header: bit 4 the extended address flag, low 4 bits the length.
  int Header() const { return (*frame_)[1]; }
  int Length() const { return (*frame_)[1] & 0x0F; }
  int Type() const { return (*frame_)[2]; }
  int Command() const { return (*frame_)[3]; }
  // Data byte i, after type and command: 0 <= i < Length() - 2.
  int Data(int i) const { return (*frame_)[4 + i]; }
  int DataCount() const { return Length() > 2 ? Length() - 2 : 0; }
  // Message byte i: 0 the type, 1 the command, 2.. the data bytes.
  int MessageByte(int i) const { return (*frame_)[2 + i]; }

  bool Echoes(int type, int command) const { return Type() == type && Command() == command; }
  // A valid reply of this length that echoes this type and command.
  bool Is(int length, int type, int command) const {
    return Valid() && Length() == length && Echoes(type, command);
  }

  // "113,4": the echoed type and command as the messages quote them.
  std::string EchoText() const { return std::to_string(Type()) + "," + std::to_string(Command()); }
  // The worded mismatch texts of the reads that quote what came.
  std::string SizeMismatchText(int expected_length) const {
    return "No valid response, size = " + std::to_string(Length()) +
           " expected = " + std::to_string(expected_length);
  }
  std::string EchoMismatchText(int type, int command) const {
    return "No valid response, msg = " + EchoText() + " expected = " + std::to_string(type) + "," +
           std::to_string(command);
  }

 private:
  const ReplyFrame* frame_;
  const bool* valid_;
};

}  // namespace vela
