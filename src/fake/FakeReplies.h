#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Byte builders for the replies a game server sends, used by the simulated servers
// and by the decoders' tests. Pure functions: no sockets.
namespace vantrix::fake {

inline constexpr std::string_view kPlayersRequest{
    "\xFF\xFF\xFF\xFF"
    "players",
    11};
inline constexpr std::string_view kRulesRequest{
    "\xFF\xFF\xFF\xFF"
    "V"
    "Source Engine Query\0",
    25};
// First four bytes of each part of a reply split over several datagrams.
inline constexpr std::string_view kSplitHeader{"\xFE\xFF\xFF\xFF", 4};
inline constexpr std::size_t kSplitHeaderSize = 9;  // header, request number, packet byte
inline constexpr int kMaxSplitParts = 15;

struct InfoFields {
  std::string address;  // the server's own address text
  std::string name;
  std::string map;
  std::string gameDirectory = "vantrix";
  std::string description = "Vantrix Test";
  std::uint8_t players = 0;
  std::uint8_t maxPlayers = 0;
  std::uint8_t protocol = 47;
  std::uint8_t type = 'd';  // 'd', 'l', 'p'
  std::uint8_t os = 'l';    // 'l', 'w'
  std::uint8_t password = 0;
  std::uint8_t mod = 0;
  // When set, the reply goes on past the mod flag: the mod block (for a mod flag of 1), the
  // anti-cheat byte and this bots byte.
  std::optional<std::uint8_t> bots;
};

// The fields of an 'I' reply; the extra-data fields are written when their flag is set.
struct CurrentInfoFields {
  std::uint8_t protocol = 17;
  std::string name;
  std::string map;
  std::string folder = "vantrix";
  std::string game = "Vantrix Test";
  std::uint16_t appId = 32343;
  std::uint8_t players = 0;
  std::uint8_t maxPlayers = 0;
  std::uint8_t bots = 0;
  std::uint8_t serverType = 'd';
  std::uint8_t environment = 'l';
  std::uint8_t visibility = 0;
  std::uint8_t secure = 0;
  // Written only for The Ship's app id, 2400, before the version.
  std::uint8_t shipMode = 0;
  std::uint8_t shipWitnesses = 0;
  std::uint8_t shipDuration = 0;
  std::string version = "1.0.0.0";
  bool hasExtraFlags = true;  // false: the reply ends after the version
  std::uint8_t extraFlags = 0;
  std::uint16_t port = 0;
  std::uint64_t identity = 0;
  std::uint16_t spectatorPort = 0;
  std::string spectatorName;
  std::string keywords;
  std::uint64_t gameId = 0;
};

struct Player {
  std::uint8_t index = 0;
  std::string name;
  std::int32_t score = 0;
  float time = 0.0f;
};

struct Rule {
  std::string name;
  std::string value;
};

// FF FF FF FF 'm', five zero-terminated texts, then players, max, protocol, type, OS,
// password and mod bytes.
std::string BuildInfoReply(const InfoFields& fields);

// FF FF FF FF 'D', the count byte, then per player: index, name, 00, int32 LE score,
// float32 LE time. More than 255 players are cut to 255.
std::string BuildPlayersReply(const std::vector<Player>& players);

// FF FF FF FF 'E', a 2-byte LE count, then name 00 value 00 per rule.
std::string BuildRulesReply(const std::vector<Rule>& rules);

// Cuts a reply into `parts` datagrams (2..15, at most one per byte), each prefixed with
// FE FF FF FF, the LE request number and the packet byte (part number in the upper four
// bits, total in the lower four).
std::vector<std::string> SplitReply(std::string_view reply, std::uint32_t requestNumber, int parts);

// FF FF FF FF 'I' and the fields in their order: protocol, name, map, folder, game, 16-bit
// id, players, max, bots, type, environment, visibility, secure, version, then the flag
// byte and the fields it announces (port, identity, spectator port and name, keywords,
// game id).
std::string BuildCurrentInfoReply(const CurrentInfoFields& fields);

// FF FF FF FF 'A' and the challenge, little-endian.
std::string BuildChallengeReply(std::uint32_t challenge);

// Cuts a reply into parts with the newer 12-byte header (FE FF FF FF, LE id, total byte,
// number byte, LE 16-bit part size), each with at most `partSize` bytes of data. When
// compressed, the id gets its top bit and the data is the bzip2 stream of the reply,
// preceded in part 0 by the reply's LE 32-bit size and CRC32. Throws std::invalid_argument
// for a part size of 0 or more than 255 parts.
std::vector<std::string> SplitReplyBySize(std::string_view reply, std::uint32_t requestNumber,
                                          std::size_t partSize, bool compress);

enum class RequestKind {
  kUnknown,
  kInfo,           // FF FF FF FF "details"
  kPlayers,        // FF FF FF FF "players"
  kRules,          // FF FF FF FF 'V' "Source Engine Query" 00 (the window's rules request)
  kSourceInfo,     // FF FF FF FF 'T' "Source Engine Query" 00, optionally a challenge
  kSourcePlayers,  // FF FF FF FF 'U' and a challenge
  kSourceRules,    // FF FF FF FF 'V' and a challenge
  kGetChallenge,   // FF FF FF FF 'W'
};

// Which request a datagram is; trailing bytes after a known request are tolerated.
RequestKind ClassifyRequest(std::string_view datagram);

}  // namespace vantrix::fake
