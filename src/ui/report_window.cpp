#include "ui/report_window.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "files/file_io.h"

namespace vela::ui {

ReportWindow::ReportWindow(UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs) {
  setObjectName("frmVelaVerification");
  setWindowTitle("VelaConfig - Verification Report");
  auto* layout = new QVBoxLayout(this);
  text_ = new QPlainTextEdit(this);
  text_->setObjectName("txtVerification");
  text_->setReadOnly(true);
  text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  layout->addWidget(text_, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  QPushButton* save =
      buttons->addButton(QString::fromUtf8("Save\u2026"), QDialogButtonBox::ActionRole);
  save->setObjectName("cmdSaveReport");
  save->setAutoDefault(false);
  layout->addWidget(buttons);
  resize(640, 480);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(save, &QPushButton::clicked, this, &ReportWindow::SaveReport);
}

int ReportWindow::ShowReport(const QString& text, QWidget* owner) {
  if (owner != nullptr && parentWidget() != owner) setParent(owner, windowFlags());
  report_ = text;
  QString shown = text;
  shown.remove(QChar('\r'));
  text_->setPlainText(shown);
  setModal(true);
  return exec();
}

void ReportWindow::SaveReport() {
  const std::string name =
      dialogs_.SaveFileName("Verification Report|*.txt", "VelaVerification.txt");
  if (name.empty()) return;
  const QByteArray bytes = report_.toUtf8();
  std::string reason;
  if (!SaveFileSafely(name, std::string(bytes.constData(), static_cast<size_t>(bytes.size())),
                      reason)) {
    dialogs_.Message("The report could not be saved to " + name + ": " + reason,
                     MessageIcon::kError);
  }
}

}  // namespace vela::ui
