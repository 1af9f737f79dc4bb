// A simulated Vela board of our own: it keeps board memory (general settings, both pin
// configuration stores, pin programs, address configuration, event actions, enable masks),
// answers the framed messages the tool sends, checks every frame (checksum, sequence bit,
// address, extended address) and records it, and carries scriptable faults.
//
// The board is fed byte by byte (Receive) and returns the bytes it sends back; timing is the
// business of whoever carries the bytes (SimulatedPort in-process, vela-sim on a pty).
//
// Framing as the board reads it:
// - A byte with bit 7 clear is an address byte and starts a frame, at any time; bytes with bit 7
//   set before an address byte are ignored.
// - The second byte decides the kind of frame. A direct header always has bits 0x40 and 0x80
//   set (0xC0..0xFF: reply wanted 0x20, extended address 0x10, size in the low 4 bits). A
//   Kora-format frame carries three data bytes 0x80 + d instead; a second byte 0x80..0xBF
//   (d < 64) therefore marks a Kora-format frame: address, three data bytes, checksum. A
//   Kora-format command of 64 or more cannot be told from a direct header and is read as one.
// - 00 00 00 FF FF FF AA AA AA drops whatever partial frame is held; the frame after it (an
//   empty direct frame or an all-zero Kora-format frame) is recorded as the resync frame and
//   the sequence bit is expected to start at 0x40.
// - A frame with a bad checksum, for another module or with another extended address is
//   recorded and not answered. A direct frame is answered only when its header asks for a
//   reply; a reply echoes the address byte as received (sequence bit included) and carries the
//   extended address byte when the request did.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace vela::sim {

// One step as it travels (header 99, reply to 115): instruction byte, A, B, C, D.
using WireStep = std::array<uint8_t, 5>;

// Encodes a step as the tool sends it: instruction byte = fade x 16 + code; the codes 4, 5 and
// 20 carry 8-bit Par1 and Par2, split into high bits in A and low 7 bits in B and C.
WireStep EncodeWireStep(int instruction, int fade, int par0, int par1, int par2, int par3);

// One pin as the board keeps it.
struct BoardPin {
  // Configuration bytes c[0..] of the active store (0x41/0x51) and the flash store (0x61/0x71):
  // c[0] = kind, c[1] = position/level byte, c[2..] the parameters; as many as the last write
  // carried (1 for a plain output).
  std::vector<uint8_t> active_config{0};
  std::vector<uint8_t> flash_config{0};
  uint8_t aspect_mode = 0;
  // Steps as they travel: instruction byte, A, B, C, D (header 99 / reply to 115).
  std::array<std::array<WireStep, 9>, 12> steps{};
  uint8_t init_nibble = 15;                         // 15 = no initial aspect
  std::array<uint8_t, 4> event_on{15, 15, 15, 15};  // nibbles, 15 = no action
  std::array<uint8_t, 4> event_off{15, 15, 15, 15};
  uint8_t dcc_nibble = 9;  // XDccCount x 8 + DccCount
  uint8_t kora_count = 1;
  uint8_t device_distance = 0;  // 5-bit forward distance to the device head
  int current_aspect = -1;      // set by the output commands; -1 = none since start

  bool operator==(const BoardPin&) const = default;
};

// General settings 0..13 as the board keeps them (bytes as they travel).
struct BoardMemory {
  std::array<uint8_t, 4> version{3, 2, 2, 0};  // setting 0, read
  std::array<uint8_t, 4> hardware{};           // setting 1
  uint8_t xaddress = 0;                        // setting 2 (127 = enforced)
  std::array<uint8_t, 4> group_mask{};         // setting 3
  std::array<uint8_t, 2> dcc_address{1, 0};    // setting 4: low 6 bits, address / 64
  uint8_t dcc_options = 2;                     // setting 5
  uint8_t led_green = 0;                       // setting 6
  uint8_t led_orange = 0;                      // setting 7
  std::array<uint8_t, 2> serial_addressing{};  // setting 8
  std::string id_string;                       // setting 10, at most 12 characters
  std::array<uint8_t, 2> event_disable{};      // setting 11: on mask, off mask
  std::array<uint8_t, 2> xdcc_address{1, 0};   // setting 12
  std::array<uint8_t, 2> serial_port{};        // setting 13
  std::array<BoardPin, 32> pins{};
  int erase_count = 0;  // how often setting 0 was written with the erase bytes

