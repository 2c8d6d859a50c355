#include "gui/Unit1.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>

#include "gui/Application.h"
#include "gui/text/ClipboardBytes.h"
#include "gui/text/DisplayText.h"
#include "gui/master/MasterImportCommand.h"
#include "gui/platform/EndpointSender.h"
#include "gui/platform/QtOneShotTimer.h"
#include "gui/model/ServerItemDelegate.h"
#include "gui/model/ServerTableModel.h"
#include "gui/model/ServerTreeView.h"
#include "gui/platform/SettingsTargets.h"
#include "gui/Unit2.h"
#include "gui/Unit3.h"
#include "gui/Unit4.h"
#include "gui/Unit5.h"
#include "gui/Unit6.h"
#include "gui/Unit7.h"
#include "gui/platform/WindowEndpoint.h"
#include "gui/text/WindowLook.h"
#include "core/lists/Exports.h"
#include "core/lists/Imports.h"
#include "core/lists/ListCommands.h"
#include "core/query/QueryEngine.h"
#include "core/table/TableCommands.h"
#include "core/util/Texts.h"
#include "net/TIdUDPServer.h"

namespace vantrix {

namespace {

// Copied files also count as text to Qt (hasText() is true for URLs); only real text is
// pasted as servers.
bool HoldsPlainText(const QMimeData& data) {
  return data.hasFormat(QStringLiteral("text/plain"));
}

// A key the in-place editor leaves alone travels up to the list; it is still the editor's.
bool EditorHasFocus(const QWidget& view) {
  const QWidget* focus = QApplication::focusWidget();
  return focus && focus != &view && view.isAncestorOf(focus);
}

constexpr int kWidth = 810;
constexpr int kStartHeight = 314;
constexpr int kMinimumHeight = 77;
constexpr int kStatusBarHeight = 19;
constexpr std::array<int, 3> kPanelWidths{55, 75, 50};
constexpr int kTimeoutMs = 400;

QFont BoldFont(const QStringList& families, int points) {
  QFont font;
  font.setFamilies(families);
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(points);
  font.setBold(true);
  return font;
}

}  // namespace

TForm1::TForm1(Application& app)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_app(app) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QString::fromLatin1(kProgramTitle));
  ApplyBlackLook(*this);
  setFont(BoldFont({QStringLiteral("Sans Serif")}, 8));
  setMinimumSize(kWidth, kMinimumHeight);
  setMaximumWidth(kWidth);
  resize(kWidth, kStartHeight);

  m_timer1 = new QTimer(this);
  m_timer1->setObjectName(QStringLiteral("Timer1"));
  m_timer1->setInterval(kTimeoutMs);
  m_timer1->setSingleShot(true);

  CreateListViews();
  CreateStatusBar();
  CreateMainMenu();
  CreatePopupMenu();
  CreateQueryEngine();
  m_masterImport = std::make_unique<MasterImportCommand>(
      *this, m_table, [this](QDialog& dialog) { return m_app.Dialogs().Exec(dialog); },
      [this](std::string text) { SetStatus(3, std::move(text)); }, m_clock);
  CentreOnScreen(*this);
}

TForm1::~TForm1() {
  // Hidden first, so that going away is not taken for the user closing the window.
  hide();
  m_masterImport.reset();
  // No datagram may reach the handler while the query's parts go away.
  m_idUDPServer1->Close();
  m_timer1->stop();
  m_timer1->disconnect(this);
}

