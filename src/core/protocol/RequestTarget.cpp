#include "core/protocol/RequestTarget.h"

#include "core/util/StrToInt.h"

namespace vantrix {

std::optional<RequestTarget> SplitRequestAddress(std::string_view address) {
  const auto colon = address.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const std::string_view portText = address.substr(colon + 1);
  const std::int32_t port = StrToInt(portText);
  if (port < 0 || port > UINT16_MAX) {
    throw ConversionError("'" + std::string(portText) + "' is not a valid port number");
  }
  return RequestTarget{std::string(address.substr(0, colon)), static_cast<std::uint16_t>(port)};
}

}  // namespace vantrix
