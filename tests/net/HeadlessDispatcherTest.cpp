#include "net/HeadlessDispatcher.h"

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace vantrix {
namespace {

using namespace std::chrono_literals;

TEST(HeadlessDispatcher, RunsTasksFromOtherThreadsInOrderOnTheCaller) {
  HeadlessDispatcher dispatcher;
  std::vector<int> order;
  std::vector<std::thread::id> threads;
  std::thread poster([&] {
    for (int i = 0; i < 100; ++i) {
      dispatcher.Post([&, i] {
        order.push_back(i);
        threads.push_back(std::this_thread::get_id());
      });
    }
  });
  poster.join();
  EXPECT_TRUE(order.empty());  // nothing runs until the owner pumps
  EXPECT_EQ(dispatcher.PendingCount(), 100u);
  EXPECT_EQ(dispatcher.RunPending(), 100u);
  ASSERT_EQ(order.size(), 100u);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
  for (const auto& id : threads) EXPECT_EQ(id, std::this_thread::get_id());
  EXPECT_EQ(dispatcher.RunPending(), 0u);
}

TEST(HeadlessDispatcher, TasksPostedWhileRunningWaitForTheNextCall) {
  HeadlessDispatcher dispatcher;
  std::vector<std::string> log;
  dispatcher.Post([&] {
    log.push_back("first");
    dispatcher.Post([&] { log.push_back("posted by first"); });
  });
  dispatcher.Post([&] { log.push_back("second"); });
  EXPECT_EQ(dispatcher.RunPending(), 2u);
  EXPECT_EQ(log, (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(dispatcher.PendingCount(), 1u);
  EXPECT_EQ(dispatcher.RunPending(), 1u);
  EXPECT_EQ(log.back(), "posted by first");
}

TEST(HeadlessDispatcher, NestedPumpingKeepsTheOrder) {
  HeadlessDispatcher dispatcher;
  std::vector<std::string> log;
  dispatcher.Post([&] {
    log.push_back("a");
    dispatcher.RunPending();
    log.push_back("a done");
  });
  dispatcher.Post([&] { log.push_back("b"); });
  dispatcher.Post([&] { log.push_back("c"); });
  dispatcher.RunPending();
  EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "c", "a done"}));
  EXPECT_EQ(dispatcher.PendingCount(), 0u);
}

TEST(HeadlessDispatcher, ThrowingTaskLeavesTheRestQueued) {
  HeadlessDispatcher dispatcher;
  int ran = 0;
  dispatcher.Post([] { throw std::runtime_error("task failed"); });
  dispatcher.Post([&] { ++ran; });
  EXPECT_THROW(dispatcher.RunPending(), std::runtime_error);
  EXPECT_EQ(ran, 0);
  EXPECT_EQ(dispatcher.PendingCount(), 1u);
  EXPECT_EQ(dispatcher.RunPending(), 1u);
  EXPECT_EQ(ran, 1);
}

TEST(HeadlessDispatcher, WaitReturnsEmptyAfterTheTimeout) {
  HeadlessDispatcher dispatcher;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(dispatcher.WaitAndRunPending(30ms), 0u);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 25ms);
}

TEST(HeadlessDispatcher, WaitWakesWhenATaskArrives) {
  HeadlessDispatcher dispatcher;
  bool ran = false;
  std::thread poster([&] {
    std::this_thread::sleep_for(20ms);
    dispatcher.Post([&] { ran = true; });
  });
  const auto start = std::chrono::steady_clock::now();
  std::size_t count = 0;
  // Bounded: a handful of long waits at most.
  for (int pass = 0; pass < 5 && count == 0; ++pass) count = dispatcher.WaitAndRunPending(10s);
  const auto waited = std::chrono::steady_clock::now() - start;
  poster.join();
  EXPECT_EQ(count, 1u);
  EXPECT_TRUE(ran);
  EXPECT_LT(waited, 5s);  // guards against sleeping through the post
}

}  // namespace
}  // namespace vantrix
