// What the window remembers between runs and what its command line asks for: the settings file
// and its checks, --no-settings, a file named at start, the save dialog's extension, the port
// list dropping down and the Board menu's bit rate.
#include <QAbstractItemView>
#include <QAction>
#include <QDialogButtonBox>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>

#include "cli/cli_options.h"
#include "files/data_file.h"
#include "gui_fixture.h"
#include "ui/qt_dialogs.h"
#include "ui/window_command_line.h"
#include "ui/window_settings.h"

using vela::testing::WindowUnderTest;

namespace vela {

class WindowSettingsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void SettingsFile_RoundTrip_EightRecentNewestFirst_BadValuesIgnored();
  void Geometry_SavedOnALargerScreen_RestoredOnThisOne();
  void RememberedLink_AppliedAtStart_CommandLineWins_SimulatedBoardNotRemembered();
  void NoSettings_RunWritesNoFile_WithoutItTheFileAppears();
  void BaudAndModuleMistakes_BaudInVelaclisWords_ModuleInTheDirectRange();
  void FileArgument_WindowShowsItsContentAndNameInTitle();
  void SaveDialog_StartsOnTheFileInUse_AddsDat();
  void PortList_DropDownListsNewPorts_KeepsTheOpenChoice();
  void BitRateMenu_FollowsTheStripAndSetsIt();

 private:
  // Where this process's "user" settings go: never the real ones.
  QTemporaryDir config_home_;
};

namespace {

std::vector<std::string> Files(const QString& folder) {
  std::vector<std::string> files;
  QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) files.push_back(it.next().toStdString());
  return files;
}

std::string Mistake(const QStringList& args) {
  return ui::ParseWindowCommandLine(QStringList{"velaconfig"} + args).mistake;
}

std::string VelacliMistake(const std::vector<std::string>& args) {
  try {
    cli::ParseOptions(args);
  } catch (const cli::UsageError& e) {
    return e.what();
  }
  return "(accepted)";
}

}  // namespace

void WindowSettingsTest::initTestCase() {
  QVERIFY(config_home_.isValid());
  qputenv("XDG_CONFIG_HOME", config_home_.path().toLocal8Bit());
  qputenv("HOME", config_home_.path().toLocal8Bit());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config_home_.path());
}

