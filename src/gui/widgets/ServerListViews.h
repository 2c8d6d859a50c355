#pragma once

#include <array>

#include <QStackedWidget>

class QAbstractItemView;
class QColor;
class QListView;
class QPoint;
class QTreeView;

namespace vantrix {

class ServerItemDelegate;
class ServerTableModel;

// The four ways the list can show its rows; the first three show only the address.
enum class ListStyle { Icons, SmallIcons, List, Report };

// The server list as the main window shows it: a report view with every column and an icon
// view of the addresses, stacked so that one shows at a time. Both views share the model and
// one selection, and take the same colours and grid lines.
class ServerListViews final : public QStackedWidget {
  Q_OBJECT

 public:
  ServerListViews(ServerTableModel& model, QWidget* parent);

  // The report view (ListView1) and the view of the three other styles.
  QTreeView* Report() const { return m_report; }
  QListView* Icons() const { return m_icons; }
  std::array<QAbstractItemView*, 2> Views() const;
  // The view the current style shows.
  QAbstractItemView* ShownView() const;

  ListStyle Style() const { return m_style; }
  void SetStyle(ListStyle style);
  void SetColors(const QColor& background, const QColor& text);
  bool GridLines() const;
  void SetGridLines(bool on);
  // The report header's sort indicator on this column, pointing this way; hidden until the
  // first call. Only shown: the table sorts itself.
  void ShowSortIndicator(int column, Qt::SortOrder order);

 signals:
  void ColumnClicked(int column);
  // A context menu was asked for at this point of the screen.
  void MenuRequested(const QPoint& globalPosition);
  void DoubleClicked();

 private:
  void CreateReport(ServerTableModel& model);
  void CreateIcons(ServerTableModel& model);

  // One delegate per view: an editor reports back to every view its delegate serves.
  ServerItemDelegate* m_reportDelegate = nullptr;
  ServerItemDelegate* m_iconsDelegate = nullptr;
  QTreeView* m_report = nullptr;
  QListView* m_icons = nullptr;
  ListStyle m_style = ListStyle::Report;
};

}  // namespace vantrix
