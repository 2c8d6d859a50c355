#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vantrix {

// The game port a current-protocol info reply announces in its extra data; nullopt for any
// other datagram and for a reply without it. The window's single check and its parallel
// check both read it here, so the decoder it comes from is named in one place.
std::optional<std::uint16_t> ReplyGamePort(std::string_view datagram);

}  // namespace vantrix
