#pragma once

#include <memory>
#include <optional>
#include <string>

#include <QObject>

#include "core/time/SystemWallClock.h"
#include "core/time/WallClock.h"
#include "history/HistoryRecorder.h"

class QWidget;

namespace vantrix {

class HistoryStore;
class HistoryWindow;
class ServerTable;
class StatusLine;

// The main window's history: the recorder that the check commands tell about finished
// rows, the store it writes to (made when there is something to write, or at start when
// the file is there, so that the tooltips are ready), the Players cell's tooltip and the
// "Server history..." window. A failure of the file shows its one line in the message panel.
class HistoryWiring final : public QObject {
 public:
  HistoryWiring(const ServerTable& table, StatusLine& status, QWidget& owner);
  ~HistoryWiring() override;
  HistoryWiring(const HistoryWiring&) = delete;
  HistoryWiring& operator=(const HistoryWiring&) = delete;

  // Another file and clock (tests); the store is made anew on demand.
  void UseFile(std::string path, const WallClock& clock);

  HistoryRecorder& Recorder() { return m_recorder; }
  // Opens (or brings forward) the history window for the row at `position`.
  void ShowWindow(int position);
  HistoryWindow* Window() const { return m_window; }
  std::optional<std::string> ToolTip(const std::string& address) const;
  // Waits until what was recorded is written (tests).
  void Flush();

 private:
  HistoryStore& Store();
  void OpenIfThere();

  const ServerTable& m_table;
  StatusLine& m_status;
  QWidget& m_owner;
  std::string m_path;
  SystemWallClock m_systemClock;
  const WallClock* m_clock = &m_systemClock;
  std::unique_ptr<HistoryStore> m_store;
  HistoryRecorder m_recorder;
  HistoryWindow* m_window = nullptr;
};

}  // namespace vantrix
