// The window for keyboard and screen-reader users and on small screens: every control a user
// can tab to has a name a screen reader can speak, and the window fits a laptop screen.
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QScrollArea>
#include <QTabBar>

#include "gui_fixture.h"

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

QString Describe(QWidget* w) {
  return QString("%1 (%2)").arg(w->objectName(), w->metaObject()->className());
}

}  // namespace

class WindowAccessTest : public QObject {
  Q_OBJECT

 private slots:
  void EveryFocusableControl_HasASpokenName();
  void SmallScreen_WindowShrinksTo1366By660AndShowDetailsKeepsItsSize();
};

void WindowAccessTest::EveryFocusableControl_HasASpokenName() {
  WindowUnderTest w;
  QStringList nameless;
  const auto controls = FocusableControls(&w.window());
  for (QWidget* c : controls) {
    if (SpokenName(c).isEmpty()) nameless << Describe(c);
  }
  QVERIFY2(controls.size() > 150, qPrintable(QString::number(controls.size())));
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

}  // namespace vela

QTEST_MAIN(vela::WindowAccessTest)
#include "window_access_test.moc"
