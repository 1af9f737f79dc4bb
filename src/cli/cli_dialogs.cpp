#include "cli/cli_dialogs.h"

#include <ostream>

namespace vela::cli {

std::string CliDialogs::PlainLines(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += '\n';
    } else if (c == '\n' && i + 1 < text.size() && text[i + 1] == '\r') {
      out += '\n';
      ++i;
    } else {
      out += c;
    }
  }
  return out;
}

void CliDialogs::Message(const std::string& text, MessageIcon) {
  ++messages_;
  err_ << PlainLines(text) << '\n' << std::flush;
}

Answer CliDialogs::Question(const std::string& text, QuestionButtons buttons, MessageIcon) {
  err_ << PlainLines(text) << '\n';
  Answer answer;
  if (buttons == QuestionButtons::kYesNo) {
    answer = yes_ ? Answer::kYes : Answer::kNo;
  } else if (buttons == QuestionButtons::kSaveDiscardCancel) {
    answer = Answer::kCancel;  // only the window asks this; nothing to replace here
  } else if (text.find("Do you want to cancel this operation?") != std::string::npos) {
    // The erase's second question goes ahead on Cancel.
    answer = yes_ ? Answer::kCancel : Answer::kOk;
  } else {
    answer = yes_ ? Answer::kOk : Answer::kCancel;
  }
  static const char* const kNames[] = {"OK", "Cancel", "Yes", "No", "Save", "Discard"};
  err_ << "answer: " << kNames[static_cast<int>(answer)] << '\n' << std::flush;
  return answer;
}

std::string CliDialogs::OpenFileName(const std::string&, const std::string&) {
  return next_file_;
}
std::string CliDialogs::SaveFileName(const std::string&, const std::string&) {
  return next_file_;
}

}  // namespace vela::cli
