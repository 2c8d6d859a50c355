#pragma once

#include "net/HostResolver.h"

namespace vantrix {

// The system's resolver (getaddrinfo, IPv4 only).
class GetAddrInfoResolver final : public HostResolver {
 public:
  ResolveResult Resolve(const std::string& host) override;
};

// The failure kind of a getaddrinfo error code.
ResolveStatus StatusOfAddrInfoError(int code);

}  // namespace vantrix
