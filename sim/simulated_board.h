// A simulated Vela board of our own: it keeps board memory (general settings, both pin
// configuration stores, pin programs, address configuration, event actions, enable masks),
// answers the framed messages the tool sends, checks every frame (checksum, sequence bit,
// address, extended address) and records it, and carries scriptable faults.
//
// The board is fed byte by byte (Receive) and returns the bytes it sends back; timing is the
// business of whoever carries the bytes (SimulatedPort in-process, vela-sim on a pty).
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vela::sim {

// One pin as the board keeps it.
struct BoardPin {
  // Configuration bytes c[0..] of the active store (0x41/0x51) and the flash store (0x61/0x71):
  // c[0] = kind, c[1] = position/level byte, c[2..] the parameters; as many as the last write
  // carried (1 for a plain output).
  std::vector<uint8_t> active_config{0};
  std::vector<uint8_t> flash_config{0};
  uint8_t aspect_mode = 0;
  // Steps as they travel: instruction byte, A, B, C, D (header 99 / reply to 115).
  std::array<std::array<std::array<uint8_t, 5>, 9>, 12> steps{};
  uint8_t init_nibble = 15;              // 15 = no initial aspect
  std::array<uint8_t, 4> event_on{15, 15, 15, 15};   // nibbles, 15 = no action
  std::array<uint8_t, 4> event_off{15, 15, 15, 15};
  uint8_t dcc_nibble = 9;                // XDccCount x 8 + DccCount
  uint8_t kora_count = 1;
  uint8_t device_distance = 0;           // 5-bit forward distance to the device head
};

// General settings 0..13 as the board keeps them (bytes as they travel).
struct BoardMemory {
  std::array<uint8_t, 4> version{3, 2, 2, 0};   // setting 0, read
  std::array<uint8_t, 4> hardware{};            // setting 1
  uint8_t xaddress = 0;                         // setting 2 (127 = enforced)
  std::array<uint8_t, 4> group_mask{};          // setting 3
  std::array<uint8_t, 2> dcc_address{1, 0};     // setting 4: low 6 bits, address / 64
  uint8_t dcc_options = 2;                      // setting 5
  uint8_t led_green = 0;                        // setting 6
  uint8_t led_orange = 0;                       // setting 7
  std::array<uint8_t, 2> serial_addressing{};   // setting 8
  std::string id_string;                        // setting 10, at most 12 characters
  std::array<uint8_t, 2> event_disable{};       // setting 11: on mask, off mask
  std::array<uint8_t, 2> xdcc_address{1, 0};    // setting 12
  std::array<uint8_t, 2> serial_port{};         // setting 13
  std::array<BoardPin, 32> pins{};
  int erase_count = 0;                          // how often setting 0 was written (erase)
};

// A frame the board received, decoded and raw.
struct ReceivedFrame {
  std::chrono::microseconds time{0};
  std::vector<uint8_t> raw;          // address byte .. checksum
  uint8_t address_byte = 0;          // as received, sequence bit included
  int module = 0;                    // (address_byte & 0x3F) >> 2
  int sequence_bit = 0;              // 0x00 or 0x40
  bool reply_wanted = false;         // header bit 0x20
  std::optional<int> xaddress;       // when header bit 0x10 was set
  std::vector<int> message;          // low 7 bits of the message bytes
  bool checksum_ok = true;
  bool legacy = false;               // a Kora-format frame: address, three data bytes, checksum
  bool resync = false;               // the frame that followed a resynchronisation preamble
};

// Faults a test can script. A fault applies to every frame unless only_at_frame says which
// (0-based index among the frames that asked for a reply).
struct Faults {
  bool no_reply = false;
  bool wrong_checksum = false;       // the reply's checksum is wrong
  bool good_copy_after_bad = false;  // with wrong_checksum: a correct copy follows
  std::vector<uint8_t> garbage_before;  // bytes sent before a reply frame
  bool wrong_address_echo = false;   // echo the other sequence bit
  enum class XAddress { kNone, kMissing, kWrong } xaddress = XAddress::kNone;
  // Message types (m[0]) the board does not know: answered with a reply of the wrong size and
  // type (an empty reply), as an older firmware would.
  std::set<int> unsupported_types;
  int only_at_frame = -1;
};

class SimulatedBoard {
 public:
  explicit SimulatedBoard(int module_address = 0, int xaddress = 0);

  // One byte from the line; returns the bytes the board answers with (usually empty until a
  // frame is complete). `now` stamps the recorded frames.
  std::vector<uint8_t> Receive(uint8_t byte, std::chrono::microseconds now = {});

  BoardMemory& Memory() { return memory_; }
  const BoardMemory& Memory() const { return memory_; }
  Faults& GetFaults() { return faults_; }
  const std::vector<ReceivedFrame>& Received() const { return received_; }
  void ClearReceived() { received_.clear(); }

  // Messages (m[0], m[1], ...) of the recorded frames, without polls and legacy frames.
  std::vector<std::vector<int>> Messages() const;

  // Queues a four-byte report that the next poll (an empty message) collects.
  void QueueReport(std::array<uint8_t, 4> report);
  // Output commands and Kora-format frames the board carried out, in order.
  const std::vector<std::vector<int>>& OutputLog() const { return outputs_; }

  int module_address() const { return module_address_; }
  int xaddress() const { return xaddress_; }

  // The message the board answers to a request (for the station's tunnel); empty optional for
  // writes. Exposed so the station can carry board messages without framing them.
  std::optional<std::vector<uint8_t>> Answer(const std::vector<int>& message);

 private:
  // ... implementation state ...
  int module_address_;
  int xaddress_;
  BoardMemory memory_;
  Faults faults_;
  std::vector<ReceivedFrame> received_;
  std::deque<std::array<uint8_t, 4>> reports_;
  std::vector<std::vector<int>> outputs_;
};

}  // namespace vela::sim