  bool operator==(const BoardMemory&) const = default;
};

// The erase bytes of setting 0; any other data written to setting 0 is ignored.
inline constexpr std::array<int, 8> kEraseBytes = {23, 101, 9, 66, 115, 30, 88, 51};

// A frame the board received, decoded and raw.
struct ReceivedFrame {
  std::chrono::microseconds time{0};
  std::vector<uint8_t> raw;     // address byte .. checksum (tunnelled: the station payload)
  uint8_t address_byte = 0;     // as received, sequence bit included
  int module = 0;               // (address_byte & 0x3F) >> 2
  int sequence_bit = 0;         // 0x00 or 0x40
  bool reply_wanted = false;    // header bit 0x20
  std::optional<int> xaddress;  // when header bit 0x10 was set
  std::vector<int> message;     // low 7 bits of the message bytes (legacy: d1, d2, d3)
  bool checksum_ok = true;
  bool legacy = false;          // a Kora-format frame: address, three data bytes, checksum
  bool resync = false;          // the frame that followed a resynchronisation preamble
  bool tunnelled = false;       // carried by the command station, not framed on the line
  bool for_this_board = false;  // good, and addressed to this board
  bool answered = false;        // the board sent a reply frame (or queued one at the station)
  bool sequence_ok = true;      // the sequence bit alternated as expected since the resync
};

// Faults a test can script. A fault applies to every exchange unless only_at_frame says which:
// the 0-based index among the exchanges the board answered or was asked to answer (direct
// frames for this board with the reply bit, and tunnelled board messages).
struct Faults {
  bool no_reply = false;
  bool wrong_checksum = false;          // the reply's checksum is wrong
  bool good_copy_after_bad = false;     // with wrong_checksum: a correct copy follows
  std::vector<uint8_t> garbage_before;  // bytes sent before a reply frame
  bool wrong_address_echo = false;      // echo the other sequence bit
  // kMissing: no extended address byte although the request carried one; kWrong: a different
  // one (the board's + 1); kUnexpected: one although the request carried none.
  enum class XAddress { kNone, kMissing, kWrong, kUnexpected } xaddress = XAddress::kNone;
  // Message types (m[0]), or (type, command) pairs, the board does not know: it does not carry
  // them out and answers as an older firmware would (see unsupported_answer).
  std::set<int> unsupported_types;
  std::set<std::pair<int, int>> unsupported_commands;
  // kEmpty: a reply of length 0 (wrong size); kWrongType: the normal reply with bit 0 of the
  // echoed type flipped (right size, wrong type).
  enum class Unsupported { kEmpty, kWrongType } unsupported_answer = Unsupported::kEmpty;
  // Added to the line's turnaround before a faulty exchange's reply (direct link only).
  std::chrono::microseconds reply_delay{0};
  int only_at_frame = -1;
};

// What the board sends back for one message: the reply message and the extended address byte
// its frame carries.
struct BoardReply {
  std::vector<uint8_t> message;
  std::optional<uint8_t> xaddress;
};

// The simulated board: memory, message handling, frame reader, faults and the records tests
// assert on.
class SimulatedBoard {
 public:
  explicit SimulatedBoard(int module_address = 0, int xaddress = 0);

  // One byte from the line; returns the bytes the board answers with (usually empty until a
  // frame is complete). `now` stamps the recorded frames.
  std::vector<uint8_t> Receive(uint8_t byte, std::chrono::microseconds now = {});
  std::vector<uint8_t> Receive(const std::vector<uint8_t>& bytes,
                               std::chrono::microseconds now = {});

  BoardMemory& Memory() { return memory_; }
  const BoardMemory& Memory() const { return memory_; }
  Faults& GetFaults() { return faults_; }
  const std::vector<ReceivedFrame>& Received() const { return received_; }
  void ClearReceived() { received_.clear(); }

