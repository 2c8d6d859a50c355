#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMetaMethod>
#include <QSet>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "gui/GuiTestSupport.h"
#include "gui/MainMenuTable.h"
#include "gui/Unit1.h"
#include "gui/Unit6.h"
#include "gui/Unit7.h"
#include "gui/model/ServerTableModel.h"
#include "gui/platform/ExecDialogRunner.h"

using namespace vantrix;
using vantrix::test::RecordedApplication;

namespace {

// The menu as "path|name|caption|shortcut" lines; separators are "path|-", submenus "path|name>".
void Describe(const QMenu& menu, const QString& path, QStringList& out) {
  for (QAction* action : menu.actions()) {
    if (action->isSeparator()) {
      out << path + QStringLiteral("|-");
    } else if (action->menu()) {
      out << path + QStringLiteral("|") + action->menu()->objectName() + QStringLiteral(">") + action->text();
      Describe(*action->menu(), path + QStringLiteral("/") + action->text(), out);
    } else {
      out << path + QStringLiteral("|") + action->objectName() + QStringLiteral("|") + action->text() +
                 QStringLiteral("|") + action->shortcut().toString(QKeySequence::PortableText);
    }
  }
}

QStringList DescribeBar(const QMenuBar& bar) {
  QStringList out;
  for (QAction* action : bar.actions()) {
    if (action->menu()) {
      out << QStringLiteral("bar|") + action->menu()->objectName() + QStringLiteral(">") + action->text();
      Describe(*action->menu(), action->text(), out);
    } else {
      out << QStringLiteral("bar|") + action->objectName() + QStringLiteral("|") + action->text() +
                 QStringLiteral("|") + action->shortcut().toString(QKeySequence::PortableText);
    }
  }
  return out;
}

ServerRow Row(const std::string& address, const std::string& w, const std::string& comment = " ") {
  ServerRow row = ServerRow::Blank(address);
  row.cells[kNameCell] = "Name of " + address;
  row.cells[kPingCell] = "33";
  row.cells[kWCell] = w;
  row.cells[kCommentCell] = comment;
  return row;
}

QStringList Addresses(const ServerTable& table) {
  QStringList out;
  for (int i = 0; i < table.Count(); ++i) out << QString::fromStdString(std::string(table.Address(i)));
  return out;
}

void Select(TForm1& form, int row) {
  form.ListView1()->selectionModel()->select(form.Model().index(row, 0),
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void Trigger(TForm1& form, const char* name) {
  QAction* action = form.MenuAction(QString::fromLatin1(name));
  QVERIFY2(action, name);
  action->trigger();
}

// Counts paint events of a widget.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
  int count = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++count;
    return false;
  }
};

}  // namespace

class MainMenuTest : public QObject {
  Q_OBJECT

