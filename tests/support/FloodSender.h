#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/NetPeer.h"

namespace vantrix::test {

// Where a flood goes and how hard.
struct FloodPlan {
  std::uint16_t mainPort = 0;   // the main window's endpoint
  std::uint16_t rulesPort = 0;  // the rules window's endpoint
  long datagrams = 200000;      // in all, to both endpoints
  // Bigger than the main endpoint's receive buffer, so the endpoint must drop it.
  std::size_t oversizeBytes = 9000;
  // 0: send as fast as the system takes it. Otherwise the sender waits while this many
  // bytes or more lie unread at the endpoint it sends to (looking before every few
  // datagrams), so that the system has no reason to drop any.
  std::size_t queuedBytesLimit = 0;
  std::chrono::milliseconds timeLimit{60000};
  std::uint32_t seed = 1;
};

// What was sent, by kind.
struct FloodCounts {
  long knownReplies = 0;    // valid info replies from senders that are rows of the list
  long unknownReplies = 0;  // valid info replies from senders that are not
  long garbage = 0;         // random bytes, cut-short info replies, bare headers
  long empty = 0;
  long oversize = 0;
  long rulesParts = 0;                           // split rules parts, duplicates included
  long rulesEmpty = 0;                           // empty datagrams at the rules endpoint
  long rulesReplies = 0;                         // rules replies of which every part was sent
  std::vector<std::uint32_t> wholeRulesReplies;  // their request numbers, in sending order
  long refused = 0;                              // sends the system refused (not sent)
  bool timedOut = false;                         // the time limit ended the flood early

  // Datagrams that fit the main endpoint's buffer: each one it takes is counted.
  long MainCountable() const { return knownReplies + unknownReplies + garbage + empty; }
  long Total() const { return MainCountable() + oversize + rulesParts + rulesEmpty; }
};

// Floods the two endpoints from a thread of its own, from loopback sockets: some senders
// are meant to be rows of the list (KnownAddresses), others are not. Every rules reply has
// kRulesPerReply rules and comes in kRulesParts parts; a few replies lose a part, a few send
// one part twice.
class FloodSender {
 public:
  static constexpr int kRulesPerReply = 4;
  static constexpr int kRulesParts = 3;

  FloodSender(int knownSenders, int unknownSenders);
  ~FloodSender();
  FloodSender(const FloodSender&) = delete;
  FloodSender& operator=(const FloodSender&) = delete;

  // "127.0.0.1:port" of each known sender.
  std::vector<std::string> KnownAddresses() const;
  // A server name of the flood's info replies, whole or as a reply cut short leaves it
  // (any beginning of one, the empty name included).
  static bool IsFloodName(const std::string& name);

  void Start(const FloodPlan& plan);
  bool Done() const { return m_done.load(); }
  // Waits for the thread (it ends by its time limit at the latest) and gives the counts.
  FloodCounts Finish();

 private:
  void Run(FloodPlan plan);

  std::vector<std::unique_ptr<NetPeer>> m_known;
  std::vector<std::unique_ptr<NetPeer>> m_unknown;
  std::unique_ptr<NetPeer> m_rules;
  std::atomic<bool> m_done{false};
  FloodCounts m_counts;
  std::thread m_thread;
};

}  // namespace vantrix::test
