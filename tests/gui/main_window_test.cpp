// The main window: its controls and captions, start-up, the numbering switch, the tab rules,
// expert mode, the address displays, the connection strip and the board operations run from
// the buttons on the worker thread.
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>

#include "gui_fixture.h"
#include "support/pty_pair.h"
#include "ui/edit_controls.h"
#include "vela_version.h"

using vela::testing::WindowUnderTest;

namespace vela {

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void StartUp_EveryControlWithItsCaption();
  void LabelPortDoubleClick_TogglesBitrateFrame();
  void Numbering_ChangesWhatIsShownNotWhatIsStored();
  void TestTab_OutsideExpertMode_RefusedAndPreviousTabBack();
  void ExpertMode_RightClickOnRelease_YesShowsExpertButtonsNoHidesThem();
  void RangeLabels_FollowCountsAndOverflowInRed();
  void KoraAddresses_ModuleAndPinTyped_ShowSerialAndPinAddress();
  void ModuleAddress_ClampedToTheLinkLimitAndForcesResync();
  void ExtendedAddressing_WarningCancelledOrAccepted();
  void Bitrate_ReopensTheChosenPortAtTheNewRate();
  void PortThatCannotOpen_SaysWhyAndStaysClosed();
  void Refresh_ClosesThePortAndListsAgain();
  void PortLostMidSession_ReportedOnceAndRefreshBringsItBack();
  void TypedDevicePath_OpensAPseudoTerminal();
  void CorsanTunneling_WithoutAStation_StaysOff();
  void CorsanTunneling_WithAStation_WidensTheModuleAddress();
  void ReleaseDoubleClick_ShowsTheCommunicationLog();
  void ReadAll_FromTheButton_ReadsTheBoardWithoutFreezingTheWindow();
  void Cancel_StopsReadAllBetweenExchanges();
  void TwoClicksWithinATick_OnlyTheSecondRuns();
  void VerifyAll_ClosedPort_RefusedBeforeQueueing();
  void VerifyAll_ShowsTheReportWindow();
  void SaveFile_ShiftIsCompact_LoadFileBringsItBack();
  void Close_WithUnsavedChanges_Asks();
  void Monitor_PollsNeitherGreyTheWindowNorMoveTheFocus();
};

void MainWindowTest::StartUp_EveryControlWithItsCaption() {
  WindowUnderTest::Setup setup;
  setup.open_port = false;
  WindowUnderTest w(setup);
  QCOMPARE(w.window().windowTitle(), QString("Vela Config"));
  const std::vector<std::pair<const char*, const char*>> captions = {
      {"LabelPort", "Port:"},
      {"cmdRefreshComm", "Refresh"},
      {"OptionBitRate_0", "  9k6"},
      {"OptionBitRate_1", "19k2"},
      {"OptionBitRate_2", "38k4"},
      {"LabelAddress", "Module Address"},
      {"TextAddress", "1"},
      {"CheckXaddress", "Use eXtended Addr"},
      {"LabelXaddress", "eXtended address"},
      {"txtXaddr", "1"},
      {"CheckVelaBD", "Bidirectional Comm."},
      {"CheckCorsan", "Use Corsan Tunneling"},
      {"cmdSetTM", "Activate Transparent Mode"},
      {"CommandReadAll", "Read All"},
      {"CommandWriteAll", "Write All"},
      {"CommandVerifyAll", "Verify All"},
      {"CommandSave", "Save File"},
      {"CommandLoad", "Load File"},
      {"CheckKLnumber", "Start numbering at 1"},
      {"Release", "Release 3.22"},
      {"LabelAction", "  Working ... Please WAIT"},
  };
  for (const auto& [name, caption] : captions) {
    QCOMPARE(w.Text(name), QString(caption));
  }
  QVERIFY(w.Find<QComboBox>("ComboPort"));
  QVERIFY(w.Find<QWidget>("UpDownAddress"));
  QVERIFY(w.Find<QWidget>("UpDownXaddr"));
  QVERIFY(!w.Shown("FrameBitrate"));
  QVERIFY(w.Find<QRadioButton>("OptionBitRate_1")->isChecked());
  QVERIFY(w.Find<QCheckBox>("CheckVelaBD")->isChecked());
  QVERIFY(!w.Find<QCheckBox>("CheckCorsan")->isChecked());
  QVERIFY(w.Find<QCheckBox>("CheckKLnumber")->isChecked());
  QVERIFY(!w.Shown("LabelAction"));
  QVERIFY(!w.Shown("txtXaddr"));
  QVERIFY(w.Shown("cmdSetTM"));
  QCOMPARE(w.Find<QPushButton>("CommandSave")->toolTip(),
           QString("Shift+Save File to save compact"));
  QCOMPARE(w.Find<QPushButton>("CommandLoad")->toolTip(), QString("Read from file"));
  auto* tabs = w.Find<QTabWidget>("SSTab_Main");
  QCOMPARE(tabs->count(), 4);
  QCOMPARE(tabs->tabText(0), QString("General"));
  QCOMPARE(tabs->tabText(1), QString("Vela Event Control"));
  QCOMPARE(tabs->tabText(2), QString("Vela Device Configuration"));
  QCOMPARE(tabs->tabText(3), QString("Test"));
  // The simulated board is offered; the port stays closed until the user picks one.
  QCOMPARE(w.Find<QComboBox>("ComboPort")->itemText(0), QString("Simulated board"));
  QVERIFY(!w.window().Link().IsLinkOpen());
  QCOMPARE(w.config().NumberBase, 1);
  QCOMPARE(w.Text("TextPAspOutput"), QString("1"));
  QCOMPARE(w.Text("LabelGenDCCOutput"), QString("Output 1 .. 32"));
  QCOMPARE(w.Text("lblDDVersion").isEmpty(), false);
  QVERIFY(w.dialogs().Messages().empty());
  // Laid out to fit a 1024 x 768 screen.
  QVERIFY(w.window().minimumSizeHint().width() <= 1024);
  QVERIFY(w.window().minimumSizeHint().height() <= 740);
  WindowUnderTest::Shot(&w.window(), "main_general");
  w.ShowTab(1);
  WindowUnderTest::Shot(&w.window(), "main_event_control");
}

