#include "history/HistoryStore.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "history/HistoryDatabase.h"
#include "history/HistoryError.h"
#include "history/HistoryPaths.h"

namespace vantrix {

namespace {

constexpr std::int64_t kSummaryFrom = 25 * 3600;  // the tooltips' day, in whole local hours

std::string FileName(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

}  // namespace

HistoryStore::HistoryStore(std::string path, const WallClock& clock, ErrorHandler onError,
                           HistorySummary::LocalOffsetFn localOffset)
    : m_path(std::move(path)),
      m_clock(clock),
      m_onError(std::move(onError)),
      m_localOffset(localOffset),
      m_summary(std::move(localOffset)),
      m_thread([this](std::stop_token stop) { Run(stop); }) {}

HistoryStore::~HistoryStore() {
  m_thread.request_stop();
  m_wake.notify_all();
  m_thread.join();
}

void HistoryStore::Record(std::vector<HistorySample> batch) {
  if (batch.empty()) return;
  {
    std::lock_guard lock(m_mutex);
    if (m_stopped) return;
    m_queue.push_back(std::move(batch));
  }
  m_wake.notify_one();
}

void HistoryStore::Flush() {
  std::unique_lock lock(m_mutex);
  m_idle.wait(lock, [&] { return m_queue.empty() && !m_writing; });
}

std::optional<std::string> HistoryStore::TakeError() {
  std::lock_guard lock(m_mutex);
  return std::exchange(m_error, std::nullopt);
}

bool HistoryStore::Stopped() const {
  std::lock_guard lock(m_mutex);
  return m_stopped;
}

std::optional<std::string> HistoryStore::Summary(const std::string& address) const {
  std::lock_guard lock(m_mutex);
  const auto found = m_summaries.find(address);
  if (found == m_summaries.end()) return std::nullopt;
  return found->second;
}

void HistoryStore::Run(std::stop_token stop) {
  Open();
  while (true) {
    std::vector<std::vector<HistorySample>> batches;
    {
      std::unique_lock lock(m_mutex);
      m_writing = false;
      m_idle.notify_all();
      m_wake.wait(lock, stop, [&] { return !m_queue.empty(); });
      if (m_queue.empty()) return;  // stop asked, nothing left to write
      batches.swap(m_queue);
      m_writing = true;
    }
    for (const auto& batch : batches) Write(batch);
  }
}

void HistoryStore::Open() {
  try {
    std::filesystem::create_directories(std::filesystem::path(m_path).parent_path());
  } catch (const std::filesystem::filesystem_error& error) {
    Fail(HistoryError(HistoryError::Kind::kOther, error.what()));
    return;
  }
  try {
    m_db = std::make_unique<HistoryDatabase>(m_path);
    Retain();
    if (!m_db) return;
    const std::int64_t now = m_clock.NowSeconds();
    m_db->ForEachQuarter(now - kSummaryFrom, [&](const std::string& address, std::int64_t start, int count,
                                                 int answered, std::int64_t sum, int low, int high) {
      m_summary.Add(address, start, count, answered, sum, low, high);
    });
    m_summary.Prune(now);
    PublishAll();
  } catch (const HistoryError& error) {
    Fail(error);
  }
}

void HistoryStore::Write(const std::vector<HistorySample>& batch) {
  if (!m_db) return;
  try {
    m_db->Append(batch);
  } catch (const HistoryError& error) {
    Fail(error);
    return;
  }
  for (const HistorySample& sample : batch)
    m_summary.Add(sample.address, sample.time, 1, sample.answered ? 1 : 0, sample.players, sample.players,
                  sample.players);
  {
    std::lock_guard lock(m_mutex);
    for (const HistorySample& sample : batch) {
      if (auto text = m_summary.Text(sample.address)) m_summaries[sample.address] = std::move(*text);
    }
  }
  if (m_clock.NowSeconds() >= m_nextRetain) Retain();
}

void HistoryStore::Retain() {
  const std::int64_t now = m_clock.NowSeconds();
  m_nextRetain = now + kRetainEverySeconds;
  try {
    m_db->Retain(now);
  } catch (const HistoryError& error) {
    Fail(error);
    return;
  }
  m_summary.Prune(now);
  PublishAll();
}

void HistoryStore::PublishAll() {
  auto texts = m_summary.Texts();
  std::lock_guard lock(m_mutex);
  m_summaries = std::move(texts);
}

void HistoryStore::Fail(const HistoryError& error) {
  m_db.reset();
  if (error.GetKind() == HistoryError::Kind::kCorrupt) {
    const std::int64_t now = m_clock.NowSeconds();
    const std::string aside = CorruptPath(m_path, now + m_localOffset(now));
    std::error_code ignored;
    std::filesystem::rename(m_path, aside, ignored);
    // Its journal belongs to it; a new file must not pick it up.
    for (const char* suffix : {"-wal", "-shm"})
      std::filesystem::rename(m_path + suffix, aside + suffix, ignored);
    try {
      m_db = std::make_unique<HistoryDatabase>(m_path);
      m_summary = HistorySummary(m_localOffset);
      PublishAll();
      Report("Error: The history file was damaged; it was moved aside as " + FileName(aside) +
             " and a new one started");
      return;
    } catch (const HistoryError& again) {
      m_db.reset();
      Report("Error: History stopped: " + std::string(again.what()));
    }
  } else if (error.GetKind() == HistoryError::Kind::kLocked) {
    Report("Error: History stopped: " + m_path + " is locked by another program");
  } else if (error.GetKind() == HistoryError::Kind::kFull) {
    Report("Error: History stopped: the disk of " + m_path + " is full");
  } else {
    Report("Error: History stopped: " + std::string(error.what()));
  }
  std::lock_guard lock(m_mutex);
  m_stopped = true;
  m_queue.clear();
}

void HistoryStore::Report(std::string line) {
  {
    std::lock_guard lock(m_mutex);
    m_error = line;
  }
  if (m_onError) m_onError(line);
}

}  // namespace vantrix
