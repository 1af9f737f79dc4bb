// Writing the item syntax: indented lines of comma-separated items, text between double quotes
// as it is, numbers in plain decimal, CR LF line ends, Windows-1252 bytes. A text that the
// syntax cannot carry (a double quote, a line break) or the code page cannot store is refused:
// the writer keeps the first such refusal, naming the field, and the caller writes nothing.
#pragma once

#include <string>
#include <string_view>

namespace vela {

// Builds the bytes of one file, line by line.
class ItemWriter {
 public:
  // Starts a line with `indent` spaces.
  void BeginLine(int indent = 0);
  // A text item; `field` says what it holds ("the description of pin 6, aspect 2").
  void Text(std::string_view utf8, std::string_view field);
  // A tag is a text item that is always storable.
  void Tag(std::string_view tag) { Text(tag, "a tag"); }
  void Number(long long value);
  void EndLine();

  bool ok() const { return refusal_.empty(); }
  // "the description of pin 6 contains a double quote, which a text item cannot hold"
  const std::string& refusal() const { return refusal_; }
  const std::string& bytes() const { return bytes_; }
  int lines() const { return lines_; }

 private:
  void Separate();

  std::string bytes_;
  std::string refusal_;
  bool line_has_item_ = false;
  int lines_ = 0;
};

}  // namespace vela
