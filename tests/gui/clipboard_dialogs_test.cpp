// "Edit Pin", "Edit Aspect" and "Edit Step", opened from the labels of the pin area: every
// button, the clipboards that outlive the dialogs, and the pin area showing the result.
#include "device_tab_fixture.h"

using vela::testing::DeviceTabFixture;
using vela::testing::WindowUnderTest;

namespace vela {
namespace {

StepRecord Lettered(int n) {
  return StepRecord{static_cast<uint8_t>(8 + n % 3), 0, static_cast<uint8_t>(n), 0, 0, 0};
}

struct ClipFixture : DeviceTabFixture {
  // Clicks `label` and then `button` in the dialog it opens.
  void Use(const QString& label, const QString& button, QString* title = nullptr) {
    bool seen = false;
    WindowUnderTest::OnNextModal([&](QWidget* d) {
      seen = true;
      if (title) *title = d->windowTitle();
      WindowUnderTest::ClickIn(d, button);
    });
    w.Click(label);
    QVERIFY2(seen, qPrintable(label));
  }
  AspectRecord& Aspect(int pin, int aspect) { return w.config().Pins[pin].Aspects[aspect]; }
  void FillNine(int pin) {
    for (int s = 0; s < 9; ++s) Aspect(pin, 0).Steps[s] = Lettered(s);
  }
  std::vector<int> Par0s(int pin, int count) {
    std::vector<int> v;
    for (int s = 0; s < count; ++s) v.push_back(Aspect(pin, 0).Steps[s].Par0);
    return v;
  }
};

}  // namespace

class ClipboardDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void Labels_OpenDialogsWithTheirCaptionsAndButtons();
  void Step_FourAspects_InsertAndDeleteOnRow2();
  void Step_TwelveAspects_DeleteRow0InsertRow1();
  void Pin_PasteOfADeviceMember_RefersToTheSameHead();
  void Pin_PasteBeforeCopy_NothingToPasteAndTheDialogStays();
  void Pin_Clear_KeepsTheCounts();
  void Aspect_PasteCopiesCleanEmptiesPastTheEndClearEmptiesAll();
};

void ClipboardDialogsTest::Labels_OpenDialogsWithTheirCaptionsAndButtons() {
  ClipFixture f;
  f.w.Click("OptionPAspConf_1");
  QCOMPARE(f.w.Find<QWidget>("LabelPAspOutput")->toolTip(), QString("Click for copy/paste tools"));
  QCOMPARE(f.w.Find<QWidget>("LabelPAspAspect")->toolTip(), QString("Click for copy/paste tools"));
  QCOMPARE(f.w.Find<QWidget>("LabelPAspStep_4")->toolTip(), QString("Click to Insert/Delete step"));
  struct Expect {
    const char* label;
    const char* name;
    const char* title;
    std::vector<std::pair<const char*, const char*>> buttons;
  };
  const std::vector<Expect> dialogs = {
      {"LabelPAspOutput",
       "dlgEditPin",
       "Edit Pin",
       {{"CommandCopyPin", "Copy Pin"},
        {"CommandPastePin", "Paste Pin"},
        {"CommandClearPin", "Clear Pin"},
        {"CommandCancel", "Cancel"}}},
      {"LabelPAspAspect",
       "dlgEditAspect",
       "Edit Aspect",
       {{"CommandCopy", "Copy Aspect"},
        {"CommandPaste", "Paste Aspect"},
        {"CommandClear", "Clear Aspect"},
        {"CommandClean", "Cleanup Aspect"},
        {"CommandCancel", "Cancel"}}},
      {"LabelPAspStep_3",
       "dlgEditStep",
       "Edit Step",
       {{"commandInsert", "Insert Step"},
        {"commandDelete", "Delete Step"},
        {"commandCancel", "Cancel"}}},
  };
  for (const Expect& e : dialogs) {
    bool seen = false;
    WindowUnderTest::OnNextModal([&](QWidget* d) {
      seen = true;
      QCOMPARE(d->objectName(), QString(e.name));
      QCOMPARE(d->windowTitle(), QString(e.title));
      for (const auto& [name, caption] : e.buttons) {
        auto* b = d->findChild<QPushButton*>(name);
        QVERIFY2(b, name);
        QCOMPARE(b->text(), QString(caption));
      }
      WindowUnderTest::Shot(d, QString("dialog_") + e.name);
      WindowUnderTest::ClickIn(d, e.buttons.back().first);  // Cancel
    });
    f.w.Click(e.label);
    QVERIFY(seen);
  }
  QCOMPARE(f.w.config().SelectedStepRow, 3);
}

