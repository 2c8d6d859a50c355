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
  return [gate](const std::string& host) -> ResolveResult {
    std::unique_lock lock(gate->mutex);
    ++gate->lookups;
    if (host == "slow.test") {
      ++gate->inside;
      gate->changed.notify_all();
      gate->changed.wait_for(lock, 10s, [&] { return gate->open; });
      --gate->inside;
      return {ResolveStatus::HostNotFound, 0};
    }
    return {ResolveStatus::Found, 0x0A000000u + static_cast<std::uint32_t>(host.size())};
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
    std::sort(answers.begin(), answers.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    EXPECT_EQ(answers[0].first, "a.test");
    EXPECT_EQ(answers[0].second.status, ResolveStatus::Found);
    EXPECT_EQ(answers[0].second.address, 0x0A000006u);
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
    EXPECT_EQ(answers[0].second.status, ResolveStatus::HostNotFound);
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

// The command line's use: every distinct host asked once, all answers awaited.
TEST(ThreadedHostLookups, AwaitAllAsksEachHostOnceAndGivesEveryAnswer) {
  auto gate = std::make_shared<Gate>();
  gate->open = true;
  ThreadedHostLookups lookups({}, GatedLookup(gate));
  const auto found = lookups.AwaitAll({"a.test", "bb.test", "a.test", "slow.test"});
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found.at("bb.test").address, 0x0A000007u);
  EXPECT_EQ(found.at("slow.test").status, ResolveStatus::HostNotFound);
  EXPECT_EQ(gate->lookups, 3);
}

// The system lookup's answers that need no name server, and the command line's text for each.
TEST(ThreadedHostLookups, SystemLookupRefusesWhatCannotBeANameAndReadsLiterals) {
  const struct {
    std::string host;
    ResolveResult result;
    const char* text;  // for a failure
  } kCases[] = {
      {"LocalHost", {ResolveStatus::Found, 0x7F000001u}, nullptr},
      {"010.0.0.1", {ResolveStatus::Found, 0x0A000001u}, nullptr},
      {"bad host!", {ResolveStatus::NotAHostName, 0}, "cannot resolve host 'bad host!'"},
      {std::string("localhost\0x", 11), {ResolveStatus::NotAHostName, 0}, nullptr},
      {"", {ResolveStatus::NotAHostName, 0}, nullptr},
  };
  for (const auto& c : kCases) {
    const ResolveResult result = ThreadedHostLookups::SystemLookup(c.host);
    EXPECT_EQ(result.status, c.result.status) << c.host;
    EXPECT_EQ(result.address, c.result.address) << c.host;
    if (c.text) {
      EXPECT_EQ(ThreadedHostLookups::FailureText(c.host, result.status), c.text);
    }
  }
  EXPECT_EQ(ThreadedHostLookups::FailureText("nowhere.test", ResolveStatus::TryAgain),
            "cannot resolve host 'nowhere.test': Socket Error # 11002\r\nNon-authoritative host not found.");
}

}  // namespace
}  // namespace vantrix
