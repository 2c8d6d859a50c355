#include "gui/model/ServerTableModel.h"

#include <random>

#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include "core/table/ServerTable.h"
#include "core/table/TableCommands.h"

using namespace vantrix;

namespace {

ServerRow MakeRow(const std::string& address, const std::string& name) {
  ServerRow row = ServerRow::Blank(address);
  row.cells[kNameCell] = name;
  return row;
}

QString Shown(const ServerTableModel& model, int row, int column) {
  return model.data(model.index(row, column)).toString();
}

}  // namespace

class ServerTableModelTest : public QObject {
  Q_OBJECT

 private slots:
  void ColumnsCarryCaptionsAndWidths() {
    ServerTable table;
    ServerTableModel model(table);
    const QStringList captions{QStringLiteral("IP address"), QStringLiteral("Server name"),
                               QStringLiteral("Map"),        QStringLiteral("Ping"),
                               QStringLiteral("Players"),    QStringLiteral("Comment"),
                               QStringLiteral("W"),          QStringLiteral("D"),
                               QStringLiteral("S"),          QStringLiteral("P")};
    const int widths[] = {148, 220, 110, 43, 58, 104, 25, 22, 25, 21};
    QCOMPARE(model.columnCount(), 10);
    for (int column = 0; column < 10; ++column) {
      QCOMPARE(model.headerData(column, Qt::Horizontal).toString(), captions[column]);
      QCOMPARE(model.headerData(column, Qt::Horizontal, Qt::AccessibleTextRole).toString(), captions[column]);
      QCOMPARE(ServerTableModel::ColumnWidth(column), widths[column]);
    }
  }

  void ReadsCellsFromTheTableWithoutACopy() {
    ServerTable table;
    ServerTableModel model(table);
    table.AppendRow(MakeRow("10.0.0.1:27015", "Alpha"));
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(Shown(model, 0, 0), QStringLiteral("10.0.0.1:27015"));
    QCOMPARE(Shown(model, 0, 1), QStringLiteral("Alpha"));
    QCOMPARE(Shown(model, 0, 3), QStringLiteral(" "));
    QCOMPARE(model.data(model.index(0, 1), Qt::AccessibleTextRole).toString(), QStringLiteral("Alpha"));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    table.SetCell(0, kPingCell, "57");
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toModelIndex(), model.index(0, 3));
    QCOMPARE(Shown(model, 0, 3), QStringLiteral("57"));
    // Only the address cell is edited in place.
    QVERIFY(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
    QVERIFY(!(model.flags(model.index(0, 1)) & Qt::ItemIsEditable));
  }

  void EditingTheAddressStoresUtf8AndKeepsUntouchedBytes() {
    ServerTable table;
    ServerTableModel model(table);
    table.AppendRow("caf\xE9:1");  // Latin-1, not valid UTF-8
    const QModelIndex address = model.index(0, 0);
    QVERIFY(model.setData(address, model.data(address, Qt::EditRole)));
    QCOMPARE(table.Address(0), std::string("caf\xE9:1"));
    QVERIFY(model.setData(address, QString(QStringLiteral("h") + QChar(0xF6) + QStringLiteral("st:2"))));
    QCOMPARE(table.Address(0), std::string("h\xC3\xB6st:2"));
    QVERIFY(!model.setData(model.index(0, 1), QStringLiteral("name")));
    QCOMPARE(table.Cell(0, kNameCell), std::string(" "));
  }

  void PassesTheModelTesterThroughEveryKindOfChange() {
    ServerTable table;
    ServerTableModel model(table);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    std::mt19937 random(11);
    for (int i = 0; i < 12; ++i)
      table.AppendRow(MakeRow("h" + std::to_string(i % 5) + ":1", std::to_string(i)));
    table.DeleteRow(5);
    table.DeleteRow(0);
    table.DeleteRow(table.Count() - 1);
    table.SetAddress(2, "x:2");
    ColumnClick(table, 1);
    ColumnClick(table, 1);
    table.BeginUpdate();
    table.AppendRow("inside:1");
    table.DeleteRow(1);
    table.EndUpdate();
    RemoveDuplicates(table);
    for (int i = 0; i < 40 && table.Count() > 0; ++i) {
      const int position = static_cast<int>(random() % static_cast<unsigned>(table.Count()));
      if (random() % 2)
        table.DeleteRow(position);
      else
        table.AppendRow("r:" + std::to_string(i));
    }
    table.Clear();
    QCOMPARE(model.rowCount(), 0);
  }

