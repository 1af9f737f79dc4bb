// The pin configuration editor through its controls: clamp texts, composed flags, page
// defaults, the mismatch warnings, the buttons and the servo and PWM test controls.
#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <QtTest>

#include "fake_window_context.h"
#include "support/editor_harness.h"
#include "ui/edit_controls.h"
#include "ui/pin_config_editor.h"

using vela::PinRecord;
using vela::testing::ClickCheck;
using vela::testing::Messages;
using vela::testing::TypeAndClick;
using vela::ui::PinConfigEditor;

class PinConfigEditorTest : public QObject, private vela::testing::EditorHarness<PinConfigEditor> {
  Q_OBJECT

 private:
  void PickPage(int page) {
    QTabBar* bar = editor_->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
  }
  PinRecord& Pin() { return context_->config.Current(); }
  // Puts the current pin into a kind and shows it.
  void ShowPin(int pin, int type) {
    context_->config.CurrentPin = pin;
    vela::PinRecord& record = Pin();
    record.PinConfig[0] = static_cast<uint8_t>(type);
    if (type == vela::kServo) {
      record.PinConfig = {1, 64, 8, 64, 127, 58, 127, 127, 64, 0, 64, 0, 0};
      record.CurrentValue = 64;
    }
    editor_->Refresh();
  }

 private slots:
  void init() {
    Open();
    context_->on_refresh = [this] { editor_->Refresh(); };
    editor_->SetButtonsVisible(true, false);
    QVERIFY(vela::testing::ShowActive(editor_.get()));
    context_->TakeMessages();
  }

  void cleanup() { Close(); }

  void Pages_HaveTheirCaptionsAndTheButtonsTheirRules() {
    QCOMPARE(editor_->objectName(), QString("SSTabPCFG"));
    QCOMPARE(editor_->count(), 4);
    QCOMPARE(editor_->tabText(0), QString("Clear"));
    QCOMPARE(editor_->tabText(1), QString("Servo"));
    QCOMPARE(editor_->tabText(2), QString("PWM"));
    QCOMPARE(editor_->tabText(3), QString("Input"));
    QCOMPARE(editor_->currentIndex(), 0);
    QCOMPARE(W<QLabel>("LabelPCFGClear")->text(), QString("Pin is not configured"));
    QCOMPARE(W<QPushButton>("CommandPCFGGetParam_0")->text(), QString("Get Pin Config"));
    QCOMPARE(W<QPushButton>("CommandPCFGSetParam_0")->text(), QString("Set Pin Config"));
    QCOMPARE(W<QPushButton>("CommandPCFGGetParam_1")->text(), QString("Read Pin Config"));
    QCOMPARE(W<QPushButton>("CommandPCFGSetParam_1")->text(), QString("Write Pin Config"));
    QCOMPARE(W<QPushButton>("CommandPCFGSetParam_1")->toolTip(),
             QString("Writes Servo Parameters to Flash memory"));
    QVERIFY(W<QPushButton>("CommandPCFGGetParam_0")->isVisible());
    QVERIFY(!W<QPushButton>("CommandPCFGGetParam_1")->isVisible());
    editor_->SetButtonsVisible(true, true);
    QVERIFY(W<QPushButton>("CommandPCFGSetParam_1")->isVisible());
    editor_->SetButtonsVisible(false, true);
    QVERIFY(!W<QPushButton>("CommandPCFGSetParam_0")->isVisible());
    QVERIFY(!W<QPushButton>("CommandPCFGSetParam_1")->isVisible());
    QCOMPARE(W<QCheckBox>("CheckPWMSlow")->text(), QString("       Slow"));
    QCOMPARE(W<QCheckBox>("CheckSrvDynamic")->text(), QString("      Dynamic"));
    QCOMPARE(W<QLabel>("LabelInputDelay_0")->text(), QString("OFF-delay (debounce)"));
    QCOMPARE(W<QLabel>("LabelPWMOffLevel")->text(), QString("Off - Level"));
    QCOMPARE(W<QRadioButton>("OptionPWMAccelMode_0")->text(), QString("Logaritmic"));
    QCOMPARE(W<QRadioButton>("OptionServoRange_4")->text(), QString("XL"));
    QCOMPARE(W<QSlider>("SliderServo")->minimum(), -64);
    QCOMPARE(W<QSlider>("SliderPWM")->maximum(), 31);
  }

