#include "history/HistoryDatabase.h"

#include <sqlite3.h>

#include <cmath>

#include "history/HistoryError.h"
#include "history/SqliteStatement.h"

namespace vantrix {

namespace {

// Unanswered checks keep NULL players, maximum and ping: they cost nothing on disk.
// Samples are in time order, so a refresh appends its rows to a few pages at the end
// instead of touching a page per server (a day is read whole anyway); aggregates, made
// once per ten minutes, are kept by server for the week and month views.
constexpr std::string_view kSchema = R"(
CREATE TABLE IF NOT EXISTS servers(id INTEGER PRIMARY KEY, address TEXT NOT NULL UNIQUE);
CREATE TABLE IF NOT EXISTS samples(
  time INTEGER NOT NULL, server INTEGER NOT NULL, answered INTEGER NOT NULL,
  players INTEGER, max INTEGER, bots INTEGER, ping INTEGER,
  PRIMARY KEY(time, server)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS aggregates(
  server INTEGER NOT NULL, bucket INTEGER NOT NULL, count INTEGER NOT NULL, answered INTEGER NOT NULL,
  players_min INTEGER, players_mean10 INTEGER, players_max INTEGER, max INTEGER, bots INTEGER,
  ping_min INTEGER, ping_mean INTEGER, ping_max INTEGER,
  PRIMARY KEY(server, bucket)) WITHOUT ROWID;
)";

// Ten-minute groups of samples: bucket, count, answered, players min/mean*10/max, max,
// bots, ping min/mean/max. Means are kept in tenths of a player and whole milliseconds.
#define VANTRIX_FOLD_COLUMNS                                                                       \
  "time / 600, count(*), sum(answered), min(players), CAST(round(avg(players) * 10) AS INTEGER), " \
  "max(players), max(max), max(bots), min(ping), CAST(round(avg(ping)) AS INTEGER), max(ping)"

// The same bucket folded twice (a clock set back) merges instead of failing.
constexpr std::string_view kFold =
    "INSERT INTO aggregates SELECT server, " VANTRIX_FOLD_COLUMNS
    " FROM samples WHERE time < ?1 GROUP BY server, time / 600 "
    "ON CONFLICT(server, bucket) DO UPDATE SET "
    "players_mean10 = CASE WHEN answered + excluded.answered > 0 THEN "
    "(coalesce(players_mean10, 0) * answered + coalesce(excluded.players_mean10, 0) * excluded.answered) / "
    "(answered + excluded.answered) END, "
    "ping_mean = CASE WHEN answered + excluded.answered > 0 THEN "
    "(coalesce(ping_mean, 0) * answered + coalesce(excluded.ping_mean, 0) * excluded.answered) / "
    "(answered + excluded.answered) END, "
    "players_min = min(coalesce(players_min, excluded.players_min), coalesce(excluded.players_min, "
    "players_min)), "
    "players_max = max(coalesce(players_max, excluded.players_max), coalesce(excluded.players_max, "
    "players_max)), "
    "max = max(coalesce(max, excluded.max), coalesce(excluded.max, max)), "
    "bots = max(coalesce(bots, excluded.bots), coalesce(excluded.bots, bots)), "
    "ping_min = min(coalesce(ping_min, excluded.ping_min), coalesce(excluded.ping_min, ping_min)), "
    "ping_max = max(coalesce(ping_max, excluded.ping_max), coalesce(excluded.ping_max, ping_max)), "
    "count = count + excluded.count, answered = answered + excluded.answered";

constexpr std::string_view kDayPoints =
    "SELECT time, answered, players, max, bots, ping FROM samples "
    "WHERE server = (SELECT id FROM servers WHERE address = ?1) AND time >= ?2 ORDER BY time";

constexpr std::string_view kBucketPoints =
    "SELECT bucket, count, answered, players_min, players_mean10, players_max, max, bots, "
    "ping_min, ping_mean, ping_max FROM aggregates "
    "WHERE server = (SELECT id FROM servers WHERE address = ?1) AND bucket >= ?2 "
    "UNION ALL SELECT " VANTRIX_FOLD_COLUMNS
    " FROM samples WHERE server = (SELECT id FROM servers WHERE address = ?1) AND time >= ?2 * 600 "
    "GROUP BY time / 600 ORDER BY 1";

#undef VANTRIX_FOLD_COLUMNS

}  // namespace

HistoryDatabase::HistoryDatabase(const std::string& path, bool readOnly) {
  const int flags = SQLITE_OPEN_READWRITE | (readOnly ? 0 : SQLITE_OPEN_CREATE) | SQLITE_OPEN_NOMUTEX;
  const int code = sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr);
  if (code != SQLITE_OK) {
    sqlite3_close(m_db);  // a handle comes back even when opening fails
    m_db = nullptr;
    ThrowSqliteError(nullptr, code, "Cannot open " + path);
  }
  try {
    // A busy writer in another program: wait a moment, then count the file as locked.
    sqlite3_busy_timeout(m_db, 2000);
    if (readOnly) {
      Execute("PRAGMA query_only = ON");
      Count("SELECT count(*) FROM sqlite_schema");  // not a database: fails here
      return;
    }
    Execute("PRAGMA journal_mode = WAL");
    Execute("PRAGMA synchronous = NORMAL");
    Execute(kSchema);
    m_insertSample = std::make_unique<SqliteStatement>(
        m_db, "INSERT OR REPLACE INTO samples VALUES (?2, ?1, ?3, ?4, ?5, ?6, ?7)");
    m_findServer = std::make_unique<SqliteStatement>(m_db, "SELECT id FROM servers WHERE address = ?1");
    m_insertServer = std::make_unique<SqliteStatement>(m_db, "INSERT INTO servers(address) VALUES (?1)");
  } catch (...) {
    m_insertSample.reset();
    m_findServer.reset();
    m_insertServer.reset();
    sqlite3_close(m_db);
    throw;
  }
}

