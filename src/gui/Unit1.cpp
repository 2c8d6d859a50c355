#include "gui/Unit1.h"

#include <stdexcept>

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>

#include "core/lists/Exports.h"
#include "core/lists/Imports.h"
#include "core/lists/ListCommands.h"
#include "core/table/TableCommands.h"
#include "core/util/QueryDefaults.h"
#include "core/util/Texts.h"
#include "gui/Application.h"
#include "gui/MainMenuTable.h"
#include "gui/MasterImportCommand.h"
#include "gui/Unit2.h"
#include "gui/Unit3.h"
#include "gui/Unit4.h"
#include "gui/Unit5.h"
#include "gui/Unit6.h"
#include "gui/Unit7.h"
#include "gui/model/ServerTableModel.h"
#include "gui/platform/OuterFrameSize.h"
#include "gui/platform/QueryWiring.h"
#include "gui/platform/SettingsTargets.h"
#include "gui/platform/WindowEndpoint.h"
#include "gui/text/ClipboardBytes.h"
#include "gui/text/DisplayText.h"
#include "gui/text/WindowLook.h"
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
// Room in the endpoint's receive queue for a parallel check's burst of answers.
constexpr int kReceiveQueueBytes = 8 * 1024 * 1024;
constexpr int kStartHeight = 314;
constexpr int kMinimumHeight = 77;

}  // namespace

// ---- Window events -------------------------------------------------------------------

void TForm1::FormShow() {
  ResetQueryCounters();
  LoadAndApplySettings();
  LoadStartupFiles();
  emit StartupDone();
}

void TForm1::FormClose() {
  // A query waiting inside processEvents returns at once instead of running on.
  m_query->engine.RequestQuit();
  m_query->atOnce.Stop();
  m_app.EndProgram();
}

void TForm1::keyPressEvent(QKeyEvent* event) {
  // Esc anywhere in the window stops the parallel check; an editor or a menu that takes
  // Esc for itself keeps it.
  if (event->key() == Qt::Key_Escape && m_query->atOnce.Running()) {
    m_query->atOnce.Stop();
    return;
  }
  QMainWindow::keyPressEvent(event);
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
  const QModelIndex current = ListView1()->selectionModel()->currentIndex();
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
    m_status.SetMessage("Error: Cannot delete selected server");
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
  m_lists->ShownView()->viewport()->repaint();
  repaint();
}

void TForm1::Icons1Click() {
  m_lists->SetStyle(ListStyle::Icons);
}
void TForm1::Smallicons1Click() {
  m_lists->SetStyle(ListStyle::SmallIcons);
}
void TForm1::List2Click() {
  m_lists->SetStyle(ListStyle::List);
}
void TForm1::Reportdefault1Click() {
  m_lists->SetStyle(ListStyle::Report);
}

void TForm1::Gridlines1Click() {
  const QAction* grid = MenuAction(QStringLiteral("Gridlines1"));
  m_lists->SetGridLines(grid && grid->isChecked());
}

void TForm1::Showreceivedpackets1Click() {
  ShowInFront(m_app.Form7());
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
  m_query->engine.CheckServer();
}

void TForm1::CheckallF121Click() {
  m_query->engine.CheckAll();
}

void TForm1::Checkallatonce1Click() {
  if (m_query->atOnce.Running()) {
    m_query->atOnce.Stop();
    return;
  }
  const Settings settings = LiveSettings().Snapshot();
  TableCheckSetup setup;
  setup.query = settings.queryProtocol == QueryProtocol::kCurrent ? CheckQuery::kInfo : CheckQuery::kDetails;
  setup.defaultPortText = settings.defaultPort;
  setup.progress = settings.progress;
  m_query->atOnce.Start(setup);
}

void TForm1::Showplayers1Click() {
  const int selected = m_table.SelectedIndex();
  if (selected < 0) return;
  // A request that fails ends the command before the window shows.
  TForm4& players = m_app.Form4();
  players.RequestPlayers(m_table.Address(selected));
  ShowInFront(players);
}

