#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <QUrl>

#include "core/util/Version.h"
#include "gui/GuiTestSupport.h"
#include "gui/MainWindowDriver.h"
#include "gui/Unit1.h"
#include "gui/model/ServerTableModel.h"

using namespace vantrix;
using vantrix::test::Activate;
using vantrix::test::RecordedApplication;

namespace {

QStringList Column(const ServerTable& table, int cell) {
  QStringList out;
  for (int i = 0; i < table.Count(); ++i)
    out << QString::fromStdString(std::string(cell < 0 ? table.Address(i) : table.Cell(i, cell)));
  return out;
}

void AppendServer(ServerTable& table, const std::string& address, const std::string& map,
                  const std::string& ping) {
  ServerRow row = ServerRow::Blank(address);
  row.cells[kMapCell] = map;
  row.cells[kPingCell] = ping;
  table.AppendRow(row);
}

QPoint CellCentre(QTreeView& view, int row, int column) {
  return view.visualRect(view.model()->index(row, column)).center();
}

QLineEdit* OpenEditor(TForm1& form) {
  return form.ListView1()->findChild<QLineEdit*>(QStringLiteral("ListView1Editor"));
}

}  // namespace

class ListViewTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QGuiApplication::clipboard()->clear(); }

  void ViewIsAReportListThatNeverSortsItself() {
    RecordedApplication recorded;
    QTreeView* view = recorded.app->Form1().ListView1();
    QVERIFY(!view->isSortingEnabled());
    QCOMPARE(view->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(view->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(view->editTriggers(), QAbstractItemView::SelectedClicked);
    const int widths[] = {148, 220, 110, 43, 58, 104, 25, 22, 25, 21};
    for (int column = 0; column < 10; ++column) QCOMPARE(view->header()->sectionSize(column), widths[column]);
  }

  void HeaderClicksSortAndTheSelectionStaysOnItsRow() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    ServerTable& table = form.Table();
    AppendServer(table, "a:1", "de_dust", "30");
    AppendServer(table, "b:1", "cs_office", " ");
    AppendServer(table, "c:1", "as_oilrig", "12");
    AppendServer(table, "d:1", "De_aztec", "5");
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTreeView* view = form.ListView1();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, CellCentre(*view, 0, 0));
    QCOMPARE(table.SelectedIndex(), 0);
    QHeaderView* header = view->header();
    const auto clickHeader = [&](int column) {
      QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                        QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    };
    clickHeader(2);  // Map, ascending, letters compared without case
    QCOMPARE(Column(table, kMapCell), (QStringList{QStringLiteral("as_oilrig"), QStringLiteral("cs_office"),
                                                   QStringLiteral("De_aztec"), QStringLiteral("de_dust")}));
    QCOMPARE(table.SelectedIndex(), 3);
    QVERIFY(view->selectionModel()->isRowSelected(3, QModelIndex()));
    QCOMPARE(view->model()->data(view->model()->index(3, 0)).toString(), QStringLiteral("a:1"));
    clickHeader(2);  // the same column again: descending
    QCOMPARE(Column(table, kMapCell).first(), QStringLiteral("de_dust"));
    QCOMPARE(table.SelectedIndex(), 0);
    QVERIFY(view->selectionModel()->isRowSelected(0, QModelIndex()));
    clickHeader(3);  // Ping: numbers ascending, the blank ping does not move
    QCOMPARE(Column(table, kPingCell), (QStringList{QStringLiteral("5"), QStringLiteral("30"),
                                                    QStringLiteral(" "), QStringLiteral("12")}));
    QCOMPARE(Column(table, -1).at(table.SelectedIndex()), QStringLiteral("a:1"));
    QCOMPARE(view->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(view->selectionModel()->selectedRows().first().row(), table.SelectedIndex());
    // The header keeps its widths through the sorts.
    QCOMPARE(header->sectionSize(1), 220);
  }

  void CtrlVPastesWithAnyFurtherModifiersAndVAloneDoesNot_data() {
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("pastes");
    QTest::newRow("Ctrl+V") << int(Qt::ControlModifier) << true;
    QTest::newRow("Ctrl+Shift+V") << int(Qt::ControlModifier | Qt::ShiftModifier) << true;
    QTest::newRow("Ctrl+Alt+V") << int(Qt::ControlModifier | Qt::AltModifier) << true;
    QTest::newRow("V") << int(Qt::NoModifier) << false;
    QTest::newRow("Shift+V") << int(Qt::ShiftModifier) << false;
  }
  void CtrlVPastesWithAnyFurtherModifiersAndVAloneDoesNot() {
    QFETCH(int, modifiers);
    QFETCH(bool, pastes);
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    QVERIFY(Activate(form));
    QGuiApplication::clipboard()->setText(QStringLiteral("1.2.3.4:27015|home\r\n5.6.7.8:27016\r\n"));
    QTest::keyClick(form.ListView1(), Qt::Key_V, Qt::KeyboardModifiers(modifiers));
    if (!pastes) {
      QCOMPARE(form.Table().Count(), 0);
      return;
    }
    QCOMPARE(Column(form.Table(), -1),
             (QStringList{QStringLiteral("1.2.3.4:27015"), QStringLiteral("5.6.7.8:27016")}));
    QCOMPARE(form.Table().Cell(0, kCommentCell), std::string("home"));
    QCOMPARE(form.Model().rowCount(), 2);
    // Pasting changes neither the selection nor the status line.
    QCOMPARE(form.Table().SelectedIndex(), -1);
    QCOMPARE(form.StatusPanel(0)->text(), QStringLiteral("0/0"));
  }

  void PasteTakesOnlyText() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    QVERIFY(Activate(form));
    auto* data = new QMimeData;
    data->setData(QStringLiteral("application/octet-stream"), QByteArray("1.2.3.4:1"));
    QGuiApplication::clipboard()->setMimeData(data);
    QTest::keyClick(form.ListView1(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(form.Table().Count(), 0);
    // Files copied in a file manager are URLs, not server addresses.
    auto* files = new QMimeData;
    files->setUrls(
        {QUrl::fromLocalFile(QStringLiteral("/tmp/list.vnx")), QUrl(QStringLiteral("http://a.invalid/"))});
    QGuiApplication::clipboard()->setMimeData(files);
    QVERIFY(QGuiApplication::clipboard()->mimeData()->hasText());
    QTest::keyClick(form.ListView1(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(form.Table().Count(), 0);
    // A text without a line end is one row with nine empty cells; non-ASCII text is UTF-8.
    QGuiApplication::clipboard()->setText(
        QString(QStringLiteral("h") + QChar(0xF6) + QStringLiteral("st:1")));
    QTest::keyClick(form.ListView1(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(form.Table().Count(), 1);
    QCOMPARE(form.Table().Address(0), std::string("h\xC3\xB6st:1"));
    QCOMPARE(form.Table().Cell(0, kNameCell), std::string());
  }

  void CopiedBytesComeBackUnchangedWhenPasted() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    form.Table().AppendRow("caf\xE9:1");  // not UTF-8: one Latin-1 character per byte
    form.Table().AppendRow("h\xC3\xB6st:2");
    QVERIFY(Activate(form));
    for (int row = 0; row < 2; ++row) {
      form.ListView1()->selectionModel()->select(
          form.Model().index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
      form.ListView1()->setCurrentIndex(form.Model().index(row, 0));
      QTest::keyClick(form.ListView1(), Qt::Key_C, Qt::ControlModifier);
      QTest::keyClick(form.ListView1(), Qt::Key_V, Qt::ControlModifier);
      QCOMPARE(form.Table().Count(), 3 + row);
      QCOMPARE(form.Table().Address(2 + row), form.Table().Address(row));
    }
    QVERIFY(recorded.errors->empty());
  }

  void SelectionCounterFollowsSelectionAndDeselection() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    for (int i = 0; i < 10; ++i) form.Table().AppendRow("10.0.0." + std::to_string(i) + ":27015");
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTreeView* view = form.ListView1();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, CellCentre(*view, 2, 1));
    QCOMPARE(form.StatusPanel(0)->text(), QStringLiteral("3/10"));
    QCOMPARE(form.Table().SelectedIndex(), 2);
    // Deselecting reports the row that was left, with the count at that moment.
    form.Table().AppendRow("late:1");
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    // A click below the last row deselects.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(50, view->viewport()->height() - 5));
    QCOMPARE(form.Table().SelectedIndex(), -1);
    QCOMPARE(form.StatusPanel(0)->text(), QStringLiteral("3/11"));
    QTest::keyClick(view, Qt::Key_Down);
    QCOMPARE(form.Table().SelectedIndex(), 3);
    QCOMPARE(form.StatusPanel(0)->text(), QStringLiteral("4/11"));
  }

  void CellsHeadersAndPanelsAreReadableByAssistiveTechnology() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    ServerRow row = ServerRow::Blank("10.0.0.5:27015");
    row.cells[kNameCell] = "Caf\xC3\xA9 server";
    row.cells[kMapCell] = "de_dust2";
    form.Table().AppendRow(row);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(form.ListView1());
    QVERIFY(tree);
    QAccessibleTableInterface* table = tree->tableInterface();
    QVERIFY(table);
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(table->columnCount(), 10);
    QCOMPARE(table->cellAt(0, 0)->text(QAccessible::Name), QStringLiteral("10.0.0.5:27015"));
    QCOMPARE(table->cellAt(0, 1)->text(QAccessible::Name),
             QString(QStringLiteral("Caf") + QChar(0xE9) + QStringLiteral(" server")));
    QCOMPARE(table->cellAt(0, 2)->text(QAccessible::Name), QStringLiteral("de_dust2"));
    QStringList headers;
    for (int i = 0; i < tree->childCount(); ++i) {
      QAccessibleInterface* child = tree->child(i);
      if (child && child->role() == QAccessible::ColumnHeader) headers << child->text(QAccessible::Name);
    }
    QCOMPARE(headers, (QStringList{QStringLiteral("IP address"), QStringLiteral("Server name"),
                                   QStringLiteral("Map"), QStringLiteral("Ping"), QStringLiteral("Players"),
                                   QStringLiteral("Comment"), QStringLiteral("W"), QStringLiteral("D"),
                                   QStringLiteral("S"), QStringLiteral("P")}));
    const QStringList panels{QStringLiteral("0/0"), QStringLiteral("recv 0"),
                             QStringLiteral("Vantrix " VANTRIX_VERSION " loaded")};
    for (int panel = 0; panel < 3; ++panel) {
      QAccessibleInterface* label = QAccessible::queryAccessibleInterface(form.StatusPanel(panel));
      QVERIFY(label);
      QCOMPARE(label->text(QAccessible::Name), panels[panel]);
    }
    // A changed cell reads back changed.
    form.Table().SetCell(0, kMapCell, "cs_office");
    QCOMPARE(table->cellAt(0, 2)->text(QAccessible::Name), QStringLiteral("cs_office"));
  }

  void ClickOnTheSelectedRowEditsTheAddressWithShortcutsHeldBack() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    form.Table().AppendRow("10.0.0.1:27015");
    form.Table().AppendRow("10.0.0.2:27015");
    QVERIFY(Activate(form));
    QTreeView* view = form.ListView1();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, CellCentre(*view, 1, 3));
    QCOMPARE(form.Table().SelectedIndex(), 1);
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QVERIFY(!OpenEditor(form));
    // A second click on the selected row, on any column, edits its address.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, CellCentre(*view, 1, 3));
    QTRY_VERIFY_WITH_TIMEOUT(OpenEditor(form) && OpenEditor(form)->isVisible(), 3000);
    QLineEdit* editor = OpenEditor(form);
    QCOMPARE(editor->text(), QStringLiteral("10.0.0.2:27015"));
    QVERIFY(editor->hasFocus());
    // The shortcuts of keys that edit text do not fire while the editor is open.
    QList<QSignalSpy*> spies;
    for (const char* name : {"AddserverF41", "DeleteserverF61", "EditserverF41", "Clearserverinfo1",
                             "Clearallserverinfo1", "Saveselectedtoclipboard1"})
      spies << new QSignalSpy(form.MenuAction(QString::fromLatin1(name)), &QAction::triggered);
    QSignalSpy& added = *spies.front();
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClick(editor, Qt::Key_Insert);
    QTest::keyClick(editor, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::keyClick(editor, Qt::Key_Insert, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Delete, Qt::ShiftModifier);  // cuts the selection, none here
    QTest::keyClick(editor, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClick(editor, Qt::Key_Home);
    QTest::keyClick(editor, Qt::Key_Delete);  // removes the first character
    for (QSignalSpy* spy : spies) QCOMPARE(spy->count(), 0);
    QCOMPARE(form.Table().Count(), 2);
    // Paste keys the editor does not take itself are not the list's either.
    QGuiApplication::clipboard()->setText(QStringLiteral("10.9.9.1:1\n10.9.9.2:2\n"));
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(form.Table().Count(), 2);
    QVERIFY(OpenEditor(form) && OpenEditor(form)->isVisible());
    QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_Eacute, QString(QChar(0xE9)), Qt::NoModifier);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(!OpenEditor(form) || !OpenEditor(form)->isVisible(), 3000);
    QCOMPARE(form.Table().Address(1), std::string("\xC3\xA9"
                                                  "0.0.0.2:2701"));
    QVERIFY(recorded.dialogs->empty());
    // With the editor closed the shortcuts work again.
    QTest::keyClick(view, Qt::Key_Insert);
    QCOMPARE(added.count(), 1);
    qDeleteAll(spies);
  }

  void AFunctionKeyEndsTheEditAndRunsItsCommand() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    form.Table().AppendRow("10.0.0.1:27015");
    form.Table().AppendRow("10.0.0.2:27015");
    QVERIFY(Activate(form));
    QTreeView* view = form.ListView1();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, CellCentre(*view, 1, 0));
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, CellCentre(*view, 1, 0));
    QTRY_VERIFY_WITH_TIMEOUT(OpenEditor(form) && OpenEditor(form)->isVisible(), 3000);
    QLineEdit* editor = OpenEditor(form);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("10.0.0.1:27015"));
    // F6 (Remove duplicates) sees the edited address: the two rows are now equal.
    QSignalSpy removed(form.MenuAction(QStringLiteral("Removeduplicates1")), &QAction::triggered);
    QTest::keyClick(editor, Qt::Key_F6);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(form.Table().Count(), 1);
    QCOMPARE(form.Table().Address(0), std::string("10.0.0.1:27015"));
    QTRY_VERIFY_WITH_TIMEOUT(!OpenEditor(form) || !OpenEditor(form)->isVisible(), 3000);

    // F2 (New file...) under an open editor keeps the typed text, then empties the list.
    view->edit(view->model()->index(0, 0));
    QTRY_VERIFY_WITH_TIMEOUT(OpenEditor(form) && OpenEditor(form)->isVisible(), 3000);
    editor = OpenEditor(form);
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClicks(editor, QStringLiteral("9"));
    std::string seen;
    QSignalSpy renewed(form.MenuAction(QStringLiteral("NewF11")), &QAction::triggered);
    // The committed text, as the model reports it before the command runs.
    QObject probe;
    connect(&form.Model(), &QAbstractItemModel::dataChanged, &probe,
            [&] { seen = form.Table().Count() > 0 ? form.Table().Address(0) : std::string(); });
    QTest::keyClick(editor, Qt::Key_F2);
    QCOMPARE(renewed.count(), 1);
    QCOMPARE(seen, std::string("10.0.0.1:270159"));
    QCOMPARE(form.Table().Count(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!OpenEditor(form) || !OpenEditor(form)->isVisible(), 3000);
    QVERIFY(recorded.dialogs->empty());
  }

  void NeitherDoubleClickNorF2StartsAnEdit() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    form.Table().AppendRow("10.0.0.1:27015");
    QVERIFY(Activate(form));
    QTreeView* view = form.ListView1();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, CellCentre(*view, 0, 0));
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QSignalSpy doubleClicked(view, &QAbstractItemView::doubleClicked);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, CellCentre(*view, 0, 0));
    QCOMPARE(doubleClicked.count(), 1);
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    QVERIFY(!OpenEditor(form) || !OpenEditor(form)->isVisible());
    QSignalSpy renewed(form.MenuAction(QStringLiteral("NewF11")), &QAction::triggered);
    QTest::keyClick(view, Qt::Key_F2);
    QCOMPARE(renewed.count(), 1);
    QVERIFY(!OpenEditor(form) || !OpenEditor(form)->isVisible());
    QCOMPARE(form.Table().Count(), 0);  // F2 is "New file...", which empties the list
  }
};

QTEST_MAIN(ListViewTest)
#include "ListViewTest.moc"
