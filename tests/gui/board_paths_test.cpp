// The window's board paths as a user meets them: one session on real pseudo-terminals served by
// vela-sim survives bit-rate changes, a board that goes away and a new path; a Write All whose
// messages went unconfirmed is not taken as written; a monitor on a faulty board stops after
// one message.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>

#include "gui_fixture.h"
#include "support/process.h"

namespace vela::testing {

const std::string kVelaSim = std::string(VELA_BINARY_DIR) + "/sim/vela-sim";

class BoardPathsTest : public QObject {
  Q_OBJECT

 private slots:
  void OpenChangeRateLoseOpenAnother_ReadAllWorks();
  void Refresh_ForgetsThePort_BitRateOpensNothing();
  void WriteAll_LostConfirmations_NotMarkedWrittenOneSummary();
  void Monitor_InvalidReplies_OneMessageAndStopped();
};

namespace {

WindowUnderTest::Setup RealPorts() {
  WindowUnderTest::Setup setup;
  setup.real_ports = true;
  setup.open_port = false;
  return setup;
}

void TypePath(WindowUnderTest& w, const std::string& path) {
  auto* combo = w.Find<QComboBox>("ComboPort");
  combo->lineEdit()->setFocus();
  combo->lineEdit()->selectAll();
  QTest::keyClicks(combo->lineEdit(), QString::fromStdString(path));
  QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
}

void PickBitRate(WindowUnderTest& w, int index) {
  QWidget* frame = w.Find<QWidget>("FrameBitrate");
  if (!frame->isVisible()) {
    QWidget* label = w.Find<QWidget>("LabelPort");
    QTest::mouseDClick(label, Qt::LeftButton, Qt::NoModifier, label->rect().center());
  }
  w.Click(QString("OptionBitRate_%1").arg(index));
}

QString Joined(const std::vector<std::string>& texts) {
  QString all;
  for (const auto& t : texts) all += QString::fromStdString(t) + " | ";
  return all;
}

}  // namespace

void BoardPathsTest::OpenChangeRateLoseOpenAnother_ReadAllWorks() {
  auto first = std::make_unique<SimProcess>(kVelaSim, std::vector<std::string>{"--demo"});
  QVERIFY(!first->path().empty());
  WindowUnderTest w(RealPorts());
  TypePath(w, first->path());
  QVERIFY(w.WaitIdle());
  QCOMPARE(w.Text("LabelPortState"), QString("open"));
  PickBitRate(w, 2);
  QVERIFY(w.WaitIdle());
  QVERIFY2(w.dialogs().Messages().empty(), qPrintable(Joined(w.dialogs().Messages())));
  QCOMPARE(w.Text("LabelPortState"), QString("open"));
  QCOMPARE(w.window().Link().BitRateIndex(), 2);

  // The board goes away: one message about the port, and the window shows it closed.
  first->Stop();
  first.reset();
  w.Click("CommandReadAll");
  QVERIFY(w.WaitIdle(60000));
  const auto lost = w.dialogs().Messages();
  QCOMPARE(std::count_if(lost.begin(), lost.end(),
                         [](const std::string& m) {
                           return m.rfind("The serial port was closed: ", 0) == 0;
                         }),
           1);
  QCOMPARE(w.Text("LabelPortState"), QString("closed"));

  // Another board on another path, in the same session.
  SimProcess second(kVelaSim, {"--demo"});
  QVERIFY(!second.path().empty());
  w.dialogs().Clear();
  TypePath(w, second.path());
  QVERIFY(w.WaitIdle());
  QVERIFY2(w.dialogs().Messages().empty(), qPrintable(Joined(w.dialogs().Messages())));
  QCOMPARE(w.Text("LabelPortState"), QString("open"));
  w.config().General.IdString = "changed";
  w.dialogs().Reply(Answer::kDiscard);  // asked before the read replaces the change
  w.Click("CommandReadAll");
  QVERIFY(w.WaitIdle(60000));
  QVERIFY2(w.dialogs().Messages().empty(), qPrintable(Joined(w.dialogs().Messages())));
  QVERIFY(w.window().Dispatcher().LastSucceeded());
  QVERIFY(w.config().General.IdString != "changed");
}

void BoardPathsTest::Refresh_ForgetsThePort_BitRateOpensNothing() {
  SimProcess sim(kVelaSim, {"--demo"});
  QVERIFY(!sim.path().empty());
  WindowUnderTest w(RealPorts());
  TypePath(w, sim.path());
  QVERIFY(w.WaitIdle());
  QCOMPARE(w.Text("LabelPortState"), QString("open"));
  w.Click("cmdRefreshComm");
  QVERIFY(w.WaitIdle());
  QCOMPARE(w.Text("LabelPortState"), QString("closed"));
  PickBitRate(w, 0);
  QVERIFY(w.WaitIdle());
  QCOMPARE(w.Text("LabelPortState"), QString("closed"));
  QVERIFY(!w.window().Link().IsLinkOpen());
  QCOMPARE(w.window().Link().BitRateIndex(), 0);
  QVERIFY2(w.dialogs().Messages().empty(), qPrintable(Joined(w.dialogs().Messages())));
}

void BoardPathsTest::WriteAll_LostConfirmations_NotMarkedWrittenOneSummary() {
  WindowUnderTest w;
  w.config().General.IdString = "Changed";
  QVERIFY(w.window().HasUnsavedChanges());
  w.board().GetFaults().no_reply = true;
  w.board().GetFaults().only_at_frame = 10;
  w.Click("CommandWriteAll");
  QVERIFY(w.WaitIdle(60000));
  const auto messages = w.dialogs().Messages();
  QVERIFY(messages.size() >= 2);
  QCOMPARE(QString::fromStdString(messages.front()),
           QString("No response received, resetting bidirectional communication"));
  const QString summary = QString::fromStdString(messages.back());
  QVERIFY2(summary.startsWith("Write All: ") &&
               summary.contains(" messages were not confirmed by the board") &&
               summary.endsWith("Run Verify All to check the board."),
           qPrintable(summary));
  QCOMPARE(std::count_if(messages.begin(), messages.end(),
                         [](const std::string& m) { return m.rfind("Write All: ", 0) == 0; }),
           1);
  QVERIFY(w.window().HasUnsavedChanges());

  // The same write confirmed throughout: written, and nothing said.
  w.board().GetFaults() = sim::Faults{};
  w.dialogs().Clear();
  w.window().Link().BidirectionalComm = true;
  w.Click("CommandWriteAll");
  QVERIFY(w.WaitIdle(60000));
  QVERIFY2(w.dialogs().Messages().empty(), qPrintable(Joined(w.dialogs().Messages())));
  QVERIFY(!w.window().HasUnsavedChanges());
}

void BoardPathsTest::Monitor_InvalidReplies_OneMessageAndStopped() {
  WindowUnderTest w;
  w.dialogs().Reply(Answer::kYes);
  QTest::mousePress(w.Find<QWidget>("Release"), Qt::RightButton);
  w.ShowTab(3);
  w.board().GetFaults().wrong_address_echo = true;
  w.Click("CommandFBM_1");
  QTest::qWait(600);  // six ticks of Timer2
  QVERIFY(w.WaitIdle());
  const auto messages = w.dialogs().Messages();
  QCOMPARE(messages.size(), size_t{1});
  QVERIFY(QString::fromStdString(messages[0]).startsWith("Invalid response received, "));
  QVERIFY(!w.Find<QTimer>("Timer2")->isActive());
  QVERIFY(w.Find<QPlainTextEdit>("textFBM")->toPlainText().endsWith("Monitoring Stopped\n"));
}

}  // namespace vela::testing

QTEST_MAIN(vela::testing::BoardPathsTest)
#include "board_paths_test.moc"
