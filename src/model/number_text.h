// Reading numbers the way the editor's text boxes do: the numeric start of the text counts
// (0 when there is none), out-of-range values snap to the nearest limit, and fractions round
// half to even when stored.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vela {

// The number at the start of text after leading blanks ("12abc" -> 12, "abc" -> 0, "2.5" -> 2.5).
double NumericValue(std::string_view text);

// Whether text starts with a number at all (after leading blanks).
bool IsNumeric(std::string_view text);

// A text that is a plain decimal number as a whole ("0.5", "-3", "12."), read with "." as the
// decimal point in every locale; nullopt for anything else ("0,5", "1e3", "nan", "inf", "",
// blanks) and for a value too large to hold.
std::optional<double> ParseDecimal(std::string_view text);

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
int RoundHalfEven(double value);

// What a committed text box holds afterwards: its (possibly clamped) text and the stored value.
struct BoxEntry {
  std::string text;
  int value = 0;
  bool clamped = false;
};

// Commits a box: a value outside min..max is replaced by that limit (as text); otherwise the
// text stays as typed and its rounded value is stored.
BoxEntry CommitBox(std::string_view text, int min, int max);

}  // namespace vela