void ClipboardDialogsTest::Step_FourAspects_InsertAndDeleteOnRow2() {
  ClipFixture f;
  f.w.Click("OptionPAspConf_1");
  f.FillNine(0);
  f.w.window().PinChanged();
  f.Use("LabelPAspStep_2", "commandInsert");
  QCOMPARE(f.Par0s(0, 9), (std::vector<int>{0, 1, 0, 2, 3, 4, 5, 6, 7}));
  QCOMPARE(f.Aspect(0, 0).Steps[2], StepRecord{});
  QCOMPARE(f.w.Find<QComboBox>("ComboPAspInst_2")->currentText(), QString("-"));
  QCOMPARE(f.w.Text("TextPAspOffset_3"), QString("2"));
  f.FillNine(0);
  f.w.window().PinChanged();
  f.Use("LabelPAspStep_2", "commandDelete");
  QCOMPARE(f.Par0s(0, 9), (std::vector<int>{0, 1, 3, 4, 5, 6, 7, 8, 0}));
  QCOMPARE(f.Aspect(0, 0).Steps[8], StepRecord{});
  QCOMPARE(f.w.Text("TextPAspOffset_2"), QString("3"));
  // Cancel changes nothing.
  f.Use("LabelPAspStep_0", "commandCancel");
  QCOMPARE(f.Par0s(0, 9), (std::vector<int>{0, 1, 3, 4, 5, 6, 7, 8, 0}));
}

void ClipboardDialogsTest::Step_TwelveAspects_DeleteRow0InsertRow1() {
  ClipFixture f;
  f.w.Click("OptionPAspConf_2");
  f.FillNine(0);
  f.w.window().PinChanged();
  f.Use("LabelPAspStep_0", "commandDelete");
  QCOMPARE(f.Par0s(0, 4), (std::vector<int>{1, 2, 0, 3}));
  QCOMPARE(f.Aspect(0, 0).Steps[2], StepRecord{});
  f.FillNine(0);
  f.w.window().PinChanged();
  f.Use("LabelPAspStep_1", "commandInsert");
  QCOMPARE(f.Par0s(0, 4), (std::vector<int>{0, 0, 1, 3}));
  QCOMPARE(f.Aspect(0, 0).Steps[1], StepRecord{});
}

void ClipboardDialogsTest::Pin_PasteOfADeviceMember_RefersToTheSameHead() {
  ClipFixture f;
  BoardConfig& c = f.w.config();
  c.Pins[1].DeviceName = "Signal";
  c.Pins[3].DeviceRef = -2;
  c.Pins[3].Description = "Signal yellow";
  c.Pins[3].DccCount = 3;
  c.ComputeAllStarts();
  f.SelectPin(3);
  f.Use("LabelPAspOutput", "CommandCopyPin");
  f.SelectPin(10);
  f.Use("LabelPAspOutput", "CommandPastePin");
  QCOMPARE(c.Pins[10].DeviceRef, -9);
  QCOMPARE(c.DeviceHead(10), 1);
  QCOMPARE(f.w.Text("TextPAspDesc"), QString("Signal yellow"));
  QCOMPARE(f.w.Text("TextDevicePin"), QString("2"));
  QCOMPARE(f.w.Text("TextDeviceDescription"), QString("Signal"));
  // The pasted counts are in the address displays at once.
  QCOMPARE(c.Starts.DccStart[11], 15);
  QCOMPARE(f.w.Text("LabelGenDCCOutput"), QString("Output 1 .. 36"));
  // The clipboard keeps its copy: a second paste on another pin.
  f.SelectPin(20);
  f.Use("LabelPAspOutput", "CommandPastePin");
  QCOMPARE(c.Pins[20].DeviceRef, -19);
  QVERIFY(f.w.dialogs().Messages().empty());
}

