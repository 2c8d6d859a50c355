#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "net/EIdErrors.h"
#include "net/HostResolver.h"

namespace vantrix {

// Resolver failure codes as the program reports them.
inline constexpr int kHostNotFoundCode = 11001;
inline constexpr int kTryAgainCode = 11002;
inline constexpr int kNoRecoveryCode = 11003;
inline constexpr int kNoDataCode = 11004;

// The address a datagram for `host` goes to: "LOCALHOST" in any letter case is 127.0.0.1,
// a dotted address is taken as it is, anything else asks the resolver. An empty host or one
// holding a NUL byte is never resolved. Throws EIdSocketError when there is no address.
std::uint32_t LookUpHost(std::string_view host, HostResolver& resolver);

// LookUpHost's answer without the throw (a failure is its status), for the lookups that
// run on threads of their own.
ResolveResult ResolveHost(std::string_view host, HostResolver& resolver);

// The part of LookUpHost that needs no resolver (the localhost rule and the dotted form):
// the address, or nullopt when the name has to be asked.
std::optional<std::uint32_t> LiteralHostAddress(std::string_view host);

// The socket error a failed lookup is reported with ("Host not found." and its kin).
EIdSocketError HostLookupError(ResolveStatus status);

}  // namespace vantrix