void MainWindowTest::LabelPortDoubleClick_TogglesBitrateFrame() {
  WindowUnderTest w;
  QWidget* label = w.Find<QWidget>("LabelPort");
  QTest::mouseDClick(label, Qt::LeftButton);
  QVERIFY(w.Shown("FrameBitrate"));
  QTest::mouseDClick(label, Qt::LeftButton);
  QVERIFY(!w.Shown("FrameBitrate"));
}

void MainWindowTest::Numbering_ChangesWhatIsShownNotWhatIsStored() {
  WindowUnderTest w;
  w.Type("TextAddress", "3");
  QCOMPARE(w.window().Link().ModuleAddress, 2);
  w.Click("CheckKLnumber");
  QCOMPARE(w.config().NumberBase, 0);
  QCOMPARE(w.Text("TextPAspOutput"), QString("0"));
  QCOMPARE(w.Text("TextAddress"), QString("2"));
  QCOMPARE(w.window().Link().ModuleAddress, 2);
  QCOMPARE(w.Text("LabelGenHWCPin"),
           QString("Pin       0..7         8..15      16..23       24..31"));
  auto* spin = w.Find<ui::UpDown>("UpDownPAspOutput");
  QCOMPARE(spin->minimum(), 0);
  QCOMPARE(spin->maximum(), 31);
  QCOMPARE(w.Find<ui::UpDown>("UpDownAddress")->maximum(), 15);
  QCOMPARE(w.Find<ui::UpDown>("UpDownXaddr")->maximum(), 95);
  w.Click("CheckKLnumber");
  QCOMPARE(w.config().NumberBase, 1);
  QCOMPARE(w.Text("TextPAspOutput"), QString("1"));
  QCOMPARE(w.Text("TextAddress"), QString("3"));
  QCOMPARE(w.Find<ui::UpDown>("UpDownPAspOutput")->maximum(), 32);
  QCOMPARE(w.Find<ui::UpDown>("UpDownAddress")->minimum(), 1);
  QCOMPARE(w.Find<ui::UpDown>("UpDownAddress")->maximum(), 16);
}