void WindowSettingsTest::SettingsFile_RoundTrip_EightRecentNewestFirst_BadValuesIgnored() {
  QTemporaryDir dir;
  const QString ini = dir.filePath("velaconfig.ini");
  {
    ui::WindowSettings settings(ini);
    for (int i = 1; i <= 10; ++i) settings.AddRecentFile("/data/f" + std::to_string(i) + ".dat");
    settings.AddRecentFile("/data/f5.dat");
    settings.SetPort("/dev/ttyUSB1");
    settings.SetBitRateIndex(2);
    settings.SetModuleAddress(12);
    QVERIFY(settings.Written());
  }
  ui::WindowSettings again(ini);
  QCOMPARE(
      again.RecentFiles(),
      (std::vector<std::string>{"/data/f5.dat", "/data/f10.dat", "/data/f9.dat", "/data/f8.dat",
                                "/data/f7.dat", "/data/f6.dat", "/data/f4.dat", "/data/f3.dat"}));
  QCOMPARE(again.Port(), std::string("/dev/ttyUSB1"));
  QCOMPARE(again.BitRateIndex(), std::optional<int>(2));
  QCOMPARE(again.ModuleAddress(), std::optional<int>(12));
  QCOMPARE(QSettings(ini, QSettings::IniFormat).value("Link/BitRate").toString(), QString("38400"));
  // Two windows at once: a file one of them adds does not push out what the other added.
  {
    const QString shared = dir.filePath("shared.ini");
    ui::WindowSettings one(shared);
    ui::WindowSettings other(shared);
    one.AddRecentFile("/data/a.dat");
    other.AddRecentFile("/data/b.dat");
    QCOMPARE(other.RecentFiles(), (std::vector<std::string>{"/data/b.dat", "/data/a.dat"}));
    one.RemoveRecentFile("/data/b.dat");
    QCOMPARE(ui::WindowSettings(shared).RecentFiles(), std::vector<std::string>{"/data/a.dat"});
  }

  // Edited by hand: a rate the board has not, an address beyond the direct link, a geometry
  // that is no geometry. Each is left out; the window still starts.
  {
    QSettings edit(ini, QSettings::IniFormat);
    edit.setValue("Link/BitRate", "2");
    edit.setValue("Link/ModuleAddress", "16");
    edit.setValue("Window/Geometry", "garbage");
  }
  auto edited = std::make_unique<ui::WindowSettings>(ini);
  QCOMPARE(edited->BitRateIndex(), std::optional<int>());
  QCOMPARE(edited->ModuleAddress(), std::optional<int>());
  QCOMPARE(edited->RecentFiles().size(), size_t{8});
  WindowUnderTest::Setup setup;
  setup.open_port = false;
  setup.options = [&](ui::MainWindowOptions& o) { o.settings = edited.get(); };
  WindowUnderTest w(setup);
  QCOMPARE(w.window().Link().BitRateIndex(), kDefaultBitRateIndex);
  QCOMPARE(w.window().Link().ModuleAddress, 0);
  auto* recent = w.Find<QMenu>("MenuRecentFiles");
  QCOMPARE(recent->actions().size(), 8);

  // A recent file gone since: the load says so, and the list lets it go.
  recent->actions().constFirst()->trigger();
  QCOMPARE(w.dialogs().Messages().size(), size_t{1});
  QVERIFY(w.dialogs().Messages()[0].starts_with("Cannot load /data/f5.dat: "));
  QCOMPARE(recent->actions().size(), 7);
  QCOMPARE(recent->actions().constFirst()->text(), QString("/data/f10.dat"));
  QCOMPARE(ui::WindowSettings(ini).RecentFiles().size(), size_t{7});
}

void WindowSettingsTest::Geometry_SavedOnALargerScreen_RestoredOnThisOne() {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  QByteArray geometry;
  {
    QWidget large;
    large.setGeometry(screen.right() + 500, screen.bottom() + 500, screen.width() * 2,
                      screen.height() * 2);
    geometry = large.saveGeometry();
  }
  ui::WindowSettings settings;
  settings.SetGeometry(geometry);
  // Not the fixture's window, which takes a size of its own.
  testing::ScriptedDialogs dialogs;
  ui::MainWindowOptions options;
  options.dialogs = &dialogs;
  options.settings = &settings;
  options.list_ports = nullptr;
  options.device_folders = {std::filesystem::path(VELA_SOURCE_DIR) / "data"};
  ui::MainWindow window(options);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  // Within the screen, as large as it is; larger only where the window cannot be smaller.
  const QRect at = window.frameGeometry();
  const QSize least = window.minimumSize().expandedTo(window.minimumSizeHint()) + at.size() -
                      window.geometry().size();
  QVERIFY2(
      screen.contains(at.topLeft()) && at.width() <= std::max(screen.width(), least.width()) &&
          at.height() <= std::max(screen.height(), least.height()),
      qPrintable(QString("%1,%2 %3x%4").arg(at.x()).arg(at.y()).arg(at.width()).arg(at.height())));
}

