#include "gui/MasterImportCommand.h"

#include <cstdlib>

#include <QShortcut>
#include <QWidget>

#include "core/master/MasterImportSettings.h"
#include "core/master/MasterRows.h"
#include "core/master/WebApiServerList.h"
#include "gui/Unit8.h"
#include "gui/master/MasterImportJob.h"

namespace vantrix {

MasterImportCommand::MasterImportCommand(QWidget& window, ServerTable& table, DialogExec dialogs,
                                         StatusWriter status, TickClock& clock)
    : m_window(window),
      m_table(table),
      m_dialogs(std::move(dialogs)),
      m_status(std::move(status)),
      m_clock(clock),
      m_settingsPath(MasterImportSettingsPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"))),
      m_webApiBase(kWebApiServerListUrl) {
  m_escape = new QShortcut(QKeySequence(Qt::Key_Escape), &m_window);
  m_escape->setContext(Qt::WindowShortcut);
  m_escape->setEnabled(false);
  connect(m_escape, &QShortcut::activated, this, &MasterImportCommand::Cancel);
}

MasterImportCommand::~MasterImportCommand() = default;

bool MasterImportCommand::Running() const {
  return m_job && m_job->Running();
}

void MasterImportCommand::Run() {
  if (Running()) return;  // one import at a time; the one running shows its progress
  TForm8 dialog(&m_window);
  dialog.SetFields(LoadMasterImportSettings(m_settingsPath));
  if (m_dialogs(dialog) != QDialog::Accepted) return;
  const MasterImportSettings settings = dialog.Fields();
  SaveMasterImportSettings(m_settingsPath, settings);  // a read-only folder only costs the memory

  m_job = std::make_unique<MasterImportJob>(settings, m_clock);
  m_job->SetWebApiBase(m_webApiBase);
  m_job->SetPacing(m_pacing);
  connect(m_job.get(), &MasterImportJob::Progress, this, [this] { m_status(m_job->StatusText()); });
  connect(m_job.get(), &MasterImportJob::Finished, this, &MasterImportCommand::Finished);
  m_escape->setEnabled(true);
  m_status("Master server: 0 servers");
  m_job->Start();
}

void MasterImportCommand::Cancel() {
  if (Running()) m_job->Cancel();
}

void MasterImportCommand::Finished() {
  m_escape->setEnabled(false);
  AppendMasterRows(m_table, m_job->Addresses());
  m_status(m_job->StatusText());
  emit Done();
}

}  // namespace vantrix
