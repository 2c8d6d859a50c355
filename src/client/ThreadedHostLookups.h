#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "client/HostLookups.h"

namespace vantrix {

// Looks host names up on up to CheckHostResolver::kLookupThreads threads of its own, made
// as the requests come. `wake` runs on a lookup thread after each answer (the owner posts
// itself a note there); it is never called once the object is gone.
//
// The system's resolver cannot be interrupted, and a dead name server holds a lookup for
// seconds: the destructor does not wait for such a lookup. A thread that is inside one is
// left to finish on its own (its state is shared, and its answer is dropped); idle threads
// are joined.
class ThreadedHostLookups final : public HostLookups {
 public:
  using Lookup = std::function<Result(const std::string& host)>;

  explicit ThreadedHostLookups(std::function<void()> wake, Lookup lookup = &CheckHostResolver::Lookup);
  ~ThreadedHostLookups() override;
  ThreadedHostLookups(const ThreadedHostLookups&) = delete;
  ThreadedHostLookups& operator=(const ThreadedHostLookups&) = delete;

  void Request(const std::string& host) override;
  std::vector<Answer> TakeDone() override;

 private:
  struct State;
  static void Work(const std::shared_ptr<State>& state, std::size_t slot);

  std::shared_ptr<State> m_state;
};

}  // namespace vantrix
