// The verification report window: caption, modal display of the report and "Save…".
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "support/recording_dialogs.h"
#include "ui/report_window.h"

using vela::testing::RecordingDialogs;
using vela::ui::ReportWindow;

class ReportWindowTest : public QObject {
  Q_OBJECT

 private:
  static QString ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "<missing>";
    return QString::fromUtf8(file.readAll());
  }

 private slots:
  void ShowReport_IsModalOverItsOwnerAndSavesTheText() {
    QTemporaryDir dir;
    const QString path = dir.filePath("report.txt");
    RecordingDialogs dialogs;
    dialogs.files.push_back(path.toStdString());
    QWidget owner;
    ReportWindow window(dialogs);
    const QString report =
        "Start Pin Verification\r\nPin 1: Aspect 0 does not compare\r\nVerify OK";
    bool checked = false;
    QTimer::singleShot(0, &window, [&] {
      checked = true;
      QVERIFY(window.isVisible());
      QVERIFY(window.isModal());
      QCOMPARE(window.windowTitle(), QString("VelaConfig - Verification Report"));
      QCOMPARE(window.parentWidget(), &owner);
      auto* text = window.findChild<QPlainTextEdit*>("txtVerification");
      QVERIFY(text->isReadOnly());
      QCOMPARE(text->toPlainText(),
               QString("Start Pin Verification\nPin 1: Aspect 0 does not compare\nVerify OK"));
      auto* save = window.findChild<QPushButton*>("cmdSaveReport");
      QCOMPARE(save->text(), QString::fromUtf8("Save\u2026"));
      QTest::mouseClick(save, Qt::LeftButton);
      window.reject();
    });
    window.ShowReport(report, &owner);
    QVERIFY(checked);
    QCOMPARE(ReadFile(path), report);
    QCOMPARE(dialogs.file_requests,
             std::vector<std::string>({"Verification Report|*.txt|VelaVerification.txt"}));
    QVERIFY(dialogs.messages.empty());
  }

  void SaveCancelled_WritesNothing() {
    RecordingDialogs dialogs;
    ReportWindow window(dialogs);
    window.SaveReport();
    QVERIFY(dialogs.messages.empty());
  }

  void SaveIntoAMissingFolder_SaysSoAndLeavesNoFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath("no/such/folder/report.txt");
    RecordingDialogs dialogs;
    dialogs.files.push_back(path.toStdString());
    ReportWindow window(dialogs);
    window.SaveReport();
    QCOMPARE(dialogs.messages.size(), size_t(1));
    QVERIFY(QString::fromStdString(dialogs.messages[0].text)
                .startsWith("The report could not be saved to "));
    QVERIFY(!QFile::exists(path));
  }

  void SaveOverAnOlderReport_ReplacesIt() {
    QTemporaryDir dir;
    const QString path = dir.filePath("report.txt");
    {
      QFile old(path);
      QVERIFY(old.open(QIODevice::WriteOnly));
      old.write("an older and much longer report text\r\n");
    }
    RecordingDialogs dialogs;
    dialogs.files.push_back(path.toStdString());
    ReportWindow window(dialogs);
    QTimer::singleShot(0, &window, [&] {
      window.SaveReport();
      window.reject();
    });
    window.ShowReport("Start EC Verification\r\n", nullptr);
    QCOMPARE(ReadFile(path), QString("Start EC Verification\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"report.txt"}));
  }
};

QTEST_MAIN(ReportWindowTest)
#include "report_window_test.moc"
