#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

#include "core/time/WallClock.h"
#include "history/HistorySample.h"
#include "history/HistorySummary.h"

namespace vantrix {

class HistoryDatabase;
class HistoryError;

// The history's writer: the window hands it a batch per refresh, which costs the caller a
// move under a lock; a thread of its own opens the file, writes each batch in one
// transaction, folds and drops old samples every ten minutes and keeps the tooltips.
//
// A file that is not a database is moved aside (CorruptPath) and a new one started; a
// locked file, a full disk or any other failure stops the history. Either way the caller
// gets one "Error: " line, through the handler (on the writer's thread) and TakeError.
class HistoryStore {
 public:
  using ErrorHandler = std::function<void(const std::string& line)>;
  static constexpr std::int64_t kRetainEverySeconds = 600;

  HistoryStore(std::string path, const WallClock& clock, ErrorHandler onError = {},
               HistorySummary::LocalOffsetFn localOffset = SystemLocalOffset);
  ~HistoryStore();
  HistoryStore(const HistoryStore&) = delete;
  HistoryStore& operator=(const HistoryStore&) = delete;

  // Queues a batch for writing; nothing when the history has stopped.
  void Record(std::vector<HistorySample> batch);
  // Waits until every queued batch is written (tests, benchmarks, the end).
  void Flush();

  // The error line not yet taken, once.
  std::optional<std::string> TakeError();
  bool Stopped() const;

  // The Players cell's tooltip, from memory.
  std::optional<std::string> Summary(const std::string& address) const;

 private:
  void Run(std::stop_token stop);
  void Open();
  void Write(const std::vector<HistorySample>& batch);
  void Retain();
  void Fail(const HistoryError& error);
  void Report(std::string line);
  void PublishAll();

  const std::string m_path;
  const WallClock& m_clock;
  ErrorHandler m_onError;
  HistorySummary::LocalOffsetFn m_localOffset;

  mutable std::mutex m_mutex;
  std::condition_variable_any m_wake;
  std::condition_variable m_idle;
  std::vector<std::vector<HistorySample>> m_queue;
  bool m_writing = true;  // the thread opens the file first
  bool m_stopped = false;
  std::optional<std::string> m_error;
  std::unordered_map<std::string, std::string> m_summaries;

  // The writer thread's own.
  std::unique_ptr<HistoryDatabase> m_db;
  HistorySummary m_summary;
  std::int64_t m_nextRetain = 0;

  std::jthread m_thread;  // last: it starts when everything above is ready
};

}  // namespace vantrix
