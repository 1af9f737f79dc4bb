// UserDialogs for velacli: messages go to stderr as their text, questions too, followed by the
// answer taken; --yes takes the answer that lets the operation go ahead. File dialogs answer
// with the path the command line named.
#pragma once

#include <iosfwd>
#include <string>

#include "dialogs/user_dialogs.h"

namespace vela::cli {

class CliDialogs final : public UserDialogs {
 public:
  CliDialogs(std::ostream& err, bool yes) : err_(err), yes_(yes) {}

  void Message(const std::string& text, MessageIcon icon) override;
  Answer Question(const std::string& text, QuestionButtons buttons, MessageIcon icon) override;
  std::string OpenFileName(const std::string& filter, const std::string& preset) override;
  std::string SaveFileName(const std::string& filter, const std::string& preset) override;

  // The path the next file dialog answers with.
  void SetNextFile(const std::string& path) { next_file_ = path; }
  int MessageCount() const { return messages_; }

  // CR LF (and a lone CR) as line ends.
  static std::string PlainLines(const std::string& text);

 private:
  std::ostream& err_;
  bool yes_;
  std::string next_file_;
  int messages_ = 0;
};

}  // namespace vela::cli
