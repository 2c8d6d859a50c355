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

// Byte 4 of an info reply.
inline constexpr char kInfoReplyType = 'm';

}  // namespace vantrix
