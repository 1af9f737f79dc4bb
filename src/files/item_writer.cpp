#include "files/item_writer.h"

#include "files/cp1252.h"

namespace vela {

void ItemWriter::BeginLine(int indent) {
  bytes_.append(static_cast<size_t>(indent), ' ');
  line_has_item_ = false;
}

void ItemWriter::Separate() {
  if (line_has_item_) bytes_ += ',';
  line_has_item_ = true;
}

void ItemWriter::Text(std::string_view utf8, std::string_view field) {
  Separate();
  std::string problem;
  Cp1252Refusal refusal;
  std::optional<std::string> bytes = Utf8ToCp1252(utf8, &refusal);
  if (utf8.find('"') != std::string_view::npos) {
    problem = "contains a double quote (\"), which a text item cannot hold";
  } else if (utf8.find_first_of("\r\n") != std::string_view::npos) {
    problem = "contains a line break, which a text item cannot hold";
  } else if (!bytes && refusal.invalid_utf8) {
    problem = "is not valid UTF-8 text";
  } else if (!bytes) {
    problem = "contains the character \"" + refusal.character +
              "\", which a Windows-1252 file cannot store";
  }
  if (!problem.empty()) {
    if (refusal_.empty()) refusal_ = std::string(field) + " " + problem;
    return;
  }
  bytes_ += '"';
  bytes_ += *bytes;
  bytes_ += '"';
}

void ItemWriter::Number(long long value) {
  Separate();
  bytes_ += std::to_string(value);
}

void ItemWriter::EndLine() {
  bytes_ += "\r\n";
  ++lines_;
  line_has_item_ = false;
}

}  // namespace vela