void MainWindowTest::TestTab_OutsideExpertMode_RefusedAndPreviousTabBack() {
  WindowUnderTest w;
  auto* tabs = w.Find<QTabWidget>("SSTab_Main");
  w.ShowTab(2);
  tabs->setCurrentIndex(3);
  QCOMPARE(tabs->currentIndex(), 2);
  QCOMPARE(w.dialogs().Messages(),
           std::vector<std::string>{std::string("Sorry, This tab is disabled\r\n") +
                                    "To enable it, choose View > Expert Mode\xE2\x80\xA6 or "
                                    "right-click \"Release " +
                                    kVersion + "\", and answer Yes to \"Expert Mode?\""});
  // The keys step over the page instead of landing on its refusal; in expert mode they open it.
  // From a box on the page, as a user presses it.
  auto* box = w.Find<QWidget>("TextPAspDesc");
  box->setFocus();
  QTest::keyClick(box, Qt::Key_Tab, Qt::ControlModifier);
  QCOMPARE(tabs->currentIndex(), 0);
  QTest::keyClick(tabs, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
  QCOMPARE(tabs->currentIndex(), 2);
  QCOMPARE(w.dialogs().Messages().size(), size_t{1});
  w.config().ExpertMode = true;
  QTest::keyClick(tabs, Qt::Key_PageDown, Qt::ControlModifier);
  QCOMPARE(tabs->currentIndex(), 3);
}

void MainWindowTest::ExpertMode_RightClickOnRelease_YesShowsExpertButtonsNoHidesThem() {
  WindowUnderTest w;
  const QStringList expert_buttons = {"CommandReadPin", "CommandWritePin", "CommandVerifyAllPins",
                                      "CommandECVerify"};
  for (const QString& name : expert_buttons) QVERIFY2(!w.Shown(name), qPrintable(name));
  w.dialogs().Reply(Answer::kYes);
  QTest::mousePress(w.Find<QWidget>("Release"), Qt::RightButton);
  QCOMPARE(w.dialogs().Questions(), std::vector<std::string>{"Expert Mode?"});
  QVERIFY(w.config().ExpertMode);
  for (const QString& name : expert_buttons) QVERIFY2(w.Shown(name), qPrintable(name));
  auto* tabs = w.Find<QTabWidget>("SSTab_Main");
  tabs->setCurrentIndex(3);
  QCOMPARE(tabs->currentIndex(), 3);
  QVERIFY(w.dialogs().Messages().empty());
  WindowUnderTest::Shot(&w.window(), "main_test_tab");
  // "Show Details" in expert mode shows the flash-store and aspect buttons as well.
  w.ShowTab(2);
  w.Click("CheckPAspShowDetails");
  QVERIFY(w.Shown("CommandPAspReadPin"));
  QVERIFY(w.Shown("CommandPAspWritePin"));
  w.dialogs().Reply(Answer::kNo);
  QTest::mousePress(w.Find<QWidget>("Release"), Qt::RightButton);
  QVERIFY(!w.config().ExpertMode);
  for (const QString& name : expert_buttons) QVERIFY2(!w.Shown(name), qPrintable(name));
  QVERIFY(!w.Shown("CommandPAspReadPin"));
}

void MainWindowTest::RangeLabels_FollowCountsAndOverflowInRed() {
  WindowUnderTest w;
  auto* range = w.Find<QLabel>("LabelGenDCCOutput");
  w.ShowTab(0);
  w.Type("TextGenDCCAddress", "503");
  QCOMPARE(range->text(), QString("Output 2009 .. 2040"));
  QVERIFY(range->palette().color(QPalette::WindowText) != QColor(Qt::red));
  w.Type("TextGenDCCAddress", "504");
  QCOMPARE(range->text(), QString("Output 2013 .. OVFLOW"));
  QCOMPARE(range->palette().color(QPalette::WindowText), QColor(Qt::red));
  w.Type("TextGenDCCAddress", "1");
  // A count edited in the pin area moves the range at once.
  w.ShowTab(2);
  w.Type("TextPaspDCCn", "0");
  QCOMPARE(w.config().Pins[0].DccCount, 0);
  QCOMPARE(range->text(), QString("Output 1 .. 31"));
  QCOMPARE(w.Text("lblDCCAddress"), QString("-"));
  w.Type("TextPAspOutput", "2");
  QCOMPARE(w.Text("lblDCCAddress"), QString("1"));
  for (auto& pin : w.config().Pins) pin.DccCount = 0;
  w.config().ComputeDccStarts();
  w.window().ConfigReplaced();
  QCOMPARE(range->text(), QString("No addr in use"));
  QCOMPARE(w.Text("lblDCCAddress"), QString("-"));
}

void MainWindowTest::KoraAddresses_ModuleAndPinTyped_ShowSerialAndPinAddress() {
  WindowUnderTest w;
  w.Click("CheckKLnumber");  // NumberBase 0
  w.ShowTab(2);
  w.Type("TextAddress", "2");
  w.Type("TextPAspOutput", "5");
  QCOMPARE(w.Text("lblSerialAddress"), QString("69"));
  QCOMPARE(w.Text("lblPinAddress"), QString("2.5"));
  for (int p = 0; p < 6; ++p) w.config().Pins[p].KoraCount = 6;
  w.config().ComputeKoraStarts();
  w.Type("TextPAspOutput", "6");  // k = 36
  QCOMPARE(w.Text("lblSerialAddress"), QString("-"));
  QCOMPARE(w.Text("lblPinAddress"), QString("2.36"));
}

void MainWindowTest::ModuleAddress_ClampedToTheLinkLimitAndForcesResync() {
  WindowUnderTest w;
  BoardLink& link = w.window().Link();
  link.SetSequenceStateForTesting(0x40);
  w.Type("TextAddress", "0");
  QCOMPARE(w.Text("TextAddress"), QString("1"));
  QCOMPARE(link.ModuleAddress, 0);
  QCOMPARE(link.SequenceState(), kResyncPending);
  w.Type("TextAddress", "20");
  QCOMPARE(w.Text("TextAddress"), QString("16"));
  QCOMPARE(link.ModuleAddress, 15);
  // The spinner moves it without the clamp, within its own range.
  w.Find<ui::UpDown>("UpDownAddress")->StepBy(-1);
  QCOMPARE(w.Text("TextAddress"), QString("15"));
  QCOMPARE(link.ModuleAddress, 14);
}

void MainWindowTest::ExtendedAddressing_WarningCancelledOrAccepted() {
  WindowUnderTest w;
  w.dialogs().Reply(Answer::kCancel);
  w.Click("CheckXaddress");
  QCOMPARE(
      w.dialogs().Questions(),
      std::vector<std::string>{"eXtended Addressing is intended for\r\nexperienced users only!"});
  QVERIFY(!w.Find<QCheckBox>("CheckXaddress")->isChecked());
  QVERIFY(!w.window().Link().UseExtendedAddr);
  QVERIFY(!w.Shown("txtXaddr"));
  QCOMPARE(w.Text("LabelAddress"), QString("Module Address"));
  w.dialogs().Reply(Answer::kOk);
  w.Click("CheckXaddress");
  QVERIFY(w.window().Link().UseExtendedAddr);
  QVERIFY(w.Shown("txtXaddr"));
  QVERIFY(w.Shown("UpDownXaddr"));
  QCOMPARE(w.Text("LabelAddress"), QString("Channel Number"));
  w.Type("txtXaddr", "100");
  QCOMPARE(w.Text("txtXaddr"), QString("96"));
  QCOMPARE(w.window().Link().ModuleXAddress, 95);
  QCOMPARE(w.Text("lblPinAddress"), QString("1.96.1"));
  // Unchecking asks nothing.
  w.Click("CheckXaddress");
  QCOMPARE(w.dialogs().Questions().size(), size_t{2});
  QCOMPARE(w.Text("LabelAddress"), QString("Module Address"));
}

void MainWindowTest::Bitrate_ReopensTheChosenPortAtTheNewRate() {
  WindowUnderTest w;
  QVERIFY(w.window().Link().IsLinkOpen());
  QTest::mouseDClick(w.Find<QWidget>("LabelPort"), Qt::LeftButton);
  w.Click("OptionBitRate_2");
  QVERIFY(w.WaitIdle());
  QCOMPARE(w.window().Link().BitRateIndex(), 2);
  QVERIFY(w.window().Link().IsLinkOpen());
  QCOMPARE(w.window().Link().SequenceState(), kResyncPending);
  QCOMPARE(w.Text("LabelPortState"), QString("open"));
}

void MainWindowTest::PortThatCannotOpen_SaysWhyAndStaysClosed() {
  WindowUnderTest::Setup setup;
  setup.refuse_open = true;
  WindowUnderTest w(setup);
  const auto messages = w.dialogs().Messages();
  QCOMPARE(messages.size(), size_t{1});
  QCOMPARE(QString::fromStdString(messages[0]),
           QString("Cannot open Simulated board:\r\nThe simulated port refused to open"));
  QVERIFY(!w.window().Link().IsLinkOpen());
  QCOMPARE(w.Text("LabelPortState"), QString("closed"));
}

void MainWindowTest::Refresh_ClosesThePortAndListsAgain() {
  WindowUnderTest w;
  QVERIFY(w.window().Link().IsLinkOpen());
  w.Click("cmdRefreshComm");
  QVERIFY(w.WaitIdle());
  QVERIFY(!w.window().Link().IsLinkOpen());
  auto* combo = w.Find<QComboBox>("ComboPort");
  QCOMPARE(combo->count(), 1);
  QCOMPARE(combo->currentIndex(), -1);
  // Choosing it again opens it, as after an adapter came back.
  w.Choose("ComboPort", "Simulated board");
  QVERIFY(w.WaitIdle());
  QVERIFY(w.window().Link().IsLinkOpen());
  QCOMPARE(w.Text("LabelPortState"), QString("open"));
}

void MainWindowTest::PortLostMidSession_ReportedOnceAndRefreshBringsItBack() {
  WindowUnderTest w;
  QVERIFY(w.window().Link().IsLinkOpen());
  w.LosePort();
  w.Click("CommandReadAll");
  QVERIFY(w.WaitIdle());
  const auto messages = w.dialogs().Messages();
  QVERIFY(messages.size() >= 2);
  QCOMPARE(QString::fromStdString(messages[0]),
           QString("The serial port was closed: the device went away"));
  QCOMPARE(QString::fromStdString(messages[1]), QString("Select communications port"));
  QCOMPARE(std::count(messages.begin(), messages.end(),
                      std::string("The serial port was closed: the device went away")),
           1);
  QCOMPARE(w.Text("LabelPortState"), QString("closed"));
  w.Click("cmdRefreshComm");
  QVERIFY(w.WaitIdle());
  w.Choose("ComboPort", "Simulated board");
  QVERIFY(w.WaitIdle());
  QCOMPARE(w.Text("LabelPortState"), QString("open"));
  w.dialogs().Clear();
  w.board().ClearReceived();
  w.Click("CommandReadAll");
  QVERIFY(w.WaitIdle(60000));
  QVERIFY(w.dialogs().Messages().empty());
  QVERIFY(w.board().Received().size() > 100);
}

void MainWindowTest::TypedDevicePath_OpensAPseudoTerminal() {
  testing::PtyPair pty;
  if (!pty.ok()) QSKIP("no pseudo-terminal here");
  WindowUnderTest::Setup setup;
  setup.real_ports = true;
  setup.open_port = false;
  WindowUnderTest w(setup);
  auto* combo = w.Find<QComboBox>("ComboPort");
  combo->lineEdit()->setFocus();
  QTest::keyClicks(combo->lineEdit(), QString::fromStdString(pty.slave_path()));
  QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
  QVERIFY(w.WaitIdle());
  QVERIFY2(w.dialogs().Messages().empty(),
           w.dialogs().Messages().empty() ? "" : w.dialogs().Messages()[0].c_str());
  QCOMPARE(w.Text("LabelPortState"), QString("open"));
  QCOMPARE(w.window().Link().PortName(), pty.slave_path());
  // A path that does not exist says so and stays closed.
  combo->lineEdit()->selectAll();
  QTest::keyClicks(combo->lineEdit(), "/dev/no-such-port");
  QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
  QVERIFY(w.WaitIdle());
  QCOMPARE(w.dialogs().Messages().size(), size_t{1});
  QVERIFY(QString::fromStdString(w.dialogs().Messages()[0])
              .startsWith("Cannot open /dev/no-such-port:\r\n"));
  QCOMPARE(w.Text("LabelPortState"), QString("closed"));
}

void MainWindowTest::CorsanTunneling_WithoutAStation_StaysOff() {
  WindowUnderTest w;
  w.Click("CheckCorsan");
  QVERIFY(w.WaitIdle());
  QCOMPARE(w.dialogs().Messages(), std::vector<std::string>{"No answer from Corsan"});
  QVERIFY(!w.Find<QCheckBox>("CheckCorsan")->isChecked());
  QVERIFY(w.Shown("cmdSetTM"));
  QCOMPARE(w.Find<ui::UpDown>("UpDownAddress")->maximum(), 16);
}

void MainWindowTest::CorsanTunneling_WithAStation_WidensTheModuleAddress() {
  WindowUnderTest::Setup setup;
  setup.station = true;
  WindowUnderTest w(setup);
  w.Click("CheckCorsan");
  QVERIFY(w.WaitIdle());
  QVERIFY2(w.dialogs().Messages().empty(),
           w.dialogs().Messages().empty() ? "" : w.dialogs().Messages()[0].c_str());
  QVERIFY(w.Find<QCheckBox>("CheckCorsan")->isChecked());
  QVERIFY(w.window().Link().Tunnelling());
  QVERIFY(!w.Shown("cmdSetTM"));
  QCOMPARE(w.Find<ui::UpDown>("UpDownAddress")->maximum(), 32);
  w.Type("TextAddress", "20");
  QCOMPARE(w.Text("TextAddress"), QString("20"));
  QCOMPARE(w.window().Link().ModuleAddress, 19);
  w.Click("CheckCorsan");
  QVERIFY(w.WaitIdle());
  QVERIFY(!w.window().Link().Tunnelling());
  QVERIFY(w.Shown("cmdSetTM"));
  QCOMPARE(w.Find<ui::UpDown>("UpDownAddress")->maximum(), 16);
  QCOMPARE(w.Text("TextAddress"), QString::number(w.window().Link().ModuleAddress + 1));
  QVERIFY(w.window().Link().ModuleAddress <= 15);
}

void MainWindowTest::ReleaseDoubleClick_ShowsTheCommunicationLog() {
  WindowUnderTest w;
  w.ShowTab(0);
  w.Click("CommandGenVersion");
  QVERIFY(w.WaitIdle());
  QTest::mouseDClick(w.Find<QWidget>("Release"), Qt::LeftButton);
  QWidget* log = nullptr;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top->isVisible() && top->windowTitle() == "Communication") log = top;
  }
  QVERIFY(log);
  auto* text = log->findChild<QPlainTextEdit*>();
  QVERIFY(text);
  QTRY_VERIFY(text->toPlainText().contains("> "));
  QVERIFY(text->toPlainText().contains("< "));
  // Not modal: the main window goes on taking input.
  QVERIFY(!QApplication::activeModalWidget());
  WindowUnderTest::Shot(log, "communication_window");
  log->close();
}

