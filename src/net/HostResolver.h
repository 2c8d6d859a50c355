#pragma once

#include <cstdint>
#include <string>

namespace vantrix {

// How a name lookup ended; each failure kind maps to its own socket error code.
// NotAHostName: a text that cannot be a host name, refused without asking (the lookups of
// the parallel checks); reported as HostNotFound.
enum class ResolveStatus { Found, HostNotFound, TryAgain, NoRecovery, NoData, NotAHostName };

// The one answer of a host lookup, from the resolver or from the lookups of the checks.
struct ResolveResult {
  ResolveStatus status = ResolveStatus::HostNotFound;
  std::uint32_t address = 0;  // host byte order, valid when Found
};

// Turns a host name into its first IPv4 address. Injected into the endpoint so that tests
// never ask the real name service. Called on the thread that sends, and may block.
class HostResolver {
 public:
  virtual ~HostResolver() = default;
  virtual ResolveResult Resolve(const std::string& host) = 0;
};

}  // namespace vantrix
