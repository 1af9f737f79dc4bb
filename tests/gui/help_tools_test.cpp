// The four parameter help tools, opened from the step rows by double-click: what each shows
// for the value it is opened with, how its boxes work, and that OK writes the result into the
// step while Cancel leaves the step as it was.
#include <QSlider>

#include "gui_fixture.h"
#include "ui/edit_controls.h"
#include "ui/help_tools.h"
#include "ui/step_table.h"

using vela::testing::WindowUnderTest;

namespace vela {
namespace {

struct ToolFixture {
  WindowUnderTest w{[] {
    WindowUnderTest::Setup s;
    s.open_port = false;
    return s;
  }()};
  ToolFixture() {
    w.ShowTab(2);
    w.Click("OptionPAspConf_1");
  }
  StepRecord& Step(int row) { return w.config().Current().Aspects[0].Steps[row]; }
  void Instruction(int row, const char* name) {
    w.Choose(QString("ComboPAspInst_%1").arg(row), name);
  }
  void DoubleClick(const QString& name) {
    QTest::mouseDClick(w.Find<QWidget>(name), Qt::LeftButton);
  }
};

bool Checked(QWidget* dialog, const QString& name) {
  auto* box = dialog->findChild<QAbstractButton*>(name);
  return box && box->isChecked();
}
bool Enabled(QWidget* dialog, const QString& name) {
  auto* w = dialog->findChild<QWidget*>(name);
  return w && w->isEnabled();
}
QString TextIn(QWidget* dialog, const QString& name) {
  if (auto* box = dialog->findChild<QLineEdit*>(name)) return box->text();
  if (auto* label = dialog->findChild<QLabel*>(name)) return label->text();
  return "<none>";
}

}  // namespace

class HelpToolsTest : public QObject {
  Q_OBJECT

