#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <variant>

namespace vantrix {

// Turns host texts into IPv4 addresses (host byte order), once per distinct host: dotted
// addresses directly, names through the system's resolver. A text that cannot be a host
// name is refused without asking the resolver.
class CheckHostResolver {
 public:
  using Result = std::variant<std::uint32_t, std::string>;  // the address or the error text

  Result Resolve(const std::string& host);

 private:
  static Result Lookup(const std::string& host);
  std::unordered_map<std::string, Result> m_cache;
};

}  // namespace vantrix