  void ServoBoxes_ClampToTheirLimitTexts() {
    ShowPin(2, vela::kServo);
    QCOMPARE(editor_->currentIndex(), 1);
    TypeAndClick(Box("TextSrvMaxSpd"), "200");
    QCOMPARE(Box("TextSrvMaxSpd")->text(), QString("127"));
    QCOMPARE(Pin().PinConfig[6], 127);
    TypeAndClick(Box("TextSrvMaxSpd"), "0");
    QCOMPARE(Box("TextSrvMaxSpd")->text(), QString("1"));
    QCOMPARE(Pin().PinConfig[6], 1);
    TypeAndClick(Box("TextBounceUp"), "5");
    QCOMPARE(Box("TextBounceUp")->text(), QString("0"));
    QCOMPARE(Pin().PinConfig[10], 64);
    TypeAndClick(Box("TextBounceUp"), "-70");
    QCOMPARE(Box("TextBounceUp")->text(), QString("-63"));
    QCOMPARE(Pin().PinConfig[10], 1);
    TypeAndClick(Box("TextMidpoint"), "-20");
    QCOMPARE(Pin().PinConfig[3], 44);
    TypeAndClick(Box("TextBounceDownFactor"), "abc");
    QCOMPARE(Box("TextBounceDownFactor")->text(), QString("abc"));
    QCOMPARE(Pin().PinConfig[9], 0);
  }

  void ServoSpins_GoPastTheBoxLimits() {
    ShowPin(2, vela::kServo);
    TypeAndClick(Box("TextSrvMaxAccel"), "1");
    Step("UpDownMaxAccel", -1);
    QCOMPARE(Box("TextSrvMaxAccel")->text(), QString("0"));
    QCOMPARE(Pin().PinConfig[7], 0);
    TypeAndClick(Box("TextBounceUp"), "-63");
    Step("UpDownBU", -1);
    QCOMPARE(Box("TextBounceUp")->text(), QString("-64"));
    QCOMPARE(Pin().PinConfig[10], 0);
    Step("UpDownMaxSpeed", 1);
    QCOMPARE(Pin().PinConfig[6], 127);  // already at its top
  }

  void RangeAndSuspend_ComposeTheServoFlags() {
    ShowPin(4, vela::kServo);
    QTest::mouseClick(W<QRadioButton>("OptionServoRange_3"), Qt::LeftButton);
    ClickCheck(W<QCheckBox>("ChkSrvSuspended"));
    QVERIFY(!W<QCheckBox>("ChkSrvAutoSuspend")->isChecked());
    QCOMPARE(Pin().PinConfig[2], 43);
    ClickCheck(W<QCheckBox>("ChkSrvAutoSuspend"));
    QCOMPARE(Pin().PinConfig[2], 43 + 16);
    // "Servo Initialised" is the board's: a click changes nothing.
    ClickCheck(W<QCheckBox>("ChkSrvInitialized"));
    QVERIFY(!W<QCheckBox>("ChkSrvInitialized")->isChecked());
    QCOMPARE(Pin().PinConfig[2], 59);
  }

