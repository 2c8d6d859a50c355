#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "client/TableCheckRun.h"
#include "core/util/TextHash.h"
#include "core/watch/WatchSettings.h"
#include "core/watch/WatchTransitions.h"
#include "gui/watch/DesktopNotifier.h"

namespace vantrix {

// Watched rows, auto refresh, buddies and the notifications of what changed on watched
// servers. The marks, the interval and the buddies live in watch.ini, which is written only
// when the user changes one of them. A refresh is a quiet parallel check of the watched rows
// (every row when none is watched) through the window's parallel check; every finished check
// of a row, the user's "Check all servers at once" included, comes back through Observed.
class WatchCommand final : public QObject {
  Q_OBJECT

 public:
  // What the window lends: whether another check runs, the parallel check's setup as the
  // settings make it now, how to start a run, whether a row is being edited, and the
  // message panel (for notifications without a service).
  struct Hooks {
    std::function<bool()> busy;
    std::function<TableCheckSetup()> setup;
    std::function<void(const TableCheckSetup&)> start;
    std::function<bool(RowId)> editing;
    std::function<void(const std::string&)> message;
  };
  using CheckObserver = std::function<void(const std::string& address, const CheckResult& result)>;

  WatchCommand(ServerTable& table, Hooks hooks, QObject* parent = nullptr);

  // Where watch.ini is ($XDG_CONFIG_HOME/vantrix/ at first; tests point it elsewhere).
  void SetPath(std::filesystem::path path) { m_path = std::move(path); }
  const std::filesystem::path& Path() const { return m_path; }
  // Reads watch.ini; the defaults when it cannot be read.
  void Load();
  const WatchSettings& Remembered() const { return m_settings; }

  bool IsWatched(std::string_view address) const { return m_watched.contains(address); }
  void Toggle(const std::string& address);
  void SetInterval(int seconds);
  void SetBuddies(std::vector<std::string> buddies);

  // One refresh now, as the timer's tick starts it; false when skipped (another check
  // runs, or the list is empty).
  bool Refresh();

  // The observer for a parallel run's setup: every finished check of a row goes here.
  std::function<void(RowId, std::string_view, const CheckResult&)> RunObserver();
  void Observed(std::string_view address, const CheckResult& result);
  // Told of every finished check of a watched row, before its notifications (the history).
  void SetCheckObserver(CheckObserver observer) { m_checkObserver = std::move(observer); }

  DesktopNotifier& Notifier() { return m_notifier; }
  const QTimer& RefreshTimer() const { return m_timer; }
  const WatchTransitions& Transitions() const { return m_transitions; }

 signals:
  // A row's watch mark changed (the view redraws the marks).
  void MarksChanged();

 private:
  void Save();

  ServerTable& m_table;
  Hooks m_hooks;
  std::filesystem::path m_path;
  WatchSettings m_settings;
  std::unordered_set<std::string, TextHash, std::equal_to<>> m_watched;
  WatchTransitions m_transitions;
  DesktopNotifier m_notifier;
  CheckObserver m_checkObserver;
  QTimer m_timer;
  QElapsedTimer m_clock;
};

}  // namespace vantrix