void MainWindowTest::ReadAll_FromTheButton_ReadsTheBoardWithoutFreezingTheWindow() {
  WindowUnderTest::Setup setup;
  setup.bit_rate = 38400;  // real wire time, so the operation takes a while
  WindowUnderTest w(setup);
  QElapsedTimer clock;
  qint64 last = 0;
  qint64 longest_gap = 0;
  QTimer ticker;
  ticker.setInterval(10);
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    const qint64 now = clock.elapsed();
    longest_gap = std::max(longest_gap, now - last);
    last = now;
  });
  bool label_seen = false;
  bool tabs_disabled_seen = false;
  int progress_max_seen = 0;
  bool shot_taken = false;
  QTimer watcher;
  watcher.setInterval(20);
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    if (w.Shown("LabelAction")) label_seen = true;
    if (!w.Find<QWidget>("SSTab_Main")->isEnabled()) tabs_disabled_seen = true;
    auto* bar = w.Find<QProgressBar>("ProgressAction");
    if (bar->maximum() == 32 && bar->value() > 3 && !shot_taken) {
      shot_taken = true;
      WindowUnderTest::Shot(&w.window(), "main_busy");
    }
    progress_max_seen = std::max(progress_max_seen, bar->maximum());
  });
  w.Click("CommandReadAll");
  QVERIFY(w.Shown("LabelAction"));  // from the click on, before the tick
  clock.start();
  ticker.start();
  watcher.start();
  QVERIFY(w.WaitIdle(60000));
  const qint64 took = clock.elapsed();
  ticker.stop();
  watcher.stop();
  QVERIFY2(took > 300, "the operation should have taken some wire time");
  QVERIFY2(longest_gap <= 100, qPrintable(QString("event loop gap %1 ms").arg(longest_gap)));
  QVERIFY(label_seen);
  QVERIFY(tabs_disabled_seen);
  QCOMPARE(progress_max_seen, 32);
  QVERIFY(!w.Shown("LabelAction"));
  QVERIFY(w.Find<QWidget>("SSTab_Main")->isEnabled());
  QVERIFY(w.dialogs().Messages().empty());
  QCOMPARE(w.config().General.IdString, std::string("Demo Layout"));
  QCOMPARE(w.Text("TextGenIDString"), QString("Demo Layout"));
  QCOMPARE(w.config().Pins[0].AspectMode, 3);
  // The pin area shows what was read.
  QVERIFY(w.Find<QRadioButton>("OptionPAspConf_1")->isChecked());
  QVERIFY(!w.window().HasUnsavedChanges());
  w.ShowTab(2);
  w.Click("CheckPAspShowDetails");
  QVERIFY(w.Shown("CommandPCFGGetParam_0"));
  QTest::qWait(50);  // let the layout settle before the picture
  WindowUnderTest::Shot(&w.window(), "device_tab_demo_pin1");
  w.Type("TextPAspOutput", "9");
  QTest::qWait(50);
  WindowUnderTest::Shot(&w.window(), "device_tab_demo_servo");
}

