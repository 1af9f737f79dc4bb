// The Test tab through its buttons: what each Kora, set-aspect and matrix button sends, and
// the message monitor with its focus rule and Timer2.
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "fake_window_context.h"
#include "support/editor_harness.h"
#include "ui/test_tab.h"

using vela::testing::ClickCheck;
using vela::testing::Messages;
using vela::ui::TestTab;

class TestTabTest : public QObject, private vela::testing::EditorHarness<TestTab> {
  Q_OBJECT

 private:
  void SetBox(const QString& name, const QString& text) { W<QLineEdit>(name)->setText(text); }
  QString Monitor() { return W<QPlainTextEdit>("textFBM")->toPlainText(); }
  QTimer* Timer2() { return editor_->findChild<QTimer*>("Timer2"); }
  // Polls the board the way Timer2 does while monitoring, until it has polled `polls` times.
  void WaitForPolls(int polls) { QTRY_VERIFY_WITH_TIMEOUT(PollCount() >= polls, 3000); }
  int PollCount() {
    int polls = 0;
    for (const vela::sim::ReceivedFrame& frame : context_->board.Received()) {
      if (frame.message.empty() && !frame.resync && !frame.legacy) ++polls;
    }
    return polls;
  }

 private slots:
  void init() {
    Open();
    context_->on_refresh = [this] { editor_->Refresh(); };
    QVERIFY(vela::testing::ShowActive(editor_.get()));
  }

  void cleanup() { Close(); }

  void Controls_HaveTheirCaptions() {
    const std::pair<const char*, const char*> buttons[] = {
        {"CommandReset_0", "Reset"},
        {"CommandReset_1", "Reset 15"},
        {"Command_Clr_0", "Clear All"},
        {"Command_Clr_1", "Clear All 0"},
        {"Command_LT_0", "Lamp Test"},
        {"Command_LT_1", "Lamp Test 0"},
        {"Command_LT_2", "Lamp Test 15"},
        {"CommandSendKora", "KoraSend"},
        {"CommandVelaSetAspect_0", "Vela SA0"},
        {"CommandVelaSetAspect_3", "Vela SA3"},
        {"CommandVelaSetAspect_4", "Vela Toggle"},
        {"CommandVelaSetAspect_5", "Vela 8xSA0"},
        {"CommandVelaSetAspect_6", "Vela 8xSA1"},
        {"CmdSetMatrix_0", "MB-0"},
        {"CmdSetMatrix_31", "MB-31"},
        {"CommandFBM_0", "Clear"},
        {"CommandFBM_1", "Monitor"},
        {"CommandFBM_2", "Stop"},
    };
    for (const auto& [name, caption] : buttons) {
      QVERIFY2(W<QPushButton>(name), name);
      QCOMPARE(W<QPushButton>(name)->text(), QString(caption));
    }
    for (int i = 0; i < 10; ++i) {
      QCOMPARE(W<QCheckBox>(QString("ChkMatrix_%1").arg(i))->text(), QString("MB%1").arg(i));
    }
    QCOMPARE(W<QLabel>("LabelKoraParameter_2")->text(), QString("Parameter"));
    QCOMPARE(W<QLineEdit>("TextKoraParameter_1")->text(), QString("0"));
    QCOMPARE(W<QLineEdit>("TextVelaSendAspectOutput")->text(), QString("0"));
    QVERIFY(W<QPlainTextEdit>("textFBM")->isReadOnly());
    QCOMPARE(Timer2()->interval(), 100);
    QVERIFY(!Timer2()->isActive());
  }

  void VelaToggle_AlternatesFromZero() {
    SetBox("TextVelaSendAspectOutput", "5");
    for (int i = 0; i < 3; ++i) Click("CommandVelaSetAspect_4");
    QCOMPARE(context_->TakeOutputs(), Messages({{0, 1, 5, 0}, {0, 1, 5, 1}, {0, 1, 5, 0}}));
    Click("CommandVelaSetAspect_2");
    Click("CommandVelaSetAspect_6");
    Messages sent = context_->TakeOutputs();
    QCOMPARE(sent.size(), size_t(9));
    QCOMPARE(sent[0], std::vector<int>({0, 1, 5, 2}));
    QCOMPARE(sent[1], std::vector<int>({0, 1, 0, 1}));
    QCOMPARE(sent[8], std::vector<int>({0, 1, 7, 1}));
  }

  void MatrixButton_DrivesTheCheckedSignsInOrder() {
    ClickCheck(W<QCheckBox>("ChkMatrix_3"));
    ClickCheck(W<QCheckBox>("ChkMatrix_0"));
    Click("CmdSetMatrix_12");
    QCOMPARE(context_->TakeOutputs(), Messages({{0, 1, 0, 12}, {0, 1, 3, 12}}));
    ClickCheck(W<QCheckBox>("ChkMatrix_0"));
    ClickCheck(W<QCheckBox>("ChkMatrix_3"));
    Click("CmdSetMatrix_31");
    QVERIFY(context_->TakeOutputs().empty());
  }

