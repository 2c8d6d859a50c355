#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <QMainWindow>

#include "client/TableCheckRun.h"
#include "core/io/WriteLimit.h"
#include "core/lists/FileDialogs.h"
#include "core/table/ServerTable.h"
#include "core/table/StatusLine.h"
#include "gui/widgets/ServerListViews.h"
#include "gui/widgets/StatusPanels.h"

class QAction;
class QDialog;
class QKeyEvent;
class QLabel;
class QListView;
class QMenu;
class QStatusBar;
class QTimer;
class QTreeView;

namespace vantrix {

class RowCheckFacts;
class RowCountries;

class Application;
class ListChangeTracker;
class HistoryWiring;
class CountryFilterSource;
class MasterImportCommand;
class QueryEngine;
class FilterBar;
class ServerTableModel;
class SettingsReader;
class TIdSocketHandle;
class TIdUDPServer;
class UnsavedLists;
struct MenuEntry;
struct QueryWiring;
class TableCheckDriver;
class WatchCommand;

// The main window: the ServerTable in ListView1, the StatusLine in StatusBar1, the menu
// that carries every command, and the program's start and end.
class TForm1 final : public QMainWindow {
  Q_OBJECT

 public:
  explicit TForm1(Application& app);
  ~TForm1() override;

  ServerTable& Table() { return m_table; }
  const ServerTable& Table() const { return m_table; }
  StatusLine& Status() { return m_status; }
  ServerTableModel& Model() const { return *m_model; }
  // Whether the list differs from what was last opened, saved or started with. Cells that
  // an automatic refresh writes go inside a ListChangeTracker::QuietScope on it, so that
  // they alone do not make the list one to keep.
  ListChangeTracker& Changes() const { return *m_changes; }
  // Where a changed list is kept when the program ends, and whose note the start shows.
  // Unset (tests), nothing is kept.
  void KeepUnsavedListsIn(std::filesystem::path folder);

  // Panel 0..3 (3 writes the message panel, like 2).
  void SetStatus(int panel, std::string text) { m_status.SetStatus(panel, std::move(text)); }

  // Set by "Add server..." (false) and "Edit server..." (true) right before the server
  // editor is shown; the editor reads it.
  bool EditMode() const { return m_editMode; }

  // How many bytes "Save file..." and each export may write before the disk counts as
  // full; tests lower it to make the writes fail midway.
  void SetWriteLimit(WriteLimit limit) { m_writeLimit = limit; }

  QTreeView* ListView1() const { return m_lists->Report(); }
  QListView* ListView1Icons() const { return m_lists->Icons(); }
  QStatusBar* StatusBar1() const { return m_statusBar1; }
  QLabel* StatusPanel(int panel) const;
  QTimer* Timer1() const { return m_timer1; }
  QMenu* PopupMenu2() const { return m_popupMenu2; }
  // The filter bar above the list (hidden at first).
  FilterBar* FilterBar1() const { return m_filterBar1; }
  // A menu entry by its component name, e.g. "NewF11" or "Gridlines1"; null if none.
  QAction* MenuAction(const QString& name) const;

  void SetListColors(const QColor& background, const QColor& text);
  bool GridLines() const;
  ListStyle CurrentListStyle() const { return m_lists->Style(); }

  // Pushes BufferSize and Broadcast into the datagram endpoint, then ListColor and TextColor
  // into the list, as the configuration dialog's controls hold them now. A step that fails
  // throws and leaves the later steps undone.
  void ApplySettings();
  // The endpoint's receive buffer size (any value; the endpoint caps its allocation) and
  // its broadcast permission, in that order.
  void ApplyEndpointSettings(std::int32_t bufferSize, bool broadcast);

  // Runs a command under the general error report.
  void RunCommand(const std::function<void()>& command);

  // Ctrl+V (with any other modifiers) pastes the clipboard's text as servers. Returns
  // whether the key was taken; every other key is left to the list.
  bool ListView1KeyDown(QKeyEvent& event);

