// Message boxes and file dialogs, as the core asks its hosts for them: the GUI shows Qt
// dialogs, the CLI writes to stderr and takes --yes, tests record and answer from a script.
// It sits in no layer of the core, so files/, operations/ and link/ all use it without
// depending on each other for it.
#pragma once

#include <string>

namespace vela {

enum class MessageIcon { kNone, kInformation, kWarning, kError, kQuestion };
// Save / Discard / Cancel is the window's question before unsaved changes are replaced.
enum class QuestionButtons { kOkCancel, kYesNo, kSaveDiscardCancel };
enum class Answer { kOk, kCancel, kYes, kNo, kSave, kDiscard };

class UserDialogs {
 public:
  virtual ~UserDialogs() = default;
  virtual void Message(const std::string& text, MessageIcon icon = MessageIcon::kNone) = 0;
  virtual Answer Question(const std::string& text, QuestionButtons buttons, MessageIcon icon) = 0;
  // File dialogs; filter as "Vela Config Data|*.dat". An empty result means cancelled.
  virtual std::string OpenFileName(const std::string& filter, const std::string& preset) = 0;
  virtual std::string SaveFileName(const std::string& filter, const std::string& preset) = 0;
};

inline constexpr const char* kCrLf = "\r\n";

}  // namespace vela