  void ServoFlagsSeven_ShowsRangeOffAndIsKept() {
    ShowPin(1, vela::kServo);
    Pin().PinConfig[2] = 7;
    editor_->Refresh();
    QVERIFY(W<QRadioButton>("OptionServoRange_0")->isChecked());
    QCOMPARE(Pin().PinConfig[2], 7);  // no control changed, so nothing was composed

    Pin().PinConfig[2] = 0x40 + 0x20 + 8 + 4;  // initialised, suspended, "XL"
    editor_->Refresh();
    QVERIFY(W<QRadioButton>("OptionServoRange_4")->isChecked());
    QVERIFY(W<QCheckBox>("ChkSrvSuspended")->isChecked());
    QVERIFY(W<QCheckBox>("ChkSrvInitialized")->isChecked());
    // Range and suspend changed while filling: their rule composed the byte, without bit 6.
    QCOMPARE(Pin().PinConfig[2], 0x20 + 8 + 4);
  }

  void DriveAndAccelerationModes_ComposePwmModes() {
    ShowPin(6, vela::kPwm);
    QCOMPARE(editor_->currentIndex(), 2);
    QTest::mouseClick(W<QRadioButton>("OptionPWMDriveMode_1"), Qt::LeftButton);
    QTest::mouseClick(W<QRadioButton>("OptionPWMAccelMode_0"), Qt::LeftButton);
    QCOMPARE(Pin().PinConfig[2], 1);
    QTest::mouseClick(W<QRadioButton>("OptionPWMAccelMode_1"), Qt::LeftButton);
    QCOMPARE(Pin().PinConfig[2], 3);
    ClickCheck(W<QCheckBox>("CheckPWMInverted"));
    QCOMPARE(Pin().PinConfig[0], 3);
    TypeAndClick(Box("TextPWMOnLevel"), "40");
    QCOMPARE(Box("TextPWMOnLevel")->text(), QString("31"));
    QCOMPARE(Pin().PinConfig[5], 31);
  }

  void PickingTheOwnKindsPage_KeepsThePin() {
    QCOMPARE(editor_->currentIndex(), 0);
    Pin().PinConfig = {3, 7, 2, 11, 5, 20, 0, 0, 0, 0, 0, 0, 0};
    Pin().CurrentValue = 9;
    PinRecord before = Pin();
    PickPage(2);
    QCOMPARE(editor_->currentIndex(), 2);
    QVERIFY(Pin() == before);
    QVERIFY(W<QCheckBox>("CheckPWMInverted")->isChecked());
    QCOMPARE(Box("TextPWMAccel")->text(), QString("11"));
    QCOMPARE(W<QSlider>("SliderPWM")->value(), 9);

    PickPage(0);  // back on "Clear" (which clears the pin), then an input pin picks its page
    Pin().PinConfig = {4, 0, 0, 6, 9, 0, 0, 0, 0, 0, 0, 0, 0};
    before = Pin();
    PickPage(3);
    QVERIFY(Pin() == before);
    QVERIFY(!W<QCheckBox>("CheckInputInvert")->isChecked());
    QCOMPARE(Box("TextInputDelay_1")->text(), QString("9"));
  }

  void PickingServoOnAPwmPin_InstallsTheServoDefaults() {
    ShowPin(7, vela::kPwm);
    Pin().PinConfig[12] = 99;
    PickPage(1);
    QCOMPARE(Pin().PinConfig,
             (std::array<uint8_t, 13>{1, 64, 0, 64, 127, 58, 127, 127, 64, 0, 64, 0, 99}));
    QCOMPARE(Pin().CurrentValue, 64);
    QCOMPARE(Box("TextSrvAntiMass")->text(), QString("127"));
    QCOMPARE(Box("TextSrvFriction")->text(), QString("58"));
    QCOMPARE(Box("TextSrvInitPos")->text(), QString("0"));
    QCOMPARE(Box("TextBounceUp")->text(), QString("0"));
    QVERIFY(W<QRadioButton>("OptionServoRange_0")->isChecked());

    PickPage(0);  // "Clear" zeroes every byte but the last, and the live value
    QCOMPARE(Pin().PinConfig, (std::array<uint8_t, 13>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 99}));
    QCOMPARE(Pin().CurrentValue, 0);

