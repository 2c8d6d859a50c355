#include "gui/model/RowCountries.h"

#include <QIcon>
#include <QSignalSpy>
#include <QTest>

#include "core/table/RowCheckFacts.h"
#include "core/table/ServerTable.h"
#include "gui/model/ServerTableModel.h"

using namespace vantrix;

namespace {

// The packaged file by path, so that a database update cannot change the answers.
const std::string kPackaged = "/usr/share/libloc-location/location.db";
const QString kFlags = QStringLiteral("/usr/share/iso-flags-svg/country-4x3");

}  // namespace

class RowCountriesTest : public QObject {
  Q_OBJECT

 private slots:
  void TheAddressCellShowsFlagAndCountryAndKeepsItsText() {
    ServerTable table;
    RowCheckFacts facts;
    const int literal = table.AppendRow("193.99.144.80:27015");
    const int named = table.AppendRow("example.org:27015");
    const int local = table.AppendRow("127.0.0.1:27015");
    const int unresolved = table.AppendRow("example.net");
    facts.NoteResolved(table.IdOf(named), table.Address(named), "8.8.8.8");
    RowCountries countries(table, facts, kPackaged, kFlags);
    ServerTableModel model(table);
    model.SetRowCountries(&countries);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    // Nothing is known before the lookup thread answers; asking is what starts it.
    QCOMPARE(model.data(model.index(literal, 0), Qt::ToolTipRole), QVariant());
    for (int row : {named, local, unresolved}) model.data(model.index(row, 0), Qt::DecorationRole);
    QTRY_VERIFY_WITH_TIMEOUT(!changed.isEmpty(), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(countries.CountryOfRow(named).has_value(), 10000);

    const QModelIndex address = model.index(literal, 0);
    QCOMPARE(model.data(address, Qt::ToolTipRole).toString(), QStringLiteral("Germany (DE)"));
    QCOMPARE(model.data(address, Qt::AccessibleDescriptionRole).toString(), QStringLiteral("Germany (DE)"));
    // The flag is drawn off this thread, then shown.
    QTRY_VERIFY_WITH_TIMEOUT(!model.data(address, Qt::DecorationRole).value<QIcon>().isNull(), 10000);
    QCOMPARE(model.data(address, Qt::DisplayRole).toString(), QStringLiteral("193.99.144.80:27015"));
    QCOMPARE(model.data(address, Qt::EditRole).toString(), QStringLiteral("193.99.144.80:27015"));
    QCOMPARE(model.data(model.index(literal, 1), Qt::DecorationRole), QVariant());
    QCOMPARE(countries.CountryOfRow(named), (Country{"US", "United States of America"}));
    // A host name takes its last check's address only while its text is unchanged.
    table.SetAddress(named, "example.org:27016");
    QCOMPARE(model.AddressDescription(named), QString());
    for (int row : {local, unresolved}) {
      QCOMPARE(model.AddressDescription(row), QString());
      QCOMPARE(model.data(model.index(row, 0), Qt::DecorationRole), QVariant());
    }
  }

  void WithoutADatabaseNoRowHasACountry() {
    ServerTable table;
    RowCheckFacts facts;
    table.AppendRow("193.99.144.80:27015");
    RowCountries countries(table, facts, "/nonexistent/location.db", kFlags);
    QSignalSpy arrived(&countries, &RowCountries::CountriesArrived);
    QVERIFY(!countries.CountryOfRow(0));
    QTRY_VERIFY_WITH_TIMEOUT(!arrived.isEmpty(), 10000);
    QVERIFY(!countries.CountryOfRow(0));
    QVERIFY(countries.FlagOfRow(0).isNull());
  }
};

QTEST_MAIN(RowCountriesTest)
#include "RowCountriesTest.moc"
