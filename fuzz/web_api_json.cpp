// Bodies of the Web API's server list replies.
// Invariants: the reader never reads past the text and gives up at its depth cap instead of
// holding an unbounded path; the list keeps each address once, at most its limit, each one
// that a server can have, and says why when the body is not the list (and then holds none).
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>

#include "common/FuzzCheck.h"
#include "common/FuzzInput.h"
#include "core/master/WebApiServerList.h"

using namespace vantrix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vantrix::fuzz::FuzzInput input(data, size);
  const std::size_t limit = input.Byte();
  const std::string_view body = input.Rest();

  const WebApiServerList list = ReadWebApiServerList(body, limit);
  VANTRIX_FUZZ_CHECK(list.addresses.size() <= limit);
  VANTRIX_FUZZ_CHECK(list.error.empty() || list.error.starts_with("Error: Web API reply "));
  if (!list.error.empty()) VANTRIX_FUZZ_CHECK(list.addresses.empty());
  std::unordered_set<std::uint64_t> seen;
  for (const MasterAddress& address : list.addresses) {
    VANTRIX_FUZZ_CHECK(seen.insert(address.Key()).second);
    VANTRIX_FUZZ_CHECK(address.ip != 0 && address.ip != 0xFFFFFFFFu && address.port != 0);
    VANTRIX_FUZZ_CHECK(ParseMasterAddress(address.Text()) == address);
  }
  return 0;
}
