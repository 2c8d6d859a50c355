#pragma once

#include <string_view>

namespace vantrix {

// The connectionless header every query datagram starts with.
inline constexpr std::string_view kQueryHeader{"\xFF\xFF\xFF\xFF", 4};

// The info request: the header and "details", 11 bytes, no terminating zero.
inline constexpr std::string_view kInfoRequest{
    "\xFF\xFF\xFF\xFF"
    "details",
    11};

// The original players request: the header and "players", 11 bytes, no terminating zero.
inline constexpr std::string_view kOriginalPlayersRequest{
    "\xFF\xFF\xFF\xFF"
    "players",
    11};

// The original rules request: the header, 'V', "Source Engine Query" and a zero, 25 bytes.
inline constexpr std::string_view kOriginalRulesRequest{
    "\xFF\xFF\xFF\xFF"
    "V"
    "Source Engine Query\0",
    25};

// Byte 4 of an info reply.
inline constexpr char kInfoReplyType = 'm';

}  // namespace vantrix
