#include "gui/widgets/ServerListViews.h"

#include <QHeaderView>
#include <QListView>
#include <QTreeView>

#include "gui/model/ServerItemDelegate.h"
#include "gui/model/ServerTableModel.h"
#include "gui/model/ServerTreeView.h"
#include "gui/text/WindowLook.h"

namespace vantrix {

ServerListViews::ServerListViews(ServerTableModel& model, QWidget* parent) : QStackedWidget(parent) {
  m_reportDelegate = new ServerItemDelegate(parent);
  m_iconsDelegate = new ServerItemDelegate(parent);
  m_iconsDelegate->SetDecorations(false);  // the flags belong to the report view
  CreateReport(model);
  CreateIcons(model);
  model.AttachSelectionModel(m_report->selectionModel());

  for (QAbstractItemView* view : Views()) {
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& position) {
      emit MenuRequested(view->viewport()->mapToGlobal(position));
    });
    connect(view, &QAbstractItemView::doubleClicked, this, [this] { emit DoubleClicked(); });
  }

  addWidget(m_report);
  addWidget(m_icons);
  setCurrentWidget(m_report);
  setMinimumHeight(0);
  SetColors(Qt::white, Qt::black);
}

void ServerListViews::CreateReport(ServerTableModel& model) {
  auto* tree = new ServerTreeView;
  m_report = tree;
  tree->setObjectName(QStringLiteral("ListView1"));
  tree->setModel(&model);
  tree->setItemDelegate(m_reportDelegate);
  tree->setRootIsDecorated(false);
  tree->setItemsExpandable(false);
  tree->setUniformRowHeights(true);
  tree->setAllColumnsShowFocus(true);
  tree->setSortingEnabled(false);  // the table sorts itself on a header click
  tree->setSelectionMode(QAbstractItemView::SingleSelection);
  tree->setSelectionBehavior(QAbstractItemView::SelectRows);
  tree->setEditTriggers(QAbstractItemView::SelectedClicked);
  tree->setMinimumHeight(0);
  QHeaderView* header = tree->header();
  ApplyStandardColors(*header);
  header->setStretchLastSection(false);
  header->setSectionsClickable(true);
  header->setSectionsMovable(false);
  header->setSortIndicatorShown(false);
  header->setMinimumSectionSize(8);  // the one-letter columns are narrower than the style's minimum
  for (int column = 0; column < kColumnCount; ++column)
    header->resizeSection(column, ServerTableModel::ColumnWidth(column));
  connect(header, &QHeaderView::sectionClicked, this, [this](int column) { emit ColumnClicked(column); });
}

void ServerListViews::CreateIcons(ServerTableModel& model) {
  m_icons = new QListView;
  m_icons->setObjectName(QStringLiteral("ListView1Icons"));
  m_icons->setModel(&model);
  m_icons->setModelColumn(0);
  m_icons->setSelectionModel(m_report->selectionModel());
  m_icons->setItemDelegate(m_iconsDelegate);
  m_icons->setSelectionMode(QAbstractItemView::SingleSelection);
  m_icons->setEditTriggers(QAbstractItemView::SelectedClicked);
  m_icons->setMovement(QListView::Static);
  m_icons->setResizeMode(QListView::Adjust);
  m_icons->setUniformItemSizes(true);
  m_icons->setWrapping(true);
  m_icons->setMinimumHeight(0);
}

std::array<QAbstractItemView*, 2> ServerListViews::Views() const {
  return {m_report, m_icons};
}

QAbstractItemView* ServerListViews::ShownView() const {
  if (m_style == ListStyle::Report) return m_report;
  return m_icons;
}

void ServerListViews::SetStyle(ListStyle style) {
  m_style = style;
  if (style == ListStyle::Report) {
    setCurrentWidget(m_report);
    return;
  }
  QListView* list = m_icons;
  switch (style) {
    case ListStyle::Icons:
      list->setViewMode(QListView::IconMode);
      list->setFlow(QListView::LeftToRight);
      list->setIconSize(QSize(32, 32));
      list->setGridSize(QSize(120, 48));
      break;
    case ListStyle::SmallIcons:
      list->setViewMode(QListView::ListMode);
      list->setFlow(QListView::LeftToRight);
      list->setIconSize(QSize(16, 16));
      list->setGridSize(QSize(150, 18));
      break;
    case ListStyle::List:
    case ListStyle::Report:
      list->setViewMode(QListView::ListMode);
      list->setFlow(QListView::TopToBottom);
      list->setIconSize(QSize(16, 16));
      list->setGridSize(QSize());
      break;
  }
  list->setMovement(QListView::Static);
  list->setWrapping(true);
  setCurrentWidget(list);
}

void ServerListViews::SetColors(const QColor& background, const QColor& text) {
  for (QAbstractItemView* view : Views()) {
    QPalette palette = view->palette();
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Text, text);
    view->setPalette(palette);
  }
}

void ServerListViews::ShowSortIndicator(int column, Qt::SortOrder order) {
  QHeaderView* header = m_report->header();
  header->setSortIndicatorShown(true);
  header->setSortIndicator(column, order);
}

bool ServerListViews::GridLines() const {
  return m_reportDelegate->GridLines();
}

void ServerListViews::SetGridLines(bool on) {
  m_reportDelegate->SetGridLines(on);
  m_iconsDelegate->SetGridLines(on);
  m_report->viewport()->update();
  m_icons->viewport()->update();
}

}  // namespace vantrix
