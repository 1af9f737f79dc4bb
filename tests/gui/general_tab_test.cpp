// The General tab through its controls: box limits, the serial addressing visibility, the LED
// rows, the Kora warning and what the group buttons send.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "fake_window_context.h"
#include "support/editor_harness.h"
#include "ui/edit_controls.h"
#include "ui/general_tab.h"

using vela::Answer;
using vela::CheckState;
using vela::testing::ClickCheck;
using vela::testing::Messages;
using vela::testing::TypeAndClick;
using vela::ui::GeneralTab;
using vela::ui::UpDown;

class GeneralTabTest : public QObject, private vela::testing::EditorHarness<GeneralTab> {
  Q_OBJECT

 private slots:
  void init() {
    Open();
    context_->on_refresh = [this] { editor_->Refresh(); };
    QVERIFY(vela::testing::ShowActive(editor_.get()));
    context_->TakeMessages();
  }

  void cleanup() { Close(); }

  void EveryFrameAndButton_HasItsCaption() {
    const char* const frames[6] = {
        "ID String",       "DCC",        "Serial Addressing Options", "LED Control",
        "Hardware Config", "Serial Port"};
    for (int i = 0; i < 6; ++i) {
      auto* frame = W<QGroupBox>(QString("FrameGen_%1").arg(i));
      QVERIFY(frame);
      QCOMPARE(frame->title(), QString(frames[i]));
    }
    const std::pair<const char*, const char*> buttons[] = {
        {"CommandGenIDRead", "Read String"},       {"CommandGenIDWrite", "Write String"},
        {"CommandGenDCCRead", "Read Settings"},    {"CommandGenDCCWrite", "Write Settings"},
        {"CommandGenAddrRead", "Read Settings"},   {"CommandGenAddrWrite", "Write Settings"},
        {"CommandLCRead", "Read Settings"},        {"CommandLCWrite", "Write Settings"},
        {"CommandGenHWCRead", "Read Config"},      {"CommandGenHWCWrite", "Write Config"},
        {"CommandGenSerialRead", "Read Settings"}, {"CommandGenSerialWrite", "Write Settings"},
        {"CommandGenEraseFlash", "Erase Flash"},   {"CommandGenVersion", "Request Version"},
    };
    for (const auto& [name, caption] : buttons) {
      QPushButton* button = W<QPushButton>(name);
      QVERIFY2(button, name);
      QCOMPARE(button->text(), QString(caption));
    }
    QCOMPARE(W<QLabel>("LabelGenDCCOutput")->text(), QString("Output 1 .. 32"));
    QCOMPARE(W<QLabel>("LabelGenVersionString")->text(), QString("Unknown"));
    QCOMPARE(W<QLabel>("LabelGenHWCPin")->text(),
             QString("Pin       1..8         9..16      17..24       25..32"));
    QVERIFY(W<QRadioButton>("OptGenDCC_PRP_2")->isChecked());
    QCOMPARE(W<QRadioButton>("OptGenDCC_PRP_0")->text(), QString("62.5ms"));
    QVERIFY(W<QRadioButton>("OptionGenSerialParity_0")->isChecked());
    QCOMPARE(W<QRadioButton>("OptionGenSerialParity_3")->text(), QString("Odd"));
    QCOMPARE(W<QComboBox>("ComboGenBaud")->count(), 8);
    QCOMPARE(W<QComboBox>("ComboGenBaud")->itemText(7), QString("115200"));
    QCOMPARE(Check("CheckLCOrange_7")->text(), QString("All Received Datagrams"));
    QCOMPARE(Check("CheckLCGreen_7")->checkState(), Qt::PartiallyChecked);
    QCOMPARE(Check("CheckGenKRaddr")->text(), QString("Kora Flex-Addresss"));
  }

