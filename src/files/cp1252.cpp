#include "files/cp1252.h"

#include <array>
#include <cstdint>

namespace vela {
namespace {

// Code points of bytes 0x80..0x9F; the undefined ones map to the C1 control of the same value.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::optional<uint8_t> ByteOf(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<uint8_t>(c);
  for (size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == c) return static_cast<uint8_t>(0x80 + i);
  }
  return std::nullopt;
}

bool IsContinuation(unsigned char b) {
  return (b & 0xC0) == 0x80;
}

// Decodes one UTF-8 sequence at text[i]; returns its length, 0 when it is malformed.
size_t DecodeUtf8(std::string_view text, size_t i, char32_t& c) {
  unsigned char b = static_cast<unsigned char>(text[i]);
  size_t length = 0;
  char32_t min = 0;
  if (b < 0x80) {
    c = b;
    return 1;
  } else if ((b & 0xE0) == 0xC0) {
    length = 2, c = b & 0x1F, min = 0x80;
  } else if ((b & 0xF0) == 0xE0) {
    length = 3, c = b & 0x0F, min = 0x800;
  } else if ((b & 0xF8) == 0xF0) {
    length = 4, c = b & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    unsigned char next = static_cast<unsigned char>(text[i + k]);
    if (!IsContinuation(next)) return 0;
    c = (c << 6) | (next & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  return length;
}

// Byte offset of character index `count` (or the end).
size_t OffsetOfCharacter(std::string_view utf8, size_t count) {
  size_t i = 0;
  while (i < utf8.size() && count > 0) {
    ++i;
    while (i < utf8.size() && IsContinuation(static_cast<unsigned char>(utf8[i]))) ++i;
    --count;
  }
  return i;
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char ch : bytes) {
    auto b = static_cast<unsigned char>(ch);
    if (b >= 0x80 && b < 0xA0) {
      AppendUtf8(out, kHighControls[b - 0x80]);
    } else {
      AppendUtf8(out, b);
    }
  }
  return out;
}

std::optional<std::string> Utf8ToCp1252(std::string_view utf8, Cp1252Refusal* refusal) {
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    char32_t c = 0;
    size_t length = DecodeUtf8(utf8, i, c);
    if (length == 0) {
      if (refusal) *refusal = {std::string(utf8.substr(i, 1)), true};
      return std::nullopt;
    }
    std::optional<uint8_t> b = ByteOf(c);
    if (!b) {
      if (refusal) *refusal = {std::string(utf8.substr(i, length)), false};
      return std::nullopt;
    }
    out += static_cast<char>(*b);
    i += length;
  }
  return out;
}

size_t Utf8Length(std::string_view utf8) {
  size_t count = 0;
  for (char ch : utf8) {
    if (!IsContinuation(static_cast<unsigned char>(ch))) ++count;
  }
  return count;
}

std::string Utf8Tail(std::string_view utf8, size_t first) {
  return std::string(utf8.substr(OffsetOfCharacter(utf8, first)));
}

std::string Utf8Head(std::string_view utf8, size_t count) {
  return std::string(utf8.substr(0, OffsetOfCharacter(utf8, count)));
}

}  // namespace vela
