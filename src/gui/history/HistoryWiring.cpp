#include "gui/history/HistoryWiring.h"

#include <filesystem>
#include <system_error>

#include <QWidget>

#include "core/table/ServerTable.h"
#include "core/table/StatusLine.h"
#include "gui/history/HistoryWindow.h"
#include "gui/text/DisplayText.h"
#include "gui/text/WindowLook.h"
#include "history/HistoryError.h"
#include "history/HistoryPaths.h"
#include "history/HistoryReport.h"
#include "history/HistoryStore.h"

namespace vantrix {

HistoryWiring::HistoryWiring(const ServerTable& table, StatusLine& status, QWidget& owner)
    : m_table(table),
      m_status(status),
      m_owner(owner),
      m_path(DefaultHistoryPath()),
      m_recorder(table, m_systemClock,
                 [this](std::vector<HistorySample> batch) { Store().Record(std::move(batch)); }) {
  OpenIfThere();
}

HistoryWiring::~HistoryWiring() = default;

void HistoryWiring::UseFile(std::string path, const WallClock& clock) {
  m_store.reset();
  m_path = std::move(path);
  m_clock = &clock;
  m_recorder.SetClock(clock);
  OpenIfThere();
}

void HistoryWiring::OpenIfThere() {
  std::error_code error;
  if (std::filesystem::exists(m_path, error)) Store();
}

HistoryStore& HistoryWiring::Store() {
  if (!m_store) {
    // The writer's thread reports here; the line is shown on the main thread. The store goes
    // before this object, so a line still queued then is dropped with it.
    m_store = std::make_unique<HistoryStore>(m_path, *m_clock, [this](const std::string& line) {
      QMetaObject::invokeMethod(
          this, [this, line] { m_status.SetMessage(line); }, Qt::QueuedConnection);
    });
  }
  return *m_store;
}

std::optional<std::string> HistoryWiring::ToolTip(const std::string& address) const {
  return m_store ? m_store->Summary(address) : std::nullopt;
}

void HistoryWiring::Flush() {
  if (m_store) m_store->Flush();
}

void HistoryWiring::ShowWindow(int position) {
  if (!m_window) {
    m_window = new HistoryWindow(
        [this](const std::string& address, HistorySpan span) -> std::vector<HistoryPoint> {
          try {
            return ReadHistory(m_path, address, span, m_clock->NowSeconds());
          } catch (const HistoryError&) {
            return {};  // the writer tells what is wrong with the file
          }
        },
        [this] { return m_clock->NowSeconds(); }, &m_owner);
  }
  m_window->ShowServer(ToDisplay(m_table.Cell(position, kNameCell)), std::string(m_table.Address(position)));
  ShowInFront(*m_window);
}

}  // namespace vantrix
