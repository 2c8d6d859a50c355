#include "gui/watch/WatchCommand.h"

#include <cstdlib>
#include <utility>

#include "client/CheckWatch.h"

namespace vantrix {

WatchCommand::WatchCommand(ServerTable& table, Hooks hooks, QObject* parent)
    : QObject(parent),
      m_table(table),
      m_hooks(std::move(hooks)),
      m_path(WatchSettingsPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"))),
      m_notifier([this](const std::string& line) { m_hooks.message(line); }, this) {
  m_clock.start();
  connect(&m_timer, &QTimer::timeout, this, [this] { Refresh(); });
}

void WatchCommand::Load() {
  m_settings = LoadWatchSettings(m_path);
  m_watched = {m_settings.addresses.begin(), m_settings.addresses.end()};
  m_transitions = {};
  m_transitions.SetBuddies(m_settings.buddies);
  m_timer.stop();
  if (m_settings.autoRefreshSeconds > 0) m_timer.start(m_settings.autoRefreshSeconds * 1000);
  emit MarksChanged();
}

void WatchCommand::Save() {
  // A file that cannot be written keeps the choice for this run only.
  SaveWatchSettings(m_path, m_settings);
}

void WatchCommand::Toggle(const std::string& address) {
  if (m_settings.Toggle(address)) {
    m_watched.insert(address);
  } else {
    m_watched.erase(address);
    m_transitions.Forget(address);
  }
  Save();
  emit MarksChanged();
}

void WatchCommand::SetInterval(int seconds) {
  m_settings.autoRefreshSeconds = seconds;
  Save();
  m_timer.stop();
  if (seconds > 0) m_timer.start(seconds * 1000);
}

void WatchCommand::SetBuddies(std::vector<std::string> buddies) {
  m_settings.buddies = std::move(buddies);
  m_transitions.SetBuddies(m_settings.buddies);
  Save();
}

bool WatchCommand::Refresh() {
  // Skipped, not queued: the next tick comes soon enough.
  if (m_table.Count() == 0 || m_hooks.busy()) return false;
  TableCheckSetup setup = m_hooks.setup();
  setup.quiet = true;
  setup.progress = false;
  if (!m_watched.empty()) {
    for (int position = 0; position < m_table.Count(); ++position)
      if (IsWatched(m_table.Address(position))) setup.rows.push_back(m_table.IdOf(position));
  }
  // Only watched rows tell of buddies; every row is checked when none is watched.
  setup.players = !setup.rows.empty() && !m_settings.buddies.empty();
  setup.holdRow = m_hooks.editing;
  setup.observer = RunObserver();
  m_hooks.start(setup);
  return true;
}

std::function<void(RowId, std::string_view, const CheckResult&)> WatchCommand::RunObserver() {
  return [this](RowId, std::string_view address, const CheckResult& result) { Observed(address, result); };
}

// Every row of a parallel run comes here; only a watched one is copied out of the table.
void WatchCommand::Observed(std::string_view address, const CheckResult& result) {
  if (!IsWatched(address)) return;
  const std::string watched(address);
  if (m_checkObserver) m_checkObserver(watched, result);
  const auto nowMs = static_cast<std::uint64_t>(m_clock.elapsed());
  for (const WatchEvent& event : m_transitions.Observe(watched, WatchObservationOf(result), nowMs))
    m_notifier.Notify(event);
}

}  // namespace vantrix
