// The "Communication" window: earlier traffic, live traffic from the worker thread, "Clear",
// and closing it.
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QtTest>
#include <thread>

#include "fake_window_context.h"
#include "ui/communication_window.h"

using vela::testing::FakeWindowContext;
using vela::ui::CommunicationWindow;

class CommunicationWindowTest : public QObject {
  Q_OBJECT

 private:
  static QString Shown(CommunicationWindow& window) {
    return window.findChild<QPlainTextEdit*>("txtCorsanCommunication")->toPlainText();
  }

 private slots:
  void Window_HasItsCaptionAndControls() {
    vela::MemoryTrafficLog log;
    QWidget owner;
    CommunicationWindow window(log);
    window.ShowFor(&owner);
    QCOMPARE(window.windowTitle(), QString("Communication"));
    QVERIFY(!window.isModal());
    QVERIFY(window.isWindow());
    QCOMPARE(window.parentWidget(), &owner);
    auto* text = window.findChild<QPlainTextEdit*>("txtCorsanCommunication");
    QVERIFY(text->isReadOnly());
    QCOMPARE(text->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(window.findChild<QPushButton*>("cmdClear")->text(), QString("Clear"));
  }

  void Window_ShowsTrafficSentBeforeItWasOpened() {
    FakeWindowContext context;
    context.link.BidirectionalComm = true;
    context.link.SendVLMessage(true, {112, 0});  // a version read, before any window exists
    const QString before = QString::fromStdString(context.log.Text()).remove('\r');
    QVERIFY(before.contains("> "));
    QVERIFY(before.contains(" [70] [00]"));
    CommunicationWindow window(context.log);
    window.ShowFor(nullptr);
    QCOMPARE(Shown(window), before);
  }

  void Window_FollowsTrafficFromTheWorkerThread() {
    vela::MemoryTrafficLog log;
    log.AppendToLog("> [43] [F2] [70] [00]\r\n");
    CommunicationWindow window(log);
    window.ShowFor(nullptr);
    std::thread worker([&log] {
      for (int i = 0; i < 50; ++i) log.AppendToLog("< [43] [E6] [70] [00] [03] [02] [02] [00]\r\n");
    });
    worker.join();
    QTRY_COMPARE(Shown(window).count('\n'), 51);
    QVERIFY(Shown(window).startsWith("> [43] [F2] [70] [00]\n< [43]"));

    QTest::mouseClick(window.findChild<QPushButton*>("cmdClear"), Qt::LeftButton);
    QCOMPARE(Shown(window), QString());
    QCOMPARE(log.Text(), std::string());
    log.AppendToLog(">> [03] [10]\r\n");
    QTRY_COMPARE(Shown(window), QString(">> [03] [10]\n"));
  }

  void Closing_DiscardsTheLogText() {
    vela::MemoryTrafficLog log;
    log.AppendToLog("> [43] [C2] [70] [0A]\r\n");
    CommunicationWindow window(log);
    window.ShowFor(nullptr);
    window.close();
    QCOMPARE(log.Text(), std::string());
    log.AppendToLog("> [03] [C2] [70] [0A]\r\n");
    window.ShowFor(nullptr);
    QCOMPARE(Shown(window), QString("> [03] [C2] [70] [0A]\n"));
  }

  void LogAtItsCap_DropsWholeLinesAtTheFrontAndAppendsOnlyTheNew() {
    auto line = [](int i) { return "> [43] [C2] [70] [" + std::to_string(1000 + i) + "]\r\n"; };
    vela::MemoryTrafficLog log(4096);
    for (int i = 0; i < 200; ++i) log.AppendToLog(line(i));  // past the cap already
    CommunicationWindow window(log);
    window.ShowFor(nullptr);
    QTextDocument* document =
        window.findChild<QPlainTextEdit*>("txtCorsanCommunication")->document();
    struct Change {
      int position, removed, added;
    };
    std::vector<Change> changes;
    connect(document, &QTextDocument::contentsChange, this,
            [&changes](int position, int removed, int added) {
              changes.push_back({position, removed, added});
            });
    for (int i = 200; i < 600; ++i) {
      log.AppendToLog(line(i));
      if (i % 20 == 0) QTest::qWait(60);  // a redisplay between, as the traffic comes
    }
    QTRY_COMPARE(Shown(window), QString::fromStdString(log.Text()).remove('\r'));
    QVERIFY(Shown(window).startsWith("> [43]"));
    QVERIFY(!changes.empty());
    bool trimmed = false;
    for (const Change& c : changes) {
      // Either whole lines leave at the front, or new text comes at the end: never a reset.
      const bool front_drop = c.position == 0 && c.added == 0 && c.removed > 0;
      const bool append = c.removed == 0 && c.added > 0 && c.position > 0;
      QVERIFY2(
          front_drop || append,
          qPrintable(QString("change at %1: -%2 +%3").arg(c.position).arg(c.removed).arg(c.added)));
      if (front_drop) {
        trimmed = true;
        QCOMPARE(c.removed % 24, 0);  // whole lines: 23 characters and the line end
      }
    }
    QVERIFY(trimmed);
  }

  void DestroyedWindow_IsNoLongerTold() {
    vela::MemoryTrafficLog log;
    {
      CommunicationWindow window(log);
      window.ShowFor(nullptr);
    }
    log.AppendToLog("> [43] [C2] [70] [0A]\r\n");  // must not reach the destroyed window
    QTest::qWait(20);
    QCOMPARE(log.Text(), std::string("> [43] [C2] [70] [0A]\r\n"));
  }
};

QTEST_MAIN(CommunicationWindowTest)
#include "communication_window_test.moc"