 private slots:
  void Pattern_Multibit3Value45_OkStores37();
  void Pattern_Multibit7Value127_DarkBoxesDisabled();
  void Pattern_DarkFlagsExcludeEachOther_CancelLeavesTheStep();
  void EventMap_OpensFromItsValueAndComposesTheResult();
  void EventMap_Cancel_LeavesTheStep();
  void Time_MaxTimeAndSliderTime_OkStoresTimeAndBase();
  void Time_BaseBoxClampsAndCancelRestores();
  void Level_SplitsTheValueAndRecombines();
};

void HelpToolsTest::Pattern_Multibit3Value45_OkStores37() {
  ToolFixture f;
  f.Instruction(0, "Multibit 3");
  f.w.Type("TextPAspPar1_0", "45");
  QCOMPARE(f.Step(0).Par1, 45);
  bool seen = false;
  WindowUnderTest::OnNextModal([&](QWidget* d) {
    seen = true;
    QCOMPARE(d->objectName(), QString("dlgVelaCalcPattern"));
    QCOMPARE(d->windowTitle(), QString("KoraConfig Calculate Pattern"));
    QVERIFY(Checked(d, "chkUitgang_0"));
    QVERIFY(!Checked(d, "chkUitgang_1"));
    QVERIFY(Checked(d, "chkUitgang_2"));
    for (int i = 3; i < 7; ++i) {
      QVERIFY(!Checked(d, QString("chkUitgang_%1").arg(i)));
      QVERIFY(!Enabled(d, QString("chkUitgang_%1").arg(i)));
    }
    QVERIFY(Checked(d, "chkAllDark"));
    QVERIFY(!Checked(d, "chkNoDark"));
    QCOMPARE(TextIn(d, "txtParameter"), QString("37"));
    QCOMPARE(TextIn(d, "txtOriginal"), QString("45"));
    QCOMPARE(d->findChild<QCheckBox*>("chkUitgang_6")->text(), QString("Output +6"));
    WindowUnderTest::Shot(d, "dialog_pattern");
    WindowUnderTest::ClickIn(d, "chkUitgang_1");
    QCOMPARE(TextIn(d, "txtParameter"), QString("39"));
    WindowUnderTest::ClickIn(d, "OKButton");
  });
  f.DoubleClick("TextPAspPar1_0");
  QVERIFY(seen);
  QCOMPARE(f.w.Text("TextPAspPar1_0"), QString("39"));
  QCOMPARE(f.Step(0).Par1, 39);
}

void HelpToolsTest::Pattern_Multibit7Value127_DarkBoxesDisabled() {
  ToolFixture f;
  f.Instruction(1, "Multibit 7");
  f.w.Type("TextPAspPar1_1", "127");
  bool seen = false;
  WindowUnderTest::OnNextModal([&](QWidget* d) {
    seen = true;
    for (int i = 0; i < 7; ++i) QVERIFY(Checked(d, QString("chkUitgang_%1").arg(i)));
    QVERIFY(!Enabled(d, "chkAllDark"));
    QVERIFY(!Enabled(d, "chkNoDark"));
    QVERIFY(!Checked(d, "chkAllDark"));
    QCOMPARE(TextIn(d, "txtParameter"), QString("127"));
    WindowUnderTest::ClickIn(d, "OKButton");
  });
  f.DoubleClick("TextPAspPar1_1");
  QVERIFY(seen);
  QCOMPARE(f.Step(1).Par1, 127);
}

void HelpToolsTest::Pattern_DarkFlagsExcludeEachOther_CancelLeavesTheStep() {
  ToolFixture f;
  f.Instruction(0, "Multibit 2");
  f.w.Type("TextPAspPar1_0", "33");
  bool seen = false;
  WindowUnderTest::OnNextModal([&](QWidget* d) {
    seen = true;
    QVERIFY(Checked(d, "chkAllDark"));
    WindowUnderTest::ClickIn(d, "chkNoDark");
    QVERIFY(!Checked(d, "chkAllDark"));
    QVERIFY(Checked(d, "chkNoDark"));
    QCOMPARE(TextIn(d, "txtParameter"), QString("65"));
    WindowUnderTest::ClickIn(d, "CancelButton");
  });
  f.DoubleClick("TextPAspPar1_0");
  QVERIFY(seen);
  QCOMPARE(f.Step(0).Par1, 33);
  QCOMPARE(f.w.Text("TextPAspPar1_0"), QString("33"));
  // The kept dialog opens again from the new value, not from what was clicked last time.
  WindowUnderTest::OnNextModal([&](QWidget* d) {
    QVERIFY(Checked(d, "chkAllDark"));
    QVERIFY(!Checked(d, "chkNoDark"));
    d->close();
  });
  f.DoubleClick("TextPAspPar1_0");
  QCOMPARE(f.Step(0).Par1, 33);
}

void HelpToolsTest::EventMap_OpensFromItsValueAndComposesTheResult() {
  ToolFixture f;
  f.Instruction(0, "Event Input");
  QCOMPARE(f.w.Text("LabelPAspHParam1"), QString("ETImap"));
  struct Case {
    const char* value;
    int input;
    const char* option;
    const char* result;
  };
  for (const Case& c : {Case{"2", 2, "optEvent_1", "20"}, Case{"70", 2, "optEvent_5", "84"},
                        Case{"100", 2, "optEvent_6", "100"}}) {
    f.w.Type("TextPAspPar1_0", c.value);
    bool seen = false;
    WindowUnderTest::OnNextModal([&](QWidget* d) {
      seen = true;
      QCOMPARE(d->windowTitle(), QString("VelaConfig CalcETImap"));
      for (int i = 0; i < 4; ++i) {
        QCOMPARE(Checked(d, QString("chkEvent_%1").arg(i)), i == c.input);
      }
      QVERIFY2(Checked(d, c.option), c.option);
      QCOMPARE(TextIn(d, "txtParameter"), QString(c.result));
      QCOMPARE(TextIn(d, "txtOriginal"), QString(c.value));
      if (QString(c.value) == "2") WindowUnderTest::Shot(d, "dialog_event_map");
      WindowUnderTest::ClickIn(d, "OKButton");
    });
    f.DoubleClick("TextPAspPar1_0");
    QVERIFY(seen);
    QCOMPARE(f.w.Text("TextPAspPar1_0"), QString(c.result));
    QCOMPARE(int{f.Step(0).Par1}, QString(c.result).toInt());
  }
  // Composing: inputs 0 and 3, "Enable Off-Event".
  WindowUnderTest::OnNextModal([&](QWidget* d) {
    WindowUnderTest::ClickIn(d, "chkEvent_2");
    WindowUnderTest::ClickIn(d, "chkEvent_0");
    WindowUnderTest::ClickIn(d, "chkEvent_3");
    WindowUnderTest::ClickIn(d, "optEvent_7");
    QCOMPARE(TextIn(d, "txtParameter"), QString::number(1 + 8 + 64 + 48));
    WindowUnderTest::ClickIn(d, "OKButton");
  });
  f.DoubleClick("TextPAspPar1_0");
  QCOMPARE(f.Step(0).Par1, 121);
}

void HelpToolsTest::EventMap_Cancel_LeavesTheStep() {
  ToolFixture f;
  f.Instruction(0, "Event Input");
  f.w.Type("TextPAspPar1_0", "2");
  WindowUnderTest::OnNextModal([&](QWidget* d) {
    WindowUnderTest::ClickIn(d, "optEvent_3");
    WindowUnderTest::ClickIn(d, "CancelButton");
  });
  f.DoubleClick("TextPAspPar1_0");
  QCOMPARE(f.Step(0).Par1, 2);
  QCOMPARE(f.w.Text("TextPAspPar1_0"), QString("2"));
}

void HelpToolsTest::Time_MaxTimeAndSliderTime_OkStoresTimeAndBase() {
  ToolFixture f;
  f.Instruction(0, "SetAspect 2");
  f.w.Type("TextPAspPar2_0", "10");
  f.w.Type("TextPAspPar3_0", "2");
  bool seen = false;
  WindowUnderTest::OnNextModal([&](QWidget* d) {
    seen = true;
    QCOMPARE(d->objectName(), QString("dlgCT"));
    QCOMPARE(d->windowTitle(), QString("VelaConfig CalcTime"));
    QCOMPARE(TextIn(d, "LabelCTMaxTime"), QString("Max Time ="));
    QCOMPARE(TextIn(d, "LabelCTMaxTimeValue"), QString("01:20.64"));
    QCOMPARE(TextIn(d, "TextCTBase"), QString("2"));
    QCOMPARE(d->findChild<QSlider*>("SliderCTTime")->value(), 10);
    QCOMPARE(TextIn(d, "LabelCTTimeValue"), QString("00:12.80"));
    // The base spinner changes the base without the box's clamp.
    d->findChild<ui::UpDown*>("UpDownCTBase")->StepBy(-1);
    QCOMPARE(TextIn(d, "TextCTBase"), QString("1"));
    QCOMPARE(TextIn(d, "LabelCTTimeValue"), QString("00:01.60"));
    d->findChild<QSlider*>("SliderCTTime")->setValue(25);
    QCOMPARE(TextIn(d, "LabelCTTimeValue"), QString("00:04.00"));
    WindowUnderTest::Shot(d, "dialog_time");
    WindowUnderTest::ClickIn(d, "OKButton");
  });
  f.DoubleClick("LabelPAspTime_0");
  QVERIFY(seen);
  QCOMPARE(f.Step(0).Par2, 25);
  QCOMPARE(f.Step(0).Par3, 1);
  QCOMPARE(f.w.Text("TextPAspPar2_0"), QString("25"));
  QCOMPARE(f.w.Text("TextPAspPar3_0"), QString("1"));
  QCOMPARE(f.w.Text("LabelPAspTime_0"), QString("00:04.00"));
}

void HelpToolsTest::Time_BaseBoxClampsAndCancelRestores() {
  ToolFixture f;
  f.Instruction(1, "Wait");
  f.w.Type("TextPAspPar2_1", "40");
  f.w.Type("TextPAspPar3_1", "0");
  bool seen = false;
  WindowUnderTest::OnNextModal([&](QWidget* d) {
    seen = true;
    auto* base = d->findChild<QLineEdit*>("TextCTBase");
    base->setText("7");
    emit static_cast<ui::CommitLineEdit*>(base)->committed();
    QCOMPARE(base->text(), QString("3"));
    QCOMPARE(TextIn(d, "LabelCTMaxTimeValue"), QString("10:45.12"));
    d->findChild<QSlider*>("SliderCTTime")->setValue(63);
    WindowUnderTest::ClickIn(d, "CancelButton");
    QCOMPARE(base->text(), QString("0"));
    QCOMPARE(d->findChild<QSlider*>("SliderCTTime")->value(), 40);
  });
  f.DoubleClick("TextPAspPar3_1");  // the base box opens the same tool
  QVERIFY(seen);
  QCOMPARE(f.Step(1).Par2, 40);
  QCOMPARE(f.Step(1).Par3, 0);
  QCOMPARE(f.w.Text("TextPAspPar2_1"), QString("40"));
}

void HelpToolsTest::Level_SplitsTheValueAndRecombines() {
  // No instruction of the set opens the level tool; it is driven as the editor would.
  ToolFixture f;
  auto* steps = f.w.window().findChild<ui::StepTable*>();
  QVERIFY(steps);
  ui::LevelToolDialog& tool = steps->LevelTool();
  bool seen = false;
  WindowUnderTest::OnNextModal([&](QWidget* d) {
    seen = true;
    QCOMPARE(d->windowTitle(), QString("KoraConfig Calculate Level"));
    QCOMPARE(TextIn(d, "txtLevel"), QString("5"));
    QCOMPARE(TextIn(d, "txtTimeIndex"), QString("2"));
    QCOMPARE(TextIn(d, "txtDelay"), QString("0.7"));
    QCOMPARE(TextIn(d, "txtParameter"), QString("37"));
    QCOMPARE(TextIn(d, "lblDelay"), QString("Delay (s)"));
    auto* level = d->findChild<QLineEdit*>("txtLevel");
    level->setFocus();
    level->selectAll();
    QTest::keyClicks(level, "9");
    QCOMPARE(TextIn(d, "txtParameter"), QString("41"));
    QTest::keyClicks(level, "9");  // 99: outside 0..15, taken only when the box is left
    QCOMPARE(TextIn(d, "txtParameter"), QString("41"));
    emit static_cast<ui::CommitLineEdit*>(level)->committed();
    QCOMPARE(level->text(), QString("15"));
    QCOMPARE(TextIn(d, "txtParameter"), QString("47"));
    d->findChild<ui::UpDown*>("UpDown2")->StepBy(1);
    QCOMPARE(TextIn(d, "txtTimeIndex"), QString("3"));
    QCOMPARE(TextIn(d, "txtDelay"), QString("1"));
    QCOMPARE(TextIn(d, "txtParameter"), QString("63"));
    WindowUnderTest::Shot(d, "dialog_level");
    WindowUnderTest::ClickIn(d, "OKButton");
  });
  QVERIFY(tool.Open("37"));
  QVERIFY(seen);
  QCOMPARE(tool.ParameterText(), QString("63"));
  WindowUnderTest::OnNextModal([&](QWidget* d) {
    QCOMPARE(TextIn(d, "txtParameter"), QString("127"));  // 300 opens clamped
    d->findChild<ui::UpDown*>("UpDown1")->StepBy(-1);
    WindowUnderTest::ClickIn(d, "CancelButton");
  });
  QVERIFY(!tool.Open("300"));
  QCOMPARE(tool.ParameterText(), QString("127"));
}

}  // namespace vela

QTEST_MAIN(vela::HelpToolsTest)
#include "help_tools_test.moc"
