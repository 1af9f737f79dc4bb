// The "no job running" rule every editor takes its input through: a control's signal reaches
// its handler only while no board job owns the model, with the signal's arguments.
#include <QLineEdit>
#include <QtTest>

#include "fake_window_context.h"
#include "ui/window_context.h"

using vela::testing::FakeWindowContext;
using vela::ui::ConnectInput;

namespace {

// A receiver with a member handler, as the tabs connect theirs.
class Recorder : public QObject {
 public:
  void Take(const QString& text) { taken << text; }
  QStringList taken;
};

}  // namespace

class WindowContextTest : public QObject {
  Q_OBJECT

 private slots:
  void Input_DuringAJob_IsDropped_AndAfterItTaken() {
    FakeWindowContext context;
    QLineEdit box;
    Recorder recorder;
    QStringList lambda_texts;
    int clicks_without_arguments = 0;
    ConnectInput(context, &box, &QLineEdit::textEdited, &recorder, &Recorder::Take);
    ConnectInput(context, &box, &QLineEdit::textEdited, &recorder,
                 [&](const QString& text) { lambda_texts << text; });
    // A handler that takes fewer arguments than the signal carries.
    ConnectInput(context, &box, &QLineEdit::textEdited, &recorder,
                 [&] { ++clicks_without_arguments; });

    context.busy = true;
    emit box.textEdited("during the job");
    QVERIFY(recorder.taken.isEmpty());
    QVERIFY(lambda_texts.isEmpty());
    QCOMPARE(clicks_without_arguments, 0);

    context.busy = false;
    emit box.textEdited("after the job");
    QCOMPARE(recorder.taken, QStringList{"after the job"});
    QCOMPARE(lambda_texts, QStringList{"after the job"});
    QCOMPARE(clicks_without_arguments, 1);
  }
};

QTEST_MAIN(WindowContextTest)
#include "window_context_test.moc"