 private slots:
  void MenuHasEveryEntryInOrder() {
    RecordedApplication recorded;
    const QStringList expected{
        QStringLiteral("bar|File1>File"),
        QStringLiteral("File|NewF11|New file...|F2"),
        QStringLiteral("File|-"),
        QStringLiteral("File|Openfromfile1|Open file...|F3"),
        QStringLiteral("File|-"),
        QStringLiteral("File|Saveto1|Save file...|F4"),
        QStringLiteral("File|-"),
        QStringLiteral("File|Saveselectedtoclipboard1|Save selected to clipboard|Ctrl+C"),
        QStringLiteral("bar|Edit1>Edit"),
        QStringLiteral("Edit|AddserverF41|Add server...|Ins"),
        QStringLiteral("Edit|EditserverF41|Edit server...|Ctrl+Ins"),
        QStringLiteral("Edit|DeleteserverF61|Delete server|Del"),
        QStringLiteral("Edit|-"),
        QStringLiteral("Edit|Clearserverinfo1|Clear server info|Shift+Ins"),
        QStringLiteral("Edit|Clearallserverinfo1|Clear all servers info|Shift+Del"),
        QStringLiteral("bar|View1>View"),
        QStringLiteral("View|Refresh1|Refresh|"),
        QStringLiteral("View|-"),
        QStringLiteral("View|Liststyle1>List style"),
        QStringLiteral("View/List style|Icons1|Icons|"),
        QStringLiteral("View/List style|Smallicons1|Small icons|"),
        QStringLiteral("View/List style|List2|List|"),
        QStringLiteral("View/List style|Reportdefault1|Report (default)|"),
        QStringLiteral("View|Gridlines1|Grid lines|"),
        QStringLiteral("View|Filterbar1|Filter bar|"),
        QStringLiteral("View|-"),
        QStringLiteral("View|Showreceivedpackets1|Show received packets|"),
        QStringLiteral("bar|List1>List"),
        QStringLiteral("List|Importfromfile1|Import from file...|F5"),
        QStringLiteral("List|Exportto1>Import from other tool"),
        QStringLiteral("List/Import from other tool|Orbisk20inifile1|[.ini] Orbisk 2.0 settings file|"),
        QStringLiteral("List/Import from other tool|txtTrelvanox1421|[.txt] Trelvanox 1.42 settings file|"),
        QStringLiteral("List|Importfrommasterserver1|Import from master server...|Ctrl+F5"),
        QStringLiteral("List|-"),
        QStringLiteral("List|Removeduplicates1|Remove duplicates|F6"),
        QStringLiteral("List|Removebadservers1|Remove bad servers|F7"),
        QStringLiteral("List|-"),
        QStringLiteral("List|debughostplayers1>Export to _list.txt"),
        QStringLiteral("List/Export to _list.txt|IPName1|[IP] - [Name]|"),
        QStringLiteral("List/Export to _list.txt|IPNamePlayers1|[IP] - [Name] - [Players]|"),
        QStringLiteral("List/Export to _list.txt|IPComment1|[IP] | [Comment] (Gorvane 1.0x)|"),
        QStringLiteral(
            "List/Export to _list.txt|IPNamePlayersComment1|[IP] - [Name] - [Players] - [Comment]|"),
        QStringLiteral("bar|Checking1>Checking"),
        QStringLiteral("Checking|Checkserver1|Check server|F9"),
        QStringLiteral("Checking|CheckallF121|Check all servers|F10"),
        QStringLiteral("Checking|Checkallatonce1|Check all servers at once|Ctrl+F10"),
        QStringLiteral("Checking|-"),
        QStringLiteral("Checking|Showplayers1|Show players|F11"),
        QStringLiteral("Checking|Showrules1|Show rules|F12"),
        QStringLiteral("Checking|-"),
        QStringLiteral("Checking|Joinserver1|Join server|Ctrl+J"),
        QStringLiteral("Checking|Copyconnectlink1|Copy connect link|Ctrl+Shift+C"),
        QStringLiteral("Checking|-"),
        QStringLiteral("Checking|Watchserver1|Watch server|Ctrl+D"),
        QStringLiteral("Checking|Autorefresh1>Auto refresh"),
        QStringLiteral("Checking/Auto refresh|Autorefreshoff1|Off|"),
        QStringLiteral("Checking/Auto refresh|Autorefresh30s1|30 seconds|"),
        QStringLiteral("Checking/Auto refresh|Autorefresh1m1|1 minute|"),
        QStringLiteral("Checking/Auto refresh|Autorefresh5m1|5 minutes|"),
        QStringLiteral("Checking/Auto refresh|Autorefresh15m1|15 minutes|"),
        QStringLiteral("Checking/Auto refresh|Autorefresh1h1|1 hour|"),
        QStringLiteral("Checking|Serverhistory1|Server history...|Ctrl+H"),
        QStringLiteral("bar|Settings1>Settings"),
        QStringLiteral("Settings|Settings2|Settings...|"),
        QStringLiteral("Settings|Buddies1|Buddies...|"),
        QStringLiteral("bar|Help1>Help"),
        QStringLiteral("Help|About1|About...|"),
        QStringLiteral("bar|Exit1|Exit|"),
    };
    const QStringList actual = DescribeBar(*recorded.app->Form1().menuBar());
    for (int i = 0; i < qMin(actual.size(), expected.size()); ++i) QCOMPARE(actual[i], expected[i]);
    QCOMPARE(actual.size(), expected.size());
    // Grid lines is a check item, off at start; every other entry is a plain command.
    QAction* grid = recorded.app->Form1().MenuAction(QStringLiteral("Gridlines1"));
    QVERIFY(grid->isCheckable());
    QVERIFY(!grid->isChecked());
    // No command is ever disabled (the commands are the window's own actions).
    for (QAction* action : recorded.app->Form1().findChildren<QAction*>(Qt::FindDirectChildrenOnly))
      QVERIFY(action->isEnabled());
  }

