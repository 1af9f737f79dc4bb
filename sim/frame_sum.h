// The checksum of the board's and the station's frames, written on the simulator's side of the
// line on purpose: sharing the tool's own routine would hide a mistake in it from every test.
//
// Sending: start with the first byte (bit 7 clear), add each later byte as sent, keep the sum in
// 1..256; the checksum is 256 - sum, plus 128 when that is below 128. Receiving: a frame is good
// when the first byte plus the low 7 bits of every later byte, checksum included, is a multiple
// of 128.
#pragma once

#include <cstdint>
#include <vector>

namespace vela::sim::detail {

inline uint8_t ChecksumOf(const std::vector<uint8_t>& bytes) {
  int sum = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    sum += bytes[i];
    if (sum > 256) sum -= 256;
  }
  int checksum = 256 - sum;
  if (checksum < 128) checksum += 128;
  return static_cast<uint8_t>(checksum);
}

inline void AppendChecksumTo(std::vector<uint8_t>& frame) {
  frame.push_back(ChecksumOf(frame));
}

inline bool SumIsGood(const std::vector<uint8_t>& frame) {
  if (frame.empty()) return false;
  int sum = frame[0];
  for (size_t i = 1; i < frame.size(); ++i) sum += frame[i] & 0x7F;
  return sum % 128 == 0;
}

}  // namespace vela::sim::detail
