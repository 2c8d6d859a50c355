#include "gui/Unit1.h"

#include <ctime>
#include <stdexcept>

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>

#include "core/join/JoinCommand.h"
#include "core/lists/Exports.h"
#include "core/lists/Imports.h"
#include "core/lists/ListCommands.h"
#include "core/lists/UnsavedLists.h"
#include "core/table/ListChangeTracker.h"
#include "core/table/TableCommands.h"
#include "core/util/QueryDefaults.h"
#include "core/util/Texts.h"
#include "geo/CountryDatabase.h"
#include "gui/Application.h"
#include "gui/MainMenuTable.h"
#include "gui/MasterImportCommand.h"
#include "gui/Unit2.h"
#include "gui/Unit3.h"
#include "gui/Unit4.h"
#include "gui/Unit5.h"
#include "gui/Unit6.h"
#include "gui/Unit7.h"
#include "gui/history/HistoryWiring.h"
#include "gui/model/CountryFilterSource.h"
#include "gui/model/RowCountries.h"
#include "gui/model/ServerTableModel.h"
#include "gui/platform/OuterFrameSize.h"
#include "gui/platform/QueryWiring.h"
#include "gui/platform/SettingsTargets.h"
#include "gui/platform/WindowEndpoint.h"
#include "gui/text/ClipboardBytes.h"
#include "gui/text/DisplayText.h"
#include "gui/text/WindowLook.h"
#include "gui/watch/BuddiesDialog.h"
#include "gui/watch/WatchCommand.h"
#include "gui/widgets/FilterBar.h"
#include "gui/widgets/PasswordDialog.h"
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

// Where the flags are found at run time, one SVG per lower-case country code.
constexpr const char* kFlagDirectory = "/usr/share/iso-flags-svg/country-4x3";

bool StartDetached(const std::string& program, const std::vector<std::string>& arguments) {
  QStringList list;
  for (const std::string& argument : arguments) list.push_back(QString::fromStdString(argument));
  // Never through a shell: each word reaches the program as one argument.
  return QProcess::startDetached(QString::fromStdString(program), list);
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
  m_watch->Load();
  ShowAutoRefresh();
  m_filterBar1->Load();
  LoadStartupFiles();
  m_changes->MarkUnchanged();
  ShowKeptListNotice();
  emit StartupDone();
}

void TForm1::FormClose() {
  LeaveProgram();
}

void TForm1::keyPressEvent(QKeyEvent* event) {
  // Esc anywhere in the window stops the parallel check; an editor or a menu that takes
  // Esc for itself keeps it.
  if (event->key() == Qt::Key_Escape && StopRunningWork()) return;
  QMainWindow::keyPressEvent(event);
}

bool TForm1::StopRunningWork() {
  if (m_query->atOnce.Running()) {
    m_query->atOnce.Stop();
    return true;
  }
  if (m_masterImport->Running()) {
    m_masterImport->Cancel();
    return true;
  }
  return false;
}

// ---- File ----------------------------------------------------------------------------

void TForm1::NewF11Click() {
  NewList(m_table);
}

void TForm1::Openfromfile1Click() {
  // The one yield lets "Processing file" repaint before a long read.
  if (OpenListCommand(m_table, m_status, m_app.Files(), m_openDialog1,
                      [] { QCoreApplication::processEvents(); }))
    m_changes->MarkUnchanged();
}

void TForm1::Saveto1Click() {
  if (SaveListCommand(m_table, m_status, m_app.Files(), m_saveDialog1, m_writeLimit))
    m_changes->MarkUnchanged();
}

