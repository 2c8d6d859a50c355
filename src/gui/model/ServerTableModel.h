#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <QAbstractTableModel>
#include <QIcon>
#include <QPointer>

#include "core/filter/TableFilter.h"
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

  const ServerTable& Table() const { return m_table; }

  // The filter bar's view: only the rows that pass are shown, in table order; the table
  // keeps every row. Rows are re-filtered one at a time as their cells change, except the
  // selected row, which stays until the selection moves. A filter change that hides the
  // selected row clears the selection.
  void SetFilter(RowFilter filter);
  const TableFilter& Filter() const { return m_filter; }
  // Table position of the row a view shows at `row`, or -1.
  int TablePosition(int row) const { return TableRow(row); }
  static int ColumnWidth(int column);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  // The Players cell's tooltip for a row's address (the server's last day), or none. It is
  // asked on every hover, so it must answer from memory.
  using PlayersToolTipFn = std::function<std::optional<std::string>(const std::string& address)>;
  void SetPlayersToolTip(PlayersToolTipFn toolTip) { m_playersToolTip = std::move(toolTip); }

  // Keeps the views' selection and the table's selected row the same. Changes the user
  // makes are passed to the table and reported by SelectItem; after every structural
  // change the views are set from the table again, so a sort keeps the row selected and
  // a deleted row leaves nothing selected (the views would pick a neighbour).
  void AttachSelectionModel(QItemSelectionModel* selection);

  // Watched rows show a star left of the address, and "watched" in the address cell's
  // tooltip and accessible description; the cell's text stays the address.
  void SetWatchMarks(std::function<bool(std::string_view address)> isWatched);
  // The marks changed: every address cell is drawn again.
  void WatchMarksChanged();
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
  // The rows shown or the table's count may differ now.
  void CountsChanged();

 private:
  // Position in the table of the row the view knows at `row`, or -1 while that row is
  // being announced as inserted or removed.
  int TableRow(int row) const;
  QVariant PlayersToolTip(const QModelIndex& index) const;
  void ViewSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
  // Announces rows the filter starts or stops showing.
  void InsertShown(int firstRow, int count);
  void RemoveShown(int firstRow, int count);
  // The selection left `previous`: it is filtered again (after the selection's signals).
  void SelectionMoved();
  void FilterAgain(RowId id);

  QVariant AddressExtra(int position, int role) const;
  bool Watched(int position) const;
  void CountriesArrived();

  ServerTable& m_table;
  RowCountries* m_countries = nullptr;
  QPointer<QItemSelectionModel> m_selection;
  std::function<bool(std::string_view)> m_isWatched;
  QIcon m_star;
  int m_rowCount = 0;  // rows the view has been told about
  // The change being announced: rows [m_pendingFirst, m_pendingFirst + |m_pendingShift|)
  // inserted (shift > 0) or removed (shift < 0).
  int m_pendingFirst = 0;
  int m_pendingShift = 0;
  bool m_syncing = false;
  TableFilter m_filter{m_table};
  RowId m_selectedId = kNoRow;  // the row kept shown while selected
  PlayersToolTipFn m_playersToolTip;
};

}  // namespace vantrix