  void DccAddress_ClampsAndMovesTheRangeLabel() {
    TypeAndClick(Box("TextGenDCCAddress"), "0");
    QCOMPARE(Box("TextGenDCCAddress")->text(), QString("1"));
    QCOMPARE(context_->config.General.DccAddress, 1);

    TypeAndClick(Box("TextGenDCCAddress"), "600");
    QCOMPARE(Box("TextGenDCCAddress")->text(), QString("510"));
    QCOMPARE(W<QLabel>("LabelGenDCCOutput")->text(), QString("Output 2037 .. OVFLOW"));
    QCOMPARE(W<QLabel>("LabelGenDCCOutput")->palette().color(QPalette::WindowText),
             QColor(Qt::red));

    TypeAndClick(Box("TextGenDCCAddress"), "503");
    QCOMPARE(W<QLabel>("LabelGenDCCOutput")->text(), QString("Output 2009 .. 2040"));
    QVERIFY(W<QLabel>("LabelGenDCCOutput")->palette().color(QPalette::WindowText) !=
            QColor(Qt::red));
    QVERIFY(context_->refresh_address_displays > 0);

    TypeAndClick(Box("TextGenXDCCAddress"), "5000");
    QCOMPARE(Box("TextGenXDCCAddress")->text(), QString("2046"));
    QCOMPARE(context_->config.General.XDccAddress, 2046);
  }

  void AllowAddress0_LetsTheAddressReachZero() {
    context_->config.NumberBase = 0;
    editor_->Refresh();
    ClickCheck(Check("ChkGenDCCAllow0"));
    QVERIFY(context_->config.General.AllowAddress0);
    TypeAndClick(Box("TextGenDCCAddress"), "0");
    QCOMPARE(Box("TextGenDCCAddress")->text(), QString("0"));
    QCOMPARE(context_->config.General.DccAddress, 0);
    QCOMPARE(W<QLabel>("LabelGenDCCOutput")->text(), QString("Output 0 .. 31"));
    // Unchecking it runs both address handlers, which lift the 0 back to 1.
    ClickCheck(Check("ChkGenDCCAllow0"));
    QCOMPARE(Box("TextGenDCCAddress")->text(), QString("1"));
    QCOMPARE(context_->config.General.DccAddress, 1);
  }

  void DccSpinner_StepsAndRunsTheBoxHandler() {
    Step("UpDownGenDCCAddress", 1);
    QCOMPARE(Box("TextGenDCCAddress")->text(), QString("2"));
    QCOMPARE(context_->config.General.DccAddress, 2);
    Step("UpDownGenDCCAddress", -1);
    Step("UpDownGenDCCAddress", -1);
    // The spinner may reach 0; the box's handler lifts it to 1 without "Allow Address 0".
    QCOMPARE(Box("TextGenDCCAddress")->text(), QString("1"));
    QCOMPARE(context_->config.General.DccAddress, 1);
  }

  void KoraWarning_CancelLeavesItUncheckedAndHidden() {
    context_->dialogs.answers = {Answer::kCancel};
    ClickCheck(Check("CheckGenKRaddr"));
    QCOMPARE(context_->dialogs.questions.size(), size_t(1));
    QCOMPARE(QString::fromStdString(context_->dialogs.questions[0].text),
             QString("Kora Flexible Addressing is a complex concept !!\r\n"
                     "It should only be activated by experienced users\r\n"
                     "that understand the details very well !"));
    QVERIFY(!Check("CheckGenKRaddr")->isChecked());
    QVERIFY(!context_->config.General.KRaddr);
    QVERIFY(!Box("TextGenKRaddr")->isVisible());
    QVERIFY(!W<QLabel>("LabelGenXA_4")->isVisible());
    QVERIFY(Check("CheckGenVLNative")->isVisible());
  }

  void KoraBase_SnapsToMultiplesOfFour() {
    context_->dialogs.answers = {Answer::kOk};
    ClickCheck(Check("CheckGenKRaddr"));
    QVERIFY(context_->config.General.KRaddr);
    QVERIFY(Box("TextGenKRaddr")->isVisible());
    QVERIFY(W<UpDown>("UpDownGenKRaddr")->isVisible());
    QVERIFY(!Check("CheckGenVLNative")->isVisible());

    TypeAndClick(Box("TextGenKRaddr"), "13");
    QCOMPARE(context_->config.General.KoraFlexAddress, 3);
    QCOMPARE(Box("TextGenKRaddr")->text(), QString("13"));
    TypeAndClick(Box("TextGenKRaddr"), "14");
    QCOMPARE(context_->config.General.KoraFlexAddress, 3);
    QCOMPARE(Box("TextGenKRaddr")->text(), QString("13"));

    Step("UpDownGenKRaddr", 1);
    QCOMPARE(context_->config.General.KoraFlexAddress, 4);
    QCOMPARE(Box("TextGenKRaddr")->text(), QString("17"));
    TypeAndClick(Box("TextGenKRaddr"), "1");
    Step("UpDownGenKRaddr", -1);
    QCOMPARE(context_->config.General.KoraFlexAddress, 0);
    QCOMPARE(Box("TextGenKRaddr")->text(), QString("1"));
  }