void WindowSettingsTest::
    RememberedLink_AppliedAtStart_CommandLineWins_SimulatedBoardNotRemembered() {
  QTemporaryDir dir;
  const QString ini = dir.filePath("velaconfig.ini");
  {
    ui::WindowSettings settings(ini);
    settings.SetPort("/dev/ttyFAKE0");
    settings.SetBitRateIndex(0);
    settings.SetModuleAddress(7);
  }
  const std::vector<PortInfo> listed = {{"/dev/ttyFAKE0", "USB UART", "FTDI", "A50285BI"}};
  {
    ui::WindowSettings settings(ini);
    WindowUnderTest::Setup setup;
    setup.open_port = false;
    setup.options = [&](ui::MainWindowOptions& o) {
      o.settings = &settings;
      o.list_ports = [&] { return listed; };
    };
    WindowUnderTest w(setup);
    QVERIFY(w.window().Link().IsLinkOpen());
    QCOMPARE(w.window().Link().PortName(), std::string("/dev/ttyFAKE0"));
    QCOMPARE(w.window().Link().BitRateIndex(), 0);
    QCOMPARE(w.Text("TextAddress"), QString("8"));  // 7 on the wire, numbered from 1
    QVERIFY(w.Find<QAction>("ActionBitRate_0")->isChecked());
  }
  {
    // The command line over the file; the demo board opened is not remembered as the port.
    ui::WindowSettings settings(ini);
    WindowUnderTest::Setup setup;
    setup.options = [&](ui::MainWindowOptions& o) {
      o.settings = &settings;
      o.list_ports = [&] { return listed; };
      o.bit_rate_index = 2;
      o.module_address = 3;
    };
    WindowUnderTest w(setup);
    QCOMPARE(w.window().Link().PortName(), std::string(sim::kDemoBoardName));
    QCOMPARE(w.window().Link().BitRateIndex(), 2);
    QCOMPARE(w.window().Link().ModuleAddress, 3);
  }
  ui::WindowSettings after(ini);
  QCOMPARE(after.Port(), std::string("/dev/ttyFAKE0"));
  QCOMPARE(after.BitRateIndex(), std::optional<int>(2));
  QCOMPARE(after.ModuleAddress(), std::optional<int>(3));

  // The remembered port is not there this time: nothing is opened or chosen, but its name
  // stands in the box for Return to open.
  ui::WindowSettings settings(ini);
  WindowUnderTest::Setup setup;
  setup.open_port = false;
  setup.options = [&](ui::MainWindowOptions& o) { o.settings = &settings; };
  WindowUnderTest w(setup);
  QVERIFY(!w.window().Link().IsLinkOpen());
  auto* ports = w.Find<QComboBox>("ComboPort");
  QCOMPARE(ports->currentIndex(), -1);
  QCOMPARE(ports->currentText(), QString("/dev/ttyFAKE0"));
}

void WindowSettingsTest::NoSettings_RunWritesNoFile_WithoutItTheFileAppears() {
  QTemporaryDir dir;
  const std::string file = dir.filePath("layout.dat").toStdString();
  auto run = [&](const QStringList& args) {
    const ui::WindowCommandLine command_line =
        ui::ParseWindowCommandLine(QStringList{"velaconfig", "--baud", "9600"} + args);
    std::unique_ptr<ui::WindowSettings> settings = ui::SettingsFor(command_line);
    WindowUnderTest::Setup setup;
    setup.options = [&](ui::MainWindowOptions& o) {
      const ui::MainWindowOptions wanted = ui::WindowOptionsFor(command_line, settings.get());
      o.settings = wanted.settings;
      o.bit_rate_index = wanted.bit_rate_index;
    };
    WindowUnderTest w(setup);
    w.dialogs().GiveFile(file);
    w.Find<QAction>("ActionSaveAs")->trigger();
    w.window().close();
  };
  const std::vector<std::string> before = Files(config_home_.path());
  run({"--no-settings"});
  QCOMPARE(Files(config_home_.path()), before);
  run({});
  std::vector<std::string> after = before;
  after.push_back(config_home_.filePath("VelaConfig/velaconfig.ini").toStdString());
  QCOMPARE(Files(config_home_.path()), after);
  const ui::WindowSettings written(config_home_.filePath("VelaConfig/velaconfig.ini"));
  QCOMPARE(written.RecentFiles(), std::vector<std::string>{file});
  QCOMPARE(written.BitRateIndex(), std::optional<int>(0));
  QVERIFY(!written.Geometry().isEmpty());
  QFile::remove(config_home_.filePath("VelaConfig/velaconfig.ini"));
}

