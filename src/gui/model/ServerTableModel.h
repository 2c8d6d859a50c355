#pragma once

#include <QAbstractTableModel>
#include <QPointer>

#include "core/table/ServerTable.h"
#include "core/table/TableObserver.h"

class QItemSelection;
class QItemSelectionModel;

namespace vantrix {

class RowCountries;

// The list's view of the ServerTable. It holds no copy of the rows: every cell is read
// from the table when the view asks. The table tells it about changes after they have
// happened, so while it announces one to the view it maps positions as they were.
class ServerTableModel final : public QAbstractTableModel, public TableObserver {
  Q_OBJECT

 public:
  explicit ServerTableModel(ServerTable& table, QObject* parent = nullptr);
  ~ServerTableModel() override;

  // The address cell's flag (decoration) and description (tooltip and accessible
  // description) come from here; null shows neither.
  void SetRowCountries(RowCountries* countries);
  // The address cell's description, for its tooltip and for screen readers: its parts joined
  // by ", " (the country, "Germany (DE)"); empty when there is nothing to say.
  QString AddressDescription(int position) const;

  static QString ColumnCaption(int column);
  static int ColumnWidth(int column);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  // Keeps the views' selection and the table's selected row the same. Changes the user
  // makes are passed to the table and reported by SelectItem; after every structural
  // change the views are set from the table again, so a sort keeps the row selected and
  // a deleted row leaves nothing selected (the views would pick a neighbour).
  void AttachSelectionModel(QItemSelectionModel* selection);
  void SyncSelectionFromTable();

  // TableObserver
  void RowsInserted(int first, int last) override;
  void RowsRemoved(int first, int last) override;
  void CellChanged(int row, int column) override;
  void Reset() override;
  void SelectionChanged() override;

 signals:
  // A row's selection changed by the user: position and whether it is now selected.
  void SelectItem(int position, bool selected);

 private:
  // Position in the table of the row the view knows at `row`, or -1 while that row is
  // being announced as inserted or removed.
  int TableRow(int row) const;
  void ViewSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);

  QVariant AddressExtra(int position, int role) const;
  void CountriesArrived();

  ServerTable& m_table;
  RowCountries* m_countries = nullptr;
  QPointer<QItemSelectionModel> m_selection;
  int m_rowCount = 0;  // rows the view has been told about
  // The change being announced: rows [m_pendingFirst, m_pendingFirst + |m_pendingShift|)
  // inserted (shift > 0) or removed (shift < 0).
  int m_pendingFirst = 0;
  int m_pendingShift = 0;
  bool m_syncing = false;
};

}  // namespace vantrix
