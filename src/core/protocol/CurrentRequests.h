#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrix {

// The newer query requests. A challenge is the 4-byte number a server hands out in an 'A'
// reply; it is sent back byte for byte (read and written little-endian, so it round-trips).
inline constexpr std::uint32_t kNoChallenge = 0xFFFFFFFFu;  // asks the server for one

// The text of the newer info request, with its terminating zero.
inline constexpr std::string_view kCurrentInfoText{"Source Engine Query\0", 20};

inline constexpr char kCurrentInfoRequestType = 'T';
inline constexpr char kPlayersRequestType = 'U';
inline constexpr char kRulesRequestType = 'V';
inline constexpr char kGetChallengeRequestType = 'W';

inline constexpr char kCurrentInfoReplyType = 'I';
inline constexpr char kChallengeReplyType = 'A';
inline constexpr char kPlayersReplyType = 'D';
inline constexpr char kRulesReplyType = 'E';

// FF FF FF FF 'T' "Source Engine Query" 00, then the challenge when the server asked for one.
std::string CurrentInfoRequest();
std::string CurrentInfoRequest(std::uint32_t challenge);

// FF FF FF FF 'U' / 'V' and the 4 challenge bytes (kNoChallenge to be handed one).
std::string PlayersRequest(std::uint32_t challenge);
std::string RulesRequest(std::uint32_t challenge);

// The reply type byte (byte 4) of a datagram that starts with FF FF FF FF, else 0.
char ReplyType(std::string_view datagram) noexcept;

// The challenge of an 'A' reply (FF FF FF FF 'A' and 4 bytes, more bytes tolerated).
std::optional<std::uint32_t> DecodeChallengeReply(std::string_view datagram) noexcept;

// The 4 bytes a request carries after its text, or nullopt when it carries fewer.
std::optional<std::uint32_t> RequestChallenge(std::string_view request, std::size_t textSize) noexcept;

}  // namespace vantrix
