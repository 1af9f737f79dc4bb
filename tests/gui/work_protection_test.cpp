// The window keeps the user's work: a question before unsaved edits are replaced, undo and redo
// over every change, and a title that names the file and shows an unsaved change.
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTabWidget>
#include <QTemporaryDir>

#include "gui_fixture.h"
#include "model/pin_config_rules.h"
#include "operations/general_commands.h"

using vela::testing::WindowUnderTest;

namespace vela {

class WorkProtectionTest : public QObject {
  Q_OBJECT

 private slots:
  void ReplacingUnsavedEdits_AsksSaveDiscardCancel_AndUndoBringsThemBack();
  void PinConfigPages_LookedAtAndLeft_UndoBringsTheEarlierSettingsBack();
  void Menus_HoldEveryWholeWindowFunction_CtrlSSavesToTheFileInUseWithoutAsking();
};

namespace {

QAction* Action(WindowUnderTest& w, const char* name) {
  return w.window().findChild<QAction*>(name);
}

std::string Description(WindowUnderTest& w) {
  return w.config().Current().Description;
}

}  // namespace

void WorkProtectionTest::ReplacingUnsavedEdits_AsksSaveDiscardCancel_AndUndoBringsThemBack() {
  QTemporaryDir dir;
  const std::string file = dir.filePath("layout.dat").toStdString();
  WindowUnderTest w;
  QCOMPARE(w.window().windowTitle(), QString("Vela Config"));
  w.dialogs().GiveFile(file);
  w.Click("CommandSave");
  QCOMPARE(w.window().windowTitle(), QString("layout.dat[*] - Vela Config"));
  QVERIFY(!w.window().isWindowModified());
  const std::string saved = Description(w);

  w.ShowTab(2);
  w.Type("TextPAspDesc", "edited");
  QVERIFY(w.window().isWindowModified());

  // Cancel: neither the file nor the board replaces the edit.
  w.dialogs().GiveFile(file);
  w.dialogs().Reply(Answer::kCancel);
  w.Click("CommandLoad");
  w.dialogs().Reply(Answer::kCancel);
  w.Click("CommandReadAll");
  QVERIFY(w.WaitIdle());
  QCOMPARE(Description(w), std::string("edited"));
  const auto questions = w.dialogs().Questions();
  QCOMPARE(questions.size(), size_t{2});
  QCOMPARE(questions[0], std::string("The configuration has changes that were not saved.\r\n"
                                     "Save them before loading a file?"));
  QCOMPARE(questions[1], std::string("The configuration has changes that were not saved.\r\n"
                                     "Save them before reading the board?"));

  // Discard: the file comes in (the file name given above is still waiting), and undo, under
  // the load's name, brings the edit back; redo loads it again.
  w.dialogs().Reply(Answer::kDiscard);
  w.Click("CommandLoad");
  QCOMPARE(Description(w), saved);
  QVERIFY(!w.window().isWindowModified());
  QCOMPARE(Action(w, "ActionUndo")->text(), QString("Undo Load File layout.dat"));
  Action(w, "ActionUndo")->trigger();
  QCOMPARE(Description(w), std::string("edited"));
  QCOMPARE(w.Text("TextPAspDesc"), QString("edited"));
  QVERIFY(w.window().isWindowModified());
  Action(w, "ActionRedo")->trigger();
  QCOMPARE(Description(w), saved);

  // Save: the edit is in the file (the one in use, without a dialog) before the read.
  w.Type("TextPAspDesc", "kept");
  w.dialogs().Reply(Answer::kSave);
  w.Click("CommandReadAll");
  QVERIFY(w.WaitIdle());
  QFile saved_file(QString::fromStdString(file));
  QVERIFY(saved_file.open(QIODevice::ReadOnly));
  QVERIFY(saved_file.readAll().contains("\"kept\""));
  QCOMPARE(w.dialogs().Questions().size(), size_t{4});
}

void WorkProtectionTest::PinConfigPages_LookedAtAndLeft_UndoBringsTheEarlierSettingsBack() {
  WindowUnderTest w;
  PinRecord& pin = w.config().Current();
  pin.PinConfig = {kPwm, 40, 0, 10, 200, 20, 0, 0, 0, 0, 0, 0, 0};
  w.window().ConfigReplaced();
  const auto before = pin.PinConfig;
  auto* pages = w.Find<QTabWidget>("SSTabPCFG");
  pages->setCurrentIndex(kPageServo);
  pages->setCurrentIndex(kPagePwm);
  QVERIFY(w.config().Current().PinConfig != before);  // the PWM page's defaults
  QCOMPARE(Action(w, "ActionUndo")->text(), QString("Undo PWM page"));
  Action(w, "ActionUndo")->trigger();
  Action(w, "ActionUndo")->trigger();
  QCOMPARE(w.config().Current().PinConfig, before);
  QCOMPARE(pages->currentIndex(), kPagePwm);
}

void WorkProtectionTest::
    Menus_HoldEveryWholeWindowFunction_CtrlSSavesToTheFileInUseWithoutAsking() {
  WindowUnderTest w;
  const std::vector<std::pair<const char*, const char*>> entries = {
      {"ActionLoadFile", "Ctrl+O"},
      {"ActionSaveFile", "Ctrl+S"},
      {"ActionSaveAs", "Ctrl+Shift+S"},
      {"ActionQuit", "Ctrl+Q"},
      {"ActionUndo", "Ctrl+Z"},
      {"ActionRedo", "Ctrl+Shift+Z"},
      {"ActionReadAll", ""},
      {"ActionWriteAll", ""},
      {"ActionVerifyAll", ""},
      {"ActionCompareWithBoard", ""},
      {"ActionEraseFlash", ""},
      {"ActionRefreshPorts", "F5"},
      {"ActionCommunicationLog", "Ctrl+L"},
      {"ActionExpertMode", ""},
      {"ActionShowDetails", "Ctrl+D"},
      {"ActionShortcuts", "F1"},
      {"ActionAbout", ""}};
  for (const auto& [name, keys] : entries) {
    QAction* action = Action(w, name);
    QVERIFY2(action, name);
    QCOMPARE(action->shortcut().toString(), QString(keys));
  }
  for (const char* menu : {"MenuFile", "MenuEdit", "MenuBoard", "MenuView", "MenuHelp"}) {
    auto* m = w.Find<QMenu>(menu);
    QVERIFY(m);
    WindowUnderTest::Shot(m, menu);
  }
  // Erase Flash from the menu asks its first question, and nothing more after Cancel.
  w.dialogs().Reply(Answer::kCancel);
  Action(w, "ActionEraseFlash")->trigger();
  QVERIFY(w.WaitIdle(5000));
  QCOMPARE(w.dialogs().Questions(), std::vector<std::string>{EraseFirstQuestion()});

  QTemporaryDir dir;
  const std::string file = dir.filePath("layout.dat").toStdString();
  w.dialogs().GiveFile(file);
  QTest::keyClick(&w.window(), Qt::Key_S, Qt::ControlModifier);  // no file yet: asks
  QCOMPARE(w.window().windowTitle(), QString("layout.dat[*] - Vela Config"));
  w.ShowTab(2);
  w.Type("TextPAspDesc", "by keys");  // one step, however many keys
  QVERIFY(w.window().isWindowModified());
  QTest::keyClick(&w.window(), Qt::Key_S, Qt::ControlModifier);  // the file in use: no dialog
  QVERIFY(!w.window().isWindowModified());
  QFile saved(QString::fromStdString(file));
  QVERIFY(saved.open(QIODevice::ReadOnly));
  QVERIFY(saved.readAll().contains("\"by keys\""));
  // Out of the box, whose own Ctrl+Z takes back typing.
  w.Find<QWidget>("SSTab_Main")->setFocus();
  QTest::keyClick(&w.window(), Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(w.config().Current().Description, std::string());
  QCOMPARE(Action(w, "ActionRedo")->text(), QString("Redo Edit Pin description"));
}

}  // namespace vela

QTEST_MAIN(vela::WorkProtectionTest)
#include "work_protection_test.moc"
