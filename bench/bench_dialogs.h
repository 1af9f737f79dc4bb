// The dialogs of a benchmark: messages are kept so a run can tell that nothing went wrong;
// questions get the cautious answer and file dialogs are cancelled, as nobody is there to ask.
#pragma once

#include <string>
#include <vector>

#include "dialogs/user_dialogs.h"

namespace vela::bench {

class BenchDialogs final : public UserDialogs {
 public:
  void Message(const std::string& text, MessageIcon) override { messages.push_back(text); }
  Answer Question(const std::string&, QuestionButtons buttons, MessageIcon) override {
    return buttons == QuestionButtons::kYesNo ? Answer::kNo : Answer::kCancel;
  }
  std::string OpenFileName(const std::string&, const std::string&) override { return {}; }
  std::string SaveFileName(const std::string&, const std::string&) override { return {}; }

  std::vector<std::string> messages;
};

}  // namespace vela::bench
