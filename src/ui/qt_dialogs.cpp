#include "ui/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QThread>

namespace vela::ui {
namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kInformation:
      return QMessageBox::Information;
    case MessageIcon::kWarning:
      return QMessageBox::Warning;
    case MessageIcon::kError:
      return QMessageBox::Critical;
    case MessageIcon::kQuestion:
      return QMessageBox::Question;
    case MessageIcon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

// Message texts use CR LF; a QLabel wants plain line feeds.
QString ToQtText(const std::string& text) {
  QString s = QString::fromStdString(text);
  s.replace("\r\n", "\n");
  s.replace("\n\r", "\n");
  s.replace('\r', '\n');
  return s;
}

}  // namespace

QtDialogs::QtDialogs(QWidget* owner) : owner_(owner) {}

template <typename F>
void QtDialogs::OnUiThread(F&& f) {
  if (QThread::currentThread() == qApp->thread()) {
    f();
  } else {
    QMetaObject::invokeMethod(qApp, std::forward<F>(f), Qt::BlockingQueuedConnection);
  }
}

void QtDialogs::Message(const std::string& text, MessageIcon icon) {
  OnUiThread([&] {
    QMessageBox box(ToQtIcon(icon), QApplication::applicationName(), ToQtText(text),
                    QMessageBox::Ok, owner_);
    box.setObjectName("VelaMessageBox");
    box.exec();
  });
}

Answer QtDialogs::Question(const std::string& text, QuestionButtons buttons, MessageIcon icon) {
  Answer answer = Answer::kCancel;
  OnUiThread([&] {
    QMessageBox::StandardButtons shown = QMessageBox::Ok | QMessageBox::Cancel;
    if (buttons == QuestionButtons::kYesNo) shown = QMessageBox::Yes | QMessageBox::No;
    if (buttons == QuestionButtons::kSaveDiscardCancel) {
      shown = QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel;
    }
    QMessageBox box(ToQtIcon(icon), QApplication::applicationName(), ToQtText(text), shown, owner_);
    box.setObjectName("VelaQuestionBox");
    switch (box.exec()) {
      case QMessageBox::Ok:
        answer = Answer::kOk;
        break;
      case QMessageBox::Yes:
        answer = Answer::kYes;
        break;
      case QMessageBox::No:
        answer = Answer::kNo;
        break;
      case QMessageBox::Save:
        answer = Answer::kSave;
        break;
      case QMessageBox::Discard:
        answer = Answer::kDiscard;
        break;
      default:
        // Escape or the title bar's close button on a Yes/No box means No.
        answer = buttons == QuestionButtons::kYesNo ? Answer::kNo : Answer::kCancel;
    }
  });
  return answer;
}

QString QtDialogs::QtFilter(const std::string& filter) {
  QString f = QString::fromStdString(filter);
  int bar = f.indexOf('|');
  if (bar < 0) return f;
  return f.left(bar) + " (" + f.mid(bar + 1) + ")";
}

std::string QtDialogs::OpenFileName(const std::string& filter, const std::string& preset) {
  std::string path;
  OnUiThread([&] {
    path = QFileDialog::getOpenFileName(owner_, QString(), QString::fromStdString(preset),
                                        QtFilter(filter))
               .toStdString();
  });
  return path;
}

QString QtDialogs::DefaultSuffix(const std::string& filter) {
  const QString f = QString::fromStdString(filter);
  const qsizetype dot = f.indexOf("*.");
  if (dot < 0) return {};
  const QString suffix = f.mid(dot + 2).section(';', 0, 0).section(' ', 0, 0).section(')', 0, 0);
  return suffix.contains('*') ? QString() : suffix;
}

// A dialog of its own rather than getSaveFileName, for the default suffix: the dialog adds it
// to the name typed and asks before replacing the file of that name. `preset` (the file in use)
// is offered, its name selected.
std::string QtDialogs::SaveFileName(const std::string& filter, const std::string& preset) {
  std::string path;
  OnUiThread([&] {
    QFileDialog dialog(owner_, QString(), QString::fromStdString(preset), QtFilter(filter));
    dialog.setObjectName("VelaSaveDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(DefaultSuffix(filter));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
      path = dialog.selectedFiles().constFirst().toStdString();
    }
  });
  return path;
}

}  // namespace vela::ui