  // The main window's datagram endpoint, open from creation on an ephemeral port.
  TIdUDPServer& IdUDPServer1() const;
  // "Import from master server...": its dialog, its background import and Esc.
  MasterImportCommand& MasterImport() const { return *m_masterImport; }
  // The info query and the check runs with their state.
  QueryEngine& Engine() const;
  // The parallel check of the whole list.
  TableCheckDriver& AtOnce() const;
  // Watched rows, auto refresh, buddies and their notifications.
  WatchCommand& Watch() const { return *m_watch; }
  // A quiet refresh of the watched rows is running; stopping it leaves the rows as they are.
  bool RefreshRunning() const;
  void StopRefresh();
  // The watched servers' history: recorder, tooltips and the history window.
  HistoryWiring& History() const { return *m_history; }
  // What the checks learned about each row beyond its cells (resolved address, game port).
  RowCheckFacts& CheckFacts() const;
  // Each row's country, for its flag and its address cell's description.
  RowCountries& Countries() const { return *m_countries; }
  // Starts a program with its arguments without waiting for it; false when it cannot start.
  using DetachedStarter =
      std::function<bool(const std::string& program, const std::vector<std::string>& arguments)>;
  // Tests record the join command instead of starting it; an empty starter goes back to the real one.
  void SetDetachedStarter(DetachedStarter starter);

  // The settings as the queries read them, at the moment of use.
  const SettingsReader& LiveSettings() const;
  // Reads the settings from `reader` instead of the configuration dialog (tests); nullptr
  // goes back to the dialog.
  void SetSettingsReader(const SettingsReader* reader);

  // Every datagram that reaches IdUDPServer1, on the main thread.
  void IdUDPServer1UDPRead(TIdUDPServer& sender, std::string_view datagram, const TIdSocketHandle& binding,
                           std::uint32_t arrivalTick);

 signals:
  // The start-up sequence of the first show has run.
  void StartupDone();

 public slots:
  void FormShow();
  void FormClose();

  // File
  void NewF11Click();
  void Openfromfile1Click();
  void Saveto1Click();
  void Saveselectedtoclipboard1Click();
  // Edit
  void AddserverF41Click();
  void EditserverF41Click();
  void DeleteserverF61Click();
  void Clearserverinfo1Click();
  void Clearallserverinfo1Click();
  // View
  void Refresh1Click();
  void Icons1Click();
  void Smallicons1Click();
  void List2Click();
  void Reportdefault1Click();
  void Gridlines1Click();
  void Filterbar1Click();
  void Showreceivedpackets1Click();
  // List
  void Importfromfile1Click();
  void Orbisk20inifile1Click();
  void txtTrelvanox1421Click();
  void Importfrommasterserver1Click();
  void Removeduplicates1Click();
  void Removebadservers1Click();
  void IPName1Click();
  void IPNamePlayers1Click();
  void IPComment1Click();
  void IPNamePlayersComment1Click();
  // Checking
  void Checkserver1Click();
  void CheckallF121Click();
  // "Check all servers at once" (Ctrl+F10): every row in parallel; again, or Esc, stops it.
  void Checkallatonce1Click();
  void Showplayers1Click();
  void Showrules1Click();
  // "Watch server" (Ctrl+D): the selected row's watch mark on or off.
  void Watchserver1Click();
  // "Auto refresh": how often the watched rows are checked.
  void Autorefreshoff1Click();
  void Autorefresh30s1Click();
  void Autorefresh1m1Click();
  void Autorefresh5m1Click();
  void Autorefresh15m1Click();
  void Autorefresh1h1Click();
  // "Server history..." (Ctrl+H): the selected server's players and ping over time.
  void Serverhistory1Click();
  // "Join server" (Ctrl+J): runs the join command for the selected row, detached.
  void Joinserver1Click();
  // "Copy connect link" (Ctrl+Shift+C): the selected row's steam://connect link as text.
  void Copyconnectlink1Click();
  void Timer1Timer();
  // Settings, Help, Exit
  void Settings2Click();
  void Buddies1Click();
  void About1Click();
  void Exit1Click();
  // PopupMenu2
  void Check1Click();
  void Edit2Click();
  void Delete1Click();
  void Watchserver2Click();
  void Joinserver2Click();
  void Copyconnectlink2Click();
  // ListView1
  void ListView1ColumnClick(int column);
  void ListView1SelectItem(int position, bool selected);
  void ListView1DblClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void CreateListViews();
  void CreateFilterBar();
  // Esc's one rule, after an in-place edit took its own: stops "Check all servers at once"
  // or a master import, whichever runs; false when nothing ran.
  bool StopRunningWork();
  void CreateStatusBar();
  void CreateMenus();
  QAction* AddItem(const MenuEntry& entry);
  void ShowStatusPanel(int panel);
  void ShowDialog(QDialog& dialog);
  void CreateQueryEngine();
  void CreateCountries();
  void LogPacket(const std::string& datagram);

