// The window driven by the keyboard alone: the buttons that act on the mouse press take
// Space and Return, the help tools open with F4 from the parameter boxes, and the dialogs
// behind the "Pin", "Aspect" and step-number labels open from the context menus of the
// boxes beside them.
#include <QAction>
#include <QDialog>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include "gui_fixture.h"

using vela::testing::WindowUnderTest;

namespace vela {
namespace {

WindowUnderTest::Setup Closed() {
  WindowUnderTest::Setup s;
  s.open_port = false;
  return s;
}

int CrLfLines(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return -1;
  return static_cast<int>(f.readAll().count("\r\n"));
}

// Gives `box` the focus and opens its context menu with Shift+F10; the menu shown, or null.
QMenu* MenuByKeyboard(QWidget* box) {
  box->setFocus(Qt::TabFocusReason);
  QTest::keyClick(box, Qt::Key_F10, Qt::ShiftModifier);
  return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

QStringList Entries(const QList<QAction*>& actions) {
  QStringList texts;
  for (QAction* a : actions) {
    if (!a->isSeparator()) texts << a->text();
  }
  return texts;
}

// The object name of the modal dialog `open` brings up (closed again at once), or "".
QString ModalOpenedBy(const std::function<void()>& open) {
  QString name;
  WindowUnderTest::OnNextModal([&name](QWidget* d) {
    name = d->objectName();
    if (auto* dialog = qobject_cast<QDialog*>(d)) dialog->reject();
  });
  open();
  // A menu entry acts once the menu has closed, from the event loop.
  if (!QTest::qWaitFor([&name] { return !name.isEmpty(); }, 2000)) return {};
  return name;
}

}  // namespace

class KeyboardRoutesTest : public QObject {
  Q_OBJECT