// The endpoint opens here and a failure to open ends the window's creation: the program
// cannot run without it.
void TForm1::CreateQueryEngine() {
  m_idUDPServer1 = std::make_unique<TIdUDPServer>(m_app.MainThread());
  m_sender = std::make_unique<EndpointSender>(*m_idUDPServer1);
  m_timer1Driver = std::make_unique<QtOneShotTimer>(*m_timer1);
  m_engine = std::make_unique<QueryEngine>(m_table, m_status, m_settings, m_clock, m_sleeper, m_pump,
                                           *m_timer1Driver, *m_sender,
                                           [this](const std::string& datagram) { LogPacket(datagram); });
  connect(m_timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
  OpenWindowEndpoint(*m_idUDPServer1, TIdUDPServer::kDefaultBufferSize, this, &TForm1::IdUDPServer1UDPRead);
}

const SettingsReader& TForm1::LiveSettings() const {
  // The configuration dialog's controls; it is made after this window, and read only later.
  return m_settingsOverride ? *m_settingsOverride : m_app.Form5();
}

void TForm1::IdUDPServer1UDPRead(TIdUDPServer& /*sender*/, std::string_view datagram,
                                 const TIdSocketHandle& binding, std::uint32_t arrivalTick) {
  m_engine->OnDatagram(datagram, binding.SenderIP(), binding.SenderPort(), arrivalTick);
}

void TForm1::LogPacket(const std::string& datagram) {
  m_app.Form7().LogPacket(datagram);
}

void TForm1::CreateListViews() {
  m_model = std::make_unique<ServerTableModel>(m_table);
  m_delegate = new ServerItemDelegate(this);
  m_iconsDelegate = new ServerItemDelegate(this);

  auto* tree = new ServerTreeView;
  m_listView1 = tree;
  tree->setObjectName(QStringLiteral("ListView1"));
  tree->setModel(m_model.get());
  tree->setItemDelegate(m_delegate);
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
  for (int column = 0; column < ServerTableModel::kColumnCount; ++column)
    header->resizeSection(column, ServerTableModel::ColumnWidth(column));
  connect(header, &QHeaderView::sectionClicked, this,
          [this](int column) { RunCommand([this, column] { ListView1ColumnClick(column); }); });

  m_listView1Icons = new QListView;
  m_listView1Icons->setObjectName(QStringLiteral("ListView1Icons"));
  m_listView1Icons->setModel(m_model.get());
  m_listView1Icons->setModelColumn(0);
  m_listView1Icons->setSelectionModel(tree->selectionModel());
  m_listView1Icons->setItemDelegate(m_iconsDelegate);
  m_listView1Icons->setSelectionMode(QAbstractItemView::SingleSelection);
  m_listView1Icons->setEditTriggers(QAbstractItemView::SelectedClicked);
  m_listView1Icons->setMovement(QListView::Static);
  m_listView1Icons->setResizeMode(QListView::Adjust);
  m_listView1Icons->setUniformItemSizes(true);
  m_listView1Icons->setWrapping(true);
  m_listView1Icons->setMinimumHeight(0);

  m_model->AttachSelectionModel(tree->selectionModel());
  connect(m_model.get(), &ServerTableModel::SelectItem, this, &TForm1::ListView1SelectItem);

  for (QAbstractItemView* view :
       {static_cast<QAbstractItemView*>(tree), static_cast<QAbstractItemView*>(m_listView1Icons)}) {
    view->installEventFilter(this);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& position) {
      m_popupMenu2->popup(view->viewport()->mapToGlobal(position));
    });
    connect(view, &QAbstractItemView::doubleClicked, this,
            [this] { RunCommand([this] { ListView1DblClick(); }); });
  }

  m_listStack = new QStackedWidget(this);
  m_listStack->addWidget(tree);
  m_listStack->addWidget(m_listView1Icons);
  m_listStack->setCurrentWidget(tree);
  m_listStack->setMinimumHeight(0);
  setCentralWidget(m_listStack);
  SetListColors(Qt::white, Qt::black);
}

