#pragma once

#include <cstdint>
#include <string_view>

namespace vantrix {

// The values the window and vantrix-check start from, in one place.

// The port of an address written without one.
inline constexpr std::uint16_t kDefaultPort = 27015;
inline constexpr std::string_view kDefaultPortText = "27015";
// How long one query waits for its reply.
inline constexpr std::uint32_t kQueryTimeoutMs = 400;
// How many servers a parallel check keeps in flight at once. A silent server holds its place
// for every attempt's time-out (two of them by default), so this sets the pace of a long
// list: 512 places took 1.6 s for the thousand silent servers of 10,000. More places send
// faster than one machine of simulated servers answers, and its queue then shows as ping:
// 1024 keeps loopback pings within a few milliseconds.
inline constexpr int kDefaultMaxParallel = 1024;
// The receive buffer size of a datagram endpoint, in bytes.
inline constexpr std::int32_t kDefaultBufferSize = 8192;
inline constexpr std::string_view kDefaultBufferSizeText = "8192";

// Whether the text is the decimal spelling of the value (checked where both are written).
constexpr bool SpellsNumber(std::string_view text, std::int64_t value) {
  std::int64_t read = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    read = read * 10 + (c - '0');
  }
  return !text.empty() && read == value;
}
static_assert(SpellsNumber(kDefaultPortText, kDefaultPort));
static_assert(SpellsNumber(kDefaultBufferSizeText, kDefaultBufferSize));

}  // namespace vantrix
