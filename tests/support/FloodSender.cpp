#include "support/FloodSender.h"

#include <algorithm>
#include <deque>
#include <random>
#include <string_view>

#include "fake/FakeReplies.h"
#include "support/FloodSocketState.h"

namespace vantrix::test {

namespace {

constexpr std::string_view kFloodNamePrefix = "flood server ";
constexpr auto kPacingPause = std::chrono::microseconds(100);

using Clock = std::chrono::steady_clock;

std::string OriginalInfoReply(std::mt19937& random, long number) {
  fake::InfoFields fields;
  fields.address = "127.0.0.1:1";
  fields.name = std::string(kFloodNamePrefix) + std::to_string(number);
  fields.map = "map" + std::to_string(random() % 50);
  fields.players = static_cast<std::uint8_t>(random() % 33);
  fields.maxPlayers = 32;
  fields.type = "dlp"[random() % 3];
  fields.os = "lw"[random() % 2];
  fields.password = static_cast<std::uint8_t>(random() % 2);
  return fake::BuildInfoReply(fields);
}

// Random bytes, an info reply cut anywhere, or a bare header with nothing after it.
std::string Garbage(std::mt19937& random, long number) {
  switch (random() % 3) {
    case 0: {
      std::string bytes(1 + random() % 1400, '\0');
      for (char& byte : bytes) byte = static_cast<char>(random());
      return bytes;
    }
    case 1: {
      std::string reply = OriginalInfoReply(random, number);
      reply.resize(5 + random() % (reply.size() - 5));
      return reply;
    }
    default:
      return std::string("\xFF\xFF\xFF\xFF", 4) + static_cast<char>("mDE\x01"[random() % 4]);
  }
}

// The parts of the next rules reply in the order they go out; `complete` tells whether
// every part is among them.
std::deque<std::string> RulesSet(std::mt19937& random, std::uint32_t requestNumber, bool& complete) {
  std::vector<fake::Rule> rules;
  for (int i = 0; i < FloodSender::kRulesPerReply; ++i)
    rules.push_back({"rule" + std::to_string(i), std::to_string(requestNumber) + "." + std::to_string(i)});
  std::vector<std::string> parts =
      fake::SplitReply(fake::BuildRulesReply(rules), requestNumber, FloodSender::kRulesParts);
  std::shuffle(parts.begin(), parts.end(), random);
  complete = true;
  const unsigned twist = random() % 10;
  if (twist == 0) {
    parts.erase(parts.begin() + static_cast<long>(random() % parts.size()));  // one part lost
    complete = false;
  } else if (twist == 1) {
    parts.push_back(parts[random() % parts.size()]);  // one part twice, after all the others
  }
  return {parts.begin(), parts.end()};
}

// Holds a sender back (bounded by the deadline) while the endpoint has no room by the
// plan's measure. Reading the system's socket table costs, so it is read before every
// kPaceEvery-th datagram only: the few sent in between stay far below the queue's size.
class Pacer {
 public:
  static constexpr int kPaceEvery = 4;

  Pacer(const FloodPlan& plan, std::uint16_t port, Clock::time_point deadline)
      : m_limit(plan.queuedBytesLimit), m_port(port), m_deadline(deadline) {}

  void BeforeSend() {
    if (m_limit == 0 || ++m_sends % kPaceEvery != 0) return;
    while (Clock::now() < m_deadline) {
      const auto state = ReadFloodSocketState(m_port);
      if (!state || state->queuedBytes < m_limit) return;
      std::this_thread::sleep_for(kPacingPause);
    }
  }

