#include "client/ThreadedHostLookups.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

namespace vantrix {
namespace {

using namespace std::chrono_literals;

// A resolver that answers "a.test" with 10.0.0.1 and holds "slow.test" until released.
struct Gate {
  std::mutex mutex;
  std::condition_variable changed;
  bool open = false;
  int inside = 0;
  int lookups = 0;
};

ThreadedHostLookups::Lookup GatedLookup(const std::shared_ptr<Gate>& gate) {
  return [gate](const std::string& host) -> HostLookups::Result {
    std::unique_lock lock(gate->mutex);
    ++gate->lookups;
    if (host == "slow.test") {
      ++gate->inside;
      gate->changed.notify_all();
      gate->changed.wait_for(lock, 10s, [&] { return gate->open; });
      --gate->inside;
      return std::string("cannot resolve host 'slow.test'");
    }
    return std::uint32_t{0x0A000000u + static_cast<std::uint32_t>(host.size())};
  };
}

// Waits (bounded) until the lookups have given `count` answers in all.
std::vector<HostLookups::Answer> Collect(ThreadedHostLookups& lookups, std::size_t count) {
  std::vector<HostLookups::Answer> answers;
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (answers.size() < count && std::chrono::steady_clock::now() < deadline) {
    for (auto& answer : lookups.TakeDone()) answers.push_back(std::move(answer));
    std::this_thread::sleep_for(1ms);
  }
  return answers;
}

TEST(ThreadedHostLookups, AnswersComeBackAndASlowNameHoldsUpNoOther) {
  auto gate = std::make_shared<Gate>();
  std::atomic<int> wakes{0};
  {
    ThreadedHostLookups lookups([&wakes] { ++wakes; }, GatedLookup(gate));
    lookups.Request("slow.test");
    for (const char* host : {"a.test", "bb.test", "ccc.test"}) lookups.Request(host);
    auto answers = Collect(lookups, 3);
    ASSERT_EQ(answers.size(), 3u);
    std::sort(answers.begin(), answers.end());
    EXPECT_EQ(answers[0].first, "a.test");
    EXPECT_EQ(std::get<std::uint32_t>(answers[0].second), 0x0A000006u);
    EXPECT_EQ(answers[2].first, "ccc.test");
    EXPECT_EQ(wakes.load(), 3);
    {
      const std::lock_guard lock(gate->mutex);
      gate->open = true;
    }
    gate->changed.notify_all();
    answers = Collect(lookups, 1);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].first, "slow.test");
    EXPECT_TRUE(std::holds_alternative<std::string>(answers[0].second));
  }
  EXPECT_EQ(gate->lookups, 4);
}

TEST(ThreadedHostLookups, GoingAwayDoesNotWaitForALookupInProgress) {
  auto gate = std::make_shared<Gate>();
  std::atomic<int> wakes{0};
  auto lookups = std::make_unique<ThreadedHostLookups>([&wakes] { ++wakes; }, GatedLookup(gate));
  lookups->Request("slow.test");
  {
    std::unique_lock lock(gate->mutex);
    ASSERT_TRUE(gate->changed.wait_for(lock, 10s, [&] { return gate->inside == 1; }));
  }
  const auto before = std::chrono::steady_clock::now();
  lookups.reset();  // the lookup is still held at the gate
  EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);
  {
    const std::lock_guard lock(gate->mutex);
    gate->open = true;
  }
  gate->changed.notify_all();
  // The left thread finishes on its own and never calls the owner that went away.
  std::unique_lock lock(gate->mutex);
  ASSERT_TRUE(gate->changed.wait_for(lock, 10s, [&] { return gate->inside == 0; }));
  lock.unlock();
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(wakes.load(), 0);
}

}  // namespace
}  // namespace vantrix
