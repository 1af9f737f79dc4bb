// The aspect program editor of the "Vela Device Configuration" tab, driven through its boxes:
// the pin and aspect selectors, the step rows and the rules of the instruction set behind
// them, the aspect modes, the address counts, the device fields and the board buttons.
#include <QClipboard>
#include <QFile>
#include <QTemporaryDir>

#include "device_tab_fixture.h"
#include "model/instruction_set.h"
#include "ui/edit_controls.h"

using vela::testing::DeviceTabFixture;
using vela::testing::WindowUnderTest;

namespace vela {
namespace {

QString Row(const char* name, int row) {
  return QString("%1_%2").arg(name).arg(row);
}

// The device tab, with the step rows and boxes of the current pin at hand.
struct EditorFixture : DeviceTabFixture {
  void FourAspects() { w.Click("OptionPAspConf_1"); }
  void Instruction(int row, const char* name) { w.Choose(Row("ComboPAspInst", row), name); }
  StepRecord& Step(int row) {
    BoardConfig& c = w.config();
    return c.Current().Aspects[c.CurrentAspect].Steps[row];
  }
  bool Greyed(const QString& name) {
    auto* box = w.Find<QLineEdit>(name);
    return box->palette().color(QPalette::Base) == box->palette().color(QPalette::Button);
  }
};

}  // namespace

class AspectEditorTest : public QObject {
  Q_OBJECT

