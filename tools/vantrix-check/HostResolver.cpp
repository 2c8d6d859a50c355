#include "HostResolver.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace vantrix {

namespace {

bool CanBeHostName(const std::string& host) {
  if (host.empty() || host.size() > 253) return false;
  for (char c : host) {
    const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                         c == '.' || c == '-' || c == '_';
    if (!allowed) return false;
  }
  return true;
}

}  // namespace

HostResolver::Result HostResolver::Resolve(const std::string& host) {
  auto it = m_cache.find(host);
  if (it != m_cache.end()) return it->second;
  Result result = Lookup(host);
  m_cache.emplace(host, result);
  return result;
}

HostResolver::Result HostResolver::Lookup(const std::string& host) {
  in_addr numeric{};
  if (inet_pton(AF_INET, host.c_str(), &numeric) == 1) return ntohl(numeric.s_addr);
  if (!CanBeHostName(host)) return std::string("cannot resolve host '") + host + "'";
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* found = nullptr;
  const int status = getaddrinfo(host.c_str(), nullptr, &hints, &found);
  if (status != 0 || found == nullptr) {
    if (found) freeaddrinfo(found);
    return std::string("cannot resolve host '") + host + "': " + gai_strerror(status);
  }
  const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  const std::uint32_t value = ntohl(address->sin_addr.s_addr);
  freeaddrinfo(found);
  return value;
}

}  // namespace vantrix