  // Start-up steps and the check on double click, filled by the query engine, the
  // configuration and the list-file work.
  void ResetQueryCounters();
  void LoadAndApplySettings();
  void LoadStartupFiles();
  void ShowKeptListNotice();
  void CheckOnDoubleClick();
  // "Exit" and the close box: the query stops, a changed list is kept, the program ends.
  void LeaveProgram();

  void CreateWatch();
  void SetAutoRefresh(int seconds);
  void ShowAutoRefresh();
  TableCheckSetup AtOnceSetup() const;
  // The row whose address is open in the in-place editor.
  bool Editing(RowId row) const;
  // Every row's identity, in display order: the rows a check-all run takes.
  std::vector<RowId> AllRowIds() const;
  // Runs a check of the selected row; when it asked the server, the row's result goes to
  // the history recorder.
  void CheckSelectedAndRecord(const std::function<void()>& check);

  Application& m_app;
  ServerTable m_table;
  StatusLine m_status;
  // Declared after the table so it goes first; the views survive it safely.
  std::unique_ptr<ServerTableModel> m_model;
  // Watches the table in front of the model; gone before it.
  std::unique_ptr<ListChangeTracker> m_changes;
  std::unique_ptr<UnsavedLists> m_unsaved;
  ServerListViews* m_lists = nullptr;
  FilterBar* m_filterBar1 = nullptr;
  StatusPanels* m_statusBar1 = nullptr;
  QTimer* m_timer1 = nullptr;
  QMenu* m_popupMenu2 = nullptr;
  bool m_editMode = false;
  // The file dialogs' filters, each confirmed last in that dialog; Open and Import share one.
  FileDialogState m_openDialog1{&kOpenDialog1};
  FileDialogState m_saveDialog1{&kSaveDialog1};
  FileDialogState m_openDialog2{&kOpenDialog2};
  FileDialogState m_openDialog3{&kOpenDialog3};
  WriteLimit m_writeLimit;
  bool m_shown = false;
  // The info query's parts; the endpoint is closed before any of them goes.
  std::unique_ptr<QueryWiring> m_query;
  // Made after the query's parts (it reads their clock) and gone before them.
  std::unique_ptr<MasterImportCommand> m_masterImport;
  // Gone before the query's parts: its refreshes run on their parallel check.
  std::unique_ptr<WatchCommand> m_watch;
  // Gone first: its writer thread finishes before the table goes.
  std::unique_ptr<HistoryWiring> m_history;
  RowCountries* m_countries = nullptr;                   // a child: its lookup thread ends with the window
  std::unique_ptr<CountryFilterSource> m_countryFilter;  // the filter's "country:" over m_countries
  DetachedStarter m_startDetached;
};

}  // namespace vantrix
