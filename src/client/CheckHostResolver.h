#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

namespace vantrix {

// Turns host texts into IPv4 addresses (host byte order), once per distinct host: dotted
// addresses directly, names through the system's resolver. A text that cannot be a host
// name is refused without asking the resolver.
class CheckHostResolver {
 public:
  using Result = std::variant<std::uint32_t, std::string>;  // the address or the error text

  Result Resolve(const std::string& host);

  // Looks up every distinct host of the list at once, up to kLookupThreads at a time, so
  // that a slow or dead name server costs one wait per batch, not one per name. Resolve then
  // answers from what was found.
  static constexpr std::size_t kLookupThreads = 16;
  void ResolveAll(const std::vector<std::string>& hosts);

  // One lookup, uncached; blocks while the system's resolver works.
  static Result Lookup(const std::string& host);

 private:
  std::unordered_map<std::string, Result> m_cache;
};

}  // namespace vantrix
