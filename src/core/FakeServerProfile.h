#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/FakeReplies.h"

// The simulated game servers' data: who they are, which of them stay silent or answer
// late, what they answer, and their server list in both list layouts.
namespace vantrix::fake {

enum class Behaviour { kAnswers, kSlow, kSilent };

struct ServerProfile {
  int index = 0;
  std::uint16_t port = 0;
  Behaviour behaviour = Behaviour::kAnswers;
  InfoFields info;
  std::vector<Player> players;
  std::vector<Rule> rules;

  std::string Address() const;  // "127.0.0.1:" + port
};

struct ServerSetup {
  int count = 1;
  std::uint16_t basePort = 28000;
  int silentCount = 0;    // spread evenly over the servers
  int slowCount = 0;      // spread evenly over the servers that answer
  bool oddNames = false;  // some names in UTF-8, some in Latin-1
};

// True for exactly `members` of the indexes 0..count-1, spread evenly.
bool IsSpreadMember(int index, int members, int count);

// Deterministic profiles for the servers base port .. base port + count - 1.
// Throws std::invalid_argument when the ports do not fit below 65536.
std::vector<ServerProfile> MakeProfiles(const ServerSetup& setup);

// The datagrams a server sends for a request (none for an unknown request). The rules
// reply is split into `splitParts` datagrams when that is 2 or more.
std::vector<std::string> AnswerRequest(const ServerProfile& profile, std::string_view request, int splitParts,
                                       std::uint32_t requestNumber);

// The servers' list: one address per line / ten lines per server (address, then the
// nine cells: blank " " except the comment, which names the behaviour). CR LF line ends.
std::string PlainListText(const std::vector<ServerProfile>& profiles);
std::string RecordListText(const std::vector<ServerProfile>& profiles);

std::string_view BehaviourName(Behaviour behaviour);

}  // namespace vantrix::fake
