// The Event Control tab through its controls: clamping, rounding and colouring of the action
// fields, the pin selector, "Copy to All" and what its buttons send or queue.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "fake_window_context.h"
#include "operations/event_commands.h"
#include "support/editor_harness.h"
#include "ui/edit_controls.h"
#include "ui/event_control_tab.h"

using vela::kEventOff;
using vela::kEventOn;
using vela::testing::ClickCheck;
using vela::testing::Messages;
using vela::testing::TypeAndClick;
using vela::ui::EventControlTab;
using vela::ui::UpDown;

class EventControlTabTest : public QObject, private vela::testing::EditorHarness<EventControlTab> {
  Q_OBJECT

 private:
  QColor Background(const QString& box) { return Box(box)->palette().color(QPalette::Base); }
  QColor Normal() { return QApplication::palette(Box("TextECon_0")).color(QPalette::Base); }
  int Action(int pin, int event, int input) {
    return context_->config.Events.At(pin, event, input);
  }

 private slots:
  void init() {
    Open();
    context_->on_refresh = [this] { editor_->Refresh(); };
    QVERIFY(vela::testing::ShowActive(editor_.get()));
    context_->TakeMessages();
  }

  void cleanup() { Close(); }

  void Controls_HaveTheirCaptionsAndStartAtNoAction() {
    const std::pair<const char*, const char*> buttons[] = {
        {"CommandECReadSingle", "Read"},          {"CommandECWriteSingle", "Write"},
        {"CommandECcopy", "Copy to All"},         {"CommandECRead", "Read All Events"},
        {"CommandECWrite", "Write All Events"},   {"CommandECVerify", "Verify Event Control"},
        {"CommandECInitRead", "Read Enable Map"}, {"CommandECInitWrite", "Write Enable Map"},
    };
    for (const auto& [name, caption] : buttons) {
      QVERIFY2(W<QPushButton>(name), name);
      QCOMPARE(W<QPushButton>(name)->text(), QString(caption));
    }
    for (int i = 0; i < 4; ++i) {
      QCOMPARE(Box(QString("TextECon_%1").arg(i))->text(), QString("-1"));
      QCOMPARE(Box(QString("TextECoff_%1").arg(i))->text(), QString("-1"));
      QCOMPARE(Background(QString("TextECoff_%1").arg(i)), QColor(0xE0, 0xE0, 0xE0));
      QCOMPARE(W<QLabel>(QString("LabelECinput_%1").arg(i))->text(), QString("Input %1").arg(i));
      QCOMPARE(W<UpDown>(QString("UpDownECon_%1").arg(i))->minimum(), -1);
      QCOMPARE(W<UpDown>(QString("UpDownECoff_%1").arg(i))->maximum(), 11);
    }
    QCOMPARE(W<QCheckBox>("CheckInitEE_0")->text(), QString("InitialEvent_ON Enable "));
    QCOMPARE(W<QCheckBox>("CheckInitEE_4")->text(), QString("Initial Event_OFF Enable "));
    QVERIFY(W<QCheckBox>("CheckInitEE_7")->isChecked());
    QCOMPARE(W<QLabel>("LabelECon")->text(), QString("ON:"));
    QCOMPARE(W<QLabel>("LabelECoff")->text(), QString("OFF:"));
    QCOMPARE(Box("TextECpin")->text(), QString("1"));
  }

  void ActionField_ClampsAndColours() {
    TypeAndClick(Box("TextECon_2"), "12");
    QCOMPARE(Box("TextECon_2")->text(), QString("11"));
    QCOMPARE(Action(0, kEventOn, 2), 11);
    QCOMPARE(Background("TextECon_2"), Normal());

    TypeAndClick(Box("TextECoff_1"), "-5");
    QCOMPARE(Box("TextECoff_1")->text(), QString("-1"));
    QCOMPARE(Action(0, kEventOff, 1), -1);
    QCOMPARE(Background("TextECoff_1"), QColor(0xE0, 0xE0, 0xE0));
  }

  void ActionField_TextIsZeroAndHalvesRoundToEven() {
    TypeAndClick(Box("TextECon_0"), "abc");
    QCOMPARE(Box("TextECon_0")->text(), QString("abc"));
    QCOMPARE(Action(0, kEventOn, 0), 0);
    QCOMPARE(Background("TextECon_0"), Normal());
    TypeAndClick(Box("TextECon_1"), "2.5");
    QCOMPARE(Action(0, kEventOn, 1), 2);
    TypeAndClick(Box("TextECon_1"), "3.5");
    QCOMPARE(Action(0, kEventOn, 1), 4);
    QCOMPARE(Box("TextECon_1")->text(), QString("3.5"));
  }

  void LeavingAField_CommitsIt() {
    Box("TextECoff_3")->setFocus();
    Box("TextECoff_3")->selectAll();
    QTest::keyClicks(Box("TextECoff_3"), "25");
    QCOMPARE(Action(0, kEventOff, 3), -1);  // nothing is stored while typing
    Box("TextECon_3")->setFocus();
    QCOMPARE(Box("TextECoff_3")->text(), QString("11"));
    QCOMPARE(Action(0, kEventOff, 3), 11);
  }

  void ActionSpin_StoresAndRecolours() {
    Step("UpDownECon_3", -1);  // already at -1: nothing moves
    QCOMPARE(Box("TextECon_3")->text(), QString("-1"));
    Step("UpDownECon_3", 1);
    QCOMPARE(Box("TextECon_3")->text(), QString("0"));
    QCOMPARE(Action(0, kEventOn, 3), 0);
    QCOMPARE(Background("TextECon_3"), Normal());
    Step("UpDownECon_3", -1);
    QCOMPARE(Action(0, kEventOn, 3), -1);
    QCOMPARE(Background("TextECon_3"), QColor(0xE0, 0xE0, 0xE0));
  }