void TForm1::CreateStatusBar() {
  m_statusBar1 = new QStatusBar(this);
  m_statusBar1->setObjectName(QStringLiteral("StatusBar1"));
  m_statusBar1->setSizeGripEnabled(false);
  m_statusBar1->setFixedHeight(kStatusBarHeight);
  m_statusBar1->setFont(BoldFont({QStringLiteral("Tahoma"), QStringLiteral("Sans Serif")}, 8));
  QPalette bevel = m_statusBar1->palette();
  bevel.setColor(QPalette::Light, QColor(0x60, 0x60, 0x60));
  bevel.setColor(QPalette::Dark, QColor(0x30, 0x30, 0x30));
  bevel.setColor(QPalette::Mid, QColor(0x40, 0x40, 0x40));
  m_statusBar1->setPalette(bevel);
  for (int panel = 0; panel < 3; ++panel) {
    auto* label = new QLabel(m_statusBar1);
    label->setObjectName(QStringLiteral("StatusPanel%1").arg(panel));
    label->setTextFormat(Qt::PlainText);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setContentsMargins(2, 0, 2, 0);
    const int width = kPanelWidths[static_cast<size_t>(panel)];
    if (panel < 2) {
      label->setFixedWidth(width);
      m_statusBar1->addWidget(label);
    } else {
      label->setMinimumWidth(width);
      m_statusBar1->addWidget(label, 1);  // the message panel takes the rest
    }
    m_panels[static_cast<size_t>(panel)] = label;
  }
  setStatusBar(m_statusBar1);
  m_status.SetObserver([this](int panel) { ShowStatusPanel(panel); });
  for (int panel = 0; panel < 3; ++panel) ShowStatusPanel(panel);
}

void TForm1::ShowStatusPanel(int panel) {
  QLabel* label = StatusPanel(panel);
  if (label) label->setText(ToDisplay(m_status.Panel(panel)));
}

QLabel* TForm1::StatusPanel(int panel) const {
  if (panel == 3) panel = StatusLine::kMessagePanel;
  if (panel < 0 || panel > 2) return nullptr;
  return m_panels[static_cast<size_t>(panel)];
}

QAction* TForm1::AddItem(QMenu* menu, const char* name, const char* caption, const QKeySequence& shortcut,
                         Handler handler) {
  auto* action = new QAction(QString::fromLatin1(caption), this);
  action->setObjectName(QString::fromLatin1(name));
  action->setShortcut(shortcut);
  // Shortcuts work wherever the focus is inside the main window.
  action->setShortcutContext(Qt::WindowShortcut);
  connect(action, &QAction::triggered, this,
          [this, handler] { RunCommand([this, handler] { (this->*handler)(); }); });
  menu->addAction(action);
  return action;
}

void TForm1::AddSeparator(QMenu* menu) {
  QAction* separator = menu->addSeparator();
  separator->setObjectName(QStringLiteral("N%1").arg(++m_separatorCount));
}

