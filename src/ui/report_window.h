// The "VelaConfig - Verification Report" window: the report of the last verification, shown
// modally when it ends, with a way to keep it in a text file.
#pragma once

#include <QDialog>

#include "dialogs/user_dialogs.h"

class QPlainTextEdit;

namespace vela::ui {

class ReportWindow : public QDialog {
  Q_OBJECT

 public:
  explicit ReportWindow(UserDialogs& dialogs, QWidget* parent = nullptr);

  // Shows the report (lines ended by CR LF) modally over owner; returns when the user closes it.
  int ShowReport(const QString& text, QWidget* owner);

  // Writes the report text to the file the user picks; a failed save leaves an older file
  // as it was.
  void SaveReport();

 private:
  UserDialogs& dialogs_;
  QPlainTextEdit* text_ = nullptr;
  QString report_;
};

}  // namespace vela::ui
