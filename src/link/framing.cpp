#include "link/framing.h"

#include <cstdio>

namespace vela {

uint8_t FrameChecksum(const uint8_t* bytes, size_t size) {
  if (size == 0) return 0x80;
  int sum = bytes[0];
  for (size_t i = 1; i < size; ++i) {
    sum += bytes[i];
    while (sum > 256) sum -= 256;
  }
  int checksum = 256 - sum;
  if (checksum < 128) checksum += 128;
  return static_cast<uint8_t>(checksum);
}

void AppendChecksum(std::vector<uint8_t>& frame) {
  frame.push_back(FrameChecksum(frame));
}

bool FrameSumOk(const uint8_t* bytes, size_t size) {
  if (size == 0) return false;
  int sum = bytes[0];
  for (size_t i = 1; i < size; ++i) sum += bytes[i] & 0x7F;
  return (sum & 0x7F) == 0;
}

std::string FormatLogByte(int b) {
  char text[8];
  std::snprintf(text, sizeof text, " [%02X]", b & 0xFF);
  return text;
}

}  // namespace vela