HistoryDatabase::~HistoryDatabase() {
  m_insertSample.reset();
  m_findServer.reset();
  m_insertServer.reset();
  sqlite3_close(m_db);
}

void HistoryDatabase::Execute(std::string_view sql) {
  const std::string text(sql);
  const int code = sqlite3_exec(m_db, text.c_str(), nullptr, nullptr, nullptr);
  if (code != SQLITE_OK) ThrowSqliteError(m_db, code, "History");
}

std::int64_t HistoryDatabase::Count(std::string_view sql) {
  SqliteStatement statement(m_db, sql);
  return statement.Step() ? statement.Int(0) : 0;
}

std::int64_t HistoryDatabase::ServerId(const std::string& address) {
  if (const auto found = m_serverIds.find(address); found != m_serverIds.end()) return found->second;
  m_findServer->Bind(1, address);
  std::int64_t id = 0;
  if (m_findServer->Step()) {
    id = m_findServer->Int(0);
    m_findServer->Reset();
  } else {
    m_findServer->Reset();
    m_insertServer->Bind(1, address);
    m_insertServer->Run();
    id = sqlite3_last_insert_rowid(m_db);
  }
  m_serverIds.emplace(address, id);
  return id;
}

void HistoryDatabase::Append(const std::vector<HistorySample>& batch) {
  if (batch.empty()) return;
  Execute("BEGIN IMMEDIATE");
  try {
    for (const HistorySample& sample : batch) {
      const auto known = [&](std::int64_t value) {
        return sample.answered ? std::optional<std::int64_t>(value) : std::nullopt;
      };
      m_insertSample->Bind(1, ServerId(sample.address));
      m_insertSample->Bind(2, sample.time);
      m_insertSample->Bind(3, std::int64_t{sample.answered ? 1 : 0});
      m_insertSample->Bind(4, known(sample.players));
      m_insertSample->Bind(5, known(sample.maxPlayers));
      m_insertSample->Bind(
          6, sample.answered && sample.bots ? std::optional<std::int64_t>(*sample.bots) : std::nullopt);
      m_insertSample->Bind(7, known(sample.ping));
      m_insertSample->Run();
    }
    Execute("COMMIT");
  } catch (...) {
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    // Ids handed out in the rolled-back transaction are gone with it.
    m_serverIds.clear();
    throw;
  }
}