void MainWindowTest::Cancel_StopsReadAllBetweenExchanges() {
  WindowUnderTest::Setup setup;
  setup.bit_rate = 9600;
  WindowUnderTest w(setup);
  w.Click("CommandReadAll");
  QTRY_VERIFY_WITH_TIMEOUT(w.window().Busy(), 2000);
  QTRY_VERIFY_WITH_TIMEOUT(w.Shown("CommandCancelOperation"), 2000);
  // The progress says in words what is read.
  auto* bar = w.Find<QProgressBar>("ProgressAction");
  QTRY_VERIFY_WITH_TIMEOUT(bar->format().startsWith("Reading pin "), 10000);
  QVERIFY2(QRegularExpression("Reading pin \\d+ of 32").match(bar->format()).hasMatch(),
           qPrintable(bar->format()));
  WindowUnderTest::Shot(&w.window(), "main_cancel_progress");
  QElapsedTimer clock;
  clock.start();
  w.Click("CommandCancelOperation");
  QVERIFY(w.WaitIdle(5000));
  QVERIFY2(clock.elapsed() < 2500, "the chain stops before its next exchange");
  QVERIFY(!w.window().Dispatcher().LastSucceeded());
  // One message says where it stopped, what the configuration holds and how to go back.
  QCOMPARE(w.dialogs().Messages().size(), size_t{1});
  const QString message = QString::fromStdString(w.dialogs().Messages()[0]);
  QVERIFY2(message.startsWith("Read All cancelled at pin "), qPrintable(message));
  QVERIFY2(message.contains(" and the event control keep their earlier values.\r\nEdit > Undo "
                            "brings back the configuration from before Read All."),
           qPrintable(message));
  QCOMPARE(w.Find<QAction>("ActionUndo")->text(), QString("Undo Read All"));
  // Reading stopped early: the board's ID string came, most pins did not.
  const size_t frames = w.board().Received().size();
  QVERIFY(frames < 60);
  QVERIFY(!w.Shown("LabelAction"));
  QVERIFY(w.Find<QWidget>("SSTab_Main")->isEnabled());
  // The window works on: the next operation runs normally.
  w.board().ClearReceived();
  w.Click("CommandVerifyAll");
  WindowUnderTest::OnNextModal([](QWidget* report) { report->close(); });
  QVERIFY(w.WaitIdle(60000));
  QVERIFY(!w.board().Received().empty());
}

