#include "net/HostLookup.h"

#include <string>

#include "core/util/AsciiCase.h"
#include "net/EIdErrors.h"
#include "net/IPv4Text.h"

namespace vantrix {

namespace {

constexpr std::uint32_t kLoopback = 0x7F000001u;

bool IsLocalhost(std::string_view host) {
  return AsciiEqualIgnoringCase(host, "localhost");
}

[[noreturn]] void ThrowResolveFailure(ResolveStatus status) {
  switch (status) {
    case ResolveStatus::TryAgain:
      throw EIdSocketError(kTryAgainCode, "Non-authoritative host not found.");
    case ResolveStatus::NoRecovery:
      throw EIdSocketError(kNoRecoveryCode, "This is a non-recoverable error.");
    case ResolveStatus::NoData:
      throw EIdSocketError(kNoDataCode, "Valid name, no data record of requested type.");
    case ResolveStatus::Found:
    case ResolveStatus::HostNotFound:
      break;
  }
  throw EIdSocketError(kHostNotFoundCode, "Host not found.");
}

}  // namespace

std::uint32_t LookUpHost(std::string_view host, HostResolver& resolver) {
  // A NUL would cut the name short inside the resolver and look up a different host.
  if (host.empty() || host.find('\0') != std::string_view::npos)
    ThrowResolveFailure(ResolveStatus::HostNotFound);
  if (IsLocalhost(host)) return kLoopback;
  if (const std::optional<std::uint32_t> address = ParseDottedIPv4(host)) return *address;
  const ResolveResult result = resolver.Resolve(std::string(host));
  if (result.status != ResolveStatus::Found) ThrowResolveFailure(result.status);
  return result.address;
}

}  // namespace vantrix