void TForm1::CreateMainMenu() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));
  ApplyStandardColors(*bar);
  const QKeySequence none;
  auto addMenu = [this](QMenu* parent, const char* name, const char* caption) {
    QMenu* menu = parent ? parent->addMenu(QString::fromLatin1(caption))
                         : menuBar()->addMenu(QString::fromLatin1(caption));
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
  };

  QMenu* file = addMenu(nullptr, "File1", "File");
  AddItem(file, "NewF11", "New file...", QKeySequence(Qt::Key_F2), &TForm1::NewF11Click);
  AddSeparator(file);
  AddItem(file, "Openfromfile1", "Open file...", QKeySequence(Qt::Key_F3), &TForm1::Openfromfile1Click);
  AddSeparator(file);
  AddItem(file, "Saveto1", "Save file...", QKeySequence(Qt::Key_F4), &TForm1::Saveto1Click);
  AddSeparator(file);
  AddItem(file, "Saveselectedtoclipboard1", "Save selected to clipboard", QKeySequence(Qt::CTRL | Qt::Key_C),
          &TForm1::Saveselectedtoclipboard1Click);

  QMenu* edit = addMenu(nullptr, "Edit1", "Edit");
  AddItem(edit, "AddserverF41", "Add server...", QKeySequence(Qt::Key_Insert), &TForm1::AddserverF41Click);
  AddItem(edit, "EditserverF41", "Edit server...", QKeySequence(Qt::CTRL | Qt::Key_Insert),
          &TForm1::EditserverF41Click);
  AddItem(edit, "DeleteserverF61", "Delete server", QKeySequence(Qt::Key_Delete),
          &TForm1::DeleteserverF61Click);
  AddSeparator(edit);
  AddItem(edit, "Clearserverinfo1", "Clear server info", QKeySequence(Qt::SHIFT | Qt::Key_Insert),
          &TForm1::Clearserverinfo1Click);
  AddItem(edit, "Clearallserverinfo1", "Clear all servers info", QKeySequence(Qt::SHIFT | Qt::Key_Delete),
          &TForm1::Clearallserverinfo1Click);

  QMenu* view = addMenu(nullptr, "View1", "View");
  AddItem(view, "Refresh1", "Refresh", none, &TForm1::Refresh1Click);
  AddSeparator(view);
  QMenu* style = addMenu(view, "Liststyle1", "List style");
  AddItem(style, "Icons1", "Icons", none, &TForm1::Icons1Click);
  AddItem(style, "Smallicons1", "Small icons", none, &TForm1::Smallicons1Click);
  AddItem(style, "List2", "List", none, &TForm1::List2Click);
  AddItem(style, "Reportdefault1", "Report (default)", none, &TForm1::Reportdefault1Click);
  QAction* grid = AddItem(view, "Gridlines1", "Grid lines", none, &TForm1::Gridlines1Click);
  grid->setCheckable(true);
  grid->setChecked(false);
  AddSeparator(view);
  AddItem(view, "Showreceivedpackets1", "Show received packets", none, &TForm1::Showreceivedpackets1Click);

  QMenu* list = addMenu(nullptr, "List1", "List");
  AddItem(list, "Importfromfile1", "Import from file...", QKeySequence(Qt::Key_F5),
          &TForm1::Importfromfile1Click);
  QMenu* import = addMenu(list, "Exportto1", "Import from other tool");
  AddItem(import, "Orbisk20inifile1", "[.ini] Orbisk 2.0 settings file", none,
          &TForm1::Orbisk20inifile1Click);
  AddItem(import, "txtTrelvanox1421", "[.txt] Trelvanox 1.42 settings file", none,
          &TForm1::txtTrelvanox1421Click);
  AddItem(list, "Importfrommasterserver1", "Import from master server...", QKeySequence(Qt::CTRL | Qt::Key_F5),
          &TForm1::Importfrommasterserver1Click);
  AddSeparator(list);
  AddItem(list, "Removeduplicates1", "Remove duplicates", QKeySequence(Qt::Key_F6),
          &TForm1::Removeduplicates1Click);
  AddItem(list, "Removebadservers1", "Remove bad servers", QKeySequence(Qt::Key_F7),
          &TForm1::Removebadservers1Click);
  AddSeparator(list);
  QMenu* exports = addMenu(list, "debughostplayers1", "Export to _list.txt");
  AddItem(exports, "IPName1", "[IP] - [Name]", none, &TForm1::IPName1Click);
  AddItem(exports, "IPNamePlayers1", "[IP] - [Name] - [Players]", none, &TForm1::IPNamePlayers1Click);
  AddItem(exports, "IPComment1", "[IP] | [Comment] (Gorvane 1.0x)", none, &TForm1::IPComment1Click);
  AddItem(exports, "IPNamePlayersComment1", "[IP] - [Name] - [Players] - [Comment]", none,
          &TForm1::IPNamePlayersComment1Click);

  QMenu* checking = addMenu(nullptr, "Checking1", "Checking");
  AddItem(checking, "Checkserver1", "Check server", QKeySequence(Qt::Key_F9), &TForm1::Checkserver1Click);
  AddItem(checking, "CheckallF121", "Check all servers", QKeySequence(Qt::Key_F10),
          &TForm1::CheckallF121Click);
  AddSeparator(checking);
  AddItem(checking, "Showplayers1", "Show players", QKeySequence(Qt::Key_F11), &TForm1::Showplayers1Click);
  AddItem(checking, "Showrules1", "Show rules", QKeySequence(Qt::Key_F12), &TForm1::Showrules1Click);

  QMenu* settings = addMenu(nullptr, "Settings1", "Settings");
  AddItem(settings, "Settings2", "Settings...", none, &TForm1::Settings2Click);

  QMenu* help = addMenu(nullptr, "Help1", "Help");
  AddItem(help, "About1", "About...", none, &TForm1::About1Click);

  auto* exit = new QAction(QStringLiteral("Exit"), this);
  exit->setObjectName(QStringLiteral("Exit1"));
  connect(exit, &QAction::triggered, this, [this] { RunCommand([this] { Exit1Click(); }); });
  bar->addAction(exit);
}

