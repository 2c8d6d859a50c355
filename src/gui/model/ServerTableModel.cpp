#include "gui/model/ServerTableModel.h"

#include <array>
#include <utility>

#include <QIcon>
#include <QItemSelectionModel>
#include <QPainter>
#include <QPixmap>
#include <QStringList>
#include <QTimer>

#include "core/watch/WatchTexts.h"
#include "gui/model/RowCountries.h"
#include "gui/model/WatchStar.h"
#include "gui/text/DisplayText.h"

namespace vantrix {

namespace {

struct Column {
  const char* caption;
  int width;
  // The header's tooltip and accessible description: what the one-letter captions mean.
  const char* description;
};

constexpr std::array<Column, kColumnCount> kColumns{{
    {"IP address", 148, "IP address: host and port, as typed or loaded"},
    {"Server name", 220, "Server name: the name the server reports"},
    {"Map", 110, "Map: the map being played"},
    {"Ping", 43, "Ping: milliseconds from request to reply"},
    {"Players", 58, "Players: players / maximum"},
    {"Comment", 104, "Comment: your note, saved in the list file"},
    {"W", 25, "W: answered (+) or not (-)"},
    {"D", 22, "D: server type: D dedicated, L listen, P proxy (relay)"},
    {"S", 25, "S: operating system: L Linux, W Windows, M macOS"},
    {"P", 21, "P: password (+) or none (-)"},
}};

// Sets a flag for the lifetime of the object and restores it afterwards.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : m_flag(flag), m_old(flag) { m_flag = true; }
  ~FlagScope() { m_flag = m_old; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& m_flag;
  bool m_old;
};

}  // namespace

ServerTableModel::ServerTableModel(ServerTable& table, QObject* parent)
    : QAbstractTableModel(parent), m_table(table), m_rowCount(table.Count()) {
  m_table.SetObserver(this);
}

ServerTableModel::~ServerTableModel() {
  m_table.SetObserver(nullptr);
}

QString ServerTableModel::ColumnCaption(int column) {
  if (column < 0 || column >= kColumnCount) return {};
  return QString::fromLatin1(kColumns[static_cast<size_t>(column)].caption);
}

int ServerTableModel::ColumnWidth(int column) {
  if (column < 0 || column >= kColumnCount) return 0;
  return kColumns[static_cast<size_t>(column)].width;
}

int ServerTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : m_rowCount;
}

int ServerTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

int ServerTableModel::TableRow(int row) const {
  // The pending change is in the view's rows: shown rows when a filter is on.
  int shown = row;
  if (m_pendingShift > 0 && row >= m_pendingFirst) {
    shown = row + m_pendingShift;
  } else if (m_pendingShift < 0 && row >= m_pendingFirst) {
    if (row < m_pendingFirst - m_pendingShift) return -1;
    shown = row + m_pendingShift;
  }
  // Inside an update bracket the table may already hold fewer rows than the view knows.
  return m_filter.PositionAt(shown);
}

void ServerTableModel::SetRowCountries(RowCountries* countries) {
  if (m_countries) disconnect(m_countries, nullptr, this, nullptr);
  m_countries = countries;
  if (m_countries)
    connect(m_countries, &RowCountries::CountriesArrived, this, &ServerTableModel::CountriesArrived);
}

// The views repaint only the rows they show; no row is read for this.
void ServerTableModel::CountriesArrived() {
  if (m_rowCount == 0) return;
  emit dataChanged(index(0, 0), index(m_rowCount - 1, 0),
                   {Qt::DecorationRole, Qt::ToolTipRole, Qt::AccessibleDescriptionRole});
}

QString ServerTableModel::AddressDescription(int position) const {
  std::string country;
  if (m_countries) {
    if (const auto found = m_countries->CountryOfRow(position)) country = CountryDescription(*found);
  }
  return QString::fromStdString(WatchedDescription(country, Watched(position)));
}

bool ServerTableModel::Watched(int position) const {
  return m_isWatched && m_isWatched(m_table.Address(position));
}

// The star stands left of the flag; both are drawn into one icon of the cell's height.
static QIcon StarBesideFlag(const QIcon& star, const QIcon& flag) {
  constexpr int kHeight = 16;
  constexpr int kFlagWidth = kHeight * 4 / 3;
  QPixmap both(kHeight + 2 + kFlagWidth, kHeight);
  both.fill(Qt::transparent);
  QPainter painter(&both);
  star.paint(&painter, QRect(0, 0, kHeight, kHeight));
  flag.paint(&painter, QRect(kHeight + 2, 0, kFlagWidth, kHeight));
  painter.end();
  return QIcon(both);
}

QVariant ServerTableModel::AddressExtra(int position, int role) const {
  if (role == Qt::DecorationRole) {
    const QIcon flag = m_countries ? m_countries->FlagOfRow(position) : QIcon();
    if (Watched(position)) return flag.isNull() ? QVariant(m_star) : QVariant(StarBesideFlag(m_star, flag));
    return flag.isNull() ? QVariant() : QVariant(flag);
  }
  const QString description = AddressDescription(position);
  return description.isEmpty() ? QVariant() : QVariant(description);
}