  // Messages (m[0], m[1], ...) of the recorded frames for this board, direct and tunnelled,
  // without polls, legacy frames and the resync frame.
  std::vector<std::vector<int>> Messages() const;

  // Queues a four-byte report that the next poll (an empty message) collects.
  void QueueReport(std::array<uint8_t, 4> report);
  size_t QueuedReports() const { return reports_.size(); }
  // Output commands and Kora-format frames the board carried out, in order: an output command
  // as its message (0, command, target, value), a Kora-format frame as (address byte, d1, d2,
  // d3); an address byte is never 0, so the two cannot be confused.
  const std::vector<std::vector<int>>& OutputLog() const { return outputs_; }

  int module_address() const { return module_address_; }
  int xaddress() const { return xaddress_; }
  // How often the resynchronisation preamble came, and how many exchanges were counted.
  int resync_count() const { return resync_count_; }
  int exchange_count() const { return exchange_count_; }

  // The factory state of the configuration (what the erase leaves): the version is kept.
  BoardMemory FactoryMemory() const;
  // A power cycle: the active pin configurations are loaded from flash.
  void Restart();

  // Carries out one message and returns the reply message (length 2, type and command, for a
  // write; the read layout for a read; a queued report or nothing for a poll). Counts the
  // exchange and applies the faults of the message level (unsupported, no reply: nullopt).
  // The direct frames and the station's tunnel both answer through it.
  std::optional<std::vector<uint8_t>> Answer(const std::vector<int>& message);

  // True for the messages whose reply carries data: polls, reads (0x51 and 0x70..0x7F).
  static bool IsRead(const std::vector<int>& message);

  // A board message carried by the command station to `module` (0..31), with the extended
  // address when the station frame had one. Recorded like a frame; returns the reply when the
  // message was for this board and the board answers.
  std::optional<BoardReply> ReceiveTunnelled(int module, std::optional<int> xaddress,
                                             const std::vector<int>& message,
                                             const std::vector<uint8_t>& payload,
                                             std::chrono::microseconds now = {});
  // A Kora-format frame carried by the command station.
  void ReceiveTunnelledLegacy(int address_byte, int d1, int d2, int d3,
                              const std::vector<uint8_t>& payload,
                              std::chrono::microseconds now = {});

  // The extra delay the last reply asked for (Faults::reply_delay); reset by reading it.
  std::chrono::microseconds TakeReplyDelay();

 private:
  void FrameComplete(std::chrono::microseconds now, std::vector<uint8_t>& out);
  void DirectFrame(ReceivedFrame& frame, std::vector<uint8_t>& out);
  void LegacyFrame(ReceivedFrame& frame);
  bool AcceptsLegacyModule(int module) const;
  void CarryOutLegacy(int address_byte, int d1, int d2, int d3);
  bool FaultApplies() const;
  bool IsUnsupported(const std::vector<int>& message) const;
  std::optional<uint8_t> ReplyXAddress(std::optional<int> request_xaddress, bool faulty) const;
  // Carries out a message and builds the reply the board would give.
  std::vector<uint8_t> CarryOut(const std::vector<int>& message);
  std::vector<uint8_t> GeneralSetting(bool write, const std::vector<int>& message);
  std::vector<uint8_t> PinMessage(const std::vector<int>& message);
  void OutputCommand(const std::vector<int>& message);

  int module_address_;
  int xaddress_;
  BoardMemory memory_;
  Faults faults_;
  std::vector<ReceivedFrame> received_;
  std::deque<std::array<uint8_t, 4>> reports_;
  std::vector<std::vector<int>> outputs_;

  // Frame reader state.
  std::vector<uint8_t> frame_;
  std::deque<uint8_t> last_bytes_;  // the last nine bytes, to spot the preamble
  bool resync_next_ = false;
  std::optional<int> expected_sequence_;
  int resync_count_ = 0;
  int exchange_count_ = 0;
  bool last_exchange_faulty_ = false;
  std::chrono::microseconds pending_delay_{0};
};

}  // namespace vela::sim