void TForm1::CreatePopupMenu() {
  m_popupMenu2 = new QMenu(this);
  m_popupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
  const QKeySequence none;
  AddItem(m_popupMenu2, "Check1", "Check", none, &TForm1::Check1Click);
  AddSeparator(m_popupMenu2);
  AddItem(m_popupMenu2, "Edit2", "Edit...", none, &TForm1::Edit2Click);
  AddItem(m_popupMenu2, "Delete1", "Delete", none, &TForm1::Delete1Click);
}

QAction* TForm1::MenuAction(const QString& name) const {
  return findChild<QAction*>(name, Qt::FindDirectChildrenOnly);
}

void TForm1::SetListColors(const QColor& background, const QColor& text) {
  for (QAbstractItemView* view :
       {static_cast<QAbstractItemView*>(m_listView1), static_cast<QAbstractItemView*>(m_listView1Icons)}) {
    QPalette palette = view->palette();
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Text, text);
    view->setPalette(palette);
  }
}

bool TForm1::GridLines() const {
  return m_delegate->GridLines();
}

void TForm1::RunCommand(const std::function<void()>& command) {
  RunReported(m_app.Errors(), command);
}

void TForm1::ShowDialog(QDialog& dialog) {
  m_app.Dialogs().Exec(dialog);
}

// ---- Window events -------------------------------------------------------------------

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (m_shown) return;
  m_shown = true;
  RunCommand([this] { FormShow(); });
}