void WindowSettingsTest::BaudAndModuleMistakes_BaudInVelaclisWords_ModuleInTheDirectRange() {
  QCOMPARE(Mistake({"--baud", "1200"}),
           std::string("--baud takes 9600, 19200 or 38400, not \"1200\""));
  QCOMPARE(Mistake({"--baud=1200"}), VelacliMistake({"--baud=1200", "ports"}));
  QCOMPARE(Mistake({"-m", "x"}), std::string("--module takes a number from 0 to 15, not \"x\""));
  // The window starts on the direct link and has no --tunnel to point to.
  QCOMPARE(Mistake({"--module", "16"}),
           std::string("--module takes a number from 0 to 15, not \"16\""));
  QCOMPARE(VelacliMistake({"--module", "16", "--demo", "version"}),
           std::string("--module takes 0..15 on the direct link (0..31 with --tunnel)"));
  QCOMPARE(Mistake({"a.dat", "b.dat"}), std::string("one file at a time, not 2"));

  const ui::WindowCommandLine good = ui::ParseWindowCommandLine(
      {"velaconfig", "-b", "38400", "--module=15", "--no-settings", "layout.dat"});
  QCOMPARE(good.mistake, std::string());
  QCOMPARE(good.bit_rate_index, std::optional<int>(2));
  QCOMPARE(good.module_address, std::optional<int>(15));
  QVERIFY(good.no_settings);
  QCOMPARE(good.file, std::string("layout.dat"));
  // A value is not an option: "--baud 9600 --help" asks for the help.
  QVERIFY(ui::ParseWindowCommandLine({"velaconfig", "--baud", "9600", "--help"}).help);
  QVERIFY(!ui::ParseWindowCommandLine({"velaconfig", "--port", "--help"}).help);
}

void WindowSettingsTest::FileArgument_WindowShowsItsContentAndNameInTitle() {
  QTemporaryDir dir;
  const std::string file = dir.filePath("Bahnhof.dat").toStdString();
  {
    WindowUnderTest::Setup setup;
    setup.open_port = false;
    WindowUnderTest w(setup);
    w.ShowTab(2);
    w.Type("TextPAspDesc", "Einfahrt");
    w.dialogs().GiveFile(file);
    w.Find<QAction>("ActionSaveAs")->trigger();
  }
  // Named from its folder, the file is remembered by its whole path.
  const QString before = QDir::currentPath();
  QDir::setCurrent(dir.path());
  const std::string named =
      ui::WindowOptionsFor(ui::ParseWindowCommandLine({"velaconfig", "Bahnhof.dat"}), nullptr)
          .open_file;
  QDir::setCurrent(before);
  QCOMPARE(named, file);
  WindowUnderTest::Setup setup;
  setup.open_port = false;
  setup.demo_layout = false;
  setup.options = [&](ui::MainWindowOptions& o) { o.open_file = named; };
  WindowUnderTest w(setup);
  QCOMPARE(w.config().Current().Description, std::string("Einfahrt"));
  QCOMPARE(w.window().windowTitle(), QString("Bahnhof.dat[*] - Vela Config"));
  QVERIFY(!w.window().isWindowModified());
  QVERIFY(w.dialogs().Messages().empty());

  // A file that cannot be loaded: the usual message, and the window opens empty.
  WindowUnderTest::Setup missing = setup;
  missing.options = [&](ui::MainWindowOptions& o) { o.open_file = file + ".gone"; };
  WindowUnderTest empty(missing);
  QCOMPARE(empty.dialogs().Messages().size(), size_t{1});
  QVERIFY(empty.dialogs().Messages()[0].starts_with("Cannot load " + file + ".gone: "));
  QCOMPARE(empty.window().windowTitle(), QString("Vela Config"));
}

