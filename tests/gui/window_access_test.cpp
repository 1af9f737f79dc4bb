// The window for keyboard and screen-reader users and on small screens: every control a user
// can tab to has a name a screen reader can speak, and the window fits a laptop screen.
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QCheckBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <functional>

#include "gui_fixture.h"
#include "ui/help_tools.h"
#include "ui/step_table.h"

using vela::testing::WindowUnderTest;

namespace vela {

namespace {

// The name a screen reader speaks: the accessible name, a buddy label's text or a button's
// caption, as Qt's accessibility layer works it out.
QString SpokenName(QWidget* w) {
  QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
  return a ? a->text(QAccessible::Name).trimmed() : QString();
}

// Controls of the window a user reaches with Tab; the edit line inside a spin or combo box is
// named by its owner, a tab bar by its tabs, a combo box's popup list by the combo box.
std::vector<QWidget*> FocusableControls(QWidget* root) {
  std::vector<QWidget*> controls;
  for (QWidget* w : root->findChildren<QWidget*>()) {
    if (!(w->focusPolicy() & Qt::TabFocus) || w->window() != root) continue;
    QWidget* owner = w->parentWidget();
    if (qobject_cast<QAbstractSpinBox*>(owner) || qobject_cast<QComboBox*>(owner)) continue;
    if (qobject_cast<QTabBar*>(w)) continue;
    controls.push_back(w);
  }
  return controls;
}

// Every tab at the window's present size, without and with "Show Details", in expert mode so
// that the Test tab and the expert buttons are shown too; `look` sees each in turn.
void EachTab(WindowUnderTest& w, const QString& size,
             const std::function<void(QWidget* page, const QString& shot)>& look) {
  w.config().ExpertMode = true;
  // The tallest device page: four aspects, every step row shown.
  w.ShowTab(2);
  w.Click("OptionPAspConf_1");
  QTest::qWait(10);
  auto* tabs = w.Find<QTabWidget>("SSTab_Main");
  for (bool details : {false, true}) {
    auto* show = w.Find<QCheckBox>("CheckPAspShowDetails");
    if (show->isChecked() != details) {
      w.ShowTab(2);
      QTest::qWait(10);
      w.Click("CheckPAspShowDetails");
    }
    for (int i = 0; i < tabs->count(); ++i) {
      w.ShowTab(i);
      QTest::qWait(20);
      const QString shot = QString("%1_tab%2%3").arg(size).arg(i).arg(details ? "_details" : "");
      WindowUnderTest::Shot(&w.window(), shot);
      look(tabs->currentWidget(), shot);
    }
  }
}

QString Describe(QWidget* w) {
  return QString("%1 (%2)").arg(w->objectName(), w->metaObject()->className());
}

}  // namespace

class WindowAccessTest : public QObject {
  Q_OBJECT