void MainWindowTest::TwoClicksWithinATick_OnlyTheSecondRuns() {
  WindowUnderTest w;
  w.board().ClearReceived();
  w.ShowTab(1);
  w.Click("CommandECRead");
  w.ShowTab(2);
  w.Click("CommandPAspReadPin");  // hidden without details; its click still queues
  QCOMPARE(w.window().Dispatcher().Pending(), std::string("PAspReadPin"));
  QVERIFY(w.WaitIdle());
  const auto messages = w.board().Messages();
  QVERIFY(!messages.empty());
  QCOMPARE(messages.front()[0], 114);  // the pin's aspect mode, not the event actions
  for (const auto& m : messages) QVERIFY(m[0] != 116 || m[1] == 0);
}

void MainWindowTest::VerifyAll_ClosedPort_RefusedBeforeQueueing() {
  WindowUnderTest::Setup setup;
  setup.open_port = false;
  WindowUnderTest w(setup);
  w.Click("CommandVerifyAll");
  QCOMPARE(w.dialogs().Messages(), std::vector<std::string>{"Select communications port"});
  QVERIFY(!w.Shown("LabelAction"));
  QVERIFY(w.window().Dispatcher().Pending().empty());
  // "Read All" is queued, fails at its first step and still refreshes.
  w.dialogs().Clear();
  w.Click("CommandReadAll");
  QVERIFY(w.Shown("LabelAction"));
  QVERIFY(w.WaitIdle());
  QVERIFY(!w.dialogs().Messages().empty());
  QCOMPARE(QString::fromStdString(w.dialogs().Messages()[0]),
           QString("Select communications port"));
  QVERIFY(!w.Shown("LabelAction"));
}

