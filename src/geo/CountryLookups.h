#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "geo/Country.h"

namespace vantrix {

// Countries of IPv4 addresses, looked up on a thread of their own and cached per address, so
// the thread that asks never waits for the database. Find answers from the cache at once and
// asks for an address it has not seen; when answers are ready onAnswers runs (on the lookup
// thread, once per batch) and the owner calls TakeAnswers on its own thread to bring them
// into the cache. Without a usable database every address has no country.
//
// Every member but the constructor's callback belongs to the owner's thread.
class CountryLookups {
 public:
  CountryLookups(std::string databasePath, std::function<void()> onAnswers);
  ~CountryLookups();
  CountryLookups(const CountryLookups&) = delete;
  CountryLookups& operator=(const CountryLookups&) = delete;

  // The cached country; nullptr when it has none or is not known yet (then it is asked for).
  const Country* Find(std::uint32_t ipv4);
  // Whether the address has been asked for and its answer has not been taken yet.
  bool Pending(std::uint32_t ipv4) const;

  // Moves at most `limit` of the answers that are ready into the cache, the oldest first;
  // false when there were none. A limit keeps each turn of the owner's thread short.
  bool TakeAnswers(std::size_t limit = SIZE_MAX);
  // Whether answers are ready that TakeAnswers has not taken (it is not called again for them).
  bool AnswersWaiting();
  // Waits at most `limit` until answers are ready, then takes them (tests, benchmarks).
  bool WaitForAnswers(std::chrono::milliseconds limit);

  std::size_t CachedAddresses() const { return m_cache.size(); }

 private:
  // A country is one small number in the cache: an index into m_countries, or one of these.
  using CountryIndex = std::uint16_t;
  static constexpr CountryIndex kNoCountry = 0;
  static constexpr CountryIndex kAsked = 0xFFFF;
  struct Answer {
    std::uint32_t ipv4;
    std::uint16_t code;  // the two letters packed, 0 for none
  };

  void Run(const std::string& databasePath);
  CountryIndex IndexOf(std::uint16_t code);

  std::function<void()> m_onAnswers;
  // Shared with the lookup thread, under m_mutex.
  std::mutex m_mutex;
  std::condition_variable m_wake;
  std::condition_variable m_answered;
  std::deque<std::uint32_t> m_requests;
  std::vector<Answer> m_answers;
  std::unordered_map<std::uint16_t, Country> m_newCountries;  // by packed code, not yet taken
  bool m_stop = false;
  // The owner's thread only.
  std::unordered_map<std::uint32_t, CountryIndex> m_cache;
  std::vector<Country> m_countries{Country{}};  // index 0 stands for none
  std::unordered_map<std::uint16_t, CountryIndex> m_indexOfCode;
  std::jthread m_thread;  // last: it starts once everything above exists
};

}  // namespace vantrix
