#include "gui/model/ServerTableModel.h"

#include <array>

#include <QIcon>
#include <QItemSelectionModel>
#include <QStringList>

#include "gui/model/RowCountries.h"
#include "gui/text/DisplayText.h"

namespace vantrix {

namespace {

struct Column {
  const char* caption;
  int width;
};

constexpr std::array<Column, kColumnCount> kColumns{{
    {"IP address", 148},
    {"Server name", 220},
    {"Map", 110},
    {"Ping", 43},
    {"Players", 58},
    {"Comment", 104},
    {"W", 25},
    {"D", 22},
    {"S", 25},
    {"P", 21},
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
  int position = row;
  if (m_pendingShift > 0 && row >= m_pendingFirst) {
    position = row + m_pendingShift;
  } else if (m_pendingShift < 0 && row >= m_pendingFirst) {
    if (row < m_pendingFirst - m_pendingShift) return -1;
    position = row + m_pendingShift;
  }
  // Inside an update bracket the table may already hold fewer rows than the view knows.
  return m_table.IsValid(position) ? position : -1;
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
  QStringList parts;
  if (m_countries) {
    if (const auto country = m_countries->CountryOfRow(position))
      parts << QString::fromStdString(CountryDescription(*country));
  }
  return parts.join(QStringLiteral(", "));
}

QVariant ServerTableModel::AddressExtra(int position, int role) const {
  if (role == Qt::DecorationRole) {
    const QIcon flag = m_countries ? m_countries->FlagOfRow(position) : QIcon();
    return flag.isNull() ? QVariant() : QVariant(flag);
  }
  const QString description = AddressDescription(position);
  return description.isEmpty() ? QVariant() : QVariant(description);
}

QVariant ServerTableModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
  const bool extra =
      role == Qt::DecorationRole || role == Qt::ToolTipRole || role == Qt::AccessibleDescriptionRole;
  if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::AccessibleTextRole && !extra) return {};
  const int position = TableRow(index.row());
  if (position < 0) return {};
  const int column = index.column();
  if (extra) return column == 0 ? AddressExtra(position, role) : QVariant();
  const std::string& bytes = column == 0 ? m_table.Address(position) : m_table.Cell(position, column - 1);
  return ToDisplay(bytes);
}

QVariant ServerTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
  if (section < 0 || section >= kColumnCount) return {};
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
  if (!m_selection) return;
  FlagScope guard(m_syncing);
  const int selected = m_table.SelectedIndex();
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
  {
    FlagScope guard(m_syncing);
    if (enteredRow >= 0) {
      m_table.SetSelectedIndex(enteredRow);
    } else if (!m_selection->hasSelection()) {
      m_table.SetSelectedIndex(-1);
    }
  }
  if (leftRow >= 0 && leftRow != enteredRow) emit SelectItem(leftRow, false);
  if (enteredRow >= 0) emit SelectItem(enteredRow, true);
}

void ServerTableModel::RowsInserted(int first, int last) {
  const int count = last - first + 1;
  {
    FlagScope guard(m_syncing);
    m_pendingFirst = first;
    m_pendingShift = count;
    beginInsertRows(QModelIndex(), first, last);
    m_pendingShift = 0;
    m_rowCount += count;
    endInsertRows();
  }
  SyncSelectionFromTable();
}

void ServerTableModel::RowsRemoved(int first, int last) {
  const int count = last - first + 1;
  {
    FlagScope guard(m_syncing);
    m_pendingFirst = first;
    m_pendingShift = -count;
    beginRemoveRows(QModelIndex(), first, last);
    m_pendingShift = 0;
    m_rowCount -= count;
    endRemoveRows();
  }
  SyncSelectionFromTable();
}

void ServerTableModel::CellChanged(int row, int column) {
  const QModelIndex changed = index(row, column);
  emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole, Qt::AccessibleTextRole});
}

void ServerTableModel::Reset() {
  {
    FlagScope guard(m_syncing);
    beginResetModel();
    m_rowCount = m_table.Count();
    endResetModel();
  }
  SyncSelectionFromTable();
}

void ServerTableModel::SelectionChanged() {
  if (!m_syncing) SyncSelectionFromTable();
}

}  // namespace vantrix