void TForm1::Showrules1Click() {
  const int selected = m_table.SelectedIndex();
  if (selected < 0) return;
  // A request that fails ends the command before the window shows.
  TForm3& rules = m_app.Form3();
  rules.RequestRules(m_table.Address(selected));
  ShowInFront(rules);
}

void TForm1::Timer1Timer() {
  m_query->engine.Timer1Timer();
}

// ---- Settings, Help, Exit ------------------------------------------------------------

void TForm1::Settings2Click() {
  ShowDialog(m_app.Form5());
}

void TForm1::About1Click() {
  ShowDialog(m_app.Form6());
}

void TForm1::Exit1Click() {
  m_query->engine.RequestQuit();
  m_query->atOnce.Stop();
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

// ---- ListView1 and IdUDPServer1 ------------------------------------------------------

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

void TForm1::IdUDPServer1UDPRead(TIdUDPServer& /*sender*/, std::string_view datagram,
                                 const TIdSocketHandle& binding, std::uint32_t arrivalTick) {
  // An answer to the parallel check is its alone; everything else is handled as always.
  if (m_query->atOnce.TakeDatagram(binding.SenderIP(), binding.SenderPort(), datagram, arrivalTick)) {
    m_query->engine.LogAndCount(datagram);
    return;
  }
  m_query->engine.OnDatagram(datagram, binding.SenderIP(), binding.SenderPort(), arrivalTick);
}

// ---- Start-up steps ------------------------------------------------------------------

void TForm1::ResetQueryCounters() {
  m_query->engine.ResetForShow();
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
  m_query->idUDPServer1.SetBufferSize(bufferSize);
  m_query->idUDPServer1.SetBroadcastEnabled(broadcast);
}

void TForm1::LoadStartupFiles() {
  // A file that fails while it is read is reported, and the start-up goes on without it.
  RunCommand([this] { vantrix::LoadStartupFiles(m_table, m_status, m_app.Arguments()); });
}

void TForm1::CheckOnDoubleClick() {
  m_query->engine.DoubleClick();
}

// ---- Construction --------------------------------------------------------------------

TForm1::TForm1(Application& app)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_app(app) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QString::fromLatin1(kProgramTitle));
  ApplyBlackLook(*this);
  setFont(BoldFont({QStringLiteral("Sans Serif")}, 8));

  m_timer1 = new QTimer(this);
  m_timer1->setObjectName(QStringLiteral("Timer1"));
  m_timer1->setInterval(static_cast<int>(kQueryTimeoutMs));
  m_timer1->setSingleShot(true);

  CreateListViews();
  CreateStatusBar();
  CreateMenus();
  CreateQueryEngine();
  m_masterImport = std::make_unique<MasterImportCommand>(
      *this, m_table, [this](QDialog& dialog) { return m_app.Dialogs().Exec(dialog); },
      [this](std::string text) { m_status.SetMessage(std::move(text)); }, m_query->clock);
  // Sizes of the outer frame, centred on the desktop.
  new OuterFrameSize(
      *this, {QSize(kWidth, kStartHeight), QSize(kWidth, kMinimumHeight), QSize(kWidth, QWIDGETSIZE_MAX)});
}

TForm1::~TForm1() {
  // Hidden first, so that going away is not taken for the user closing the window.
  hide();
  m_masterImport.reset();
  // No datagram may reach the handler while the query's parts go away.
  m_query->idUDPServer1.Close();
  m_timer1->stop();
  m_timer1->disconnect(this);
}

