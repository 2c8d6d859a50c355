#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fake/FakeReplies.h"

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
  CurrentInfoFields currentInfo;  // the same server as an 'I' reply tells it
  bool infoChallenge = false;     // the newer info request must carry the server's challenge
  bool endlessChallenge = false;  // every newer request gets a new challenge, never an answer
  bool detailsForInfo = false;    // the newer info request gets an 'm' reply
  bool ignoresOriginal = false;   // a server of today: the original string requests go unanswered

  std::string host = "127.0.0.1";  // a loopback address
  std::string Address() const;     // host + ":" + port
};

struct ServerSetup {
  int count = 1;
  std::uint16_t basePort = 28000;
  // Every server's address: more than one address lets a list be longer than the ports of one.
  std::string host = "127.0.0.1";
  int silentCount = 0;    // spread evenly over the servers
  int slowCount = 0;      // spread evenly over the servers that answer
  bool oddNames = false;  // some names in UTF-8, some in Latin-1
  // Spread evenly over the servers that answer, independently of each other:
  int challengeCount = 0;         // info needs the challenge
  int endlessChallengeCount = 0;  // answer only with challenges
  int detailsForInfoCount = 0;    // answer the newer info request with 'm'
  int extraRules = 0;             // rules added to every server's list, for long replies
  // Servers of today: they ignore the original string requests and challenge every newer
  // request, the info request included.
  bool current = false;
};

// How the players and rules replies to the newer requests are sent: in one datagram when
// they fit in splitSize bytes, else split with the newer header (optionally compressed)
// or with the older one-byte header (at most 15 parts, so parts grow past splitSize).
struct AnswerStyle {
  int splitParts = 0;  // the window's rules request: this many parts (0: one datagram)
  std::size_t splitSize = 1248;
  bool compress = false;
  bool oldSplitHeader = false;
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

// The same for every request, the newer ones included. `challenge` is what the server
// expects from this client: a newer players or rules request (and an info request, for a
// server with infoChallenge) that does not carry it is answered with it in an 'A' reply.
std::vector<std::string> AnswerRequest(const ServerProfile& profile, std::string_view request,
                                       const AnswerStyle& style, std::uint32_t requestNumber,
                                       std::uint32_t challenge);

// The challenge a server hands to one client (its address and port in `client`); never
// FF FF FF FF, and different for other servers and clients.
std::uint32_t ChallengeFor(const ServerProfile& profile, std::uint64_t client);

// The servers' list: one address per line / ten lines per server (address, then the
// nine cells: blank " " except the comment, which names the behaviour). CR LF line ends.
std::string PlainListText(const std::vector<ServerProfile>& profiles);
std::string RecordListText(const std::vector<ServerProfile>& profiles);

std::string_view BehaviourName(Behaviour behaviour);

}  // namespace vantrix::fake
