// Compare with Board and Compare with File from the menus: the board is read into a second
// configuration on the worker, the open one is left alone, and the differences are shown
// grouped by pin, filtered, saved, and followed into the editor by a double-click.
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "files/data_file.h"
#include "gui_fixture.h"
#include "ui/compare_window.h"

using vela::testing::WindowUnderTest;

namespace vela {

class CompareWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void Menus_FileAndBoardHoldTheCompareEntries();
  void CompareWithBoard_SameConfiguration_SaysNoDifference();
  void CompareWithBoard_DifferencesByPin_FilterDoubleClickSave();
  void CompareWithFile_ChangedSinceSaving_ListsEachDifference();
  void CompareWithBoard_ProgressAndCancel_NothingCompared();
  void CompareWithBoard_ClosedPort_Refused();
  void CompareWithBoard_AReadThatGoesOnPastAFailure_NothingCompared();

 private:
  static void Trigger(WindowUnderTest& w, const char* action) {
    QAction* a = w.Find<QAction>(action);
    QVERIFY(a);
    a->trigger();
  }
  static ui::CompareWindow* Results(WindowUnderTest& w) {
    return w.window().findChild<ui::CompareWindow*>("frmVelaCompare");
  }
  // Reads the board into the window, so that the two hold the same.
  static void ReadAll(WindowUnderTest& w) {
    w.Click("CommandReadAll");
    QVERIFY(w.WaitIdle(60000));
  }
};

void CompareWindowTest::Menus_FileAndBoardHoldTheCompareEntries() {
  WindowUnderTest w;
  QMenuBar* bar = w.window().menuBar();
  QVERIFY(bar);
  QStringList menus;
  for (QAction* a : bar->actions()) menus << a->text();
  QCOMPARE(menus, QStringList({"&File", "&Edit", "&Board", "&View", "&Help"}));
  QCOMPARE(w.Find<QAction>("ActionCompareWithFile")->text(),
           QString::fromUtf8("Compare with File\u2026"));
  QCOMPARE(w.Find<QAction>("ActionCompareWithBoard")->text(),
           QString::fromUtf8("Compare with Board\u2026"));
  WindowUnderTest::Shot(&w.window(), "main_with_menus");
}

void CompareWindowTest::CompareWithBoard_SameConfiguration_SaysNoDifference() {
  WindowUnderTest w;
  ReadAll(w);
  Trigger(w, "ActionCompareWithBoard");
  QVERIFY(w.WaitIdle(60000));
  ui::CompareWindow* results = Results(w);
  QVERIFY(results);
  QTRY_VERIFY(results->isVisible());
  QCOMPARE(results->findChild<QLabel*>("LabelCompareSummary")->text(),
           QString("No difference between the open configuration and the board."));
  QVERIFY(!results->findChild<QTreeWidget*>("TreeCompare")->isVisible());
  QVERIFY(results->VisibleLines().isEmpty());
  WindowUnderTest::Shot(results, "compare_none");
}

void CompareWindowTest::CompareWithBoard_DifferencesByPin_FilterDoubleClickSave() {
  WindowUnderTest w;
  ReadAll(w);
  // Two edits in the window that the board does not have.
  w.config().Pins[3].Aspects[2].Steps[1].Par2 = 40;
  w.config().General.PacketRetention = 3;
  const PinTable pins = w.config().Pins;
  const GeneralSettings general = w.config().General;
  w.board().ClearReceived();
  Trigger(w, "ActionCompareWithBoard");
  QVERIFY(w.WaitIdle(60000));
  QVERIFY(!w.board().Received().empty());
  // The open configuration is what it was.
  QVERIFY(w.config().Pins == pins);
  QVERIFY(w.config().General == general);
  ui::CompareWindow* results = Results(w);
  QVERIFY(results);
  QCOMPARE(results->VisibleLines(),
           QStringList({"DCC, Packet Retention: 500ms | 250ms",
                        "Pin 4, Aspect 2, Step 1 (Wait), Time: 00:06.40 (Time 40, Base 1) | "
                        "00:03.20 (Time 20, Base 1)"}));
  QCOMPARE(results->findChild<QLabel*>("LabelCompareSummary")->text(),
           QString("2 differences between the open configuration and the board."));
  auto* tree = results->findChild<QTreeWidget*>("TreeCompare");
  QCOMPARE(tree->topLevelItemCount(), 2);
  QCOMPARE(tree->topLevelItem(0)->text(0), QString("General settings"));
  QCOMPARE(tree->topLevelItem(1)->text(0), QString("Pin 4"));
  QTreeWidgetItem* step = tree->topLevelItem(1)->child(0);
  QCOMPARE(step->text(0), QString("Aspect 2, Step 1 (Wait), Time"));
  QCOMPARE(step->text(1), QString("00:06.40 (Time 40, Base 1)"));
  QCOMPARE(step->text(2), QString("00:03.20 (Time 20, Base 1)"));
  QCOMPARE(tree->headerItem()->text(2), QString("Board"));
  WindowUnderTest::Shot(results, "compare_board");

  auto* filter = results->findChild<QLineEdit*>("TextCompareFilter");
  QTest::keyClicks(filter, "wait");
  QCOMPARE(results->VisibleLines().size(), 1);
  QVERIFY(results->VisibleLines().front().startsWith("Pin 4, Aspect 2"));
  QVERIFY(tree->topLevelItem(0)->isHidden());
  filter->setText("nothing like this");
  QVERIFY(results->VisibleLines().isEmpty());
  filter->clear();
  QCOMPARE(results->VisibleLines().size(), 2);

  // The pin and aspect of the step, in the editor.
  tree->scrollToItem(step);
  const QRect rect = tree->visualItemRect(step);
  // A view takes a double-click only on the item that the press before it hit.
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
  QTest::mouseDClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
  QCOMPARE(w.config().CurrentPin, 3);
  QCOMPARE(w.config().CurrentAspect, 2);
  QCOMPARE(w.Find<QTabWidget>("SSTab_Main")->currentIndex(), 2);
  QCOMPARE(w.Text("TextPAspOutput"), QString("4"));
  QCOMPARE(w.Text("TextPAspAspect"), QString("2"));

  // "Save…" writes every line, filtered or not.
  QTemporaryDir dir;
  const QString path = dir.path() + "/differences.txt";
  w.dialogs().GiveFile(path.toStdString());
  filter->setText("wait");
  WindowUnderTest::ClickIn(results, "cmdSaveCompare");
  QFile file(path);
  QVERIFY(file.open(QIODevice::ReadOnly));
  QCOMPARE(QString::fromUtf8(file.readAll()),
           QString("DCC, Packet Retention: 500ms | 250ms\r\n"
                   "Pin 4, Aspect 2, Step 1 (Wait), Time: 00:06.40 (Time 40, Base 1) | "
                   "00:03.20 (Time 20, Base 1)\r\n"));
}