  // The menus are built from the table alone: every entry is where the table puts it, in the
  // table's order, with its caption, shortcut and check mark, and names a slot of the window.
  void TheMenusAreBuiltFromTheTable() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    QMap<QString, QStringList> expected;  // menu name ("" for the bar) -> entry names in order
    QSet<QString> names;
    QSet<QByteArray> handlers;
    for (const MenuEntry& entry : MainMenuTable()) {
      const QString name = QString::fromLatin1(entry.name);
      const QString parent = QString::fromLatin1(entry.parent);
      QVERIFY2(!names.contains(name), entry.name);
      QVERIFY2(parent.isEmpty() || expected.contains(parent), entry.name);  // its menu comes first
      names.insert(name);
      switch (entry.kind) {
        case MenuEntry::Kind::kMenu: {
          const QMenu* menu = form.findChild<QMenu*>(name);
          QVERIFY2(menu, entry.name);
          QCOMPARE(menu->title(), QString::fromLatin1(entry.caption));
          QCOMPARE(menu->menuAction()->objectName(), name);
          expected[name];
          expected[parent] << name;
          break;
        }
        case MenuEntry::Kind::kPopup:
          QVERIFY(parent.isEmpty());
          QCOMPARE(form.PopupMenu2()->objectName(), name);
          expected[name];
          break;
        case MenuEntry::Kind::kSeparator:
          QVERIFY(!parent.isEmpty());
          expected[parent] << QStringLiteral("-") + name;
          break;
        case MenuEntry::Kind::kItem:
        case MenuEntry::Kind::kCheckItem:
        case MenuEntry::Kind::kRadioItem: {
          const QAction* action = form.MenuAction(name);
          QVERIFY2(action, entry.name);
          QCOMPARE(action->text(), QString::fromLatin1(entry.caption));
          QCOMPARE(action->shortcut(), entry.HasShortcut() ? QKeySequence(entry.shortcut) : QKeySequence());
          QCOMPARE(action->isCheckable(), entry.kind != MenuEntry::Kind::kItem);
          // Radio items are exclusive choices; none is checked before the window has shown.
          QCOMPARE(action->actionGroup() != nullptr, entry.kind == MenuEntry::Kind::kRadioItem);
          QVERIFY(!action->isChecked());
          QVERIFY(entry.handler);
          const QByteArray handler = QByteArray(entry.handlerName);
          QVERIFY2(!handlers.contains(handler), entry.handlerName);
          handlers.insert(handler);
          QVERIFY2(TForm1::staticMetaObject.indexOfSlot(QByteArray(handler + "()").constData()) >= 0,
                   entry.handlerName);
          expected[parent] << name;
          break;
        }
      }
    }
    auto actual = [](const QList<QAction*>& actions) {
      QStringList out;
      for (const QAction* action : actions)
        out << (action->isSeparator() ? QStringLiteral("-") : QString()) + action->objectName();
      return out;
    };
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
      const QWidget* holder =
          it.key().isEmpty() ? static_cast<QWidget*>(form.menuBar()) : form.findChild<QMenu*>(it.key());
      QVERIFY2(holder, qPrintable(it.key()));
      QCOMPARE(actual(holder->actions()), it.value());
    }
    // No command outside the table.
    for (const QAction* action : form.findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly))
      QVERIFY2(names.contains(action->objectName()), qPrintable(action->objectName()));
  }

  void PopupMenuHasItsEntries() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    QStringList out;
    Describe(*form.PopupMenu2(), QStringLiteral("Popup"), out);
    QCOMPARE(out,
             (QStringList{QStringLiteral("Popup|Check1|Check|"), QStringLiteral("Popup|-"),
                          QStringLiteral("Popup|Edit2|Edit...|"), QStringLiteral("Popup|Delete1|Delete|"),
                          QStringLiteral("Popup|-"), QStringLiteral("Popup|Joinserver2|Join server|"),
                          QStringLiteral("Popup|Copyconnectlink2|Copy connect link|"),
                          QStringLiteral("Popup|Watchserver2|Watch server|")}));
    QCOMPARE(form.ListView1()->contextMenuPolicy(), Qt::CustomContextMenu);
  }

  void ShortcutsWorkWhereverTheFocusIs_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("focus");
    const std::pair<const char*, QKeySequence> shortcuts[] = {
        {"NewF11", QKeySequence(Qt::Key_F2)},
        {"Openfromfile1", QKeySequence(Qt::Key_F3)},
        {"Saveto1", QKeySequence(Qt::Key_F4)},
        {"Saveselectedtoclipboard1", QKeySequence(Qt::CTRL | Qt::Key_C)},
        {"AddserverF41", QKeySequence(Qt::Key_Insert)},
        {"EditserverF41", QKeySequence(Qt::CTRL | Qt::Key_Insert)},
        {"DeleteserverF61", QKeySequence(Qt::Key_Delete)},
        {"Clearserverinfo1", QKeySequence(Qt::SHIFT | Qt::Key_Insert)},
        {"Clearallserverinfo1", QKeySequence(Qt::SHIFT | Qt::Key_Delete)},
        {"Importfromfile1", QKeySequence(Qt::Key_F5)},
        {"Removeduplicates1", QKeySequence(Qt::Key_F6)},
        {"Removebadservers1", QKeySequence(Qt::Key_F7)},
        {"Checkserver1", QKeySequence(Qt::Key_F9)},
        {"CheckallF121", QKeySequence(Qt::Key_F10)},
        {"Checkallatonce1", QKeySequence(Qt::CTRL | Qt::Key_F10)},
        {"Showplayers1", QKeySequence(Qt::Key_F11)},
        {"Showrules1", QKeySequence(Qt::Key_F12)},
        {"Joinserver1", QKeySequence(Qt::CTRL | Qt::Key_J)},
        {"Copyconnectlink1", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)},
        {"Watchserver1", QKeySequence(Qt::CTRL | Qt::Key_D)},
        {"Serverhistory1", QKeySequence(Qt::CTRL | Qt::Key_H)},
    };
    for (const auto& [name, keys] : shortcuts) {
      for (const char* focus : {"ListView1", "Form1"}) {
        QTest::newRow(
            qPrintable(QString::fromLatin1(name) + QStringLiteral("@") + QString::fromLatin1(focus)))
            << QString::fromLatin1(name) << keys << QString::fromLatin1(focus);
      }
    }
  }
  void ShortcutsWorkWhereverTheFocusIs() {
    QFETCH(QString, name);
    QFETCH(QKeySequence, keys);
    QFETCH(QString, focus);
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QWidget* target = focus == QStringLiteral("Form1") ? static_cast<QWidget*>(&form) : form.ListView1();
    target->setFocus();
    QAction* action = form.MenuAction(name);
    QVERIFY(action);
    QSignalSpy triggered(action, &QAction::triggered);
    QTest::keySequence(target, keys);
    QCOMPARE(triggered.count(), 1);
  }

  void AddServerAlwaysOpensTheEditorInAddMode() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    form.Table().AppendRow("10.0.0.1:27015");
    Select(form, 0);
    Trigger(form, "EditserverF41");
    QVERIFY(form.EditMode());
    Select(form, -1);
    form.ListView1()->selectionModel()->clearSelection();
    Trigger(form, "AddserverF41");
    QCOMPARE(recorded.dialogs->size(), size_t(2));
    const auto& shown = recorded.dialogs->back();
    QCOMPARE(shown.objectName, QStringLiteral("Form2"));
    QCOMPARE(shown.caption, QStringLiteral("Add server"));
    QCOMPARE(shown.button1, QStringLiteral("Add"));
    QVERIFY(shown.modal);
    QVERIFY(!form.EditMode());
  }

  void EditServerNeedsASelectedRowWithAnAddress() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    Trigger(form, "EditserverF41");  // empty table
    form.Table().AppendRow("10.0.0.1:27015");
    form.Table().AppendRow(ServerRow::Empty(""));
    Trigger(form, "EditserverF41");  // nothing selected
    Select(form, 1);
    Trigger(form, "EditserverF41");  // empty address cell
    QVERIFY(recorded.dialogs->empty());
    QVERIFY(!form.EditMode());
    Select(form, 0);
    Trigger(form, "EditserverF41");
    QCOMPARE(recorded.dialogs->size(), size_t(1));
    QCOMPARE(recorded.dialogs->front().caption, QStringLiteral("Edit server"));
    QCOMPARE(recorded.dialogs->front().button1, QStringLiteral("OK"));
    QVERIFY(form.EditMode());
    // The popup's "Edit..." runs the same command.
    Trigger(form, "Edit2");
    QCOMPARE(recorded.dialogs->size(), size_t(2));
  }

  void DeleteRemovesTheSelectedRowAndSelectsNothing() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    for (const char* address : {"a:1", "b:1", "c:1"}) form.Table().AppendRow(address);
    Trigger(form, "DeleteserverF61");  // no selection: nothing happens
    QCOMPARE(Addresses(form.Table()),
             (QStringList{QStringLiteral("a:1"), QStringLiteral("b:1"), QStringLiteral("c:1")}));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    Select(form, 1);
    form.ListView1()->setCurrentIndex(form.Model().index(1, 0));
    Trigger(form, "DeleteserverF61");
    QCOMPARE(Addresses(form.Table()), (QStringList{QStringLiteral("a:1"), QStringLiteral("c:1")}));
    QCOMPARE(form.Table().SelectedIndex(), -1);
    QVERIFY(!form.ListView1()->selectionModel()->hasSelection());
    QCoreApplication::processEvents();
    QVERIFY(!form.ListView1()->selectionModel()->hasSelection());
    // A second Delete must not take a neighbour.
    Trigger(form, "DeleteserverF61");
    QCOMPARE(form.Table().Count(), 2);
    // The popup's "Delete" runs the same command.
    Select(form, 0);
    Trigger(form, "Delete1");
    QCOMPARE(Addresses(form.Table()), (QStringList{QStringLiteral("c:1")}));
    QVERIFY(recorded.errors->empty());
  }

  void ClearCommandsBlankTheQueryResults() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    ServerTable& table = form.Table();
    table.AppendRow(Row("a:1", "+", "home"));
    table.AppendRow(Row("b:1", "+", "work"));
    Trigger(form, "Clearserverinfo1");  // no selection
    QCOMPARE(table.Cell(0, kNameCell), std::string("Name of a:1"));
    Select(form, 1);
    Trigger(form, "Clearserverinfo1");
    QCOMPARE(table.Cell(1, kNameCell), std::string(" "));
    QCOMPARE(table.Cell(1, kPingCell), std::string(" "));
    QCOMPARE(table.Cell(1, kWCell), std::string(" "));
    QCOMPARE(table.Cell(1, kCommentCell), std::string("work"));
    QCOMPARE(table.Address(1), std::string("b:1"));
    QCOMPARE(table.Cell(0, kNameCell), std::string("Name of a:1"));
    QCOMPARE(form.Model().data(form.Model().index(1, 1)).toString(), QStringLiteral(" "));
    Trigger(form, "Clearallserverinfo1");
    QCOMPARE(table.Cell(0, kNameCell), std::string(" "));
    QCOMPARE(table.Cell(0, kCommentCell), std::string("home"));
    QCOMPARE(form.Model().data(form.Model().index(0, 3)).toString(), QStringLiteral(" "));
    QCOMPARE(table.SelectedIndex(), 1);
    QVERIFY(form.ListView1()->selectionModel()->isRowSelected(1, QModelIndex()));
  }

  void RemoveDuplicatesAndBadServersWorkOnTheTable() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    ServerTable& table = form.Table();
    table.AppendRow(Row("a:1", "+"));
    table.AppendRow(Row("b:1", "-"));
    table.AppendRow(Row("a:1", " "));
    table.AppendRow(Row("c:1", ""));
    table.AppendRow(Row("d:1", "+"));
    Select(form, 4);
    Trigger(form, "Removeduplicates1");
    QCOMPARE(Addresses(table), (QStringList{QStringLiteral("b:1"), QStringLiteral("a:1"),
                                            QStringLiteral("c:1"), QStringLiteral("d:1")}));
    QCOMPARE(form.Model().rowCount(), 4);
    Trigger(form, "Removebadservers1");
    QCOMPARE(Addresses(table), (QStringList{QStringLiteral("c:1"), QStringLiteral("d:1")}));
    QCOMPARE(form.Model().rowCount(), 2);
    // The selected row survived both and is still selected where it now stands.
    QCOMPARE(table.SelectedIndex(), 1);
    QVERIFY(form.ListView1()->selectionModel()->isRowSelected(1, QModelIndex()));
  }

  void RefreshRepaintsTheListAndTheWindow() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    form.Table().AppendRow(Row("a:1", "+"));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCoreApplication::processEvents();
    PaintCounter list(form.ListView1()->viewport());
    PaintCounter window(&form);
    Trigger(form, "Refresh1");
    QVERIFY(list.count >= 1);
    QVERIFY(window.count >= 1);
    QCOMPARE(form.Table().Address(0), std::string("a:1"));
  }

  void ListStylesSwitchBetweenReportAndAddressOnlyViews() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    form.Table().AppendRow(Row("a:1", "+"));
    form.Table().AppendRow(Row("b:1", "+"));
    auto* stack = qobject_cast<QStackedWidget*>(form.centralWidget());
    QVERIFY(stack);
    QCOMPARE(stack->currentWidget(), static_cast<QWidget*>(form.ListView1()));
    QListView* list = form.ListView1Icons();
    QCOMPARE(list->model(), form.ListView1()->model());
    QCOMPARE(list->selectionModel(), form.ListView1()->selectionModel());
    QCOMPARE(list->modelColumn(), 0);

    Trigger(form, "Icons1");
    QCOMPARE(form.CurrentListStyle(), ListStyle::Icons);
    QCOMPARE(stack->currentWidget(), static_cast<QWidget*>(list));
    QCOMPARE(list->viewMode(), QListView::IconMode);
    Trigger(form, "Smallicons1");
    QCOMPARE(form.CurrentListStyle(), ListStyle::SmallIcons);
    QCOMPARE(list->viewMode(), QListView::ListMode);
    QCOMPARE(list->flow(), QListView::LeftToRight);
    Trigger(form, "List2");
    QCOMPARE(form.CurrentListStyle(), ListStyle::List);
    QCOMPARE(list->flow(), QListView::TopToBottom);
    // Selecting in the address-only view selects the row for every command.
    list->selectionModel()->select(form.Model().index(1, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QCOMPARE(form.Table().SelectedIndex(), 1);
    Trigger(form, "Reportdefault1");
    QCOMPARE(form.CurrentListStyle(), ListStyle::Report);
    QCOMPARE(stack->currentWidget(), static_cast<QWidget*>(form.ListView1()));
    QVERIFY(form.ListView1()->selectionModel()->isRowSelected(1, QModelIndex()));
  }

  void GridLinesToggleWithTheCheckMark() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    QVERIFY(!form.GridLines());
    Trigger(form, "Gridlines1");
    QVERIFY(form.MenuAction(QStringLiteral("Gridlines1"))->isChecked());
    QVERIFY(form.GridLines());
    Trigger(form, "Gridlines1");
    QVERIFY(!form.MenuAction(QStringLiteral("Gridlines1"))->isChecked());
    QVERIFY(!form.GridLines());
  }

  void ReceivedPacketsShowWithoutBlocking() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    TForm7& log = recorded.app->Form7();
    QVERIFY(!log.isVisible());
    Trigger(form, "Showreceivedpackets1");
    QVERIFY(log.isVisible());
    QVERIFY(!log.isModal());
    Trigger(form, "Showreceivedpackets1");  // already shown: stays shown
    QVERIFY(log.isVisible());
    QVERIFY(recorded.dialogs->empty());
  }

  void SettingsAndAboutOpenTheirDialogsModally() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    Trigger(form, "Settings2");
    Trigger(form, "About1");
    QCOMPARE(recorded.dialogs->size(), size_t(2));
    QCOMPARE(recorded.dialogs->at(0).objectName, QStringLiteral("Form5"));
    QCOMPARE(recorded.dialogs->at(0).caption, QStringLiteral("Configuration"));
    QCOMPARE(recorded.dialogs->at(1).objectName, QStringLiteral("Form6"));
    QCOMPARE(recorded.dialogs->at(1).caption, QStringLiteral("About box"));
    QVERIFY(recorded.dialogs->at(1).modal);
  }

  void TheRealRunnerBlocksUntilTheDialogCloses() {
    RecordedApplication recorded;
    recorded.app->SetDialogRunner(std::make_unique<ExecDialogRunner>());
    TForm1& form = recorded.app->Form1();
    QString seen;
    QTimer::singleShot(0, this, [&] {
      for (int i = 0; i < 100 && seen.isEmpty(); ++i) {
        if (QWidget* modal = QApplication::activeModalWidget()) {
          seen = modal->windowTitle();
          modal->close();
          return;
        }
        QTest::qWait(20);
      }
    });
    Trigger(form, "About1");
    QCOMPARE(seen, QStringLiteral("About box"));
    QVERIFY(!recorded.app->Form6().isVisible());
  }

  void ExitEndsTheProgramWithoutAsking() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    form.Table().AppendRow("unsaved:1");
    Trigger(form, "Exit1");
    QCOMPARE(recorded.endCount, 1);
    QVERIFY(recorded.dialogs->empty());
  }
};

QTEST_MAIN(MainMenuTest)
#include "MainMenuTest.moc"
