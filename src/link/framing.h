// Framing shared by the direct link, the Kora-format frames and the command-station frames.
//
// Checksum: start with the first byte (bit 7 clear), add every later byte as sent (bit 7 set),
// keep the sum in 1..256; the checksum is 256 - sum, plus 128 when below 128. A frame is good
// when the first byte plus the low 7 bits of every later byte, checksum included, is a
// multiple of 128.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vela {

uint8_t FrameChecksum(const uint8_t* bytes, size_t size);
inline uint8_t FrameChecksum(const std::vector<uint8_t>& bytes) {
  return FrameChecksum(bytes.data(), bytes.size());
}

// Appends the checksum of the bytes so far.
void AppendChecksum(std::vector<uint8_t>& frame);

// The good-frame test over a whole frame (checksum included).
bool FrameSumOk(const uint8_t* bytes, size_t size);

// 00 00 00 FF FF FF AA AA AA: makes the board drop whatever partial frame it holds.
inline const std::vector<uint8_t> kResyncPreamble = {0x00, 0x00, 0x00, 0xFF, 0xFF,
                                                     0xFF, 0xAA, 0xAA, 0xAA};

// Address byte of a module: module x 4 + 3.
inline uint8_t AddressByte(int module) {
  return static_cast<uint8_t>(module * 4 + 3);
}

// " [0A]": the log text of one byte.
std::string FormatLogByte(int b);

}  // namespace vela
