#include "UdpServerSet.h"

#include <arpa/inet.h>
#include <signal.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace vantrix::fake {

namespace {

constexpr std::size_t kReceiveBuffer = 2048;
constexpr int kReadsPerWake = 64;  // per socket, so that one busy server cannot starve the rest
constexpr int kEventsPerWait = 256;
constexpr std::uint64_t kSignalTag = ~std::uint64_t{0};
constexpr std::uint64_t kMasterTag = ~std::uint64_t{0} - 1;

std::uint64_t ClientKey(const sockaddr_in& from) {
  return (static_cast<std::uint64_t>(ntohl(from.sin_addr.s_addr)) << 16) | ntohs(from.sin_port);
}

std::runtime_error SystemError(const std::string& what) {
  return std::runtime_error(what + ": " + std::strerror(errno));
}

// Each server needs a descriptor; the default soft limit (often 1024) is too low for
// a thousand servers.
void EnsureDescriptors(std::size_t needed) {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0) throw SystemError("getrlimit");
  if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur >= needed) return;
  if (limit.rlim_cur == RLIM_INFINITY) return;
  if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < needed)
    throw std::runtime_error("needs " + std::to_string(needed) + " file descriptors, the hard limit is " +
                             std::to_string(limit.rlim_max));
  limit.rlim_cur = needed;
  if (setrlimit(RLIMIT_NOFILE, &limit) != 0) throw SystemError("setrlimit");
}

}  // namespace

UdpServerSet::UdpServerSet(std::vector<ServerProfile> profiles, const FakeServerOptions& options)
    : m_profiles(std::move(profiles)),
      m_options(options),
      m_requestNumbers(m_profiles.size(), 0),
      m_throttle(options.masterThrottleMs) {
  m_style.splitParts = options.splitParts;
  m_style.splitSize = options.splitSize;
  m_style.compress = options.compress;
  m_style.oldSplitHeader = options.oldSplit;
  // The descriptors opened before a failure close with their members.
  Open();
}

UdpServerSet::~UdpServerSet() = default;

void UdpServerSet::Open() {
  EnsureDescriptors(m_profiles.size() + 32);
  m_epoll.Reset(epoll_create1(EPOLL_CLOEXEC));
  if (!m_epoll.Valid()) throw SystemError("epoll_create1");
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  if (sigprocmask(SIG_BLOCK, &stopSignals, nullptr) != 0) throw SystemError("sigprocmask");
  m_signals.Reset(signalfd(-1, &stopSignals, SFD_NONBLOCK | SFD_CLOEXEC));
  if (!m_signals.Valid()) throw SystemError("signalfd");

  for (const ServerProfile& profile : m_profiles) {
    UniqueFd socketFd(socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!socketFd.Valid()) throw SystemError("socket");
    const int fd = socketFd.Get();
    m_sockets.push_back(std::move(socketFd));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    if (inet_pton(AF_INET, profile.host.c_str(), &address.sin_addr) != 1)
      throw std::invalid_argument("not an address: " + profile.host);
    address.sin_port = htons(profile.port);
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
      throw SystemError("bind " + profile.Address());
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u64 = m_sockets.size() - 1;
    if (epoll_ctl(m_epoll.Get(), EPOLL_CTL_ADD, fd, &event) != 0) throw SystemError("epoll_ctl");
  }
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.u64 = kSignalTag;
  if (epoll_ctl(m_epoll.Get(), EPOLL_CTL_ADD, m_signals.Get(), &event) != 0) throw SystemError("epoll_ctl");
  if (m_options.masterPort != 0) OpenMaster();
}

