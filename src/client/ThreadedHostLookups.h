#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "client/HostLookups.h"

namespace vantrix {

// The host lookups of the window's parallel check and of vantrix-check: names looked up on
// up to kLookupThreads threads of its own, made as the requests come, so that a slow or
// dead name server costs one wait per batch, not one per name. `wake` (may be empty) runs
// on a lookup thread after each answer (the window posts itself a note there); it is never
// called once the object is gone.
//
// The system's resolver cannot be interrupted, and a dead name server holds a lookup for
// seconds: the destructor does not wait for such a lookup. A thread that is inside one is
// left to finish on its own (its state is shared, and its answer is dropped); idle threads
// are joined.
class ThreadedHostLookups final : public HostLookups {
 public:
  using Lookup = std::function<ResolveResult(const std::string& host)>;
  static constexpr std::size_t kLookupThreads = 16;

  explicit ThreadedHostLookups(std::function<void()> wake = {}, Lookup lookup = &SystemLookup);
  ~ThreadedHostLookups() override;
  ThreadedHostLookups(const ThreadedHostLookups&) = delete;
  ThreadedHostLookups& operator=(const ThreadedHostLookups&) = delete;

  void Request(const std::string& host) override;
  std::vector<Answer> TakeDone() override;

  // Looks up every distinct host of the list and waits for all the answers (the command
  // line, which has nothing else to do meanwhile). Answers to earlier requests are dropped.
  std::unordered_map<std::string, ResolveResult> AwaitAll(const std::vector<std::string>& hosts);

  // The window's reading of a host, so that a list reaches the same servers from the window
  // and the command line: ResolveHost over the system's resolver. A text that cannot be a
  // host name is refused (NotAHostName) without asking the resolver.
  static ResolveResult SystemLookup(const std::string& host);

  // What the command line reports for a host without an address.
  static std::string FailureText(const std::string& host, ResolveStatus status);

 private:
  struct State;
  static void Work(const std::shared_ptr<State>& state, std::size_t slot);

  std::shared_ptr<State> m_state;
};

}  // namespace vantrix