void TForm1::Saveselectedtoclipboard1Click() {
  // The views share one selection model; its current row is the row with the focus.
  const QModelIndex current = ListView1()->selectionModel()->currentIndex();
  const int focusedRow = current.isValid() ? m_model->TablePosition(current.row()) : -1;
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

void TForm1::Filterbar1Click() {
  const QAction* item = MenuAction(QStringLiteral("Filterbar1"));
  m_filterBar1->SetShown(item && item->isChecked());
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
  CheckSelectedAndRecord([this] { m_query->engine.CheckServer(); });
}

void TForm1::CheckallF121Click() {
  // The rows this run (or one nested in it) asked: their send times moved.
  QueryEngine& engine = m_query->engine;
  std::vector<std::pair<RowId, std::uint32_t>> sent;
  for (const RowId row : AllRowIds()) sent.emplace_back(row, engine.SendTime(row));
  engine.CheckAll();
  if (engine.Quitting()) return;
  std::vector<RowId> asked;
  for (const auto& [row, before] : sent)
    if (engine.SendTime(row) != before) asked.push_back(row);
  m_history->Recorder().ChecksFinished(asked);
}

void TForm1::Checkallatonce1Click() {
  // Also stops a refresh: Ctrl+F10 during one ends it, as Esc does.
  if (m_query->atOnce.Running()) {
    m_query->atOnce.Stop();
    return;
  }
  TableCheckSetup setup = AtOnceSetup();
  // The user's check of a watched row counts for its notifications like a refresh.
  setup.observer = m_watch->RunObserver();
  m_query->atOnce.Start(setup);
}

TableCheckSetup TForm1::AtOnceSetup() const {
  const Settings settings = LiveSettings().Snapshot();
  TableCheckSetup setup;
  setup.protocol = settings.queryProtocol;
  setup.defaultPortText = settings.defaultPort;
  setup.progress = settings.progress;
  setup.facts = &m_query->facts;
  return setup;
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

void TForm1::Watchserver1Click() {
  // While the address is edited in place, Ctrl+D belongs to the editor.
  if (EditorHasFocus(*ListView1()) || EditorHasFocus(*ListView1Icons())) return;
  const int selected = m_table.SelectedIndex();
  if (selected < 0 || m_table.Address(selected).empty()) return;
  m_watch->Toggle(std::string(m_table.Address(selected)));
}

void TForm1::Autorefreshoff1Click() {
  SetAutoRefresh(0);
}
void TForm1::Autorefresh30s1Click() {
  SetAutoRefresh(30);
}
void TForm1::Autorefresh1m1Click() {
  SetAutoRefresh(60);
}
void TForm1::Autorefresh5m1Click() {
  SetAutoRefresh(300);
}
void TForm1::Autorefresh15m1Click() {
  SetAutoRefresh(900);
}
void TForm1::Autorefresh1h1Click() {
  SetAutoRefresh(3600);
}

void TForm1::SetAutoRefresh(int seconds) {
  m_watch->SetInterval(seconds);
  ShowAutoRefresh();
}

// The radio item of the interval in force.
void TForm1::ShowAutoRefresh() {
  static constexpr std::pair<int, const char*> kItems[] = {
      {0, "Autorefreshoff1"},  {30, "Autorefresh30s1"},  {60, "Autorefresh1m1"},
      {300, "Autorefresh5m1"}, {900, "Autorefresh15m1"}, {3600, "Autorefresh1h1"}};
  for (const auto& [seconds, name] : kItems) {
    if (seconds != m_watch->Remembered().autoRefreshSeconds) continue;
    if (QAction* item = MenuAction(QString::fromLatin1(name))) item->setChecked(true);
  }
}

bool TForm1::RefreshRunning() const {
  return m_query->atOnce.RefreshRunning();
}

void TForm1::StopRefresh() {
  if (RefreshRunning()) m_query->atOnce.Stop();
}

bool TForm1::Editing(RowId row) const {
  const auto position = m_table.PositionOf(row);
  if (!position) return false;
  const QModelIndex address = m_model->index(*position, 0);
  // An open in-place editor is the address cell's index widget, in either view.
  return ListView1()->indexWidget(address) != nullptr || ListView1Icons()->indexWidget(address) != nullptr;
}

void TForm1::Serverhistory1Click() {
  const int selected = m_table.SelectedIndex();
  if (selected < 0) return;
  m_history->ShowWindow(selected);
}

void TForm1::Joinserver1Click() {
  const int selected = m_table.SelectedIndex();
  if (selected < 0) return;
  const Settings settings = LiveSettings().Snapshot();
  const std::string address(m_table.Address(selected));
  JoinTarget target =
      JoinTargetOf(address, CheckFacts().GamePort(m_table.IdOf(selected), address), settings.defaultPort);
  if (m_table.Cell(selected, kPCell) == "+") {
    PasswordDialog dialog(this);
    if (m_app.Dialogs().Exec(dialog) != QDialog::Accepted) return;
    target.password = dialog.Password();
  }
  const auto words = JoinCommandLine(settings.joinCommand, target);
  const std::vector<std::string> arguments =
      words ? std::vector(words->begin() + 1, words->end()) : std::vector<std::string>();
  if (!words || !m_startDetached(words->front(), arguments))
    m_status.SetMessage(CannotStartMessage(settings.joinCommand));
}

void TForm1::Copyconnectlink1Click() {
  const int selected = m_table.SelectedIndex();
  if (selected < 0) return;
  const std::string address(m_table.Address(selected));
  const JoinTarget target = JoinTargetOf(address, CheckFacts().GamePort(m_table.IdOf(selected), address),
                                         LiveSettings().Snapshot().defaultPort);
  if (!WriteClipboardBytes(QGuiApplication::clipboard(), ConnectLink(target)))
    m_status.SetMessage("Error: Clipboard write failed");
}

void TForm1::Timer1Timer() {
  m_query->engine.Timer1Timer();
}

// ---- Settings, Help, Exit ------------------------------------------------------------

void TForm1::Settings2Click() {
  ShowDialog(m_app.Form5());
}

void TForm1::Buddies1Click() {
  BuddiesDialog dialog(this);
  dialog.SetNames(m_watch->Remembered().buddies);
  if (m_app.Dialogs().Exec(dialog) == QDialog::Accepted) m_watch->SetBuddies(dialog.Names());
}

void TForm1::About1Click() {
  ShowDialog(m_app.Form6());
}

void TForm1::Exit1Click() {
  LeaveProgram();
}

void TForm1::LeaveProgram() {
  // A query waiting inside processEvents returns at once instead of running on.
  m_query->engine.RequestQuit();
  m_query->atOnce.Stop();
  // Nothing is asked: a list that would be lost goes to the state folder, or nowhere when
  // that cannot be written, and the program ends all the same.
  if (m_unsaved && m_changes->Changed()) m_unsaved->Keep(m_table, std::time(nullptr));
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

void TForm1::Watchserver2Click() {
  Watchserver1Click();
}

void TForm1::Joinserver2Click() {
  Joinserver1Click();
}

void TForm1::Copyconnectlink2Click() {
  Copyconnectlink1Click();
}

// ---- ListView1 and IdUDPServer1 ------------------------------------------------------

void TForm1::ListView1ColumnClick(int column) {
  ColumnClick(m_table, column);
  // "Ping" always sorts ascending and leaves the sort state alone.
  const bool ascending = column == kPingCell + 1 || m_table.SortDirection() > 0;
  m_lists->ShowSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
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
  // An answer to the parallel check is its alone, and so is a late copy of one while the run
  // goes on, unless a single check waits (it may be that server's answer); everything else
  // is handled as always.
  const bool lateCopies = !m_query->engine.AwaitingReply();
  if (m_query->atOnce.TakeDatagram(binding.SenderIP(), binding.SenderPort(), datagram, arrivalTick,
                                   lateCopies)) {
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

void TForm1::KeepUnsavedListsIn(std::filesystem::path folder) {
  m_unsaved = std::make_unique<UnsavedLists>(std::move(folder));
}

void TForm1::ShowKeptListNotice() {
  // It stands in for the start-up text only; an error of the start-up loading stays, and the
  // note waits for the next start.
  if (!m_unsaved || m_status.Message() != kLoadedText) return;
  if (auto notice = m_unsaved->TakeNotice()) m_status.SetMessage(std::move(*notice));
}

void TForm1::CheckOnDoubleClick() {
  CheckSelectedAndRecord([this] { m_query->engine.DoubleClick(); });
}

void TForm1::CheckSelectedAndRecord(const std::function<void()>& check) {
  const int selected = m_table.SelectedIndex();
  const RowId row = selected >= 0 ? m_table.IdOf(selected) : kNoRow;
  const std::uint32_t sentBefore = m_query->engine.LastSendTime();
  check();
  // Nothing sent (no selection, Connect off, nested too deep) or the program is ending.
  if (row == kNoRow || m_query->engine.LastSendTime() == sentBefore || m_query->engine.Quitting()) return;
  m_history->Recorder().ChecksFinished({row});
}

std::vector<RowId> TForm1::AllRowIds() const {
  std::vector<RowId> rows;
  rows.reserve(static_cast<std::size_t>(m_table.Count()));
  for (const ServerRow& row : m_table.Rows()) rows.push_back(row.id);
  return rows;
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
  // Cells an auto refresh writes are no change of the user's list.
  m_query->atOnce.SetChangeTracker(m_changes.get());
  m_history = std::make_unique<HistoryWiring>(m_table, m_status, *this);
  m_model->SetPlayersToolTip([this](const std::string& address) { return m_history->ToolTip(address); });
  // Every finished run (Ctrl+F10 or a refresh) records its watched rows' samples.
  m_query->atOnce.SetFinished([this] { m_history->Recorder().ChecksFinished(AllRowIds()); });
  CreateCountries();
  SetDetachedStarter({});
  m_masterImport = std::make_unique<MasterImportCommand>(
      *this, m_table, [this](QDialog& dialog) { return m_app.Dialogs().Exec(dialog); },
      [this](std::string text) { m_status.SetMessage(std::move(text)); }, m_query->clock);
  CreateWatch();
  m_history->Recorder().SetWatched([this](const ServerRow& row) { return m_watch->IsWatched(row.address); });
  // Sizes of the outer frame, centred on the desktop.
  new OuterFrameSize(
      *this, {QSize(kWidth, kStartHeight), QSize(kWidth, kMinimumHeight), QSize(kWidth, QWIDGETSIZE_MAX)});
}

TForm1::~TForm1() {
  // Hidden first, so that going away is not taken for the user closing the window.
  hide();
  m_model->SetPlayersToolTip({});
  m_history.reset();
  m_masterImport.reset();
  // A refresh in progress holds the watch's observer.
  m_query->atOnce.Stop();
  m_watch.reset();
  // The lookup thread ends before the table and the facts it reads go.
  m_model->SetRowCountries(nullptr);
  m_filterBar1->SetCountrySource(nullptr);
  m_countryFilter.reset();
  delete m_countries;
  m_countries = nullptr;
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

void TForm1::CreateWatch() {
  WatchCommand::Hooks hooks;
  hooks.busy = [this] {
    return m_query->atOnce.Running() || m_query->engine.AwaitingReply() || m_query->engine.CheckAllActive();
  };
  hooks.setup = [this] { return AtOnceSetup(); };
  hooks.start = [this](const TableCheckSetup& setup) { m_query->atOnce.Start(setup); };
  hooks.editing = [this](RowId row) { return Editing(row); };
  hooks.message = [this](const std::string& line) { m_status.SetMessage(line); };
  m_watch = std::make_unique<WatchCommand>(m_table, std::move(hooks));
  m_model->SetWatchMarks([this](std::string_view address) { return m_watch->IsWatched(address); });
  connect(m_watch.get(), &WatchCommand::MarksChanged, m_model.get(), &ServerTableModel::WatchMarksChanged);
}

void TForm1::CreateCountries() {
  m_countries = new RowCountries(m_table, m_query->facts, std::string(kDefaultCountryDatabase),
                                 QString::fromLatin1(kFlagDirectory), this);
  m_model->SetRowCountries(m_countries);
  m_countryFilter = std::make_unique<CountryFilterSource>(*m_countries);
  m_filterBar1->SetCountrySource(m_countryFilter.get());
  connect(m_countries, &RowCountries::CountriesArrived, m_filterBar1, &FilterBar::CountriesChanged);
}

void TForm1::CreateListViews() {
  m_model = std::make_unique<ServerTableModel>(m_table);
  m_changes = std::make_unique<ListChangeTracker>(m_table, m_model.get());
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
  CreateFilterBar();
}

void TForm1::CreateFilterBar() {
  m_filterBar1 = new FilterBar(*m_model, this);
  addToolBar(Qt::TopToolBarArea, m_filterBar1);
  // The window's own menu of tool bars would show an empty box: the menu item is the way.
  setContextMenuPolicy(Qt::NoContextMenu);
  connect(m_filterBar1, &FilterBar::ShownChanged, this, [this](bool shown) {
    if (QAction* item = MenuAction(QStringLiteral("Filterbar1"))) item->setChecked(shown);
  });
  connect(m_filterBar1, &FilterBar::EscapePressed, this, [this] {
    if (!StopRunningWork()) m_filterBar1->ClearOrHide();
  });
  // A window shortcut of its own, not a menu item: it shows the bar and never hides it.
  auto* find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
  find->setObjectName(QStringLiteral("FilterShortcut"));
  find->setContext(Qt::WindowShortcut);
  connect(find, &QShortcut::activated, m_filterBar1, &FilterBar::FocusText);
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
  action->setCheckable(entry.kind == MenuEntry::Kind::kCheckItem ||
                       entry.kind == MenuEntry::Kind::kRadioItem);
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

RowCheckFacts& TForm1::CheckFacts() const {
  return m_query->facts;
}

void TForm1::SetDetachedStarter(DetachedStarter starter) {
  m_startDetached = starter ? std::move(starter) : DetachedStarter(StartDetached);
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
