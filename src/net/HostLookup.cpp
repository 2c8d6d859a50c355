#include "net/HostLookup.h"

#include <string>

#include "core/util/AsciiCase.h"
#include "net/IPv4Text.h"

namespace vantrix {

namespace {

constexpr std::uint32_t kLoopback = 0x7F000001u;

}  // namespace

std::optional<std::uint32_t> LiteralHostAddress(std::string_view host) {
  if (AsciiEqualIgnoringCase(host, "localhost")) return kLoopback;
  return ParseDottedIPv4(host);
}

ResolveResult ResolveHost(std::string_view host, HostResolver& resolver) {
  // A NUL would cut the name short inside the resolver and look up a different host.
  if (host.empty() || host.find('\0') != std::string_view::npos) return {ResolveStatus::HostNotFound, 0};
  if (const std::optional<std::uint32_t> address = LiteralHostAddress(host))
    return {ResolveStatus::Found, *address};
  return resolver.Resolve(std::string(host));
}

std::uint32_t LookUpHost(std::string_view host, HostResolver& resolver) {
  const ResolveResult result = ResolveHost(host, resolver);
  if (result.status != ResolveStatus::Found) throw HostLookupError(result.status);
  return result.address;
}

EIdSocketError HostLookupError(ResolveStatus status) {
  switch (status) {
    case ResolveStatus::TryAgain:
      return {kTryAgainCode, "Non-authoritative host not found."};
    case ResolveStatus::NoRecovery:
      return {kNoRecoveryCode, "This is a non-recoverable error."};
    case ResolveStatus::NoData:
      return {kNoDataCode, "Valid name, no data record of requested type."};
    case ResolveStatus::Found:
    case ResolveStatus::HostNotFound:
    case ResolveStatus::NotAHostName:
      break;
  }
  return {kHostNotFoundCode, "Host not found."};
}

}  // namespace vantrix
