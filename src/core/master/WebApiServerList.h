#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/master/MasterAddress.h"

namespace vantrix {

// The HTTPS server list, the way round the master when it is throttled or down; it needs
// the user's own key.
inline constexpr std::string_view kWebApiServerListUrl =
    "https://api.steampowered.com/IGameServersService/GetServerList/v1/";

// The request URL: the key, the filter and the limit, each percent-encoded.
std::string WebApiRequestUrl(std::string_view base, std::string_view key, std::string_view filter,
                             std::size_t limit);

// What a reply's body gives: the servers' "addr" fields in order, each kept once, at most
// `limit`; entries without a usable address are counted in `skipped`. `error` is empty
// when the body is the list the service sends (an empty list included).
struct WebApiServerList {
  std::vector<MasterAddress> addresses;
  std::size_t skipped = 0;
  std::string error;
};
WebApiServerList ReadWebApiServerList(std::string_view body, std::size_t limit);

// The status line's text for a failed HTTP exchange: a status code (0 when there was
// none) and the transport's own text.
std::string WebApiFailureText(int httpStatus, std::string_view transportError);

}  // namespace vantrix
