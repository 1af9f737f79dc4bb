// UserDialogs for the window: Qt message boxes and file dialogs. Calls from the worker thread
// are carried to the UI thread and wait there for the answer.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "dialogs/user_dialogs.h"

namespace vela::ui {

class QtDialogs final : public QObject, public UserDialogs {
  Q_OBJECT

 public:
  explicit QtDialogs(QWidget* owner);

  void Message(const std::string& text, MessageIcon icon) override;
  Answer Question(const std::string& text, QuestionButtons buttons, MessageIcon icon) override;
  std::string OpenFileName(const std::string& filter, const std::string& preset) override;
  std::string SaveFileName(const std::string& filter, const std::string& preset) override;

  // Turns a "Vela Config Data|*.dat" filter into Qt's "Vela Config Data (*.dat)".
  static QString QtFilter(const std::string& filter);
  // What a save dialog adds to a name typed without an extension: the filter's ("dat" for
  // "Vela Config Data|*.dat"); empty when the filter names none.
  static QString DefaultSuffix(const std::string& filter);

 private:
  template <typename F>
  void OnUiThread(F&& f);

  QPointer<QWidget> owner_;
};

}  // namespace vela::ui
