#include "client/CheckHostResolver.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <unordered_set>

#include "net/EIdErrors.h"
#include "net/GetAddrInfoResolver.h"
#include "net/HostLookup.h"

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

CheckHostResolver::Result CheckHostResolver::Resolve(const std::string& host) {
  auto it = m_cache.find(host);
  if (it != m_cache.end()) return it->second;
  Result result = Lookup(host);
  m_cache.emplace(host, result);
  return result;
}

void CheckHostResolver::ResolveAll(const std::vector<std::string>& hosts) {
  std::vector<std::string> distinct;
  std::unordered_set<std::string> seen;
  for (const std::string& host : hosts)
    if (!m_cache.contains(host) && seen.insert(host).second) distinct.push_back(host);
  if (distinct.empty()) return;
  std::vector<Result> found(distinct.size());
  std::atomic<std::size_t> next{0};
  auto work = [&] {
    for (std::size_t i = next++; i < distinct.size(); i = next++) found[i] = Lookup(distinct[i]);
  };
  {
    std::vector<std::jthread> workers;
    const std::size_t count = std::min(kLookupThreads, distinct.size());
    for (std::size_t t = 1; t < count; ++t) workers.emplace_back(work);
    work();
  }  // every worker joined here
  for (std::size_t i = 0; i < distinct.size(); ++i) m_cache.emplace(distinct[i], std::move(found[i]));
}

CheckHostResolver::Result CheckHostResolver::Lookup(const std::string& host) {
  // The window's reading of a host, so that a list reaches the same servers from both: the
  // strict dotted form ("010" is 10), LOCALHOST, else a name; a NUL byte, which would cut
  // the text short inside the system's parsers, is never looked up.
  if (!CanBeHostName(host)) return std::string("cannot resolve host '") + host + "'";
  GetAddrInfoResolver system;
  try {
    return LookUpHost(host, system);
  } catch (const EIdSocketError& error) {
    return std::string("cannot resolve host '") + host + "': " + error.what();
  }
}

}  // namespace vantrix
