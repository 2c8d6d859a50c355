#include "gui/widgets/FilterBar.h"

#include <filesystem>
#include <fstream>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QSpinBox>
#include <QTest>
#include <QTreeView>

#include "core/settings/SettingsValuesReader.h"
#include "gui/GuiTestSupport.h"
#include "gui/MainWindowDriver.h"
#include "gui/QueryFakeServers.h"
#include "gui/Unit1.h"
#include "gui/model/ServerTableModel.h"
#include "gui/platform/TableCheckDriver.h"

using namespace vantrix;
using namespace std::chrono_literals;
using vantrix::test::Activate;
using vantrix::test::ProcessUntil;
using vantrix::test::QueryFakeServers;
using vantrix::test::RecordedApplication;

namespace {

void AddServer(ServerTable& table, const std::string& address, const std::string& name,
               const std::string& map, const std::string& players = " ") {
  ServerRow row = ServerRow::Blank(address);
  row.cells[kNameCell] = name;
  row.cells[kMapCell] = map;
  row.cells[kPlayersCell] = players;
  table.AppendRow(row);
}

// The addresses the report view shows, top to bottom.
QStringList ShownAddresses(TForm1& form) {
  QStringList out;
  const QAbstractItemModel* model = form.ListView1()->model();
  for (int row = 0; row < model->rowCount(); ++row) out << model->index(row, 0).data().toString();
  return out;
}

QStringList Addresses(std::initializer_list<const char*> addresses) {
  QStringList out;
  for (const char* address : addresses) out << QString::fromLatin1(address);
  return out;
}

void FillFive(ServerTable& table) {
  AddServer(table, "127.0.0.1:27015", "Dust Town", "de_dust2", "3/10");
  AddServer(table, "127.0.0.2:27015", "Aim Place", "aim_map", "10/10");
  AddServer(table, "127.0.0.3:27015", "Office", "cs_office", "0/10");
  AddServer(table, "127.0.0.4:27015", "Dusty", "de_dust", "5/10");
  AddServer(table, "127.0.0.5:27015", "Nuke", "de_nuke", " ");
}

std::string ReadAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

}  // namespace

class FilterBarTest : public QObject {
  Q_OBJECT

 private slots:
  // Hidden at first; Ctrl+F shows it with the focus in "Filter" and never hides it; typing
  // narrows only the views, and the label counts shown rows of the whole table.
  void CtrlFShowsTheBarAndTypingFiltersTheViewsOnly() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    FillFive(form.Table());
    QVERIFY(Activate(form));
    FilterBar& bar = *form.FilterBar1();
    QAction* item = form.MenuAction(QStringLiteral("Filterbar1"));
    QVERIFY(!bar.isVisible());
    QVERIFY(!item->isChecked());