void MainWindowTest::VerifyAll_ShowsTheReportWindow() {
  WindowUnderTest w;
  w.Click("CommandReadAll");
  QVERIFY(w.WaitIdle());
  QString title;
  QString text;
  WindowUnderTest::OnNextModal([&](QWidget* report) {
    title = report->windowTitle();
    for (auto* edit : report->findChildren<QWidget*>()) {
      if (auto* plain = qobject_cast<QPlainTextEdit*>(edit)) text = plain->toPlainText();
      if (auto* rich = qobject_cast<QTextEdit*>(edit)) text = rich->toPlainText();
    }
    WindowUnderTest::Shot(report, "report_window");
    report->close();
  });
  w.Click("CommandVerifyAll");
  QVERIFY(w.WaitIdle(60000));
  QTRY_VERIFY_WITH_TIMEOUT(!title.isEmpty(), 5000);
  QCOMPARE(title, QString("VelaConfig - Verification Report"));
  QVERIFY2(text.endsWith("Verify OK"), qPrintable(text.right(80)));
}

void MainWindowTest::SaveFile_ShiftIsCompact_LoadFileBringsItBack() {
  WindowUnderTest::Setup setup;
  setup.open_port = false;
  WindowUnderTest w(setup);
  QTemporaryDir dir;
  const std::string compact = (dir.path() + "/compact.dat").toStdString();
  const std::string full = (dir.path() + "/full.dat").toStdString();
  w.dialogs().GiveFile(compact);
  QTest::mousePress(w.Find<QWidget>("CommandSave"), Qt::LeftButton, Qt::ShiftModifier);
  w.dialogs().GiveFile(full);
  QTest::mousePress(w.Find<QWidget>("CommandSave"), Qt::LeftButton);
  // Control is no form of "Save File": nothing is asked.
  QTest::mousePress(w.Find<QWidget>("CommandSave"), Qt::LeftButton, Qt::ControlModifier);
  auto lines = [](const std::string& path) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    return static_cast<int>(f.readAll().count("\r\n"));
  };
  QCOMPARE(lines(compact), 73);
  QCOMPARE(lines(full), 201);
  QVERIFY(!w.window().HasUnsavedChanges());
  QVERIFY(w.Shown("CommandRecentFiles"));

  w.ShowTab(2);
  w.Type("TextPAspDesc", "changed");
  QTest::keyClicks(w.Find<QLineEdit>("TextPAspDesc"), "!");
  QCOMPARE(w.config().Pins[0].Description, std::string("changed!"));
  QVERIFY(w.window().HasUnsavedChanges());
  w.dialogs().GiveFile(full);
  w.dialogs().Reply(Answer::kDiscard);  // the edit is given up, when asked
  w.Click("CommandLoad");
  QCOMPARE(w.dialogs().Questions().size(), size_t{1});
  QCOMPARE(w.config().Pins[0].Description, std::string(""));
  QCOMPARE(w.Text("TextPAspDesc"), QString(""));
  QVERIFY(w.dialogs().Messages().empty());
}

