// A simulated Corsan command station with the tunnel to a Vela board, the protocol and
// interface queries, and the transparent mode of the HB-X, HB-Y and Zeto interface boxes.
//
// Station frame, both ways: header (bit 7 clear; bit 6 the PC's toggle, echoed in answers;
// length code in bits 0..5: 0x28 + n for 0..7 payload bytes, n - 8 for 8..15, 0x10 + n - 16
// for 16..23), the payload bytes with bit 7 set, the checksum of the board's frames. A header
// with bit 3 set is the short form (length = bits 0..2); otherwise length = 8 + bits 0..2 +
// 8 x bit 4.
//
// Every good frame from the PC is answered by exactly one frame, at once:
// - the empty frame (a poll): the oldest board reply waiting to be collected, else an empty
//   frame;
// - 1, 2: 1, 2, p1, p2 (protocol version); 1, 10: 1, 10, type, k1, k2 (interface box);
//   version number = (first >> 3) x 1000 + (first & 7) x 100 + (second >> 3) x 10 +
//   (second & 7);
// - 1, 5, 16: an empty frame; afterwards every byte passes straight to the board and back
//   (transparent mode of the interface box);
// - 0, module + 96, 0x60 | 0x70 [xaddr], message: an empty frame; the board's reply to a read
//   waits for a later poll as 0, module + 96, 0x20 | length (| 0x10), [xaddr], reply;
// - 0, module + 96, d1, d2, d3: a Kora-format frame for the board; an empty frame.
// A payload whose third byte is 0x60 or 0x70 is a board message, so a tunnelled Kora-format
// command 96 or 112 cannot be carried. Frames with a bad checksum are not answered.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "sim/simulated_board.h"

namespace vela::sim {

// How the station treats one of the two queries.
enum class QueryAnswer {
  kNormal,  // the documented answer
  kEmpty,   // an empty frame: a station that does not know the query
  kSilent,  // no answer at all
};

// Interface box types of the interface query.
inline constexpr int kInterfaceHbx = 2;
inline constexpr int kInterfaceHby = 3;
inline constexpr int kInterfaceZeto = 10;

struct StationSettings {
  int protocol_version = 3200;         // 3200 and up tunnels board messages
  int interface_type = kInterfaceHbx;  // 2 HB-X, 3 HB-Y, 10 Zeto, anything else unknown
  int interface_version = 1020;
  bool silent = false;  // answers nothing
  QueryAnswer protocol_query = QueryAnswer::kNormal;
  QueryAnswer interface_query = QueryAnswer::kNormal;
  // Polls answered empty before a board reply is handed over (0: the first poll gets it).
  int polls_before_reply = 0;
  // From the end of a frame to the station's answer. Never zero in practice, and the tool's
  // poll loop for a tunnelled reply ends only by its clock: on a manual clock a station that
  // answered in no time would keep it polling for ever.
  std::chrono::microseconds answer_time{1000};
};

// The two bytes of a version number: thousands and hundreds, tens and ones (each digit of the
// hundreds and ones 0..7). nullopt for a number that cannot be encoded.
std::optional<std::pair<uint8_t, uint8_t>> EncodeStationVersion(int number);
int DecodeStationVersion(int first, int second);

// A station frame the station received.
struct StationFrame {
  std::chrono::microseconds time{0};
  std::vector<uint8_t> raw;
  int toggle = 0;
  std::vector<int> payload;
  bool checksum_ok = true;
  bool answered = false;
};

// The station: frame reader, query answers, tunnel to the board and transparent mode.
class SimulatedStation {
 public:
  explicit SimulatedStation(SimulatedBoard& board, StationSettings settings = {});

  std::vector<uint8_t> Receive(uint8_t byte, std::chrono::microseconds now = {});
  std::vector<uint8_t> Receive(const std::vector<uint8_t>& bytes,
                               std::chrono::microseconds now = {});

  StationSettings& Settings() { return settings_; }
  const std::vector<StationFrame>& Received() const { return received_; }
  void ClearReceived() { received_.clear(); }
  bool transparent() const { return transparent_; }
  // Back to the station protocol, as after a power cycle of the interface box.
  void LeaveTransparentMode() { transparent_ = false; }
  size_t PendingReplies() const { return pending_.size(); }

  // The frame the station sends for a payload (header with the given toggle, checksum).
  static std::vector<uint8_t> Frame(const std::vector<uint8_t>& payload, int toggle = 0);

 private:
  std::vector<uint8_t> FrameComplete(std::chrono::microseconds now);
  std::vector<uint8_t> AnswerPayload(const std::vector<int>& payload, int toggle,
                                     std::chrono::microseconds now,
                                     const std::vector<uint8_t>& raw_payload, bool* answered);

  struct PendingReply {
    std::vector<uint8_t> payload;
    int polls_to_wait = 0;
  };

  SimulatedBoard& board_;
  StationSettings settings_;
  std::vector<StationFrame> received_;
  bool transparent_ = false;
  std::vector<uint8_t> frame_;
  size_t frame_length_ = 0;  // header + payload + checksum of the frame being read
  std::deque<PendingReply> pending_;
};

}  // namespace vela::sim
