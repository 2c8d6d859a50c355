#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrix {

// Where a window sends its request: the host text (a name or dotted address, resolved by
// the endpoint) and the port.
struct RequestTarget {
  std::string host;
  std::uint16_t port = 0;

  bool operator==(const RequestTarget&) const = default;
};

// Splits an address cell at its first ":". No ":" gives nullopt (nothing is sent).
// The port text must be a whole number (ConversionError otherwise) within 0..65535: a
// larger number is refused rather than sent to a wrapped-around port.
std::optional<RequestTarget> SplitRequestAddress(std::string_view address);

}  // namespace vantrix
