#include "sim/simulated_station.h"

#include "sim/frame_sum.h"

namespace vela::sim {
namespace {

size_t PayloadLengthOf(uint8_t header) {
  if (header & 0x08) return header & 0x07;
  return 8 + (header & 0x07) + 8 * ((header >> 4) & 1);
}

uint8_t HeaderOf(size_t length, int toggle) {
  size_t code = length <= 7 ? 0x28 + length : (length <= 15 ? length - 8 : 0x10 + length - 16);
  return static_cast<uint8_t>(code | (toggle ? 0x40 : 0));
}

bool IsBoardModuleTag(int b) {
  return b >= 96 && b <= 127;
}

}  // namespace

std::optional<std::pair<uint8_t, uint8_t>> EncodeStationVersion(int number) {
  if (number < 0) return std::nullopt;
  const int thousands = number / 1000;
  const int hundreds = number / 100 % 10;
  const int tens = number / 10 % 10;
  const int ones = number % 10;
  if (thousands > 15 || hundreds > 7 || ones > 7) return std::nullopt;
  return std::pair{static_cast<uint8_t>(thousands << 3 | hundreds),
                   static_cast<uint8_t>(tens << 3 | ones)};
}

int DecodeStationVersion(int first, int second) {
  return (first >> 3) * 1000 + (first & 7) * 100 + (second >> 3) * 10 + (second & 7);
}

SimulatedStation::SimulatedStation(SimulatedBoard& board, StationSettings settings)
    : board_(board), settings_(settings) {}

std::vector<uint8_t> SimulatedStation::Frame(const std::vector<uint8_t>& payload, int toggle) {
  std::vector<uint8_t> frame = {HeaderOf(payload.size(), toggle)};
  for (uint8_t b : payload) frame.push_back(static_cast<uint8_t>(0x80 | b));
  detail::AppendChecksumTo(frame);
  return frame;
}

std::vector<uint8_t> SimulatedStation::Receive(const std::vector<uint8_t>& bytes,
                                               std::chrono::microseconds now) {
  std::vector<uint8_t> out;
  for (uint8_t b : bytes) {
    std::vector<uint8_t> part = Receive(b, now);
    out.insert(out.end(), part.begin(), part.end());
  }
  return out;
}

std::vector<uint8_t> SimulatedStation::Receive(uint8_t byte, std::chrono::microseconds now) {
  if (transparent_) return board_.Receive(byte, now);
  if (byte < 0x80) {
    frame_.assign(1, byte);
    frame_length_ = PayloadLengthOf(byte) + 2;
    return {};
  }
  if (frame_.empty()) return {};  // noise before a header
  frame_.push_back(byte);
  if (frame_.size() < frame_length_) return {};
  std::vector<uint8_t> out = FrameComplete(now);
  frame_.clear();
  return out;
}

std::vector<uint8_t> SimulatedStation::FrameComplete(std::chrono::microseconds now) {
  StationFrame frame;
  frame.time = now;
  frame.raw = frame_;
  frame.toggle = (frame_[0] >> 6) & 1;
  std::vector<uint8_t> raw_payload;
  for (size_t i = 1; i + 1 < frame_.size(); ++i) {
    frame.payload.push_back(frame_[i] & 0x7F);
    raw_payload.push_back(frame_[i] & 0x7F);
  }
  frame.checksum_ok = detail::SumIsGood(frame_);
  std::vector<uint8_t> out;
  if (frame.checksum_ok && !settings_.silent) {
    out = AnswerPayload(frame.payload, frame.toggle, now, raw_payload, &frame.answered);
  }
  received_.push_back(std::move(frame));
  return out;
}

std::vector<uint8_t> SimulatedStation::AnswerPayload(const std::vector<int>& p, int toggle,
                                                     std::chrono::microseconds now,
                                                     const std::vector<uint8_t>& raw_payload,
                                                     bool* answered) {
  *answered = true;
  auto answer = [toggle](const std::vector<uint8_t>& payload) { return Frame(payload, toggle); };
  auto query = [&](QueryAnswer how, const std::vector<uint8_t>& payload) {
    if (how == QueryAnswer::kSilent) {
      *answered = false;
      return std::vector<uint8_t>{};
    }
    return answer(how == QueryAnswer::kEmpty ? std::vector<uint8_t>{} : payload);
  };

  if (p.empty()) {
    if (!pending_.empty()) {
      if (pending_.front().polls_to_wait > 0) {
        --pending_.front().polls_to_wait;
      } else {
        std::vector<uint8_t> reply = pending_.front().payload;
        pending_.pop_front();
        return answer(reply);
      }
    }
    return answer({});
  }
  if (p == std::vector<int>{1, 2}) {
    auto version = EncodeStationVersion(settings_.protocol_version).value_or(std::pair{0, 0});
    return query(settings_.protocol_query, {1, 2, version.first, version.second});
  }
  if (p == std::vector<int>{1, 10}) {
    auto version = EncodeStationVersion(settings_.interface_version).value_or(std::pair{0, 0});
    return query(settings_.interface_query,
                 {1, 10, static_cast<uint8_t>(settings_.interface_type & 0x7F), version.first,
                  version.second});
  }
  if (p == std::vector<int>{1, 5, 16}) {
    const int type = settings_.interface_type;
    // Only the interface boxes know the transparent mode; the answer still goes out in the
    // station protocol.
    if (type == kInterfaceHbx || type == kInterfaceHby || type == kInterfaceZeto) {
      transparent_ = true;
    }
    return answer({});
  }
  if (p.size() >= 3 && p[0] == 0 && IsBoardModuleTag(p[1]) && (p[2] == 0x60 || p[2] == 0x70)) {
    const int module = p[1] - 96;
    std::optional<int> xaddress;
    size_t first = 3;
    if (p[2] == 0x70) {
      if (p.size() < 4) return answer({});
      xaddress = p[3];
      first = 4;
    }
    std::vector<int> message(p.begin() + static_cast<long>(first), p.end());
    std::optional<BoardReply> reply =
        board_.ReceiveTunnelled(module, xaddress, message, raw_payload, now);
    // Only replies that carry something are handed to the PC; acknowledgements of writes and
    // empty polls stay on the board's side.
    if (reply && SimulatedBoard::IsRead(message) && !(message.empty() && reply->message.empty())) {
      std::vector<uint8_t> tunnelled = {0, static_cast<uint8_t>(p[1])};
      tunnelled.push_back(static_cast<uint8_t>(0x20 | (reply->xaddress ? 0x10 : 0) |
                                               (reply->message.size() & 0x0F)));
      if (reply->xaddress) tunnelled.push_back(*reply->xaddress);
      tunnelled.insert(tunnelled.end(), reply->message.begin(), reply->message.end());
      pending_.push_back({tunnelled, settings_.polls_before_reply});
    }
    return answer({});
  }
  if (p.size() == 5 && p[0] == 0 && IsBoardModuleTag(p[1])) {
    board_.ReceiveTunnelledLegacy((p[1] - 96) * 4 + 3, p[2], p[3], p[4], raw_payload, now);
    return answer({});
  }
  return answer({});
}

}  // namespace vela::sim