 private slots:
  void PinBox_ClampsToTheShownRangeAndSelects();
  void Par0_RelativeOffsets_OnPins5And30();
  void Par0_Accel_MinusOneStoredAs127();
  void Par0_MXpulse_IsAnAbsolutePin();
  void Par1_ServoAndCloneValuesTyped_StoredAsTheirOffsets();
  void Par2_300Typed_ClampedToEachInstructionsLimit();
  void Par3_ClampedAndUnusedBoxesGreyedAndZero();
  void StepTimeLabel_TimeAndBaseTyped_ShowsTheirDuration();
  void Headings_FollowTheRowShownLast();
  void AspectModes_SwitchingKeepsStepData();
  void AspectModeZero_HidesAspectAndSteps();
  void InstructionMissingFromTheList_ShowsAsEmpty();
  void AspectSpinner_CommitsTheRowsIntoTheAspectBeingLeft();
  void PinSpinner_CommitsPendingEditsForThePinBeingLeft();
  void AddressCounts_TypedPastTheirLimits_ClampedAndShownWithDetails();
  void ShowDetails_ShowsTheConfigurationEditorAndDetailButtons();
  void Descriptions_StoredOnEveryChange();
  void DeviceFields_ReferralShownAndEditable();
  void LoadDevice_NearTheLastPin_WrapsToPinZeroAndShowsTheHead();
  void ReloadDevices_ShiftAppends_SaveDeviceWritesAFile();
  void HelpToolMissing_SaysSo();
  void WriteSingle_SendsTheStepsOfTheCurrentAspect();
  void TestButton_ModifiersChooseTheCommand();
};

void AspectEditorTest::PinBox_ClampsToTheShownRangeAndSelects() {
  EditorFixture f;
  f.w.Type("TextPAspOutput", "0");
  QCOMPARE(f.w.Text("TextPAspOutput"), QString("1"));
  QCOMPARE(f.w.config().CurrentPin, 0);
  f.w.Type("TextPAspOutput", "40");
  QCOMPARE(f.w.Text("TextPAspOutput"), QString("32"));
  QCOMPARE(f.w.config().CurrentPin, 31);
  f.w.Type("TextPAspOutput", "abc");
  QCOMPARE(f.w.Text("TextPAspOutput"), QString("1"));
  QCOMPARE(f.w.config().CurrentPin, 0);
  f.w.Type("TextPAspOutput", "7");
  QCOMPARE(f.w.config().CurrentPin, 6);
  WindowUnderTest::Shot(&f.w.window(), "device_tab");
}

void AspectEditorTest::Par0_RelativeOffsets_OnPins5And30() {
  EditorFixture f;
  f.SelectPin(5);
  f.FourAspects();
  f.Instruction(0, "Off");
  f.w.Type("TextPAspOffset_0", "-5");
  QCOMPARE(f.Step(0).Par0, 27);
  QCOMPARE(f.w.Text("TextPAspOffset_0"), QString("-5"));
  f.w.Type("TextPAspOffset_0", "-6");
  QCOMPARE(f.w.Text("TextPAspOffset_0"), QString("-5"));
  QCOMPARE(f.Step(0).Par0, 27);
  f.w.Type("TextPAspOffset_0", "27");
  QCOMPARE(f.w.Text("TextPAspOffset_0"), QString("26"));

  f.SelectPin(30);
  f.FourAspects();
  f.Instruction(0, "On");
  f.w.Type("TextPAspOffset_0", "1");
  QCOMPARE(f.Step(0).Par0, 1);
  QCOMPARE(f.w.Text("TextPAspOffset_0"), QString("1"));
  f.w.Type("TextPAspOffset_0", "2");
  QCOMPARE(f.w.Text("TextPAspOffset_0"), QString("1"));
  f.Step(1) = StepRecord{8, 0, 31, 0, 0, 0};
  f.w.window().PinChanged();
  QCOMPARE(f.w.Text("TextPAspOffset_1"), QString("-1"));
}

void AspectEditorTest::Par0_Accel_MinusOneStoredAs127() {
  EditorFixture f;
  f.FourAspects();
  f.Instruction(2, "SetLevel & Wait");
  QCOMPARE(f.w.Text("LabelPAspOffset"), QString("Accel"));
  f.w.Type("TextPAspOffset_2", "-1");
  QCOMPARE(f.Step(2).Par0, 127);
  f.w.window().PinChanged();
  QCOMPARE(f.w.Text("TextPAspOffset_2"), QString("-1"));
  f.w.Type("TextPAspOffset_2", "-3");
  QCOMPARE(f.w.Text("TextPAspOffset_2"), QString("-1"));
  QCOMPARE(f.Step(2).Par0, 127);
  f.w.Type("TextPAspOffset_2", "40");
  QCOMPARE(f.w.Text("TextPAspOffset_2"), QString("31"));
  QCOMPARE(f.Step(2).Par0, 31);
}

void AspectEditorTest::Par0_MXpulse_IsAnAbsolutePin() {
  EditorFixture f;
  f.SelectPin(9);
  f.FourAspects();
  f.Instruction(0, "MXpulse");
  QCOMPARE(f.w.Text("LabelPAspOffset"), QString("MXpin"));
  f.w.Type("TextPAspOffset_0", "0");
  QCOMPARE(f.w.Text("TextPAspOffset_0"), QString("1"));
  QCOMPARE(f.Step(0).Par0, 0);
  f.w.Type("TextPAspOffset_0", "32");
  QCOMPARE(f.Step(0).Par0, 31);
  f.w.Type("TextPAspOffset_0", "33");
  QCOMPARE(f.w.Text("TextPAspOffset_0"), QString("32"));
}

void AspectEditorTest::Par1_ServoAndCloneValuesTyped_StoredAsTheirOffsets() {
  EditorFixture f;
  f.FourAspects();
  f.Instruction(0, "Set Servo");
  f.w.Type("TextPAspPar1_0", "-64");
  QCOMPARE(f.Step(0).Par1, 0);
  f.w.Type("TextPAspPar1_0", "100");
  QCOMPARE(f.w.Text("TextPAspPar1_0"), QString("63"));
  QCOMPARE(f.Step(0).Par1, 127);
  f.Instruction(1, "Clone");
  f.w.Type("TextPAspPar1_1", "0");
  QCOMPARE(f.w.Text("TextPAspPar1_1"), QString("1"));
  QCOMPARE(f.Step(1).Par1, 0);
  f.w.Type("TextPAspPar1_1", "32");
  QCOMPARE(f.Step(1).Par1, 31);
}

void AspectEditorTest::Par2_300Typed_ClampedToEachInstructionsLimit() {
  EditorFixture f;
  f.FourAspects();
  const std::vector<std::pair<const char*, const char*>> limits = {{"Jump", "8"},
                                                                   {"SendSPI", "255"},
                                                                   {"MXpulse", "31"},
                                                                   {"SetAspect 3", "63"},
                                                                   {"SendSerial 2", "255"}};
  int row = 0;
  for (const auto& [instruction, limit] : limits) {
    f.Instruction(row, instruction);
    f.w.Type(Row("TextPAspPar2", row), "300");
    QCOMPARE(f.w.Text(Row("TextPAspPar2", row)), QString(limit));
    QCOMPARE(int{f.Step(row).Par2}, QString(limit).toInt());
    ++row;
  }
}

void AspectEditorTest::Par3_ClampedAndUnusedBoxesGreyedAndZero() {
  EditorFixture f;
  f.FourAspects();
  f.Instruction(0, "Wait");
  f.w.Type("TextPAspPar3_0", "9");
  QCOMPARE(f.w.Text("TextPAspPar3_0"), QString("3"));
  QCOMPARE(f.Step(0).Par3, 3);
  QVERIFY(!f.Greyed("TextPAspPar3_0"));
  QVERIFY(f.Greyed("TextPAspOffset_0"));
  QVERIFY(f.Greyed("TextPAspPar1_0"));
  f.Step(1) = StepRecord{8, 1, 4, 5, 6, 2};
  f.w.window().PinChanged();
  QCOMPARE(f.w.Text("TextPAspPar3_1"), QString("0"));
  QCOMPARE(f.w.Text("TextPAspPar2_1"), QString("0"));
  QVERIFY(f.Greyed("TextPAspPar3_1"));
  QVERIFY(!f.Greyed("TextPAspPar1_1"));
  QCOMPARE(f.Step(1), (StepRecord{8, 1, 4, 5, 0, 0}));
  // Typing into a greyed box stores nothing.
  f.w.Type("TextPAspPar3_1", "2");
  QCOMPARE(f.Step(1).Par3, 0);
  QCOMPARE(f.w.Text("TextPAspPar3_1"), QString("0"));
  // An instruction without fade hides and clears the fade box.
  f.Instruction(1, "Wait");
  QVERIFY(!f.w.Shown("CheckPAspFade_1"));
  QCOMPARE(f.Step(1).Fade, 0);
  f.Instruction(1, "Off");
  QVERIFY(f.w.Shown("CheckPAspFade_1"));
  f.w.Click("CheckPAspFade_1");
  QCOMPARE(f.Step(1).Fade, 1);
}

void AspectEditorTest::StepTimeLabel_TimeAndBaseTyped_ShowsTheirDuration() {
  EditorFixture f;
  f.FourAspects();
  f.Instruction(0, "SetAspect 0");
  f.w.Type("TextPAspPar2_0", "50");
  f.w.Type("TextPAspPar3_0", "1");
  QCOMPARE(f.w.Text("LabelPAspTime_0"), QString("00:08.00"));
  f.w.Type("TextPAspPar2_0", "63");
  f.w.Type("TextPAspPar3_0", "3");
  QCOMPARE(f.w.Text("LabelPAspTime_0"), QString("10:45.12"));
  f.Instruction(1, "MXpulse");  // code 18: no time
  f.w.Type("TextPAspPar2_1", "25");
  QCOMPARE(f.w.Text("LabelPAspTime_1"), QString("00:00.00"));
  // Values no box would take still show: 255 x 8^3 ticks.
  f.Step(2) = StepRecord{102, 0, 0, 0, 255, 3};
  f.w.window().PinChanged();
  QCOMPARE(f.w.Text("LabelPAspTime_2"), QString(QString::fromStdString(TicksText(255 * 512))));
}

void AspectEditorTest::Headings_FollowTheRowShownLast() {
  EditorFixture f;
  f.FourAspects();
  f.Instruction(4, "SetServo & Wait");
  QCOMPARE(f.w.Text("LabelPAspOffset"), QString(""));
  QCOMPARE(f.w.Text("LabelPAspHParam1"), QString("Pos"));
  QCOMPARE(f.w.Text("LabelPASpHParam2"), QString("Time"));
  QCOMPARE(f.w.Text("LabelPAspHParam3"), QString("Base"));
  QCOMPARE(f.w.Text("LabelPAspHFade"), QString(""));
  f.Instruction(0, "Blink alt");
  QCOMPARE(f.w.Text("LabelPAspOffset"), QString("P.O."));
  QCOMPARE(f.w.Text("LabelPAspHParam1"), QString("T(/60)"));
  QCOMPARE(f.w.Text("LabelPAspHFade"), QString("Fade"));
}

void AspectEditorTest::AspectModes_SwitchingKeepsStepData() {
  EditorFixture f;
  f.FourAspects();
  for (int r = 0; r < 9; ++r) QVERIFY(f.w.Shown(Row("ComboPAspInst", r)));
  f.Instruction(6, "Wait");
  f.w.Type("TextPAspPar2_6", "12");
  QCOMPARE(f.w.Find<ui::UpDown>("UpDownPAspAspect")->maximum(), 3);
  f.w.Click("OptionPAspConf_2");
  QCOMPARE(f.w.config().Current().AspectMode, 2);
  for (int r = 3; r < 9; ++r) QVERIFY(!f.w.Shown(Row("ComboPAspInst", r)));
  QVERIFY(f.w.Shown("ComboPAspInst_2"));
  QCOMPARE(f.Step(6), (StepRecord{102, 0, 0, 0, 12, 0}));
  QCOMPARE(f.w.Find<ui::UpDown>("UpDownPAspAspect")->maximum(), 11);
  f.w.Type("TextPAspAspect", "7");
  QCOMPARE(f.w.config().CurrentAspect, 7);
  f.w.Type("TextPAspInit", "9");
  QCOMPARE(f.w.config().Current().InitialAspect, 10);
  f.w.Type("TextPAspAspect", "12");
  QCOMPARE(f.w.Text("TextPAspAspect"), QString("11"));
  f.w.Type("TextPAspAspect", "7");
  f.FourAspects();
  QCOMPARE(f.w.Text("TextPAspAspect"), QString("3"));
  QCOMPARE(f.w.Text("TextPAspInit"), QString("-1"));
  QCOMPARE(f.w.config().Current().AspectMode, 3);
  // The box texts changed; the stored values follow at the boxes' next commit.
  QCOMPARE(f.w.config().Current().InitialAspect, 10);
  f.w.Type("TextPAspInit", "-1");
  QCOMPARE(f.w.config().Current().InitialAspect, 0);
  f.w.Type("TextPAspAspect", "0");
  QCOMPARE(f.Step(6), (StepRecord{102, 0, 0, 0, 12, 0}));
  QCOMPARE(f.w.Text("TextPAspPar2_6"), QString("12"));
  f.w.Type("TextPAspInit", "-5");
  QCOMPARE(f.w.Text("TextPAspInit"), QString("-1"));
  f.w.Type("TextPAspInit", "5");
  QCOMPARE(f.w.Text("TextPAspInit"), QString("3"));
  QCOMPARE(f.w.config().Current().InitialAspect, 4);
}

void AspectEditorTest::AspectModeZero_HidesAspectAndSteps() {
  EditorFixture f;
  f.FourAspects();
  f.w.Click("OptionPAspConf_0");
  QCOMPARE(f.w.config().Current().AspectMode, 0);
  for (const char* name :
       {"LabelPAspAspect", "TextPAspAspect", "UpDownPAspAspect", "LabelPAspInit", "TextPAspInit",
        "UpDownPAspInit", "TextPAspAspDesc", "CommandPAspTestAspect"}) {
    QVERIFY2(!f.w.Shown(name), name);
  }
  for (int r = 0; r < 9; ++r) {
    QVERIFY(!f.w.Shown(Row("TextPAspPar1", r)));
    QVERIFY(!f.w.Shown(Row("LabelPAspStep", r)));
  }
  // A stored mode the options do not know shows as "0" and is stored back as 0.
  f.w.config().Current().AspectMode = 1;
  f.w.window().PinChanged();
  QVERIFY(f.w.Find<QRadioButton>("OptionPAspConf_0")->isChecked());
  QCOMPARE(f.w.config().Current().AspectMode, 0);
}

void AspectEditorTest::InstructionMissingFromTheList_ShowsAsEmpty() {
  EditorFixture f;
  f.FourAspects();
  f.Step(3) = StepRecord{19, 0, 1, 2, 3, 1};
  f.w.window().PinChanged();
  QCOMPARE(f.w.Find<QComboBox>("ComboPAspInst_3")->currentText(), QString("-"));
  QCOMPARE(f.Step(3), StepRecord{});
}

void AspectEditorTest::AspectSpinner_CommitsTheRowsIntoTheAspectBeingLeft() {
  EditorFixture f;
  f.FourAspects();
  f.Instruction(0, "Wait");
  auto* box = f.w.Find<QLineEdit>("TextPAspPar2_0");
  box->setText("33");  // typed, not yet committed
  f.w.Find<ui::UpDown>("UpDownPAspAspect")->StepBy(1);
  QCOMPARE(f.w.config().CurrentAspect, 1);
  QCOMPARE(f.w.config().Current().Aspects[0].Steps[0].Par2, 33);
  QCOMPARE(f.w.config().Current().Aspects[1].Steps[0].Par2, 0);
  QCOMPARE(f.w.Text("TextPAspPar2_0"), QString("0"));
}

void AspectEditorTest::PinSpinner_CommitsPendingEditsForThePinBeingLeft() {
  EditorFixture f;
  f.FourAspects();
  f.Instruction(0, "Wait");
  f.w.Find<QLineEdit>("TextPAspPar3_0")->setText("2");
  QTest::mouseClick(f.w.Find<ui::UpDown>("UpDownPAspOutput")->findChild<QWidget*>("up"),
                    Qt::LeftButton);
  QCOMPARE(f.w.config().CurrentPin, 1);
  QCOMPARE(f.w.Text("TextPAspOutput"), QString("2"));
  QCOMPARE(f.w.config().Pins[0].Aspects[0].Steps[0].Par3, 2);
  QCOMPARE(f.w.config().Pins[1].Aspects[0].Steps[0].Par3, 0);
}

void AspectEditorTest::AddressCounts_TypedPastTheirLimits_ClampedAndShownWithDetails() {
  EditorFixture f;
  QVERIFY(!f.w.Shown("TextPaspDCCn"));
  QVERIFY(!f.w.Shown("UpDownPaspDCCn"));
  QVERIFY(!f.w.Shown("LabelPASPAdrCnt"));
  QCOMPARE(f.w.Find<QLineEdit>("TextPaspDCCn")->toolTip(),
           QString("Nr of DCC addresses assigned to Pin"));
  QCOMPARE(f.w.Find<QLineEdit>("TextPaspKoran")->toolTip(),
           QString("Nr of Serial addresses assigned to Pin"));
  f.w.Click("CheckPAspShowDetails");
  QVERIFY(f.w.Shown("TextPaspDCCn"));
  QVERIFY(f.w.Shown("LabelPASPAdrCnt"));
  f.w.Type("TextPaspDCCn", "9");
  QCOMPARE(f.w.Text("TextPaspDCCn"), QString("6"));
  QCOMPARE(f.w.config().Pins[0].DccCount, 6);
  QCOMPARE(f.w.config().Starts.DccStart[1], 6);
  f.w.Type("TextPAspXDCCn", "5");
  QCOMPARE(f.w.Text("TextPAspXDCCn"), QString("1"));
  f.w.Type("TextPAspXDCCn", "-2");
  QCOMPARE(f.w.Text("TextPAspXDCCn"), QString("0"));
  QCOMPARE(f.w.config().Pins[0].XDccCount, 0);
  QCOMPARE(f.w.Text("lblXDCCAddress"), QString("-"));
  f.w.Type("TextPaspKoran", "7");
  QCOMPARE(f.w.Text("TextPaspKoran"), QString("6"));
  f.w.Find<ui::UpDown>("UpDownPaspKoran")->StepBy(1);
  QCOMPARE(f.w.Text("TextPaspKoran"), QString("6"));
  f.w.Find<ui::UpDown>("UpDownPaspKoran")->StepBy(-1);
  QCOMPARE(f.w.config().Pins[0].KoraCount, 5);
  f.w.Type("TextPaspKoran", "1");
  f.w.Click("CheckPAspShowDetails");
  // Without details only the counts that are not 1 stay.
  QVERIFY(f.w.Shown("TextPaspDCCn"));
  QVERIFY(f.w.Shown("TextPAspXDCCn"));
  QVERIFY(!f.w.Shown("TextPaspKoran"));
  QVERIFY(!f.w.Shown("UpDownPaspKoran"));
  QVERIFY(f.w.Shown("LabelPASPAdrCnt"));
}

void AspectEditorTest::ShowDetails_ShowsTheConfigurationEditorAndDetailButtons() {
  EditorFixture f;
  f.FourAspects();
  QVERIFY(!f.w.Shown("SSTabPCFG"));
  QVERIFY(!f.w.Shown("FrameAspdetails"));
  QVERIFY(!f.w.Shown("CommandPAspWriteAspect"));
  QVERIFY(!f.w.Shown("LabelPAspHStep"));
  f.w.Click("CheckPAspShowDetails");
  QVERIFY(f.w.Shown("SSTabPCFG"));
  QVERIFY(f.w.Shown("FrameAspdetails"));
  QVERIFY(f.w.Shown("CommandPAspWriteAspect"));
  QVERIFY(f.w.Shown("LabelPAspHStep"));
  QVERIFY(f.w.Shown("LabelPAspHInst"));
  QVERIFY(!f.w.Shown("CommandPAspReadPin"));  // expert mode only
  WindowUnderTest::Shot(&f.w.window(), "device_tab_details");
  f.w.Click("OptionPAspConf_0");
  QVERIFY(!f.w.Shown("CommandPAspWriteAspect"));
  QVERIFY(!f.w.Shown("LabelPAspHInst"));
}

void AspectEditorTest::Descriptions_StoredOnEveryChange() {
  EditorFixture f;
  f.FourAspects();
  auto* pin = f.w.Find<QLineEdit>("TextPAspDesc");
  pin->setFocus();
  QTest::keyClicks(pin, "Home");
  QCOMPARE(f.w.config().Pins[0].Description, std::string("Home"));
  f.w.Type("TextPAspAspect", "2");
  auto* aspect = f.w.Find<QLineEdit>("TextPAspAspDesc");
  aspect->setFocus();
  QTest::keyClicks(aspect, "Stop");
  QCOMPARE(f.w.config().Pins[0].Aspects[2].Description, std::string("Stop"));
  f.w.Type("TextPAspAspect", "1");
  QCOMPARE(aspect->text(), QString(""));
}

void AspectEditorTest::DeviceFields_ReferralShownAndEditable() {
  EditorFixture f;
  BoardConfig& c = f.w.config();
  c.Pins[1].DeviceName = "Signal";
  c.Pins[3].DeviceRef = -2;
  c.Pins[3].DeviceName = "stale";
  f.SelectPin(3);
  QCOMPARE(f.w.Text("TextDevicePin"), QString("2"));
  QCOMPARE(f.w.Text("TextDeviceDescription"), QString("Signal"));
  QVERIFY(!f.w.Find<QLineEdit>("TextDeviceDescription")->isEnabled());
  QCOMPARE(c.Pins[3].DeviceName, std::string(""));
  c.Pins[1].DeviceRef = 1;
  f.w.window().PinChanged();
  QCOMPARE(f.w.Text("TextDeviceDescription"), QString("<Referral is no Device !>"));
  c.Pins[1].DeviceRef = 0;
  // Typing a pin number makes the current pin refer to it.
  f.w.Type("TextDevicePin", "5");
  QCOMPARE(c.Pins[3].DeviceRef, 1);
  // Out of range changes nothing (pasted at once: typed, "4" would count on its way).
  auto* device_pin = f.w.Find<QLineEdit>("TextDevicePin");
  device_pin->setFocus();
  device_pin->selectAll();
  QApplication::clipboard()->setText("40");
  QTest::keyClick(device_pin, Qt::Key_V, Qt::ControlModifier);
  QCOMPARE(device_pin->text(), QString("40"));
  QCOMPARE(c.Pins[3].DeviceRef, 1);
  f.w.Type("TextDevicePin", "4");
  QCOMPARE(c.Pins[3].DeviceRef, 0);
  QVERIFY(f.w.Find<QLineEdit>("TextDeviceDescription")->isEnabled());
  auto* name = f.w.Find<QLineEdit>("TextDeviceDescription");
  name->setFocus();
  name->selectAll();
  QTest::keyClicks(name, "Lamp");
  QCOMPARE(c.Pins[3].DeviceName, std::string("Lamp"));
}

void AspectEditorTest::LoadDevice_NearTheLastPin_WrapsToPinZeroAndShowsTheHead() {
  EditorFixture f;
  auto* list = f.w.Find<QComboBox>("cboDevice");
  QVERIFY(list->count() >= 3);
  QCOMPARE(f.w.Text("lblDDVersion"), QString("VelaConfig starter library 1.0"));
  f.SelectPin(30);  // a device of three pins wraps to pin 0
  f.w.config().Pins[0].Description = "in the way";
  f.w.Choose("cboDevice", "Signal 3 aspects (red, yellow, green)");
  f.w.Click("CommandPAspPreLoad");
  BoardConfig& c = f.w.config();
  QCOMPARE(c.Pins[30].DeviceName, std::string("Signal 3 aspects (red, yellow, green)"));
  QCOMPARE(c.Pins[0].DeviceRef, 30);
  QCOMPARE(c.Pins[31].DeviceRef, -1);
  QCOMPARE(f.w.Text("TextPAspDesc"), QString("Signal red"));
  QVERIFY(f.w.Find<QRadioButton>("OptionPAspConf_1")->isChecked());
  QCOMPARE(f.w.Text("TextPaspDCCn"), QString("2"));
  const auto messages = f.w.dialogs().Messages();
  QCOMPARE(messages.size(), size_t{1});
  QVERIFY(QString::fromStdString(messages[0]).endsWith(" 1"));
  // A name that is in no list entry.
  f.w.dialogs().Clear();
  f.w.Find<QComboBox>("cboDevice")->setEditText("");
  f.w.Click("CommandPAspPreLoad");
  QCOMPARE(f.w.dialogs().Messages(), std::vector<std::string>{"Select Devicename to load"});
}

void AspectEditorTest::ReloadDevices_ShiftAppends_SaveDeviceWritesAFile() {
  EditorFixture f;
  auto* list = f.w.Find<QComboBox>("cboDevice");
  const int count = list->count();
  const std::string library = std::string(VELA_SOURCE_DIR) + "/data/VelaDevices.def";
  QCOMPARE(f.w.Find<QWidget>("CommandReloadDD")->toolTip(),
           QString("Reload DD to load new file, Shift + Reload DD to append"));
  f.w.dialogs().GiveFile(library);
  QTest::mousePress(f.w.Find<QWidget>("CommandReloadDD"), Qt::LeftButton, Qt::ShiftModifier);
  QCOMPARE(list->count(), 2 * count);
  // "old + new" is 62 characters: cut to ".." and the last 48.
  const QString both = "VelaConfig starter library 1.0 + VelaConfig starter library 1.0";
  QCOMPARE(f.w.Text("lblDDVersion"), ".." + both.right(48));
  f.w.dialogs().GiveFile(library);
  QTest::mousePress(f.w.Find<QWidget>("CommandReloadDD"), Qt::LeftButton, Qt::ControlModifier);
  QCOMPARE(list->count(), count);
  QCOMPARE(f.w.Text("lblDDVersion"), QString("VelaConfig starter library 1.0"));
  // A cancelled dialog leaves the library.
  QTest::mousePress(f.w.Find<QWidget>("CommandReloadDD"), Qt::LeftButton);
  QCOMPARE(list->count(), count);
  QCOMPARE(f.w.dialogs().Messages(),
           std::vector<std::string>{"No Device Configuration file selected"});

  f.w.Choose("cboDevice", "Signal 2 aspects (red, green)");
  f.w.Click("CommandPAspPreLoad");
  QTemporaryDir dir;
  const QString target = dir.path() + "/mine.def";
  f.w.dialogs().GiveFile(target.toStdString());
  f.w.Click("CommandSaveDevice");
  QFile saved(target);
  QVERIFY(saved.open(QIODevice::ReadOnly));
  QVERIFY(saved.readAll().startsWith("\"VelaDeviceDefinitions Signal 2 aspects (red, green)\""));
}

void AspectEditorTest::HelpToolMissing_SaysSo() {
  EditorFixture f;
  f.FourAspects();
  f.Instruction(0, "Off");
  QTest::mouseDClick(f.w.Find<QWidget>("TextPAspPar1_0"), Qt::LeftButton);
  QTest::mouseDClick(f.w.Find<QWidget>("LabelPAspTime_0"), Qt::LeftButton);
  f.Instruction(1, "Multibit 3");
  QTest::mouseDClick(f.w.Find<QWidget>("TextPAspPar2_1"), Qt::LeftButton);
  const std::string expected = "Help tool not available for this box with the selected command";
  QCOMPARE(f.w.dialogs().Messages(), (std::vector<std::string>{expected, expected, expected}));
}

void AspectEditorTest::WriteSingle_SendsTheStepsOfTheCurrentAspect() {
  WindowUnderTest w;  // port open on the simulated board
  w.ShowTab(2);
  w.Click("OptionPAspConf_1");
  w.Type("TextPAspAspect", "2");
  w.Choose("ComboPAspInst_0", "On");
  w.board().ClearReceived();
  w.Click("CheckPAspShowDetails");
  w.Click("CommandPAspWriteAspect");
  QVERIFY(w.WaitIdle());
  const auto messages = w.board().Messages();
  QCOMPARE(messages.size(), size_t{9});
  for (int s = 0; s < 9; ++s) {
    QCOMPARE(messages[s][0], 99);
    QCOMPARE(messages[s][1], 0);
    QCOMPARE(messages[s][2], 2);
    QCOMPARE(messages[s][3], s);
  }
  QCOMPARE(messages[0][4], 9);
  QVERIFY(!w.Shown("LabelAction"));
}

void AspectEditorTest::TestButton_ModifiersChooseTheCommand() {
  WindowUnderTest w;
  w.ShowTab(2);
  w.Click("OptionPAspConf_1");
  w.Type("TextPAspOutput", "3");
  w.Type("TextPAspAspect", "1");
  QCOMPARE(w.Find<QWidget>("CommandPAspTestAspect")->toolTip(), QString("Alt + Click for Options"));
  const size_t before = w.board().OutputLog().size();
  QTest::mousePress(w.Find<QWidget>("CommandPAspTestAspect"), Qt::LeftButton);
  QVERIFY(w.WaitIdle());
  QCOMPARE(w.board().OutputLog().size(), before + 1);
  QCOMPARE(w.board().OutputLog().back(), (std::vector<int>{0, 0, 2, 1}));
  // Alt shows the help and sends nothing; the right button does nothing at all.
  QTest::mousePress(w.Find<QWidget>("CommandPAspTestAspect"), Qt::LeftButton, Qt::AltModifier);
  QVERIFY(w.WaitIdle());
  QTest::mousePress(w.Find<QWidget>("CommandPAspTestAspect"), Qt::RightButton);
  QVERIFY(w.WaitIdle());
  QCOMPARE(w.board().OutputLog().size(), before + 1);
  const auto messages = w.dialogs().Messages();
  QCOMPARE(messages.size(), size_t{1});
  QVERIFY(QString::fromStdString(messages[0]).startsWith("Test = Send Vela Set Aspect"));
  // Control needs Kora addresses on the pin.
  w.Click("CheckPAspShowDetails");
  w.Type("TextPaspKoran", "0");
  w.dialogs().Clear();
  QTest::mousePress(w.Find<QWidget>("CommandPAspTestAspect"), Qt::LeftButton, Qt::ControlModifier);
  QVERIFY(w.WaitIdle());
  QCOMPARE(w.dialogs().Messages(),
           std::vector<std::string>{"You have no Kora-address(es) assigned to Pin 3"});
}

}  // namespace vela

QTEST_MAIN(vela::AspectEditorTest)
#include "aspect_editor_test.moc"