  void RemovalIsAnnouncedWithTheOldRowsInPlace() {
    ServerTable table;
    ServerTableModel model(table);
    for (const char* name : {"a", "b", "c", "d"}) table.AppendRow(MakeRow(std::string(name) + ":1", name));
    QStringList seenBefore;
    connect(&model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [&](const QModelIndex&, int first, int last) {
              QCOMPARE(model.rowCount(), 4);
              for (int row = 0; row < model.rowCount(); ++row) seenBefore << Shown(model, row, 1);
              QCOMPARE(first, 1);
              QCOMPARE(last, 1);
            });
    table.DeleteRow(1);
    // While announcing, the rows after the removed one still stood where they were.
    QCOMPARE(seenBefore,
             (QStringList{QStringLiteral("a"), QString(), QStringLiteral("c"), QStringLiteral("d")}));
    QCOMPARE(Shown(model, 1, 1), QStringLiteral("c"));
  }

  void BracketsGiveOneResetAndNoPerRowSignals() {
    ServerTable table;
    ServerTableModel model(table);
    for (int i = 0; i < 5; ++i) table.AppendRow("keep:" + std::to_string(i));
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    table.BeginUpdate();
    table.BeginUpdate();
    for (int i = 0; i < 1000; ++i) table.AppendRow("bulk:" + std::to_string(i));
    table.DeleteRow(0);
    table.SetCell(0, kPingCell, "1");
    // The view still sees the old row count until the bracket closes.
    QCOMPARE(model.rowCount(), 5);
    table.EndUpdate();
    QCOMPARE(resets.count(), 0);
    QCOMPARE(model.rowCount(), 5);
    table.EndUpdate();
    QCOMPARE(inserted.count(), 0);
    QCOMPARE(removed.count(), 0);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(resets.count(), 1);
    QCOMPARE(model.rowCount(), 1004);
    // The bulk commands use brackets as well.
    ClearAllServersInfo(table);
    RemoveBadServers(table);
    QCOMPARE(inserted.count() + removed.count() + changed.count(), 0);
    QCOMPARE(resets.count(), 3);
    QCOMPARE(model.rowCount(), 0);
  }

  void SelectionFollowsItsRowThroughSortsAndLeavesWithDeletion() {
    ServerTable table;
    ServerTableModel model(table);
    QTreeView view;
    view.setModel(&model);
    view.setSelectionMode(QAbstractItemView::SingleSelection);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    model.AttachSelectionModel(view.selectionModel());
    for (const char* name : {"delta", "alpha", "charlie", "bravo"})
      table.AppendRow(MakeRow(std::string(name) + ":1", name));
    QSignalSpy selectItem(&model, &ServerTableModel::SelectItem);

    view.selectionModel()->select(model.index(2, 0),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QCOMPARE(table.SelectedIndex(), 2);
    QCOMPARE(selectItem.count(), 1);
    QCOMPARE(selectItem.at(0).at(0).toInt(), 2);
    QCOMPARE(selectItem.at(0).at(1).toBool(), true);

    ColumnClick(table, 1);  // by name: alpha, bravo, charlie, delta
    QCOMPARE(table.SelectedIndex(), 2);
    QCOMPARE(Shown(model, 2, 1), QStringLiteral("charlie"));
    QVERIFY(view.selectionModel()->isRowSelected(2, QModelIndex()));
    ColumnClick(table, 1);  // reversed: delta, charlie, bravo, alpha
    QCOMPARE(table.SelectedIndex(), 1);
    QVERIFY(view.selectionModel()->isRowSelected(1, QModelIndex()));
    QCOMPARE(view.selectionModel()->selectedRows().size(), 1);
    // Restoring after a sort is not a change of selection.
    QCOMPARE(selectItem.count(), 1);

    // Deleting an unselected row keeps the selected one; deleting it selects nothing.
    table.DeleteRow(0);
    QCOMPARE(table.SelectedIndex(), 0);
    QVERIFY(view.selectionModel()->isRowSelected(0, QModelIndex()));
    table.DeleteRow(0);
    QCOMPARE(table.SelectedIndex(), -1);
    QVERIFY(!view.selectionModel()->hasSelection());

    // Moving to another row reports the row left and the row entered.
    view.selectionModel()->select(model.index(0, 0),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    selectItem.clear();
    view.selectionModel()->select(model.index(1, 0),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QCOMPARE(selectItem.count(), 2);
    QCOMPARE(selectItem.at(0).at(0).toInt(), 0);
    QCOMPARE(selectItem.at(0).at(1).toBool(), false);
    QCOMPARE(selectItem.at(1).at(0).toInt(), 1);
    QCOMPARE(selectItem.at(1).at(1).toBool(), true);
    view.selectionModel()->clearSelection();
    QCOMPARE(table.SelectedIndex(), -1);
    QCOMPARE(selectItem.count(), 3);
    QCOMPARE(selectItem.at(2).at(1).toBool(), false);
  }
};

QTEST_MAIN(ServerTableModelTest)
#include "ServerTableModelTest.moc"