void WindowSettingsTest::SaveDialog_StartsOnTheFileInUse_AddsDat() {
  QCOMPARE(ui::QtDialogs::DefaultSuffix(kDataFileFilter), QString("dat"));
  QCOMPARE(ui::QtDialogs::DefaultSuffix("Vela Device Definitions|*.def"), QString("def"));
  QCOMPARE(ui::QtDialogs::DefaultSuffix("All|*"), QString());

  QTemporaryDir dir;
  const QString in_use = dir.filePath("Bahnhof.dat");
  QWidget owner;
  ui::QtDialogs dialogs(&owner);
  QString offered;
  WindowUnderTest::OnNextModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    QVERIFY(dialog);
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    QVERIFY(name);
    offered = name->text();
    name->setText("Nebenbahn");
    QTest::keyClick(name, Qt::Key_Return);
  });
  const std::string chosen = dialogs.SaveFileName(kDataFileFilter, in_use.toStdString());
  QCOMPARE(offered, QString("Bahnhof.dat"));
  QCOMPARE(chosen, dir.filePath("Nebenbahn.dat").toStdString());
}

void WindowSettingsTest::PortList_DropDownListsNewPorts_KeepsTheOpenChoice() {
  std::vector<PortInfo> ports = {{"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A50285BI"}};
  WindowUnderTest::Setup setup;
  setup.open_port = false;
  setup.options = [&](ui::MainWindowOptions& o) { o.list_ports = [&] { return ports; }; };
  WindowUnderTest w(setup);
  auto* list = w.Find<QComboBox>("ComboPort");
  const QString usb0 = QString::fromUtf8("ttyUSB0 \u2014 FTDI FT232R USB UART (A50285BI)");
  QCOMPARE(list->itemText(1), usb0);
  w.Choose("ComboPort", usb0);
  QVERIFY(w.WaitIdle());
  QCOMPARE(w.window().Link().PortName(), std::string("/dev/ttyUSB0"));

  // Plugged in meanwhile, listed first by the platform.
  ports.insert(ports.begin(), PortInfo{"/dev/ttyACM0", "", "", ""});
  list->showPopup();
  QCOMPARE(list->count(), 3);
  QCOMPARE(list->itemText(0), QString(sim::kDemoBoardName));
  QCOMPARE(list->itemText(1), QString("ttyACM0"));
  QCOMPARE(list->currentText(), usb0);
  QCOMPARE(list->currentData().toString(), QString("/dev/ttyUSB0"));
  WindowUnderTest::Shot(list->view()->window(), "port_list_dropped_down");
  list->hidePopup();
  QVERIFY(w.window().Link().IsLinkOpen());
  QCOMPARE(w.window().Link().PortName(), std::string("/dev/ttyUSB0"));
}

void WindowSettingsTest::BitRateMenu_FollowsTheStripAndSetsIt() {
  WindowUnderTest w;
  auto* rates = w.Find<QMenu>("MenuBitRate");
  QCOMPARE(rates->title(), QString("&Bit Rate"));
  QStringList texts;
  for (QAction* a : rates->actions()) texts << a->text();
  QCOMPARE(texts, (QStringList{"9600 bit/s", "19200 bit/s", "38400 bit/s"}));
  QVERIFY(w.Find<QAction>("ActionBitRate_1")->isChecked());

  w.Find<QAction>("ActionBitRate_2")->trigger();
  QVERIFY(w.WaitIdle());
  QCOMPARE(w.window().Link().BitRateIndex(), 2);
  QVERIFY(w.Find<QRadioButton>("OptionBitRate_2")->isChecked());
  QVERIFY(w.window().Link().IsLinkOpen());

  w.Find<QRadioButton>("OptionBitRate_0")->click();
  QVERIFY(w.WaitIdle());
  QVERIFY(w.Find<QAction>("ActionBitRate_0")->isChecked());
  QVERIFY(!w.Find<QAction>("ActionBitRate_2")->isChecked());
  WindowUnderTest::Shot(w.Find<QMenu>("MenuBoard"), "board_menu");
  WindowUnderTest::Shot(rates, "bit_rate_menu");
}

}  // namespace vela

QTEST_MAIN(vela::WindowSettingsTest)
#include "window_settings_test.moc"