 private:
  std::size_t m_limit;
  std::uint16_t m_port;
  Clock::time_point m_deadline;
  long m_sends = 0;
};

}  // namespace

FloodSender::FloodSender(int knownSenders, int unknownSenders) {
  for (int i = 0; i < knownSenders; ++i) m_known.push_back(std::make_unique<NetPeer>("127.0.0.1"));
  // Other loopback addresses, so that no unknown sender shares an address with the list.
  for (int i = 0; i < unknownSenders; ++i)
    m_unknown.push_back(std::make_unique<NetPeer>("127.0.0." + std::to_string(2 + i % 200)));
  m_rules = std::make_unique<NetPeer>("127.0.0.1");
}

FloodSender::~FloodSender() {
  if (m_thread.joinable()) m_thread.join();
}

std::vector<std::string> FloodSender::KnownAddresses() const {
  std::vector<std::string> addresses;
  for (const auto& peer : m_known) addresses.push_back(peer->Ip() + ":" + std::to_string(peer->Port()));
  return addresses;
}

bool FloodSender::IsFloodName(const std::string& name) {
  if (kFloodNamePrefix.starts_with(name)) return true;
  return name.starts_with(kFloodNamePrefix) &&
         name.find_first_not_of("0123456789", kFloodNamePrefix.size()) == std::string::npos;
}

void FloodSender::Start(const FloodPlan& plan) {
  m_done = false;
  m_counts = {};
  m_thread = std::thread([this, plan] { Run(plan); });
}

FloodCounts FloodSender::Finish() {
  if (m_thread.joinable()) m_thread.join();
  return m_counts;
}

void FloodSender::Run(FloodPlan plan) {
  std::mt19937 random(plan.seed);
  const Clock::time_point deadline = Clock::now() + plan.timeLimit;
  std::deque<std::string> rulesParts;
  bool rulesComplete = false;
  int rulesSent = 0;
  std::uint32_t requestNumber = plan.seed * 100000u;
  FloodCounts counts;
  Pacer mainPacer(plan, plan.mainPort, deadline);
  Pacer rulesPacer(plan, plan.rulesPort, deadline);

  for (long n = 0; n < plan.datagrams; ++n) {
    if ((n & 63) == 0 && Clock::now() >= deadline) {
      counts.timedOut = true;
      break;
    }
    const unsigned roll = random() % 100;
    if (roll < 9) {  // the rules endpoint
      rulesPacer.BeforeSend();
      if (roll == 0) {
        counts.rulesEmpty += m_rules->SendTo(plan.rulesPort, {}) ? 1 : 0;
        continue;
      }
      if (rulesParts.empty()) {
        rulesParts = RulesSet(random, ++requestNumber, rulesComplete);
        rulesSent = 0;
      }
      const std::string part = std::move(rulesParts.front());
      rulesParts.pop_front();
      if (!m_rules->SendTo(plan.rulesPort, part)) {
        ++counts.refused;
        rulesComplete = false;
        continue;
      }
      ++counts.rulesParts;
      // A duplicate only ever follows the set's own parts: the reply is whole once they are out.
      if (rulesComplete && ++rulesSent == kRulesParts) {
        ++counts.rulesReplies;
        counts.wholeRulesReplies.push_back(requestNumber);
      }
      continue;
    }

    mainPacer.BeforeSend();
    std::string bytes;
    const NetPeer* from = m_unknown[random() % m_unknown.size()].get();
    long* kind = nullptr;
    if (roll < 49) {
      from = m_known[random() % m_known.size()].get();
      bytes = OriginalInfoReply(random, n);
      kind = &counts.knownReplies;
    } else if (roll < 69) {
      bytes = OriginalInfoReply(random, n);
      kind = &counts.unknownReplies;
    } else if (roll < 89) {
      bytes = Garbage(random, n);
      kind = &counts.garbage;
    } else if (roll < 99) {
      kind = &counts.empty;
    } else {
      bytes.assign(plan.oversizeBytes, 'o');
      bytes.replace(0, 5, "\xFF\xFF\xFF\xFFm", 5);
      kind = &counts.oversize;
    }
    if (from->SendTo(plan.mainPort, bytes)) {
      ++*kind;
    } else {
      ++counts.refused;
    }
  }
  m_counts = counts;
  m_done = true;
}

}  // namespace vantrix::test
