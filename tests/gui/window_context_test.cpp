// The "no job running" rule every editor takes its input through: a control's signal reaches
// its handler only while no board job owns the model, with the signal's arguments. And the
// context's announcements, which the pieces of the window follow.
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

  void Input_WhileIdle_AnnouncesTheEditAfterItsHandler_AndNotOnceAJobOwnsTheModel() {
    FakeWindowContext context;
    QLineEdit box;
    QStringList order;
    bool start_job = false;
    ConnectInput(context, &box, &QLineEdit::textEdited, &box, [&] {
      order << "handler";
      if (start_job) context.busy = true;
    });
    QObject::connect(&context.Events(), &vela::ui::ModelEvents::configEdited, &box,
                     [&] { order << "edited"; });

    emit box.textEdited("typed");
    QCOMPARE(order, (QStringList{"handler", "edited"}));

    order.clear();
    start_job = true;
    emit box.textEdited("starts a job");
    QCOMPARE(order, QStringList{"handler"});

    order.clear();
    emit box.textEdited("during the job");
    QVERIFY(order.isEmpty());
  }

  void ConfigReplaced_AnnouncesEveryPartInTheWindowsRedisplayOrder() {
    FakeWindowContext context;
    QStringList order;
    vela::ui::ModelEvents& events = context.Events();
    QObject receiver;
    using E = vela::ui::ModelEvents;
    const std::pair<void (E::*)(), const char*> announcements[] = {
        {&E::configReplaced, "all"},
        {&E::pinConfigChanged, "pin config"},
        {&E::pinChanged, "pin"},
        {&E::addressesChanged, "addresses"},
        {&E::eventControlChanged, "events"},
        {&E::generalChanged, "general"},
        {&E::linkChanged, "link"}};
    for (auto [signal, name] : announcements) {
      QObject::connect(&events, signal, &receiver,
                       [&order, name = QString(name)] { order << name; });
    }
    // The fake counts announcements instead of emitting them; the context's own rule is this.
    context.WindowContext::ConfigReplaced();
    QCOMPARE(order, (QStringList{"general", "events", "addresses", "pin", "pin config", "all"}));
  }

  void SelectPinAndAspect_CommitsThePinLeftFirst_AndTakesOnlyAnAspectThePinHas() {
    FakeWindowContext context;
    context.config.CurrentPin = 1;
    context.config.CurrentAspect = 0;
    context.config.Pins[5].AspectMode = 3;  // four aspects
    QList<int> committed_on_pin;
    QList<bool> aspect_taken;
    QObject receiver;
    vela::ui::ModelEvents& events = context.Events();
    QObject::connect(&events, &vela::ui::ModelEvents::commitPendingEdits, &receiver,
                     [&] { committed_on_pin << context.config.CurrentPin; });
    QObject::connect(&events, &vela::ui::ModelEvents::pinSelected, &receiver,
                     [&](bool taken) { aspect_taken << taken; });

    context.SelectPinAndAspect(5, 7);  // beyond four aspects: the pin changes, the aspect not
    QCOMPARE(committed_on_pin, QList<int>{1});
    QCOMPARE(context.config.CurrentPin, 5);
    QCOMPARE(context.config.CurrentAspect, 0);
    QCOMPARE(aspect_taken, QList<bool>{false});
    QCOMPARE(context.refresh_pin, 1);
    QCOMPARE(context.refresh_pin_config, 1);
    QCOMPARE(context.refresh_address_displays, 1);

    context.SelectPinAndAspect(5, 2);
    QCOMPARE(context.config.CurrentAspect, 2);
    QCOMPARE(aspect_taken, (QList<bool>{false, true}));

    context.busy = true;
    context.SelectPinAndAspect(9, 1);
    QCOMPARE(context.config.CurrentPin, 5);
    QCOMPARE(committed_on_pin, (QList<int>{1, 5}));
  }
};

QTEST_MAIN(WindowContextTest)
#include "window_context_test.moc"
