#include "geo/CountryLookups.h"

#include <memory>
#include <unordered_set>

#include "geo/CountryDatabase.h"

namespace vantrix {

namespace {

// Requests taken per turn of the lookup thread, so answers flow while a long list is asked.
constexpr std::size_t kBatch = 4096;

std::uint16_t PackCode(const std::string& code) {
  return static_cast<std::uint16_t>((static_cast<unsigned char>(code[0]) << 8) |
                                    static_cast<unsigned char>(code[1]));
}

}  // namespace

CountryLookups::CountryLookups(std::string databasePath, std::function<void()> onAnswers)
    : m_onAnswers(std::move(onAnswers)), m_thread([this, path = std::move(databasePath)] { Run(path); }) {}

CountryLookups::~CountryLookups() {
  {
    std::lock_guard lock(m_mutex);
    m_stop = true;
  }
  m_wake.notify_all();
}

const Country* CountryLookups::Find(std::uint32_t ipv4) {
  const auto [it, added] = m_cache.try_emplace(ipv4, kAsked);
  if (added) {
    {
      std::lock_guard lock(m_mutex);
      m_requests.push_back(ipv4);
    }
    m_wake.notify_one();
    return nullptr;
  }
  if (it->second == kAsked || it->second == kNoCountry) return nullptr;
  return &m_countries[it->second];
}

bool CountryLookups::Pending(std::uint32_t ipv4) const {
  const auto it = m_cache.find(ipv4);
  return it != m_cache.end() && it->second == kAsked;
}

CountryLookups::CountryIndex CountryLookups::IndexOf(std::uint16_t code) {
  if (code == 0) return kNoCountry;
  const auto it = m_indexOfCode.find(code);
  return it == m_indexOfCode.end() ? kNoCountry : it->second;
}

bool CountryLookups::TakeAnswers(std::size_t limit) {
  std::vector<Answer> answers;
  std::unordered_map<std::uint16_t, Country> countries;
  {
    std::lock_guard lock(m_mutex);
    if (m_answers.size() <= limit) {
      answers.swap(m_answers);
    } else {
      const auto end = m_answers.begin() + static_cast<std::ptrdiff_t>(limit);
      answers.assign(m_answers.begin(), end);
      m_answers.erase(m_answers.begin(), end);
    }
    countries.swap(m_newCountries);
  }
  for (auto& [code, country] : countries) {
    if (m_indexOfCode.contains(code) || m_countries.size() >= kAsked) continue;
    m_indexOfCode[code] = static_cast<CountryIndex>(m_countries.size());
    m_countries.push_back(std::move(country));
  }
  for (const Answer& answer : answers) m_cache[answer.ipv4] = IndexOf(answer.code);
  return !answers.empty();
}

bool CountryLookups::AnswersWaiting() {
  std::lock_guard lock(m_mutex);
  return !m_answers.empty();
}

bool CountryLookups::WaitForAnswers(std::chrono::milliseconds limit) {
  {
    std::unique_lock lock(m_mutex);
    m_answered.wait_for(lock, limit, [this] { return !m_answers.empty(); });
  }
  return TakeAnswers();
}

void CountryLookups::Run(const std::string& databasePath) {
  // Opened here: mapping a large file is no work for the owner's thread.
  const std::unique_ptr<CountryDatabase> database = CountryDatabase::Open(databasePath);
  std::unordered_set<std::uint16_t> namedCodes;
  std::vector<std::uint32_t> batch;
  std::vector<Answer> answers;
  std::unordered_map<std::uint16_t, Country> countries;
  for (;;) {
    {
      std::unique_lock lock(m_mutex);
      m_wake.wait(lock, [this] { return m_stop || !m_requests.empty(); });
      if (m_stop) return;
      const std::size_t count = std::min(kBatch, m_requests.size());
      batch.assign(m_requests.begin(), m_requests.begin() + static_cast<std::ptrdiff_t>(count));
      m_requests.erase(m_requests.begin(), m_requests.begin() + static_cast<std::ptrdiff_t>(count));
    }
    answers.clear();
    for (const std::uint32_t ipv4 : batch) {
      std::optional<Country> country = database ? database->Lookup(ipv4) : std::nullopt;
      std::uint16_t code = 0;
      if (country) {
        code = PackCode(country->code);
        if (namedCodes.insert(code).second) countries.emplace(code, std::move(*country));
      }
      answers.push_back({ipv4, code});
    }
    bool first = false;
    {
      std::lock_guard lock(m_mutex);
      first = m_answers.empty();
      m_answers.insert(m_answers.end(), answers.begin(), answers.end());
      m_newCountries.merge(countries);
      countries.clear();
    }
    m_answered.notify_all();
    // One call per batch the owner has not taken yet is enough to bring it round.
    if (first && m_onAnswers) m_onAnswers();
  }
}

}  // namespace vantrix