 private slots:
  void EveryFocusableControl_HasASpokenName();
  void StepParameterBox_NamedByRowAndItsInstructionsCaption_FollowsANewInstruction();
  void HelpToolsAndClipboardDialogs_EveryFocusableControl_HasASpokenName();
  void SmallScreen_WindowShrinksTo1366By660AndShowDetailsKeepsItsSize();
  void SmallScreen_EveryShownControlIsInTheWindowOrItsTabScrolls();
  void DefaultSize_NoTabShowsAScrollBar();
};

void WindowAccessTest::EveryFocusableControl_HasASpokenName() {
  WindowUnderTest w;
  QStringList nameless;
  const auto controls = FocusableControls(&w.window());
  for (QWidget* c : controls) {
    if (SpokenName(c).isEmpty()) nameless << Describe(c);
  }
  // The failure message is cut short; the whole list goes to the log.
  for (const QString& name : nameless) qWarning("nameless: %s", qPrintable(name));
  QVERIFY2(controls.size() > 150, qPrintable(QString::number(controls.size())));
  QVERIFY2(nameless.isEmpty(), qPrintable(nameless.join(", ")));
}

void WindowAccessTest::
    StepParameterBox_NamedByRowAndItsInstructionsCaption_FollowsANewInstruction() {
  WindowUnderTest w;
  auto name = [&](const QString& box) { return SpokenName(w.Find(box)); };
  w.Choose("ComboPAspInst_3", "Jump");
  QCOMPARE(name("TextPAspOffset_3"), QString("Step 3 parameter 0 (P.O.)"));
  QCOMPARE(name("TextPAspPar1_3"), QString("Step 3 parameter 1 (Asp#)"));
  QCOMPARE(name("TextPAspPar2_3"), QString("Step 3 parameter 2 (Ins#)"));
  QCOMPARE(w.Find("TextPAspPar1_3")->toolTip(),
           QString("Step 3 parameter 1 (Asp#)\nDouble-click for help-tool"));
  QCOMPARE(name("CheckPAspFade_3"), QString("Step 3 fade"));
  // On Linux a combo box speaks its current item as its name; the set name serves elsewhere.
  QCOMPARE(w.Find("ComboPAspInst_3")->accessibleName(), QString("Step 3 instruction"));
  w.Choose("ComboPAspInst_3", "Off");
  QCOMPARE(name("TextPAspPar1_3"), QString("Step 3 parameter 1 (T(/60))"));
  QCOMPARE(name("TextPAspPar2_3"), QString("Step 3 parameter 2"));
  // Another row keeps the captions of its own instruction.
  w.Choose("ComboPAspInst_5", "Clone");
  QCOMPARE(name("TextPAspPar1_5"), QString("Step 5 parameter 1 (Source)"));
  QCOMPARE(name("TextPAspPar1_3"), QString("Step 3 parameter 1 (T(/60))"));
}

void WindowAccessTest::HelpToolsAndClipboardDialogs_EveryFocusableControl_HasASpokenName() {
  WindowUnderTest w;
  QStringList nameless;
  auto walk = [&](QWidget* dialog) {
    for (QWidget* c : FocusableControls(dialog)) {
      if (SpokenName(c).isEmpty()) nameless << dialog->objectName() + ": " + Describe(c);
    }
  };
  auto* steps = w.window().findChild<ui::StepTable*>();
  QVERIFY(steps);
  walk(&steps->TimeTool());
  walk(&steps->PatternTool());
  walk(&steps->EventMapTool());
  walk(&steps->LevelTool());
  w.ShowTab(2);
  w.Click("OptionPAspConf_1");
  for (const char* label : {"LabelPAspOutput", "LabelPAspAspect", "LabelPAspStep_3"}) {
    bool seen = false;
    WindowUnderTest::OnNextModal([&](QWidget* d) {
      seen = true;
      walk(d);
      d->close();
    });
    w.Click(label);
    QVERIFY2(seen, label);
  }
  for (const QString& name : nameless) qWarning("nameless: %s", qPrintable(name));
  QVERIFY2(nameless.isEmpty(), qPrintable(nameless.join(", ")));
}

void WindowAccessTest::SmallScreen_WindowShrinksTo1366By660AndShowDetailsKeepsItsSize() {
  WindowUnderTest w;
  // 768 lines less a taskbar leave about 700; the title bar takes the rest.
  const QSize laptop(1366, 660);
  w.window().resize(laptop);
  QTest::qWait(20);
  QVERIFY2(w.window().width() <= laptop.width() && w.window().height() <= laptop.height(),
           qPrintable(QString("%1x%2").arg(w.window().width()).arg(w.window().height())));
  const QSize before = w.window().size();
  w.Click("CheckPAspShowDetails");
  QTest::qWait(20);
  QCOMPARE(w.window().size(), before);
  WindowUnderTest::Shot(&w.window(), "window_1366x660");
}

// A control the window cannot show whole is still reachable when a scroll area of its tab
// holds it; what lies outside both is lost.
void WindowAccessTest::SmallScreen_EveryShownControlIsInTheWindowOrItsTabScrolls() {
  WindowUnderTest w;
  w.window().resize(1366, 660);
  QTest::qWait(20);
  QStringList lost;
  EachTab(w, "1366x660", [&](QWidget*, const QString& shot) {
    const QRect window_rect = w.window().rect();
    for (QWidget* c : FocusableControls(&w.window())) {
      if (!c->isVisible()) continue;
      QWidget* holder = &w.window();
      for (QWidget* a = c->parentWidget(); a && a != &w.window(); a = a->parentWidget()) {
        if (auto* scroll = qobject_cast<QScrollArea*>(a)) {
          if (scroll->widget() && scroll->widget()->isAncestorOf(c)) {
            holder = scroll;
            break;
          }
        }
      }
      const QRect inside = holder == &w.window()
                               ? window_rect
                               : QRect(holder->mapTo(&w.window(), QPoint(0, 0)), holder->size());
      const QRect at(c->mapTo(&w.window(), QPoint(0, 0)), c->size());
      if (!window_rect.contains(inside) || (holder == &w.window() && !inside.contains(at))) {
        lost << shot + ": " + Describe(c);
      }
    }
  });
  QVERIFY2(lost.isEmpty(), qPrintable(lost.join(", ")));
}

// At the size the window opens with on a desktop, scrolling is not needed anywhere.
void WindowAccessTest::DefaultSize_NoTabShowsAScrollBar() {
  WindowUnderTest w;
  QStringList scrolling;
  EachTab(w, "default", [&](QWidget* page, const QString& shot) {
    for (QScrollArea* scroll : page->window()->findChildren<QScrollArea*>()) {
      if (!scroll->isVisible()) continue;
      if (scroll->horizontalScrollBar()->isVisible() || scroll->verticalScrollBar()->isVisible())
        scrolling << shot + ": " + scroll->objectName();
    }
  });
  QVERIFY2(scrolling.isEmpty(), qPrintable(scrolling.join(", ")));
}

}  // namespace vela

QTEST_MAIN(vela::WindowAccessTest)
#include "window_access_test.moc"