void TForm1::closeEvent(QCloseEvent* event) {
  event->accept();
  FormClose();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && (watched == m_listView1 || watched == m_listView1Icons) &&
      !EditorHasFocus(*static_cast<QWidget*>(watched))) {
    bool taken = false;
    RunCommand([&] { taken = ListView1KeyDown(static_cast<QKeyEvent&>(*event)); });
    if (taken) return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void TForm1::FormShow() {
  ResetQueryCounters();
  LoadAndApplySettings();
  LoadStartupFiles();
  emit StartupDone();
}

void TForm1::FormClose() {
  // A query waiting inside processEvents returns at once instead of running on.
  m_engine->RequestQuit();
  m_app.EndProgram();
}

void TForm1::ResetQueryCounters() {
  m_engine->ResetForShow();
}

void TForm1::LoadAndApplySettings() {
  // A bad value is reported and ends this step only: the rest of the start-up goes on.
  RunCommand([this] {
    m_app.Form5().LoadSettings();
    ApplySettings();
  });
}

void TForm1::ApplySettings() {
  ApplySettingsTo(
      m_app.Form5(),
      {[this](std::int32_t bufferSize, bool broadcast) { ApplyEndpointSettings(bufferSize, broadcast); },
       [this](const QColor& background, const QColor& text) { SetListColors(background, text); }});
}

void TForm1::ApplyEndpointSettings(std::int32_t bufferSize, bool broadcast) {
  m_idUDPServer1->SetBufferSize(bufferSize);
  m_idUDPServer1->SetBroadcastEnabled(broadcast);
}

void TForm1::LoadStartupFiles() {
  // A file that fails while it is read is reported, and the start-up goes on without it.
  RunCommand([this] { vantrix::LoadStartupFiles(m_table, m_status, m_app.Arguments()); });
}

void TForm1::CheckOnDoubleClick() {
  m_engine->DoubleClick();
}

// ---- ListView1 -----------------------------------------------------------------------

void TForm1::ListView1ColumnClick(int column) {
  ColumnClick(m_table, column);
}

void TForm1::ListView1SelectItem(int position, bool /*selected*/) {
  SetStatus(StatusLine::kCounterPanel, SelectionCounterText(position, m_table.Count()));
}

void TForm1::ListView1DblClick() {
  CheckOnDoubleClick();
}

bool TForm1::ListView1KeyDown(QKeyEvent& event) {
  if (event.key() != Qt::Key_V || !(event.modifiers() & Qt::ControlModifier)) return false;
  const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData();
  if (!clipboard || !HoldsPlainText(*clipboard)) return false;
  PasteText(m_table, ClipboardBytes(*clipboard));
  return true;
}

// ---- File ----------------------------------------------------------------------------

void TForm1::NewF11Click() {
  NewList(m_table);
}

void TForm1::Openfromfile1Click() {
  // The one yield lets "Processing file" repaint before a long read.
  OpenListCommand(m_table, m_status, m_app.Files(), m_openDialog1, [] { QCoreApplication::processEvents(); });
}

void TForm1::Saveto1Click() {
  SaveListCommand(m_table, m_status, m_app.Files(), m_saveDialog1, m_writeLimit);
}

void TForm1::Saveselectedtoclipboard1Click() {
  // The views share one selection model; its current row is the row with the focus.
  const QModelIndex current = m_listView1->selectionModel()->currentIndex();
  const int focusedRow = current.isValid() ? current.row() : -1;
  SaveSelectedToClipboard(m_table, m_status, focusedRow, [](const std::string& address) {
    return WriteClipboardBytes(QGuiApplication::clipboard(), address);
  });
}

// ---- Edit ----------------------------------------------------------------------------

void TForm1::AddserverF41Click() {
  m_editMode = false;
  TForm2& editor = m_app.Form2();
  editor.setWindowTitle(QStringLiteral("Add server"));
  editor.Button1()->setText(QStringLiteral("Add"));
  ShowDialog(editor);
}

void TForm1::EditserverF41Click() {
  const int selected = m_table.SelectedIndex();
  if (selected < 0 || m_table.Address(selected).empty()) return;
  m_editMode = true;
  TForm2& editor = m_app.Form2();
  editor.setWindowTitle(QStringLiteral("Edit server"));
  editor.Button1()->setText(QStringLiteral("OK"));
  ShowDialog(editor);
}

void TForm1::DeleteserverF61Click() {
  const int selected = m_table.SelectedIndex();
  if (selected < 0) return;
  try {
    m_table.DeleteRow(selected);
  } catch (const std::exception&) {
    SetStatus(3, "Error: Cannot delete selected server");
  }
}

void TForm1::Clearserverinfo1Click() {
  const int selected = m_table.SelectedIndex();
  if (selected >= 0) ClearServerInfo(m_table, selected);
}

void TForm1::Clearallserverinfo1Click() {
  ClearAllServersInfo(m_table);
}

// ---- View ----------------------------------------------------------------------------

void TForm1::Refresh1Click() {
  QAbstractItemView* view = m_listStyle == ListStyle::Report
                                ? static_cast<QAbstractItemView*>(m_listView1)
                                : static_cast<QAbstractItemView*>(m_listView1Icons);
  view->viewport()->repaint();
  repaint();
}

void TForm1::SetListStyle(ListStyle style) {
  m_listStyle = style;
  if (style == ListStyle::Report) {
    m_listStack->setCurrentWidget(m_listView1);
    return;
  }
  QListView* list = m_listView1Icons;
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
  m_listStack->setCurrentWidget(list);
}

void TForm1::Icons1Click() {
  SetListStyle(ListStyle::Icons);
}
void TForm1::Smallicons1Click() {
  SetListStyle(ListStyle::SmallIcons);
}
void TForm1::List2Click() {
  SetListStyle(ListStyle::List);
}
void TForm1::Reportdefault1Click() {
  SetListStyle(ListStyle::Report);
}

void TForm1::Gridlines1Click() {
  const QAction* grid = MenuAction(QStringLiteral("Gridlines1"));
  m_delegate->SetGridLines(grid && grid->isChecked());
  m_iconsDelegate->SetGridLines(grid && grid->isChecked());
  m_listView1->viewport()->update();
  m_listView1Icons->viewport()->update();
}

void TForm1::Showreceivedpackets1Click() {
  TForm7& log = m_app.Form7();
  log.show();
  log.raise();
  log.activateWindow();
}

// ---- List ----------------------------------------------------------------------------

void TForm1::Importfromfile1Click() {
  ImportListCommand(m_table, m_status, m_app.Files(), m_openDialog1);
}

void TForm1::Orbisk20inifile1Click() {
  ImportOrbiskCommand(m_table, m_status, m_app.Files(), m_openDialog2);
}

void TForm1::txtTrelvanox1421Click() {
  ImportTrelvanoxCommand(m_table, m_status, m_app.Files(), m_openDialog3);
}

void TForm1::Importfrommasterserver1Click() {
  m_masterImport->Run();
}

void TForm1::Removeduplicates1Click() {
  RemoveDuplicates(m_table);
}

void TForm1::Removebadservers1Click() {
  RemoveBadServers(m_table);
}

void TForm1::IPName1Click() {
  ExportList(m_table, ExportFormat::kIpName, kExportFileName, m_writeLimit);
}

void TForm1::IPNamePlayers1Click() {
  ExportList(m_table, ExportFormat::kIpNamePlayers, kExportFileName, m_writeLimit);
}

void TForm1::IPComment1Click() {
  ExportList(m_table, ExportFormat::kIpComment, kExportFileName, m_writeLimit);
}

void TForm1::IPNamePlayersComment1Click() {
  ExportList(m_table, ExportFormat::kIpNamePlayersComment, kExportFileName, m_writeLimit);
}

// ---- Checking ------------------------------------------------------------------------

void TForm1::Checkserver1Click() {
  m_engine->CheckServer();
}

void TForm1::CheckallF121Click() {
  m_engine->CheckAll();
}

void TForm1::Showplayers1Click() {
  const int selected = m_table.SelectedIndex();
  if (selected < 0) return;
  // A request that fails ends the command before the window shows.
  TForm4& players = m_app.Form4();
  players.RequestPlayers(m_table.Address(selected));
  players.show();
  players.raise();
  players.activateWindow();
}

void TForm1::Showrules1Click() {
  const int selected = m_table.SelectedIndex();
  if (selected < 0) return;
  // A request that fails ends the command before the window shows.
  TForm3& rules = m_app.Form3();
  rules.RequestRules(m_table.Address(selected));
  rules.show();
  rules.raise();
  rules.activateWindow();
}

void TForm1::Timer1Timer() {
  m_engine->Timer1Timer();
}

// ---- Settings, Help, Exit ------------------------------------------------------------

void TForm1::Settings2Click() {
  ShowDialog(m_app.Form5());
}

void TForm1::About1Click() {
  ShowDialog(m_app.Form6());
}

void TForm1::Exit1Click() {
  m_engine->RequestQuit();
  m_app.EndProgram();
}

// ---- PopupMenu2 ----------------------------------------------------------------------

void TForm1::Check1Click() {
  Checkserver1Click();
}

void TForm1::Edit2Click() {
  EditserverF41Click();
}

void TForm1::Delete1Click() {
  DeleteserverF61Click();
}

}  // namespace vantrix
