#pragma once

#include <string>
#include <string_view>

namespace vantrix {

// The address cell's tooltip and accessible description: the country text ("Germany (DE)")
// then ", watched" for a watched row, "watched" alone without a country, the country alone
// for a row not watched.
std::string WatchedDescription(std::string_view country, bool watched);

// A notification's body for a service that reads markup: &, < and > as entities.
std::string EscapeNotificationMarkup(std::string_view body);

// One change as the message panel and vantrix-check --watch show it.
std::string WatchEventLine(std::string_view summary, std::string_view body);

}  // namespace vantrix
