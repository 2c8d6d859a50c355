#pragma once

#include <cstdint>
#include <string_view>

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

}  // namespace vantrix