    for (int press = 0; press < 2; ++press) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
      QVERIFY(bar.isVisible());
      QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(bar.TextField()));
    }
    QVERIFY(item->isChecked());
    QCOMPARE(bar.TextField()->accessibleName(), QStringLiteral("Filter"));

    QTest::keyClicks(bar.TextField(), QStringLiteral("DUST"));
    QCOMPARE(ShownAddresses(form), Addresses({"127.0.0.1:27015", "127.0.0.4:27015"}));
    QCOMPARE(bar.CountLabel()->text(), QStringLiteral("2 of 5 servers"));
    QCOMPARE(form.Table().Count(), 5);
    QCOMPARE(form.ListView1Icons()->model()->rowCount(), 2);
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(form.ListView1());
    QVERIFY(table && table->tableInterface());
    // The tree lays its rows out lazily, after the events of the change.
    QVERIFY(ProcessUntil([&] { return table->tableInterface()->rowCount() == 2; }, 2s));
    QCOMPARE(table->tableInterface()->cellAt(1, 0)->text(QAccessible::Name),
             QStringLiteral("127.0.0.4:27015"));

    // Hiding the bar filters nothing; showing it again brings the text back.
    item->trigger();
    QVERIFY(!bar.isVisible());
    QCOMPARE(ShownAddresses(form).size(), 5);
    item->trigger();
    QCOMPARE(ShownAddresses(form).size(), 2);
  }

  // Panel 0 counts in the whole table; a filter change that hides the selected row clears
  // the selection; a check's change re-filters other rows at once and the selected row
  // only when the selection moves; rows added that do not pass are hidden and counted.
  void SelectionAndChangedRowsFollowTheFilter() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    ServerTable& table = form.Table();
    FillFive(table);
    QVERIFY(Activate(form));
    FilterBar& bar = *form.FilterBar1();
    bar.FocusText();
    QTest::keyClicks(bar.TextField(), QStringLiteral("de_"));
    QCOMPARE(ShownAddresses(form).size(), 3);
    form.ListView1()->setCurrentIndex(form.ListView1()->model()->index(1, 0));  // 127.0.0.4
    QCOMPARE(table.SelectedIndex(), 3);
    QCOMPARE(form.StatusPanel(0)->text(), QStringLiteral("4/5"));

    table.SetCell(3, kMapCell, "cs_italy");    // selected: stays
    table.SetCell(0, kMapCell, "cs_assault");  // not selected: goes at once
    QCOMPARE(ShownAddresses(form), Addresses({"127.0.0.4:27015", "127.0.0.5:27015"}));
    table.SetCell(2, kMapCell, "de_office");  // now passes: comes in its place
    QCOMPARE(ShownAddresses(form), Addresses({"127.0.0.3:27015", "127.0.0.4:27015", "127.0.0.5:27015"}));
    form.ListView1()->setCurrentIndex(form.ListView1()->model()->index(2, 0));  // 127.0.0.5
    QVERIFY(ProcessUntil([&] { return ShownAddresses(form).size() == 2; }));
    QCOMPARE(ShownAddresses(form), Addresses({"127.0.0.3:27015", "127.0.0.5:27015"}));

    table.AppendRow("127.0.0.6:6");
    AddServer(table, "127.0.0.7:7", "x", "de_x");
    QCOMPARE(bar.CountLabel()->text(), QStringLiteral("3 of 7 servers"));

    QTest::keyClick(bar.TextField(), Qt::Key_O);  // "de_o": 127.0.0.5 no longer passes
    QCOMPARE(table.SelectedIndex(), -1);
    QCOMPARE(ShownAddresses(form), Addresses({"127.0.0.3:27015"}));
  }

  // The toggles and "Max ping" as the user sets them; rows never filled pass none.
  void TogglesAndMaxPing() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    FillFive(form.Table());
    form.Table().SetCell(0, kPingCell, "40");
    form.Table().SetCell(2, kPingCell, "90");
    QVERIFY(Activate(form));
    FilterBar& bar = *form.FilterBar1();
    bar.SetShown(true);
    QCheckBox* notEmpty = bar.Toggles()[1];
    QCheckBox* notFull = bar.Toggles()[2];
    QCOMPARE(notEmpty->accessibleName(), QStringLiteral("Not empty"));
    QTest::mouseClick(notEmpty, Qt::LeftButton, {}, QPoint(4, notEmpty->height() / 2));
    QTest::mouseClick(notFull, Qt::LeftButton, {}, QPoint(4, notFull->height() / 2));
    QCOMPARE(ShownAddresses(form), Addresses({"127.0.0.1:27015", "127.0.0.4:27015"}));
    QCOMPARE(bar.MaxPing()->accessibleName(), QStringLiteral("Max ping"));
    notEmpty->setChecked(false);
    bar.MaxPing()->setValue(50);  // rows without a numeric ping go while a limit is set
    QCOMPARE(ShownAddresses(form), Addresses({"127.0.0.1:27015"}));
  }

  // In the bar's fields Del, Ctrl+V and Shift+Ins edit the field; Ins still opens "Add
  // server...". Esc stops a running parallel check first, then clears, then hides.
  void KeysAndEscInTheBar() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    FillFive(form.Table());
    QVERIFY(Activate(form));
    FilterBar& bar = *form.FilterBar1();
    bar.FocusText();
    QLineEdit* field = bar.TextField();
    form.Table().SetSelectedIndex(0);
    QGuiApplication::clipboard()->setText(QStringLiteral("nuke"));
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(field->text(), QStringLiteral("nukenuke"));
    QTest::keyClick(field, Qt::Key_Home);
    QTest::keyClick(field, Qt::Key_Delete);
    QCOMPARE(field->text(), QStringLiteral("ukenuke"));
    QCOMPARE(form.Table().Count(), 5);  // no row deleted, none pasted
    QTest::keyClick(field, Qt::Key_Insert);
    QCOMPARE(recorded.dialogs->size(), 1u);  // the server editor
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(field));

    SettingsValuesReader settings;
    settings.Values().defaultPort.assign(1, '9');  // a literal here trips a false -Wrestrict in GCC 12
    form.SetSettingsReader(&settings);
    form.Table().SetCell(0, kNameCell, "x");
    form.Table().AppendRow("127.0.0.1:9");
    form.Checkallatonce1Click();
    QVERIFY(form.AtOnce().Running());
    QTest::keyClick(field, Qt::Key_Escape);
    QVERIFY(!form.AtOnce().Running());
    QCOMPARE(field->text(), QStringLiteral("ukenuke"));
    QTest::keyClick(field, Qt::Key_Escape);
    QCOMPARE(field->text(), QString());
    QVERIFY(bar.isVisible());
    QTest::keyClick(field, Qt::Key_Escape);
    QVERIFY(!bar.isVisible());
    QVERIFY(!form.MenuAction(QStringLiteral("Filterbar1"))->isChecked());
  }

  // "Check all servers at once" with "Answered" on, in both protocols: every row is asked,
  // the silent ones drop out of view one by one as their time-outs come, none leaves the table.
  void CheckAtOnceUnderAFilterInBothProtocols() {
    for (const bool current : {false, true}) {
      QueryFakeServers servers;
      fake::ServerSetup setup;
      setup.count = 20;
      setup.silentCount = 5;
      QStringList extra;
      if (current) extra << QStringLiteral("--current");
      QVERIFY2(servers.Start(setup, extra), servers.Error().c_str());
      RecordedApplication recorded;
      TForm1& form = recorded.app->Form1();
      SettingsValuesReader settings;
      settings.Values().queryProtocol = current ? QueryProtocol::kCurrent : QueryProtocol::kOriginal;
      form.SetSettingsReader(&settings);
      for (const auto& profile : servers.Profiles()) form.Table().AppendRow(profile.Address());
      QVERIFY(Activate(form));
      FilterBar& bar = *form.FilterBar1();
      bar.SetShown(true);
      bar.Toggles()[0]->setChecked(true);
      QCOMPARE(bar.CountLabel()->text(), QStringLiteral("0 of 20 servers"));
      form.Checkallatonce1Click();
      QVERIFY(ProcessUntil([&] { return !form.AtOnce().Running(); }, 10s));
      QCOMPARE(bar.CountLabel()->text(), QStringLiteral("15 of 20 servers"));
      QCOMPARE(form.Table().Count(), 20);
      // The phrase leaves out "Vantrix Test Server 1" and "... Server 10" to "... 19".
      qsizetype kept = 0;
      for (const auto& profile : servers.Profiles()) {
        const int number = profile.index + 1;
        if (profile.behaviour != fake::Behaviour::kSilent && number != 1 && (number < 10 || number > 19))
          ++kept;
      }
      bar.TextField()->setText(QStringLiteral("-\"server 1\""));
      QCOMPARE(ShownAddresses(form).size(), kept);
    }
  }

  // view.ini keeps the bar between runs, written at each change; a folder or garbage in
  // its place gives the defaults without a word; config.ini is not touched.
  void RememberedInViewIni() {
    QTemporaryDir folder;
    const std::filesystem::path path = folder.filePath(QStringLiteral("view.ini")).toStdString();
    {
      RecordedApplication recorded;
      TForm1& form = recorded.app->Form1();
      form.FilterBar1()->SetSettingsPath(path);
      QVERIFY(Activate(form));
      const std::string config = recorded.configFolder.filePath(QStringLiteral("config.ini")).toStdString();
      const std::string configBefore = ReadAll(config);
      QVERIFY(!configBefore.empty());
      form.FilterBar1()->FocusText();
      form.FilterBar1()->TextField()->setText(QStringLiteral("caf\u00e9"));
      form.FilterBar1()->Toggles()[0]->setChecked(true);
      const FilterBarSettings saved = LoadFilterBarSettings(path);
      QVERIFY(saved.visible);
      QCOMPARE(saved.text, std::string("caf\xC3\xA9"));
      QVERIFY(saved.toggles.answered);
      QCOMPARE(ReadAll(config), configBefore);
    }
    for (const bool asFolder : {false, true}) {
      RecordedApplication recorded;
      TForm1& form = recorded.app->Form1();
      form.FilterBar1()->SetSettingsPath(path);
      QVERIFY(Activate(form));
      if (!asFolder) {
        QVERIFY(form.FilterBar1()->isVisible());
        QCOMPARE(form.FilterBar1()->TextField()->text(), QStringLiteral("caf\u00e9"));
        QVERIFY(form.MenuAction(QStringLiteral("Filterbar1"))->isChecked());
        std::filesystem::remove(path);
        std::filesystem::create_directory(path);
      } else {
        QVERIFY(!form.FilterBar1()->isVisible());
        QCOMPARE(form.FilterBar1()->TextField()->text(), QString());
        form.FilterBar1()->SetShown(true);  // cannot be written: kept in memory
        QVERIFY(form.FilterBar1()->isVisible());
      }
    }
  }
};

QTEST_MAIN(FilterBarTest)
#include "FilterBarTest.moc"
