#pragma once

#include <optional>
#include <string_view>

namespace vantrix {

// Which query protocol the window speaks: the original string requests ("details",
// "players") or the current one with its challenges, split and compressed replies.
enum class QueryProtocol { kOriginal, kCurrent };

// The config.ini values, "original" and "current"; nullopt for any other text.
std::optional<QueryProtocol> QueryProtocolFromText(std::string_view text);
std::string_view QueryProtocolText(QueryProtocol protocol);

}  // namespace vantrix