// The endpoint opens here and a failure to open ends the window's creation: the program
// cannot run without it.
void TForm1::CreateQueryEngine() {
  m_query = std::make_unique<QueryWiring>(
      m_table, m_status, [this]() -> const SettingsReader& { return LiveSettings(); }, m_app.MainThread(),
      *m_timer1, [this](const std::string& datagram) { LogPacket(datagram); });
  // Room for the answers of a whole parallel check's burst.
  m_query->idUDPServer1.SetReceiveQueue(kReceiveQueueBytes);
  connect(m_timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
  OpenWindowEndpoint(m_query->idUDPServer1, TIdUDPServer::kDefaultBufferSize, this,
                     &TForm1::IdUDPServer1UDPRead);
}

void TForm1::CreateListViews() {
  m_model = std::make_unique<ServerTableModel>(m_table);
  m_lists = new ServerListViews(*m_model, this);
  connect(m_model.get(), &ServerTableModel::SelectItem, this, &TForm1::ListView1SelectItem);
  connect(m_lists, &ServerListViews::ColumnClicked, this,
          [this](int column) { RunCommand([this, column] { ListView1ColumnClick(column); }); });
  connect(m_lists, &ServerListViews::MenuRequested, this,
          [this](const QPoint& position) { m_popupMenu2->popup(position); });
  connect(m_lists, &ServerListViews::DoubleClicked, this,
          [this] { RunCommand([this] { ListView1DblClick(); }); });
  for (QAbstractItemView* view : m_lists->Views()) view->installEventFilter(this);
  setCentralWidget(m_lists);
}

void TForm1::CreateStatusBar() {
  m_statusBar1 = new StatusPanels(this);
  setStatusBar(m_statusBar1);
  m_status.SetObserver([this](int panel) { ShowStatusPanel(panel); });
  for (int panel = 0; panel < StatusPanels::kPanelCount; ++panel) ShowStatusPanel(panel);
}

void TForm1::CreateMenus() {
  menuBar()->setObjectName(QStringLiteral("MainMenu1"));
  ApplyStandardColors(*menuBar());
  m_popupMenu2 = BuildMenus(*menuBar(), *this, [this](const MenuEntry& entry) { return AddItem(entry); });
}

QAction* TForm1::AddItem(const MenuEntry& entry) {
  auto* action = new QAction(QString::fromLatin1(entry.caption), this);
  action->setObjectName(QString::fromLatin1(entry.name));
  if (entry.HasShortcut()) action->setShortcut(QKeySequence(entry.shortcut));
  // Shortcuts work wherever the focus is inside the main window.
  action->setShortcutContext(Qt::WindowShortcut);
  action->setCheckable(entry.kind == MenuEntry::Kind::kCheckItem);
  const auto handler = entry.handler;
  connect(action, &QAction::triggered, this,
          [this, handler] { RunCommand([this, handler] { (this->*handler)(); }); });
  return action;
}

// ---- Plumbing ------------------------------------------------------------------------

TIdUDPServer& TForm1::IdUDPServer1() const {
  return m_query->idUDPServer1;
}

QueryEngine& TForm1::Engine() const {
  return m_query->engine;
}

TableCheckDriver& TForm1::AtOnce() const {
  return m_query->atOnce;
}

const SettingsReader& TForm1::LiveSettings() const {
  // The configuration dialog's controls; it is made after this window, and read only later.
  return m_query->settingsOverride ? *m_query->settingsOverride : m_app.Form5();
}

void TForm1::SetSettingsReader(const SettingsReader* reader) {
  m_query->settingsOverride = reader;
}

void TForm1::LogPacket(const std::string& datagram) {
  m_app.Form7().LogPacket(datagram);
}

void TForm1::ShowStatusPanel(int panel) {
  QLabel* label = StatusPanel(panel);
  if (label) label->setText(ToDisplay(m_status.Panel(panel)));
}

QLabel* TForm1::StatusPanel(int panel) const {
  return m_statusBar1->Panel(panel == 3 ? StatusLine::kMessagePanel : panel);
}

QAction* TForm1::MenuAction(const QString& name) const {
  return findChild<QAction*>(name, Qt::FindDirectChildrenOnly);
}

void TForm1::SetListColors(const QColor& background, const QColor& text) {
  m_lists->SetColors(background, text);
}

bool TForm1::GridLines() const {
  return m_lists->GridLines();
}

void TForm1::RunCommand(const std::function<void()>& command) {
  RunReported(m_app.Errors(), command);
}

void TForm1::ShowDialog(QDialog& dialog) {
  m_app.Dialogs().Exec(dialog);
}

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
  if (event->type() == QEvent::KeyPress && (watched == ListView1() || watched == ListView1Icons()) &&
      !EditorHasFocus(*static_cast<QWidget*>(watched))) {
    bool taken = false;
    RunCommand([&] { taken = ListView1KeyDown(static_cast<QKeyEvent&>(*event)); });
    if (taken) return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace vantrix
