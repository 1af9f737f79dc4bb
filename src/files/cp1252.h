// Windows-1252 on disk, UTF-8 in memory: the two conversions of the data and definitions files,
// and the character counts that the file rules are written in.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vela {

// Every byte has a character: the five bytes that Windows-1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become the C1 controls of the same value, as Windows reads them, so that a
// file read and written again keeps its bytes.
std::string Cp1252ToUtf8(std::string_view bytes);

// Why a text cannot be stored in a file.
struct Cp1252Refusal {
  std::string character;  // the offending character as UTF-8, or the bad bytes
  bool invalid_utf8 = false;
};

// Converts UTF-8 text to Windows-1252; fills refusal and returns nullopt when a character has
// no byte in that code page or the text is not valid UTF-8.
std::optional<std::string> Utf8ToCp1252(std::string_view utf8, Cp1252Refusal* refusal = nullptr);

// Number of characters (code points) of UTF-8 text, counted by their lead bytes.
size_t Utf8Length(std::string_view utf8);

// The characters from character index `first` to the end.
std::string Utf8Tail(std::string_view utf8, size_t first);

// The first `count` characters.
std::string Utf8Head(std::string_view utf8, size_t count);

}  // namespace vela
