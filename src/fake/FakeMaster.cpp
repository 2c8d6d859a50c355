#include "fake/FakeMaster.h"

#include <algorithm>

#include "core/master/MasterPage.h"
#include "core/master/MasterRequest.h"

namespace vantrix::fake {

std::optional<std::string> MasterRequestSeed(std::string_view request) {
  if (request.size() < 2 || request[0] != '\x31') return std::nullopt;
  const std::string_view rest = request.substr(2);
  const std::size_t seedEnd = rest.find('\0');
  if (seedEnd == std::string_view::npos) return std::nullopt;
  if (rest.find('\0', seedEnd + 1) == std::string_view::npos) return std::nullopt;  // filter unended
  return std::string(rest.substr(0, seedEnd));
}

FakeMaster::FakeMaster(std::vector<MasterAddress> list, MasterFaults faults, std::size_t pageEntries)
    : m_list(std::move(list)), m_faults(faults), m_pageEntries(std::max<std::size_t>(pageEntries, 2)) {}

std::optional<std::string> FakeMaster::Answer(std::string_view request) {
  const auto seed = MasterRequestSeed(request);
  if (!seed) return std::nullopt;
  std::size_t start = 0;
  if (*seed != kFirstSeed) {
    const auto address = ParseMasterAddress(*seed);
    const auto found = address ? std::find(m_list.begin(), m_list.end(), *address) : m_list.end();
    if (found != m_list.end()) start = static_cast<std::size_t>(found - m_list.begin()) + 1;
  }
  const auto page = static_cast<int>(start / m_pageEntries);
  if (page == m_faults.dropPage && !m_dropped) {
    m_dropped = true;
    return std::nullopt;
  }
  if (m_repeated) return m_repeated;
  ++m_pagesAnswered;
  if (page == m_faults.garbagePage) return std::string("\xFF\xFF\xFF\xFFgarbage", 11);

  std::vector<MasterAddress> entries;
  start = std::min(start, m_list.size());
  const std::size_t remaining = m_list.size() - start;
  // The end marker takes a place of the page; a page filled to the last entry leaves it to
  // a page of its own.
  const bool ended = !m_faults.neverEnd || m_list.empty() ? remaining < m_pageEntries : false;
  const std::size_t take = ended ? remaining : m_pageEntries;
  for (std::size_t i = 0; i < take; ++i) entries.push_back(m_list[(start + i) % m_list.size()]);
  std::string bytes = EncodeMasterPage(entries, ended);
  if (page == m_faults.repeatPage) m_repeated = bytes;
  return bytes;
}

}  // namespace vantrix::fake