void CompareWindowTest::CompareWithFile_ChangedSinceSaving_ListsEachDifference() {
  WindowUnderTest::Setup setup;
  setup.open_port = false;
  WindowUnderTest w(setup);
  QTemporaryDir dir;
  const std::string path = (dir.path() + "/layout.dat").toStdString();
  w.config().Pins[6].Description = "Crossing";
  QVERIFY(SaveDataFile(w.config(), path, false, w.dialogs()));
  w.config().Pins[6].Description = "Level crossing";
  w.config().Events.At(6, kEventOff, 1) = 4;
  w.dialogs().GiveFile(path);
  Trigger(w, "ActionCompareWithFile");
  ui::CompareWindow* results = Results(w);
  QVERIFY(results);
  QCOMPARE(results->VisibleLines(),
           QStringList({"Pin 7, Description: \"Level crossing\" | \"Crossing\"",
                        "Pin 7, Event OFF, Input 1: 4 | -1"}));
  QCOMPARE(results->findChild<QTreeWidget*>("TreeCompare")->headerItem()->text(2),
           QString("layout.dat"));
  // A cancelled file dialog compares nothing.
  results->close();
  delete results;
  Trigger(w, "ActionCompareWithFile");
  QVERIFY(!Results(w));
}

void CompareWindowTest::CompareWithBoard_ProgressAndCancel_NothingCompared() {
  WindowUnderTest::Setup setup;
  setup.bit_rate = 9600;
  WindowUnderTest w(setup);
  Trigger(w, "ActionCompareWithBoard");
  QTRY_VERIFY_WITH_TIMEOUT(w.window().Busy(), 2000);
  QTRY_VERIFY_WITH_TIMEOUT(w.Find<QProgressBar>("ProgressAction")->maximum() == 32, 10000);
  QVERIFY(w.Shown("CommandCancelOperation"));
  QVERIFY(!w.Find<QWidget>("SSTab_Main")->isEnabled());
  QVERIFY(!w.Find<QMenu>("MenuBoard")->isEnabled());
  QVERIFY(!w.Find<QMenu>("MenuFile")->isEnabled());
  w.Click("CommandCancelOperation");
  QVERIFY(w.WaitIdle(5000));
  QVERIFY(!Results(w));
  const auto messages = w.dialogs().Messages();
  QVERIFY(!messages.empty());
  QCOMPARE(messages.back(),
           std::string("The board was not read completely, so nothing was compared."));
  QVERIFY(w.window().menuBar()->isEnabled());
}

void CompareWindowTest::CompareWithBoard_ClosedPort_Refused() {
  WindowUnderTest::Setup setup;
  setup.open_port = false;
  WindowUnderTest w(setup);
  Trigger(w, "ActionCompareWithBoard");
  QVERIFY(w.WaitIdle());
  QCOMPARE(w.dialogs().Messages(), std::vector<std::string>{"Select communications port"});
  QVERIFY(!Results(w));
}

void CompareWindowTest::CompareWithBoard_AReadThatGoesOnPastAFailure_NothingCompared() {
  WindowUnderTest w;
  ReadAll(w);
  w.dialogs().Clear();
  // Exchange 51 of "Read All" is the flash parameters of the first pin, which the read goes on
  // past; the copy would keep the window's values there and compare them with themselves.
  w.board().GetFaults().no_reply = true;
  w.board().GetFaults().only_at_frame = w.board().exchange_count() + 51;
  Trigger(w, "ActionCompareWithBoard");
  QVERIFY(w.WaitIdle(60000));
  QVERIFY(!Results(w));
  const auto messages = w.dialogs().Messages();
  QVERIFY(!messages.empty());
  QCOMPARE(messages.front(),
           std::string("No response received, resetting bidirectional communication"));
  QCOMPARE(messages.back(),
           std::string("The board was not read completely, so nothing was compared."));
}

}  // namespace vela

QTEST_MAIN(vela::CompareWindowTest)
#include "compare_window_test.moc"