QVariant ServerTableModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
  if (role == Qt::ToolTipRole && index.column() != 0) return PlayersToolTip(index);
  const bool extra =
      role == Qt::DecorationRole || role == Qt::ToolTipRole || role == Qt::AccessibleDescriptionRole;
  if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::AccessibleTextRole && !extra) return {};
  const int position = TableRow(index.row());
  if (position < 0) return {};
  const int column = index.column();
  if (extra) return column == 0 ? AddressExtra(position, role) : QVariant();
  const std::string_view bytes = column == 0 ? m_table.Address(position) : m_table.Cell(position, column - 1);
  return ToDisplay(bytes);
}

void ServerTableModel::SetWatchMarks(std::function<bool(std::string_view address)> isWatched) {
  m_isWatched = std::move(isWatched);
  if (m_star.isNull()) m_star = WatchStarIcon();
  WatchMarksChanged();
}

void ServerTableModel::WatchMarksChanged() {
  if (m_rowCount == 0) return;
  emit dataChanged(index(0, 0), index(m_rowCount - 1, 0),
                   {Qt::DecorationRole, Qt::ToolTipRole, Qt::AccessibleDescriptionRole});
}

QVariant ServerTableModel::PlayersToolTip(const QModelIndex& index) const {
  const int position = TableRow(index.row());
  if (position < 0 || index.column() != kPlayersCell + 1 || !m_playersToolTip) return {};
  const auto text = m_playersToolTip(std::string(m_table.Address(position)));
  if (!text) return {};
  return QString::fromStdString(*text);
}

QVariant ServerTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  if (section < 0 || section >= kColumnCount) return {};
  if (role == Qt::ToolTipRole || role == Qt::AccessibleDescriptionRole)
    return QString::fromLatin1(kColumns[static_cast<size_t>(section)].description);
  if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
  return ColumnCaption(section);
}

Qt::ItemFlags ServerTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  // Only the address cell is edited in place.
  if (index.column() == 0) result |= Qt::ItemIsEditable;
  return result;
}

bool ServerTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid)) return false;
  if (index.column() != 0) return false;
  const int position = TableRow(index.row());
  if (position < 0) return false;
  std::string bytes = EditedBytes(value.toString(), m_table.Address(position));
  if (bytes == m_table.Address(position)) return true;
  m_table.SetAddress(position, std::move(bytes));  // the table reports the change back
  return true;
}

void ServerTableModel::AttachSelectionModel(QItemSelectionModel* selection) {
  if (m_selection) disconnect(m_selection, nullptr, this, nullptr);
  m_selection = selection;
  if (!m_selection) return;
  connect(m_selection, &QItemSelectionModel::selectionChanged, this, &ServerTableModel::ViewSelectionChanged);
  SyncSelectionFromTable();
}