void HistoryDatabase::Retain(std::int64_t now) {
  const std::int64_t foldBefore = (now - kHistoryFullResolutionSeconds) / kHistoryBucketSeconds;
  const std::int64_t dropBefore = (now - kHistoryKeptSeconds) / kHistoryBucketSeconds;
  Execute("BEGIN IMMEDIATE");
  try {
    SqliteStatement fold(m_db, kFold);
    fold.Bind(1, foldBefore * kHistoryBucketSeconds);
    fold.Run();
    SqliteStatement dropSamples(m_db, "DELETE FROM samples WHERE time < ?1");
    dropSamples.Bind(1, foldBefore * kHistoryBucketSeconds);
    dropSamples.Run();
    SqliteStatement dropAggregates(m_db, "DELETE FROM aggregates WHERE bucket < ?1");
    dropAggregates.Bind(1, dropBefore);
    dropAggregates.Run();
    Execute("COMMIT");
  } catch (...) {
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

std::vector<HistoryPoint> HistoryDatabase::Points(std::string_view address, HistorySpan span,
                                                  std::int64_t now) {
  std::vector<HistoryPoint> points;
  const std::int64_t from = now - SpanSeconds(span);
  if (span == HistorySpan::kDay) {
    SqliteStatement query(m_db, kDayPoints);
    query.Bind(1, address);
    query.Bind(2, from);
    while (query.Step()) {
      HistoryPoint& point = points.emplace_back();
      point.time = query.Int(0);
      point.count = 1;
      point.answered = static_cast<int>(query.Int(1));
      point.playersMin = point.playersMax = static_cast<int>(query.Int(2));
      point.playersMean = point.playersMin;
      point.maxPlayers = static_cast<int>(query.Int(3));
      if (const auto bots = query.OptionalInt(4)) point.bots = static_cast<int>(*bots);
      point.pingMin = point.pingMax = static_cast<int>(query.Int(5));
      point.pingMean = point.pingMin;
    }
    return points;
  }
  SqliteStatement query(m_db, kBucketPoints);
  query.Bind(1, address);
  query.Bind(2, (from + kHistoryBucketSeconds - 1) / kHistoryBucketSeconds);
  while (query.Step()) {
    HistoryPoint& point = points.emplace_back();
    point.time = query.Int(0) * kHistoryBucketSeconds;
    point.count = static_cast<int>(query.Int(1));
    point.answered = static_cast<int>(query.Int(2));
    point.playersMin = static_cast<int>(query.Int(3));
    point.playersMean = static_cast<double>(query.Int(4)) / 10.0;
    point.playersMax = static_cast<int>(query.Int(5));
    point.maxPlayers = static_cast<int>(query.Int(6));
    if (const auto bots = query.OptionalInt(7)) point.bots = static_cast<int>(*bots);
    point.pingMin = static_cast<int>(query.Int(8));
    point.pingMean = static_cast<double>(query.Int(9));
    point.pingMax = static_cast<int>(query.Int(10));
  }
  return points;
}

void HistoryDatabase::ForEachQuarter(std::int64_t from, const QuarterFn& visit) {
  SqliteStatement query(
      m_db,
      "SELECT address, time / 900 * 900, count(*), sum(answered), sum(players), min(players), "
      "max(players) FROM samples JOIN servers ON servers.id = samples.server "
      "WHERE time >= ?1 GROUP BY server, time / 900");
  query.Bind(1, from);
  while (query.Step())
    visit(query.Text(0), query.Int(1), static_cast<int>(query.Int(2)), static_cast<int>(query.Int(3)),
          query.Int(4), static_cast<int>(query.Int(5)), static_cast<int>(query.Int(6)));
}

std::int64_t HistoryDatabase::SampleCount() {
  return Count("SELECT count(*) FROM samples");
}

std::int64_t HistoryDatabase::AggregateCount() {
  return Count("SELECT count(*) FROM aggregates");
}

}  // namespace vantrix
