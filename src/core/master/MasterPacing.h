#pragma once

#include <cstdint>

namespace vantrix {

// How fast the list is asked for. The master answers about 30 requests a minute from one
// address and ignores the rest, so after a short burst the pages come one every two seconds.
struct MasterPacing {
  std::uint32_t timeoutMs = 3000;   // wait for one page
  int retries = 1;                  // further requests for a page that did not come
  int burstRequests = 3;            // the first requests go out as soon as the last page came
  std::uint32_t intervalMs = 2000;  // then at least this long between two requests
};

}  // namespace vantrix
