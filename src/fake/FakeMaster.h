#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/master/MasterAddress.h"

namespace vantrix::fake {

// A master server's page of its list, as the real one pages it.
inline constexpr std::size_t kMasterPageEntries = 231;

// What goes wrong on purpose, for the tests and the demo.
struct MasterFaults {
  int dropPage = -1;      // this page (0-based) is never answered, the first time it is asked
  int garbagePage = -1;   // this page is answered with bytes that are no page
  bool neverEnd = false;  // the list starts again instead of ending
  int repeatPage = -1;    // from this page on, the same page comes again whatever the seed
};

// The simulated master's answers over a fixed list: a page request (0x31, region, seed,
// filter) is answered with the entries after the seed, at most kMasterPageEntries, the
// end marker 0.0.0.0:0 taking the last place of the last page. A seed the list does not
// hold starts it again. Requests that are not page requests get no answer.
class FakeMaster {
 public:
  explicit FakeMaster(std::vector<MasterAddress> list, MasterFaults faults = {},
                      std::size_t pageEntries = kMasterPageEntries);

  std::optional<std::string> Answer(std::string_view request);
  std::size_t PagesAnswered() const { return m_pagesAnswered; }

 private:
  std::vector<MasterAddress> m_list;
  MasterFaults m_faults;
  std::size_t m_pageEntries;
  std::size_t m_pagesAnswered = 0;
  bool m_dropped = false;
  std::optional<std::string> m_repeated;
};

// The seed of a page request, or nullopt when the bytes are not one.
std::optional<std::string> MasterRequestSeed(std::string_view request);

}  // namespace vantrix::fake