void ClipboardDialogsTest::Pin_PasteBeforeCopy_NothingToPasteAndTheDialogStays() {
  ClipFixture f;
  bool stayed = false;
  WindowUnderTest::OnNextModal([&](QWidget* d) {
    WindowUnderTest::ClickIn(d, "CommandPastePin");
    stayed = d->isVisible();
    WindowUnderTest::ClickIn(d, "CommandCancel");
  });
  f.w.Click("LabelPAspOutput");
  QVERIFY(stayed);
  QCOMPARE(f.w.dialogs().Messages(), std::vector<std::string>{"Nothing to Paste"});
  f.w.dialogs().Clear();
  WindowUnderTest::OnNextModal([&](QWidget* d) {
    WindowUnderTest::ClickIn(d, "CommandPaste");
    stayed = d->isVisible();
    WindowUnderTest::ClickIn(d, "CommandCancel");
  });
  f.w.Click("OptionPAspConf_1");
  f.w.Click("LabelPAspAspect");
  QVERIFY(stayed);
  QCOMPARE(f.w.dialogs().Messages(), std::vector<std::string>{"Nothing to Paste"});
}

void ClipboardDialogsTest::Pin_Clear_KeepsTheCounts() {
  ClipFixture f;
  BoardConfig& c = f.w.config();
  c.Pins[4].Description = "Lamp";
  c.Pins[4].AspectMode = 3;
  c.Pins[4].KoraCount = 3;
  c.Pins[4].Aspects[1].Steps[2] = Lettered(4);
  c.Pins[4].PinConfig[0] = kServo;
  f.SelectPin(4);
  QVERIFY(f.w.Find<QRadioButton>("OptionPAspConf_1")->isChecked());
  f.Use("LabelPAspOutput", "CommandClearPin");
  QCOMPARE(c.Pins[4].Description, std::string(""));
  QCOMPARE(c.Pins[4].AspectMode, 0);
  QCOMPARE(c.Pins[4].PinConfig[0], 0);
  QCOMPARE(c.Pins[4].Aspects[1].Steps[2], StepRecord{});
  QCOMPARE(c.Pins[4].KoraCount, 3);
  QVERIFY(f.w.Find<QRadioButton>("OptionPAspConf_0")->isChecked());
  QCOMPARE(f.w.Text("TextPAspDesc"), QString(""));
}

void ClipboardDialogsTest::Aspect_PasteCopiesCleanEmptiesPastTheEndClearEmptiesAll() {
  ClipFixture f;
  f.w.Click("OptionPAspConf_1");
  f.FillNine(0);
  f.Aspect(0, 0).Description = "Clear";
  f.w.window().PinChanged();
  f.Use("LabelPAspAspect", "CommandCopy");
  f.w.Type("TextPAspAspect", "3");
  f.Use("LabelPAspAspect", "CommandPaste");
  QCOMPARE(f.Aspect(0, 3), f.Aspect(0, 0));
  QCOMPARE(f.w.Text("TextPAspAspDesc"), QString("Clear"));
  f.Aspect(0, 3).Steps[4] = StepRecord{0, 1, 7, 7, 7, 1};
  f.Use("LabelPAspAspect", "CommandClean");
  QCOMPARE(f.Aspect(0, 3).Description, std::string(""));
  QCOMPARE(f.Aspect(0, 3).Steps[3], f.Aspect(0, 0).Steps[3]);
  for (int s = 4; s < 9; ++s) QCOMPARE(f.Aspect(0, 3).Steps[s], StepRecord{});
  f.Use("LabelPAspAspect", "CommandClear");
  for (int s = 0; s < 9; ++s) QCOMPARE(f.Aspect(0, 3).Steps[s], StepRecord{});
  QCOMPARE(f.Aspect(0, 0).Description, std::string("Clear"));
}

}  // namespace vela

QTEST_MAIN(vela::ClipboardDialogsTest)
#include "clipboard_dialogs_test.moc"