  void LampTest15_Sends32FramesToModule15() {
    Click("Command_LT_2");
    Messages sent = context_->TakeOutputs();
    QCOMPARE(sent.size(), size_t(32));
    for (int output = 0; output < 32; ++output) {
      QCOMPARE(sent[output], std::vector<int>({63, 10, output, 30}));
    }
  }

  void KoraButtons_UseTheirModules() {
    context_->link.ModuleAddress = 2;
    Click("CommandReset_0");
    Click("CommandReset_1");
    Click("Command_Clr_1");
    Messages sent = context_->LegacyFrames();
    QCOMPARE(sent.size(), size_t(34));
    QCOMPARE(sent[0], std::vector<int>({11, 2, 0, 0}));
    QCOMPARE(sent[1], std::vector<int>({63, 2, 0, 0}));
    QCOMPARE(sent[2], std::vector<int>({3, 8, 0, 0}));
    QCOMPARE(sent[33], std::vector<int>({3, 8, 31, 0}));
  }

  void ClearAll_WithThePortClosedSaysSoOnce() {
    context_->link.ClosePort();
    Click("Command_Clr_0");
    Click("Command_LT_0");
    QCOMPARE(context_->dialogs.Texts(), std::vector<std::string>({"Select communications port",
                                                                  "Select communications port"}));
    QVERIFY(context_->TakeOutputs().empty());
  }

  void KoraSend_SendsTheBoxesAndRefusesWhatCannotTravel() {
    SetBox("TextKoraParameter_0", "5");
    SetBox("TextKoraParameter_1", "6.5");
    SetBox("TextKoraParameter_2", "7");
    Click("CommandSendKora");
    QCOMPARE(context_->TakeOutputs(), Messages({{3, 5, 6, 7}}));
    SetBox("TextKoraParameter_2", "200");
    Click("CommandSendKora");
    QVERIFY(context_->TakeOutputs().empty());
    QCOMPARE(context_->dialogs.messages.size(), size_t(1));
  }

  void Monitor_StartsOnceShowsReportsAndStopsWhenItLosesTheFocus() {
    Click("CommandFBM_1");
    Click("CommandFBM_1");
    QVERIFY(Timer2()->isActive());
    QCOMPARE(Monitor(), QString("Start Monitoring\n"));
    context_->board.QueueReport({12, 0, 127, 3});
    WaitForPolls(2);
    QTRY_COMPARE(Monitor(), QString("Start Monitoring\n<12> <0> <127> <3> \n"));
    QCOMPARE(W<QPlainTextEdit>("textFBM")->textCursor().position(),
             W<QPlainTextEdit>("textFBM")->document()->characterCount() - 1);

    Click("CommandFBM_2");  // "Stop" takes the focus
    QVERIFY(!Timer2()->isActive());
    QCOMPARE(Monitor(), QString("Start Monitoring\n<12> <0> <127> <3> \nMonitoring Stopped\n"));
    const int polls = PollCount();
    QTest::qWait(250);
    QCOMPARE(PollCount(), polls);

    Click("CommandFBM_0");
    QCOMPARE(Monitor(), QString());
  }

  void Monitor_KeepsRunningWhileTheWindowBlocksInputForAPoll() {
    context_->block_input_during_jobs = editor_.get();
    Click("CommandFBM_1");
    WaitForPolls(3);
    QVERIFY(Timer2()->isActive());
    QVERIFY(W<QPushButton>("CommandFBM_1")->hasFocus());
    QCOMPARE(Monitor(), QString("Start Monitoring\n"));
    Click("CommandFBM_2");
    QVERIFY(!Timer2()->isActive());
    QCOMPARE(Monitor(), QString("Start Monitoring\nMonitoring Stopped\n"));
  }

  void Monitor_SkipsTicksWhileTheWorkerIsBusy() {
    Click("CommandFBM_1");
    context_->busy = true;
    QTest::qWait(300);
    QCOMPARE(PollCount(), 0);
    context_->busy = false;
    WaitForPolls(1);
  }

  void Monitor_WithThePortClosedSaysSelectCommPort() {
    context_->link.ClosePort();
    Click("CommandFBM_1");
    QCOMPARE(context_->dialogs.Texts(), std::vector<std::string>({"Select Comm-port"}));
    QVERIFY(!Timer2()->isActive());
    QCOMPARE(Monitor(), QString());
  }
};

QTEST_MAIN(TestTabTest)
#include "test_tab_test.moc"
