// Reading the item syntax of the data and definitions files: the file is a stream of items; a
// comma or a line end ends an item, blanks before an item are skipped, and a quoted item ends
// at its closing quote and comes without the quotes. Line structure carries no meaning, but
// every item keeps its line number so that a complaint can say where it is.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vela {

// One item as read: its text in UTF-8, whether it was quoted, and the line it starts on.
struct Item {
  std::string text;
  bool quoted = false;
  int line = 1;

  bool operator==(const Item&) const = default;
};

// Splits Windows-1252 file bytes into items.
class ItemReader {
 public:
  explicit ItemReader(std::string_view bytes) : bytes_(bytes) {}

  // True when no item is left.
  bool AtEnd() const { return pos_ >= bytes_.size(); }

  // The next item; at the end an empty bare item on the last line.
  Item Next();

  // The line of the last item read (1 before any).
  int Line() const { return last_line_; }

 private:
  // Consumes a line end at pos_ (CR LF, CR or LF) and counts it; false when there is none.
  bool SkipLineEnd();

  std::string_view bytes_;
  size_t pos_ = 0;
  int line_ = 1;
  int last_line_ = 1;
};

// Where and why a file could not be read: "line 87, item "Ins": step number 12 is out of range
// (0..9)". The item is the tag of the line being read; empty before the first tag.
struct FileProblem {
  int line = 0;
  std::string item;
  std::string what;

  std::string Text() const;
};

// Reads the fields of tagged lines from an ItemReader. The first problem sticks: later reads
// return a safe value (the lower limit, an empty text) so that a caller can finish its line
// without checking each field, and then stop at failed().
class FieldReader {
 public:
  explicit FieldReader(std::string_view bytes) : reader_(bytes) {}

  bool AtEnd() const { return !pushed_back_ && reader_.AtEnd(); }

  // Reads the next item as a tag; later problems name it.
  Item NextTag();
  // Reads the next item as it is, without naming it as the tag (for the file header and for
  // items that may be either a value or the next tag).
  Item NextItem() { return Take(); }
  // Gives an item back, to be read again as the next one (an optional value that turned out
  // to be the next tag).
  void PushBack(Item item);

  // An integer within min..max; `what` names it in a complaint ("step number").
  int Integer(std::string_view what, int min, int max);
  // A number that may have a fraction, rounded half to even, within min..max.
  int Rounded(std::string_view what, int min, int max);
  int Byte(std::string_view what) { return Integer(what, 0, 255); }
  // Checks an item already read as an integer within min..max.
  int IntegerOf(const Item& item, std::string_view what, int min, int max);
  // A text item. A bare number there means the line lost or gained an item, and is a problem.
  std::string Text(std::string_view what);

  // The line of the current tag; the values of a tag are on its line.
  int TagLine() const { return tag_line_; }

  // Records the end of the file before the closing tag.
  void FailAtEnd(std::string_view closing_tag);
  void Fail(int line, std::string what);

  bool failed() const { return failed_; }
  const FileProblem& problem() const { return problem_; }

 private:
  // The next value item; a problem if the file or the tag's line has ended.
  bool NextValue(Item& item, std::string_view what);
  Item Take();

  ItemReader reader_;
  std::optional<Item> pushed_back_;
  std::string tag_;
  int tag_line_ = 0;
  bool failed_ = false;
  FileProblem problem_;
};

// At most this many characters of an item are quoted in a message.
inline constexpr size_t kExcerptLength = 40;

// The start of text as a message quotes it: the first kExcerptLength characters, then "…"
// when there are more. A bad item can be megabytes long.
std::string Excerpt(std::string_view text);

// Whether an item is a bare whole integer ("-12"); quoted items never are.
bool IsIntegerItem(const Item& item);

}  // namespace vela
