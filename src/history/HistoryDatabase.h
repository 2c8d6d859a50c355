#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "history/HistorySample.h"

struct sqlite3;

namespace vantrix {

class SqliteStatement;

// The history file: every sample of the last day at full resolution, then ten-minute
// aggregates up to thirty days. Servers are numbered in a table of their own so that a
// sample costs a few bytes. WAL mode, so the window can read while the writer writes.
// Every failure throws HistoryError.
class HistoryDatabase {
 public:
  // Opens the file, creating it (not its folder) when it is not there. readOnly never
  // creates or changes anything.
  explicit HistoryDatabase(const std::string& path, bool readOnly = false);
  ~HistoryDatabase();
  HistoryDatabase(const HistoryDatabase&) = delete;
  HistoryDatabase& operator=(const HistoryDatabase&) = delete;

  // The batch in one transaction. A second sample of a server in the same second replaces
  // the first.
  void Append(const std::vector<HistorySample>& batch);

  // Folds the samples older than a day into ten-minute aggregates (whole ten minutes only,
  // so that each aggregate is made once) and drops aggregates older than thirty days.
  void Retain(std::int64_t now);

  // The points of a span that ends now: samples for a day, aggregates (the last day's
  // samples folded on the fly) for a week or a month. Oldest first.
  std::vector<HistoryPoint> Points(std::string_view address, HistorySpan span, std::int64_t now);

  // Answered checks of every server since `from`, in quarter hours (a time zone's offset is
  // a whole number of them): address, quarter start, answered count, players sum, min, max.
  using QuarterFn =
      std::function<void(const std::string& address, std::int64_t start, int count, int answered,
                         std::int64_t playersSum, int playersMin, int playersMax)>;
  void ForEachQuarter(std::int64_t from, const QuarterFn& visit);

  std::int64_t SampleCount();
  std::int64_t AggregateCount();

 private:
  void Execute(std::string_view sql);
  std::int64_t ServerId(const std::string& address);
  std::int64_t Count(std::string_view sql);

  sqlite3* m_db = nullptr;
  std::unordered_map<std::string, std::int64_t> m_serverIds;
  std::unique_ptr<SqliteStatement> m_insertSample;
  std::unique_ptr<SqliteStatement> m_findServer;
  std::unique_ptr<SqliteStatement> m_insertServer;
};

}  // namespace vantrix
