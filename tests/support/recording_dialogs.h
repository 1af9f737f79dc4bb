// A UserDialogs that records every message and question and answers from a script.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "dialogs/user_dialogs.h"

namespace vela::testing {

class RecordingDialogs final : public UserDialogs {
 public:
  struct Shown {
    std::string text;
    MessageIcon icon;
  };

  void Message(const std::string& text, MessageIcon icon) override {
    messages.push_back({text, icon});
  }
  Answer Question(const std::string& text, QuestionButtons buttons, MessageIcon icon) override {
    questions.push_back({text, icon});
    if (!answers.empty()) {
      Answer a = answers.front();
      answers.pop_front();
      return a;
    }
    return buttons == QuestionButtons::kYesNo ? Answer::kNo : Answer::kCancel;
  }
  std::string OpenFileName(const std::string& filter, const std::string& preset) override {
    file_requests.push_back(filter + "|" + preset);
    return PopFile();
  }
  std::string SaveFileName(const std::string& filter, const std::string& preset) override {
    file_requests.push_back(filter + "|" + preset);
    return PopFile();
  }

  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& m : messages) texts.push_back(m.text);
    return texts;
  }
  void Clear() {
    messages.clear();
    questions.clear();
  }

  std::vector<Shown> messages;
  std::vector<Shown> questions;
  std::deque<Answer> answers;
  std::deque<std::string> files;
  std::vector<std::string> file_requests;

 private:
  std::string PopFile() {
    if (files.empty()) return {};
    std::string f = files.front();
    files.pop_front();
    return f;
  }
};

}  // namespace vela::testing