  void PinField_SnapsToTheBoardAndShowsThatPin() {
    context_->config.Events.At(31, kEventOn, 0) = 7;
    TypeAndClick(Box("TextECpin"), "0");
    QCOMPARE(Box("TextECpin")->text(), QString("1"));
    QCOMPARE(context_->config.ECSelectedPin, 0);
    TypeAndClick(Box("TextECpin"), "40");
    QCOMPARE(Box("TextECpin")->text(), QString("32"));
    QCOMPARE(context_->config.ECSelectedPin, 31);
    QCOMPARE(Box("TextECon_0")->text(), QString("7"));
    QCOMPARE(Background("TextECon_0"), Normal());
    Step("UpDownECpin", 1);  // the last pin is the spinner's limit
    QCOMPARE(context_->config.ECSelectedPin, 31);
    Step("UpDownECpin", -1);
    QCOMPARE(Box("TextECpin")->text(), QString("31"));
    QCOMPARE(context_->config.ECSelectedPin, 30);
    QCOMPARE(Box("TextECon_0")->text(), QString("-1"));
  }

  void PinField_NumberingFromZero() {
    context_->config.NumberBase = 0;
    editor_->Refresh();
    QCOMPARE(Box("TextECpin")->text(), QString("0"));
    QCOMPARE(W<UpDown>("UpDownECpin")->maximum(), 31);
    TypeAndClick(Box("TextECpin"), "32");
    QCOMPARE(Box("TextECpin")->text(), QString("31"));
    QCOMPARE(context_->config.ECSelectedPin, 31);
  }

  void CopyToAll_ThenWriteAllEventsSendsThem() {
    TypeAndClick(Box("TextECpin"), "6");
    QCOMPARE(context_->config.ECSelectedPin, 5);
    TypeAndClick(Box("TextECon_0"), "3");
    TypeAndClick(Box("TextECoff_2"), "9");
    Click("CommandECcopy");
    for (int pin = 0; pin < 32; ++pin) {
      QCOMPARE(Action(pin, kEventOn, 0), 3);
      QCOMPARE(Action(pin, kEventOn, 1), -1);
      QCOMPARE(Action(pin, kEventOff, 2), 9);
    }
    QVERIFY(context_->TakeMessages().empty());  // nothing goes to the board yet

    Click("CommandECWrite");
    QCOMPARE(context_->queued, QStringList({"ECWriteAll"}));
    context_->RunOnBoard("ECWriteAll", vela::WriteAllEvents, {});
    Messages sent = context_->TakeMessages();
    QCOMPARE(sent.size(), size_t(64));
    QCOMPARE(sent[0], std::vector<int>({100, 0, 0x03, 0x1F, 0x2F, 0x3F}));
    QCOMPARE(sent[63], std::vector<int>({101, 31, 0x0F, 0x1F, 0x29, 0x3F}));
  }

  void QueuedButtons_QueueTheirOperations() {
    Click("CommandECRead");
    QVERIFY(!W<QPushButton>("CommandECVerify")->isVisible());
    context_->config.ExpertMode = true;
    editor_->Refresh();
    QVERIFY(W<QPushButton>("CommandECVerify")->isVisible());
    Click("CommandECVerify");
    QCOMPARE(context_->queued, QStringList({"ECReadAll", "ECVerify"}));
    QVERIFY(context_->TakeMessages().empty());
  }

  void SinglePinRead_ShowsTheBoardsActions() {
    context_->board.Memory().pins[4].event_on = {2, 15, 15, 7};
    context_->board.Memory().pins[4].event_off = {15, 11, 15, 15};
    TypeAndClick(Box("TextECpin"), "5");
    Click("CommandECReadSingle");
    QCOMPARE(context_->TakeMessages(), Messages({{116, 4}, {117, 4}}));
    QCOMPARE(Box("TextECon_0")->text(), QString("2"));
    QCOMPARE(Box("TextECon_1")->text(), QString("-1"));
    QCOMPARE(Background("TextECon_1"), QColor(0xE0, 0xE0, 0xE0));
    QCOMPARE(Box("TextECon_3")->text(), QString("7"));
    QCOMPARE(Box("TextECoff_1")->text(), QString("11"));
    QCOMPARE(Background("TextECoff_1"), Normal());

    TypeAndClick(Box("TextECoff_0"), "4");
    Click("CommandECWriteSingle");
    QCOMPARE(context_->TakeMessages(),
             Messages({{100, 4, 0x02, 0x1F, 0x2F, 0x37}, {101, 4, 0x04, 0x1B, 0x2F, 0x3F}}));
  }

  void EnableMap_BoxesAreWhatTheWriteSends() {
    ClickCheck(W<QCheckBox>("CheckInitEE_1"));
    ClickCheck(W<QCheckBox>("CheckInitEE_5"));
    QVERIFY(!context_->config.General.InitEE[1]);
    Click("CommandECInitWrite");
    QCOMPARE(context_->TakeMessages(), Messages({{96, 11, 0x02, 0x02}}));

    context_->board.Memory().event_disable = {0x09, 0x00};
    Click("CommandECInitRead");
    QVERIFY(!W<QCheckBox>("CheckInitEE_0")->isChecked());
    QVERIFY(W<QCheckBox>("CheckInitEE_1")->isChecked());
    QVERIFY(!W<QCheckBox>("CheckInitEE_3")->isChecked());
    QVERIFY(W<QCheckBox>("CheckInitEE_5")->isChecked());
  }
};

QTEST_MAIN(EventControlTabTest)
#include "event_control_tab_test.moc"