    PickPage(3);
    QCOMPARE(Pin().PinConfig[0], 5);
    QVERIFY(W<QCheckBox>("CheckInputInvert")->isChecked());
    QCOMPARE(Box("TextInputDelay_0")->text(), QString("4"));
  }

  void UnknownKind_SaysSoOnceAndLeavesThePage() {
    ShowPin(3, vela::kServo);
    Pin().PinConfig[0] = 9;
    editor_->Refresh();
    QCOMPARE(context_->dialogs.Texts(), std::vector<std::string>({"Unknown configuration: 9"}));
    QCOMPARE(editor_->currentIndex(), 1);
    QCOMPARE(Pin().PinConfig[0], 9);
    editor_->Refresh();  // the window redisplays after every board job
    QCOMPARE(context_->dialogs.messages.size(), size_t(1));
  }

  void MismatchWarning_FollowsTheGroupOfThePin() {
    ShowPin(10, vela::kServo);
    QVERIFY(!W<QLabel>("LabelSrvHWCWarn")->isVisible());
    context_->config.General.HwcSink[1] = true;
    editor_->Refresh();
    QVERIFY(W<QLabel>("LabelSrvHWCWarn")->isVisible());
    QCOMPARE(W<QLabel>("LabelSrvHWCWarn")->text(),
             QString("Warning: Hardware Configuration Mismatch"));
    context_->config.General.HwcSink[1] = false;
    context_->config.General.HwcSource[2] = true;
    editor_->Refresh();
    QVERIFY(!W<QLabel>("LabelSrvHWCWarn")->isVisible());
    context_->config.General.HwcSource[1] = true;
    ShowPin(10, vela::kInput);
    QVERIFY(W<QLabel>("LabelInpHWCWarn")->isVisible());
  }

  void InitialPosition_StoresWhileTypingWithinRange() {
    ShowPin(0, vela::kServo);
    QLineEdit* box = Box("TextSrvInitPos");
    QTest::mouseClick(box, Qt::LeftButton);
    box->selectAll();
    QTest::keyClicks(box, "-6");
    QCOMPARE(Pin().PinConfig[1], 58);
    QTest::keyClicks(box, "6");  // -66: out of range, not stored while typing
    QCOMPARE(Pin().PinConfig[1], 58);
    QTest::mouseClick(box, Qt::LeftButton);
    QCOMPARE(box->text(), QString("-64"));
    QCOMPARE(Pin().PinConfig[1], 0);
    Step("UpDownIP", 1);
    QCOMPARE(Pin().PinConfig[1], 1);

    Pin().CurrentValue = 64 + 12;
    editor_->Refresh();
    QTest::mouseDClick(box, Qt::LeftButton);
    QCOMPARE(box->text(), QString("12"));
    QCOMPARE(Pin().PinConfig[1], 76);
  }

  void InitialLevel_SpinAndLabelTakeTheirValues() {
    ShowPin(5, vela::kPwm);
    Step("UpDownIL", 1);
    QCOMPARE(Pin().PinConfig[1], 1);
    Pin().CurrentValue = 17;
    editor_->Refresh();
    QTest::mouseClick(W<QLabel>("LabelPWMInitialLevel"), Qt::LeftButton);
    QCOMPARE(Box("TextPWMInitLevel")->text(), QString("17"));
    QCOMPARE(Pin().PinConfig[1], 17);
  }

  void SetPinConfig_CommitsTheOpenPageAndSendsIt() {
    ShowPin(3, vela::kServo);
    Box("TextSrvMaxSpd")->setText("300");  // typed, not yet committed
    Box("TextBounceUp")->setText("9");
    Click("CommandPCFGSetParam_0");
    QCOMPARE(Box("TextSrvMaxSpd")->text(), QString("127"));
    QCOMPARE(Box("TextBounceUp")->text(), QString("0"));
    QCOMPARE(context_->TakeMessages(),
             Messages({{0x41, 3, 1, 64, 8, 64, 127, 58, 127, 127, 64, 0, 64, 0}}));
    QCOMPARE(context_->board.Memory().pins[3].active_config.size(), size_t(12));
  }

  void GetPinConfig_ShowsWhatTheBoardHolds() {
    context_->board.Memory().pins[3].active_config = {1, 80, 43, 70, 100, 20, 90, 80, 70, 5, 60, 6};
    ShowPin(3, vela::kPlainOutput);
    Click("CommandPCFGGetParam_0");
    QCOMPARE(context_->TakeMessages(), Messages({{0x51, 3}}));
    QCOMPARE(editor_->currentIndex(), 1);
    QCOMPARE(Box("TextPosition")->text(), QString("16"));
    QCOMPARE(W<QSlider>("SliderServo")->value(), 16);
    QCOMPARE(Box("TextMidpoint")->text(), QString("6"));
    QCOMPARE(Box("TextBounceUp")->text(), QString("-4"));
    QVERIFY(W<QRadioButton>("OptionServoRange_3")->isChecked());
    QVERIFY(W<QCheckBox>("ChkSrvSuspended")->isChecked());
  }

  void ServoTest_ClampsSendsAndOnlyTheFocusedSliderSends() {
    ShowPin(8, vela::kServo);
    TypeAndClick(Box("TextPosition"), "-70");
    Click("CommandSrvLevel");
    QCOMPARE(Box("TextPosition")->text(), QString("-64"));
    QCOMPARE(W<QSlider>("SliderServo")->value(), -64);
    QCOMPARE(Pin().CurrentValue, 0);
    ClickCheck(W<QCheckBox>("CheckSrvDynamic"));
    TypeAndClick(Box("TextPosition"), "10");
    Click("CommandSrvLevel");
    Click("CommandStopSrv");
    QCOMPARE(context_->TakeOutputs(), Messages({{0, 39, 8, 0}, {0, 55, 8, 74}, {0, 39, 8, 74}}));

    QSlider* slider = W<QSlider>("SliderServo");
    slider->setValue(20);  // not the user's move: nothing is sent
    QCOMPARE(Pin().CurrentValue, 84);
    QCOMPARE(Box("TextPosition")->text(), QString("20"));
    QVERIFY(context_->TakeOutputs().empty());
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(context_->TakeOutputs(), Messages({{0, 55, 8, 64 + 21}}));
    Click("CommandStopSrv");  // the slider lost the focus to the button
    slider->setValue(0);
    QCOMPARE(context_->TakeOutputs(), Messages({{0, 39, 8, 85}}));
  }

  void PwmTest_ClampsIntoTheBoxAndSendsNothingWithThePortClosed() {
    ShowPin(9, vela::kPwm);
    TypeAndClick(Box("TextPWMLevel"), "40");
    Click("CommandPWMLevel");
    QCOMPARE(Box("TextPWMLevel")->text(), QString("31"));
    QCOMPARE(W<QSlider>("SliderPWM")->value(), 31);
    TypeAndClick(Box("TextPWMLevel"), "-3");
    ClickCheck(W<QCheckBox>("CheckPWMSlow"));
    Click("CommandPWMLevel");
    QCOMPARE(Box("TextPWMLevel")->text(), QString("0"));
    Click("CommandPWMJump");
    QCOMPARE(context_->TakeOutputs(), Messages({{0, 38, 9, 31}, {0, 54, 9, 0}, {0, 38, 9, 0}}));

    context_->link.ClosePort();
    TypeAndClick(Box("TextPWMLevel"), "12");
    Click("CommandPWMLevel");
    QSlider* slider = W<QSlider>("SliderPWM");
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(Pin().CurrentValue, 13);
    QVERIFY(context_->TakeOutputs().empty());
    QVERIFY(context_->dialogs.messages.empty());
  }
};

QTEST_MAIN(PinConfigEditorTest)
#include "pin_config_editor_test.moc"