  void EnforcedExtendedAddress_HidesTheRestOfTheFrame() {
    auto* frame = W<QGroupBox>("FrameGen_2");
    ClickCheck(Check("CheckGenForceXA"));
    QVERIFY(context_->config.General.ForceXA);
    QStringList visible;
    for (QWidget* child : frame->findChildren<QWidget*>()) {
      if (child->isVisible() && !child->objectName().isEmpty() && child->objectName() != "up" &&
          child->objectName() != "down") {
        visible << child->objectName();
      }
    }
    visible.sort();
    QCOMPARE(visible,
             QStringList({"CheckGenForceXA", "CommandGenAddrRead", "CommandGenAddrWrite"}));

    ClickCheck(Check("CheckGenForceXA"));
    QVERIFY(Check("CheckGenVLNative")->isVisible());
    QVERIFY(Check("CheckGenKRaddr")->isVisible());
    QVERIFY(Check("CheckGenXGM_15")->isVisible());
    QVERIFY(Box("TextGenXaddr")->isVisible());
    QVERIFY(!Box("TextGenKRaddr")->isVisible());
  }

  void NativeMode_HidesKoraFlexAddressing() {
    ClickCheck(Check("CheckGenVLNative"));
    QVERIFY(context_->config.General.VLNative);
    QVERIFY(!Check("CheckGenKRaddr")->isVisible());
    QVERIFY(context_->refresh_pin > 0);
    ClickCheck(Check("CheckGenVLNative"));
    QVERIFY(Check("CheckGenKRaddr")->isVisible());
  }

  void ModuleExtendedAddress_Clamps() {
    TypeAndClick(Box("TextGenXaddr"), "100");
    QCOMPARE(Box("TextGenXaddr")->text(), QString("96"));
    QCOMPARE(context_->config.General.GenXAddress, 95);
    Step("UpDownGenXaddr", 1);  // the spinner stops at its own limit
    QCOMPARE(Box("TextGenXaddr")->text(), QString("96"));
    Step("UpDownGenXaddr", -1);
    QCOMPARE(context_->config.General.GenXAddress, 94);
  }

  void LedRows_BoxSevenGrayedExactlyWhenNothingSelected() {
    ClickCheck(Check("CheckLCGreen_2"));
    QCOMPARE(Check("CheckLCGreen_2")->checkState(), Qt::Checked);
    QCOMPARE(Check("CheckLCGreen_7")->checkState(), Qt::Unchecked);
    QCOMPARE(context_->config.General.LedGreen[7], CheckState::kUnchecked);
    // Unchecking the only checked box grays "Idle Flash".
    ClickCheck(Check("CheckLCGreen_2"));
    QCOMPARE(Check("CheckLCGreen_7")->checkState(), Qt::PartiallyChecked);

    ClickCheck(Check("CheckLCGreen_0"));
    ClickCheck(Check("CheckLCGreen_5"));
    // Checking "Idle Flash" clears the seven functions and grays it.
    ClickCheck(Check("CheckLCGreen_7"));
    for (int k = 0; k < 7; ++k) {
      QCOMPARE(Check(QString("CheckLCGreen_%1").arg(k))->checkState(), Qt::Unchecked);
    }
    QCOMPARE(Check("CheckLCGreen_7")->checkState(), Qt::PartiallyChecked);
    QCOMPARE(context_->config.General.LedGreen[7], CheckState::kGrayed);

    ClickCheck(Check("CheckLCOrange_3"));
    Click("CommandLCWrite");
    QCOMPARE(context_->TakeMessages(), Messages({{96, 6, 0}, {96, 7, 8}}));
  }

  void HardwareBoxes_StoreAndAskForThePinConfiguration() {
    ClickCheck(Check("ChkGenHWCSource_1"));
    QVERIFY(context_->config.General.HwcSource[1]);
    QCOMPARE(context_->refresh_pin_config, 1);
    ClickCheck(Check("ChkGenHWCSink_3"));
    Click("CommandGenHWCWrite");
    QCOMPARE(context_->TakeMessages(), Messages({{96, 1, 0, 2, 0, 1}}));
  }