void UdpServerSet::OpenMaster() {
  std::vector<MasterAddress> list;
  list.reserve(m_profiles.size());
  for (const ServerProfile& profile : m_profiles) {
    in_addr host{};
    inet_pton(AF_INET, profile.host.c_str(), &host);  // checked when the servers were bound
    list.push_back({ntohl(host.s_addr), profile.port});
  }
  m_master = std::make_unique<FakeMaster>(std::move(list), m_options.masterFaults);
  m_masterSocket.Reset(socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!m_masterSocket.Valid()) throw SystemError("socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(m_options.masterPort);
  if (bind(m_masterSocket.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
    throw SystemError("bind 127.0.0.1:" + std::to_string(m_options.masterPort));
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.u64 = kMasterTag;
  if (epoll_ctl(m_epoll.Get(), EPOLL_CTL_ADD, m_masterSocket.Get(), &event) != 0)
    throw SystemError("epoll_ctl");
}

void UdpServerSet::ReceiveMaster() {
  char buffer[kReceiveBuffer];
  for (int read = 0; read < kReadsPerWake; ++read) {
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    const ssize_t size = recvfrom(m_masterSocket.Get(), buffer, sizeof buffer, 0,
                                  reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (size < 0) return;
    ++m_requests;
    const auto nowMs = static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count());
    if (!m_throttle.Admit(ClientKey(from), nowMs)) continue;
    const auto page = m_master->Answer(std::string_view(buffer, static_cast<std::size_t>(size)));
    if (!page) continue;
    const ssize_t sent = sendto(m_masterSocket.Get(), page->data(), page->size(), 0,
                                reinterpret_cast<const sockaddr*>(&from), sizeof from);
    if (sent == static_cast<ssize_t>(page->size())) ++m_datagrams;
  }
}

void UdpServerSet::Run(double seconds) {
  std::vector<epoll_event> events(kEventsPerWait);
  const bool endless = seconds <= 0;
  const auto end = Clock::now() + std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
  for (;;) {
    auto now = Clock::now();
    if (!endless && now >= end) return;
    const int ready =
        epoll_wait(m_epoll.Get(), events.data(), kEventsPerWait, PollTimeout(now, end, endless));
    if (ready < 0 && errno != EINTR) throw SystemError("epoll_wait");
    for (int i = 0; i < ready; ++i) {
      if (events[static_cast<std::size_t>(i)].data.u64 == kSignalTag) return;  // SIGINT or SIGTERM
      if (events[static_cast<std::size_t>(i)].data.u64 == kMasterTag) {
        ReceiveMaster();
        continue;
      }
      Receive(static_cast<std::size_t>(events[static_cast<std::size_t>(i)].data.u64));
    }
    SendDue(Clock::now());
  }
}

int UdpServerSet::PollTimeout(Clock::time_point now, Clock::time_point end, bool endless) const {
  auto wait = std::chrono::milliseconds(1000);
  auto until = [&](Clock::time_point at) {
    return std::chrono::ceil<std::chrono::milliseconds>(std::max(at - now, Clock::duration::zero()));
  };
  if (!m_pending.empty()) wait = std::min(wait, until(m_pending.top().due));
  if (!endless) wait = std::min(wait, until(end));
  return static_cast<int>(wait.count());
}

void UdpServerSet::Receive(std::size_t server) {
  char buffer[kReceiveBuffer];
  for (int read = 0; read < kReadsPerWake; ++read) {
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    const ssize_t size = recvfrom(m_sockets[server].Get(), buffer, sizeof buffer, 0,
                                  reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (size < 0) return;  // EAGAIN: drained; other errors: try again at the next wake
    ++m_requests;
    Answer(server, std::string(buffer, static_cast<std::size_t>(size)), from);
  }
}

void UdpServerSet::Answer(std::size_t server, const std::string& request, const sockaddr_in& from) {
  const ServerProfile& profile = m_profiles[server];
  if (profile.behaviour == Behaviour::kSilent) return;
  const std::uint32_t challenge = ChallengeFor(profile, ClientKey(from));
  std::vector<std::string> datagrams;
  try {
    datagrams = AnswerRequest(profile, request, m_style, ++m_requestNumbers[server], challenge);
  } catch (const std::invalid_argument& error) {
    // A reply these options cannot give (more parts than a split header can number): this
    // request goes unanswered and the other servers carry on.
    std::fprintf(stderr, "vantrix-fakeserver: port %u: cannot answer: %s\n",
                 static_cast<unsigned>(profile.port), error.what());
    return;
  }
  if (datagrams.empty()) {
    if (m_options.logRequests) LogRequest(server, request);
    return;
  }
  const std::uint32_t delay = profile.behaviour == Behaviour::kSlow ? m_options.slowMs : m_options.delayMs;
  if (delay == 0) {
    SendNow(server, from, datagrams);
    return;
  }
  m_pending.push({Clock::now() + std::chrono::milliseconds(delay), server, from, std::move(datagrams)});
}

void UdpServerSet::LogRequest(std::size_t server, const std::string& request) const {
  std::string hex;
  for (unsigned char c : request.substr(0, 64)) {
    char byte[4];
    std::snprintf(byte, sizeof byte, "%02X ", c);
    hex += byte;
  }
  std::fprintf(stderr, "vantrix-fakeserver: port %u: unknown request (%zu bytes): %s\n",
               static_cast<unsigned>(m_profiles[server].port), request.size(), hex.c_str());
}

void UdpServerSet::SendNow(std::size_t server, const sockaddr_in& to,
                           const std::vector<std::string>& datagrams) {
  for (const std::string& datagram : datagrams) {
    const ssize_t sent = sendto(m_sockets[server].Get(), datagram.data(), datagram.size(), 0,
                                reinterpret_cast<const sockaddr*>(&to), sizeof to);
    if (sent == static_cast<ssize_t>(datagram.size())) ++m_datagrams;
  }
}

void UdpServerSet::SendDue(Clock::time_point now) {
  while (!m_pending.empty() && m_pending.top().due <= now) {
    const Pending& next = m_pending.top();
    SendNow(next.server, next.to, next.datagrams);
    m_pending.pop();
  }
}

}  // namespace vantrix::fake
