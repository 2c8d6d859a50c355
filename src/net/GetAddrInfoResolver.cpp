#include "net/GetAddrInfoResolver.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>
#include <memory>

namespace vantrix {

ResolveStatus StatusOfAddrInfoError(int code) {
  switch (code) {
    case 0:
      return ResolveStatus::Found;
    case EAI_NONAME:
      return ResolveStatus::HostNotFound;
    case EAI_AGAIN:
      return ResolveStatus::TryAgain;
#ifdef EAI_NODATA
    // NOLINTNEXTLINE(bugprone-branch-clone): two system codes that mean the same to the caller
    case EAI_NODATA:
      return ResolveStatus::NoData;
#endif
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY:
      return ResolveStatus::NoData;
#endif
    default:
      return ResolveStatus::NoRecovery;
  }
}

ResolveResult GetAddrInfoResolver::Resolve(const std::string& host) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* list = nullptr;
  const int code = ::getaddrinfo(host.c_str(), nullptr, &hints, &list);
  const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> owner(list, &::freeaddrinfo);
  if (code != 0) return {StatusOfAddrInfoError(code), 0};
  for (const addrinfo* entry = list; entry != nullptr; entry = entry->ai_next) {
    if (entry->ai_family == AF_INET && entry->ai_addr != nullptr &&
        entry->ai_addrlen >= static_cast<socklen_t>(sizeof(sockaddr_in))) {
      sockaddr_in address{};
      std::memcpy(&address, entry->ai_addr, sizeof address);
      return {ResolveStatus::Found, ntohl(address.sin_addr.s_addr)};
    }
  }
  return {ResolveStatus::NoData, 0};
}

}  // namespace vantrix
