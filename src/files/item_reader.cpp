#include "files/item_reader.h"

#include <cmath>
#include <cstdlib>

#include "files/cp1252.h"
#include "model/number_text.h"

namespace vela {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
bool IsLineEnd(char c) {
  return c == '\r' || c == '\n';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A whole decimal number with an optional sign and fraction ("-12", "3.5"); nothing else.
bool IsDecimalText(std::string_view text, bool allow_fraction) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (allow_fraction && i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  return digits > 0 && i == text.size();
}

std::string Quoted(std::string_view text) {
  return "\"" + Excerpt(text) + "\"";
}

}  // namespace

bool ItemReader::SkipLineEnd() {
  if (pos_ >= bytes_.size() || !IsLineEnd(bytes_[pos_])) return false;
  if (bytes_[pos_] == '\r' && pos_ + 1 < bytes_.size() && bytes_[pos_ + 1] == '\n') ++pos_;
  ++pos_;
  ++line_;
  return true;
}

Item ItemReader::Next() {
  Item item;
  while (pos_ < bytes_.size() && IsBlank(bytes_[pos_])) ++pos_;
  item.line = line_;
  if (pos_ >= bytes_.size()) {
    item.line = last_line_;
    return item;
  }
  last_line_ = line_;
  size_t start = pos_;
  std::string_view raw;
  if (bytes_[pos_] == '"') {
    item.quoted = true;
    start = ++pos_;
    // Texts never hold a line break, so an unclosed quote ends with its line.
    while (pos_ < bytes_.size() && bytes_[pos_] != '"' && !IsLineEnd(bytes_[pos_])) ++pos_;
    raw = bytes_.substr(start, pos_ - start);
    if (pos_ < bytes_.size() && bytes_[pos_] == '"') ++pos_;
    while (pos_ < bytes_.size() && bytes_[pos_] != ',' && !IsLineEnd(bytes_[pos_])) ++pos_;
  } else {
    while (pos_ < bytes_.size() && bytes_[pos_] != ',' && !IsLineEnd(bytes_[pos_])) ++pos_;
    size_t end = pos_;
    while (end > start && IsBlank(bytes_[end - 1])) --end;
    raw = bytes_.substr(start, end - start);
  }
  item.text = Cp1252ToUtf8(raw);
  if (pos_ < bytes_.size() && bytes_[pos_] == ',') {
    ++pos_;
  } else {
    SkipLineEnd();
  }
  return item;
}

std::string Excerpt(std::string_view text) {
  if (text.size() <= kExcerptLength || Utf8Length(text) <= kExcerptLength) {
    return std::string(text);
  }
  return Utf8Head(text, kExcerptLength) + "\u2026";
}

std::string FileProblem::Text() const {
  std::string text = "line " + std::to_string(line);
  if (!item.empty()) text += ", item " + Quoted(item);
  return text + ": " + what;
}

bool IsIntegerItem(const Item& item) {
  return !item.quoted && IsDecimalText(item.text, false);
}

Item FieldReader::Take() {
  if (pushed_back_) {
    Item item = std::move(*pushed_back_);
    pushed_back_.reset();
    return item;
  }
  return reader_.Next();
}

void FieldReader::PushBack(Item item) {
  pushed_back_ = std::move(item);
}

Item FieldReader::NextTag() {
  Item item = Take();
  tag_ = item.text;
  tag_line_ = item.line;
  return item;
}

bool FieldReader::NextValue(Item& item, std::string_view what) {
  if (failed_) return false;
  if (AtEnd()) {
    FailAtEnd("End");
    return false;
  }
  item = Take();
  // Every writer puts a tag and its values on one line; an item on a later line is the next
  // tag, and taking it as a value would silently shift everything after it.
  if (tag_line_ != 0 && item.line != tag_line_) {
    Fail(tag_line_, "expected the " + std::string(what) + ", found the end of the line");
    return false;
  }
  return true;
}

int FieldReader::IntegerOf(const Item& item, std::string_view what, int min, int max) {
  if (failed_) return min;
  if (item.quoted) {
    Fail(item.line, "expected the " + std::string(what) + ", found the text " + Quoted(item.text));
    return min;
  }
  if (!IsDecimalText(item.text, false)) {
    Fail(item.line, std::string(what) + " " + Quoted(item.text) + " is not a whole number");
    return min;
  }
  // Digits beyond what an int holds are out of range whatever their value.
  long long value = std::strtoll(item.text.c_str(), nullptr, 10);
  if (item.text.size() > 12 || value < min || value > max) {
    Fail(item.line, std::string(what) + " " + Excerpt(item.text) + " is out of range (" +
                        std::to_string(min) + ".." + std::to_string(max) + ")");
    return min;
  }
  return static_cast<int>(value);
}

int FieldReader::Integer(std::string_view what, int min, int max) {
  Item item;
  if (!NextValue(item, what)) return min;
  return IntegerOf(item, what, min, max);
}

int FieldReader::Rounded(std::string_view what, int min, int max) {
  Item item;
  if (!NextValue(item, what)) return min;
  if (item.quoted) {
    Fail(item.line, "expected the " + std::string(what) + ", found the text " + Quoted(item.text));
    return min;
  }
  if (!IsDecimalText(item.text, true)) {
    Fail(item.line, std::string(what) + " " + Quoted(item.text) + " is not a number");
    return min;
  }
  double value = NumericValue(item.text);
  if (item.text.size() > 15 || value < min || value > max) {
    Fail(item.line, std::string(what) + " " + Excerpt(item.text) + " is out of range (" +
                        std::to_string(min) + ".." + std::to_string(max) + ")");
    return min;
  }
  return RoundHalfEven(value);
}

std::string FieldReader::Text(std::string_view what) {
  Item item;
  if (!NextValue(item, what)) return {};
  if (!item.quoted && IsDecimalText(item.text, true)) {
    Fail(item.line,
         "expected the " + std::string(what) + ", found the number " + Excerpt(item.text));
    return {};
  }
  return item.text;
}

void FieldReader::FailAtEnd(std::string_view closing_tag) {
  Fail(reader_.Line(), "the file ends before " + Quoted(closing_tag));
}

void FieldReader::Fail(int line, std::string what) {
  if (failed_) return;
  failed_ = true;
  problem_ = {line, tag_, std::move(what)};
}

}  // namespace vela