 private slots:
  void SaveFile_SpaceSavesFull_ShiftReturnSavesCompact_ControlSpaceDoesNothing();
  void HelpTool_F4OnParameterBox_OpensWhatADoubleClickOpens();
  void HelpTool_F4WhereNoToolExists_SaysSo();
  void PinBox_ContextMenuByKeyboard_OpensThePinClipboardDialog();
  void AspectBoxAndStepBoxes_ContextMenus_CarryTheLabelsEntries();
};

void KeyboardRoutesTest::SaveFile_SpaceSavesFull_ShiftReturnSavesCompact_ControlSpaceDoesNothing() {
  WindowUnderTest w(Closed());
  QTemporaryDir dir;
  const QString full = dir.path() + "/full.dat";
  const QString compact = dir.path() + "/compact.dat";
  auto* save = w.Find<QWidget>("CommandSave");
  save->setFocus(Qt::TabFocusReason);
  w.dialogs().GiveFile(full.toStdString());
  QTest::keyClick(save, Qt::Key_Space);
  QCOMPARE(CrLfLines(full), 201);
  w.dialogs().GiveFile(compact.toStdString());
  QTest::keyClick(save, Qt::Key_Return, Qt::ShiftModifier);
  QCOMPARE(CrLfLines(compact), 73);
  // As with the mouse, Control is no form of "Save File": the file offered is not taken.
  const QString other = dir.path() + "/other.dat";
  w.dialogs().GiveFile(other.toStdString());
  QTest::keyClick(save, Qt::Key_Space, Qt::ControlModifier);
  QVERIFY(!QFile::exists(other));
}

void KeyboardRoutesTest::HelpTool_F4OnParameterBox_OpensWhatADoubleClickOpens() {
  WindowUnderTest w(Closed());
  w.ShowTab(2);
  w.Click("OptionPAspConf_1");
  w.Choose("ComboPAspInst_0", "Multibit 3");
  w.Choose("ComboPAspInst_1", "Wait");
  for (const char* name : {"TextPAspPar1_0", "TextPAspPar2_1"}) {
    auto* box = w.Find<QWidget>(name);
    const QString by_mouse = ModalOpenedBy([box] { QTest::mouseDClick(box, Qt::LeftButton); });
    // The window the dialog returned to, as the user sees it, with the box focused.
    QApplication::setActiveWindow(&w.window());
    box->setFocus(Qt::TabFocusReason);
    const QString by_key = ModalOpenedBy([box] { QTest::keyClick(box, Qt::Key_F4); });
    QVERIFY2(!by_mouse.isEmpty(), name);
    QCOMPARE(by_key, by_mouse);
  }
  QVERIFY(w.dialogs().Messages().empty());
}

void KeyboardRoutesTest::HelpTool_F4WhereNoToolExists_SaysSo() {
  WindowUnderTest w(Closed());
  w.ShowTab(2);
  w.Click("OptionPAspConf_1");
  w.Choose("ComboPAspInst_0", "Off");
  auto* box = w.Find<QWidget>("TextPAspPar1_0");
  box->setFocus(Qt::TabFocusReason);
  QTest::keyClick(box, Qt::Key_F4);
  QCOMPARE(
      w.dialogs().Messages(),
      (std::vector<std::string>{"Help tool not available for this box with the selected command"}));
}

void KeyboardRoutesTest::PinBox_ContextMenuByKeyboard_OpensThePinClipboardDialog() {
  WindowUnderTest w(Closed());
  w.ShowTab(2);
  QMenu* menu = MenuByKeyboard(w.Find<QWidget>("TextPAspOutput"));
  QVERIFY(menu);
  const QStringList entries = Entries(menu->actions());
  QVERIFY2(entries.contains("Edit Pin (Copy/Paste/Clear)..."), qPrintable(entries.join('|')));
  // The box's own editing entries stay above it.
  QVERIFY2(entries.size() > 1, qPrintable(entries.join('|')));
  QCOMPARE(entries.last(), QString("Edit Pin (Copy/Paste/Clear)..."));
  const QString opened = ModalOpenedBy([menu] {
    QTest::keyClick(menu, Qt::Key_Up);  // from no entry: the last one
    QTest::keyClick(menu, Qt::Key_Return);
  });
  QCOMPARE(opened, QString("dlgEditPin"));
  // The label offers the same entry to the mouse.
  auto* label = w.Find<QWidget>("LabelPAspOutput");
  QCOMPARE(label->contextMenuPolicy(), Qt::ActionsContextMenu);
  QCOMPARE(Entries(label->actions()), QStringList{"Edit Pin (Copy/Paste/Clear)..."});
}

void KeyboardRoutesTest::AspectBoxAndStepBoxes_ContextMenus_CarryTheLabelsEntries() {
  WindowUnderTest w(Closed());
  w.ShowTab(2);
  w.Click("OptionPAspConf_1");
  QMenu* menu = MenuByKeyboard(w.Find<QWidget>("TextPAspAspect"));
  QVERIFY(menu);
  QCOMPARE(Entries(menu->actions()).last(), QString("Edit Aspect (Copy/Paste/Clear)..."));
  menu->close();

  menu = MenuByKeyboard(w.Find<QWidget>("TextPAspPar2_3"));
  QVERIFY(menu);
  const QStringList entries = Entries(menu->actions());
  const QStringList ours = entries.mid(entries.size() - 3);
  QCOMPARE(ours, (QStringList{"Help Tool...", "Step Time Help Tool...",
                              "Edit Step (Insert/Delete/Copy/Paste)..."}));
  const QString opened = ModalOpenedBy([menu] {
    QTest::keyClick(menu, Qt::Key_Up);
    QTest::keyClick(menu, Qt::Key_Return);
  });
  QCOMPARE(opened, QString("dlgEditStep"));
  QCOMPARE(w.config().SelectedStepRow, 3);
  menu = MenuByKeyboard(w.Find<QWidget>("TextPAspOffset_0"));
  QVERIFY(menu);
  QCOMPARE(Entries(menu->actions()).mid(Entries(menu->actions()).size() - 2),
           (QStringList{"Step Time Help Tool...", "Edit Step (Insert/Delete/Copy/Paste)..."}));
  menu->close();
  QCOMPARE(Entries(w.Find<QWidget>("LabelPAspTime_0")->actions()), QStringList{"Help Tool..."});
  QCOMPARE(Entries(w.Find<QWidget>("LabelPAspStep_0")->actions()),
           QStringList{"Edit Step (Insert/Delete/Copy/Paste)..."});
}

}  // namespace vela

QTEST_MAIN(vela::KeyboardRoutesTest)
#include "keyboard_routes_test.moc"