void ServerTableModel::SyncSelectionFromTable() {
  SelectionMoved();
  if (!m_selection) return;
  FlagScope guard(m_syncing);
  const int position = m_table.SelectedIndex();
  const int selected = position < 0 ? -1 : m_filter.RowOf(position);
  if (selected < 0 || selected >= m_rowCount) {
    if (m_selection->hasSelection() || m_selection->currentIndex().isValid()) m_selection->clear();
    return;
  }
  const QModelIndex target = index(selected, 0);
  // Appending many rows one by one must not reselect the same row each time.
  if (m_selection->currentIndex().row() == selected && m_selection->isRowSelected(selected) &&
      m_selection->selection().size() == 1)
    return;
  m_selection->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ServerTableModel::ViewSelectionChanged(const QItemSelection& selected,
                                            const QItemSelection& deselected) {
  if (m_syncing) return;
  // Single selection: at most one row leaves and one row enters.
  int leftRow = -1;
  int enteredRow = -1;
  for (const QModelIndex& index : deselected.indexes()) leftRow = index.row();
  for (const QModelIndex& index : selected.indexes()) enteredRow = index.row();
  // The views count shown rows; the table and panel 0 count every row.
  const bool filtered = m_filter.Active();
  const int leftPosition = filtered && leftRow >= 0 ? TableRow(leftRow) : leftRow;
  const int enteredPosition = filtered && enteredRow >= 0 ? TableRow(enteredRow) : enteredRow;
  {
    FlagScope guard(m_syncing);
    if (enteredPosition >= 0) {
      m_table.SetSelectedIndex(enteredPosition);
    } else if (!m_selection->hasSelection()) {
      m_table.SetSelectedIndex(-1);
    }
  }
  SelectionMoved();
  if (leftPosition >= 0 && leftRow != enteredRow) emit SelectItem(leftPosition, false);
  if (enteredPosition >= 0) emit SelectItem(enteredPosition, true);
}

void ServerTableModel::SelectionMoved() {
  const int selected = m_table.SelectedIndex();
  const RowId now = selected >= 0 ? m_table.IdOf(selected) : kNoRow;
  if (now == m_selectedId) return;
  const RowId left = m_selectedId;
  m_selectedId = now;
  // Not while the selection model is still telling the views about the move.
  if (left != kNoRow && m_filter.Active()) QTimer::singleShot(0, this, [this, left] { FilterAgain(left); });
}

void ServerTableModel::FilterAgain(RowId id) {
  const auto position = m_table.PositionOf(id);
  if (!position || id == m_selectedId || !m_filter.Active()) return;
  const int row = m_filter.RowOf(*position);
  if (row < 0 || m_filter.Passes(*position)) return;
  m_filter.Hide(*position);
  RemoveShown(row, 1);
  emit CountsChanged();
}

void ServerTableModel::SetFilter(RowFilter filter) {
  const RowFilter& current = m_filter.Filter();
  if (filter.Query() == current.Query() && filter.Countries() == current.Countries()) return;
  const bool wasActive = m_filter.Active();
  {
    FlagScope guard(m_syncing);
    beginResetModel();
    m_filter.SetFilter(std::move(filter), -1);
    m_rowCount = m_filter.ShownCount();
    endResetModel();
  }
  const int selected = m_table.SelectedIndex();
  if (selected >= 0 && !m_filter.IsShown(selected)) {
    m_table.SetSelectedIndex(-1);
  } else if (wasActive || m_filter.Active()) {
    SyncSelectionFromTable();
  }
  emit CountsChanged();
}

void ServerTableModel::InsertShown(int firstRow, int count) {
  {
    FlagScope guard(m_syncing);
    m_pendingFirst = firstRow;
    m_pendingShift = count;
    beginInsertRows(QModelIndex(), firstRow, firstRow + count - 1);
    m_pendingShift = 0;
    m_rowCount += count;
    endInsertRows();
  }
  SyncSelectionFromTable();
}

void ServerTableModel::RemoveShown(int firstRow, int count) {
  {
    FlagScope guard(m_syncing);
    m_pendingFirst = firstRow;
    m_pendingShift = -count;
    beginRemoveRows(QModelIndex(), firstRow, firstRow + count - 1);
    m_pendingShift = 0;
    m_rowCount -= count;
    endRemoveRows();
  }
  SyncSelectionFromTable();
}

void ServerTableModel::RowsInserted(int first, int last) {
  m_filter.RowsInserted(first, last);
  int firstRow = first;
  int count = last - first + 1;
  if (m_filter.Active()) {
    // New rows that do not pass stay in the table, hidden, and count in the label.
    firstRow = m_filter.InsertionRow(first);
    count = 0;
    for (int position = first; position <= last; ++position) {
      if (!m_filter.Passes(position)) continue;
      m_filter.Show(position);
      ++count;
    }
  }
  if (count > 0) {
    InsertShown(firstRow, count);
  } else {
    SyncSelectionFromTable();
  }
  emit CountsChanged();
}

void ServerTableModel::RowsRemoved(int first, int last) {
  TableFilter::RowRange removed = m_filter.RowsRemoved(first, last);
  if (!m_filter.Active()) removed = {first, last + 1};
  if (removed.end > removed.first) {
    RemoveShown(removed.first, removed.end - removed.first);
  } else {
    SyncSelectionFromTable();
  }
  emit CountsChanged();
}

void ServerTableModel::CellChanged(int position, int column) {
  m_filter.CellChanged(position, column);
  const int row = m_filter.RowOf(position);
  // A row a check changes is filtered again at once, not by a rescan; the selected row
  // stays until the selection moves.
  if (m_filter.Active() && m_table.IsValid(position) && m_table.IdOf(position) != m_selectedId) {
    const bool passes = m_filter.Passes(position);
    if (passes && row < 0) {
      m_filter.Show(position);
      InsertShown(m_filter.RowOf(position), 1);
      emit CountsChanged();
      return;
    }
    if (!passes && row >= 0) {
      m_filter.Hide(position);
      RemoveShown(row, 1);
      emit CountsChanged();
      return;
    }
  }
  if (row < 0 || row >= m_rowCount) return;
  const QModelIndex changed = index(row, column);
  emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole, Qt::AccessibleTextRole});
}

void ServerTableModel::Reset() {
  {
    FlagScope guard(m_syncing);
    beginResetModel();
    const int selected = m_table.SelectedIndex();
    m_filter.Rebuild(selected >= 0 && m_table.IdOf(selected) == m_selectedId ? selected : -1);
    m_rowCount = m_filter.ShownCount();
    endResetModel();
  }
  SyncSelectionFromTable();
  emit CountsChanged();
}

void ServerTableModel::SelectionChanged() {
  if (!m_syncing) SyncSelectionFromTable();
}

}  // namespace vantrix
