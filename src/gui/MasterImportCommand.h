#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include <QObject>

#include "core/master/MasterPacing.h"
#include "core/time/TickClock.h"

class QDialog;
class QShortcut;
class QWidget;

namespace vantrix {

class MasterImportJob;
class ServerTable;

// "Import from master server...": asks for the fields (remembered in the user's own file),
// runs the import in the background, shows its progress in the message panel, and appends
// the servers not yet in the list in one update bracket when it ends. Esc in the main
// window cancels it and keeps what came.
class MasterImportCommand final : public QObject {
  Q_OBJECT

 public:
  using StatusWriter = std::function<void(std::string)>;
  // Shows a modal dialog (the window's current way of showing them) and returns its result.
  using DialogExec = std::function<int(QDialog&)>;

  MasterImportCommand(QWidget& window, ServerTable& table, DialogExec dialogs, StatusWriter status,
                      TickClock& clock);
  ~MasterImportCommand() override;

  void Run();
  void Cancel();
  bool Running() const;

  // Tests: where the fields are remembered, the Web API's address and the UDP pacing.
  void SetSettingsPath(std::filesystem::path path) { m_settingsPath = std::move(path); }
  const std::filesystem::path& SettingsPath() const { return m_settingsPath; }
  void SetWebApiBase(std::string url) { m_webApiBase = std::move(url); }
  void SetPacing(const MasterPacing& pacing) { m_pacing = pacing; }

 signals:
  // The import ended and its rows are in the table.
  void Done();

 private:
  void Finished();

  QWidget& m_window;
  ServerTable& m_table;
  DialogExec m_dialogs;
  StatusWriter m_status;
  TickClock& m_clock;
  std::filesystem::path m_settingsPath;
  std::string m_webApiBase;
  MasterPacing m_pacing;
  std::unique_ptr<MasterImportJob> m_job;
  QShortcut* m_escape = nullptr;
};

}  // namespace vantrix