  void SerialPortControls_AreWhatTheWriteSends() {
    ClickCheck(Check("CheckGenSerialEnable"));
    auto* baud = W<QComboBox>("ComboGenBaud");
    baud->setFocus();
    QTest::keyClick(baud, Qt::Key_Down);  // 14400
    QCOMPARE(context_->config.General.BaudIndex, 1);
    QTest::mouseClick(W<QRadioButton>("OptionGenSerialParity_2"), Qt::LeftButton);
    QTest::mouseClick(W<QRadioButton>("OptionGenSerialDatabits_1"), Qt::LeftButton);
    QTest::mouseClick(W<QRadioButton>("OptionGenSerialStop_1"), Qt::LeftButton);
    Click("CommandGenSerialWrite");
    QCOMPARE(context_->TakeMessages(), Messages({{96, 13, 1, 1 + 8 + 32 + 64}}));
  }

  void DccWrite_SendsOptionsAndBothAddresses() {
    QTest::mouseClick(W<QRadioButton>("OptGenDCC_PRP_3"), Qt::LeftButton);
    ClickCheck(Check("ChkGenDCC_BPSI"));
    TypeAndClick(Box("TextGenDCCAddress"), "510");
    TypeAndClick(Box("TextGenXDCCAddress"), "65");
    Click("CommandGenDCCWrite");
    QCOMPARE(context_->TakeMessages(), Messages({{96, 5, 3 + 4}, {96, 4, 62, 7}, {96, 12, 1, 1}}));
  }

  void AddressRead_ShowsFlexibleBaseWithoutTheWarning() {
    context_->board.Memory().serial_addressing = {1, 40};
    context_->board.Memory().xaddress = 127;
    Click("CommandGenAddrRead");
    QVERIFY(context_->dialogs.questions.empty());
    QVERIFY(Check("CheckGenKRaddr")->isChecked());
    QVERIFY(Check("CheckGenForceXA")->isChecked());
    QCOMPARE(Box("TextGenKRaddr")->text(), QString("161"));
    // Enforced extended addressing hides the base even with flexible addressing on.
    QVERIFY(!Box("TextGenKRaddr")->isVisible());
    ClickCheck(Check("CheckGenForceXA"));
    QVERIFY(Box("TextGenKRaddr")->isVisible());
  }

  void IdStringAndGroupMask_AreSentAsTyped() {
    auto* id = Box("TextGenIDString");
    id->setFocus();
    QTest::keyClicks(id, "Yard East");
    Click("CommandGenIDWrite");
    ClickCheck(Check("CheckGenXGM_5"));
    Click("CommandGenAddrWrite");
    Messages sent = context_->TakeMessages();
    QCOMPARE(sent.size(), size_t(4));
    QCOMPARE(sent[0], std::vector<int>({96, 10, 'Y', 'a', 'r', 'd', ' ', 'E', 'a', 's', 't'}));
    QCOMPARE(sent[1], std::vector<int>({96, 8, 0, 0}));
    QCOMPARE(sent[2], std::vector<int>({96, 3, 0, 2, 0, 0}));
    QCOMPARE(sent[3], std::vector<int>({96, 2, 0}));
  }

  void VersionAndErase_GoThroughTheBoard() {
    Click("CommandGenVersion");
    QCOMPARE(W<QLabel>("LabelGenVersionString")->text(), QString("3.2.2.0"));

    context_->dialogs.answers = {Answer::kOk, Answer::kOk};
    Click("CommandGenEraseFlash");
    QCOMPARE(context_->board.Memory().erase_count, 0);
    context_->dialogs.answers = {Answer::kOk, Answer::kCancel};
    Click("CommandGenEraseFlash");
    QCOMPARE(context_->board.Memory().erase_count, 1);
    QCOMPARE(context_->jobs.count("Erase Flash"), 2);
  }

  void NumberingFromZero_ShowsTheRawNumbers() {
    context_->config.NumberBase = 0;
    context_->config.General.GenXAddress = 7;
    context_->config.General.KoraFlexAddress = 2;
    editor_->Refresh();
    QCOMPARE(Box("TextGenXaddr")->text(), QString("7"));
    QCOMPARE(Box("TextGenKRaddr")->text(), QString("8"));
    QCOMPARE(W<QLabel>("LabelGenHWCPin")->text(),
             QString("Pin       0..7         8..15      16..23       24..31"));
  }
};

QTEST_MAIN(GeneralTabTest)
#include "general_tab_test.moc"