void MainWindowTest::Close_WithUnsavedChanges_Asks() {
  WindowUnderTest w;
  QVERIFY(w.window().close());  // nothing changed: no question
  QVERIFY(w.dialogs().Questions().empty());
  w.window().show();
  w.ShowTab(2);
  w.Type("TextPAspDesc", "x");
  QTest::keyClicks(w.Find<QLineEdit>("TextPAspDesc"), "y");
  w.dialogs().Reply(Answer::kCancel);
  QVERIFY(!w.window().close());
  QCOMPARE(w.dialogs().Questions().size(), size_t{1});
  QVERIFY(QString::fromStdString(w.dialogs().Questions()[0]).contains("neither saved nor written"));
  // The "y" still being typed was committed before the question.
  QCOMPARE(w.config().Current().Description, std::string("xy"));
  w.dialogs().Reply(Answer::kDiscard);
  QVERIFY(w.window().close());
}

void MainWindowTest::Monitor_PollsNeitherGreyTheWindowNorMoveTheFocus() {
  WindowUnderTest w;
  w.dialogs().Reply(Answer::kYes);
  QTest::mousePress(w.Find<QWidget>("Release"), Qt::RightButton);
  w.ShowTab(3);
  w.Click("CommandFBM_1");
  auto* monitor = w.Find<QPushButton>("CommandFBM_1");
  auto* timer2 = w.Find<QTimer>("Timer2");
  QVERIFY(timer2->isActive());
  bool greyed = false;
  bool focus_lost = false;
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 800) {
    QTest::qWait(5);
    if (!w.Find<QWidget>("SSTab_Main")->isEnabled()) greyed = true;
    if (!monitor->hasFocus()) focus_lost = true;
  }
  QVERIFY(!greyed);
  QVERIFY(!focus_lost);
  QVERIFY(timer2->isActive());
  QVERIFY(w.dialogs().Messages().empty());
  w.Click("CommandFBM_2");
  QVERIFY(!timer2->isActive());
  QVERIFY(w.WaitIdle(5000));
  QCOMPARE(w.Find<QPlainTextEdit>("textFBM")->toPlainText(),
           QString("Start Monitoring\nMonitoring Stopped\n"));
}

}  // namespace vela

QTEST_MAIN(vela::MainWindowTest)
#include "main_window_test.moc"
